#pragma once

#include "document/pagefile.h"

#include <QStringList>
#include <QWidget>

class DocumentSession;
class DropHandler;
class EditMenu;
class FileCommands;
class MainBands;
class PlainStatusArea;
class Prompts;
class RichTextBox;
class StatusLine;

// The main window. It owns the editing area, the status line, the document
// session and the document commands, routes their events, and runs start-up
// and shutdown. What the commands do lives with them, not here.
class FRAmain : public QWidget {
    Q_OBJECT
public:
    // prompts must outlive the window.
    explicit FRAmain(Prompts &prompts, QWidget *parent = nullptr);
    ~FRAmain() override;

    // Start-up: opens the file named by the arguments (or shows the page
    // skeleton), restores the window's place and shows the window.
    void Form_Load(const QStringList &arguments);

    // Keys the window handles before the editing area sees them. Sets
    // keyCode to 0 when the key is consumed.
    void Form_KeyDown(int &keyCode, int shift);

    RichTextBox *richText() const { return m_richText; }
    StatusLine &status() const;
    DocumentSession &session() const { return *m_session; }
    FileCommands &fileCommands() const { return *m_fileCommands; }
    MainBands &bands() const { return *m_bands; }
    EditMenu &editMenu() const { return *m_editMenu; }
    DropHandler &dropHandler() const { return *m_dropHandler; }

    // The line queries on the editing area.
    int GetLineCount() const;
    int GetCurrentLine() const;
    qsizetype GetLineStart(int line) const;

protected:
    void closeEvent(QCloseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void Form_Unload();
    void connectBands();
    void connectEditingArea();
    void RichText_MouseUp(Qt::MouseButton button, const QPoint &globalPos);
    // The bar menu over the strips and the status bar.
    void popupBarMenu(const QPoint &globalPos);
    bool readStartFile(PageFile::ReadResult &page);

    Prompts &m_prompts;
    DocumentSession *m_session;
    RichTextBox *m_richText;
    PlainStatusArea *m_status;
    FileCommands *m_fileCommands;
    MainBands *m_bands;
    EditMenu *m_editMenu;
    DropHandler *m_dropHandler;
};
