// The question with buttons of its own (Prompts::choose) as a real dialog.
#include "platform/prompts.h"

#include <QDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

QStyle::StandardPixmap iconOf(int style)
{
    switch (style & 0x70) {
    case Prompts::Exclamation:
        return QStyle::SP_MessageBoxWarning;
    case Prompts::Information:
        return QStyle::SP_MessageBoxInformation;
    default:
        return QStyle::SP_CustomBase;
    }
}

QTreeWidget *rowList(const Prompts::ChoiceRequest &request, QWidget *parent)
{
    auto *list = new QTreeWidget(parent);
    list->setRootIsDecorated(false);
    list->setAllColumnsShowFocus(true);
    list->setHeaderLabels(request.columns);
    list->setAccessibleName(request.title);
    for (const QStringList &row : request.rows)
        list->addTopLevelItem(new QTreeWidgetItem(row));
    if (list->topLevelItemCount() > 0)
        list->setCurrentItem(list->topLevelItem(0));
    for (int column = 0; column < request.columns.size(); ++column)
        list->resizeColumnToContents(column);
    list->setMinimumWidth(qMin(900, list->header()->length() + 40));
    return list;
}

} // namespace

Prompts::Choice QtPrompts::choose(const ChoiceRequest &request)
{
    QDialog dialog(m_owner);
    dialog.setWindowTitle(request.title);
    auto *layout = new QVBoxLayout(&dialog);

    auto *top = new QHBoxLayout;
    const QStyle::StandardPixmap icon = iconOf(request.style);
    if (icon != QStyle::SP_CustomBase) {
        auto *iconLabel = new QLabel(&dialog);
        iconLabel->setPixmap(dialog.style()->standardIcon(icon).pixmap(32, 32));
        iconLabel->setAlignment(Qt::AlignTop);
        top->addWidget(iconLabel);
    }
    auto *text = new QLabel(request.text, &dialog);
    text->setWordWrap(true);
    text->setTextInteractionFlags(Qt::TextSelectableByMouse);
    top->addWidget(text, 1);
    layout->addLayout(top);

    QTreeWidget *list = nullptr;
    if (!request.columns.isEmpty()) {
        list = rowList(request, &dialog);
        text->setBuddy(list);
        layout->addWidget(list, 1);
    }

    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    int clicked = -1;
    for (int i = 0; i < request.buttons.size(); ++i) {
        auto *button = new QPushButton(request.buttons.at(i), &dialog);
        button->setAutoDefault(false);
        button->setDefault(i == request.defaultButton);
        // A key typed on into a question that came up unasked reaches the
        // default button (or the list), never a button that drops work.
        if (i == request.defaultButton && !list)
            button->setFocus();
        QObject::connect(button, &QPushButton::clicked, &dialog, [&dialog, &clicked, i] {
            clicked = i;
            dialog.accept();
        });
        buttons->addWidget(button);
    }
    layout->addLayout(buttons);

    Choice choice;
    if (dialog.exec() != QDialog::Accepted)
        return choice;
    choice.button = clicked;
    if (list && list->currentItem())
        choice.row = list->indexOfTopLevelItem(list->currentItem());
    return choice;
}
