#include "shell/plainstatusarea.h"

#include <QHBoxLayout>
#include <QLabel>

PlainStatusArea::PlainStatusArea(QWidget *parent)
    : QWidget(parent)
    , m_text(new QLabel(this))
    , m_text2(new QLabel(this)) {
    setObjectName(QStringLiteral("StaBar1"));
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(4, 2, 4, 2);
    layout->addWidget(m_text, 1);
    layout->addWidget(m_text2);
}

QString PlainStatusArea::Text() const {
    return m_text->text();
}

void PlainStatusArea::setText(const QString &text) {
    m_text->setText(text);
    m_text->setAccessibleName(text);
}

QString PlainStatusArea::Text2() const {
    return m_text2->text();
}

void PlainStatusArea::setText2(const QString &text) {
    m_text2->setText(text);
    m_text2->setAccessibleName(text);
}
