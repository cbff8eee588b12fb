#pragma once

#include "document/pagefile.h"
#include "shell/mainbuttons.h"
#include "snippets/snippetwidgets.h"

#include <QStringList>
#include <QWidget>
#include <memory>

class BarMenu;
class CheckerView;
class DocumentSession;
class EditMenu;
class EncodingMenus;
class FileCommands;
class MainBands;
class Prompts;
class RichTextBox;
class Schemes;
class StaBar;
class StatusLine;
class EditorKeyHandling;
class TagCompletion;
class TagPairs;
class WindowRecovery;
struct MainCommands;

// The main window. It owns the editing area, the status bar `StaBar1`, the
// strips with their controls, the menus, the document session and the
// command objects (MainCommands), routes their events, and runs start-up
// and shutdown. What the commands do lives with them, not here.
class FRAmain : public QWidget {
    Q_OBJECT
public:
    // prompts must outlive the window.
    explicit FRAmain(Prompts &prompts, QWidget *parent = nullptr);
    ~FRAmain() override;

    // Start-up: opens the file named by the arguments (or shows the page
    // skeleton), restores the window's place, applies the scheme, loads the
    // word list and shows the window. A file that cannot be loaded is
    // reported and start-up goes on as if none had been named.
    void Form_Load(const QStringList &arguments);

    // Keys the window handles before the control with the focus sees them,
    // wherever in the window it is. Sets keyCode to 0 when the key is
    // consumed.
    void Form_KeyDown(int &keyCode, int shift);

    RichTextBox *richText() const { return m_richText; }
    StatusLine &status() const;
    StaBar *StaBar1() const { return m_staBar; }
    DocumentSession &session() const { return *m_session; }
    MainCommands &commands() const { return *m_commands; }
    FileCommands &fileCommands() const;
    MainBands &bands() const { return *m_bands; }
    EditMenu &editMenu() const { return *m_editMenu; }
    BarMenu &barMenu() const { return *m_barMenu; }
    EncodingMenus &encodingMenus() const { return *m_encodingMenus; }
    CheckerView &checker() const { return *m_checker; }
    Schemes &schemes() const { return *m_schemes; }
    TagCompletion &completion() const;
    EditorKeyHandling &keyHandling() const { return *m_keys; }
    TagPairs &tagPairs() const { return *m_tagPairs; }
    const MainButtons &buttons() const { return m_buttons; }
    const SnippetWidgets &snippetWidgets() const { return m_snippetWidgets; }

    // The line queries on the editing area.
    int GetLineCount() const;
    int GetCurrentLine() const;
    qsizetype GetLineStart(int line) const;

    WindowRecovery &recovery() const { return *m_recovery; }

    // A signal asks the program to end (SIGTERM, SIGHUP, SIGINT): the
    // unsaved text goes to the journal and the program ends without asking.
    [[noreturn]] void endBySignal(int signal);
    // The desktop session ends (the session manager's commitDataRequest):
    // the unsaved text goes to the journal, and closing the window from then
    // on asks nothing, so that no question holds up the logout.
    void commitSessionData();

    // The window's dialogs.
    void showAbout();
    void showSettings();
    void showFindWindow();
    void showSiteSearch();
    void showKeyCodeTester();

    // Opens path at the 1-based line with the stretch from offset selected,
    // after asking about unsaved changes; false when the page stayed.
    bool openPageAt(const QString &path, int line, int offset, int length);

protected:
    void closeEvent(QCloseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void Form_Unload();
    // Reads the page named at start-up; a failure is reported and leaves the
    // document without a file.
    void readStartFile(PageFile::ReadResult &page, const QStringList &arguments);
    // Selects length characters from the 1-based line and column (the
    // caret alone for 0) and scrolls them into view.
    void selectInLine(int line, qint64 column, qsizetype length);
    // Wiring of the controls to the commands, in framainwiring.cpp.
    void createMenus();
    void addTagPairSwitches();
    void connectBands();
    void connectButtons();
    void connectEditingArea();
    void connectStatusBar();
    void connectRecovery();
    void RichText_MouseUp(Qt::MouseButton button, const QPoint &globalPos);

    Prompts &m_prompts;
    DocumentSession *m_session;
    RichTextBox *m_richText;
    StaBar *m_staBar;
    MainBands *m_bands;
    std::unique_ptr<MainCommands> m_commands;
    MainButtons m_buttons;
    SnippetWidgets m_snippetWidgets{};
    EditMenu *m_editMenu = nullptr;
    BarMenu *m_barMenu = nullptr;
    EncodingMenus *m_encodingMenus = nullptr;
    CheckerView *m_checker = nullptr;
    std::unique_ptr<Schemes> m_schemes;
    EditorKeyHandling *m_keys = nullptr;
    WindowRecovery *m_recovery = nullptr;
    // The desktop session is ending: the journal keeps the work and nothing
    // asks, until the page is edited again.
    bool m_sessionEnding = false;
    TagPairs *m_tagPairs = nullptr;
    // While start-up runs, the window is shown only at its end.
    bool m_loading = false;
};
