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

bool FindReplace::FindNextMatch(const QString &findText, Qt::CaseSensitivity cs)
{
    if (m_box) {
        if (const std::optional<QString> pattern = documentPattern(findText))
            return findInDocument(*pattern, cs);
    }
    return findInText(findText, cs);
}

bool FindReplace::findInText(const QString &findText, Qt::CaseSensitivity cs)
{
    const qsizetype start = m_richText.SelStart() + m_richText.SelLength();
    const qsizetype hit = TextMatcher(findText, cs).indexIn(m_richText.Text(), start);
    if (hit < 0)
        return false;
    m_richText.setSelStart(hit);
    m_richText.setSelLength(findText.size());
    return true;
}

bool FindReplace::findInDocument(const QString &pattern, Qt::CaseSensitivity cs)
{
    const QString text = m_flatText->text();
    const LinePieces &pieces = m_box->pieces();
    QTextCursor cursor = m_box->textCursor();
    const qsizetype hit =
        TextMatcher(pattern, cs).indexIn(text, pieces.joinedPosition(cursor.selectionEnd()));
    if (hit < 0)
        return false;
    const int start = pieces.widgetPosition(int(hit), false);
    cursor.setPosition(start);
    if (!pattern.isEmpty()) {
        cursor.setPosition(pieces.widgetPosition(int(hit + pattern.size()), true),
                           QTextCursor::KeepAnchor);
    }
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
    qsizetype replaced = 0;
    QString result;
    if (!findText.isEmpty()) {
        const TextMatcher matcher(findText, cs);
        qsizetype from = 0;
        for (qsizetype hit = matcher.indexIn(text, 0); hit >= 0;
             hit = matcher.indexIn(text, from)) {
            result += QStringView(text).sliced(from, hit - from);
            result += replacement;
            from = hit + findText.size();
            ++replaced;
        }
        if (replaced > 0)
            result += QStringView(text).sliced(from);
    }
    if (count)
        *count = replaced;
    return replaced > 0 ? result : text;
}

qsizetype FindReplace::ReplaceAll(const QString &findText, const QString &replacement,
                                  Qt::CaseSensitivity cs)
{
    // Edits in place give the same text as a rewrite unless a replacement
    // could join a line break with its neighbour's (CR at its end, LF at
    // its start).
    if (m_box && !replacement.startsWith(u'\n') && !replacement.endsWith(u'\r')) {
        if (const std::optional<QString> pattern = documentPattern(findText))
            return replaceAllInDocument(*pattern, replacement, cs);
    }
    return replaceAllInText(findText, replacement, cs);
}

qsizetype FindReplace::replaceAllInText(const QString &findText, const QString &replacement,
                                        Qt::CaseSensitivity cs)
{
    qsizetype count = 0;
    const QString text = replacedText(m_richText.Text(), findText, replacement, cs, &count);
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

qsizetype FindReplace::replaceAllInDocument(const QString &pattern, const QString &replacement,
                                            Qt::CaseSensitivity cs)
{
    // A shallow copy: the cached text is dropped when the edits begin.
    const QString text = m_flatText->text();
    const QString inserted = RichTextBox::normalizedLineBreaks(replacement);
    std::vector<InPlaceEdits::Edit> edits;
    if (!pattern.isEmpty()) {
        const TextMatcher matcher(pattern, cs);
        for (qsizetype hit = matcher.indexIn(text, 0); hit >= 0;
             hit = matcher.indexIn(text, hit + pattern.size()))
            edits.push_back({hit, pattern.size(), inserted});
    }
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
