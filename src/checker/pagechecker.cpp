#include "checker/pagechecker.h"

#include "checker/encodingchecks.h"
#include "checker/entitynames.h"
#include "checker/fullwidthslips.h"
#include "checker/tokenmessages.h"

#include <algorithm>

namespace Checker {

namespace {

// The first part of the page kept for its encoding declaration.
constexpr qsizetype kHeadKept = 64 * 1024;

bool isAsciiAlnum(char16_t c)
{
    return (c >= u'0' && c <= u'9') || ((c | 0x20) >= u'a' && (c | 0x20) <= u'z');
}

bool isNoncharacter(char32_t c)
{
    return (c >= 0xFDD0 && c <= 0xFDEF) || (c & 0xFFFE) == 0xFFFE;
}

Problem tokenProblem(TextPos pos, qsizetype length, QLatin1StringView code, const QString &what)
{
    return Problem{pos,  qMax<qsizetype>(length, 1), Severity::Error,
                   code, tokenMessage(code, what),   {}};
}

// The problems of a numeric reference: rest follows "&#".
void numericReference(QStringView rest, TextPos amp, std::vector<Problem> &out)
{
    qsizetype i = 0;
    const bool hex = charAt(rest, 0) == u'x' || charAt(rest, 0) == u'X';
    if (hex)
        ++i;
    const qsizetype digitsFrom = i;
    char32_t value = 0;
    bool overflow = false;
    for (; i < rest.size(); ++i) {
        const char16_t c = rest[i].unicode();
        int digit = -1;
        if (c >= u'0' && c <= u'9')
            digit = c - u'0';
        else if (hex && (c | 0x20) >= u'a' && (c | 0x20) <= u'f')
            digit = (c | 0x20) - u'a' + 10;
        if (digit < 0)
            break;
        value = value * (hex ? 16 : 10) + char32_t(digit);
        overflow = overflow || value > 0x10FFFF;
    }
    const QString written = QStringLiteral("&#") + rest.left(i).toString();
    const TextPos after{amp.line, amp.column + 2 + i};
    if (i == digitsFrom) {
        out.push_back(tokenProblem(
            amp, 2 + i, QLatin1StringView("absence-of-digits-in-numeric-character-reference"),
            written));
        return;
    }
    if (charAt(rest, i) == u'；')
        out.push_back(FullWidthSlips::fullWidthSemicolon(after, rest.left(i)));
    else if (charAt(rest, i) != u';')
        out.push_back(tokenProblem(
            after, 1, QLatin1StringView("missing-semicolon-after-character-reference"), written));
    const char *code = nullptr;
    if (value == 0)
        code = "null-character-reference";
    else if (overflow)
        code = "character-reference-outside-unicode-range";
    else if (value >= 0xD800 && value <= 0xDFFF)
        code = "surrogate-character-reference";
    else if (isNoncharacter(value))
        code = "noncharacter-character-reference";
    else if (value == 0x0D || (value < 0x20 && value != 9 && value != 10 && value != 12) ||
             (value >= 0x7F && value <= 0x9F))
        code = "control-character-reference";
    if (code)
        out.push_back(tokenProblem(amp, 2 + i, QLatin1StringView(code), written));
}

// The problems of a named reference: rest follows "&".
void namedReference(QStringView rest, TextPos amp, bool inAttribute, std::vector<Problem> &out)
{
    const qsizetype matched = EntityNames::longestMatch(rest);
    if (matched > 0) {
        if (rest[matched - 1] == u';')
            return;
        const char16_t next = charAt(rest, matched);
        if (inAttribute && (next == u'=' || isAsciiAlnum(next)))
            return; // taken as text, as browsers do in values
        const TextPos after{amp.line, amp.column + 1 + matched};
        if (next == u'；')
            out.push_back(FullWidthSlips::fullWidthSemicolon(after, rest.left(matched)));
        else
            out.push_back(tokenProblem(
                after, 1, QLatin1StringView("missing-semicolon-after-character-reference"),
                u'&' + rest.left(matched).toString()));
        return;
    }
    qsizetype run = 0;
    while (run < rest.size() && isAsciiAlnum(rest[run].unicode()))
        ++run;
    if (run == 0)
        return;
    const TextPos end{amp.line, amp.column + 1 + run};
    if (charAt(rest, run) == u';')
        out.push_back(tokenProblem(end, 1, QLatin1StringView("unknown-named-character-reference"),
                                   u'&' + rest.left(run + 1).toString()));
    else if (charAt(rest, run) == u'；')
        out.push_back(FullWidthSlips::fullWidthSemicolon(end, rest.left(run)));
}

} // namespace

PageChecker::PageChecker(NeedsOptions needs)
    : m_structure(needs)
{}

PageChecker::~PageChecker() = default;

void PageChecker::setPageEncoding(const QString &encoding)
{
    m_encoding = encoding;
}

void PageChecker::addPiece(QStringView text, bool endsLine)
{
    m_piece = text;
    checkCharacters(text);
    if (m_head.size() < kHeadKept) {
        m_head += text;
        if (endsLine)
            m_head += u'\n';
    }
    m_state = HtmlScanner::scan(text, m_state, endsLine, *this);
    for (Capture *capture : {&m_name, &m_attrName, &m_attrValue})
        carry(*capture, endsLine);
    if (endsLine) {
        ++m_line;
        m_columnBase = 0;
    } else {
        m_columnBase += text.size();
    }
    m_piece = {};
}

void PageChecker::begin(Capture &capture, qsizetype at)
{
    capture.on = true;
    capture.from = at;
    capture.start = posAt(at);
    capture.text.clear();
}

void PageChecker::end(Capture &capture, qsizetype at)
{
    capture.text += m_piece.mid(capture.from, at - capture.from);
    capture.on = false;
}

void PageChecker::carry(Capture &capture, bool endsLine)
{
    if (!capture.on)
        return;
    capture.text += m_piece.mid(capture.from);
    if (endsLine)
        capture.text += u'\n';
    capture.from = 0;
}

void PageChecker::report(Problem problem)
{
    if (m_inTag)
        m_tagErrors.push_back(std::move(problem));
    else
        m_problems.push_back(std::move(problem));
}

void PageChecker::parseError(qsizetype at, QLatin1StringView code)
{
    // "<?" and "</ " start markup that is no DOCTYPE.
    m_inDoctype = false;
    if (code == QLatin1StringView("invalid-first-character-of-tag-name") &&
        FullWidthSlips::findAfterLessThan(m_piece.mid(at), posAt(at), m_problems))
        return;
    const char16_t c = at < m_piece.size() ? m_piece[at].unicode() : u'\n';
    report(tokenProblem(posAt(at), at < m_piece.size() ? 1 : 0, code,
                        c == u'\n' ? QStringLiteral("换行") : characterName(c)));
}

void PageChecker::tagName(qsizetype at, bool endTag)
{
    m_inTag = true;
    m_tag = Tag();
    m_tag.endTag = endTag;
    m_tag.lessThan = posAt(at - (endTag ? 2 : 1));
    begin(m_name, at);
}

void PageChecker::tagNameEnd(qsizetype at)
{
    end(m_name, at);
    m_tag.name = m_name.text;
    m_tag.lowerName = m_name.text.toLower();
    m_tag.namePos = m_name.start;
}

void PageChecker::attributeName(qsizetype at)
{
    begin(m_attrName, at);
}

void PageChecker::attributeNameEnd(qsizetype at)
{
    end(m_attrName, at);
    Attribute attribute;
    attribute.name = m_attrName.text;
    attribute.namePos = m_attrName.start;
    if (m_tag.attribute(attribute.name))
        report(Problem{attribute.namePos,
                       attribute.name.size(),
                       Severity::Error,
                       QLatin1StringView("duplicate-attribute"),
                       tokenMessage(QLatin1StringView("duplicate-attribute"), attribute.name),
                       {}});
    m_tag.attributes.append(attribute);
}

void PageChecker::attributeValue(qsizetype at)
{
    begin(m_attrValue, at);
}

void PageChecker::attributeValueEnd(qsizetype at)
{
    end(m_attrValue, at);
    if (m_tag.attributes.isEmpty())
        return;
    Attribute &attribute = m_tag.attributes.last();
    attribute.value = m_attrValue.text;
    attribute.valuePos = m_attrValue.start;
    attribute.hasValue = true;
}

void PageChecker::tagEnd(qsizetype at, bool selfClosing)
{
    m_tag.selfClosing = selfClosing;
    const QString tagText =
        (m_tag.endTag ? QStringLiteral("</") : QStringLiteral("<")) + m_tag.name + u'>';
    if (m_tag.endTag && !m_tag.attributes.isEmpty())
        report(tokenProblem(m_tag.attributes.first().namePos, m_tag.attributes.first().name.size(),
                            QLatin1StringView("end-tag-with-attributes"), tagText));
    if (m_tag.endTag && selfClosing)
        report(tokenProblem(posAt(at - 1), 2, QLatin1StringView("end-tag-with-trailing-solidus"),
                            tagText));
    flushTag(true);
}

// The tag's slips replace the tokenizer's errors they caused.
void PageChecker::flushTag(bool complete)
{
    const size_t before = m_problems.size();
    FullWidthSlips::findInTag(m_tag, m_problems);
    if (m_problems.size() == before)
        m_problems.insert(m_problems.end(), m_tagErrors.begin(), m_tagErrors.end());
    else
        meantTag();
    m_tagErrors.clear();
    m_inTag = false;
    // A tag the page ends in is dropped, as browsers do.
    if (complete && !m_tag.lowerName.isEmpty())
        m_structure.tag(m_tag, m_problems);
}

// The tag as its author meant it, for the structure: "<img src=a　alt=b>"
// has its alt.
void PageChecker::meantTag()
{
    m_tag.lowerName = FullWidthSlips::intendedName(m_tag.name).toLower();
    QList<Attribute> meant;
    for (Attribute attribute : m_tag.attributes) {
        qsizetype blanks = 0;
        while (blanks < attribute.name.size() &&
               FullWidthSlips::isSlipSpace(attribute.name[blanks].unicode()))
            ++blanks;
        attribute.name = FullWidthSlips::intendedName(attribute.name.mid(blanks));
        // An unquoted value runs on over a slipped space into the attributes
        // after it ("src=a　alt=b").
        QStringList extra;
        if (attribute.hasValue && !attribute.quoted()) {
            QString value = attribute.value;
            for (QChar &c : value) {
                if (FullWidthSlips::isSlipSpace(c.unicode()))
                    c = u' ';
            }
            extra = value.split(u' ', Qt::SkipEmptyParts);
            attribute.value = extra.isEmpty() ? QString() : extra.takeFirst();
        }
        meant.append(attribute);
        for (const QString &word : std::as_const(extra)) {
            Attribute more;
            more.name = word.section(u'=', 0, 0);
            more.value = word.section(u'=', 1);
            more.hasValue = word.contains(u'=');
            more.namePos = more.valuePos = attribute.valuePos;
            meant.append(more);
        }
    }
    m_tag.attributes = meant;
}

void PageChecker::characterReference(qsizetype at, bool inAttribute)
{
    const QStringView rest = m_piece.mid(at + 1);
    if (rest.startsWith(u'#'))
        numericReference(rest.mid(1), posAt(at), m_problems);
    else
        namedReference(rest, posAt(at), inAttribute, m_problems);
}

void PageChecker::markup(qsizetype at)
{
    const QStringView rest = m_piece.mid(at);
    const TextPos lessThan = posAt(at - 2);
    m_inDoctype = rest.startsWith(QLatin1StringView("doctype"), Qt::CaseInsensitive);
    if (m_inDoctype) {
        qsizetype i = 7;
        while (i < rest.size() && (rest[i] == u' ' || rest[i] == u'\t'))
            ++i;
        qsizetype end = i;
        while (end < rest.size() && rest[end] != u'>' && !rest[end].isSpace())
            ++end;
        const QString name = rest.mid(i, end - i).toString();
        if (name.isEmpty())
            m_problems.push_back(
                tokenProblem(lessThan, 9, QLatin1StringView("missing-doctype-name"), {}));
        m_structure.doctype(lessThan, name, m_problems);
    } else if (!rest.startsWith(QLatin1StringView("[CDATA["))) {
        m_problems.push_back(
            tokenProblem(posAt(at), 1, QLatin1StringView("incorrectly-opened-comment"), {}));
    }
}

void PageChecker::checkCharacters(QStringView text)
{
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = text[i].unicode();
        if (c >= 0x20 && c < 0x7F)
            continue;
        if (c == u'\t' || c == u'\n' || c == u'\f' || c == u'\r')
            continue;
        if (c >= 0x80)
            m_nonAscii = true;
        const char *code = nullptr;
        if (c == 0)
            code = "unexpected-null-character";
        else if (c < 0x20 || (c >= 0x7F && c <= 0x9F))
            code = "control-character-in-input-stream";
        else if (QChar::isHighSurrogate(c) && i + 1 < n &&
                 QChar::isLowSurrogate(text[i + 1].unicode()))
            ++i;
        else if (QChar::isSurrogate(c))
            code = "surrogate-in-input-stream";
        else if (isNoncharacter(c))
            code = "noncharacter-in-input-stream";
        else if (c == u'＜' && FullWidthSlips::isFullWidthTagOpen(text, i))
            m_problems.push_back(FullWidthSlips::fullWidthTagOpen(posAt(i)));
        if (code)
            m_problems.push_back(
                tokenProblem(posAt(i), 1, QLatin1StringView(code), characterName(c)));
    }
}

void PageChecker::finish()
{
    const TextPos end = posAt(0);
    QLatin1StringView code = HtmlScanner::endOfFileError(m_state);
    if (code == QLatin1StringView("eof-in-declaration"))
        code = m_inDoctype ? QLatin1StringView("eof-in-doctype") : QLatin1StringView();
    if (!code.isEmpty()) {
        const QString what = code == QLatin1StringView("eof-in-tag")
                                 ? u'<' + (m_name.on ? m_name.text : m_tag.name) + u'>'
                                 : QString();
        report(Problem{end, 0, Severity::Error, code, tokenMessage(code, what), {}});
    }
    if (m_inTag) {
        if (m_name.on) {
            m_tag.name = m_name.text;
            m_tag.lowerName = m_name.text.toLower();
            m_tag.namePos = m_name.start;
        }
        flushTag(false);
    }
    m_structure.finish(end, m_problems);
    if (!m_encoding.isEmpty())
        EncodingChecks::check(m_head, m_nonAscii, m_encoding, m_problems);
    std::stable_sort(m_problems.begin(), m_problems.end(),
                     [](const Problem &a, const Problem &b) { return a.pos < b.pos; });
}

std::vector<Problem> checkPage(QStringView text, const QString &encoding, NeedsOptions needs)
{
    PageChecker checker(needs);
    checker.setPageEncoding(encoding);
    qsizetype from = 0;
    while (from <= text.size()) {
        qsizetype end = from;
        while (end < text.size() && text[end] != u'\n' && text[end] != u'\r')
            ++end;
        const bool lineBreak = end < text.size();
        checker.addPiece(text.mid(from, end - from), lineBreak);
        if (!lineBreak)
            break;
        from = end + (text[end] == u'\r' && charAt(text, end + 1) == u'\n' ? 2 : 1);
    }
    checker.finish();
    return checker.problems();
}

} // namespace Checker
