#pragma once

#include "platform/fileidentity.h"

#include <QFileSystemWatcher>
#include <QObject>
#include <functional>

class DocumentSession;
class Prompts;
class RichText;
class StatusLine;

// Keeps the window's page and the file on disk from overwriting each other
// unasked. The page's identity is noted when it is opened or saved; when the
// window regains focus (or the file system reports a change while it has
// it) and before every save, the file is compared with that note:
// - changed, no unsaved edits: the page is read again as one edit that
//   Ctrl+Z takes back, the caret stays on its line;
// - changed, unsaved edits: the user chooses 重新载入, 覆盖 or 取消;
// - removed or renamed away: said once; the next save writes it again.
// The watch follows a page replaced by rename (the file is watched again
// when a file of its name comes back to the folder).
class PageWatch : public QObject {
    Q_OBJECT
public:
    PageWatch(RichText &richText, DocumentSession &session, StatusLine &status, Prompts &prompts,
              QObject *parent = nullptr);

    // How to save the window's text over the file (覆盖 from a focus check).
    void setSaveOver(std::function<bool()> save) { m_saveOver = std::move(save); }
    // Whether the window has the focus; a change reported by the file
    // system waits for the focus otherwise.
    void setIsActive(std::function<bool()> active) { m_isActive = std::move(active); }

    // The page at path was just read or written: its state is noted.
    void notePage(const QString &path);
    // The window's text rests on the file as note found it (a recovered
    // page).
    void setNote(const QString &path, const FileIdentity::Note &note);
    const FileIdentity::Note &note() const { return m_note; }
    // The user was told how the file stands now: a focus check stays quiet
    // until it changes again (a save still asks).
    void markSeen() { m_seen = FileIdentity::noteOf(m_path); }

    // Compares the file with the note and acts on a change. Without mayAsk
    // (a change the file system reported while the user may be typing), a
    // page with unsaved edits is left for the next focus change or save.
    void check(bool mayAsk = true);
    // Before a save to path: true when it may be written.
    bool mayWrite(const QString &path);

    // The question asked about a changed page; its buttons.
    enum Answer { Reload = 0, Overwrite = 1, Cancel = 2 };
    static QString changedQuestion(const QString &path);

signals:
    // The note changed (the page was read, written or read again).
    void noteChanged(const FileIdentity::Note &note);

private:
    int ask();
    bool reload();
    void watch(const QString &path);
    void fileSystemChanged();

    RichText &m_richText;
    DocumentSession &m_session;
    StatusLine &m_status;
    Prompts &m_prompts;
    std::function<bool()> m_saveOver;
    std::function<bool()> m_isActive;
    QFileSystemWatcher m_watcher;
    QString m_path;
    // The file as the window's text rests on it, and as the user last
    // heard of it.
    FileIdentity::Note m_note;
    FileIdentity::Note m_seen;
    bool m_busy = false;
};
