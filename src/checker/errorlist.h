#pragma once

#include "checker/problem.h"

#include <QWidget>
#include <vector>

class QPushButton;
class QTreeWidget;

// The problem list "错误列表" below the editing area: one row a problem
// with its line, column, kind and message. Clicking a row or pressing Enter
// on it asks to go there; "修正" fixes the chosen problem, "全部修正" every
// full-width slip of the page.
class ErrorList : public QWidget {
    Q_OBJECT
public:
    explicit ErrorList(QWidget *parent = nullptr);

    // Rows in the order given; row i stands for problems[i].
    void setProblems(const std::vector<const Checker::Problem *> &problems);
    void selectRow(int row);
    QTreeWidget *table() const { return m_table; }

signals:
    void activated(int row);
    void fixRequested(int row);
    void fixAllRequested();

private:
    QTreeWidget *m_table;
    QPushButton *m_fix;
    QPushButton *m_fixAll;
};
