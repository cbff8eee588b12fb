#pragma once

#include "document/pagefile.h"

#include <QString>
#include <functional>

class DocumentSession;
class Prompts;
class RichText;
class StatusLine;

// The document's file life: a new page, the page skeleton, open, save and
// save as. These are the operations behind the buttons func(0) "新建",
// func(1) "保存" and func(2) "Html" and behind the save shortcuts. They act
// on the editing area, the session state and the status line they are given
// and own none of them.
class FileCommands {
public:
    FileCommands(RichText &richText, DocumentSession &session, StatusLine &status,
                 Prompts &prompts);

    // Left click on func(index): 0 new, 1 save, 2 insert the page skeleton.
    void func_Click(int index);
    // Right-button press on func(index): 0 opens a file, 1 saves under a new name.
    void func_RightPress(int index);
    // Hint for func(index) on the status line.
    void func_MouseMove(int index);

    void NewDocument();
    void InsertStandardDocument();
    void Open();
    // True when the page was written; false when the dialog was cancelled,
    // the write failed (the user has been told) or the user chose not to.
    bool Save();
    bool SaveAs();

    // Every load that replaces the page (Open, a dropped file, New,
    // reopening in another encoding, any other) asks this first. A page
    // with unsaved changes asks whether to save it: Yes saves as Save does
    // (a cancelled or failed save keeps the page), No lets it go, Cancel
    // keeps it with its caret and undo history. An unchanged page is let go
    // at once. True when the page may be replaced.
    bool MayReplaceModifiedPage();
    // The same question before the window closes.
    bool MayCloseModifiedPage();

    // Saves as Save does, in format instead of the page's own; on success
    // format becomes the page's. When the encoding changes and the page's
    // charset declaration would then disagree with it, offers to correct the
    // declaration first.
    bool SaveInFormat(PageFormat format);

    // Loads the file at path as Open does after its dialog (in the encoding
    // given, else the one the page is found to be in): on success the file
    // becomes the document's file; on failure nothing changes and the reason
    // is returned ("" when the user chose not to open a very large page).
    // Callers ask MayReplaceModifiedPage first.
    bool LoadNamedFile(const QString &path, QString *error = nullptr,
                       const QString &encoding = QString());
    // Whether the page at path may be read: false, with the reason, when it
    // would not fit in memory (the current page stays), or when it is larger
    // than anyone would expect to edit and the user chose not to open it
    // (error then is "").
    bool CheckPageSize(const QString &path, QString *error);
    // The same, saying in a message box why the file could not be opened.
    bool LoadNamedFileOrSay(const QString &path, const QString &encoding = QString());

    // Makes path the document's file after its text was loaded: caption and
    // status line say so.
    void AdoptOpenedFile(const QString &path);
    // The same, also taking on the page's form and telling what the reading
    // found out about its encoding.
    void AdoptOpenedPage(const QString &path, const PageFile::ReadResult &page);

    // What the window adds to reading and writing the page: whether a save
    // may write path (false cancels it), and what follows a page read or
    // written.
    struct PageHooks {
        std::function<bool(const QString &path)> mayWrite;
        std::function<void(const QString &path)> written;
        std::function<void(const QString &path)> read;
    };
    void setPageHooks(PageHooks hooks) { m_pageHooks = std::move(hooks); }
    // The memory the program can still take (PageMemory::available unless
    // replaced).
    void setAvailableMemory(std::function<qint64()> available)
    {
        m_availableMemory = std::move(available);
    }

    // Whether a successful save shows the message "文件已经保存". Reads the
    // stored choice unless replaced.
    void setSaveMessageCheck(std::function<bool()> check)
    {
        m_saveMessageWanted = std::move(check);
    }

private:
    bool offerToSave(const QString &question);
    // Asks for a name when the document has none; false when cancelled.
    bool ensureFileName();
    // Lets the user choose what happens to characters format cannot hold;
    // false when the save is cancelled.
    bool settleUnencodable(const QString &text, PageFormat &format);
    // True when the declaration in text was changed.
    bool offerDeclarationUpdate(const QString &text, const QString &encoding);
    // Where the open and save dialogs start.
    QString dialogFolder() const;

    RichText &m_richText;
    DocumentSession &m_session;
    StatusLine &m_status;
    Prompts &m_prompts;
    std::function<bool()> m_saveMessageWanted;
    PageHooks m_pageHooks;
    std::function<qint64()> m_availableMemory;
};
