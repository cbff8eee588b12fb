#pragma once

#include <QObject>

class QAction;
class QMenu;
class QPoint;
class QWidget;
class RichText;

// The editing area's pop-up menu `txtpop`: cut, copy, paste and select all,
// as plain text through the clipboard.
class EditMenu : public QObject {
    Q_OBJECT
public:
    EditMenu(RichText &richText, QWidget *parent);

    QMenu *txtpop() const { return m_txtpop; }

    // Sets the items' enabled state from the selection and the clipboard.
    void updateEnabled();
    // Right button released over the editing area: enable, then pop up.
    void popupAfterRightClick(const QPoint &globalPos);
    // The menu key: pop up with the enabled state left from the last right-click.
    void popup(const QPoint &globalPos);

    void mensetcut_Click();
    void mensetcopy_Click();
    void mensetzhantie_Click();
    void mensetsetall_Click();

    QAction *mensetcut;
    QAction *mensetcopy;
    QAction *mensetzhantie;
    QAction *menbbbb;
    QAction *mensetsetall;

private:
    RichText &m_richText;
    QMenu *m_txtpop;
};

// The clipboard's plain text, "" when it holds none.
QString clipboardPlainText();
