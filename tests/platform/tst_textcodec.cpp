#include "platform/textcodec.h"

#include <QTest>

class TestTextCodec : public QObject {
    Q_OBJECT
private slots:
    void characters_data();
    void characters();
    void bytesSurvive_data();
    void bytesSurvive();
    void unencodable_data();
    void unencodable();
};

void TestTextCodec::characters_data()
{
    QTest::addColumn<QString>("encoding");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");

    QTest::newRow("GBK") << "GBK" << QByteArray::fromHex("61d6d0cec4") << u"a中文"_qs;
    QTest::newRow("gb18030") << "gb18030" << QByteArray::fromHex("9439fc36") << u"\U0001F600"_qs;
    QTest::newRow("UTF-8") << "UTF-8" << QByteArray("a\xe4\xb8\xad\xf0\x9f\x98\x80")
                           << u"a中\U0001F600"_qs;
    QTest::newRow("UTF-16LE") << "UTF-16LE" << QByteArray("a\0\x2d\x4e", 4) << u"a中"_qs;
    QTest::newRow("UTF-16BE") << "UTF-16BE" << QByteArray("\0a\x4e\x2d", 4) << u"a中"_qs;
    QTest::newRow("Big5") << "Big5" << QByteArray::fromHex("61a4a4a4e5") << u"a中文"_qs;
    QTest::newRow("Shift_JIS") << "Shift_JIS" << QByteArray::fromHex("93fa967bb1") << u"日本ｱ"_qs;
    QTest::newRow("EUC-KR with an extended syllable")
        << "EUC-KR" << QByteArray::fromHex("c7d1b1b98c63") << u"한국똠"_qs;
    QTest::newRow("EUC-JP with a three-byte form")
        << "EUC-JP" << QByteArray::fromHex("c6fccbdc8fb0a1") << u"日本丂"_qs;
    QTest::newRow("windows-1252") << "windows-1252" << QByteArray::fromHex("e980") << u"é€"_qs;
    QTest::newRow("KOI8-R") << "KOI8-R" << QByteArray::fromHex("d6") << u"ж"_qs;
    QTest::newRow("ISO-8859-16") << "ISO-8859-16" << QByteArray::fromHex("aaa4") << u"Ș€"_qs;
    QTest::newRow("ISO-2022-JP") << "ISO-2022-JP" << QByteArray::fromHex("611b2442467c4b5c1b2842")
                                 << u"a日本"_qs;
}

void TestTextCodec::characters()
{
    QFETCH(QString, encoding);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    const TextCodec *codec = TextCodec::forName(encoding);
    QVERIFY(codec);
    QCOMPARE(codec->name(), encoding);
    QCOMPARE(codec->decode(bytes), text);
    QCOMPARE(codec->encode(text).toHex(), bytes.toHex());
    QCOMPARE(codec->encodedLength(text), bytes.size());
    QCOMPARE(codec->unencodable(text).count, 0);
}

// Bytes that are no character of the encoding come back as they were.
void TestTextCodec::bytesSurvive_data()
{
    QTest::addColumn<QString>("encoding");
    QTest::addColumn<QByteArray>("bytes");

    QTest::newRow("UTF-8 strays") << "UTF-8" << QByteArray::fromHex("ff61c328eda080");
    QTest::newRow("UTF-8 forms") << "UTF-8" << QByteArray::fromHex("c0afeda080f4908080e4b8ade4b8");
    QTest::newRow("UTF-8 characters that break lines in the editing area")
        << "UTF-8" << QByteArray("a\xe2\x80\xa9\xef\xb7\x90\xef\xb7\x91\xe2\x80\xa8");
    QTest::newRow("UTF-16LE odd end") << "UTF-16LE" << QByteArray("a\0\x00\xd8\x00\xdcz", 7);
    QTest::newRow("Big5") << "Big5" << QByteArray::fromHex("ff80a4a4a420a4");
    QTest::newRow("Shift_JIS") << "Shift_JIS" << QByteArray::fromHex("8120a0fdfeff93");
    QTest::newRow("EUC-KR") << "EUC-KR" << QByteArray::fromHex("ffc720c7");
    QTest::newRow("EUC-JP") << "EUC-JP" << QByteArray::fromHex("8fb0208fc6");
    QTest::newRow("windows-1252 undefined") << "windows-1252" << QByteArray::fromHex("818d8f909d");
    QTest::newRow("GBK") << "GBK" << QByteArray::fromHex("81ff80d6");
    QByteArray every;
    for (int b = 0; b < 256; ++b)
        every += char(b);
    for (const char *encoding :
         {"Big5", "Shift_JIS", "EUC-KR", "EUC-JP", "windows-1252", "KOI8-U", "ISO-8859-16",
          "windows-874", "x-mac-cyrillic", "ISO-8859-8-I", "IBM866", "macintosh", "UTF-8"}) {
        QTest::addRow("%s: every byte", encoding) << QString::fromLatin1(encoding) << every;
    }
}

void TestTextCodec::bytesSurvive()
{
    QFETCH(QString, encoding);
    QFETCH(QByteArray, bytes);
    const TextCodec *codec = TextCodec::forName(encoding);
    QVERIFY(codec);
    if (encoding == QLatin1String("UTF-16LE"))
        bytes.chop(1); // an odd byte is the page file's to keep
    const QString text = codec->decode(bytes);
    QVERIFY(!TextCodec::holdsLineBreakingCharacter(text) || encoding.startsWith("UTF-16"));
    QCOMPARE(codec->encode(text).toHex(), bytes.toHex());
    QCOMPARE(codec->encodedLength(text), bytes.size());
    QCOMPARE(codec->unencodable(text).count, 0);
}

void TestTextCodec::unencodable_data()
{
    QTest::addColumn<QString>("encoding");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("first");
    QTest::addColumn<int>("count");
    QTest::addColumn<QByteArray>("written");

    QTest::newRow("Chinese in windows-1252")
        << "windows-1252" << u"é中x\U0001F600"_qs << 1 << 2 << QByteArray("\xe9&#20013;x&#128512;");
    QTest::newRow("Thai in EUC-KR")
        << "EUC-KR" << u"한ก"_qs << 1 << 1 << QByteArray::fromHex("c7d1") + "&#3585;";
    QTest::newRow("lone surrogate in UTF-8")
        << "UTF-8" << QString(QChar(0xD800)) + "a" << 0 << 1 << QByteArray("&#55296;a");
    QTest::newRow("GBK holds everything")
        << "GBK" << u"\U0001F600é"_qs << -1 << 0 << QByteArray::fromHex("9439fc36a8a6");
}

void TestTextCodec::unencodable()
{
    QFETCH(QString, encoding);
    QFETCH(QString, text);
    QFETCH(int, first);
    QFETCH(int, count);
    QFETCH(QByteArray, written);
    const TextCodec *codec = TextCodec::forName(encoding);
    QVERIFY(codec);
    const TextCodec::Unencodable found = codec->unencodable(text);
    QCOMPARE(found.first, qsizetype(first));
    QCOMPARE(found.count, qsizetype(count));
    QCOMPARE(codec->encode(text), written);
    QCOMPARE(codec->encodedLength(text), written.size());
}

QTEST_APPLESS_MAIN(TestTextCodec)
#include "tst_textcodec.moc"
