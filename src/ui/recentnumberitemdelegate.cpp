#include "ui/recentnumberitemdelegate.h"

#include <QPainter>

#include "contactmanager.h"
#include "rest/contact.h"

RecentNumberItemDelegate::RecentNumberItemDelegate(QObject *parent) : QStyledItemDelegate(parent) { }

QSize RecentNumberItemDelegate::sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    QSize size = QStyledItemDelegate::sizeHint(option, index);
    size.setHeight(size.height() * 2);
    return size;
}

QString RecentNumberItemDelegate::nameFor(const QString &number) const
{
    if (!contacts)
        return QString();
    const Contact *contact = contacts->findContactByNumber(number);
    return contact ? contact->displayName() : QString();
}

void RecentNumberItemDelegate::paint(
    QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    QStyleOptionViewItem background = option;
    initStyleOption(&background, index);
    background.text.clear();
    const QWidget *widget = option.widget;
    QStyle *style = widget ? widget->style() : nullptr;
    if (style)
        style->drawControl(QStyle::CE_ItemViewItem, &background, painter, widget);

    const QString number = index.data(Qt::DisplayRole).toString();
    const QString name = nameFor(number);
    const QRect area = option.rect.adjusted(5, 5, -5, -5);
    painter->save();
    painter->setPen(option.palette.color(
        option.state & QStyle::State_Selected ? QPalette::HighlightedText : QPalette::Text));
    const int flags = Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine;
    if (name.isEmpty()) {
        painter->drawText(area, flags, option.fontMetrics.elidedText(number, Qt::ElideRight, area.width()));
    } else {
        QRect upper = area;
        upper.setHeight(area.height() / 2);
        QRect lower = area;
        lower.setTop(upper.bottom() + 1);
        QFont bold = option.font;
        bold.setBold(true);
        painter->setFont(bold);
        painter->drawText(upper, flags, QFontMetrics(bold).elidedText(name, Qt::ElideRight, upper.width()));
        painter->setFont(option.font);
        painter->drawText(lower, flags, option.fontMetrics.elidedText(number, Qt::ElideRight, lower.width()));
    }
    painter->setPen(Qt::gray);
    painter->drawLine(option.rect.bottomLeft(), option.rect.bottomRight());
    painter->restore();
}
