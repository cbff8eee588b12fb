#include "platform/profilefile.h"
#include "support/testfiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

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

} // namespace

class TstProfileFile : public QObject {
    Q_OBJECT

private slots:
    void read_data();
    void read();
    void write_data();
    void write();
    void writeThenRead();
    void refusedWrite_data();
    void refusedWrite();
    void writeIntoReadOnlyFolder();
    void writeIntoMissingFolder();
};

void TstProfileFile::read_data()
{
    QTest::addColumn<QByteArray>("file"); // a null array: no file at all
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("defaultValue");
    QTest::addColumn<int>("bufferSize");
    QTest::addColumn<QString>("expected");

    const QByteArray settings = "[Arer]\r\nWindowState=2\r\nLeft=10\r\n";
    QTest::newRow("missing file") << missingFile << "Arer"
                                  << "Left"
                                  << "d" << 256 << "d";
    QTest::newRow("missing section") << settings << "Other"
                                     << "Left"
                                     << "d" << 256 << "d";
    QTest::newRow("missing key") << settings << "Arer"
                                 << "Top"
                                 << "d" << 256 << "d";
    QTest::newRow("names without case") << settings << "arer"
                                        << "windowstate"
                                        << "d" << 256 << "2";
    QTest::newRow("upper case names") << settings << "ARER"
                                      << "LEFT"
                                      << "d" << 256 << "10";
    QTest::newRow("GBK key 丄") << QByteArray("[S]\r\n\x81\x41=one\r\n\x81\x61=two\r\n") << "S"
                                << "丄"
                                << "d" << 256 << "one";
    QTest::newRow("GBK key 乤") << QByteArray("[S]\r\n\x81\x41=one\r\n\x81\x61=two\r\n") << "S"
                                << "乤"
                                << "d" << 256 << "two";
    QTest::newRow("乤 is not 丄") << QByteArray("[S]\r\n\x81\x41=one\r\n") << "S"
                                  << "乤"
                                  << "d" << 256 << "d";
    QTest::newRow("GBK section ending in ]")
        << QByteArray("[\xd6\xd0\x81\x5d]\r\nk=v\r\n") << "中乚"
        << "k"
        << "d" << 256 << "v";
    QTest::newRow("blanks and tabs")
        << QByteArray(" \t[ \tS\t ] \r\n \t k \t= \t v a \t \r\n") << "S"
        << "k"
        << "d" << 256 << "v a";
    QTest::newRow("blanks around requested names") << settings << " Arer\t"
                                                   << "\tLeft "
                                                   << "d" << 256 << "10";
    QTest::newRow("text after ]") << QByteArray("[S] trailing\r\nk=v\r\n") << "S"
                                  << "k"
                                  << "d" << 256 << "v";
    QTest::newRow("double quotes") << QByteArray("[S]\r\nk=\" a \"\r\n") << "S"
                                   << "k"
                                   << "d" << 256 << " a ";
    QTest::newRow("single quotes") << QByteArray("[S]\r\nk='a'\r\n") << "S"
                                   << "k"
                                   << "d" << 256 << "a";
    QTest::newRow("one pair only") << QByteArray("[S]\r\nk=\"\"a\"\"\r\n") << "S"
                                   << "k"
                                   << "d" << 256 << "\"a\"";
    QTest::newRow("mixed quotes kept") << QByteArray("[S]\r\nk=\"a'\r\n") << "S"
                                       << "k"
                                       << "d" << 256 << "\"a'";
    QTest::newRow("lone quote kept") << QByteArray("[S]\r\nk=\"\r\n") << "S"
                                     << "k"
                                     << "d" << 256 << "\"";
    QTest::newRow("empty quotes") << QByteArray("[S]\r\nk=''\r\n") << "S"
                                  << "k"
                                  << "d" << 256 << "";
    QTest::newRow("comment") << QByteArray("[S]\r\n;k=1\r\n  ;k=2\r\n") << "S"
                             << "k"
                             << "d" << 256 << "d";
    QTest::newRow("commented section") << QByteArray(";[S]\r\nk=1\r\n") << "S"
                                       << "k"
                                       << "d" << 256 << "d";
    QTest::newRow("first duplicate key") << QByteArray("[S]\r\nk=1\r\nK=2\r\n") << "S"
                                         << "k"
                                         << "d" << 256 << "1";
    QTest::newRow("first duplicate section")
        << QByteArray("[S]\r\na=1\r\n[T]\r\nk=3\r\n[s]\r\nk=2\r\n") << "S"
        << "k"
        << "d" << 256 << "d";
    QTest::newRow("line without =") << QByteArray("[S]\r\nk\r\nk=1\r\n") << "S"
                                    << "k"
                                    << "d" << 256 << "1";
    QTest::newRow("only a line without =") << QByteArray("[S]\r\nk\r\n") << "S"
                                           << "k"
                                           << "d" << 256 << "d";
    QTest::newRow("empty value") << QByteArray("[S]\r\nk=\r\n") << "S"
                                 << "k"
                                 << "d" << 256 << "";
    QTest::newRow("blank value") << QByteArray("[S]\r\nk= \t \r\n") << "S"
                                 << "k"
                                 << "d" << 256 << "";
    QTest::newRow("= inside value") << QByteArray("[S]\r\nk=a=b\r\n") << "S"
                                    << "k"
                                    << "d" << 256 << "a=b";
    QTest::newRow("key before any section") << QByteArray("k=1\r\n[S]\r\n") << "S"
                                            << "k"
                                            << "d" << 256 << "d";
    QTest::newRow("[ without ] is a key") << QByteArray("[S]\r\n[k=1\r\n") << "S"
                                          << "[k"
                                          << "d" << 256 << "1";
    QTest::newRow("LF only") << QByteArray("[A]\nx=1\n[S]\nk=v\n") << "S"
                             << "k"
                             << "d" << 256 << "v";
    QTest::newRow("CR only") << QByteArray("[A]\rk=1\r[S]\rk=v\r") << "S"
                             << "k"
                             << "d" << 256 << "v";
    QTest::newRow("no final line break") << QByteArray("[S]\r\nk=v") << "S"
                                         << "k"
                                         << "d" << 256 << "v";
    QTest::newRow("NUL removed") << QByteArray("[S]\r\nk=a\0b\r\n", 12) << "S"
                                 << "k"
                                 << "d" << 256 << "ab";
    QTest::newRow("GBK value") << QByteArray("[S]\r\nk=\xd6\xd0\xce\xc4\r\n") << "S"
                               << "k"
                               << "d" << 256 << "中文";

    const QByteArray a255(255, 'a');
    QTest::newRow("255 bytes kept") << QByteArray("[S]\r\nk=" + a255 + "\r\n") << "S"
                                    << "k"
                                    << "d" << 256 << QString::fromLatin1(a255);
    QTest::newRow("ASCII cut at 255") << QByteArray("[S]\r\nk=" + a255 + "bc\r\n") << "S"
                                      << "k"
                                      << "d" << 256 << QString::fromLatin1(a255);
    QByteArray gbk = "a";
    QString gbkText = "a";
    for (int i = 0; i < 127; ++i) {
        gbk += "\xd6\xd0";
        gbkText += u'中';
    }
    QTest::newRow("GBK filling 255 bytes") << QByteArray("[S]\r\nk=" + gbk + "\r\n") << "S"
                                           << "k"
                                           << "d" << 256 << gbkText;
    QTest::newRow("GBK cut at odd boundary")
        << QByteArray("[S]\r\nk=" + gbk + "\xce\xc4\r\n") << "S"
        << "k"
        << "d" << 256 << gbkText;
    QTest::newRow("four-byte character not split")
        << QByteArray("[S]\r\nk=" + QByteArray(253, 'a') + "\x95\x32\x82\x36\r\n") << "S"
        << "k"
        << "d" << 256 << QString(253, u'a');
    QTest::newRow("lone lead byte counts one")
        << QByteArray("[S]\r\nk=" + QByteArray(254, 'a') + "\x81\r\n") << "S"
        << "k"
        << "d" << 256 << QString(254, u'a') + QChar(0xdc81);
    QTest::newRow("small buffer") << QByteArray("[S]\r\nk=\xd6\xd0\xce\xc4\r\n") << "S"
                                  << "k"
                                  << "d" << 4 << "中";
    QTest::newRow("default cut") << missingFile << "S"
                                 << "k" << QString(300, u'd') << 256 << QString(255, u'd');
    QTest::newRow("GBK default cut") << missingFile << "S"
                                     << "k" << QString(200, u'中') << 256 << QString(127, u'中');
}

void TstProfileFile::read()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(QString, defaultValue);
    QFETCH(int, bufferSize);
    QFETCH(QString, expected);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("Zelmo.ini"));
    if (!file.isNull())
        writeBytes(path, file);

    QCOMPARE(ProfileFile::read(path, section, key, defaultValue, bufferSize), expected);
}

void TstProfileFile::write_data()
{
    QTest::addColumn<QByteArray>("before"); // a null array: no file at all
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QByteArray>("after");

    QTest::newRow("new file") << missingFile << "Arer"
                              << "WindowState"
                              << "2" << QByteArray("[Arer]\r\nWindowState=2\r\n");
    QTest::newRow("new GBK file") << missingFile << "设置"
                                  << "名称"
                                  << "值"
                                  << QByteArray(
                                         "[\xc9\xe8\xd6\xc3]\r\n\xc3\xfb\xb3\xc6=\xd6\xb5\r\n");
    QTest::newRow("empty file") << QByteArray("") << "S"
                                << "k"
                                << "v" << QByteArray("[S]\r\nk=v\r\n");
    QTest::newRow("replace keeps spelling")
        << QByteArray("; top\r\n[Arer]\r\nWindowState=1\r\nLeft=5\r\n") << "arer"
        << "windowstate"
        << "2" << QByteArray("; top\r\n[Arer]\r\nWindowState=2\r\nLeft=5\r\n");
    QTest::newRow("replace keeps blanks before value")
        << QByteArray("[S]\r\n  k \t= \"old\"  \r\n") << "S"
        << "k"
        << "new" << QByteArray("[S]\r\n  k \t= new\r\n");
    QTest::newRow("replace keeps LF line end") << QByteArray("[S]\nk=1\nj=2\n") << "S"
                                               << "k"
                                               << "22" << QByteArray("[S]\nk=22\nj=2\n");
    QTest::newRow("replace empty value") << QByteArray("[S]\r\nk=\r\n") << "S"
                                         << "k"
                                         << "v" << QByteArray("[S]\r\nk=v\r\n");
    QTest::newRow("replace with empty") << QByteArray("[S]\r\nk=v\r\n") << "S"
                                        << "k"
                                        << "" << QByteArray("[S]\r\nk=\r\n");
    QTest::newRow("replace first duplicate")
        << QByteArray("[S]\r\nk=1\r\nk=2\r\n[s]\r\nk=3\r\n") << "S"
        << "k"
        << "9" << QByteArray("[S]\r\nk=9\r\nk=2\r\n[s]\r\nk=3\r\n");
    QTest::newRow("replace without final line break") << QByteArray("[S]\r\nk=1") << "S"
                                                      << "k"
                                                      << "2" << QByteArray("[S]\r\nk=2");
    QTest::newRow("replace drops blanks after value") << QByteArray("[S]\nk = v \n") << "S"
                                                      << "k"
                                                      << "v" << QByteArray("[S]\nk = v\n");
    QTest::newRow("new key after last key")
        << QByteArray("[A]\r\nx=1\r\n; note\r\ny=2\r\n\r\n; about B\r\n\r\n[B]\r\nz=3\r\n") << "a"
        << "new"
        << "v"
        << QByteArray(
               "[A]\r\nx=1\r\n; note\r\ny=2\r\nnew=v\r\n\r\n; about B\r\n\r\n[B]\r\nz=3\r\n");
    QTest::newRow("new key in section without keys")
        << QByteArray("[A]\r\n; nothing yet\r\n\r\n[B]\r\nz=3\r\n") << "A"
        << "k"
        << "v" << QByteArray("[A]\r\nk=v\r\n; nothing yet\r\n\r\n[B]\r\nz=3\r\n");
    QTest::newRow("new key in first duplicate section")
        << QByteArray("[A]\r\nx=1\r\n[A]\r\ny=2\r\n") << "A"
        << "y"
        << "v" << QByteArray("[A]\r\nx=1\r\ny=v\r\n[A]\r\ny=2\r\n");
    QTest::newRow("new key after last line without break")
        << QByteArray("[A]\nx=1") << "A"
        << "y"
        << "2" << QByteArray("[A]\nx=1\r\ny=2\r\n");
    QTest::newRow("new key after header without break") << QByteArray("[A]") << "A"
                                                        << "y"
                                                        << "2" << QByteArray("[A]\r\ny=2\r\n");
    QTest::newRow("new GBK key beside 丄")
        << QByteArray("[S]\r\n\x81\x41=1\r\n") << "S"
        << "乤"
        << "2" << QByteArray("[S]\r\n\x81\x41=1\r\n\x81\x61=2\r\n");
    QTest::newRow("LF file stays LF elsewhere")
        << QByteArray("[A]\nx=1\n\n[B]\ny=2\n") << "A"
        << "z"
        << "3" << QByteArray("[A]\nx=1\nz=3\r\n\n[B]\ny=2\n");
    QTest::newRow("CR only file") << QByteArray("[A]\rx=1\r") << "A"
                                  << "x"
                                  << "2" << QByteArray("[A]\rx=2\r");
    QTest::newRow("new section appended")
        << QByteArray("[A]\r\nx=1\r\n\r\n; end\r\n") << "B"
        << "k"
        << "v" << QByteArray("[A]\r\nx=1\r\n\r\n; end\r\n[B]\r\nk=v\r\n");
    QTest::newRow("new section without final line break")
        << QByteArray("[A]\r\nx=1") << "B"
        << "k"
        << "v" << QByteArray("[A]\r\nx=1\r\n[B]\r\nk=v\r\n");
    QTest::newRow("new section after LF file") << QByteArray("[A]\nx=1\n") << "B"
                                               << "k"
                                               << "v" << QByteArray("[A]\nx=1\n[B]\r\nk=v\r\n");
    QTest::newRow("section only in a comment") << QByteArray(";[B]\r\n") << "B"
                                               << "k"
                                               << "v" << QByteArray(";[B]\r\n[B]\r\nk=v\r\n");
    QTest::newRow("names trimmed") << missingFile << " S\t"
                                   << "\tk "
                                   << " v" << QByteArray("[S]\r\nk= v\r\n");
}

void TstProfileFile::write()
{
    QFETCH(QByteArray, before);
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(QString, value);
    QFETCH(QByteArray, after);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("Zelmo.ini"));
    if (!before.isNull())
        writeBytes(path, before);

    QVERIFY(ProfileFile::write(path, section, key, value));
    QCOMPARE(readBytes(path), after);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("Zelmo.ini")});
}

void TstProfileFile::writeThenRead()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("Zelmo.ini"));
    const QString value = QStringLiteral("C:\\网页\\index.htm 𠀀");

    QVERIFY(ProfileFile::write(path, QStringLiteral("Recent"), QStringLiteral("File1"), value));
    QVERIFY(ProfileFile::write(path, QStringLiteral("Recent"), QStringLiteral("丄"), "a"));
    QVERIFY(ProfileFile::write(path, QStringLiteral("Recent"), QStringLiteral("乤"), "b"));
    QCOMPARE(ProfileFile::read(path, "RECENT", "file1", "d"), value);
    QCOMPARE(ProfileFile::read(path, "Recent", "丄", "d"), QStringLiteral("a"));
    QCOMPARE(ProfileFile::read(path, "Recent", "乤", "d"), QStringLiteral("b"));
}

void TstProfileFile::refusedWrite_data()
{
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("value");

    // Each would be read back as other lines or as another section or key.
    QTest::newRow("line break in value") << "S"
                                         << "k"
                                         << "a\n[Other]\r\nx=1";
    QTest::newRow("CR in value") << "S"
                                 << "k"
                                 << "a\rb";
    QTest::newRow("line break in key") << "S"
                                       << "k\nx"
                                       << "v";
    QTest::newRow("= in key") << "S"
                              << "a=b"
                              << "v";
    QTest::newRow("; starting key") << "S"
                                    << ";k"
                                    << "v";
    QTest::newRow("[ starting key") << "S"
                                    << "[k"
                                    << "v]";
    QTest::newRow("] in section") << "S]x"
                                  << "k"
                                  << "v";
    QTest::newRow("empty section") << " "
                                   << "k"
                                   << "v";
    QTest::newRow("empty key") << "S"
                               << ""
                               << "v";
}

void TstProfileFile::refusedWrite()
{
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(QString, value);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("Zelmo.ini"));
    const QByteArray before = "[S]\r\nk=old\r\n";
    writeBytes(path, before);

    QVERIFY(!ProfileFile::write(path, section, key, value));
    QCOMPARE(readBytes(path), before);
}

void TstProfileFile::writeIntoReadOnlyFolder()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("Zelmo.ini"));
    const QByteArray before = "[S]\r\nk=old\r\n";
    writeBytes(path, before);
    QVERIFY(QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner));
    const auto restore = qScopeGuard([&] {
        QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    });
    if (!folderRefusesWrites(dir.path()))
        QSKIP("This user (root?) can write into read-only folders");

    QVERIFY(!ProfileFile::write(path, "S", "k", "new"));
    QVERIFY(!ProfileFile::write(path, "T", "k", "new"));
    QCOMPARE(readBytes(path), before);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
             QStringList{QStringLiteral("Zelmo.ini")});
}

void TstProfileFile::writeIntoMissingFolder()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("missing/Zelmo.ini"));

    QVERIFY(!ProfileFile::write(path, "S", "k", "v"));
    QVERIFY(!QFileInfo::exists(dir.filePath(QStringLiteral("missing"))));
}

QTEST_GUILESS_MAIN(TstProfileFile)
#include "tst_profilefile.moc"
