#pragma once

#include "editor/tagcompletionports.h"

#include <QFrame>

class ListBox;

// The completion list on the main window: the container contAutoList with
// the picture box Picture3 holding the list box ListAuto. None of them takes
// the keyboard focus, so typing goes on in the editing area while it shows.
// Hidden at start; raised above its siblings whenever it is shown.
class AutoList : public QFrame, public CompletionList {
    Q_OBJECT
public:
    // Sizes in twips: the design's, which the list keeps as its least width
    // and as the room its rows fill with as many whole rows as fit.
    static constexpr int kWidth = 2415;
    static constexpr int kHeight = 1425;
    static constexpr int kPictureLeft = 45;
    static constexpr int kPictureTop = 45;
    static constexpr int kPictureWidth = 2295;
    static constexpr int kPictureHeight = 1335;
    static constexpr int kListWidth = 2295;
    static constexpr int kListHeight = 1290;

    // mainWindow becomes the parent: Left and Top are in its client area.
    explicit AutoList(QWidget *mainWindow);

    QWidget *Picture3() const { return m_picture; }
    ListBox *ListAuto() const { return m_list; }

    void Clear() override;
    void AddItem(const QString &item) override;
    QString List(int index) const override;
    int ListCount() const override;
    int ListIndex() const override;
    void setListIndex(int index) override;

    bool Visible() const override;
    void setShown(bool shown) override;

    int Left() const override { return m_left; }
    int Top() const override { return m_top; }
    int Width() const override;
    int Height() const override;
    void Move(int left, int top) override;

protected:
    void changeEvent(QEvent *event) override;

signals:
    // A double-click anywhere on the list box.
    void ListAuto_DblClick();

private:
    // Sizes the list to whole rows of its font and to its widest entry, and
    // the picture and the container around it.
    void fitToEntries();

    QWidget *m_picture;
    ListBox *m_list;
    int m_left = 0;
    int m_top = 0;
};
