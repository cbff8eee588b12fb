#include "platform/qttranslation.h"

#include <QDir>
#include <QLibraryInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>

class TestQtTranslation : public QObject {
    Q_OBJECT
private slots:
    void standardButtonsInChinese();
};

void TestQtTranslation::standardButtonsInChinese()
{
    const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    // scripts/setup.sh installs it: a missing one is a failure, not a pass.
    QVERIFY2(QDir(folder).exists(QStringLiteral("qtbase_zh_CN.qm")),
             "Qt's Chinese translation is not installed (Debian: qt6-translations-l10n)");
    // The test runs in the C locale: the translation is loaded all the same.
    QVERIFY(installQtTranslation());
    QMessageBox box(QMessageBox::Warning, QStringLiteral("确认"), QStringLiteral("?"),
                    QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    QVERIFY(box.button(QMessageBox::Yes)->text().startsWith(QStringLiteral("是")));
    QVERIFY(box.button(QMessageBox::No)->text().startsWith(QStringLiteral("否")));
}

QTEST_MAIN(TestQtTranslation)
#include "tst_qttranslation.moc"
