#include "platform/profilefile.h"
#include "support/testfiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <optional>

// Byte strings below are GBK: "\x81\x41" is 丄, "\x81\x61" is 乤, "\xd6\xd0" is 中,
// "\xce\xc4" is 文, "\x95\x32\x82\x36" is the four-byte form of U+20000.

namespace {

// Tries what the tests rely on; root writes into read-only folders anyway.
bool folderRefusesWrites(const QString &folder)
{
    QFile probe(folder + QStringLiteral("/probe"));
    if (probe.open(QIODevice::WriteOnly)) {
        probe.remove();
        return false;
    }
    return true;
}

const QByteArray missingFile = QByteArray();
const QByteArray oldSettings = "[S]\r\nk=old\r\n";

// A row of read_data; the default is "d" and the buffer 256 bytes unless given.
void readRow(const char *name, const QByteArray &file, const QString &section, const QString &key,
             const QString &expected, const QString &defaultValue = QStringLiteral("d"),
             int bufferSize = 256)
{
    QTest::newRow(name) << file << section << key << defaultValue << bufferSize << expected;
}

void writeRow(const char *name, const QByteArray &before, const QString &section,
              const QString &key, const QString &value, const QByteArray &after)
{
    QTest::newRow(name) << before << section << key << value << after;
}

void refusedRow(const char *name, const QString &section, const QString &key, const QString &value)
{
    QTest::newRow(name) << section << key << value;
}

} // namespace

class TstProfileFile : public QObject {
    Q_OBJECT

private slots:
    void init();
    void read_data();
    void read();
    void write_data();
    void write();
    void writeThenRead();
    void refusedWrite_data();
    void refusedWrite();
    void writeIntoReadOnlyFolder();
    void writeIntoMissingFolder();

private:
    // A fresh folder for every test, and the settings file in it.
    std::optional<QTemporaryDir> m_dir;
    QString m_path;
};

void TstProfileFile::init()
{
    m_dir.reset();
    m_dir.emplace();
    QVERIFY(m_dir->isValid());
    m_path = m_dir->filePath(QStringLiteral("Zelmo.ini"));
}

void TstProfileFile::read_data()
{
    QTest::addColumn<QByteArray>("file"); // a null array: no file at all
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("defaultValue");
    QTest::addColumn<int>("bufferSize");
    QTest::addColumn<QString>("expected");

    const QByteArray settings = "[Arer]\r\nWindowState=2\r\nLeft=10\r\n";
    readRow("missing file", missingFile, "Arer", "Left", "d");
    readRow("missing section", settings, "Other", "Left", "d");
    readRow("missing key", settings, "Arer", "Top", "d");
    readRow("names without case", settings, "arer", "windowstate", "2");
    readRow("upper case names", settings, "ARER", "LEFT", "10");
    readRow("GBK key 丄", "[S]\r\n\x81\x41=one\r\n\x81\x61=two\r\n", "S", "丄", "one");
    readRow("GBK key 乤", "[S]\r\n\x81\x41=one\r\n\x81\x61=two\r\n", "S", "乤", "two");
    readRow("乤 is not 丄", "[S]\r\n\x81\x41=one\r\n", "S", "乤", "d");
    readRow("GBK section ending in ]", "[\xd6\xd0\x81\x5d]\r\nk=v\r\n", "中乚", "k", "v");
    readRow("blanks and tabs", " \t[ \tS\t ] \r\n \t k \t= \t v a \t \r\n", "S", "k", "v a");
    readRow("blanks around requested names", settings, " Arer\t", "\tLeft ", "10");
    readRow("text after ]", "[S] trailing\r\nk=v\r\n", "S", "k", "v");
    readRow("double quotes", "[S]\r\nk=\" a \"\r\n", "S", "k", " a ");
    readRow("single quotes", "[S]\r\nk='a'\r\n", "S", "k", "a");
    readRow("one pair only", "[S]\r\nk=\"\"a\"\"\r\n", "S", "k", "\"a\"");
    readRow("mixed quotes kept", "[S]\r\nk=\"a'\r\n", "S", "k", "\"a'");
    readRow("lone quote kept", "[S]\r\nk=\"\r\n", "S", "k", "\"");
    readRow("empty quotes", "[S]\r\nk=''\r\n", "S", "k", "");
    readRow("comment", "[S]\r\n;k=1\r\n  ;k=2\r\n", "S", "k", "d");
    readRow("commented section", ";[S]\r\nk=1\r\n", "S", "k", "d");
    readRow("first duplicate key", "[S]\r\nk=1\r\nK=2\r\n", "S", "k", "1");
    readRow("first duplicate section", "[S]\r\na=1\r\n[T]\r\nk=3\r\n[s]\r\nk=2\r\n", "S", "k", "d");
    readRow("line without =", "[S]\r\nk\r\nk=1\r\n", "S", "k", "1");
    readRow("only a line without =", "[S]\r\nk\r\n", "S", "k", "d");
    readRow("empty value", "[S]\r\nk=\r\n", "S", "k", "");
    readRow("blank value", "[S]\r\nk= \t \r\n", "S", "k", "");
    readRow("= inside value", "[S]\r\nk=a=b\r\n", "S", "k", "a=b");
    readRow("key before any section", "k=1\r\n[S]\r\n", "S", "k", "d");
    readRow("[ without ] is a key", "[S]\r\n[k=1\r\n", "S", "[k", "1");
    readRow("LF only", "[A]\nx=1\n[S]\nk=v\n", "S", "k", "v");
    readRow("CR only", "[A]\rk=1\r[S]\rk=v\r", "S", "k", "v");
    readRow("no final line break", "[S]\r\nk=v", "S", "k", "v");
    readRow("NUL removed", QByteArray("[S]\r\nk=a\0b\r\n", 12), "S", "k", "ab");
    readRow("GBK value", "[S]\r\nk=\xd6\xd0\xce\xc4\r\n", "S", "k", "中文");

    const QByteArray a255(255, 'a');
    readRow("255 bytes kept", "[S]\r\nk=" + a255 + "\r\n", "S", "k", QString::fromLatin1(a255));
    readRow("ASCII cut at 255", "[S]\r\nk=" + a255 + "bc\r\n", "S", "k", QString::fromLatin1(a255));
    QByteArray gbk = "a";
    QString gbkText = "a";
    for (int i = 0; i < 127; ++i) {
        gbk += "\xd6\xd0";
        gbkText += u'中';
    }
    readRow("GBK filling 255 bytes", "[S]\r\nk=" + gbk + "\r\n", "S", "k", gbkText);
    readRow("GBK cut at odd boundary", "[S]\r\nk=" + gbk + "\xce\xc4\r\n", "S", "k", gbkText);
    readRow("four-byte character not split",
            "[S]\r\nk=" + QByteArray(253, 'a') + "\x95\x32\x82\x36\r\n", "S", "k",
            QString(253, u'a'));
    readRow("lone lead byte counts one", "[S]\r\nk=" + QByteArray(254, 'a') + "\x81\r\n", "S", "k",
            QString(254, u'a') + QChar(0xdc81));
    readRow("small buffer", "[S]\r\nk=\xd6\xd0\xce\xc4\r\n", "S", "k", "中", "d", 4);
    readRow("default cut", missingFile, "S", "k", QString(255, u'd'), QString(300, u'd'));
    readRow("GBK default cut", missingFile, "S", "k", QString(127, u'中'), QString(200, u'中'));
}

void TstProfileFile::read()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(QString, defaultValue);
    QFETCH(int, bufferSize);
    QFETCH(QString, expected);

    if (!file.isNull())
        writeBytes(m_path, file);

    QCOMPARE(ProfileFile::read(m_path, section, key, defaultValue, bufferSize), expected);
}

void TstProfileFile::write_data()
{
    QTest::addColumn<QByteArray>("before"); // a null array: no file at all
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QByteArray>("after");

    writeRow("new file", missingFile, "Arer", "WindowState", "2", "[Arer]\r\nWindowState=2\r\n");
    writeRow("new GBK file", missingFile, "设置", "名称", "值",
             "[\xc9\xe8\xd6\xc3]\r\n\xc3\xfb\xb3\xc6=\xd6\xb5\r\n");
    writeRow("empty file", QByteArray(""), "S", "k", "v", "[S]\r\nk=v\r\n");
    writeRow("replace keeps spelling", "; top\r\n[Arer]\r\nWindowState=1\r\nLeft=5\r\n", "arer",
             "windowstate", "2", "; top\r\n[Arer]\r\nWindowState=2\r\nLeft=5\r\n");
    writeRow("replace keeps blanks before value", "[S]\r\n  k \t= \"old\"  \r\n", "S", "k", "new",
             "[S]\r\n  k \t= new\r\n");
    writeRow("replace keeps LF line end", "[S]\nk=1\nj=2\n", "S", "k", "22", "[S]\nk=22\nj=2\n");
    writeRow("replace empty value", "[S]\r\nk=\r\n", "S", "k", "v", "[S]\r\nk=v\r\n");
    writeRow("replace with empty", "[S]\r\nk=v\r\n", "S", "k", "", "[S]\r\nk=\r\n");
    writeRow("replace first duplicate", "[S]\r\nk=1\r\nk=2\r\n[s]\r\nk=3\r\n", "S", "k", "9",
             "[S]\r\nk=9\r\nk=2\r\n[s]\r\nk=3\r\n");
    writeRow("replace without final line break", "[S]\r\nk=1", "S", "k", "2", "[S]\r\nk=2");
    writeRow("replace drops blanks after value", "[S]\nk = v \n", "S", "k", "v", "[S]\nk = v\n");
    writeRow("new key after last key",
             "[A]\r\nx=1\r\n; note\r\ny=2\r\n\r\n; about B\r\n\r\n[B]\r\nz=3\r\n", "a", "new", "v",
             "[A]\r\nx=1\r\n; note\r\ny=2\r\nnew=v\r\n\r\n; about B\r\n\r\n[B]\r\nz=3\r\n");
    writeRow("new key in section without keys", "[A]\r\n; nothing yet\r\n\r\n[B]\r\nz=3\r\n", "A",
             "k", "v", "[A]\r\nk=v\r\n; nothing yet\r\n\r\n[B]\r\nz=3\r\n");
    writeRow("new key in first duplicate section", "[A]\r\nx=1\r\n[A]\r\ny=2\r\n", "A", "y", "v",
             "[A]\r\nx=1\r\ny=v\r\n[A]\r\ny=2\r\n");
    writeRow("new key after last line without break", "[A]\nx=1", "A", "y", "2",
             "[A]\nx=1\r\ny=2\r\n");
    writeRow("new key after header without break", "[A]", "A", "y", "2", "[A]\r\ny=2\r\n");
    writeRow("new GBK key beside 丄", "[S]\r\n\x81\x41=1\r\n", "S", "乤", "2",
             "[S]\r\n\x81\x41=1\r\n\x81\x61=2\r\n");
    writeRow("LF file stays LF elsewhere", "[A]\nx=1\n\n[B]\ny=2\n", "A", "z", "3",
             "[A]\nx=1\nz=3\r\n\n[B]\ny=2\n");
    writeRow("CR only file", "[A]\rx=1\r", "A", "x", "2", "[A]\rx=2\r");
    writeRow("new section appended", "[A]\r\nx=1\r\n\r\n; end\r\n", "B", "k", "v",
             "[A]\r\nx=1\r\n\r\n; end\r\n[B]\r\nk=v\r\n");
    writeRow("new section without final line break", "[A]\r\nx=1", "B", "k", "v",
             "[A]\r\nx=1\r\n[B]\r\nk=v\r\n");
    writeRow("new section after LF file", "[A]\nx=1\n", "B", "k", "v", "[A]\nx=1\n[B]\r\nk=v\r\n");
    writeRow("section only in a comment", ";[B]\r\n", "B", "k", "v", ";[B]\r\n[B]\r\nk=v\r\n");
    writeRow("names trimmed", missingFile, " S\t", "\tk ", " v", "[S]\r\nk= v\r\n");
    writeRow("key ending in a lead byte", missingFile, "S", QStringLiteral("k") + QChar(0xDC81),
             "v", "[S]\r\nk\x81=v\r\n");
}

void TstProfileFile::write()
{
    QFETCH(QByteArray, before);
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(QString, value);
    QFETCH(QByteArray, after);

    if (!before.isNull())
        writeBytes(m_path, before);

    QVERIFY(ProfileFile::write(m_path, section, key, value));
    QCOMPARE(readBytes(m_path), after);
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files), QStringList{QStringLiteral("Zelmo.ini")});
}

void TstProfileFile::writeThenRead()
{
    const QString value = QStringLiteral("C:\\网页\\index.htm 𠀀");

    QVERIFY(ProfileFile::write(m_path, QStringLiteral("Recent"), QStringLiteral("File1"), value));
    QVERIFY(ProfileFile::write(m_path, QStringLiteral("Recent"), QStringLiteral("丄"), "a"));
    QVERIFY(ProfileFile::write(m_path, QStringLiteral("Recent"), QStringLiteral("乤"), "b"));
    QCOMPARE(ProfileFile::read(m_path, "RECENT", "file1", "d"), value);
    QCOMPARE(ProfileFile::read(m_path, "Recent", "丄", "d"), QStringLiteral("a"));
    QCOMPARE(ProfileFile::read(m_path, "Recent", "乤", "d"), QStringLiteral("b"));
}

void TstProfileFile::refusedWrite_data()
{
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("value");

    // Each would be read back as other lines or as another section or key.
    refusedRow("line break in value", "S", "k", "a\n[Other]\r\nx=1");
    refusedRow("CR in value", "S", "k", "a\rb");
    refusedRow("line break in key", "S", "k\nx", "v");
    refusedRow("= in key", "S", "a=b", "v");
    refusedRow("; starting key", "S", ";k", "v");
    refusedRow("[ starting key", "S", "[k", "v]");
    refusedRow("] in section", "S]x", "k", "v");
    refusedRow("empty section", " ", "k", "v");
    refusedRow("empty key", "S", "", "v");
    // Its last byte 0x81 would join "]" into one character.
    refusedRow("section ending in a lead byte", QStringLiteral("s") + QChar(0xDC81), "k", "v");
    refusedRow("key without bytes of its own", "S", QStringLiteral("k") + QChar(0xD800), "v");
}

void TstProfileFile::refusedWrite()
{
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(QString, value);

    writeBytes(m_path, oldSettings);

    QVERIFY(!ProfileFile::write(m_path, section, key, value));
    QCOMPARE(readBytes(m_path), oldSettings);
}

// A writable file in a read-only folder is written in place, its backup
// kept in the cache folder meanwhile.
void TstProfileFile::writeIntoReadOnlyFolder()
{
    QTemporaryDir cache;
    qputenv("XDG_CACHE_HOME", QFile::encodeName(cache.path()));
    writeBytes(m_path, oldSettings);
    QVERIFY(QFile::setPermissions(m_dir->path(), QFile::ReadOwner | QFile::ExeOwner));
    const auto restore = qScopeGuard([&] {
        QFile::setPermissions(m_dir->path(),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    });
    if (!folderRefusesWrites(m_dir->path()))
        QSKIP("This user (root?) can write into read-only folders");

    QVERIFY(ProfileFile::write(m_path, "S", "k", "new"));
    QVERIFY(ProfileFile::write(m_path, "T", "k", "new"));
    QCOMPARE(readBytes(m_path), QByteArray("[S]\r\nk=new\r\n[T]\r\nk=new\r\n"));
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files | QDir::Hidden),
             QStringList{QStringLiteral("Zelmo.ini")});
    QVERIFY(QDir(cache.filePath(QStringLiteral("zelmohtml"))).isEmpty());
}

void TstProfileFile::writeIntoMissingFolder()
{
    const QString path = m_dir->filePath(QStringLiteral("missing/Zelmo.ini"));

    QVERIFY(!ProfileFile::write(path, "S", "k", "v"));
    QVERIFY(!QFileInfo::exists(m_dir->filePath(QStringLiteral("missing"))));
}

QTEST_GUILESS_MAIN(TstProfileFile)
#include "tst_profilefile.moc"
