#pragma once

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

// Where the start and end tags of a scan are, for readers of the markup
// other than the colouring. Indexes are into the text scanned.
class TagSink {
public:
    virtual ~TagSink() = default;
    // A tag's name runs from begin to end; begin is negative when the name
    // began that many characters before the text (in an earlier piece).
    // Not complete: the text ends inside the name, which the next piece
    // continues (from its index 0).
    virtual void tagName(qsizetype begin, qsizetype end, bool endTag, bool complete) = 0;
    // The ">" that ends the tag; selfClosing for "/>".
    virtual void tagEnd(qsizetype at, bool selfClosing) = 0;
};

// Scans text from start and returns the state after it. A line break is fed
// after the text when endsLine; otherwise the text is a piece that the next
// piece continues. When kinds is given (text.size() entries, all Plain), the
// kind of each character is written there; when tags is, the tags are told
// to it.
// Whether the state is inside a tag's name (which the next piece goes on with).
bool readingTagName(State state);

State scan(QStringView text, State start, bool endsLine, Kind *kinds = nullptr,
           TagSink *tags = nullptr);

} // namespace HtmlScanner
