#pragma once

#include "shell/statusline.h"

#include <QWidget>

class QLabel;

// A plain status area under the editing area: the hint text on the left, the
// message text on the right.
class PlainStatusArea : public QWidget, public StatusLine {
    Q_OBJECT
public:
    explicit PlainStatusArea(QWidget *parent = nullptr);

    QString Text() const override;
    void setText(const QString &text) override;
    QString Text2() const override;
    void setText2(const QString &text) override;

private:
    QLabel *m_text;
    QLabel *m_text2;
};
