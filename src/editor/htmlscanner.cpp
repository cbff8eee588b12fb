#include "editor/htmlscanner.h"

#include "editor/scriptkeywords.h"
#include "editor/unitscan.h"

namespace HtmlScanner {

namespace {

// Where the tokenizer stands; the names follow the states of a browser's
// tokenizer.
enum Mode : quint8 {
    Data,
    TagOpen,    // "<"
    EndTagOpen, // "</"
    TagName,
    BeforeAttrName,
    AttrName,
    AfterAttrName,
    BeforeAttrValue,
    AttrValueDouble,
    AttrValueSingle,
    AttrValueUnquoted,
    AfterAttrValueQuoted,
    SelfClosingStart,
    MarkupOpen, // "<!"
    MarkupDash, // "<!-"
    CommentStart,
    CommentStartDash,
    InComment,
    CommentEndDash,
    CommentEnd,
    CommentEndBang,
    InDeclaration, // "<!…>", "<?…>", "</ …>": up to ">"
    // Text of <style>, <title>, <textarea>.
    RawText,
    RawLt,
    RawEndName, // "</" and len characters of the element's name
    // Text of <script>.
    ScriptData,
    ScriptLt,
    ScriptEndName,
    ScriptEscapeStart,     // "<!"
    ScriptEscapeStartDash, // "<!-"
    ScriptEscaped,         // after "<!--"
    ScriptEscapedDash,
    ScriptEscapedDashDash,
    ScriptEscapedLt,
    ScriptEscapedEndName,
    ScriptDoubleEscapeStart, // "<" and len characters of "script"
    ScriptDoubleEscaped,     // after "<!--<script": "</script" does not end it
    ScriptDoubleEscapedDash,
    ScriptDoubleEscapedDashDash,
    ScriptDoubleEscapedLt,
    ScriptDoubleEscapeEnd,
};

enum Raw : quint8 { NoRaw, Script, Style, Title, Textarea, RawCount };

constexpr QStringView kRawNames[RawCount] = {u"", u"script", u"style", u"title", u"textarea"};
constexpr quint8 kAllCandidates = 0b1111; // bit raw - 1

// Character references: "&", "&#", then the name or digits.
enum EntityStage : quint8 { NoEntity, Ampersand, Hash, EntityBody };

// The script or style tokenizer's modes.
enum Sub : quint8 { Code, SingleQuoted, DoubleQuoted, Template, LineComment, BlockComment };

enum Flag : quint8 {
    EndTagFlag = 1,   // the tag being read is an end tag
    EscapeFlag = 2,   // a backslash in a string
    StarFlag = 4,     // a "*" in a block comment
    SlashFlag = 8,    // a "/" that may start a comment
    WordFlag = 16,    // inside a word or number
    NumberFlag = 32,  // that word is a number
    InBlockFlag = 64, // inside a CSS rule's braces
};

constexpr int kFieldBits[] = {6, 3, 4, 4, 2, 3, 7};

// The document's own block separator (in its raw text) is a line break too.
bool isLineBreak(char16_t c)
{
    return c == u'\n' || c == u'\r' || c == QChar::ParagraphSeparator;
}

bool isSpace(char16_t c)
{
    return c == u' ' || c == u'\t' || c == u'\f' || isLineBreak(c);
}

bool isAlpha(char16_t c)
{
    return (c | 0x20) >= u'a' && (c | 0x20) <= u'z';
}

bool isDigit(char16_t c)
{
    return c >= u'0' && c <= u'9';
}

bool isAlnum(char16_t c)
{
    return isAlpha(c) || isDigit(c);
}

bool isHex(char16_t c)
{
    return isDigit(c) || ((c | 0x20) >= u'a' && (c | 0x20) <= u'f');
}

char16_t toLower(char16_t c)
{
    return c >= u'A' && c <= u'Z' ? char16_t(c + 32) : c;
}

// Letters of identifiers: ASCII, "_", "$" and every character beyond ASCII
// (Chinese identifiers are allowed).
bool isIdentifierChar(char16_t c)
{
    return isAlnum(c) || c == u'_' || c == u'$' || c >= 0x80;
}

// What the colouring's scan reports besides the kinds: nothing, at no cost.
struct NoEvents {
    // Whether only the tags matter (not the kinds of script and style text).
    static constexpr bool kTagsOnly = false;
    void parseError(qsizetype, QLatin1StringView) {}
    void tagName(qsizetype, bool) {}
    void tagNameEnd(qsizetype, bool) {}
    void nameCut(qsizetype, bool) {}
    void attributeName(qsizetype) {}
    void attributeNameEnd(qsizetype) {}
    void attributeValue(qsizetype) {}
    void attributeValueEnd(qsizetype) {}
    void tagEnd(qsizetype, bool) {}
    void characterReference(qsizetype, bool) {}
    void markup(qsizetype) {}
};

// A scan for another reader of markup reports to its sink.
struct SinkEvents {
    static constexpr bool kTagsOnly = false;
    Sink &sink;
    void parseError(qsizetype at, QLatin1StringView code) { sink.parseError(at, code); }
    void tagName(qsizetype at, bool endTag) { sink.tagName(at, endTag); }
    void tagNameEnd(qsizetype at, bool) { sink.tagNameEnd(at); }
    void nameCut(qsizetype, bool) {}
    void attributeName(qsizetype at) { sink.attributeName(at); }
    void attributeNameEnd(qsizetype at) { sink.attributeNameEnd(at); }
    void attributeValue(qsizetype at) { sink.attributeValue(at); }
    void attributeValueEnd(qsizetype at) { sink.attributeValueEnd(at); }
    void tagEnd(qsizetype at, bool selfClosing) { sink.tagEnd(at, selfClosing); }
    void characterReference(qsizetype at, bool inAttribute)
    {
        sink.characterReference(at, inAttribute);
    }
    void markup(qsizetype at) { sink.markup(at); }
};

// A scan for the tag pairs reports where names and tags are, nothing else.
struct TagEvents : NoEvents {
    static constexpr bool kTagsOnly = true;
    TagSink *tags;
    // Where the name being read began (0: in an earlier piece).
    qsizetype nameStart = 0;
    void tagName(qsizetype at, bool) { nameStart = at; }
    void tagNameEnd(qsizetype at, bool endTag) { tags->tagName(nameStart, at, endTag, true); }
    void nameCut(qsizetype at, bool endTag) { tags->tagName(nameStart, at, endTag, false); }
    void tagEnd(qsizetype at, bool selfClosing) { tags->tagEnd(at, selfClosing); }
};

// One scan over one piece of text.
template <class Events> class Scanner {
public:
    Scanner(QStringView text, State state, Kind *kinds, Events events = {})
        : m_text(text)
        , m_n(text.size())
        , m_kinds(kinds)
        , s(state)
        , m_ev(events)
    {}

    State run(bool endsLine);

private:
    qsizetype skip(qsizetype i);
    bool wholeTagName(qsizetype &i);
    template <typename Stop> qsizetype skipWhile(qsizetype i, Kind kind, Stop stop);
    template <int Count> qsizetype skipTo(qsizetype i, Kind kind, const char16_t (&units)[Count]);
    // Whether the script and style text needs reading only for its end.
    bool tagsOnly() const { return Events::kTagsOnly && !m_kinds; }
    void step(char16_t c, qsizetype i);
    bool entityStep(char16_t c, qsizetype i, Kind base);
    void startEntity(qsizetype i, Kind base);
    void endTag(qsizetype i);
    void enterTagName(bool endTag, qsizetype nameStart);
    void finishTagName(qsizetype i);
    bool matchEndName(char16_t c, qsizetype i, Mode content);
    void endRawElement(qsizetype i, qsizetype nameStart);
    void feed(char16_t c, qsizetype i);
    void replay(qsizetype to);
    void javaScript(char16_t c, qsizetype i);
    void css(char16_t c, qsizetype i);
    bool stringOrComment(char16_t c, qsizetype i, bool lineComments);
    bool opensStringOrComment(char16_t c, qsizetype i, bool templates);
    void endWord(qsizetype i, bool script);
    void colourWord(qsizetype end, bool script);
    bool textAt(qsizetype i, QStringView what) const;
    char16_t at(qsizetype i) const { return i >= 0 && i < m_n ? m_text[i].unicode() : 0; }

    void mark(qsizetype i, Kind kind)
    {
        if (m_kinds && i < m_n)
            m_kinds[i] = kind;
    }
    void paint(qsizetype from, qsizetype to, Kind kind)
    {
        if (!m_kinds)
            return;
        for (qsizetype i = qMax<qsizetype>(from, 0); i < qMin(to, m_n); ++i)
            m_kinds[i] = kind;
    }
    bool has(Flag flag) const { return s.flags & flag; }
    void set(Flag flag, bool on)
    {
        s.flags = on ? quint8(s.flags | flag) : quint8(s.flags & ~flag);
    }
    // The script or style tokenizer starts afresh.
    void resetSub()
    {
        s.sub = Code;
        s.flags = 0;
    }
    QStringView rawName() const { return kRawNames[s.raw]; }
    bool scriptStyleText() const { return s.raw == Script || s.raw == Style; }

    QStringView m_text;
    qsizetype m_n;
    Kind *m_kinds;
    State s;
    Events m_ev;
    // Where pieces of markup began that are coloured once their end is seen;
    // negative when they began in an earlier piece.
    qsizetype m_tagStart = -1;
    qsizetype m_entityStart = -1;
    qsizetype m_wordStart = -1;
    // The "<" of a possible end tag of raw text: the characters from there on
    // are held back from the script or style tokenizer until it is known.
    qsizetype m_heldFrom = -1;
    // Only blanks so far on this line (JavaScript's "-->" comment).
    bool m_lineBlank = true;
};

template <class Events> State Scanner<Events>::run(bool endsLine)
{
    qsizetype i = 0;
    while (i < m_n) {
        i = skip(i);
        if (i == m_n)
            break;
        if (s.mode == Data && s.ent == NoEntity && m_text[i] == u'<' && wholeTagName(i))
            continue;
        step(m_text[i].unicode(), i);
        ++i;
    }
    if (endsLine) {
        step(u'\n', m_n);
        return s;
    }
    if (s.mode == TagName)
        m_ev.nameCut(m_n, has(EndTagFlag));
    // The piece ends inside a line: what was held back is shown as script or
    // style text, which it is unless the next piece completes an end tag.
    if (m_heldFrom < m_n && scriptStyleText() &&
        (s.mode == RawLt || s.mode == RawEndName || s.mode == ScriptLt || s.mode == ScriptEndName ||
         s.mode == ScriptEscapedLt || s.mode == ScriptEscapedEndName))
        replay(m_n);
    if (has(WordFlag) && s.sub == Code && scriptStyleText())
        colourWord(m_n, s.raw == Script);
    return s;
}

// Characters from i on that leave the state as it is (plain text, the rest
// of a name or of a value, a comment) go by without a step each; returns the
// index of the next one that a step must read.
template <class Events> qsizetype Scanner<Events>::skip(qsizetype i)
{
    if (s.ent != NoEntity)
        return i;
    switch (Mode(s.mode)) {
    case Data:
        if (tagsOnly())
            return skipTo(i, Plain, {u'<'});
        return skipTo(i, Plain, {u'<', u'&'});
    case InComment:
        return skipTo(i, Comment, {u'-'});
    case InDeclaration:
        return skipTo(i, Declaration, {u'>'});
    case TagName:
        if (s.cand)
            return i;
        return skipWhile(i, Tag, [](char16_t c) { return !isSpace(c) && c != u'/' && c != u'>'; });
    case AttrName:
        return skipWhile(i, Attribute, [](char16_t c) {
            return !isSpace(c) && c != u'/' && c != u'>' && c != u'=' && c != u'"' && c != u'\'' &&
                   c != u'<';
        });
    case AttrValueDouble:
        return skipTo(i, Value, {u'"', u'&'});
    case AttrValueSingle:
        return skipTo(i, Value, {u'\'', u'&'});
    case AttrValueUnquoted:
        return skipWhile(i, Value, [](char16_t c) {
            return !isSpace(c) && c != u'>' && c != u'&' && c != u'"' && c != u'\'' && c != u'<' &&
                   c != u'=' && c != u'`';
        });
    case ScriptData:
    case RawText:
        // Only "</" can end the text.
        return tagsOnly() ? skipTo(i, Plain, {u'<'}) : i;
    case ScriptEscaped:
    case ScriptDoubleEscaped:
        return tagsOnly() ? skipTo(i, Plain, {u'<', u'-'}) : i;
    default:
        return i;
    }
}

template <class Events>
template <int Count>
qsizetype Scanner<Events>::skipTo(qsizetype i, Kind kind, const char16_t (&units)[Count])
{
    const qsizetype to =
        UnitScan::findAny<Count>(reinterpret_cast<const char16_t *>(m_text.utf16()), i, m_n, units);
    if (kind != Plain)
        paint(i, to, kind);
    return to;
}

template <class Events>
template <typename Stop>
qsizetype Scanner<Events>::skipWhile(qsizetype i, Kind kind, Stop stop)
{
    const qsizetype from = i;
    while (i < m_n && stop(m_text[i].unicode()))
        ++i;
    paint(from, i, kind);
    return i;
}

// The "<" at i starts a tag whose name ends in this piece ("<p>", "</div ",
// "<br/"): it is read at once, as the steps would read it, and i goes on
// after the name's end. False (and nothing read) for anything else.
template <class Events> bool Scanner<Events>::wholeTagName(qsizetype &i)
{
    qsizetype begin = i + 1;
    const bool endTag = begin < m_n && m_text[begin] == u'/';
    if (endTag)
        ++begin;
    if (begin >= m_n || !isAlpha(m_text[begin].unicode()))
        return false;
    qsizetype end = begin + 1;
    while (end < m_n && !isSpace(m_text[end].unicode()) && m_text[end] != u'/' &&
           m_text[end] != u'>')
        ++end;
    if (end == m_n)
        return false;
    m_tagStart = i;
    paint(i, end, Tag);
    m_ev.tagName(begin, endTag);
    s.flags = endTag ? EndTagFlag : 0;
    s.sub = Code;
    s.cand = 0;
    s.len = 0;
    m_ev.tagNameEnd(end, endTag);
    s.raw = NoRaw;
    // Only "script", "style", "title" and "textarea" begin raw text.
    if (!endTag && (m_text[begin].unicode() | 0x20) >= u's' &&
        (m_text[begin].unicode() | 0x20) <= u't') {
        const QStringView name = m_text.sliced(begin, end - begin);
        for (quint8 raw = Script; raw < RawCount; ++raw) {
            if (name.size() == kRawNames[raw].size() &&
                name.compare(kRawNames[raw], Qt::CaseInsensitive) == 0)
                s.raw = raw;
        }
    }
    const char16_t c = m_text[end].unicode();
    if (c == u'\n' || c == QChar::ParagraphSeparator)
        m_lineBlank = true;
    if (c == u'>') {
        s.mode = BeforeAttrName;
        this->endTag(end);
    } else if (c == u'/') {
        s.mode = SelfClosingStart;
        mark(end, Tag);
    } else {
        s.mode = BeforeAttrName;
    }
    i = end + 1;
    return true;
}

template <class Events> bool Scanner<Events>::textAt(qsizetype i, QStringView what) const
{
    return i >= 0 && i + what.size() <= m_n &&
           m_text.mid(i, what.size()).compare(what, Qt::CaseInsensitive) == 0;
}

template <class Events> void Scanner<Events>::startEntity(qsizetype i, Kind base)
{
    s.ent = Ampersand;
    m_entityStart = i;
    mark(i, base);
    m_ev.characterReference(i, base == Value);
}

// The character reference under way, if any, takes c. Returns true when c is
// used up; otherwise the reference is over and c is read in the current mode.
template <class Events> bool Scanner<Events>::entityStep(char16_t c, qsizetype i, Kind base)
{
    switch (s.ent) {
    case Ampersand:
        if (c == u'#') {
            s.ent = Hash;
            mark(i, base);
            return true;
        }
        if (isAlnum(c)) {
            s.ent = EntityBody;
            paint(m_entityStart, i + 1, Entity);
            return true;
        }
        break;
    case Hash:
        if (isDigit(c) || c == u'x' || c == u'X') {
            s.ent = EntityBody;
            paint(m_entityStart, i + 1, Entity);
            return true;
        }
        break;
    case EntityBody:
        if (isAlnum(c)) {
            mark(i, Entity);
            return true;
        }
        if (c == u';') {
            s.ent = NoEntity;
            mark(i, Entity);
            return true;
        }
        break;
    default:
        return false;
    }
    s.ent = NoEntity;
    return false;
}

template <class Events> void Scanner<Events>::enterTagName(bool endTag, qsizetype nameStart)
{
    m_ev.tagName(nameStart, endTag);
    s.mode = TagName;
    s.flags = endTag ? EndTagFlag : 0;
    s.cand = endTag ? 0 : kAllCandidates;
    s.len = 0;
    s.sub = Code;
}

// A start tag whose name is one of the raw-text elements switches to their
// text when it ends.
template <class Events> void Scanner<Events>::finishTagName(qsizetype i)
{
    m_ev.tagNameEnd(i, has(EndTagFlag));
    s.raw = NoRaw;
    for (quint8 raw = Script; raw < RawCount; ++raw) {
        if ((s.cand & (1 << (raw - 1))) && kRawNames[raw].size() == s.len)
            s.raw = raw;
    }
    s.cand = 0;
    s.len = 0;
}

// ">" of a tag.
template <class Events> void Scanner<Events>::endTag(qsizetype i)
{
    mark(i, Tag);
    m_ev.tagEnd(i, s.mode == SelfClosingStart);
    const bool startsRaw = !has(EndTagFlag) && s.raw != NoRaw;
    s.flags = 0;
    s.sub = Code;
    if (startsRaw) {
        s.mode = s.raw == Script ? ScriptData : RawText;
    } else {
        s.mode = Data;
        s.raw = NoRaw;
    }
}

// "</" and the element's name, one character at a time. Returns false when
// c shows that this is no end tag of the element; the held characters then
// go to the text, and c is read again in the content mode.
template <class Events> bool Scanner<Events>::matchEndName(char16_t c, qsizetype i, Mode content)
{
    const QStringView name = content == ScriptEscaped ? kRawNames[Script] : rawName();
    if (isAlpha(c) && s.len < name.size() && toLower(c) == name[s.len]) {
        ++s.len;
        return true;
    }
    if ((isSpace(c) || c == u'/' || c == u'>') && s.len == name.size()) {
        endRawElement(i, i - name.size());
        step(c, i);
        return true;
    }
    s.len = 0;
    s.mode = content;
    replay(i);
    return false;
}

// "</script" (or the like) was seen: the raw text is over and the end tag
// goes on as any other.
template <class Events> void Scanner<Events>::endRawElement(qsizetype i, qsizetype nameStart)
{
    if (has(WordFlag) && !has(NumberFlag) && s.sub == Code && scriptStyleText())
        endWord(m_heldFrom, s.raw == Script);
    paint(m_heldFrom, i, Tag);
    s.raw = NoRaw;
    enterTagName(true, nameStart);
}

// Characters of raw text go to the script or style tokenizer, if any.
template <class Events> void Scanner<Events>::feed(char16_t c, qsizetype i)
{
    if (s.raw == Script)
        javaScript(c, i);
    else if (s.raw == Style)
        css(c, i);
    else
        mark(i, Plain);
}

// The held characters up to (not including) to are text after all.
template <class Events> void Scanner<Events>::replay(qsizetype to)
{
    for (qsizetype i = qMax<qsizetype>(m_heldFrom, 0); i < to && i < m_n; ++i)
        feed(m_text[i].unicode(), i);
    m_heldFrom = to;
}

template <class Events> void Scanner<Events>::step(char16_t c, qsizetype i)
{
    if (c == u'\n' || c == QChar::ParagraphSeparator)
        m_lineBlank = true;
    for (;;) {
        switch (Mode(s.mode)) {
        case Data:
            if (s.ent && entityStep(c, i, Plain))
                return;
            if (c == u'<') {
                s.mode = TagOpen;
                m_tagStart = i;
                mark(i, Tag);
            } else if (c == u'&') {
                startEntity(i, Plain);
            }
            return;
        case TagOpen:
            if (c == u'!') {
                s.mode = MarkupOpen;
                paint(m_tagStart, i + 1, Declaration);
            } else if (c == u'/') {
                s.mode = EndTagOpen;
                mark(i, Tag);
            } else if (isAlpha(c)) {
                enterTagName(false, i);
                continue;
            } else if (c == u'?') {
                m_ev.parseError(i,
                                QLatin1StringView("unexpected-question-mark-instead-of-tag-name"));
                s.mode = InDeclaration;
                paint(m_tagStart, i + 1, Declaration);
            } else {
                m_ev.parseError(i, QLatin1StringView("invalid-first-character-of-tag-name"));
                s.mode = Data;
                paint(m_tagStart, i, Plain);
                continue;
            }
            return;
        case EndTagOpen:
            if (isAlpha(c)) {
                enterTagName(true, i);
                continue;
            }
            if (c == u'>') {
                m_ev.parseError(i, QLatin1StringView("missing-end-tag-name"));
                s.mode = Data;
                mark(i, Tag);
            } else {
                m_ev.parseError(i, QLatin1StringView("invalid-first-character-of-tag-name"));
                s.mode = InDeclaration;
                paint(m_tagStart, i + 1, Declaration);
            }
            return;
        case TagName:
            if (isSpace(c)) {
                finishTagName(i);
                s.mode = BeforeAttrName;
            } else if (c == u'/') {
                finishTagName(i);
                s.mode = SelfClosingStart;
                mark(i, Tag);
            } else if (c == u'>') {
                finishTagName(i);
                endTag(i);
            } else {
                mark(i, Tag);
                if (s.cand) {
                    quint8 left = 0;
                    for (quint8 raw = Script; raw < RawCount; ++raw) {
                        const quint8 bit = quint8(1 << (raw - 1));
                        if ((s.cand & bit) && s.len < kRawNames[raw].size() &&
                            kRawNames[raw][s.len] == toLower(c))
                            left |= bit;
                    }
                    s.cand = left;
                    s.len = left ? quint8(s.len + 1) : 0;
                }
            }
            return;
        case BeforeAttrName:
            if (isSpace(c))
                return;
            if (c == u'/' || c == u'>') {
                s.mode = AfterAttrName;
                continue;
            }
            if (c == u'=')
                m_ev.parseError(i,
                                QLatin1StringView("unexpected-equals-sign-before-attribute-name"));
            s.mode = AttrName;
            m_ev.attributeName(i);
            mark(i, Attribute);
            return;
        case AttrName:
            if (isSpace(c) || c == u'/' || c == u'>') {
                m_ev.attributeNameEnd(i);
                s.mode = AfterAttrName;
                continue;
            }
            if (c == u'=') {
                m_ev.attributeNameEnd(i);
                s.mode = BeforeAttrValue;
                mark(i, Tag);
            } else {
                if (c == u'"' || c == u'\'' || c == u'<')
                    m_ev.parseError(i, QLatin1StringView("unexpected-character-in-attribute-name"));
                mark(i, Attribute);
            }
            return;
        case AfterAttrName:
            if (isSpace(c))
                return;
            if (c == u'/') {
                s.mode = SelfClosingStart;
                mark(i, Tag);
            } else if (c == u'=') {
                s.mode = BeforeAttrValue;
                mark(i, Tag);
            } else if (c == u'>') {
                endTag(i);
            } else {
                s.mode = AttrName;
                m_ev.attributeName(i);
                continue;
            }
            return;
        case BeforeAttrValue:
            if (isSpace(c))
                return;
            if (c == u'"' || c == u'\'') {
                s.mode = c == u'"' ? AttrValueDouble : AttrValueSingle;
                m_ev.attributeValue(i);
                mark(i, Value);
            } else if (c == u'>') {
                m_ev.parseError(i, QLatin1StringView("missing-attribute-value"));
                endTag(i);
            } else {
                s.mode = AttrValueUnquoted;
                m_ev.attributeValue(i);
                continue;
            }
            return;
        case AttrValueDouble:
        case AttrValueSingle:
            if (s.ent && entityStep(c, i, Value))
                return;
            mark(i, Value);
            if (c == (s.mode == AttrValueDouble ? u'"' : u'\'')) {
                s.mode = AfterAttrValueQuoted;
                m_ev.attributeValueEnd(i + 1);
            } else if (c == u'&')
                startEntity(i, Value);
            return;
        case AttrValueUnquoted:
            if (s.ent && entityStep(c, i, Value))
                return;
            if (isSpace(c)) {
                m_ev.attributeValueEnd(i);
                s.mode = BeforeAttrName;
            } else if (c == u'>') {
                m_ev.attributeValueEnd(i);
                endTag(i);
            } else if (c == u'&') {
                startEntity(i, Value);
            } else {
                if (c == u'"' || c == u'\'' || c == u'<' || c == u'=' || c == u'`')
                    m_ev.parseError(
                        i, QLatin1StringView("unexpected-character-in-unquoted-attribute-value"));
                mark(i, Value);
            }
            return;
        case AfterAttrValueQuoted:
            if (isSpace(c)) {
                s.mode = BeforeAttrName;
                return;
            }
            if (c == u'/') {
                s.mode = SelfClosingStart;
                mark(i, Tag);
            } else if (c == u'>') {
                endTag(i);
            } else {
                m_ev.parseError(i, QLatin1StringView("missing-whitespace-between-attributes"));
                s.mode = BeforeAttrName;
                continue;
            }
            return;
        case SelfClosingStart:
            if (c == u'>') {
                endTag(i);
                return;
            }
            m_ev.parseError(i, QLatin1StringView("unexpected-solidus-in-tag"));
            s.mode = BeforeAttrName;
            continue;
        case MarkupOpen:
            if (c == u'-') {
                s.mode = MarkupDash;
                mark(i, Declaration);
                return;
            }
            m_ev.markup(i);
            s.mode = InDeclaration;
            continue;
        case MarkupDash:
            if (c == u'-') {
                s.mode = CommentStart;
                paint(m_tagStart, i + 1, Comment);
                return;
            }
            m_ev.markup(i - 1);
            s.mode = InDeclaration;
            continue;
        case CommentStart:
        case CommentStartDash:
            if (c == u'>') {
                m_ev.parseError(i, QLatin1StringView("abrupt-closing-of-empty-comment"));
                s.mode = Data;
            } else if (c == u'-') {
                s.mode = s.mode == CommentStart ? CommentStartDash : CommentEnd;
            } else {
                s.mode = InComment;
                continue;
            }
            mark(i, Comment);
            return;
        case InComment:
            mark(i, Comment);
            if (c == u'-')
                s.mode = CommentEndDash;
            return;
        case CommentEndDash:
            if (c != u'-') {
                s.mode = InComment;
                continue;
            }
            s.mode = CommentEnd;
            mark(i, Comment);
            return;
        case CommentEnd:
        case CommentEndBang:
            if (c == u'>') {
                if (s.mode == CommentEndBang)
                    m_ev.parseError(i, QLatin1StringView("incorrectly-closed-comment"));
                s.mode = Data;
            } else if (c == u'-') {
                s.mode = s.mode == CommentEnd ? CommentEnd : CommentEndDash;
            } else if (c == u'!' && s.mode == CommentEnd) {
                s.mode = CommentEndBang;
            } else {
                s.mode = InComment;
                continue;
            }
            mark(i, Comment);
            return;
        case InDeclaration:
            mark(i, Declaration);
            if (c == u'>')
                s.mode = Data;
            return;
        case RawText:
            if (s.ent && entityStep(c, i, Plain))
                return;
            if (c == u'<') {
                s.mode = RawLt;
                m_heldFrom = i;
            } else if (c == u'&' && !scriptStyleText()) {
                startEntity(i, Plain);
            } else {
                feed(c, i);
            }
            return;
        case RawLt:
            if (c == u'/') {
                s.mode = RawEndName;
                s.len = 0;
                return;
            }
            s.mode = RawText;
            replay(i);
            continue;
        case RawEndName:
            if (matchEndName(c, i, RawText))
                return;
            continue;
        case ScriptData:
            if (c == u'<') {
                s.mode = ScriptLt;
                m_heldFrom = i;
            } else {
                javaScript(c, i);
            }
            return;
        case ScriptLt:
            if (c == u'/') {
                s.mode = ScriptEndName;
                s.len = 0;
                return;
            }
            replay(i);
            if (c == u'!') {
                s.mode = ScriptEscapeStart;
                javaScript(c, i);
                return;
            }
            s.mode = ScriptData;
            continue;
        case ScriptEndName:
            if (matchEndName(c, i, ScriptData))
                return;
            continue;
        case ScriptEscapeStart:
        case ScriptEscapeStartDash:
            if (c != u'-') {
                s.mode = ScriptData;
                continue;
            }
            s.mode = s.mode == ScriptEscapeStart ? ScriptEscapeStartDash : ScriptEscapedDashDash;
            javaScript(c, i);
            return;
        case ScriptEscaped:
        case ScriptEscapedDash:
        case ScriptEscapedDashDash:
            if (c == u'<') {
                s.mode = ScriptEscapedLt;
                m_heldFrom = i;
                return;
            }
            if (c == u'-')
                s.mode = s.mode == ScriptEscaped ? ScriptEscapedDash : ScriptEscapedDashDash;
            else if (c == u'>' && s.mode == ScriptEscapedDashDash)
                s.mode = ScriptData;
            else
                s.mode = ScriptEscaped;
            javaScript(c, i);
            return;
        case ScriptEscapedLt:
            if (c == u'/') {
                s.mode = ScriptEscapedEndName;
                s.len = 0;
                return;
            }
            replay(i);
            if (isAlpha(c)) {
                s.mode = ScriptDoubleEscapeStart;
                s.len = 0;
                continue;
            }
            s.mode = ScriptEscaped;
            continue;
        case ScriptEscapedEndName:
            if (matchEndName(c, i, ScriptEscaped))
                return;
            continue;
        case ScriptDoubleEscapeStart:
        case ScriptDoubleEscapeEnd: {
            const bool start = s.mode == ScriptDoubleEscapeStart;
            const Mode matched = start ? ScriptDoubleEscaped : ScriptEscaped;
            const Mode otherwise = start ? ScriptEscaped : ScriptDoubleEscaped;
            const QStringView name = kRawNames[Script];
            if (isSpace(c) || c == u'/' || c == u'>') {
                s.mode = s.len == name.size() ? matched : otherwise;
                s.len = 0;
                javaScript(c, i);
                return;
            }
            if (isAlpha(c) && s.len < name.size() && toLower(c) == name[s.len]) {
                ++s.len;
                javaScript(c, i);
                return;
            }
            s.mode = otherwise;
            s.len = 0;
            continue;
        }
        case ScriptDoubleEscaped:
        case ScriptDoubleEscapedDash:
        case ScriptDoubleEscapedDashDash:
            if (c == u'<')
                s.mode = ScriptDoubleEscapedLt;
            else if (c == u'-')
                s.mode = s.mode == ScriptDoubleEscaped ? ScriptDoubleEscapedDash
                                                       : ScriptDoubleEscapedDashDash;
            else if (c == u'>' && s.mode == ScriptDoubleEscapedDashDash)
                s.mode = ScriptData;
            else
                s.mode = ScriptDoubleEscaped;
            javaScript(c, i);
            return;
        case ScriptDoubleEscapedLt:
            if (c == u'/') {
                s.mode = ScriptDoubleEscapeEnd;
                s.len = 0;
                javaScript(c, i);
                return;
            }
            s.mode = ScriptDoubleEscaped;
            continue;
        }
        return;
    }
}

// A word of script or style text has ended just before i.
template <class Events> void Scanner<Events>::endWord(qsizetype i, bool script)
{
    colourWord(i, script);
    set(WordFlag, false);
    set(NumberFlag, false);
}

// Keywords among the words; numbers are coloured as they are read.
template <class Events> void Scanner<Events>::colourWord(qsizetype end, bool script)
{
    const qsizetype i = qMin(end, m_n);
    if (has(NumberFlag) || m_wordStart < 0 || i <= m_wordStart)
        return;
    const QStringView word = m_text.mid(m_wordStart, i - m_wordStart);
    bool keyword;
    if (script) {
        keyword = ScriptKeywords::isJavaScript(word);
    } else if (word.startsWith(u'@')) {
        keyword = true; // at-rules
    } else if (ScriptKeywords::isCss(word)) {
        keyword = true;
    } else {
        // A property name: the next character after blanks is ":".
        qsizetype next = i;
        while (next < m_n && isSpace(m_text[next].unicode()))
            ++next;
        keyword = has(InBlockFlag) && at(next) == u':';
    }
    if (keyword)
        paint(m_wordStart, i, Keyword);
}

// What scripts and style sheets have alike: strings, comments, and a "/"
// that may begin a comment. Returns false for a character of code.
template <class Events>
bool Scanner<Events>::stringOrComment(char16_t c, qsizetype i, bool lineComments)
{
    switch (Sub(s.sub)) {
    case Code:
        if (has(SlashFlag)) {
            set(SlashFlag, false);
            if (c == u'*' || (c == u'/' && lineComments)) {
                s.sub = c == u'/' ? LineComment : BlockComment;
                paint(i - 1, i + 1, Comment);
                return true;
            }
        }
        return false;
    case SingleQuoted:
    case DoubleQuoted:
    case Template:
        mark(i, String);
        if (has(EscapeFlag))
            set(EscapeFlag, false);
        else if (c == u'\\')
            set(EscapeFlag, true);
        else if (c == (s.sub == SingleQuoted   ? u'\''
                       : s.sub == DoubleQuoted ? u'"'
                                               : u'`') ||
                 (isLineBreak(c) && s.sub != Template))
            s.sub = Code;
        return true;
    case LineComment:
        mark(i, Comment);
        if (isLineBreak(c))
            s.sub = Code;
        return true;
    case BlockComment:
        mark(i, Comment);
        if (has(StarFlag) && c == u'/')
            s.sub = Code;
        set(StarFlag, c == u'*');
        return true;
    }
    return false;
}

// The start of a string ("`" only in scripts) or of a possible comment.
template <class Events>
bool Scanner<Events>::opensStringOrComment(char16_t c, qsizetype i, bool templates)
{
    if (c == u'"' || c == u'\'' || (c == u'`' && templates)) {
        s.sub = c == u'"' ? DoubleQuoted : c == u'\'' ? SingleQuoted : Template;
        mark(i, String);
        return true;
    }
    if (c == u'/') {
        set(SlashFlag, true);
        mark(i, Plain);
        return true;
    }
    return false;
}

template <class Events> void Scanner<Events>::javaScript(char16_t c, qsizetype i)
{
    if (tagsOnly())
        return;
    const bool lineBlank = m_lineBlank;
    if (!isSpace(c))
        m_lineBlank = false;
    if (stringOrComment(c, i, true))
        return;
    if (has(WordFlag)) {
        if (isIdentifierChar(c) || (has(NumberFlag) && c == u'.')) {
            mark(i, has(NumberFlag) ? Number : Plain);
            return;
        }
        endWord(i, true);
    }
    if (opensStringOrComment(c, i, true))
        return;
    if ((c == u'<' && textAt(i, u"<!--")) || (c == u'-' && lineBlank && textAt(i, u"-->"))) {
        // The HTML-like comments that scripts allow run to the line's end.
        s.sub = LineComment;
        mark(i, Comment);
    } else if (isDigit(c)) {
        s.flags |= WordFlag | NumberFlag;
        m_wordStart = i;
        mark(i, Number);
    } else if (isIdentifierChar(c)) {
        set(WordFlag, true);
        m_wordStart = i;
        mark(i, Plain);
    } else {
        mark(i, Plain);
    }
}

template <class Events> void Scanner<Events>::css(char16_t c, qsizetype i)
{
    if (tagsOnly())
        return;
    if (stringOrComment(c, i, false))
        return;
    if (has(WordFlag)) {
        const bool number = has(NumberFlag);
        if (isIdentifierChar(c) || c == u'-' || (number && (c == u'.' || c == u'%'))) {
            mark(i, number ? Number : at(m_wordStart) == u'@' ? Keyword : Plain);
            return;
        }
        endWord(i, false);
    }
    if (opensStringOrComment(c, i, false))
        return;
    if (c == u'{' || c == u'}') {
        set(InBlockFlag, c == u'{');
        mark(i, Plain);
    } else if (isDigit(c) || ((c == u'.' || c == u'-') && isDigit(at(i + 1))) ||
               (c == u'#' && has(InBlockFlag) && isHex(at(i + 1)))) {
        s.flags |= WordFlag | NumberFlag;
        m_wordStart = i;
        mark(i, Number);
    } else if (isIdentifierChar(c) || c == u'-' || c == u'@') {
        set(WordFlag, true);
        m_wordStart = i;
        mark(i, c == u'@' ? Keyword : Plain);
    } else {
        mark(i, c == u'!' && isAlpha(at(i + 1)) ? Keyword : Plain);
    }
}

} // namespace

State State::fromInt(int packed)
{
    State state;
    quint8 *fields[] = {&state.mode, &state.raw, &state.len,  &state.cand,
                        &state.ent,  &state.sub, &state.flags};
    int shift = 0;
    for (int f = 0; f < 7; ++f) {
        *fields[f] = quint8((packed >> shift) & ((1 << kFieldBits[f]) - 1));
        shift += kFieldBits[f];
    }
    return state;
}

int State::toInt() const
{
    const quint8 fields[] = {mode, raw, len, cand, ent, sub, flags};
    int packed = 0;
    int shift = 0;
    for (int f = 0; f < 7; ++f) {
        packed |= int(fields[f]) << shift;
        shift += kFieldBits[f];
    }
    return packed;
}

State scan(QStringView text, State start, bool endsLine, Kind *kinds)
{
    return Scanner<NoEvents>(text, start, kinds).run(endsLine);
}

QLatin1StringView endOfFileError(State state)
{
    switch (Mode(state.mode)) {
    case TagOpen:
    case EndTagOpen:
        return QLatin1StringView("eof-before-tag-name");
    case TagName:
    case BeforeAttrName:
    case AttrName:
    case AfterAttrName:
    case BeforeAttrValue:
    case AttrValueDouble:
    case AttrValueSingle:
    case AttrValueUnquoted:
    case AfterAttrValueQuoted:
    case SelfClosingStart:
        return QLatin1StringView("eof-in-tag");
    case MarkupOpen:
    case MarkupDash:
        return QLatin1StringView("incorrectly-opened-comment");
    case CommentStart:
    case CommentStartDash:
    case InComment:
    case CommentEndDash:
    case CommentEnd:
    case CommentEndBang:
        return QLatin1StringView("eof-in-comment");
    case InDeclaration:
        return QLatin1StringView("eof-in-declaration");
    case ScriptEscaped:
    case ScriptEscapedDash:
    case ScriptEscapedDashDash:
    case ScriptEscapedLt:
    case ScriptEscapedEndName:
    case ScriptDoubleEscapeStart:
    case ScriptDoubleEscaped:
    case ScriptDoubleEscapedDash:
    case ScriptDoubleEscapedDashDash:
    case ScriptDoubleEscapedLt:
    case ScriptDoubleEscapeEnd:
        return QLatin1StringView("eof-in-script-html-comment-like-text");
    default:
        return {};
    }
}

State scan(QStringView text, State start, bool endsLine, Sink &sink)
{
    return Scanner<SinkEvents>(text, start, nullptr, SinkEvents{sink}).run(endsLine);
}

State scan(QStringView text, State start, bool endsLine, Kind *kinds, TagSink *tags)
{
    if (!tags)
        return scan(text, start, endsLine, kinds);
    TagEvents events;
    events.tags = tags;
    return Scanner<TagEvents>(text, start, kinds, events).run(endsLine);
}

bool readingTagName(State state)
{
    return state.mode == TagName;
}

} // namespace HtmlScanner
