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

std::optional<RecoveryJournal::Snapshot> RecoveryJournal::takeSnapshot()
{
    if (!m_dirty)
        return std::nullopt;
    if (!m_lock.isHeld()) {
        m_dirty = false;
        finished({false, QStringLiteral("无法建立恢复日志的文件夹 ") + JournalFolder::path(false)});
        return std::nullopt;
    }
    // Unmodified text is on disk already; a journal it left stays until
    // the next save.
    if (!m_richText.isModified()) {
        m_dirty = false;
        return std::nullopt;
    }
    Snapshot snapshot;
    snapshot.path = m_lock.journalPath();
    snapshot.entry.pagePath = m_session.CurrentFile;
    snapshot.entry.format = m_session.format();
    snapshot.entry.caret = m_richText.SelStart();
    snapshot.entry.time = m_lastEdit.isValid() ? m_lastEdit : QDateTime::currentDateTimeUtc();
    snapshot.entry.pageNote = m_pageNote;
    snapshot.entry.text = m_richText.Text();
    m_dirty = false;
    return snapshot;
}

SafeFile::Result RecoveryJournal::writeSnapshot(const Snapshot &snapshot)
{
    return JournalFile::write(snapshot.path, JournalFile::encode(snapshot.entry));
}

void RecoveryJournal::writeInBackground()
{
    m_idle.stop();
    m_longest.stop();
    m_idle.setInterval(kIdleMs);
    m_longest.setInterval(kLongestMs);
    // One write at a time: a write under way is followed by the next one
    // when it ends.
    if (m_running.valid()) {
        if (m_dirty)
            m_idle.start();
        return;
    }
    std::optional<Snapshot> snapshot = takeSnapshot();
    if (!snapshot)
        return;
    m_running = std::async(std::launch::async, [this, snapshot = std::move(*snapshot)] {
        SafeFile::Result result = writeSnapshot(snapshot);
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
    m_idle.stop();
    m_longest.stop();
    m_idle.setInterval(kIdleMs);
    m_longest.setInterval(kLongestMs);
    waitForWrite();
    if (const std::optional<Snapshot> snapshot = takeSnapshot())
        finished(writeSnapshot(*snapshot));
}

void RecoveryJournal::remove()
{
    m_idle.stop();
    m_longest.stop();
    m_idle.setInterval(kIdleMs);
    m_longest.setInterval(kLongestMs);
    waitForWrite();
    m_dirty = false;
    if (m_lock.isHeld())
        QFile::remove(m_lock.journalPath());
}
