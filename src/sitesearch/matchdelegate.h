#pragma once

#include <QStyledItemDelegate>

// Draws a result line with its match picked out: the stretch given by the
// item's MatchStart and MatchLength roles in bold on the highlight colour.
class MatchDelegate : public QStyledItemDelegate {
public:
    enum Role { MatchStart = Qt::UserRole + 10, MatchLength };

    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override;
};
