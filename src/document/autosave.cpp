#include "document/autosave.h"

#include "document/pagefile.h"
#include "editor/richtext.h"
#include "platform/clock.h"
#include "platform/places.h"
#include "platform/privatefiles.h"
#include "platform/settingsfile.h"
#include "platform/statusline.h"
#include "platform/textcodec.h"

#include <QDir>
#include <QFileInfo>

namespace {

const QString kSection = QStringLiteral("save");

QString storedAutosaveFolder()
{
    return ReadSetting(kSection, QStringLiteral("timepath"), Places::autosaveFolder());
}

bool storedAutosaveSwitch()
{
    return SettingValue::toBool(
        ReadSetting(kSection, QStringLiteral("timeflag"), QStringLiteral("True")), true);
}

} // namespace

Autosave::Autosave(RichText &richText, StatusLine &status, const Clock &clock)
    : m_richText(richText)
    , m_status(status)
    , m_clock(clock)
{
    m_timer.setInterval(kIntervalMs);
    m_timer.callOnTimeout([this] { Timersave_Timer(); });
    m_timer.start();
}

void Autosave::setEnabled(bool on)
{
    if (!on)
        m_timer.stop();
    else if (!m_timer.isActive())
        m_timer.start();
}

QString Autosave::DayFolder(const QString &autosaveFolder, const QDateTime &moment)
{
    return AddBackslash(autosaveFolder) + QStringLiteral("ZelmoHTML$") +
           moment.toString(QStringLiteral("yyMMdd"));
}

QString Autosave::CopyName(const QDateTime &moment)
{
    return moment.toString(QStringLiteral("HHmmss")) + QStringLiteral(".htm");
}

void Autosave::Timersave_Timer()
{
    // The switch is read on every tick, so a change in the settings file
    // takes effect within a minute. This tick runs on in any case.
    setEnabled(storedAutosaveSwitch());

    if (m_ticks < kTicksPerCopy - 1) {
        ++m_ticks;
        return;
    }
    m_ticks = 0;

    const QString folder = storedAutosaveFolder();
    if (!QFileInfo(folder).isDir()) {
        setEnabled(false);
        m_status.setText2(QStringLiteral("自动保存失败，需要重新设定"));
        return;
    }
    makeCopy(folder);
}

void Autosave::makeCopy(const QString &autosaveFolder)
{
    // One moment names both the folder and the file, and the status line
    // names the file that was written.
    const QDateTime moment = m_clock.now();
    // Copies of the user's pages are for the user's eyes only.
    const PrivateFiles privately;
    const QString dayFolder = DayFolder(autosaveFolder, moment);
    const QString path = AddBackslash(dayFolder) + CopyName(moment);

    const auto fail = [&](const QString &reason) {
        m_status.setText2(QStringLiteral("自动保存失败：") + reason + QStringLiteral("--") + path);
    };

    if (!QFileInfo(dayFolder).isDir() && !QDir().mkdir(dayFolder)) {
        fail(QStringLiteral("无法建立文件夹"));
        return;
    }
    const QString text = m_richText.pageText();
    PageFormat format = m_format ? *m_format : PageFormat();
    format.lineBreak = m_richText.mainLineBreak();
    // Nothing typed may be lost in the copy; its line breaks stay the page's.
    if (format.codec()->unencodable(text).count > 0)
        format = format.inEncoding(QStringLiteral("UTF-8"), true);
    const SafeFile::Result written = PageFile::write(path, text, format);
    if (!written.ok) {
        fail(written.error);
        return;
    }
    m_status.setText2(QStringLiteral("自动保存  …") + QDir::separator() + CopyName(moment));
}
