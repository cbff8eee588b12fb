#include "document/autosave.h"

#include "document/pagefile.h"
#include "editor/richtext.h"
#include "platform/clock.h"
#include "platform/places.h"
#include "platform/posixfile.h"
#include "platform/privatefiles.h"
#include "platform/settingsfile.h"
#include "platform/statusline.h"
#include "platform/textcodec.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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

// The day folder, made when missing and opened without following a link;
// refused unless it is the user's own, since others could put links in it.
PosixFile::Descriptor openDayFolder(const QString &path, QString &error)
{
    const QByteArray name = QFile::encodeName(path);
    if (::mkdir(name.constData(), 0700) != 0 && errno != EEXIST) {
        error = QStringLiteral("无法建立文件夹，") + PosixFile::reason(errno);
        return {};
    }
    PosixFile::Descriptor folder = PosixFile::open(name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW);
    struct stat info {};
    if (!folder.isOpen()) {
        const int openError = errno;
        error = ::lstat(name.constData(), &info) == 0 && S_ISLNK(info.st_mode)
                    ? QStringLiteral("文件夹是一个链接")
                    : QStringLiteral("无法建立文件夹，") + PosixFile::reason(openError);
        return {};
    }
    if (::fstat(folder.get(), &info) != 0 || info.st_uid != ::geteuid()) {
        error = QStringLiteral("文件夹不属于你，不在里面保存");
        return {};
    }
    return folder;
}

// Writes bytes to a new file in folder: name, or where that is taken
// "name-2", "name-3" and so on. The name written; nothing on failure.
std::optional<QString> writeNewFile(int folder, const QString &name, const QByteArray &bytes,
                                    QString &error)
{
    const QString stem = QFileInfo(name).completeBaseName();
    const QString suffix = u'.' + QFileInfo(name).suffix();
    for (int n = 1; n <= 1000; ++n) {
        const QString candidate = n == 1 ? name : stem + u'-' + QString::number(n) + suffix;
        const QByteArray encoded = QFile::encodeName(candidate);
        const int fd = ::openat(folder, encoded.constData(),
                                O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (fd < 0 && errno == EEXIST)
            continue;
        if (fd < 0) {
            error = PosixFile::reason(errno);
            return std::nullopt;
        }
        const bool written = PosixFile::writeAll(fd, bytes);
        const int writeError = errno;
        if (::close(fd) == 0 && written)
            return candidate;
        error = PosixFile::reason(written ? errno : writeError);
        ::unlinkat(folder, encoded.constData(), 0);
        return std::nullopt;
    }
    error = QStringLiteral("同名的文件太多");
    return std::nullopt;
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
    const QString text = m_richText.Text();
    PageFormat format = m_format ? *m_format : PageFormat();
    // Nothing typed may be lost in the copy; its line breaks stay the page's.
    if (format.codec()->unencodable(text).count > 0)
        format = format.inEncoding(QStringLiteral("UTF-8"), true);
    const QByteArray bytes = PageFile::encode(text, format);
    const std::pair<qsizetype, size_t> fingerprint{bytes.size(), qHash(bytes)};
    if (m_lastCopy == fingerprint)
        return;

    // One moment names both the folder and the file, and the status line
    // names the file that was written.
    const QDateTime moment = m_clock.now();
    // Copies of the user's pages are for the user's eyes only.
    const PrivateFiles privately;
    const QString dayFolder = DayFolder(autosaveFolder, moment);
    QString error;
    std::optional<QString> name;
    if (const PosixFile::Descriptor folder = openDayFolder(dayFolder, error); folder.isOpen())
        name = writeNewFile(folder.get(), CopyName(moment), bytes, error);
    if (!name) {
        m_status.setText2(QStringLiteral("自动保存失败：") + error + QStringLiteral("--") +
                          AddBackslash(dayFolder) + CopyName(moment));
        return;
    }
    m_lastCopy = fingerprint;
    m_status.setText2(QStringLiteral("自动保存  …") + QDir::separator() + *name);
}
