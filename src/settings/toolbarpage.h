#pragma once

#include <QFrame>
#include <QList>

class QListWidget;
class zmBUTTon;

// The settings dialog's toolbar page: the first toolbar's buttons
// ("功能栏", List1) and the second's ("快捷栏", List2), one list shown at a
// time, each entry ticked when the custom scheme shows that button; and
// the button "+方案" that names the custom scheme.
class ToolbarPage : public QFrame {
    Q_OBJECT
public:
    explicit ToolbarPage(QWidget *parent = nullptr);

    // Fills both lists and ticks them from the settings file.
    void Fill();
    // Writes every entry's tick to the settings file.
    void Store() const;

    QList<bool> firstTicks() const;
    QList<bool> secondTicks() const;

    void showFirstList();  // "功能栏"
    void showSecondList(); // "快捷栏"

    QListWidget *List1() const { return m_list1; }
    QListWidget *List2() const { return m_list2; }
    zmBUTTon *zmBUTTon6() const { return m_first; }
    zmBUTTon *zmBUTTon7() const { return m_second; }
    zmBUTTon *setbufaceing() const { return m_name; }

private:
    QListWidget *m_list1;
    QListWidget *m_list2;
    zmBUTTon *m_first;
    zmBUTTon *m_second;
    zmBUTTon *m_name;
};
