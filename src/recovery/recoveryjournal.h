#pragma once

#include "editor/textcopy.h"
#include "platform/fileidentity.h"
#include "platform/safefile.h"

#include <QDateTime>
#include <QObject>
#include <QTimer>
#include <future>

class DocumentSession;
class RichText;
class StatusLine;
class WindowLock;

// Keeps the window's unsaved text in its journal. Every edit only restarts a
// timer: the text goes to the journal once typing has paused for kIdleMs,
// and at the latest in the first pause of kOverdueIdleMs once kLongestMs have
// passed since the first edit not yet journalled, or kOverdueLongestMs later
// when typing never pauses. The text is copied on the user-interface thread
// a slice at a time (TextCopy), between keystrokes and following the edits
// they make, and joined, encoded and written on another thread. Only a
// modified page that changed since its last journal is written. A write that
// fails (a full or read-only disk) is said once on the status line; typing
// goes on, and the next edit tries again.
class RecoveryJournal : public QObject {
    Q_OBJECT
public:
    static constexpr int kIdleMs = 2000;
    static constexpr int kLongestMs = 30000;
    static constexpr int kOverdueIdleMs = 50;
    static constexpr int kOverdueLongestMs = 5000;

    RecoveryJournal(RichText &richText, DocumentSession &session, StatusLine &status,
                    WindowLock &lock, QObject *parent = nullptr);
    ~RecoveryJournal() override;

    // The text changed.
    void noteEdit();
    // The page on disk as the window last read or wrote it.
    void setPageNote(const FileIdentity::Note &note) { m_pageNote = note; }
    const FileIdentity::Note &pageNote() const { return m_pageNote; }

    // Writes what is not yet journalled at once, on this thread, after any
    // write under way, taking the whole text in one go (the program is about
    // to end, and nothing is typed any more).
    void writeNow();
    // The page was saved or its edits dropped: the journal goes.
    void remove();
    // Waits for a write under way to finish and reports it.
    void waitForWrite();

    bool hasPending() const { return m_dirty || m_copy; }

signals:
    // A write finished (ok false when it failed).
    void written(bool ok);

private:
    void writeInBackground();
    void copySlice();
    void stopTimers();
    struct Snapshot;
    // Whether the text may be journalled (a modified page, and a journal
    // folder); says so when there is no folder.
    bool mayJournal();
    // The snapshot without its text.
    Snapshot describe() const;
    static SafeFile::Result writeSnapshot(Snapshot snapshot);
    void finished(const SafeFile::Result &result);

    RichText &m_richText;
    DocumentSession &m_session;
    StatusLine &m_status;
    WindowLock &m_lock;
    QTimer m_idle;
    QTimer m_longest;
    QTimer m_slice;
    std::unique_ptr<TextCopy> m_copy;
    FileIdentity::Note m_pageNote;
    QDateTime m_lastEdit;
    bool m_dirty = false;
    bool m_failureSaid = false;
    std::future<SafeFile::Result> m_running;
};
