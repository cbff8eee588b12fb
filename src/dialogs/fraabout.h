#pragma once

#include <QDialog>
#include <functional>

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
    // openUrl opens a web page (QDesktopServices when empty).
    explicit FRAabout(Prompts &prompts, QWidget *owner = nullptr,
                      std::function<void(const QString &url)> openUrl = {});

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
    std::function<void(const QString &)> m_openUrl;
    QLabel *m_image1;
    QLabel *m_label2;
    QLabel *m_label3;
    QLabel *m_label6;
    QPushButton *m_image2;
    QPushButton *m_exit;
};
