#include "platform/prompts.h"
#include "shell/framain.h"

#include <QApplication>

int main(int argc, char *argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("ZelmoHTML编辑器"));

    QtPrompts prompts;
    FRAmain window(prompts);
    prompts.setOwner(&window);
    window.Form_Load(QApplication::arguments().mid(1));
    return app.exec();
}
