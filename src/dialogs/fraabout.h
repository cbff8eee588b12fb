#pragma once

#include <QDialog>
#include <functional>

class Launcher;
class Prompts;
class QLabel;
class QPushButton;

// The About window "关于": the program's icon, the signed-in user's name,
// the version line, the maker's credit, a banner that opens the maker's web
// page and a link to the thanks box. Show it with exec() over the main
// window.
class FRAabout : public QDialog {
    Q_OBJECT
public:
    // launcher opens the maker's page (the desktop's launcher when null).
    explicit FRAabout(Prompts &prompts, QWidget *owner = nullptr, Launcher *launcher = nullptr);

    void Image2_Click();
    void Label6_Click();
    void EXIT_Click();

    QLabel *Image1() const { return m_image1; }
    QLabel *Label2() const { return m_label2; }
    QLabel *Label3() const { return m_label3; }
    QLabel *Label6() const { return m_label6; }
    QPushButton *Image2() const { return m_image2; }
    QPushButton *EXIT() const { return m_exit; }

private:
    Prompts &m_prompts;
    Launcher &m_launcher;
    QLabel *m_image1;
    QLabel *m_label2;
    QLabel *m_label3;
    QLabel *m_label6;
    QPushButton *m_image2;
    QPushButton *m_exit;
};
