#include "recovery/recoveryjournal.h"

#include "document/documentsession.h"
#include "editor/richtext.h"
#include "platform/statusline.h"
#include "recovery/journalfile.h"
#include "recovery/journalfolder.h"

#include <QFile>

struct RecoveryJournal::Snapshot {
    QString path;
    JournalFile::Entry entry;
    // The text in parts, when it was copied a slice at a time.
    std::vector<QString> parts;
};

RecoveryJournal::RecoveryJournal(RichText &richText, DocumentSession &session, StatusLine &status,
                                 WindowLock &lock, QObject *parent)
    : QObject(parent)
    , m_richText(richText)
    , m_session(session)
    , m_status(status)
    , m_lock(lock)
{
    m_idle.setSingleShot(true);
    m_idle.setInterval(kIdleMs);
    m_longest.setSingleShot(true);
    m_longest.setInterval(kLongestMs);
    // The next slice once the events waiting (keystrokes among them) are
    // handled.
    m_slice.setSingleShot(true);
    m_slice.setInterval(0);
    m_slice.callOnTimeout(this, &RecoveryJournal::copySlice);
    m_idle.callOnTimeout(this, &RecoveryJournal::writeInBackground);
    // Overdue: the next short pause will do, and with no pause at all (a
    // key held down) a few seconds later the journal is written anyway.
    m_longest.callOnTimeout(this, [this] {
        if (m_idle.interval() == kOverdueIdleMs) {
            writeInBackground();
            return;
        }
        m_idle.start(kOverdueIdleMs);
        m_longest.start(kOverdueLongestMs);
    });
}

RecoveryJournal::~RecoveryJournal()
{
    if (m_running.valid())
        m_running.wait();
}

void RecoveryJournal::noteEdit()
{
    m_dirty = true;
    m_lastEdit = QDateTime::currentDateTimeUtc();
    m_idle.start(); // with the interval it has: kIdleMs, or kOverdueIdleMs when overdue
    if (!m_longest.isActive())
        m_longest.start();
}

bool RecoveryJournal::mayJournal()
{
    if (!m_lock.isHeld()) {
        finished({false, QStringLiteral("无法建立恢复日志的文件夹 ") + JournalFolder::path(false)});
        return false;
    }
    // Unmodified text is on disk already; a journal it left stays until
    // the next save.
    return m_richText.isModified();
}

RecoveryJournal::Snapshot RecoveryJournal::describe() const
{
    Snapshot snapshot;
    snapshot.path = m_lock.journalPath();
    snapshot.entry.pagePath = m_session.CurrentFile;
    snapshot.entry.format = m_session.format();
    snapshot.entry.caret = m_richText.SelStart();
    snapshot.entry.time = m_lastEdit.isValid() ? m_lastEdit : QDateTime::currentDateTimeUtc();
    snapshot.entry.pageNote = m_pageNote;
    return snapshot;
}

SafeFile::Result RecoveryJournal::writeSnapshot(Snapshot snapshot)
{
    if (!snapshot.parts.empty())
        snapshot.entry.text = TextCopy::joined(std::exchange(snapshot.parts, {}));
    return JournalFile::write(snapshot.path, JournalFile::encode(snapshot.entry));
}

void RecoveryJournal::stopTimers()
{
    m_idle.stop();
    m_longest.stop();
    m_slice.stop();
    m_idle.setInterval(kIdleMs);
    m_longest.setInterval(kLongestMs);
}

void RecoveryJournal::writeInBackground()
{
    // One write at a time: a write under way is followed by the next one
    // when it ends. A copy under way follows the edits made meanwhile.
    if (m_running.valid()) {
        stopTimers();
        if (m_dirty)
            m_idle.start();
        return;
    }
    if (m_copy)
        return;
    stopTimers();
    if (!std::exchange(m_dirty, false) || !mayJournal())
        return;
    m_copy = m_richText.copyPageText();
    m_slice.start();
}

void RecoveryJournal::copySlice()
{
    if (!m_copy || !m_copy->copyMore()) {
        if (m_copy)
            m_slice.start();
        return;
    }
    // The copy is the text as it is now, the edits made while it was taken
    // among it: nothing is left to journal, unless the edits took the page
    // back to what is on disk.
    stopTimers();
    m_dirty = false;
    if (!mayJournal()) {
        m_copy.reset();
        return;
    }
    Snapshot snapshot = describe();
    snapshot.parts = m_copy->takeParts();
    m_copy.reset();
    m_running = std::async(std::launch::async, [this, snapshot = std::move(snapshot)]() mutable {
        SafeFile::Result result = writeSnapshot(std::move(snapshot));
        QMetaObject::invokeMethod(
            this, [this] { waitForWrite(); }, Qt::QueuedConnection);
        return result;
    });
}

void RecoveryJournal::waitForWrite()
{
    if (m_running.valid())
        finished(m_running.get());
}

void RecoveryJournal::finished(const SafeFile::Result &result)
{
    if (result.ok) {
        m_failureSaid = false;
    } else {
        // Written again with the next edit.
        m_dirty = m_lock.isHeld();
        if (!m_failureSaid) {
            m_failureSaid = true;
            m_status.setText2(QStringLiteral("恢复日志写入失败：") + result.error +
                              QStringLiteral("（继续编辑不受影响，请及时保存）"));
        }
    }
    emit written(result.ok);
}

void RecoveryJournal::writeNow()
{
    stopTimers();
    // A copy under way is given up: the whole text is taken below.
    if (m_copy) {
        m_copy.reset();
        m_dirty = true;
    }
    waitForWrite();
    if (!std::exchange(m_dirty, false) || !mayJournal())
        return;
    Snapshot snapshot = describe();
    snapshot.entry.text = m_richText.pageText();
    finished(writeSnapshot(std::move(snapshot)));
}

void RecoveryJournal::remove()
{
    stopTimers();
    m_copy.reset();
    waitForWrite();
    m_dirty = false;
    if (m_lock.isHeld())
        QFile::remove(m_lock.journalPath());
}
