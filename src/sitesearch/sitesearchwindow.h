#pragma once

#include "sitesearch/sitesearch.h"

#include <QPointer>
#include <QWidget>
#include <functional>

class Launcher;
class Prompts;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;
class SiteSearchRun;

// "站点查找替换": find and replace in the files of a folder, each file in
// its own encoding. The search runs on a thread of its own, its results
// grouped by file as they come; "全部替换" counts and asks first, writes
// each changed file safely and can be taken back in one step ("撤销替换").
class SiteSearchWindow : public QWidget {
    Q_OBJECT
public:
    struct Host {
        // Opens path in the main window at the 1-based line, with the given
        // stretch of that line (from its start, in UTF-16 units) selected;
        // false when the user kept the page that is open.
        std::function<bool(const QString &path, int line, int offset, int length)> openHere;
        // Starts another window of the program, on the match or file (the
        // desktop's launcher when null).
        Launcher *launcher = nullptr;
    };

    SiteSearchWindow(Prompts &prompts, Host host, QWidget *owner);
    ~SiteSearchWindow() override;

    // Shows the owner's window (made on first use), its folder set to
    // folder unless a search is under way.
    static SiteSearchWindow *showFor(QWidget *owner, Prompts &prompts, Host host,
                                     const QString &folder);

    void setFolder(const QString &folder);
    bool isRunning() const;

    void find();
    void replaceAll();
    void undoReplace();
    void stop();
    // Opens the match or file of item, as the user prefers.
    void openResult(QTreeWidgetItem *item);

    QTreeWidget *results() const { return m_results; }
    QString summary() const;

signals:
    // A run has ended (or was stopped), its results all shown.
    void runFinished();

protected:
    void closeEvent(QCloseEvent *event) override;
    // Esc closes the window, as in the find window.
    void keyPressEvent(QKeyEvent *event) override;

private:
    enum class Step { Idle, Finding, Counting, Replacing, Undoing };

    void start(Step step, std::unique_ptr<SiteSearchRun> run);
    bool validPattern();
    void chooseFolder();
    void fileDone(const SiteSearch::FileReport &report, int done, int total);
    void runEnded();
    void askToReplace();
    void updateButtons();
    void storeOptions();
    QStringList folders() const;

    Prompts &m_prompts;
    Host m_host;
    Step m_step = Step::Idle;
    std::unique_ptr<SiteSearchRun> m_run;
    std::vector<SiteSearch::Change> m_changes; // what "撤销替换" takes back
    int m_files = 0;                           // files with matches, changed or restored
    int m_matches = 0;                         // matches found or replaced
    int m_skipped = 0;                         // files skipped or left alone
    QStringList m_changedFiles;

    QLineEdit *m_folder;
    QPushButton *m_chooseFolder;
    QLineEdit *m_patterns;
    QCheckBox *m_subfolders;
    QLineEdit *m_findText;
    QLineEdit *m_replaceText;
    QCheckBox *m_matchCase;
    QCheckBox *m_regex;
    QCheckBox *m_wholeWord;
    QComboBox *m_openIn;
    QLabel *m_error;
    QPushButton *m_findButton;
    QPushButton *m_replaceButton;
    QPushButton *m_undoButton;
    QPushButton *m_stopButton;
    QTreeWidget *m_results;
    QProgressBar *m_progress;
    QLabel *m_status;
};
