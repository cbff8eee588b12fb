#pragma once

#include "recovery/journalfile.h"
#include "recovery/journalfolder.h"
#include "recovery/pagewatch.h"
#include "recovery/recoveryjournal.h"

#include <QObject>
#include <QString>
#include <functional>

class DocumentSession;
class Prompts;
class RichText;
class StatusLine;

// What keeps one window's work from being lost between saves: its lock and
// journal, the watch on its page, and the offer of journals left behind at
// start-up. The window calls in on its events; the file commands ask it
// before a save and tell it after a page was read or written.
class WindowRecovery : public QObject {
    Q_OBJECT
public:
    WindowRecovery(RichText &richText, DocumentSession &session, StatusLine &status,
                   Prompts &prompts, QObject *parent = nullptr);

    RecoveryJournal &journal() { return m_journal; }
    PageWatch &watch() { return m_watch; }
    WindowLock &lock() { return m_lock; }

    // Hooks of the file commands.
    bool mayWrite(const QString &path) { return m_watch.mayWrite(path); }
    void pageWritten(const QString &path);
    void pageRead(const QString &path);

    // Start-up: the journal named by the environment (a window started to
    // recover it), else the offer of every journal left behind.
    // openElsewhere starts another window on a journal.
    void recoverAtStart(const std::function<void(const QString &journal)> &openElsewhere);

    // Asked before a recovered page replaces the window's page (the page
    // the window holds then may have unsaved changes of its own); when it
    // says no, the journal stays for the next start.
    void setMayReplace(std::function<bool()> mayReplace) { m_mayReplace = std::move(mayReplace); }

    // The environment variable that names a journal to recover.
    static const char *const kRecoverVariable;

private:
    void recover(const JournalFile::Entry &entry);

    RichText &m_richText;
    DocumentSession &m_session;
    StatusLine &m_status;
    Prompts &m_prompts;
    WindowLock m_lock;
    RecoveryJournal m_journal;
    PageWatch m_watch;
    std::function<bool()> m_mayReplace;
};
