#include "editor/findreplace.h"
#include "editor/findreplacesearch.h"
#include "editor/linepieces.h"
#include "editor/richtextbox.h"
#include "platform/regexreasons.h"

#include <QLibraryInfo>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTest>
#include <QTranslator>

namespace {

// The two ways the logic reaches the editing area: through the RichText
// interface alone, or through the widget's document.
enum class Path { Text, Document };

std::unique_ptr<FindReplace> makeFindReplace(RichTextBox &box, Path path)
{
    if (path == Path::Text)
        return std::make_unique<FindReplace>(static_cast<RichText &>(box));
    return std::make_unique<FindReplace>(box);
}

const char *pathName(Path path)
{
    return path == Path::Text ? "through Text" : "through the document";
}

QString sep()
{
    return QString(QChar::ParagraphSeparator);
}

} // namespace

class TestFindReplace : public QObject {
    Q_OBJECT
private slots:
    void findNext_data();
    void findNext();
    void findNextSeesEveryChange();
    void replaceSelection_data();
    void replaceSelection();
    void replaceAll_data();
    void replaceAll();
    void matcherAgreesWithQt_data();
    void matcherAgreesWithQt();
    void searchOptions_data();
    void searchOptions();
    void invalidPatternSaysWhyInChinese_data();
    void invalidPatternSaysWhyInChinese();
};

void TestFindReplace::findNext_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("selStart");
    QTest::addColumn<int>("selLength");
    QTest::addColumn<QString>("findText");
    QTest::addColumn<bool>("matchCase");
    // The selection start after each find; -1 when nothing more is found.
    QTest::addColumn<QList<int>>("hits");

    QTest::newRow("without case") << "aXa xa" << 0 << 0 << "xa" << false << QList<int>{1, 4, -1};
    QTest::newRow("with case") << "aXa xa" << 0 << 0 << "xa" << true << QList<int>{4, -1};
    QTest::newRow("caret at the end") << "aXa xa" << 6 << 0 << "xa" << false << QList<int>{-1};
    QTest::newRow("after the selection") << "abab" << 0 << 2 << "ab" << false << QList<int>{2, -1};
    QTest::newRow("no overlap") << "aaaa" << 0 << 0 << "aa" << false << QList<int>{0, 2, -1};
    QTest::newRow("across a line break")
        << "ab\r\ncd\r\nab\r\ncd" << 0 << 0 << "b\r\nc" << false << QList<int>{1, 9, -1};
    QTest::newRow("line break alone") << "a\r\nb\r\n"
                                      << 0 << 0 << QString("\r\n") << false << QList<int>{1, 4, -1};
    QTest::newRow("paragraph separator is no line break")
        << "a\r\nb" << 0 << 0 << sep() << false << QList<int>{-1};
    QTest::newRow("final sigma folds") << QStringLiteral("ΣΟΦΟΣ σοφος") << 0 << 0
                                       << QStringLiteral("σοφος") << false << QList<int>{0, 6, -1};
    QTest::newRow("kelvin sign folds")
        << QStringLiteral("\u212A k K") << 0 << 0 << "k" << false << QList<int>{0, 2, 4, -1};
    QTest::newRow("kelvin sign with case")
        << QStringLiteral("\u212A k K") << 0 << 0 << "k" << true << QList<int>{2, -1};
    QTest::newRow("outside the basic plane")
        << QStringLiteral("a\U00010428b\U00010400") << 0 << 0 << QStringLiteral("\U00010400")
        << false << QList<int>{1, 4, -1};
    QTest::newRow("empty text to find") << "abc" << 1 << 1 << "" << false << QList<int>{2, 2};
    QTest::newRow("empty page") << "" << 0 << 0 << "a" << false << QList<int>{-1};
    QTest::newRow("beyond 32767") << QString(40000, u'x') + QStringLiteral("\r\nneedle") << 0 << 0
                                  << "NEEDLE" << false << QList<int>{40002, -1};
    // A line this long is held as pieces: the occurrences straddle them.
    const QString longLine =
        QString(LinePieces::kPieceLength - 1, u'x') + "needle" + QString(2000, u'y');
    QTest::newRow("across pieces of a line")
        << longLine + "\r\n" + longLine << 0 << 0 << "NEEDLE" << false
        << QList<int>{LinePieces::kPieceLength - 1,
                      int(longLine.size()) + 2 + LinePieces::kPieceLength - 1, -1};
    QTest::newRow("line break after a long line")
        << longLine + "\r\nab" << 600 << 0 << "y\r\na" << false
        << QList<int>{int(longLine.size()) - 1, -1};
    QTest::newRow("from beyond 32767") << QString(40000, u'x') + QStringLiteral("ab ab") << 40001
                                       << 0 << "ab" << false << QList<int>{40003, -1};
}

void TestFindReplace::findNext()
{
    QFETCH(QString, text);
    QFETCH(int, selStart);
    QFETCH(int, selLength);
    QFETCH(QString, findText);
    QFETCH(bool, matchCase);
    QFETCH(QList<int>, hits);
    const Qt::CaseSensitivity cs = matchCase ? Qt::CaseSensitive : Qt::CaseInsensitive;

    for (const Path path : {Path::Text, Path::Document}) {
        RichTextBox box;
        box.setText(text);
        box.setSelStart(selStart);
        box.setSelLength(selLength);
        const auto findReplace = makeFindReplace(box, path);
        for (const int hit : hits) {
            const qsizetype startBefore = box.SelStart();
            const qsizetype lengthBefore = box.SelLength();
            const bool found = findReplace->FindNextMatch(findText, cs);
            QVERIFY2(found == (hit >= 0), pathName(path));
            if (found) {
                QCOMPARE(box.SelStart(), hit);
                QCOMPARE(box.SelLength(), findText.size());
                QCOMPARE(box.SelText().compare(findText, cs), 0);
            } else {
                QCOMPARE(box.SelStart(), startBefore);
                QCOMPARE(box.SelLength(), lengthBefore);
            }
        }
    }
}

void TestFindReplace::findNextSeesEveryChange()
{
    RichTextBox box;
    box.setText(QStringLiteral("x"));
    FindReplace findReplace(box);
    QVERIFY(!findReplace.FindNextMatch(QStringLiteral("ab"), Qt::CaseInsensitive));

    box.moveCursor(QTextCursor::End);
    box.insertPlainText(QStringLiteral("ab"));
    box.setSelStart(0);
    QVERIFY(findReplace.FindNextMatch(QStringLiteral("ab"), Qt::CaseInsensitive));
    QCOMPARE(box.SelStart(), 1);

    box.undo();
    box.setSelStart(0);
    QVERIFY(!findReplace.FindNextMatch(QStringLiteral("ab"), Qt::CaseInsensitive));

    box.setText(QStringLiteral("new\r\nab"));
    QVERIFY(findReplace.FindNextMatch(QStringLiteral("ab"), Qt::CaseInsensitive));
    QCOMPARE(box.SelStart(), 5);

    box.setSelText(QStringLiteral("cd"));
    box.setSelStart(0);
    QVERIFY(!findReplace.FindNextMatch(QStringLiteral("ab"), Qt::CaseInsensitive));
    QVERIFY(findReplace.FindNextMatch(QStringLiteral("cd"), Qt::CaseInsensitive));
}

void TestFindReplace::replaceSelection_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("selStart");
    QTest::addColumn<int>("selLength");
    QTest::addColumn<QString>("replacement");
    QTest::addColumn<bool>("replaced");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<int>("caret");

    QTest::newRow("nothing selected") << "abc" << 1 << 0 << "X" << false << "abc" << 1;
    QTest::newRow("any selection") << "abc" << 1 << 1 << "XY" << true << "aXYc" << 3;
    QTest::newRow("across a line break") << "ab\r\ncd" << 1 << 4 << "-" << true << "a-d" << 2;
    QTest::newRow("by a line break") << "abc" << 1 << 1 << "\r\n" << true << "a\r\nc" << 3;
    QTest::newRow("by nothing") << "abc" << 0 << 2 << "" << true << "c" << 0;
}

void TestFindReplace::replaceSelection()
{
    QFETCH(QString, text);
    QFETCH(int, selStart);
    QFETCH(int, selLength);
    QFETCH(QString, replacement);
    QFETCH(bool, replaced);
    QFETCH(QString, expected);
    QFETCH(int, caret);
    RichTextBox box;
    box.setText(text);
    box.setSelStart(selStart);
    box.setSelLength(selLength);
    FindReplace findReplace(box);
    QCOMPARE(findReplace.ReplaceSelection(replacement), replaced);
    QCOMPARE(box.Text(), expected);
    QCOMPARE(box.SelStart(), caret);
    QCOMPARE(box.SelLength(), 0);
}

void TestFindReplace::replaceAll_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("findText");
    QTest::addColumn<QString>("replacement");
    QTest::addColumn<bool>("matchCase");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<int>("count");
    const auto row = [](const char *name, const QString &text, const QString &findText,
                        const QString &replacement, bool matchCase, const QString &expected,
                        int count) {
        QTest::newRow(name) << text << findText << replacement << matchCase << expected << count;
    };

    row("inserted text not scanned again", "aaa", "a", "aa", false, "aaaaaa", 3);
    row("without case", "Aa aA", "a", "b", false, "bb bb", 4);
    row("with case", "Aa aA", "a", "b", true, "Ab bA", 2);
    row("not overlapping", "aaaaa", "aa", "b", false, "bba", 2);
    row("many on a line, several lines", "ab ab\r\nxab\r\nab", "AB", "-", false, "- -\r\nx-\r\n-",
        4);
    row("far apart on a line", "ab" + QString(3000, u' ') + "ab", "ab", "X", false,
        "X" + QString(3000, u' ') + "X", 2);
    row("across a line break", "ab\r\ncd\r\nab", "b\r\nc", "X", false, "aXd\r\nab", 1);
    row("line breaks away", "a\r\nb\r\nc", "\r\n", "", false, "abc", 2);
    row("by line breaks", "a-b-c", "-", "\r\n", false, "a\r\nb\r\nc", 2);
    row("by a lone line feed", "a-b", "-", "\n", false, "a\r\nb", 1);
    row("replacements joining their line breaks", "a--b", "-", "\nx\r", false, "a\r\nx\r\nx\r\nb",
        2);
    row("half a line break", "ab\r\ncd", "b\r", "X", false, "aX\r\ncd", 1);
    row("case folding", QStringLiteral("\u017Ftraße STRASSE"), "st", "_", false,
        QStringLiteral("_raße _RASSE"), 2);
    const QString longLine =
        QString(LinePieces::kPieceLength - 1, u'x') + "needle" + QString(2000, u'y');
    row("across pieces of a line", longLine, "needle", "\r\n", false,
        QString(longLine).replace("needle", "\r\n"), 1);
    row("long line grown", QString(3000, u'y'), "y", "yy", false, QString(6000, u'y'), 3000);
    row("nothing matches", "abc", "z", "y", false, "abc", 0);
    row("empty text to find", "abc", "", "y", false, "abc", 0);
}

void TestFindReplace::replaceAll()
{
    QFETCH(QString, text);
    QFETCH(QString, findText);
    QFETCH(QString, replacement);
    QFETCH(bool, matchCase);
    QFETCH(QString, expected);
    QFETCH(int, count);
    const Qt::CaseSensitivity cs = matchCase ? Qt::CaseSensitive : Qt::CaseInsensitive;

    for (const Path path : {Path::Text, Path::Document}) {
        RichTextBox box;
        box.setText(text);
        box.setSelStart(1);
        box.setSelLength(1);
        const auto findReplace = makeFindReplace(box, path);
        QSignalSpy changes(&box, &RichTextBox::Change);
        QCOMPARE(findReplace->ReplaceAll(findText, replacement, cs), count);
        QVERIFY2(box.Text() == expected, pathName(path));
        QCOMPARE(box.SelStart(), 0);
        QCOMPARE(box.SelLength(), 0);
        QVERIFY2(changes.count() >= 1, pathName(path));
        if (path == Path::Document && count > 0) {
            box.undo();
            QCOMPARE(box.Text(), RichTextBox::normalizedLineBreaks(text).replace(u'\n', "\r\n"));
        }
    }
}

void TestFindReplace::matcherAgreesWithQt_data()
{
    QTest::addColumn<int>("haystackLength");
    QTest::addColumn<int>("needleLength");
    QTest::newRow("short") << 20 << 2;
    QTest::newRow("long") << 700 << 3;
    QTest::newRow("long, long needle") << 700 << 7;
}

void TestFindReplace::matcherAgreesWithQt()
{
    QFETCH(int, haystackLength);
    QFETCH(int, needleLength);
    // Case forms that fold together, a character outside the basic plane in
    // both cases, a line break and Chinese.
    const QString alphabet =
        QStringLiteral("aAbBkK\u212AsS\u017F\u03C3\u03A3\u03C2\u4E2D\u2029\U00010400\U00010428");
    QRandomGenerator random(4711);
    const auto randomText = [&](int length) {
        QString text;
        while (text.size() < length)
            text += alphabet.at(random.bounded(int(alphabet.size())));
        return text;
    };
    for (int round = 0; round < 400; ++round) {
        const QString haystack = randomText(int(random.bounded(haystackLength + 1)));
        QString needle = randomText(int(random.bounded(needleLength + 1)));
        if (round % 3 == 0 && haystack.size() > needleLength) {
            // A needle taken from the haystack, in the other case.
            const int at = int(random.bounded(int(haystack.size()) - needleLength));
            needle = haystack.mid(at, needleLength).toUpper();
        }
        const qsizetype from = random.bounded(int(haystack.size()) + 2);
        for (const auto cs : {Qt::CaseSensitive, Qt::CaseInsensitive}) {
            const qsizetype expected = QStringView(haystack).indexOf(needle, from, cs);
            const qsizetype actual = TextMatcher(needle, cs).indexIn(haystack, from);
            if (actual != expected)
                qWarning() << haystack << needle << from << cs;
            QCOMPARE(actual, expected);
        }
    }
}

QTEST_MAIN(TestFindReplace)
#include "tst_findreplace.moc"

void TestFindReplace::searchOptions_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("findText");
    QTest::addColumn<QString>("replacement");
    QTest::addColumn<bool>("regex");
    QTest::addColumn<bool>("word");
    QTest::addColumn<bool>("matchCase");
    QTest::addColumn<int>("firstHit"); // selection start after the first find, -1 none
    QTest::addColumn<int>("hitLength");
    QTest::addColumn<QString>("expected"); // after replace all
    QTest::addColumn<int>("count");
    const auto row = [](const char *name, const QString &text, const QString &findText,
                        const QString &replacement, bool regex, bool word, bool matchCase,
                        int firstHit, int hitLength, const QString &expected, int count) {
        QTest::newRow(name) << text << findText << replacement << regex << word << matchCase
                            << firstHit << hitLength << expected << count;
    };
    row("groups swapped", "2026-12 and 1999-01", "(\\d+)-(\\d+)", "$2/$1", true, false, false, 0, 7,
        "12/2026 and 01/1999", 2);
    row("whole match and a dollar", "a1 b2", "[a-z]\\d", "<$0>$$", true, false, false, 0, 2,
        "<a1>$ <b2>$", 2);
    row("a group that took no part is empty", "ab a", "a(b)?", "[$1]", true, false, false, 0, 2,
        "[b] []", 2);
    row("regex without case", "Foo fOO", "fo+", "x", true, false, false, 0, 3, "x x", 2);
    row("regex with case", "Foo fOO", "fo+", "x", true, false, true, -1, 0, "Foo fOO", 0);
    // Not after the break that ends the text, as Perl has it.
    row("line starts", "ab\r\ncd\r\n", "^", "> ", true, false, false, -1, 0, "> ab\r\n> cd\r\n", 2);
    row("line ends", "ab\r\ncd", "b$", "B", true, false, false, 1, 1, "aB\r\ncd", 1);
    row("whole word among Latin", "cat concat cat.", "cat", "dog", false, true, false, 0, 3,
        "dog concat dog.", 2);
    row("whole word beside Chinese", QStringLiteral("中文abc中文 abcd"), "abc", "X", false, true,
        false, 2, 3, QStringLiteral("中文X中文 abcd"), 1);
    // Without a dictionary every Chinese character stands as a word.
    row("Chinese characters as words", QStringLiteral("用中文写abc"), QStringLiteral("中文"), "ZW",
        false, true, false, 1, 2, QStringLiteral("用ZW写abc"), 1);
    row("Chinese word alone", QStringLiteral("abc 中文 def"), QStringLiteral("中文"), "ZW", false,
        true, false, 4, 2, "abc ZW def", 1);
    row("whole word regex", "ab abc xab", "ab\\w*", "#", true, true, false, 0, 2, "# # xab", 2);
    row("invalid pattern finds and replaces nothing", "a(b", "a(b", "x", true, false, false, -1, 0,
        "a(b", 0);
    row("literal regex characters without regex", "a(b a.b", "a.b", "x", false, false, false, 4, 3,
        "a(b x", 1);
}

void TestFindReplace::searchOptions()
{
    QFETCH(QString, text);
    QFETCH(QString, findText);
    QFETCH(QString, replacement);
    QFETCH(bool, regex);
    QFETCH(bool, word);
    QFETCH(bool, matchCase);
    QFETCH(int, firstHit);
    QFETCH(int, hitLength);
    QFETCH(QString, expected);
    QFETCH(int, count);
    SearchOptions options;
    options.regex = regex;
    options.wholeWord = word;
    options.cs = matchCase ? Qt::CaseSensitive : Qt::CaseInsensitive;

    for (const Path path : {Path::Text, Path::Document}) {
        RichTextBox box;
        box.setText(text);
        const auto findReplace = makeFindReplace(box, path);
        QVERIFY2(findReplace->FindNextMatch(findText, options) == (firstHit >= 0), pathName(path));
        if (firstHit >= 0) {
            QVERIFY2(box.SelStart() == firstHit, pathName(path));
            QVERIFY2(box.SelLength() == hitLength, pathName(path));
        }
        QVERIFY2(findReplace->ReplaceAll(findText, replacement, options) == count, pathName(path));
        QVERIFY2(box.Text() == expected, qPrintable(box.Text() + " " + pathName(path)));
    }
}

void TestFindReplace::invalidPatternSaysWhyInChinese_data()
{
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<bool>(
        "translated"); // Qt's translation and ours installed, as the program has them
    QTest::addColumn<QString>("error");
    const auto row = [](const char *name, const QString &pattern, int at, const QString &reason) {
        const QString error =
            QStringLiteral("正则表达式有误（第 %1 个字符处）：%2").arg(at).arg(reason);
        QTest::newRow(name) << pattern << false << error;
        QTest::newRow((QByteArray(name) + " (translated)").constData()) << pattern << true << error;
    };
    row("open group", "a(b", 4, "缺少右括号 )");
    row("stray closing", "a)b", 2, "多了右括号 )，没有与之配对的左括号");
    row("open class", "[a", 3, "字符集缺少结尾的 ]");
    row("nothing to repeat", "*a", 1, "次数符号前面没有可重复的内容");
    row("counts reversed", "a{2,1}", 6, "{} 次数中前一个数大于后一个数");
    row("unknown property", "\\p{Foo}", 8, "\\P 或 \\p 后面是未知的字符属性");
    row("same group name", "(?<n>a)(?<n>b)", 13, "两个命名分组用了同一个名字");
    row("position after Chinese", "中文(a", 5, "缺少右括号 )");
}

void TestFindReplace::invalidPatternSaysWhyInChinese()
{
    QFETCH(QString, pattern);
    QFETCH(bool, translated);
    QFETCH(QString, error);
    QTranslator qt;
    RegexReasonTranslator ours;
    if (translated) {
        QVERIFY(qt.load(QStringLiteral("qtbase_zh_CN"),
                        QLibraryInfo::path(QLibraryInfo::TranslationsPath)));
        QCoreApplication::installTranslator(&qt);
        QCoreApplication::installTranslator(&ours);
    }
    SearchOptions options;
    options.regex = true;
    const SearchPattern search(pattern, options);
    QVERIFY(!search.isValid());
    QCOMPARE(search.error(), error);
}
