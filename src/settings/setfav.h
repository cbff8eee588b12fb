#pragma once

#include "settings/setfavapply.h"

#include <QDialog>

class ClickLabel;
class ColorSwatch;
class QCheckBox;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class QStackedWidget;
class QToolButton;
class StatusLine;
class Prompts;
class ToolbarPage;
class zmBUTTon;

// The settings dialog "设置...": five pages chosen by the flat tab buttons
// on the left (save, work area, toolbar, miscellaneous, about). Nothing is
// stored until "应用" (or Enter anywhere in the dialog); "关闭" closes it
// without storing. Show it with exec(); it is loaded by its constructor.
class SetFav : public QDialog {
    Q_OBJECT
public:
    // Pages, as the tabs show them.
    enum Page { SavePage = 0, WorkPage = 1, MiscPage = 2, ToolbarPageIndex = 3, AboutPage = 4 };

    // prompts, status and the hooks' targets must outlive the dialog.
    SetFav(Prompts &prompts, StatusLine &status, SetFavHooks hooks, QWidget *owner = nullptr);
    ~SetFav() override;

    // Whether "保存成功提示" is ticked.
    bool saveMessageTicked() const;

    // The tab buttons zmBUTTon1 ... zmBUTTon5 (1-based) and their pages.
    zmBUTTon *tab(int number) const;
    QFrame *Framback(int page) const;
    // The page that is shown.
    int shownPage() const;
    // Shows tab number's page as a click on the tab does.
    void showTab(int number);

    // Handlers of the dialog's controls.
    void doit_Click();
    void EXIT_Click();
    void CommGetPATH_Click();
    void ImgOpenPATH_Click();
    void Labbackcolor_Click();
    void setbufaceing_Click();
    void newRevision_Click();
    void aboutText_Click();

    // The fields as they stand now.
    SetFavFields fields() const;

    QLabel *sign() const { return m_sign; }
    QCheckBox *CheckSaveMsg() const { return m_checkSaveMsg; }
    QCheckBox *Checktimeflag() const { return m_checkTimeFlag; }
    QLineEdit *Txttimesave() const { return m_txtTimeSave; }
    QPushButton *CommGetPATH() const { return m_commGetPath; }
    QToolButton *ImgOpenPATH() const { return m_imgOpenPath; }
    QComboBox *Txtfontname() const { return m_txtFontName; }
    QComboBox *Combofontsize() const { return m_comboFontSize; }
    ColorSwatch *Labbackcolor() const { return m_labBackColor; }
    ColorSwatch *Labyufa() const { return m_labYufa; }
    ColorSwatch *Labqitacolor() const { return m_labQitaColor; }
    ClickLabel *fontNameLabel() const { return m_fontNameLabel; }
    ClickLabel *fontSizeLabel() const { return m_fontSizeLabel; }
    ClickLabel *backColorLabel() const { return m_backColorLabel; }
    QCheckBox *miscCheck(int number) const;
    ToolbarPage *toolbarPage() const { return m_toolbarPage; }
    QPushButton *doit() const { return m_doit; }
    QPushButton *EXIT() const { return m_exit; }
    QLabel *newRevision() const { return m_newRevision; }
    ClickLabel *aboutText() const { return m_aboutText; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void Form_Load();
    void buildTabs(QWidget *column);
    QFrame *buildSavePage();
    QFrame *buildWorkPage();
    QFrame *buildMiscPage();
    QFrame *buildAboutPage();
    void loadSavePage();
    void loadWorkPage();
    bool previewKey(QKeyEvent *event);

    Prompts &m_prompts;
    StatusLine &m_status;
    SetFavHooks m_hooks;

    zmBUTTon *m_tabs[5] = {};
    QLabel *m_sign = nullptr;
    QStackedWidget *m_pages = nullptr;
    QFrame *m_frames[5] = {};

    QCheckBox *m_checkSaveMsg = nullptr;
    QCheckBox *m_checkTimeFlag = nullptr;
    QLineEdit *m_txtTimeSave = nullptr;
    QPushButton *m_commGetPath = nullptr;
    QToolButton *m_imgOpenPath = nullptr;

    QComboBox *m_txtFontName = nullptr;
    QComboBox *m_comboFontSize = nullptr;
    ColorSwatch *m_labBackColor = nullptr;
    ColorSwatch *m_labYufa = nullptr;
    ColorSwatch *m_labQitaColor = nullptr;
    ClickLabel *m_fontNameLabel = nullptr;
    ClickLabel *m_fontSizeLabel = nullptr;
    ClickLabel *m_backColorLabel = nullptr;

    QCheckBox *m_misc[5] = {};
    ToolbarPage *m_toolbarPage = nullptr;
    ClickLabel *m_aboutText = nullptr;

    QLabel *m_newRevision = nullptr;
    QPushButton *m_doit = nullptr;
    QPushButton *m_exit = nullptr;
};
