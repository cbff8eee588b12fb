#pragma once

#include <QLatin1StringView>
#include <QStringView>
#include <QtGlobal>

// A tokenizer of HTML source for colouring, one line (or one piece of a line)
// at a time. It follows the states of a browser's tokenizer, so that whatever
// the page holds (a tag never closed, a stray "<", a comment that runs to the
// end) it colours what a browser would read, and never fails. Inside <script>
// and <style> a small second tokenizer colours JavaScript or CSS, while the
// HTML rules alone decide where those elements end: at "</script" or
// "</style", not at a "</" inside a string.
//
// The state between two characters says all that is needed to go on, so a
// line may be scanned in pieces. Only a colour that depends on characters of
// the next piece (a "<" as the last character of a piece, a keyword split in
// two) may then differ from a scan of the whole line.
namespace HtmlScanner {

enum Kind : quint8 {
    Plain,
    Tag,         // "<", the name, "=", "/", ">"
    Attribute,   // attribute names
    Value,       // attribute values with their quotes
    Comment,     // HTML, JavaScript and CSS comments
    Declaration, // "<!DOCTYPE …>", "<?…>" and other "<!…>"
    Entity,      // "&amp;", "&#123;", "&#x1F;"
    String,      // strings of scripts and style sheets
    Number,      // their numbers (with CSS units and colours)
    Keyword,     // JavaScript keywords; CSS at-rules, property names, "!important"
    KindCount
};

// The scanner's state, packed into the low 29 bits of a non-negative int.
class State {
public:
    constexpr State() = default;
    static constexpr int kBits = 29;
    static State fromInt(int packed);
    int toInt() const;
    friend bool operator==(const State &, const State &) = default;

    // Fields, each zero when its mode does not use it (so that equal
    // situations compare equal).
    quint8 mode = 0;  // where the tokenizer stands (see the scanner)
    quint8 raw = 0;   // the element whose text is raw (script, style, title, textarea)
    quint8 len = 0;   // characters of a tag name matched so far
    quint8 cand = 0;  // names a start tag name may still become
    quint8 ent = 0;   // how far a character reference has got
    quint8 sub = 0;   // the script or style tokenizer's mode
    quint8 flags = 0; // see the scanner
};

// Scans text from start and returns the state after it. A line break is fed
// after the text when endsLine; otherwise the text is a piece that the next
// piece continues. When kinds is given (text.size() entries, all Plain), the
// kind of each character is written there.
State scan(QStringView text, State start, bool endsLine, Kind *kinds = nullptr);

// What a reader of markup other than the colouring (the checker) learns
// from the same scan. Positions are indices into the text scanned; the line
// break fed after a line stands at text.size(). Errors carry the names the
// HTML standard gives its tokenizer's parse errors, at the character where
// the standard finds them.
class Sink {
public:
    virtual ~Sink() = default;
    virtual void parseError(qsizetype at, QLatin1StringView code) = 0;
    // The first character of a tag's name; its end (the character after it).
    virtual void tagName(qsizetype at, bool endTag) = 0;
    virtual void tagNameEnd(qsizetype at) = 0;
    virtual void attributeName(qsizetype at) = 0;
    virtual void attributeNameEnd(qsizetype at) = 0;
    // A value from its first character (a quote, if any) to the character
    // after it (after the closing quote, if any).
    virtual void attributeValue(qsizetype at) = 0;
    virtual void attributeValueEnd(qsizetype at) = 0;
    // The ">" of a tag; selfClosing after "/".
    virtual void tagEnd(qsizetype at, bool selfClosing) = 0;
    // The "&" of a character reference in text or in an attribute's value.
    virtual void characterReference(qsizetype at, bool inAttribute) = 0;
    // The character after "<!" of markup that is not a comment ("DOCTYPE",
    // or the start of a bogus comment).
    virtual void markup(qsizetype at) = 0;
};

// Scans as above, reporting to sink instead of writing kinds.
State scan(QStringView text, State start, bool endsLine, Sink &sink);

// Where the start and end tags of a scan are, for the tag pairs. Indexes are
// into the text scanned.
class TagSink {
public:
    virtual ~TagSink() = default;
    // A tag's name runs from begin to end; begin is 0 or less when the name
    // began in an earlier piece. Not complete: the text ends inside the name, which
    // the next piece continues (from its index 0).
    virtual void tagName(qsizetype begin, qsizetype end, bool endTag, bool complete) = 0;
    // The ">" that ends the tag; selfClosing for "/>".
    virtual void tagEnd(qsizetype at, bool selfClosing) = 0;
};

// Scans as the first form, reporting tags to tags as well (when given).
State scan(QStringView text, State start, bool endsLine, Kind *kinds, TagSink *tags);

// Whether a scan that stopped in state stopped inside a tag's name.
bool readingTagName(State state);

// The parse error of a page that ends in state: "eof-in-tag",
// "eof-in-comment" and the like; "eof-in-declaration" for "<!…" or "<?…"
// markup left open (an error when it is a DOCTYPE); empty when the page may
// end there.
QLatin1StringView endOfFileError(State state);

} // namespace HtmlScanner
