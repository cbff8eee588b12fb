#include "editor/htmlscanner.h"

#include <QTest>

using HtmlScanner::Kind;
using HtmlScanner::State;

namespace {

// One letter per character: . plain, T tag, A attribute name, V value,
// C comment, D declaration, E entity, S string, N number, K keyword.
constexpr char kLetters[] = ".TAVCDESNK";

// The lines of text scanned one after the other, each ending a line; the
// kinds as letters, with the line breaks kept.
QString kindsOf(const QString &text)
{
    QString letters;
    State state;
    const QStringList lines = text.split(u'\n');
    for (const QString &line : lines) {
        std::vector<Kind> kinds(size_t(line.size()), HtmlScanner::Plain);
        state = HtmlScanner::scan(line, state, true, kinds.data());
        for (const Kind kind : kinds)
            letters += QLatin1Char(kLetters[kind]);
        letters += u'\n';
    }
    letters.chop(1);
    return letters;
}

// The tags a scan reports, as text: "<name" or "</name", then ">" or "/>".
class TagList : public HtmlScanner::TagSink {
public:
    QString list;
    QStringView line;
    void tagName(qsizetype begin, qsizetype end, bool endTag, bool complete) override
    {
        list += endTag ? u"</" : u"<";
        list += line.sliced(qMax<qsizetype>(begin, 0), end - qMax<qsizetype>(begin, 0));
        if (!complete)
            list += u'…';
    }
    void tagEnd(qsizetype at, bool selfClosing) override
    {
        list += selfClosing ? u"/>@" : u">@";
        list += QString::number(at);
    }
};

// The tags of the lines, and the states where they end, from a scan for
// the tags alone (without kinds) or from the colouring's scan with them.
QString tagsOf(const QString &text, bool withKinds)
{
    TagList tags;
    State state;
    for (const QString &line : text.split(u'\n')) {
        std::vector<Kind> kinds(size_t(line.size()), HtmlScanner::Plain);
        tags.line = line;
        state = HtmlScanner::scan(line, state, true, withKinds ? kinds.data() : nullptr, &tags);
        tags.list += u'|' + QString::number(HtmlScanner::readingTagName(state)) +
                     QString::fromLatin1(HtmlScanner::endOfFileError(state)) + u'\n';
    }
    return tags.list;
}

} // namespace

class TestHtmlScanner : public QObject {
    Q_OBJECT
private slots:
    void kinds_data();
    void kinds();
    void resumesAtAnyCharacter_data() { kinds_data(); }
    void resumesAtAnyCharacter();
    void tagsAloneAsColoured_data() { kinds_data(); }
    void tagsAloneAsColoured();
};

void TestHtmlScanner::kinds_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("kinds");

    QTest::newRow("tag, attribute, value") << R"(<a href="x">Hi</a>)"
                                           << "TT.AAAATVVVT..TTTT";
    QTest::newRow("quotes and bare values") << "<p a='1' b=2 c>"
                                            << "TT.ATVVV.ATV.AT";
    QTest::newRow("tag runs over lines") << "<img src=a\nalt='b c'>d"
                                         << "TTTT.AAATV\nAAATVVVVVT.";
    QTest::newRow("line break ends the name") << "<a\nhref=x>"
                                              << "TT\nAAAATVT";
    QTest::newRow("stray less-than signs") << "a < b <3 c <"
                                           << "............";
    QTest::newRow("entities") << "&amp; &#123; &#x1F; &nbsp b & c &#; &"
                              << "EEEEE.EEEEEE.EEEEEE.EEEEE............";
    QTest::newRow("entity in a value") << "<a href=x&amp;y>"
                                       << "TT.AAAATVEEEEEVT";
    QTest::newRow("comment over lines") << "<!-- a\nb -->c"
                                        << "CCCCCC\nCCCCC.";
    QTest::newRow("comments closed at once") << "<!-->x<!--->y"
                                             << "CCCCC.CCCCCC.";
    QTest::newRow("comment end with bang") << "<!-- a --!>b"
                                           << "CCCCCCCCCCC.";
    QTest::newRow("doctype") << "<!DOCTYPE html>x"
                             << "DDDDDDDDDDDDDDD.";
    QTest::newRow("processing instruction") << "<?xml v?>x"
                                            << "DDDDDDDDD.";
    QTest::newRow("bogus end tag") << "</ x>y</>"
                                   << "DDDDD.TTT";
    QTest::newRow("end tag inside a script string") << R"(<script>s = "</div>"; // c</script>x)"
                                                    << "TTTTTTTT....SSSSSSSS..CCCCTTTTTTTTT.";
    QTest::newRow("script ends inside a string") << R"(<script>s="</script>";</script>)"
                                                 << "TTTTTTTT..STTTTTTTTT..TTTTTTTTT";
    QTest::newRow("upper-case end tag with a blank") << "<SCRIPT>x</SCRIPT >y"
                                                     << "TTTTTTTT.TTTTTTTT.T.";
    QTest::newRow("script keywords and numbers")
        << "<script type=module>if (x) return 0x1F;</script>"
        << "TTTTTTT.AAAATVVVVVVTKK.....KKKKKK.NNNN.TTTTTTTTT";
    QTest::newRow("script comment over lines") << "<script>/* a\nb */ c</script>"
                                               << "TTTTTTTTCCCC\nCCCC..TTTTTTTTT";
    QTest::newRow("script string ends at the line") << "<script>'a\nb'</script>"
                                                    << "TTTTTTTTSS\n.STTTTTTTTT";
    QTest::newRow("escaped script text") << R"(<script><!--
w("<script></script>");
--></script>x)"
                                         << "TTTTTTTTCCCC\n..SSSSSSSSSSSSSSSSSSS..\nCCCTTTTTTTTT.";
    QTest::newRow("double escape keeps the script open")
        << "<script><!--<script>\n</script>\n--></script>x"
        << "TTTTTTTTCCCCCCCCCCCC\n.........\nCCCTTTTTTTTT.";
    QTest::newRow("style") << "<style>p { color: #fff; margin: -1px } /* c */ @media</style>"
                           << "TTTTTTT....KKKKK..NNNN..KKKKKK..NNNN...CCCCCCC.KKKKKKTTTTTTTT";
    QTest::newRow("style string and important") << "<style>a{b:'x'!important}</style>"
                                                << "TTTTTTT..K.SSSKKKKKKKKKK.TTTTTTTT";
    QTest::newRow("title holds no tags") << "<title>a <b> &amp;</title>"
                                         << "TTTTTTT......EEEEETTTTTTTT";
    QTest::newRow("not a raw element") << "<scripts>'x'</scripts>"
                                       << "TTTTTTTTT...TTTTTTTTTT";
    QTest::newRow("self-closed script still opens") << "<script/>'a'</script>"
                                                    << "TTTTTTTTTSSSTTTTTTTTT";
    QTest::newRow("upper-case raw text") << "<STYLE>'<b>'</STYLE><Title><i></TITLE>x"
                                         << "TTTTTTTSSSSSTTTTTTTTTTTTTTT...TTTTTTTT.";
    QTest::newRow("names that only begin like raw text") << "<s>'a'</s><t x>'b'<sty>'c'"
                                                         << "TTT...TTTTTT.AT...TTTTT...";
    QTest::newRow("values with entities and quotes") << "<a b=\"x&amp;'y\" c='\"&lt;' d=e&#1;`f>g"
                                                     << "TT.ATVVEEEEEVVV.ATVVEEEEV.ATVEEEEVVT.";
    QTest::newRow("a name at the line's end") << "x<div\ny>z</p\n>"
                                              << ".TTTT\nAT.TTT\nT";
    QTest::newRow("script text with markup") << "<script>if(a<b&&c>d){x='<\\/script>'}</script>y"
                                             << "TTTTTTTTKK.............SSSSSSSSSSSS.TTTTTTTTT.";
}

void TestHtmlScanner::kinds()
{
    QFETCH(QString, text);
    QFETCH(QString, kinds);
    QCOMPARE(kindsOf(text), kinds);
}

// The scan for the tags alone, which reads script and style text only for
// its end, finds the tags and the states the colouring's scan finds.
void TestHtmlScanner::tagsAloneAsColoured()
{
    QFETCH(QString, text);
    QCOMPARE(tagsOf(text, false), tagsOf(text, true));
}

// A line cut anywhere into two pieces ends in the state of the whole line.
void TestHtmlScanner::resumesAtAnyCharacter()
{
    QFETCH(QString, text);
    State before;
    for (const QString &line : text.split(u'\n')) {
        const State whole = HtmlScanner::scan(line, before, true);
        for (qsizetype cut = 1; cut < line.size(); ++cut) {
            const State first = HtmlScanner::scan(line.left(cut), before, false);
            const State stored = State::fromInt(first.toInt());
            QVERIFY2(HtmlScanner::scan(line.mid(cut), stored, true) == whole,
                     qPrintable(QStringLiteral("cut at %1 of \"%2\"").arg(cut).arg(line)));
        }
        before = whole;
    }
}

QTEST_MAIN(TestHtmlScanner)
#include "tst_htmlscanner.moc"
