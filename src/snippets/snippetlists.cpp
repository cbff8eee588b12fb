#include "snippets/snippetlists.h"

#include "editor/richtext.h"
#include "platform/prompts.h"
#include "platform/statusline.h"
#include "snippets/snippetfragments.h"

SnippetLists::SnippetLists(RichText &richText, StatusLine &status, Prompts &prompts)
    : m_richText(richText)
    , m_status(status)
    , m_prompts(prompts)
{}

void SnippetLists::setComboText(int number, TextSource source)
{
    if (number >= 1 && number <= int(m_comboText.size()))
        m_comboText[number - 1] = std::move(source);
}

QString SnippetLists::fragmentOf(int list, const QString &entry)
{
    const auto lists = SnippetFragments::lists();
    if (list < 0 || std::size_t(list) >= lists.size())
        return QString();
    for (const SnippetFragments::Item &item : lists[list].items) {
        if (entry == QStringView(item.name))
            return QString::fromUtf16(item.fragment);
    }
    return QString();
}

void SnippetLists::insertFromList(int list)
{
    const SnippetFragments::List &data = SnippetFragments::lists()[list];
    const QString cover = QString::fromUtf16(data.cover);
    const QString text = m_comboText[list] ? m_comboText[list]() : cover;
    if (text == cover) {
        m_prompts.messageBox(QString::fromUtf16(SnippetFragments::kCoverMessage).arg(cover),
                             Prompts::Information,
                             QString::fromUtf16(SnippetFragments::kCoverTitle));
        return;
    }
    const QString fragment = fragmentOf(list, text);
    if (!fragment.isNull())
        m_richText.setSelText(fragment);
}

void SnippetLists::insert4_Click()
{
    const QString symbols =
        m_text1 ? m_text1() : QString::fromUtf16(SnippetFragments::kSymbolDefault);
    m_richText.setSelText(QString::fromUtf16(SnippetFragments::kSymbolOpen) + symbols +
                          QString::fromUtf16(SnippetFragments::kSymbolClose));
}

void SnippetLists::listButtonHint(int list)
{
    m_status.setText(QString::fromUtf16(SnippetFragments::lists()[list].hint));
}

void SnippetLists::insert4_MouseMove()
{
    m_status.setText(QString::fromUtf16(SnippetFragments::kSymbolHint));
}
