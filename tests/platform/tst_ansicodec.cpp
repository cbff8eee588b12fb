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

// Two-byte codes that code page 936 reads as private-use characters but that we,
// like browsers, read as the characters GB18030 gives them: CJK radicals and
// ideographs, ideographic description characters, U+1E3F and U+01F9.
bool readAsBrowsersDo(const QByteArray &bytes)
{
    static const char *const ranges[] = {"A8BC",      "A8BF",      "A989-A995", "FE50",
                                         "FE54-FE58", "FE5A-FE60", "FE62-FE65", "FE68-FE6B",
                                         "FE6E-FE75", "FE77-FE7D", "FE80-FE8F", "FE92-FE9F"};
    if (bytes.size() != 2)
        return false;
    const uint code = uint(uchar(bytes[0])) << 8 | uchar(bytes[1]);
    for (const char *range : ranges) {
        const QList<QByteArray> ends = QByteArray(range).split('-');
        if (code >= ends.first().toUInt(nullptr, 16) && code <= ends.last().toUInt(nullptr, 16))
            return true;
    }
    return false;
}

// The browsers' gb18030 index: code points by pointer, for two-byte codes
// and (as the first pointer of each range) for four-byte sequences.
QMap<int, char32_t> browserIndex(const char *name)
{
    QMap<int, char32_t> index;
    QFile file(QStringLiteral(ZELMO_TEST_DATA "/whatwg-encoding/") + QLatin1String(name));
    if (!file.open(QIODevice::ReadOnly))
        return index;
    while (!file.atEnd()) {
        const QList<QByteArray> fields = file.readLine().simplified().split(' ');
        if (fields.size() >= 2 && !fields[0].startsWith('#'))
            index.insert(fields[0].toInt(), char32_t(fields[1].toUInt(nullptr, 16)));
    }
    return index;
}

int twoBytePointer(const QByteArray &bytes)
{
    const int trail = uchar(bytes[1]);
    return (uchar(bytes[0]) - 0x81) * 190 + trail - (trail < 0x7F ? 0x40 : 0x41);
}

// The four-byte sequence the browsers' ranges give a basic-plane character.
QByteArray fourByteSequence(const QMap<int, char32_t> &ranges, char32_t c)
{
    int pointer = 0;
    for (auto it = ranges.cbegin(); it != ranges.cend() && it.value() <= c; ++it)
        pointer = it.key() + int(c - it.value());
    if (c == 0xE7C7)
        pointer = 7457; // the one exception the Encoding Standard makes to its ranges
    const char bytes[4] = {char(0x81 + pointer / 12600), char(0x30 + pointer / 1260 % 10),
                           char(0x81 + pointer / 10 % 126), char(0x30 + pointer % 10)};
    return QByteArray(bytes, 4);
}

// Both ways of decoding: exact, and for the editing area.
void decoderRows()
{
    QTest::addColumn<bool>("forEditing");

    QTest::newRow("exact") << false;
    QTest::newRow("for editing") << true;
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
    void everyScalarValue_data();
    void everyScalarValue();
    void everyByteSequence_data();
    void everyByteSequence();
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
    QTest::newRow("U+2E81, radical") << fromUcs4({0x2E81}) << QByteArray::fromHex("fe50");
    QTest::newRow("U+E815, its old twin") << fromUcs4({0xE815}) << QByteArray::fromHex("8336c934");
    QTest::newRow("U+1E3F") << fromUcs4({0x1E3F}) << QByteArray::fromHex("a8bc");
    QTest::newRow("U+E7C7, its old twin") << fromUcs4({0xE7C7}) << QByteArray::fromHex("8135f437");
    QTest::newRow("U+2028") << fromUcs4({0x2028}) << QByteArray::fromHex("8136a635");
    QTest::newRow("U+FDEF") << fromUcs4({0xFDEF}) << QByteArray::fromHex("8430fd33");
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
    // The tables are part of the repository: a missing one is a failure.
    QFile file(QStringLiteral(ZELMO_TEST_DATA "/cp936.tsv"));
    QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(file.fileName()));
    const QMap<int, char32_t> twoByte = browserIndex("index-gb18030.txt");
    const QMap<int, char32_t> ranges = browserIndex("index-gb18030-ranges.txt");
    QVERIFY2(twoByte.size() > 20000 && ranges.size() > 100,
             "the browsers' gb18030 index in tests/data is missing or cut short");

    int roundTrips = 0;
    for (int b = 0; b < 0x80; ++b) {
        const QByteArray bytes(1, char(b));
        QCOMPARE(AnsiCodec::decode(bytes), QString(QChar(char16_t(b))));
        QCOMPARE(AnsiCodec::encode(AnsiCodec::decode(bytes)), bytes);
        ++roundTrips;
    }
    int rows = 0;
    int asBrowsers = 0;
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
            char16_t expected = char16_t(fields[1].toUInt(&ok, 16));
            QVERIFY(ok);
            if (readAsBrowsersDo(bytes)) {
                // The private-use character code page 936 has here keeps its
                // GB18030 four-byte sequence.
                const QString twin{QChar(expected)};
                QCOMPARE(AnsiCodec::encode(twin), fourByteSequence(ranges, expected));
                QCOMPARE(AnsiCodec::decode(AnsiCodec::encode(twin)), twin);
                expected = char16_t(twoByte.value(twoBytePointer(bytes)));
                ++asBrowsers;
            }
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
    QCOMPARE(asBrowsers, 81);
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
    // U+E76C, a character code page 936 holds at A2 E3.
    QTest::newRow("four, two-byte char")
        << QByteArray::fromHex("8336c739") << escape(0x83) + "6" + escape(0xC7) + "9";
    // Characters the editing area would take as line breaks.
    QTest::newRow("four, U+2029") << QByteArray::fromHex("8136a636")
                                  << escape(0x81) + "6" + escape(0xA6) + "6";
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

void TestAnsiCodec::everyScalarValue_data()
{
    decoderRows();
}

// Every Unicode scalar value encodes to bytes that decode back to it; read for
// editing, all but the three characters the editing area takes as line breaks.
void TestAnsiCodec::everyScalarValue()
{
    QFETCH(bool, forEditing);

    QString text;
    qsizetype perCharacter = 0;
    for (char32_t c = 0x80; c <= 0x10FFFF; ++c) {
        if ((c >= 0xD800 && c <= 0xDFFF) ||
            (forEditing && (c == 0x2029 || c == 0xFDD0 || c == 0xFDD1)))
            continue;
        text += QStringView(fromUcs4({c}));
        perCharacter += AnsiCodec::encodedLength(c);
    }
    const QByteArray bytes = AnsiCodec::encode(text);
    QCOMPARE(perCharacter, bytes.size());
    QCOMPARE(AnsiCodec::encodedLength(text), bytes.size());
    const QString back = forEditing ? AnsiCodec::decode(bytes) : AnsiCodec::decodeExact(bytes);
    if (back != text) {
        qsizetype i = 0;
        while (i < back.size() && back[i] == text[i])
            ++i;
        QFAIL(qPrintable(QStringLiteral("U+%1 does not come back")
                             .arg(text[i].unicode(), 4, 16, QLatin1Char('0'))));
    }
}

void TestAnsiCodec::everyByteSequence_data()
{
    decoderRows();
}

// Every sequence of one or two bytes, and every sequence of GB18030's four-byte
// form, decodes to text that encodes back to the same bytes. A line feed after
// each keeps them apart, since no sequence goes on past one.
void TestAnsiCodec::everyByteSequence()
{
    QFETCH(bool, forEditing);

    QByteArray bytes;
    bytes.reserve(1587600 * 5 + 65536 * 3 + 256 * 2);
    for (int b = 0; b < 0x100; ++b)
        bytes.append(char(b)).append('\n');
    for (int b = 0; b < 0x10000; ++b)
        bytes.append(char(b >> 8)).append(char(b)).append('\n');
    for (int b1 = 0x81; b1 <= 0xFE; ++b1) {
        for (int b2 = 0x30; b2 <= 0x39; ++b2) {
            for (int b3 = 0x81; b3 <= 0xFE; ++b3) {
                for (int b4 = 0x30; b4 <= 0x39; ++b4) {
                    const char sequence[5] = {char(b1), char(b2), char(b3), char(b4), '\n'};
                    bytes.append(sequence, 5);
                }
            }
        }
    }
    const QString text = forEditing ? AnsiCodec::decode(bytes) : AnsiCodec::decodeExact(bytes);
    QCOMPARE(AnsiCodec::encodedLength(text), bytes.size());
    QVERIFY(AnsiCodec::encode(text) == bytes);
    if (forEditing) {
        QVERIFY(!text.contains(QChar(0x2029)) && !text.contains(QChar(0xFDD0)) &&
                !text.contains(QChar(0xFDD1)));
    }
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
