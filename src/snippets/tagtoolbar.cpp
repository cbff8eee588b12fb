#include "snippets/tagtoolbar.h"

#include "editor/richtext.h"
#include "platform/clock.h"
#include "platform/prompts.h"
#include "platform/statusline.h"
#include "snippets/lettercase.h"
#include "snippets/tagfragments.h"

#include <QDateTime>

namespace {

template <typename Table> bool inRange(const Table &table, int index)
{
    return index >= 0 && std::size_t(index) < table.size();
}

QString twoDigits(int value)
{
    return QStringLiteral("%1").arg(value % 100, 2, 10, QLatin1Char('0'));
}

} // namespace

TagToolbar::TagToolbar(RichText &richText, StatusLine &status, Prompts &prompts, const Clock &clock)
    : m_richText(richText)
    , m_status(status)
    , m_prompts(prompts)
    , m_clock(clock)
{}

QString TagToolbar::timeStamp(const QDateTime &time)
{
    const QDate date = time.date();
    const QTime clock = time.time();
    return QStringLiteral("%1年%2月%3日  %4:%5:%6")
        .arg(twoDigits(date.year()), twoDigits(date.month()), twoDigits(date.day()),
             twoDigits(clock.hour()), twoDigits(clock.minute()), twoDigits(clock.second()));
}

void TagToolbar::selbutton_Click(int index)
{
    if (index == TagFragments::kDeleteButton) {
        // Without a selection the page stays as it is, untouched.
        if (m_richText.SelLength() > 0)
            m_richText.setSelText(QString());
        return;
    }
    const auto tags = TagFragments::wrapTags();
    if (!inRange(tags, index))
        return;
    const TagFragments::WrapTag &tag = tags[index];
    const QString selected = m_richText.SelText();
    if (selected.isEmpty())
        m_richText.setSelText(QString::fromUtf16(tag.sample));
    else
        m_richText.setSelText(QString::fromUtf16(tag.open) + selected +
                              QString::fromUtf16(tag.close));
}

void TagToolbar::noselbutton_Click(int index)
{
    switch (index) {
    case TagFragments::kImageButton:
        insertImage();
        return;
    case TagFragments::kTimeButton:
        m_richText.setSelText(timeStamp(m_clock.now()));
        return;
    default:
        break;
    }
    const auto fragments = TagFragments::fixedFragments();
    if (inRange(fragments, index) && fragments[index])
        m_richText.setSelText(QString::fromUtf16(fragments[index]));
}

void TagToolbar::insertImage()
{
    QString address;
    try {
        Prompts::InputRequest request;
        request.prompt = QString::fromUtf16(TagFragments::kImagePrompt);
        request.title = QString::fromUtf16(TagFragments::kImageTitle);
        request.defaultText = QString::fromUtf16(TagFragments::kImageDefault);
        // A cancelled box answers with an empty address.
        address = m_prompts.inputBox(request).value_or(QString());
    } catch (...) {
        // A failure while asking leaves the page as it is.
        return;
    }
    m_richText.setSelText(QString::fromUtf16(TagFragments::kImageBefore) + address +
                          QString::fromUtf16(TagFragments::kImageAfter));
}

void TagToolbar::noselect_Click(int index)
{
    switch (index) {
    case 0:
        convertCase(true);
        break;
    case 1:
        convertCase(false);
        break;
    case TagFragments::kSettingsButton:
        if (m_openSettings)
            m_openSettings();
        break;
    default:
        break;
    }
}

void TagToolbar::convertCase(bool upper)
{
    if (m_richText.SelLength() > 0) {
        if (m_convert) {
            m_convert(upper);
        } else {
            const QString selected = m_richText.SelText();
            m_richText.setSelText(upper ? LetterCase::upper(selected)
                                        : LetterCase::lower(selected));
        }
        return;
    }
    const QString question =
        QString::fromUtf16(upper ? TagFragments::kUpperQuestion : TagFragments::kLowerQuestion);
    const int answer = m_prompts.messageBox(question, Prompts::Exclamation + Prompts::YesNo,
                                            QString::fromUtf16(TagFragments::kCaseTitle));
    if (answer != Prompts::AnswerYes)
        return;
    if (m_convert)
        m_convert(upper);
}

void TagToolbar::showHint(std::span<const char16_t *const> hints, int index)
{
    if (inRange(hints, index))
        m_status.setText(QString::fromUtf16(hints[index]));
}

void TagToolbar::selbutton_MouseMove(int index)
{
    showHint(TagFragments::selbuttonHints(), index);
}

void TagToolbar::noselbutton_MouseMove(int index)
{
    showHint(TagFragments::noselbuttonHints(), index);
}

void TagToolbar::noselect_MouseMove(int index)
{
    showHint(TagFragments::noselectHints(), index);
}
