#include "dialogs/fraaboutinfo.h"
#include "shell/commandline.h"

#include <QTest>

class TestCommandLine : public QObject {
    Q_OBJECT
private slots:
    void onlyASoleOptionIsAnswered_data();
    void onlyASoleOptionIsAnswered();
};

void TestCommandLine::onlyASoleOptionIsAnswered_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("answer"); // "usage", "version" or "" for a page

    QTest::newRow("--help") << QStringList{"--help"} << "usage";
    QTest::newRow("-h") << QStringList{"-h"} << "usage";
    QTest::newRow("--version") << QStringList{"--version"} << "version";
    QTest::newRow("no arguments") << QStringList{} << "";
    QTest::newRow("page called --help") << QStringList{"./--help"} << "";
    QTest::newRow("option then more") << QStringList{"--help", "me.htm"} << "";
    QTest::newRow("two options") << QStringList{"--version", "--help"} << "";
    QTest::newRow("other letter case") << QStringList{"--Help"} << "";
    QTest::newRow("with a blank") << QStringList{"--version "} << "";
}

void TestCommandLine::onlyASoleOptionIsAnswered()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, answer);

    const std::optional<QString> printed = CommandLineAnswer(arguments);
    if (answer.isEmpty()) {
        QVERIFY(!printed);
        return;
    }
    QVERIFY(printed);
    if (answer == QLatin1String("version"))
        QCOMPARE(*printed, VersionLine() + u'\n');
    else
        QVERIFY(printed->startsWith(QStringLiteral("用法：zelmohtml [网页文件]\n")));
}

QTEST_GUILESS_MAIN(TestCommandLine)
#include "tst_commandline.moc"
