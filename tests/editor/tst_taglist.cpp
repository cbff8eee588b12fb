#include "editor/taglist.h"
#include "platform/ansicodec.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class TestTagList : public QObject {
    Q_OBJECT
private slots:
    void items_data();
    void items();
    void entries_data();
    void entries();
    void loadsGbkFileInFileOrder();
    void unreadableFileIsReported_data();
    void unreadableFileIsReported();
};

void TestTagList::items_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("one per line, crlf") << "<a>\r\n<b>\r\n" << QStringList{"<a>", "<b>"};
    QTest::newRow("lf only") << "<a>\n<b>\n" << QStringList{"<a>", "<b>"};
    QTest::newRow("lone cr") << "<a>\r<b>" << QStringList{"<a>", "<b>"};
    QTest::newRow("no final line end") << "<a>\r\n<b>" << QStringList{"<a>", "<b>"};
    QTest::newRow("empty line is an empty item") << "<a>\r\n\r\n<b>\r\n"
                                                 << QStringList{"<a>", "", "<b>"};
    QTest::newRow("empty lf line") << "<a>\n\n<b>" << QStringList{"<a>", "", "<b>"};
    QTest::newRow("commas") << "<a>,<b></b>,x" << QStringList{"<a>", "<b></b>", "x"};
    QTest::newRow("blanks around unquoted")
        << " \t<a> \t, x  ,<b>" << QStringList{"<a>", "x", "<b>"};
    QTest::newRow("inner blanks kept") << "<a href> ,<b c>" << QStringList{"<a href>", "<b c>"};
    QTest::newRow("quoted comma") << "\"<a,b>\",<c>" << QStringList{"<a,b>", "<c>"};
    QTest::newRow("quoted keeps blanks") << "  \" <a> \"" << QStringList{" <a> "};
    QTest::newRow("text after closing quote dropped")
        << "\"<a>\"junk,<b>" << QStringList{"<a>", "<b>"};
    QTest::newRow("unclosed quote ends at line end")
        << "\"<a,b\r\n<c>" << QStringList{"<a,b", "<c>"};
    QTest::newRow("quote inside unquoted item kept")
        << "<a href=\"x\">,<b>" << QStringList{"<a href=\"x\">", "<b>"};
    QTest::newRow("empty quoted") << "\"\",<a>" << QStringList{"", "<a>"};
    QTest::newRow("empty text") << "" << QStringList{};
}

void TestTagList::items()
{
    QFETCH(QString, text);
    QFETCH(QStringList, expected);
    QCOMPARE(TagList::readItems(text), expected);
}

void TestTagList::entries_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("example line") << "<a>,<b></b>,  x  ,\"<p>,</p>\"\r\n"
                                  << QStringList{"<a>", "<b></b>", "<p>,</p>"};
    QTest::newRow("comments and words skipped")
        << "tags for the list\r\n<br/>\r\n\r\nword, <i></i>\r\n"
        << QStringList{"<br/>", "<i></i>"};
    QTest::newRow("quoted item not starting with <") << "\" <a>\",<b>" << QStringList{"<b>"};
    QTest::newRow("linux file") << "<table\n<td>\n" << QStringList{"<table", "<td>"};
}

void TestTagList::entries()
{
    QFETCH(QString, text);
    QFETCH(QStringList, expected);
    QCOMPARE(TagList::entries(text), expected);
}

void TestTagList::loadsGbkFileInFileOrder()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("tags.dat");
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(AnsiCodec::encode(QStringLiteral("<z>\r\n<img alt=\"图象\">,<a>\r\n")));
    file.close();

    QStringList entries{"old"};
    QVERIFY(TagList::load(path, entries));
    QCOMPARE(entries, (QStringList{"<z>", QStringLiteral("<img alt=\"图象\">"), "<a>"}));
}

void TestTagList::unreadableFileIsReported_data()
{
    QTest::addColumn<bool>("asFolder");
    QTest::newRow("missing") << false;
    QTest::newRow("a folder") << true;
}

void TestTagList::unreadableFileIsReported()
{
    QFETCH(bool, asFolder);
    QTemporaryDir dir;
    if (asFolder)
        QVERIFY(QDir(dir.path()).mkdir("tags.dat"));
    QStringList entries{"kept"};
    QVERIFY(!TagList::load(dir.filePath("tags.dat"), entries));
    QCOMPARE(entries, QStringList{"kept"});
}

QTEST_GUILESS_MAIN(TestTagList)
#include "tst_taglist.moc"
