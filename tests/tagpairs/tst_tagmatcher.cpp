#include "editor/inplaceedits.h"
#include "editor/linepieces.h"
#include "editor/syntaxblocks.h"
#include "tagpairs/summaryfill.h"
#include "tagpairs/tagmatcher.h"

#include <QPlainTextDocumentLayout>
#include <QTest>
#include <QTextCursor>
#include <QTextDocument>

namespace {

// A page with its long lines held in pieces, as the editing area holds it.
struct Page {
    QTextDocument document;
    LinePieces pieces{&document};
    explicit Page(const QString &text)
    {
        // As in the editing area: a document tells of its edits once laid
        // out.
        document.setDocumentLayout(new QPlainTextDocumentLayout(&document));
        pieces.load(text, [this](const QString &plain) { document.setPlainText(plain); });
    }
    TagMatcher matcher() { return TagMatcher(document, pieces, *SyntaxBlocks::of(&document)); }
    SummaryFill fill{document, pieces, nullptr};
    // Whether every whole line is summed up for the state it begins in now.
    bool summedUp()
    {
        SyntaxBlocks &states = *SyntaxBlocks::of(&document);
        for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
            const bool whole = !LinePieces::isContinuation(block) && LinePieces::endsLine(block);
            const auto state = states.stateBefore(block, block.blockNumber());
            if (whole && !TagSummaries::of(document)->find(block, state))
                return false;
        }
        return true;
    }
};

// Takes the marker out of text; its index, or -1.
qsizetype takeMarker(QString &text, QChar marker)
{
    const qsizetype at = text.indexOf(marker);
    if (at >= 0)
        text.remove(at, 1);
    return at;
}

const char *statusName(TagMatcher::Status status)
{
    switch (status) {
    case TagMatcher::Status::Paired:
        return "paired";
    case TagMatcher::Status::Void:
        return "void";
    case TagMatcher::Status::Implied:
        return "implied";
    case TagMatcher::Status::Unclosed:
        return "unclosed";
    case TagMatcher::Status::Stray:
        return "stray";
    case TagMatcher::Status::Unknown:
        return "unknown";
    }
    return "";
}

} // namespace

class TestTagMatcher : public QObject {
    Q_OBJECT
private slots:
    void partner_data();
    void partner();
    void partnerAfterEdit_data();
    void partnerAfterEdit();
    void enclosing_data();
    void enclosing();
    void beyondTheBudget();
};

// "^" stands for the caret, "@" for where the partner's "<" is (or where an
// element without end tag ends).
void TestTagMatcher::partner_data()
{
    QTest::addColumn<QString>("page");
    QTest::addColumn<QString>("status");

    QTest::newRow("start tag") << "<d^iv>x@</div>"
                               << "paired";
    QTest::newRow("end tag") << "@<div>x</d^iv>"
                             << "paired";
    QTest::newRow("caret after the name") << "<div^ class=a>x@</div>"
                                          << "paired";
    QTest::newRow("caret before the <") << "^<div>x@</div>"
                                        << "paired";
    QTest::newRow("inner of two") << "<div><d^iv>@</div></div>"
                                  << "paired";
    QTest::newRow("outer of two") << "<d^iv><div></div>@</div>"
                                  << "paired";
    QTest::newRow("outer end") << "@<div>\n<div>\n</div>\n</di^v>"
                               << "paired";
    QTest::newRow("upper case") << "<D^IV>x@</div>"
                                << "paired";
    QTest::newRow("tag over lines") << "<d^iv\nclass=\"a\"\n>x\n@</div\n>"
                                    << "paired";
    QTest::newRow("void") << "<b^r>x</br>"
                          << "void";
    QTest::newRow("void with attributes") << "<i^mg src=\"a.gif\">"
                                          << "void";
    QTest::newRow("self-closing") << "<svg><pa^th d=\"\"/></svg>"
                                  << "void";
    QTest::newRow("p closed by p") << "<p^>a@<p>b</p>"
                                   << "implied";
    QTest::newRow("p end") << "<p>a@<p>b</^p>"
                           << "paired";
    QTest::newRow("p closed by div") << "<p^>a@<div>b</div>"
                                     << "implied";
    QTest::newRow("p closed by parent") << "<div><p^>a@</div>"
                                        << "implied";
    QTest::newRow("li closed by li") << "<ul><l^i>a@<li>b</ul>"
                                     << "implied";
    QTest::newRow("ul over open li") << "@<ul><li>a<li>b</u^l>"
                                     << "paired";
    QTest::newRow("nested list") << "<ul><l^i>a<ul><li>b</ul>@<li>c</ul>"
                                 << "implied";
    QTest::newRow("td closed by td") << "<table><tr><t^d>a@<td>b</table>"
                                     << "implied";
    QTest::newRow("tr closed by tr") << "<table><t^r><td>a@<tr><td>b</table>"
                                     << "implied";
    QTest::newRow("table end") << "@<table><tr><td>a<td>b</tab^le>"
                               << "paired";
    QTest::newRow("option") << "<select><o^ption>a@<option>b</select>"
                            << "implied";
    QTest::newRow("dt closed by dd") << "<dl><d^t>a@<dd>b</dl>"
                                     << "implied";
    QTest::newRow("optgroup closed by optgroup") << "<select><o^ptgroup>a@<optgroup>b</select>"
                                                 << "implied";
    QTest::newRow("rt closed by rp") << "<ruby>a<r^t>b@<rp>c</ruby>"
                                     << "implied";
    QTest::newRow("thead closed by tbody") << "<table><t^head><tr><td>a@<tbody><tr><td>b</table>"
                                           << "implied";
    QTest::newRow("p closed by a heading") << "<p^>a@<h1>b</h1>"
                                           << "implied";
    QTest::newRow("heading closed by a heading") << "<h^1>a@<h2>b</h2>"
                                                 << "unclosed";
    QTest::newRow("script text") << "<s^cript>if (a<b) x = '</div>';@</script>"
                                 << "paired";
    QTest::newRow("script end") << "@<script>if (a<b) x = '<b>';</scr^ipt>"
                                << "paired";
    QTest::newRow("style text") << "<s^tyle>a::after{content:'</style'}"
                                << "unclosed";
    QTest::newRow("title text") << "<t^itle>a <b> c@</title>"
                                << "paired";
    QTest::newRow("textarea text") << "<t^extarea><div>@</textarea>"
                                   << "paired";
    QTest::newRow("comment") << "<d^iv><!-- </div> -->@</div>"
                             << "paired";
    QTest::newRow("end in comment") << "@<div><!-- <div> --></d^iv>"
                                    << "paired";
    QTest::newRow("cdata") << "<d^iv><![CDATA[ </div> ]]>@</div>"
                           << "paired";
    QTest::newRow("stray end") << "<div></s^pan></div>"
                               << "stray";
    QTest::newRow("end blocked by div") << "<span><div></s^pan></div>"
                                        << "stray";
    QTest::newRow("unclosed span") << "<div><s^pan>x@</div>"
                                   << "unclosed";
    QTest::newRow("never closed") << "<d^iv>x"
                                  << "unclosed";
    QTest::newRow("misnested i") << "<b><^i>x</b>y@</i>"
                                 << "paired";
    QTest::newRow("misnested b") << "<^b><i>x@</b>y</i>"
                                 << "paired";
    QTest::newRow("misnested end") << "<b>@<i>x</b>y</^i>"
                                   << "paired";
    QTest::newRow("stray end before") << "<d^iv></span>x@</div>"
                                      << "paired";
    QTest::newRow("stray end in between") << "@<div></span>x</di^v>"
                                          << "paired";
    const QString far = QStringLiteral("text of a line\n").repeated(300);
    QTest::newRow("list closed far below a closed p")
        << "<p>start</p>\n" + far + "<s^pan>a<ul><li>b</ul>c@</span>"
        << "paired";
    QTest::newRow("list closed far below an open p")
        << "<p>start\n" + far + "<s^pan>a@<ul><li>b</ul>c</span>"
        << "unclosed";
    QTest::newRow("end of a list far below a closed p")
        << "<p>start</p>\n" + far + "<span>a@<ul><li>b</u^l>c</span>"
        << "paired";
    const QString cut(LinePieces::kPieceLength - 2, u'x');
    const QString rest(LinePieces::kLongestPiece, u'y');
    QTest::newRow("name over pieces") << cut + "<d^iv>" + rest + "@</div>"
                                      << "paired";
    QTest::newRow("end name over pieces") << "@<div>" + cut.mid(5) + "</di^v>" + rest << "paired";
    QTest::newRow("script end over pieces")
        << "<s^cript>" + cut.mid(6) + "@</script>" + rest << "paired";
    // Far enough that a search takes the page's text at once: each line's
    // text from it must be the line's own.
    const QString lines = QStringLiteral("<b>a</b> line\n").repeated(5000);
    const QString odd =
        cut + "<i>" + rest + "</i>\n" + QString::fromUtf16(u"a\u2028<i>b</i>\u2028c<br>\n") + lines;
    QTest::newRow("far end past pieces") << "<d^iv>\n" + lines + odd + "x@</div>\n"
                                         << "paired";
    QTest::newRow("far start past pieces") << "@<div>\n" + lines + odd + "x</di^v>"
                                           << "paired";
    QTest::newRow("far end over pieces")
        << "<d^iv>\n" + lines + odd + cut + "@</div>" + rest << "paired";
}

namespace {

// The page without its markers, and where they stood.
struct Marked {
    QString text;
    qsizetype caret = -1;
    qsizetype partner = -1;
    explicit Marked(QString page)
    {
        caret = takeMarker(page, u'^');
        partner = takeMarker(page, u'@');
        if (partner >= 0 && partner < caret)
            --caret;
        text = page;
    }
};

// Whether the partner of the tag at the caret is where the page marks it.
void checkPartner(Page &doc, const Marked &page, const QString &status)
{
    TagMatcher matcher = doc.matcher();
    const std::optional<Tag> tag = matcher.tagAt(page.caret);
    QVERIFY(tag);
    const TagMatcher::Element element = matcher.elementOf(*tag);
    QCOMPARE(statusName(element.status), status);
    if (element.status == TagMatcher::Status::Paired) {
        const Tag &other = tag->end ? element.start : *element.end;
        QCOMPARE(other.lt, page.partner);
        QCOMPARE(other.name, tag->name);
    } else if (page.partner >= 0) {
        QCOMPARE(element.to, page.partner);
    }
}

} // namespace

void TestTagMatcher::partner()
{
    QFETCH(QString, page);
    QFETCH(QString, status);
    const Marked marked(page);
    Page doc(marked.text);
    checkPartner(doc, marked, status);
    // Again, from the lines the first search summed up.
    checkPartner(doc, marked, status);
}

// Lines summed up before an edit stand for none of the lines it changed,
// nor for lines that begin in another state after it.
void TestTagMatcher::partnerAfterEdit_data()
{
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("after");
    QTest::addColumn<QString>("status");

    QTest::newRow("end tag renamed") << "<^div>\n<span>\n</span>\n@</div>"
                                     << "<^div>\n<span>\n@</div>\n</div>"
                                     << "paired";
    QTest::newRow("name changed, not its length") << "<^div>\n<div>\n</div>\n@</div>"
                                                  << "<^div>\n<dix>\n@</div>\n</div>"
                                                  << "paired";
    QTest::newRow("lines put in") << "<^div>\n<p>a</p>\n@</div>\n</div>"
                                  << "<^div>\n<p>a</p>\n<div>\n<p>b</p>\n</div>\n@</div>\n</div>"
                                  << "paired";
    QTest::newRow("lines taken out") << "<^div>\n<div>\n<p>b</p>\n</div>\n@</div>"
                                     << "<^div>\n<p>b</p>\n@</div>\n</div>"
                                     << "paired";
    QTest::newRow("line break put in a name") << "<^div>\n<div>\n</div>\n@</div>"
                                              << "<^div>\n<d\niv>\n@</div>\n</div>"
                                              << "paired";
    QTest::newRow("comment opened above") << "<^div>\nx\n<div>\n-->\n</div>\n@</div>"
                                          << "<^div>\n<!-- x\n<div>\n-->\n@</div>\n</div>"
                                          << "paired";
    QTest::newRow("comment closed above") << "<^div>\n<!-- x\n<div>\n-->\n@</div>\n</div>"
                                          << "<^div>\n<!-- x -->\n<div>\n-->\n</div>\n@</div>"
                                          << "paired";
    QTest::newRow("script opened above") << "<^div>\n<p>a</p>\n@</div>\n</script></div>"
                                         << "<^div><script>\n<p>a</p>\n</div>\n</script>@</div>"
                                         << "paired";
    QTest::newRow("value opened above") << "<^div>\n<a title=x>\n</a>\n@</div>\n\">\n</div>"
                                        << "<^div>\n<a title=\"x>\n</a>\n</div>\n\">\n@</div>"
                                        << "paired";
    QTest::newRow("end tag typed far below")
        << "<^div>\n" + QString("<p>x</p>\n").repeated(200)
        << "<^div>\n" + QString("<p>x</p>\n").repeated(200) + "@</div>"
        << "paired";
    const QString rest(LinePieces::kLongestPiece, u'y');
    QTest::newRow("long line edited") << "<^div>\n<b>" + rest + "@</div>" + rest + "</div>"
                                      << "<^div>\n<div>" + rest + "</div>" + rest + "@</div>"
                                      << "paired";
}

void TestTagMatcher::partnerAfterEdit()
{
    QFETCH(QString, before);
    QFETCH(QString, after);
    QFETCH(QString, status);
    const Marked was(before);
    const Marked is(after);
    Page doc(was.text);
    const QString unclosed = QStringLiteral("unclosed");
    checkPartner(doc, was, before.contains(u'@') ? status : unclosed);
    QVERIFY(doc.fill.step(60000));
    QVERIFY(doc.summedUp());
    // The edit as typing makes it: what both texts share at their ends
    // stays.
    const InPlaceEdits::Edit edit = InPlaceEdits::difference(0, was.text, is.text);
    QTextCursor cursor(&doc.document);
    cursor.setPosition(doc.pieces.widgetPosition(int(edit.start), false));
    cursor.setPosition(doc.pieces.widgetPosition(int(edit.start + edit.length), false),
                       QTextCursor::KeepAnchor);
    cursor.insertText(edit.text);
    checkPartner(doc, is, status);
    // The idle passes go on from the line edited.
    QVERIFY(doc.fill.step(60000));
    QVERIFY(doc.summedUp());
    checkPartner(doc, is, status);
    doc.document.undo();
    checkPartner(doc, was, before.contains(u'@') ? status : unclosed);
}

// "[" and "]" stand for the selection, "{" and "}" for the element around it.
void TestTagMatcher::enclosing_data()
{
    QTest::addColumn<QString>("page");

    QTest::newRow("caret in text") << "<div>{<b>a[]b</b>}</div>";
    QTest::newRow("element to parent") << "{<div>[<b>ab</b>]</div>}";
    QTest::newRow("p to body") << "<html><body>{<p>a[<b>x</b>]}</body></html>";
    QTest::newRow("implied p") << "<div>{<p>a[]b}<p>c</div>";
    QTest::newRow("after a sibling") << "{<ul><li>a</li><li>b</li>[]</ul>}";
    QTest::newRow("none") << "[]<div></div>";
}

void TestTagMatcher::enclosing()
{
    QFETCH(QString, page);
    const qsizetype open = takeMarker(page, u'{');
    const qsizetype from = takeMarker(page, u'[');
    const qsizetype to = takeMarker(page, u']');
    const qsizetype close = takeMarker(page, u'}');
    Page doc(page);
    TagMatcher matcher = doc.matcher();
    const std::optional<TagMatcher::Element> element = matcher.enclosing(from, to);
    QCOMPARE(element.has_value(), open >= 0);
    if (element) {
        QCOMPARE(element->from, open);
        QCOMPARE(element->to, close);
    }
}

// A search that stops at its budget does not call the partner missing.
void TestTagMatcher::beyondTheBudget()
{
    const QString page = "<div>" + QString("<p>line</p>\n").repeated(2000) + "</div>";
    Page doc(page);
    TagMatcher matcher = doc.matcher();
    const Tag start = *matcher.tagAt(1);
    const Tag end = *matcher.tagAt(page.size() - 3);
    matcher.setBudget(1000);
    QCOMPARE(statusName(matcher.elementOf(start).status), "unknown");
    QCOMPARE(statusName(matcher.elementOf(end).status), "unknown");
    matcher.setBudget(page.size() + 1000);
    QCOMPARE(matcher.elementOf(end).start, start);
}

QTEST_MAIN(TestTagMatcher)
#include "tst_tagmatcher.moc"
