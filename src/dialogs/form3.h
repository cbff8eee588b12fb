#pragma once

#include <QPointer>
#include <QWidget>

// The key-code tester "键值测试": a bare window that prints the Windows
// virtual-key code of every key pressed. It closes when clicked or when it
// loses the focus.
class Form3 : public QWidget {
    Q_OBJECT
public:
    // Loads the tester over owner (or shows the loaded one) and shows it.
    // The window belongs to owner and goes with it.
    static Form3 *showFor(QWidget *owner);
    // The loaded tester, if any.
    static Form3 *loaded();
    // Unloads the loaded tester without running any of its handlers.
    static void unload();

    explicit Form3(QWidget *owner);

    // Centres the window over the owner, shows it and prints the prompt.
    void Form_Load();
    void Form_KeyDown(int keyCode, int shift);
    void Form_Click();
    void Form_LostFocus();

    // What the window's surface shows, lines ending in CR LF.
    QString text() const { return m_text; }

protected:
    void paintEvent(QPaintEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void changeEvent(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool focusNextPrevChild(bool next) override;

private:
    void print(const QString &text);

    QString m_text;
    bool m_wasActive = false;
};
