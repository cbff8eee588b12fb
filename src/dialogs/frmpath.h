#pragma once

#include "dialogs/frmpathplaces.h"

#include <QDialog>

class FolderList;
class QComboBox;
class QFrame;
class QLabel;
class QPushButton;

// The folder chooser "选择路径": a drive list, a folder list and the button
// "选  择". Choosing with the button gives the folder list's folder; any
// other way of closing gives "canceledselect".
class FRMpath : public QDialog {
    Q_OBJECT
public:
    explicit FRMpath(QWidget *owner = nullptr);

    // The result of a chooser closed in any way but "选  择".
    static QString canceledResult() { return QStringLiteral("canceledselect"); }

    // Puts the drive list on the drive of folder and opens that drive's
    // root, then opens folder itself when it can.
    void startAt(const QString &folder);

    // The folder list's current folder.
    QString currentPath() const;
    // The result once the window has closed.
    QString result() const { return m_result; }

    // Offers these drives instead of the system's mount points.
    void setDrives(const QList<FolderDrive> &drives);

    QComboBox *Drive1() const { return m_drive; }
    FolderList *Dir1() const { return m_dir; }
    QPushButton *Command1() const { return m_choose; }
    QLabel *Labpath() const { return m_labPath; }

    void Drive1_Change();
    void Command1_Click();

protected:
    void done(int code) override;

private:
    void selectDrive(const QString &root);
    void showPath(const QString &path);

    QComboBox *m_drive;
    QFrame *m_picture;
    QPushButton *m_choose;
    FolderList *m_dir;
    QLabel *m_labPath;
    QList<FolderDrive> m_drives;
    QString m_result;
};

// Shows the folder chooser modally over owner and returns the folder chosen
// or "canceledselect". An empty startFolder becomes the program's folder,
// in the caller's variable too. x and y place the window's top-left corner
// (screen twips); both 0 centre it over the owner.
QString ChooseFolder(QWidget *owner, QString &startFolder, int x, int y);
