#include "sitesearch/matchdelegate.h"

#include <QApplication>
#include <QPainter>

void MatchDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option,
                          const QModelIndex &index) const
{
    const QVariant start = index.data(MatchStart);
    if (!start.isValid()) {
        QStyledItemDelegate::paint(painter, option, index);
        return;
    }
    QStyleOptionViewItem item = option;
    initStyleOption(&item, index);
    const QString text = item.text;
    item.text.clear();
    const QWidget *widget = item.widget;
    QStyle *style = widget ? widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &item, painter, widget);

    const int from = qBound(0, start.toInt(), int(text.size()));
    const int length = qBound(0, index.data(MatchLength).toInt(), int(text.size()) - from);
    QRect rect = style->subElementRect(QStyle::SE_ItemViewItemText, &item, widget);
    rect.adjust(2, 0, -2, 0);
    const bool selected = item.state & QStyle::State_Selected;
    const QPalette::ColorRole textRole = selected ? QPalette::HighlightedText : QPalette::Text;
    QFont bold = item.font;
    bold.setBold(true);

    painter->save();
    painter->setClipRect(rect);
    int x = rect.left();
    const auto draw = [&](const QString &part, const QFont &font, bool picked) {
        const QFontMetrics metrics(font);
        const int width = metrics.horizontalAdvance(part);
        const QRect partRect(x, rect.top(), width, rect.height());
        if (picked && !selected)
            painter->fillRect(partRect, item.palette.color(QPalette::Highlight).lighter(160));
        painter->setFont(font);
        painter->setPen(item.palette.color(textRole));
        painter->drawText(partRect, Qt::AlignVCenter | Qt::AlignLeft, part);
        x += width;
    };
    draw(text.left(from), item.font, false);
    draw(text.mid(from, length), bold, true);
    draw(text.mid(from + length), item.font, false);
    painter->restore();
}
