#pragma once

#include <QDateTime>
#include <QString>
#include <QTimer>
#include <optional>
#include <utility>

class Clock;
struct PageFormat;
class RichText;
class StatusLine;

// Timersave: every five minutes a copy of the page goes into a dated folder
// under the autosave folder of the settings (save/timepath), while the
// switch save/timeflag is on. The copies never touch the document's own
// file. Reads the editing area and writes the status line it is given.
//
// A copy is written only when the page differs from the last copy. Copies
// are created new, never through a link nor over a file already there (a
// name taken gets a suffix, so that windows sharing a folder keep their own
// copies), in a day folder of the user's own.
//
// The timer ticks once a minute and is running from construction on; each
// tick runs Timersave_Timer, which tests call directly.
class Autosave {
public:
    static constexpr int kIntervalMs = 60000;
    // A copy is made on every fifth tick.
    static constexpr int kTicksPerCopy = 5;

    Autosave(RichText &richText, StatusLine &status, const Clock &clock);

    Autosave(const Autosave &) = delete;
    Autosave &operator=(const Autosave &) = delete;

    // One tick of Timersave.
    void Timersave_Timer();

    // Timersave's enabled state; the settings dialog's Apply sets it too.
    // Enabling a running timer leaves its minute running.
    bool isEnabled() const { return m_timer.isActive(); }
    void setEnabled(bool on);

    // Ticks counted towards the next copy (0 to 4).
    int tickCount() const { return m_ticks; }

    // The page's form, which copies are written in; GBK while unset. A page
    // holding characters its encoding cannot hold is copied as UTF-8.
    void followFormat(const PageFormat *format) { m_format = format; }

    // The folder a copy made at moment goes to: the autosave folder, then
    // "ZelmoHTML$" and the date as yymmdd.
    static QString DayFolder(const QString &autosaveFolder, const QDateTime &moment);
    // The copy's file name: the time as hhmmss (24-hour clock) and ".htm".
    static QString CopyName(const QDateTime &moment);

private:
    void makeCopy(const QString &autosaveFolder);

    RichText &m_richText;
    StatusLine &m_status;
    const Clock &m_clock;
    QTimer m_timer;
    int m_ticks = 0;
    const PageFormat *m_format = nullptr;
    // The bytes of the last copy written, by size and hash.
    std::optional<std::pair<qsizetype, size_t>> m_lastCopy;
};
