#include "recovery/windowrecovery.h"

#include "document/documentsession.h"
#include "platform/caption.h"
#include "platform/prompts.h"
#include "platform/statusline.h"
#include "recovery/recoveryoffer.h"

#include <QFile>
#include <QFileInfo>

const char *const WindowRecovery::kRecoverVariable = "ZELMO_RECOVER_JOURNAL";

WindowRecovery::WindowRecovery(RichText &richText, DocumentSession &session, StatusLine &status,
                               Prompts &prompts, QObject *parent)
    : QObject(parent)
    , m_richText(richText)
    , m_session(session)
    , m_status(status)
    , m_prompts(prompts)
    , m_journal(richText, session, status, m_lock)
    , m_watch(richText, session, status, prompts)
{
    connect(&m_watch, &PageWatch::noteChanged, &m_journal, &RecoveryJournal::setPageNote);
}

void WindowRecovery::pageWritten(const QString &path)
{
    m_watch.notePage(path);
    m_journal.remove();
    m_lock.setPage(path);
}

void WindowRecovery::pageRead(const QString &path)
{
    m_watch.notePage(path);
    m_lock.setPage(path);
    const QString canonical = QFileInfo(path).canonicalFilePath();
    const QStringList others = JournalFolder::pagesOfOtherWindows(m_lock.id());
    for (const QString &other : others) {
        if (QFileInfo(other).canonicalFilePath() == canonical) {
            m_prompts.messageBox(QStringLiteral("该网页已在另一个窗口中打开：\r\n") + path +
                                     QStringLiteral("\r\n两个窗口都保存时，后保存的会先询问。"),
                                 Prompts::Information, ProductName());
            return;
        }
    }
}

void WindowRecovery::recover(const JournalFile::Entry &entry)
{
    // Declined, the journal is left again for the next start, under a name
    // this window's own journal does not overwrite.
    if (m_mayReplace && !m_mayReplace()) {
        QFile::rename(m_lock.journalPath(),
                      JournalFolder::journalOf(m_lock.id() + QStringLiteral("-later")));
        return;
    }
    const bool changedOnDisk = RecoveryOffer::apply(entry, m_richText, m_session);
    m_watch.setNote(entry.pagePath, entry.pageNote);
    m_lock.setPage(entry.pagePath);
    m_status.setText2(QStringLiteral("已恢复未保存的网页，尚未写入磁盘，请保存--") +
                      (entry.pagePath.isEmpty() ? QStringLiteral("未命名") : entry.pagePath));
    if (changedOnDisk) {
        m_watch.markSeen();
        m_prompts.messageBox(QStringLiteral("恢复的网页在磁盘上已被其他程序修改或删除：\r\n") +
                                 entry.pagePath +
                                 QStringLiteral("\r\n保存时会询问是覆盖还是重新载入。"),
                             Prompts::Exclamation, ProductName());
    }
}

void WindowRecovery::recoverAtStart(
    const std::function<void(const QString &journal)> &openElsewhere)
{
    const QString named = qEnvironmentVariable(kRecoverVariable);
    if (!named.isEmpty()) {
        qunsetenv(kRecoverVariable);
        const std::optional<JournalFile::Entry> entry = JournalFile::read(named);
        if (entry && m_lock.adopt(named))
            recover(*entry);
        return;
    }
    const RecoveryOffer::Outcome outcome = RecoveryOffer::run(m_prompts, m_lock, openElsewhere);
    if (outcome.entry)
        recover(*outcome.entry);
    if (!outcome.setAside.isEmpty()) {
        m_status.setText(QStringLiteral("有 %1 个恢复日志无法读取，已另存一旁：%2")
                             .arg(outcome.setAside.size())
                             .arg(outcome.setAside.join(QStringLiteral("；"))));
    }
}
