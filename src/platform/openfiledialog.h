#pragma once

#include "platform/folderlisting.h"

#include <QDialog>

#include <optional>

class QComboBox;
class QLineEdit;
class QStringListModel;
class QTreeWidget;
class QTreeWidgetItem;

// The dialog that picks a file to open, or a name to save under. It lists
// each folder itself (FolderListing), so that a page whose name is no UTF-8,
// which Qt's own file dialog leaves out, is listed under a readable name and
// given back under its own bytes (PathBytes form).
class OpenFileDialog : public QDialog {
    Q_OBJECT
public:
    enum Mode { Open, Save };

    // nameFilters as Qt writes them: "网页文件(*.htm *.html)".
    OpenFileDialog(QWidget *parent, const QString &title, const QStringList &nameFilters,
                   Mode mode = Open);

    // The folder listed first; the working folder when it is empty or
    // cannot be read, or when none was set.
    void setFolder(const QString &folder);
    QString folder() const { return m_folder; }
    // The name first shown (PathBytes form); while the name field shows it
    // unchanged, it is taken as its own bytes.
    void setFileName(const QString &name);
    // Whether only an existing file is accepted (else any name in an
    // existing folder).
    void setMustExist(bool on) { m_mustExist = on; }
    // Whether choosing an existing file to save under asks first.
    void setAskBeforeReplacing(bool on) { m_askBeforeReplacing = on; }

    // The file chosen, once the dialog was accepted.
    QString chosenPath() const { return m_chosen; }

protected:
    void showEvent(QShowEvent *event) override;

private:
    bool showFolder(const QString &folder, bool sayWhy = true);
    void fillList();
    void open();
    void openItem(QTreeWidgetItem *item);
    void itemChanged(QTreeWidgetItem *item);
    void filterChanged(int index);
    bool take(const FolderListing::Target &target);
    void choose(const QString &path);
    bool mayReplace(const QString &path);
    void warn(const QString &text);
    const FolderListing::Entry *entryOf(const QTreeWidgetItem *item) const;

    QString m_folder;
    QStringList m_patterns;
    QList<FolderListing::Entry> m_entries;
    // The file picked in the list, while the name field shows its name.
    std::optional<FolderListing::Entry> m_picked;
    QString m_suggested; // the name given by setFileName
    QString m_chosen;
    Mode m_mode;
    bool m_mustExist = true;
    bool m_askBeforeReplacing = false;

    QLineEdit *m_folderEdit;
    QTreeWidget *m_list;
    QLineEdit *m_nameEdit;
    QComboBox *m_filterBox;
    QStringListModel *m_names; // the names listed, which the name field completes
};
