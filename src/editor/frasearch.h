#pragma once

#include <QPointer>
#include <QWidget>
#include <memory>

class FindReplace;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class RichTextBox;

// The find and replace window "查找": non-modal, kept above all other
// windows, searching the main window's editing area forward from its
// selection. Ticking "替换" grows it to show the replace row. Enter in a
// field finds the next occurrence (replaces, in the replace field); Esc
// closes the window. Closing it unloads it; the next opening loads it afresh
// in the compact layout.
class FRAsearch : public QWidget {
    Q_OBJECT
public:
    // refreshload's argument: a 16-bit Boolean, true being -1.
    enum Way : int { Compact = -1, Full = 0 };

    // Loads the window over owner on first use (and after it was unloaded)
    // and shows it; shows the loaded one again otherwise. The window belongs
    // to owner and goes with it. richText must outlive the window's use.
    static FRAsearch *showFor(QWidget *owner, RichTextBox *richText);
    // The loaded window, if any.
    static FRAsearch *loaded();
    // Unloads the loaded window without running any of its handlers.
    static void unload();

    FRAsearch(QWidget *owner, RichTextBox *richText);
    ~FRAsearch() override;

    // Compact for Compact (-1), full for Full (0); any other value does
    // nothing. A C++ bool would convert true to 1, so it is refused.
    void refreshload(int way);
    void refreshload(bool) = delete;

    bool isCompact() const { return m_compact; }
    // Outer height of the window in twips, as the layout sets it.
    int Height() const { return m_height; }

    // Compact layout, above all windows, centred over the owner.
    void Form_Load();

    void commFindStr_Click();
    void Txtfindstr_Click();
    void commRpalceStr_Click();
    void CommAllReplace_Click();
    void Check1_Click();
    void Commexit_Click();

protected:
    void closeEvent(QCloseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    Qt::CaseSensitivity caseSensitivity() const;
    void centreOverOwner();

    QPointer<RichTextBox> m_richText;
    std::unique_ptr<FindReplace> m_findReplace;
    bool m_compact = true;
    int m_height = 0;

    QLabel *m_label1;
    QLineEdit *m_findText;
    QPushButton *m_findNext;
    QGroupBox *m_frame1;
    QLabel *m_label2;
    QLineEdit *m_replaceText;
    QPushButton *m_replace;
    QPushButton *m_replaceAll;
    QCheckBox *m_check1;
    QCheckBox *m_check2;
    QPushButton *m_exit;
};
