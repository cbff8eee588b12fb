#include "editor/tagcompletion.h"

#include "editor/taglist.h"
#include "platform/places.h"
#include "platform/twips.h"
#include "platform/virtualkey.h"

namespace {

// Backspace, the digits 1 to 9 and the codes from A up to the keypad's 1.
bool startsSearch(int keyCode)
{
    return keyCode == VirtualKey::Back || (keyCode >= '1' && keyCode <= '9') ||
           (keyCode >= VirtualKey::LetterA && keyCode <= VirtualKey::Numpad0 + 1);
}

} // namespace

TagCompletion::TagCompletion(CaretText &text, CompletionList &list, CompletionHost &host)
    : m_text(text)
    , m_list(list)
    , m_host(host)
{}

bool TagCompletion::LoadTagList()
{
    return LoadTagList(Places::tagListFile());
}

bool TagCompletion::LoadTagList(const QString &path)
{
    QStringList entries;
    if (!TagList::load(path, entries))
        return false;
    m_list.Clear();
    for (const QString &entry : entries)
        m_list.AddItem(entry);
    m_index.build(entries);
    return true;
}

void TagCompletion::RichText_Change()
{
    const qsizetype caret = m_text.SelStart();
    const bool opens = caret >= 1 && m_text.Mid(caret, 1) == QLatin1String("<");
    if (!opens && !m_list.Visible())
        return;
    if (caret == 0) {
        close();
        return;
    }
    if (opens)
        placeAtCaret();
    // The tag is taken before the list shows: a tag that closes it at once
    // never shows it.
    if (takePrefix(caret) && opens)
        m_list.setShown(true);
}

void TagCompletion::placeAtCaret()
{
    m_caretPoint = m_host.caretPosition();
    const int caretLeft = m_host.editLeft() + Twips::fromPixelsRounded(m_caretPoint.x());
    const int caretTop = m_host.editTop() + Twips::fromPixelsRounded(m_caretPoint.y());
    int left = caretLeft;
    int top = caretTop + m_host.textHeight() + kGapBelowLine;
    // The whole list stays inside the window, so that the selected entry
    // can always be seen: too far right it moves left, too low it opens
    // above the caret's line.
    if (left + m_list.Width() > m_host.scaleWidth())
        left = m_host.scaleWidth() - m_list.Width();
    if (top + m_list.Height() > m_host.scaleHeight())
        top = caretTop - kGapAboveLine - m_list.Height();
    m_list.Move(qMax(left, 0), qMax(top, 0));
}

bool TagCompletion::takePrefix(qsizetype caret)
{
    m_tagCaret = caret;
    m_tagStart = m_text.lastIndexOf(u'<', caret);
    if (m_tagStart < 1) {
        close();
        return false;
    }
    m_tagPrefix = m_text.Mid(m_tagStart, caret - m_tagStart + 1);
    // A closing tag being typed (the character after "<" may stand after
    // the caret), or the tag closed already.
    const QString opening =
        m_tagPrefix.size() >= 2 ? m_tagPrefix.left(2) : m_text.Mid(m_tagStart, 2);
    if (opening == QLatin1String("</") || m_tagPrefix.contains(u'>')) {
        close();
        return false;
    }
    return true;
}

void TagCompletion::RichText_KeyUp(int keyCode, int /*shift*/)
{
    if (m_list.Visible() && startsSearch(keyCode))
        selectMatchingEntry();
}

void TagCompletion::selectMatchingEntry()
{
    m_list.setListIndex(m_index.firstMatch(m_tagPrefix));
}

void TagCompletion::selectPrevious()
{
    const int index = m_list.ListIndex();
    if (index > 0)
        m_list.setListIndex(index - 1);
}

void TagCompletion::selectNext()
{
    const int index = m_list.ListIndex();
    if (index <= m_list.ListCount() - 2)
        m_list.setListIndex(index + 1);
}

void TagCompletion::accept()
{
    if (m_tagStart < 1) {
        // No tag was taken since the list opened: nothing to replace.
        close();
        return;
    }
    const int index = m_list.ListIndex();
    const QString entry = index >= 0 ? m_list.List(index) : QString();
    m_text.setSelStart(m_tagStart - 1);
    m_text.setSelLength(m_tagCaret - m_tagStart + 1);
    m_text.setSelText(entry);
    if (entry.contains(u'/')) {
        const qsizetype open = m_text.lastIndexOf(u'<', m_text.SelStart());
        if (open >= 1)
            m_text.setSelStart(open - 1);
    }
    close();
}

void TagCompletion::close()
{
    m_list.setShown(false);
}

bool TagCompletion::isShown() const
{
    return m_list.Visible();
}
