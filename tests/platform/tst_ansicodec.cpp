#include "platform/ansicodec.h"

#include <QFile>
#include <QRandomGenerator>
#include <QTest>

namespace {

QString fromUcs4(std::initializer_list<char32_t> codePoints)
{
    QString text;
    for (const char32_t c : codePoints) {
        if (c > 0xFFFF) {
            text += QChar(QChar::highSurrogate(c));
            text += QChar(QChar::lowSurrogate(c));
        } else {
            text += QChar(char16_t(c));
        }
    }
    return text;
}

QString escape(uchar byte)
{
    return QString(QChar(char16_t(0xDC00 + byte)));
}

} // namespace

class TestAnsiCodec : public QObject {
    Q_OBJECT

private slots:
    void vectors_data();
    void vectors();
    void referenceTable();
    void escapes_data();
    void escapes();
    void randomBytesRoundTrip();
    void unpairableUnits_data();
    void unpairableUnits();
    void everyBmpCharacter();
    void encodedLengthMatches_data();
    void encodedLengthMatches();
};

void TestAnsiCodec::vectors_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");

    QTest::newRow("ascii") << QStringLiteral("<p class=\"a\">\r\n")
                           << QByteArray("<p class=\"a\">\r\n");
    QTest::newRow("empty") << QString() << QByteArray();
    QTest::newRow("nul") << QString(QChar(0)) << QByteArray(1, '\0');
    QTest::newRow("zhong a") << QStringLiteral("中a") << QByteArray::fromHex("d6d061");
    QTest::newRow("euro") << fromUcs4({0x20AC}) << QByteArray::fromHex("80");
    QTest::newRow("ff") << fromUcs4({0xF8F5}) << QByteArray::fromHex("ff");
    QTest::newRow("middle dot") << fromUcs4({0x00B7}) << QByteArray::fromHex("a1a4");
    QTest::newRow("ideographic space") << fromUcs4({0x3000}) << QByteArray::fromHex("a1a1");
    QTest::newRow("U+20000") << fromUcs4({0x20000}) << QByteArray::fromHex("95328236");
    QTest::newRow("emoji") << fromUcs4({0x1F600}) << QByteArray::fromHex("9439fc36");
    QTest::newRow("U+10000") << fromUcs4({0x10000}) << QByteArray::fromHex("90308130");
    QTest::newRow("U+10FFFF") << fromUcs4({0x10FFFF}) << QByteArray::fromHex("e3329a35");
    QTest::newRow("U+0080") << fromUcs4({0x0080}) << QByteArray::fromHex("81308130");
    QTest::newRow("U+FFFD") << fromUcs4({0xFFFD}) << QByteArray::fromHex("8431a437");
    QTest::newRow("U+FFFF") << fromUcs4({0xFFFF}) << QByteArray::fromHex("8431a439");
    QTest::newRow("mixed") << fromUcs4({'<', 0x4E2D, 0x1F600, 'x', 0x0080, 0x20AC, '>'})
                           << QByteArray::fromHex("3cd6d09439fc36788130813080"
                                                  "3e");
}

void TestAnsiCodec::vectors()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);

    QCOMPARE(AnsiCodec::decode(bytes), text);
    QCOMPARE(AnsiCodec::encode(text), bytes);
    QCOMPARE(AnsiCodec::encodedLength(text), bytes.size());
    const QList<uint> codePoints = text.toUcs4();
    if (codePoints.size() == 1)
        QCOMPARE(AnsiCodec::encodedLength(char32_t(codePoints.first())), bytes.size());
}

void TestAnsiCodec::referenceTable()
{
    QFile file(QStringLiteral(ZELMO_SHARED_DATA "/cp936.tsv"));
    if (!file.open(QIODevice::ReadOnly))
        QSKIP("cp936.tsv is not available");

    int roundTrips = 0;
    for (int b = 0; b < 0x80; ++b) {
        const QByteArray bytes(1, char(b));
        QCOMPARE(AnsiCodec::decode(bytes), QString(QChar(char16_t(b))));
        QCOMPARE(AnsiCodec::encode(AnsiCodec::decode(bytes)), bytes);
        ++roundTrips;
    }
    int rows = 0;
    while (!file.atEnd()) {
        const QByteArray line = file.readLine().trimmed();
        if (line.isEmpty())
            continue;
        const QList<QByteArray> fields = line.split('\t');
        QCOMPARE(fields.size(), 2);
        const QByteArray bytes = QByteArray::fromHex(fields[0]);
        const QString decoded = AnsiCodec::decode(bytes);
        ++rows;
        if (fields[1] == "ERR") {
            QCOMPARE(bytes.size(), 1);
            QCOMPARE(decoded, escape(uchar(bytes[0])));
        } else {
            bool ok = false;
            const char16_t expected = char16_t(fields[1].toUInt(&ok, 16));
            QVERIFY(ok);
            if (decoded != QString(QChar(expected)))
                QFAIL(qPrintable(
                    QStringLiteral("%1 decodes to U+%2, expected U+%3")
                        .arg(QString::fromLatin1(fields[0]))
                        .arg(decoded.isEmpty() ? 0 : decoded[0].unicode(), 4, 16, QLatin1Char('0'))
                        .arg(uint(expected), 4, 16, QLatin1Char('0'))));
            QCOMPARE(AnsiCodec::encodedLength(char32_t(expected)), bytes.size());
            ++roundTrips;
        }
        QCOMPARE(AnsiCodec::encode(decoded), bytes);
    }
    QCOMPARE(rows, 24068);
    QCOMPARE(roundTrips, 24070);
}

void TestAnsiCodec::escapes_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");

    QTest::newRow("lone lead at end") << QByteArray::fromHex("61d6") << "a" + escape(0xD6);
    QTest::newRow("lead only") << QByteArray::fromHex("81") << escape(0x81);
    QTest::newRow("lead before newline") << QByteArray::fromHex("810a") << escape(0x81) + "\n";
    QTest::newRow("trail 7f") << QByteArray::fromHex("817f") << escape(0x81) + "\x7f";
    QTest::newRow("trail ff") << QByteArray::fromHex("81ff") << escape(0x81) + fromUcs4({0xF8F5});
    QTest::newRow("ff is no lead")
        << QByteArray::fromHex("ffa1") << fromUcs4({0xF8F5}) + escape(0xA1);
    QTest::newRow("truncated four")
        << QByteArray::fromHex("813081") << escape(0x81) + "0" + escape(0x81);
    QTest::newRow("four, bad fourth")
        << QByteArray::fromHex("81308141") << escape(0x81) + "0" + fromUcs4({0x4E04});
    // A character code page 936 holds at A8 BC.
    QTest::newRow("four, two-byte char")
        << QByteArray::fromHex("8135f437") << escape(0x81) + "5" + escape(0xF4) + "7";
    QTest::newRow("four, U+2028") << QByteArray::fromHex("8136a635")
                                  << escape(0x81) + "6" + escape(0xA6) + "5";
    QTest::newRow("four, U+FDD0") << QByteArray::fromHex("8430fa32")
                                  << escape(0x84) + "0" + escape(0xFA) + "2";
    QTest::newRow("four, past the basic plane")
        << QByteArray::fromHex("8431a530") << escape(0x84) + "1" + escape(0xA5) + "0";
    QTest::newRow("four, unassigned")
        << QByteArray::fromHex("85308130") << escape(0x85) + "0" + escape(0x81) + "0";
    QTest::newRow("four, past U+10FFFF")
        << QByteArray::fromHex("e3329a36") << escape(0xE3) + "2" + escape(0x9A) + "6";
    QTest::newRow("four, user range")
        << QByteArray::fromHex("fe39fe39") << escape(0xFE) + "9" + escape(0xFE) + "9";
    QTest::newRow("utf-8") << QByteArray("\xe4\xb8\xad") << fromUcs4({0x6D93}) + escape(0xAD);
}

void TestAnsiCodec::escapes()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);

    QCOMPARE(AnsiCodec::decode(bytes), text);
    QCOMPARE(AnsiCodec::encode(text), bytes);
    QCOMPARE(AnsiCodec::encodedLength(text), bytes.size());
}

void TestAnsiCodec::randomBytesRoundTrip()
{
    // Bytes drawn so that leads, digits and trails meet often enough to form every kind of
    // sequence, broken ones included.
    static const uchar interesting[] = {0x00, 0x0A, 0x30, 0x31, 0x35, 0x39, 0x3F, 0x40,
                                        0x7E, 0x7F, 0x80, 0x81, 0x82, 0x84, 0x8F, 0x90,
                                        0x95, 0xA1, 0xA4, 0xD6, 0xE3, 0xFD, 0xFE, 0xFF};
    QRandomGenerator random(936);
    for (int round = 0; round < 20000; ++round) {
        QByteArray bytes(random.bounded(1, 40), Qt::Uninitialized);
        for (char &b : bytes) {
            b = random.bounded(3) == 0
                    ? char(random.bounded(256))
                    : char(interesting[random.bounded(int(std::size(interesting)))]);
        }
        const QString text = AnsiCodec::decode(bytes);
        const QByteArray again = AnsiCodec::encode(text);
        if (again != bytes)
            QFAIL(
                qPrintable("round trip changed " + bytes.toHex(' ') + " into " + again.toHex(' ')));
        QCOMPARE(AnsiCodec::encodedLength(text), bytes.size());
        QVERIFY(!text.contains(QChar(0x2028)) && !text.contains(QChar(0x2029)));
    }
}

void TestAnsiCodec::unpairableUnits_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");

    QTest::newRow("lone high") << fromUcs4({'a', 0xD83D, 'b'}) << QByteArray("a?b");
    QTest::newRow("high at end") << fromUcs4({0xD83D}) << QByteArray("?");
    QTest::newRow("U+DC00") << fromUcs4({0xDC00}) << QByteArray("?");
    QTest::newRow("U+DC7F") << fromUcs4({0xDC7F}) << QByteArray("?");
    QTest::newRow("U+DC80") << fromUcs4({0xDC80}) << QByteArray::fromHex("80");
    QTest::newRow("U+DCFF") << fromUcs4({0xDCFF}) << QByteArray::fromHex("ff");
    QTest::newRow("two highs then pair")
        << fromUcs4({0xD83D, 0xD83D, 0xDE00}) << QByteArray::fromHex("3f9439fc36");
    QTest::newRow("pair then escape")
        << fromUcs4({0x1F600, 0xDC81}) << QByteArray::fromHex("9439fc3681");
}

void TestAnsiCodec::unpairableUnits()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);

    QCOMPARE(AnsiCodec::encode(text), bytes);
    QCOMPARE(AnsiCodec::encodedLength(text), bytes.size());
}

void TestAnsiCodec::everyBmpCharacter()
{
    // Every BMP character is written so that it reads back as itself, with two kinds of
    // exceptions that still keep their bytes over any number of saves: characters the text
    // widget does not keep read back as escapes, and characters GB18030 gives two-byte codes
    // that code page 936 assigns to private-use characters read back as those.
    const QList<char16_t> widgetUnsafe = {0x2028, 0x2029, 0xFDD0, 0xFDD1};
    QList<char16_t> privateUseTwins;
    for (char32_t c = 0x80; c <= 0xFFFF; ++c) {
        if (c >= 0xD800 && c <= 0xDFFF)
            continue;
        const QString text{QChar(char16_t(c))};
        const QByteArray bytes = AnsiCodec::encode(text);
        QCOMPARE(AnsiCodec::encodedLength(c), bytes.size());
        if (bytes == "?")
            QFAIL(qPrintable(QStringLiteral("U+%1 is written as '?'").arg(uint(c), 4, 16)));
        const QString back = AnsiCodec::decode(bytes);
        if (back == text)
            continue;
        QCOMPARE(AnsiCodec::encode(back), bytes);
        if (widgetUnsafe.contains(char16_t(c))) {
            QCOMPARE(bytes.size(), 4);
            continue;
        }
        QCOMPARE(bytes.size(), 2);
        QCOMPARE(back.size(), 1);
        QVERIFY(back[0].unicode() >= 0xE000 && back[0].unicode() <= 0xF8FF);
        privateUseTwins.append(char16_t(c));
    }
    QVERIFY(privateUseTwins.contains(0x1E3F));
    QVERIFY(privateUseTwins.contains(0x2E81));
    QVERIFY(privateUseTwins.size() <= 100);
}

void TestAnsiCodec::encodedLengthMatches_data()
{
    QTest::addColumn<QString>("text");

    QTest::newRow("ascii run") << QString(1000, QLatin1Char('x'));
    QTest::newRow("mixed") << fromUcs4({'a', 'b', 'c', 0x4E2D, 0x6587, 0x1F600, 0x0080, 0x20AC,
                                        0xF8F5, 0xDC81, 0xD800, 0xDC00, 0x01F9, 0x3000, 'z'});
    QTest::newRow("split pair at end") << fromUcs4({'a', 'b', 'c', 'd', 'e', 0xD83D});
    QTest::newRow("pair across ascii block") << fromUcs4({'a', 'b', 'c', 0x1F600, 'd', 'e', 'f'});
}

void TestAnsiCodec::encodedLengthMatches()
{
    QFETCH(QString, text);

    const QByteArray bytes = AnsiCodec::encode(text);
    QCOMPARE(AnsiCodec::encodedLength(text), bytes.size());
    qsizetype perCharacter = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        char32_t c = text[i].unicode();
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            c = QChar::surrogateToUcs4(text[i], text[i + 1]);
            ++i;
        }
        perCharacter += AnsiCodec::encodedLength(c);
    }
    QCOMPARE(perCharacter, bytes.size());
}

QTEST_APPLESS_MAIN(TestAnsiCodec)
#include "tst_ansicodec.moc"
