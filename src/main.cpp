#include "checker/checkcommand.h"
#include "editor/richtextbox.h"
#include "platform/caption.h"
#include "platform/pathbytes.h"
#include "platform/prompts.h"
#include "platform/qttranslation.h"
#include "recovery/quitsignals.h"
#include "schemes/editorlook.h"
#include "shell/commandline.h"
#include "shell/framain.h"
#include "sitesearch/sitesearchcommand.h"

#include <QApplication>
#include <cstdio>
#include <cstdlib>

int main(int argc, char *argv[])
{
    // "--help" and "--version" answer without a display.
    QStringList arguments;
    // The page's name keeps its bytes even where they are no UTF-8.
    QStringList pageArguments;
    for (int i = 1; i < argc; ++i) {
        arguments << QString::fromLocal8Bit(argv[i]);
        pageArguments << PathBytes::fromBytes(argv[i]);
    }
    // "--check FILE..." checks pages without a window.
    if (const std::optional<CheckCommand::Result> check = CheckCommand::run(arguments)) {
        std::fputs(check->output.toLocal8Bit().constData(), stdout);
        std::fputs(check->errors.toLocal8Bit().constData(), stderr);
        return std::fflush(stdout) == 0 ? check->exitCode : 2;
    }
    if (const std::optional<QString> answer = CommandLineAnswer(arguments)) {
        std::fputs(answer->toLocal8Bit().constData(), stdout);
        return std::fflush(stdout) == 0 ? 0 : 1;
    }
    if (const std::optional<int> status = SiteSearchCommand::run(arguments, stdout, stderr))
        return std::fflush(stdout) == 0 ? *status : 2;

    QApplication app(argc, argv);
    QApplication::setApplicationName(ProductName());
    installQtTranslation();
    QApplication::setDesktopFileName(QStringLiteral("zelmohtml"));

    installFontSubstitutions();

    QtPrompts prompts;
    FRAmain window(prompts);
    prompts.setOwner(&window);
    // A request to end from outside keeps the unsaved text in the journal.
    QuitSignals quitSignals([&window](int signal) { window.endBySignal(signal); });
    window.Form_Load(pageArguments);

    // Used by the benchmarks to time a whole start up to the first paint;
    // tearing the window down afterwards is not part of that.
    if (qEnvironmentVariableIsSet("ZELMO_EXIT_AFTER_FIRST_PAINT")) {
        window.richText()->viewport()->repaint();
        std::fflush(nullptr);
        std::_Exit(0);
    }
    return app.exec();
}
