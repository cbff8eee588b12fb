#include "editor/findreplace.h"

#include "editor/findreplaceflattext.h"
#include "editor/findreplacesearch.h"
#include "editor/inplaceedits.h"
#include "editor/linepieces.h"
#include "editor/richtextbox.h"

#include <QTextCursor>
#include <QTextDocument>

FindReplace::FindReplace(RichText &richText)
    : m_richText(richText)
{}

FindReplace::FindReplace(RichTextBox &richText)
    : m_richText(richText)
    , m_box(&richText)
    , m_flatText(std::make_unique<FindReplaceFlatText>(richText))
{}

FindReplace::~FindReplace() = default;

std::optional<QString> FindReplace::documentPattern(const QString &findText)
{
    // The document holds every line break as one separator and no other
    // line break character, and the model text never holds a separator.
    if (findText.contains(QChar::ParagraphSeparator))
        return std::nullopt;
    QString pattern = findText;
    pattern.replace(QLatin1String("\r\n"), QString(QChar::ParagraphSeparator));
    if (pattern.contains(u'\r') || pattern.contains(u'\n'))
        return std::nullopt;
    return pattern;
}

std::optional<SearchPattern> FindReplace::documentSearch(const QString &findText,
                                                         const SearchOptions &options)
{
    if (findText.isEmpty())
        return std::nullopt;
    if (options.regex)
        return SearchPattern(findText, options);
    if (const std::optional<QString> pattern = documentPattern(findText))
        return SearchPattern(*pattern, options);
    return std::nullopt;
}

bool FindReplace::FindNextMatch(const QString &findText, Qt::CaseSensitivity cs)
{
    SearchOptions options;
    options.cs = cs;
    return FindNextMatch(findText, options);
}

bool FindReplace::FindNextMatch(const QString &findText, const SearchOptions &options)
{
    if (m_box) {
        if (const std::optional<SearchPattern> pattern = documentSearch(findText, options))
            return findInDocument(*pattern);
    }
    return findInText(findText, options);
}

bool FindReplace::findInText(const QString &findText, const SearchOptions &options)
{
    const qsizetype start = m_richText.SelStart() + m_richText.SelLength();
    if (findText.isEmpty()) {
        // Found at once: the selection collapses to its end.
        if (start > m_richText.Text().size())
            return false;
        m_richText.setSelStart(start);
        m_richText.setSelLength(0);
        return true;
    }
    const SearchPattern::Match hit =
        SearchPattern(findText, options).matchIn(m_richText.Text(), start);
    if (!hit.found())
        return false;
    m_richText.setSelStart(hit.start);
    m_richText.setSelLength(hit.length);
    return true;
}

bool FindReplace::findInDocument(const SearchPattern &pattern)
{
    const QString text = m_flatText->text();
    const LinePieces &pieces = m_box->pieces();
    QTextCursor cursor = m_box->textCursor();
    const SearchPattern::Match hit =
        pattern.matchIn(text, pieces.joinedPosition(cursor.selectionEnd()));
    if (!hit.found())
        return false;
    cursor.setPosition(pieces.widgetPosition(int(hit.start), false));
    cursor.setPosition(pieces.widgetPosition(int(hit.start + hit.length), true),
                       QTextCursor::KeepAnchor);
    m_box->setTextCursor(cursor);
    return true;
}

bool FindReplace::ReplaceSelection(const QString &replacement)
{
    if (m_richText.SelLength() <= 0)
        return false;
    m_richText.setSelText(replacement);
    return true;
}

QString FindReplace::replacedText(const QString &text, const QString &findText,
                                  const QString &replacement, Qt::CaseSensitivity cs,
                                  qsizetype *count)
{
    SearchOptions options;
    options.cs = cs;
    return replacedText(text, SearchPattern(findText, options), replacement, count);
}

QString FindReplace::replacedText(const QString &text, const SearchPattern &pattern,
                                  const QString &replacement, qsizetype *count)
{
    const std::vector<SearchPattern::Match> matches = pattern.allMatches(text);
    if (count)
        *count = qsizetype(matches.size());
    if (matches.empty())
        return text;
    QString result;
    qsizetype from = 0;
    for (const SearchPattern::Match &match : matches) {
        result += QStringView(text).sliced(from, match.start - from);
        result += pattern.replacementFor(match, text, replacement);
        from = match.start + match.length;
    }
    result += QStringView(text).sliced(from);
    return result;
}

qsizetype FindReplace::ReplaceAll(const QString &findText, const QString &replacement,
                                  Qt::CaseSensitivity cs)
{
    SearchOptions options;
    options.cs = cs;
    return ReplaceAll(findText, replacement, options);
}

qsizetype FindReplace::ReplaceAll(const QString &findText, const QString &replacement,
                                  const SearchOptions &options)
{
    // Edits in place give the same text as a rewrite unless a replacement
    // could join a line break with its neighbour's (CR at its end, LF at
    // its start), or a group could bring one along.
    const bool groups = options.regex && replacement.contains(u'$');
    if (m_box && !groups && !replacement.startsWith(u'\n') && !replacement.endsWith(u'\r')) {
        if (const std::optional<SearchPattern> pattern = documentSearch(findText, options))
            return replaceAllInDocument(*pattern, replacement);
    }
    return replaceAllInText(findText, replacement, options);
}

qsizetype FindReplace::replaceAllInText(const QString &findText, const QString &replacement,
                                        const SearchOptions &options)
{
    qsizetype count = 0;
    const QString text =
        replacedText(m_richText.Text(), SearchPattern(findText, options), replacement, &count);
    if (!m_box) {
        m_richText.setText(text);
        m_richText.setSelStart(0);
    } else if (count == 0) {
        writeBackUnchanged();
    } else {
        replaceWholeDocument(text);
    }
    return count;
}

qsizetype FindReplace::replaceAllInDocument(const SearchPattern &pattern,
                                            const QString &replacement)
{
    // A shallow copy: the cached text is dropped when the edits begin.
    const QString text = m_flatText->text();
    std::vector<InPlaceEdits::Edit> edits;
    const QString inserted = RichTextBox::normalizedLineBreaks(replacement);
    for (const SearchPattern::Match &match : pattern.allMatches(text))
        edits.push_back({match.start, match.length, inserted});
    if (edits.empty()) {
        writeBackUnchanged();
        return 0;
    }
    InPlaceEdits::apply(*m_box, text, edits);
    caretToStart();
    return qsizetype(edits.size());
}

void FindReplace::writeBackUnchanged()
{
    // Writing the same text again would change nothing but the undo
    // history: the caret and the notification are what remain of it.
    caretToStart();
    emit m_box->Change();
}

void FindReplace::replaceWholeDocument(const QString &text)
{
    // One edit over the whole document, so that one undo step restores it
    // (and the caret where it stood).
    QTextCursor cursor = m_box->textCursor();
    cursor.beginEditBlock();
    cursor.select(QTextCursor::Document);
    m_box->pieces().insertText(cursor, RichTextBox::normalizedLineBreaks(text));
    cursor.endEditBlock();
    caretToStart();
}

void FindReplace::caretToStart()
{
    QTextCursor cursor = m_box->textCursor();
    cursor.setPosition(0);
    m_box->setTextCursor(cursor);
}
