#pragma once

#include "checker/fixes.h"
#include "checker/problem.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <functional>
#include <vector>

class CheckRun;
class ClickLabel;
class ErrorList;
class QAction;
class QMenu;
class QPainter;
class RichTextBox;
class StaBar;

// The checker in the main window: runs the check of the page (CheckRun),
// underlines the problems in the lines in view (red errors, amber
// warnings) and keeps them where they stand as the text changes, shows their
// messages as tooltips, the counts "N 错误 M 警告" on the status bar and the
// problem list below the editing area; F8 and Shift+F8 go to the next and
// the previous problem, Ctrl+. fixes the full-width slip at the caret.
// Switched off ("检查错误"), it reads nothing and draws nothing.
class CheckerView : public QObject {
    Q_OBJECT
public:
    // relayout places the window's bands again (the list shown or hidden).
    CheckerView(RichTextBox &richText, StaBar &statusBar, QWidget *window,
                std::function<void()> relayout);
    ~CheckerView() override;

    // "检查错误", "错误列表" and the submenu of the page's needs, for the bar
    // menu.
    QAction *menCheckErrors() const { return m_menCheckErrors; }
    QAction *menErrorList() const { return m_menErrorList; }
    QMenu *needsMenu() const { return m_needsMenu; }
    ErrorList *errorList() const { return m_list; }
    ClickLabel *counts() const { return m_counts; }
    CheckRun &run() const { return *m_run; }

    void setOn(bool on);
    bool isOn() const { return m_on; }
    void setListShown(bool shown);
    void setPageEncoding(const QString &encoding);

    // The problems as they now stand in the document.
    struct Mark {
        int from = 0;
        int length = 0;
        bool gone = false; // its text was edited away
        Checker::Problem problem;
        std::vector<Checker::TextEdit> fix; // in document positions
    };
    const std::vector<Mark> &marks() const { return m_marks; }

    void goToNext(bool forward);
    // Fixes the mark (one undo step); false when it has no fix.
    bool fix(int markIndex);
    bool fixAtCaret();
    int fixAll();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void restart(int delayMs);
    void publish();
    void showCounts();
    void textChanged(int position, int removed, int added);
    void paint(QPainter &painter) const;
    int markAt(int position) const;
    void goTo(int markIndex);
    bool applyEdits(std::vector<Checker::TextEdit> edits);
    void readNeeds();

    RichTextBox &m_richText;
    QPointer<RichTextBox> m_area;
    // Compared with, never asked: while the window goes, its filter still
    // sees the status bar's last events after the editing area is gone.
    QPointer<QWidget> m_viewport;
    StaBar &m_statusBar;
    std::function<void()> m_relayout;
    CheckRun *m_run;
    ErrorList *m_list;
    ClickLabel *m_counts;
    QAction *m_menCheckErrors;
    QAction *m_menErrorList;
    QMenu *m_needsMenu;
    QList<QAction *> m_needItems;
    QString m_encoding;
    bool m_on = false;
    bool m_partialShown = false;
    std::vector<Mark> m_marks;
    QMetaObject::Connection m_changes;
};
