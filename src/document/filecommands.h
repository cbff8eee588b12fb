#pragma once

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
    // True when the page was written; false when the dialog was cancelled
    // or the write failed (the user has been told).
    bool Save();
    void SaveAs();

    // Loads the file at path as Open does after its dialog: on success the
    // file becomes the document's file; on failure nothing changes and the
    // reason is returned.
    bool LoadNamedFile(const QString &path, QString *error = nullptr);

    // Makes path the document's file after its text was loaded: caption and
    // status line say so.
    void AdoptOpenedFile(const QString &path);

    // Whether a successful save shows the message "文件已经保存". Reads the
    // stored choice unless replaced.
    void setSaveMessageCheck(std::function<bool()> check)
    {
        m_saveMessageWanted = std::move(check);
    }

private:
    // Where the open and save dialogs start.
    QString dialogFolder() const;

    RichText &m_richText;
    DocumentSession &m_session;
    StatusLine &m_status;
    Prompts &m_prompts;
    std::function<bool()> m_saveMessageWanted;
};
