#include "checker/checkcommand.h"
#include "checker/fixes.h"
#include "checker/pagechecker.h"
#include "platform/textcodec.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

using namespace Checker;

namespace {

// "line:column code" of each problem, both counted from 1.
QStringList described(const std::vector<Problem> &problems)
{
    QStringList lines;
    for (const Problem &problem : problems)
        lines << QStringLiteral("%1:%2 %3")
                     .arg(problem.pos.line + 1)
                     .arg(problem.pos.column + 1)
                     .arg(problem.code);
    return lines;
}

constexpr NeedsOptions kNoNeeds{false, false, false, false};

} // namespace

class TestPageChecker : public QObject {
    Q_OBJECT
private slots:
    void tokenizerErrors_data();
    void tokenizerErrors();
    void fullWidthSlips_data();
    void fullWidthSlips();
    void structure_data();
    void structure();
    void needs_data();
    void needs();
    void encoding_data();
    void encoding();
    void piecesGiveTheSameProblems();
    void commandLine_data();
    void commandLine();
};

// Positions as the standard's examples of its parse errors give them.
void TestPageChecker::tokenizerErrors_data()
{
    QTest::addColumn<QString>("page");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("no space between attributes")
        << "<div id=\"foo\"class=\"bar\"></div>"
        << QStringList{"1:14 missing-whitespace-between-attributes"};
    QTest::newRow("< in attribute name")
        << "<div foo<div></div>" << QStringList{"1:9 unexpected-character-in-attribute-name"};
    QTest::newRow("quote in unquoted value")
        << "<a href=x\"y></a>"
        << QStringList{"1:10 unexpected-character-in-unquoted-attribute-value"};
    QTest::newRow("duplicate attribute")
        << "<p>\n<div id=a ID=b></div>"
        << QStringList{"2:1 block-closes-p", "2:11 duplicate-attribute"};
    QTest::newRow("empty comment") << "<!-->" << QStringList{"1:5 abrupt-closing-of-empty-comment"};
    QTest::newRow("comment closed by --!>")
        << "<!--x--!>" << QStringList{"1:9 incorrectly-closed-comment"};
    QTest::newRow("eof in tag") << "<div" << QStringList{"1:5 eof-in-tag"};
    QTest::newRow("eof in comment") << "a\n<!-- x" << QStringList{"2:7 eof-in-comment"};
    QTest::newRow("not reference")
        << "I'm &notit; I tell you"
        << QStringList{"1:9 missing-semicolon-after-character-reference"};
    QTest::newRow("unknown reference")
        << "&unknownentity;" << QStringList{"1:15 unknown-named-character-reference"};
    QTest::newRow("reference in attribute") << "<a href=\"?a=1&copy=2\"></a>" << QStringList{};
    QTest::newRow("numeric without digits")
        << "&#;" << QStringList{"1:1 absence-of-digits-in-numeric-character-reference"};
    QTest::newRow("numeric without semicolon")
        << "&#65 x" << QStringList{"1:5 missing-semicolon-after-character-reference"};
    QTest::newRow("null reference") << "&#0;" << QStringList{"1:1 null-character-reference"};
    QTest::newRow("beyond unicode")
        << "&#x110000;" << QStringList{"1:1 character-reference-outside-unicode-range"};
    QTest::newRow("null character")
        << QString("a") + QChar(0) + "b" << QStringList{"1:2 unexpected-null-character"};
    QTest::newRow("< then blank") << "a < b"
                                  << QStringList{"1:4 invalid-first-character-of-tag-name"};
    QTest::newRow("</>") << "</>" << QStringList{"1:3 missing-end-tag-name"};
    QTest::newRow("solidus in tag") << "<br/ >" << QStringList{"1:5 unexpected-solidus-in-tag"};
    QTest::newRow("end tag with attribute")
        << "<p></p class=x>" << QStringList{"1:8 end-tag-with-attributes"};
    QTest::newRow("bogus comment")
        << "<!ELEMENT br>" << QStringList{"1:3 incorrectly-opened-comment"};
    QTest::newRow("script text is no markup")
        << "<script>if (a<b && c) x('</p>')</script>" << QStringList{};
    QTest::newRow("clean page") << "<p title='a &amp; b'>x&nbsp;y &#x4E2D;</p>" << QStringList{};
}

void TestPageChecker::tokenizerErrors()
{
    QFETCH(QString, page);
    QFETCH(QStringList, expected);
    QCOMPARE(described(checkPage(page, QString(), kNoNeeds)), expected);
}

void TestPageChecker::fullWidthSlips_data()
{
    QTest::addColumn<QString>("page");
    QTest::addColumn<QStringList>("expected");
    QTest::addColumn<QString>("fixed");
    QTest::newRow("curly quotes") << "<a href=“index.html”>x</a>"
                                  << QStringList{"1:9 fullwidth-quote"}
                                  << "<a href=\"index.html\">x</a>";
    QTest::newRow("single curly quotes")
        << "<a href=‘x’>x</a>" << QStringList{"1:9 fullwidth-quote"} << "<a href='x'>x</a>";
    QTest::newRow("corner brackets")
        << "<a title=「说明」>x</a>" << QStringList{"1:10 fullwidth-quote"}
        << "<a title=\"说明\">x</a>";
    QTest::newRow("ideographic space")
        << "<img src=\"a.jpg\"　alt=\"图片\">" << QStringList{"1:17 fullwidth-space"}
        << "<img src=\"a.jpg\" alt=\"图片\">";
    QTest::newRow("no-break space after name")
        << QString("<img\u00A0src=a>") << QStringList{"1:5 fullwidth-space"} << "<img src=a>";
    QTest::newRow("full-width equals")
        << "<p class＝\"note\">x</p>" << QStringList{"1:9 fullwidth-equals-sign"}
        << "<p class=\"note\">x</p>";
    QTest::newRow("equals and quotes")
        << "<p class＝“note”>x</p>"
        << QStringList{"1:9 fullwidth-equals-sign", "1:10 fullwidth-quote"}
        << "<p class=\"note\">x</p>";
    QTest::newRow("full-width solidus")
        << "<br／>" << QStringList{"1:4 fullwidth-punctuation"} << "<br/>";
    QTest::newRow("full-width greater-than")
        << "<p＞x</p>" << QStringList{"1:3 fullwidth-punctuation"} << "<p>x</p>";
    QTest::newRow("full-width less-than")
        << "＜p>x</p>" << QStringList{"1:1 fullwidth-punctuation", "1:5 stray-end-tag"}
        << "<p>x</p>";
    QTest::newRow("full-width tag name")
        << "<ｄｉｖ>x</div>" << QStringList{"1:2 fullwidth-letter", "1:7 stray-end-tag"}
        << "<div>x</div>";
    QTest::newRow("full-width attribute name")
        << "<div ｉｄ=\"a\"></div>" << QStringList{"1:6 fullwidth-letter"}
        << "<div id=\"a\"></div>";
    QTest::newRow("full-width end solidus")
        << "<p>x<／p>" << QStringList{"1:6 fullwidth-punctuation"} << "<p>x</p>";
    QTest::newRow("full-width semicolon")
        << "a&nbsp；b" << QStringList{"1:7 fullwidth-semicolon"} << "a&nbsp;b";
    QTest::newRow("semicolon of a name needing one")
        << "&hellip；" << QStringList{"1:8 fullwidth-semicolon"} << "&hellip;";
    QTest::newRow("quotes in text are text")
        << "<p>他说“你好”＝ok</p>" << QStringList{} << "<p>他说“你好”＝ok</p>";
    QTest::newRow("quotes inside a quoted value")
        << "<a title=\"“引用”\">x</a>" << QStringList{} << "<a title=\"“引用”\">x</a>";
}

void TestPageChecker::fullWidthSlips()
{
    QFETCH(QString, page);
    QFETCH(QStringList, expected);
    QFETCH(QString, fixed);
    const std::vector<Problem> problems = checkPage(page, QString(), kNoNeeds);
    QCOMPARE(described(problems), expected);
    for (const Problem &problem : problems) {
        if (problem.code.startsWith(QLatin1StringView("fullwidth"))) {
            QVERIFY(!problem.fix.isEmpty());
            // The message names the character (an invisible one by its code).
            QVERIFY2(problem.message.contains(u'“') || problem.message.contains("U+"),
                     qPrintable(problem.message));
        }
    }
    QCOMPARE(applyFixes(page, problems), fixed);
    QCOMPARE(described(checkPage(fixed, QString(), kNoNeeds)), QStringList{});
}

void TestPageChecker::structure_data()
{
    QTest::addColumn<QString>("page");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("misnested") << "<b><i>x</b></i>" << QStringList{"1:8 misnested-tag"};
    QTest::newRow("left open") << "<div><span>x</span>" << QStringList{"1:1 unclosed-element"};
    QTest::newRow("optional end tags")
        << "<html><head><title>t</title><body><p>a<p>b<ul><li>1<li>2</ul><dl><dt>a<dd>b</dl>"
           "<table><tr><td>1<td>2<tr><th>3</table><select><option>a<option>b</select>"
        << QStringList{"1:43 block-closes-p"};
    QTest::newRow("end tag with nothing open")
        << "<p>x</p></span>" << QStringList{"1:9 stray-end-tag"};
    QTest::newRow("stray </p>") << "<div>x</div></p>" << QStringList{"1:13 stray-end-tag"};
    QTest::newRow("block in p") << "<p>a<div>b</div>" << QStringList{"1:5 block-closes-p"};
    QTest::newRow("inline left open in p")
        << "<p><b>a<div>b</div></b>" << QStringList{"1:8 block-closes-p", "1:8 misnested-tag"};
    QTest::newRow("tr outside table")
        << "<tr><td>x</td></tr>"
        << QStringList{"1:1 table-part-outside-table", "1:5 table-part-outside-table"};
    QTest::newRow("li outside list")
        << "<div><li>a</li></div>" << QStringList{"1:6 li-outside-list"};
    QTest::newRow("duplicate id") << "<p id=x></p>\n<p id=\"x\"></p>"
                                  << QStringList{"2:7 duplicate-id"};
    QTest::newRow("second body") << "<head></head><body></body><body></body>"
                                 << QStringList{"1:27 second-head-or-body"};
    QTest::newRow("second head") << "<head></head><head></head>"
                                 << QStringList{"1:14 second-head-or-body"};
    QTest::newRow("self-closing div")
        << "<div/>x</div>"
        << QStringList{"1:1 non-void-html-element-start-tag-with-trailing-solidus"};
    QTest::newRow("end tag of void") << "<br></br>" << QStringList{"1:5 end-tag-of-void-element"};
    QTest::newRow("svg closes itself") << "<svg><path d=\"M0\"/><g/></svg>" << QStringList{};
    QTest::newRow("script left open") << "<script>x" << QStringList{"1:1 unclosed-element"};
    QTest::newRow("doctype after a tag")
        << "<p></p><!DOCTYPE html>" << QStringList{"1:8 misplaced-doctype"};
}

void TestPageChecker::structure()
{
    QFETCH(QString, page);
    QFETCH(QStringList, expected);
    QCOMPARE(described(checkPage(page, QString(), kNoNeeds)), expected);
}

void TestPageChecker::needs_data()
{
    QTest::addColumn<QString>("page");
    QTest::addColumn<int>("switchedOff"); // bit 0 doctype, 1 title, 2 alt, 3 lang
    QTest::addColumn<QStringList>("expected");
    const QString bare = "<p><img src=a.png></p>";
    QTest::newRow("all missing") << bare << 0
                                 << QStringList{"1:1 missing-doctype", "1:1 missing-title",
                                                "1:1 missing-lang", "1:4 missing-alt"};
    QTest::newRow("doctype off") << bare << 1
                                 << QStringList{"1:1 missing-title", "1:1 missing-lang",
                                                "1:4 missing-alt"};
    QTest::newRow("title and alt off")
        << bare << 6 << QStringList{"1:1 missing-doctype", "1:1 missing-lang"};
    QTest::newRow("all off") << bare << 15 << QStringList{};
    QTest::newRow("html without lang") << "<!DOCTYPE html><html><title>t</title><img src=a alt=''>"
                                       << 0 << QStringList{"1:16 missing-lang"};
    QTest::newRow("legacy doctype") << "<!DOCTYPE svg><html lang=zh><title>t</title>" << 0
                                    << QStringList{"1:1 missing-doctype"};
    QTest::newRow("alt after a slipped space")
        << "<!DOCTYPE html><html lang=zh><title>t</title><img src=a　alt=b>" << 0
        << QStringList{"1:56 fullwidth-space"};
    QTest::newRow("complete")
        << "<!doctype html>\n<html lang=\"zh-CN\"><title>t</title><img src=a alt=\"\">" << 0
        << QStringList{};
}

void TestPageChecker::needs()
{
    QFETCH(QString, page);
    QFETCH(int, switchedOff);
    QFETCH(QStringList, expected);
    const NeedsOptions needs{!(switchedOff & 1), !(switchedOff & 2), !(switchedOff & 4),
                             !(switchedOff & 8)};
    const std::vector<Problem> problems = checkPage(page, QString(), needs);
    for (const Problem &problem : problems) {
        if (problem.code.startsWith(QLatin1StringView("missing")))
            QCOMPARE(problem.severity, Severity::Warning);
    }
    QCOMPARE(described(problems), expected);
}

void TestPageChecker::encoding_data()
{
    QTest::addColumn<QString>("page");
    QTest::addColumn<QString>("encoding");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("label of the same encoding") << "<meta charset=\"gb2312\">中文"
                                                << "GBK" << QStringList{};
    QTest::newRow("other encoding") << "<meta charset=\"gb2312\">中文"
                                    << "UTF-8" << QStringList{"1:16 charset-mismatch"};
    QTest::newRow("pragma")
        << "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=big5\">"
        << "GBK" << QStringList{"1:61 charset-mismatch"};
    QTest::newRow("xml declaration")
        << "<?xml version=\"1.0\" encoding=\"utf-8\"?>"
        << "GBK"
        << QStringList{"1:2 unexpected-question-mark-instead-of-tag-name", "1:31 charset-mismatch"};
    QTest::newRow("none with Chinese text") << "<p>中文</p>"
                                            << "UTF-8" << QStringList{"1:1 missing-charset"};
    QTest::newRow("none, ASCII only") << "<p>abc</p>"
                                      << "UTF-8" << QStringList{};
    QTest::newRow("after 1024 bytes")
        << QString(600, u' ') + "\n<!-- " + QString(200, u'中') + " -->\n<meta charset=gbk>"
        << "GBK" << QStringList{"3:15 late-charset"};
}

void TestPageChecker::encoding()
{
    QFETCH(QString, page);
    QFETCH(QString, encoding);
    QFETCH(QStringList, expected);
    QCOMPARE(described(checkPage(page, encoding, kNoNeeds)), expected);
}

// A line fed in pieces (as the editing area holds a long one) gives what the
// whole line gives.
void TestPageChecker::piecesGiveTheSameProblems()
{
    const QString line = "<div id=\"foo\"class=\"bar\">&copy x<a href=“y”>a</b></a>";
    for (qsizetype cut = 1; cut < line.size(); ++cut) {
        PageChecker checker(kNoNeeds);
        checker.addPiece(QStringView(line).left(cut), false);
        checker.addPiece(QStringView(line).mid(cut), false);
        checker.finish();
        const QStringList whole = described(checkPage(line, QString(), kNoNeeds));
        const QStringList inPieces = described(checker.problems());
        // A reference's name cut in two is read up to the cut.
        if (cut >= 26 && cut <= 31)
            continue;
        QCOMPARE(inPieces, whole);
    }
}

void TestPageChecker::commandLine_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("quiet");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("output");
    const QByteArray clean =
        "<!DOCTYPE html><html lang=\"zh\"><meta charset=\"gbk\"><title>t</title>\xd6\xd0";
    QTest::newRow("clean") << clean << false << 0 << "";
    QTest::newRow("warnings only")
        << QByteArray("<p>x</p>") << false << 0
        << "PAGE:1:1: 警告: 页面缺少“<!DOCTYPE html>”，浏览器会以怪异模式显示它 [missing-doctype]\n"
           "PAGE:1:1: 警告: 页面缺少 <title> [missing-title]\n"
           "PAGE:1:1: 警告: 页面缺少带 lang 属性的 <html> [missing-lang]\n";
    QTest::newRow("error in GBK page")
        << clean + "\r\n<a href=\xa1\xb0x\xa1\xb1></a>" << false << 1
        << "PAGE:2:9: 错误: 全角引号 ““”（U+201C） 和 “””（U+201D） 不能括起属性值，"
           "应为半角的“\"” [fullwidth-quote]\n";
    QTest::newRow("quiet") << clean + "</b>" << true << 1 << "PAGE: 1 错误 0 警告\n";
}

void TestPageChecker::commandLine()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, quiet);
    QFETCH(int, exitCode);
    QFETCH(QString, output);
    QTemporaryDir folder;
    const QString path = folder.filePath("page.htm");
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    file.close();
    QStringList arguments{"--check"};
    if (quiet)
        arguments << "--quiet";
    const auto result = CheckCommand::run(arguments << path);
    QVERIFY(result);
    QCOMPARE(result->output, QString(output).replace("PAGE", path));
    QCOMPARE(result->exitCode, exitCode);

    // A page that cannot be read makes it 2, whatever the others hold.
    const auto missing = CheckCommand::run({"--check", path, folder.filePath("none.htm")});
    QCOMPARE(missing->exitCode, 2);
    QVERIFY(missing->errors.contains("none.htm"));
    QVERIFY(!CheckCommand::run({"page.htm"}));
}

QTEST_GUILESS_MAIN(TestPageChecker)
#include "tst_pagechecker.moc"
