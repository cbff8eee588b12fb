#pragma once

#include <QObject>

class EncodingCommands;
class QMenu;
class QPoint;
class QWidget;

// The menus of the encoding commands: "用编码重新打开" and "用编码保存",
// each listing the common encodings first and the others in a submenu, and
// "统一换行", which makes every line break of one kind.
class EncodingMenus : public QObject {
    Q_OBJECT
public:
    EncodingMenus(EncodingCommands &commands, QWidget *parent);

    QMenu *reopenMenu() const { return m_reopen; }
    QMenu *saveMenu() const { return m_save; }
    QMenu *lineBreakMenu() const { return m_lineBreaks; }

    // Both menus in one pop-up, as the status bar's encoding area offers them.
    void popup(const QPoint &globalPos);

private:
    QMenu *m_reopen;
    QMenu *m_save;
    QMenu *m_lineBreaks;
    QMenu *m_both;
};
