#include "editor/editmenu.h"

#include "editor/richtext.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QMenu>
#include <QMimeData>

QString clipboardPlainText()
{
    const QMimeData *data = QGuiApplication::clipboard()->mimeData();
    if (!data || !data->hasText())
        return QString();
    return data->text();
}

EditMenu::EditMenu(RichText &richText, QWidget *parent)
    : QObject(parent)
    , m_richText(richText)
    , m_txtpop(new QMenu(parent))
{
    m_txtpop->setObjectName(QStringLiteral("txtpop"));
    mensetcut = m_txtpop->addAction(QStringLiteral("剪  贴        <&T>"));
    mensetcut->setObjectName(QStringLiteral("mensetcut"));
    mensetcopy = m_txtpop->addAction(QStringLiteral("复  制        <&C>"));
    mensetcopy->setObjectName(QStringLiteral("mensetcopy"));
    mensetzhantie = m_txtpop->addAction(QStringLiteral("粘  贴        <&P>"));
    mensetzhantie->setObjectName(QStringLiteral("mensetzhantie"));
    menbbbb = m_txtpop->addSeparator();
    menbbbb->setObjectName(QStringLiteral("menbbbb"));
    mensetsetall = m_txtpop->addAction(QStringLiteral("全  选        <&A>"));
    mensetsetall->setObjectName(QStringLiteral("mensetsetall"));

    connect(mensetcut, &QAction::triggered, this, &EditMenu::mensetcut_Click);
    connect(mensetcopy, &QAction::triggered, this, &EditMenu::mensetcopy_Click);
    connect(mensetzhantie, &QAction::triggered, this, &EditMenu::mensetzhantie_Click);
    connect(mensetsetall, &QAction::triggered, this, &EditMenu::mensetsetall_Click);
}

void EditMenu::updateEnabled()
{
    const bool selected = m_richText.SelLength() > 0;
    mensetcopy->setEnabled(selected);
    mensetcut->setEnabled(selected);
    mensetzhantie->setEnabled(!clipboardPlainText().isEmpty());
    mensetsetall->setEnabled(true);
}

void EditMenu::popupAfterRightClick(const QPoint &globalPos)
{
    updateEnabled();
    popup(globalPos);
}

void EditMenu::popup(const QPoint &globalPos)
{
    m_txtpop->popup(globalPos);
}

void EditMenu::mensetcut_Click()
{
    QGuiApplication::clipboard()->setText(m_richText.SelText());
    m_richText.setSelText(QString());
}

void EditMenu::mensetcopy_Click()
{
    QGuiApplication::clipboard()->setText(m_richText.SelText());
}

void EditMenu::mensetzhantie_Click()
{
    m_richText.setSelText(clipboardPlainText());
}

void EditMenu::mensetsetall_Click()
{
    m_richText.setSelStart(0);
    m_richText.setSelLength(m_richText.textLength());
}
