#pragma once

#include <QString>
#include <QStringList>

// Where the journals live: $XDG_STATE_HOME/zelmohtml/journal (else
// ~/.local/state/zelmohtml/journal), for the user alone. Each window has an
// id; "<id>.journal" holds its unsaved text and "<id>.lock" is locked by the
// running window for as long as it lives, and names the page it holds. The
// system drops the lock of a window that ended in any way, so a journal
// whose lock nobody holds was left behind.
namespace JournalFolder {

// The folder, made (0700) when create is set and it is missing.
QString path(bool create = true);

// The journal and the lock file of a window id.
QString journalOf(const QString &id);
QString lockOf(const QString &id);
// The id of a journal's or lock file's path.
QString idOf(const QString &path);

// Journals no running window holds, the newest first. Lock files and
// unfinished writes that no running window holds any more are removed.
QStringList leftJournals();

// Moves a journal that cannot be read out of the way, kept for the user
// ("<id>.journal.damaged"); the path it now has, or "" when it could not
// be moved.
QString setAside(const QString &journal);

// Removes a journal left behind, with its lock file.
void discard(const QString &journal);

// Pages that other running windows hold (their paths as written to their
// lock files).
QStringList pagesOfOtherWindows(const QString &ownId);

} // namespace JournalFolder

// The running window's lock: taken when made, given up when destroyed.
class WindowLock {
public:
    WindowLock();
    ~WindowLock();
    WindowLock(const WindowLock &) = delete;
    WindowLock &operator=(const WindowLock &) = delete;

    QString id() const { return m_id; }
    QString journalPath() const { return JournalFolder::journalOf(m_id); }
    // False where the folder could not be made or the lock not taken; the
    // window then journals nothing.
    bool isHeld() const { return m_fd >= 0; }

    // Names the page the window holds ("" for none), for other windows.
    void setPage(const QString &path);

    // Makes a journal left behind this window's own (false when another
    // window took it first).
    bool adopt(const QString &journal);

private:
    QString m_id;
    int m_fd = -1;
};
