#pragma once

#include <QTreeWidget>

// The chooser's folder list: the current folder under its parent folders,
// with its subfolders below it. A double click or Enter on a folder opens
// it; a single click only marks it.
class FolderList : public QTreeWidget {
    Q_OBJECT
public:
    explicit FolderList(QWidget *parent = nullptr);

    QString path() const { return m_path; }
    // Opens the folder; false (and nothing changes) when it cannot be entered.
    bool setPath(const QString &folder);

    // The folder an entry stands for.
    static QString folderOf(const QTreeWidgetItem *item);

signals:
    void pathChanged(const QString &path);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void fill();
    void revealCurrent();

    QString m_path;
};
