#pragma once

#include "editor/findreplacesearch.h"

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
// selection. Ticking "替换" grows it to show the replace row. "正则表达式"
// and "全字匹配" (kept in the settings) search for a regular expression or
// whole words; an invalid expression says why under them. Enter in a
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

    // The options of the boxes: "区分大小写", "正则表达式", "全字匹配".
    SearchOptions searchOptions() const;

protected:
    void closeEvent(QCloseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void centreOverOwner();
    // Shows why the pattern is invalid under the boxes; true when it is valid.
    bool checkPattern();
    void storeOptions();

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
    QCheckBox *m_checkRegex;
    QCheckBox *m_checkWord;
    QLabel *m_patternError;
    QPushButton *m_exit;
};
