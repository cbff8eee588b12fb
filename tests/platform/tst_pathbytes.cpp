#include "platform/pathbytes.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

class TestPathBytes : public QObject {
    Q_OBJECT
private slots:
    void namesKeepTheirBytes_data();
    void namesKeepTheirBytes();
};

void TestPathBytes::namesKeepTheirBytes_data()
{
    QTest::addColumn<QByteArray>("name");
    QTest::addColumn<QString>("readable");
    QTest::newRow("UTF-8") << QByteArray("中文 page.htm") << QStringLiteral("中文 page.htm");
    QTest::newRow("GBK") << QByteArray("\xd6\xd0\xce\xc4.htm") << QStringLiteral("中文.htm");
    // A GBK character whose second byte is ASCII.
    QTest::newRow("GBK, ASCII trail") << QByteArray("\x81\x40.htm") << QStringLiteral("丂.htm");
    QTest::newRow("mixed") << QByteArray("中\xd6\xd0.htm") << QStringLiteral("中\\xd6\\xd0.htm");
    QTest::newRow("lone 0xFF") << QByteArray("a\xff.htm") << QStringLiteral("a\\xff.htm");
    QTest::newRow("cut UTF-8") << QByteArray("\xe4.htm") << QStringLiteral("\\xe4.htm");
    QTest::newRow("GBK folder") << QByteArray("\xd6\xd0"
                                              "dir/\xb2\xe2\xca\xd4.htm")
                                << QStringLiteral("中dir/测试.htm");
    QTest::newRow("GBK folder, UTF-8 name")
        << QByteArray("\xd6\xd0/中文.htm") << QStringLiteral("中/中文.htm");
    // A surrogate written as UTF-8 must not be taken for an escape.
    QTest::newRow("UTF-8 of a surrogate") << QByteArray("\xed\xb2\x80x") << QString();
}

void TestPathBytes::namesKeepTheirBytes()
{
    QFETCH(QByteArray, name);
    QFETCH(QString, readable);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QByteArray folder = QFile::encodeName(dir.path());
    const QByteArray bytes = folder + '/' + name;
    const QString path = PathBytes::fromBytes(bytes);
    QCOMPARE(PathBytes::toBytes(path), bytes);
    if (!readable.isNull())
        QCOMPARE(PathBytes::readable(path), dir.path() + u'/' + readable);

    // The file found under its own bytes, also from the name Qt shows.
    const qsizetype slash = bytes.lastIndexOf('/');
    if (slash > folder.size())
        QCOMPARE(::mkdir(bytes.first(slash).constData(), 0755), 0);
    const int fd = ::open(bytes.constData(), O_WRONLY | O_CREAT | O_EXCL, 0644);
    QVERIFY(fd >= 0);
    ::close(fd);
    struct stat info = {};
    QVERIFY(PathBytes::stat(path, info));
    const QString fromQt = PathBytes::fromQt(dir.path() + u'/' + QFile::decodeName(name));
    ::unlink(bytes.constData()); // which Qt could not remove
    if (slash > folder.size())
        ::rmdir(bytes.first(slash).constData());
    QCOMPARE(fromQt, path);
}

QTEST_GUILESS_MAIN(TestPathBytes)
#include "tst_pathbytes.moc"
