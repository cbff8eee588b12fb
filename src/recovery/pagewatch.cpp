#include "recovery/pagewatch.h"

#include "document/documentsession.h"
#include "document/pagefile.h"
#include "editor/richtext.h"
#include "platform/caption.h"
#include "platform/prompts.h"
#include "platform/statusline.h"

#include <QFileInfo>
#include <QScopedValueRollback>
#include <QTimer>

namespace {

// The index in text where the line of position starts, and that line's
// number; then the start of the same line in another text (its end when it
// has fewer lines).
qsizetype lineOf(const QString &text, qsizetype position)
{
    return text.left(position).count(u'\n');
}

qsizetype startOfLine(const QString &text, qsizetype line)
{
    qsizetype at = 0;
    for (qsizetype i = 0; i < line; ++i) {
        const qsizetype next = text.indexOf(u'\n', at);
        if (next < 0)
            return text.size();
        at = next + 1;
    }
    return at;
}

} // namespace

PageWatch::PageWatch(RichText &richText, DocumentSession &session, StatusLine &status,
                     Prompts &prompts, QObject *parent)
    : QObject(parent)
    , m_richText(richText)
    , m_session(session)
    , m_status(status)
    , m_prompts(prompts)
{
    connect(&m_watcher, &QFileSystemWatcher::fileChanged, this, &PageWatch::fileSystemChanged);
    connect(&m_watcher, &QFileSystemWatcher::directoryChanged, this, &PageWatch::fileSystemChanged);
}

void PageWatch::watch(const QString &path)
{
    if (!m_watcher.files().isEmpty())
        m_watcher.removePaths(m_watcher.files());
    if (!m_watcher.directories().isEmpty())
        m_watcher.removePaths(m_watcher.directories());
    if (path.isEmpty())
        return;
    // The folder too: a page replaced by rename is a new file that the
    // watch of the old one does not see.
    m_watcher.addPath(QFileInfo(path).absolutePath());
    if (QFileInfo::exists(path))
        m_watcher.addPath(path);
}

void PageWatch::notePage(const QString &path)
{
    setNote(path, FileIdentity::noteOf(path));
}

void PageWatch::setNote(const QString &path, const FileIdentity::Note &note)
{
    if (path != m_path)
        watch(path);
    m_path = path;
    m_note = note;
    m_seen = note;
    emit noteChanged(m_note);
}

void PageWatch::fileSystemChanged()
{
    if (!m_path.isEmpty() && !m_watcher.files().contains(m_path) && QFileInfo::exists(m_path))
        m_watcher.addPath(m_path);
    if (m_isActive && m_isActive())
        QTimer::singleShot(100, this, [this] { check(false); });
}

QString PageWatch::changedQuestion(const QString &path)
{
    return QStringLiteral("文件已被其他程序修改：\r\n%1\r\n\r\n"
                          "重新载入：换成磁盘上的内容，放弃这里未保存的修改"
                          "（它们留在恢复日志中，直到下次保存）\r\n"
                          "覆盖：用这里的内容覆盖其他程序的修改\r\n"
                          "取消：暂不处理")
        .arg(path);
}

int PageWatch::ask()
{
    Prompts::ChoiceRequest request;
    request.title = ProductName();
    request.text = changedQuestion(m_path);
    request.style = Prompts::Exclamation;
    request.buttons = {QStringLiteral("重新载入"), QStringLiteral("覆盖"), QStringLiteral("取消")};
    request.defaultButton = Cancel;
    const int answer = m_prompts.choose(request).button;
    return answer < 0 ? Cancel : answer;
}

bool PageWatch::reload()
{
    PageFile::ReadResult page = PageFile::read(m_path);
    if (!page.ok) {
        m_status.setText2(QStringLiteral("重新载入失败：") + page.error);
        return false;
    }
    const QString old = m_richText.Text();
    const qsizetype line = lineOf(old, m_richText.SelStart());
    // One edit over the whole text, so that Ctrl+Z brings the old one back.
    m_richText.replacePage(std::move(page.page));
    m_richText.setSelStart(startOfLine(m_richText.Text(), line)); // in the area's own units
    m_richText.setModified(false);
    m_session.setFormat(page.format);
    notePage(m_path);
    m_status.setText2(
        QStringLiteral("网页已被其他程序修改，已重新载入（Ctrl+Z 可取回原来的文字）--") + m_path);
    return true;
}

void PageWatch::check(bool mayAsk)
{
    if (m_busy || m_path.isEmpty() || m_path != m_session.CurrentFile)
        return;
    const QScopedValueRollback busy(m_busy, true);
    switch (FileIdentity::compare(m_seen, m_path)) {
    case FileIdentity::Change::Same:
        return;
    case FileIdentity::Change::Removed:
        m_seen = FileIdentity::Note();
        m_status.setText2(QStringLiteral("网页已从磁盘上删除或改名，保存时将重新写到原处--") +
                          m_path);
        return;
    case FileIdentity::Change::Changed:
        break;
    }
    if (!mayAsk && m_richText.isModified())
        return;
    m_seen = FileIdentity::noteOf(m_path);
    if (FileIdentity::compare(m_note, m_path) == FileIdentity::Change::Same) {
        // The same bytes again (written back, or only touched).
        m_note = m_seen;
        return;
    }
    if (!m_richText.isModified()) {
        reload();
        return;
    }
    switch (ask()) {
    case Reload:
        reload();
        break;
    case Overwrite:
        // The user has seen theirs: the save goes ahead without asking again.
        m_note = m_seen;
        if (m_saveOver)
            m_saveOver();
        break;
    default:
        break;
    }
}

bool PageWatch::mayWrite(const QString &path)
{
    // A save under another name is asked about by the save dialog.
    if (path != m_path || m_busy)
        return true;
    if (FileIdentity::compare(m_note, path) != FileIdentity::Change::Changed)
        return true;
    const QScopedValueRollback busy(m_busy, true);
    m_seen = FileIdentity::noteOf(path);
    switch (ask()) {
    case Overwrite:
        return true;
    case Reload:
        reload();
        return false;
    default:
        return false;
    }
}
