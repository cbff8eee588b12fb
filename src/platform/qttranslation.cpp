#include "platform/qttranslation.h"

#include "platform/regexreasons.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

bool installQtTranslation()
{
    QCoreApplication *app = QCoreApplication::instance();
    if (!app)
        return false;
    auto *translator = new QTranslator(app);
    const bool loaded = translator->load(QStringLiteral("qtbase_zh_CN"),
                                         QLibraryInfo::path(QLibraryInfo::TranslationsPath)) &&
                        QCoreApplication::installTranslator(translator);
    if (!loaded)
        delete translator;
    // Installed last, so it is asked first: the reasons a regular
    // expression is invalid are ours, whether Qt's have them or not.
    QCoreApplication::installTranslator(new RegexReasonTranslator(app));
    return loaded;
}
