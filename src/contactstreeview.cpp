#include "contactstreeview.h"

#include <QHeaderView>

#include "contactitemdelegate.h"

ContactsTreeView::ContactsTreeView(QWidget *parent)
    : QTreeView(parent), delegate(new ContactItemDelegate(true, this))
{
    setItemDelegate(delegate);
    setAttribute(Qt::WA_Hover);
    setAttribute(Qt::WA_MouseTracking);
    viewport()->setAttribute(Qt::WA_Hover);
    viewport()->setAttribute(Qt::WA_MouseTracking);
    setContextMenuPolicy(Qt::CustomContextMenu);
    setIndentation(11);
    setHeaderHidden(true);
    // Every row is as high as the delegate says (30 px): spare the view from asking row by row.
    setUniformRowHeights(true);
}

void ContactsTreeView::drawBranches(QPainter *painter, const QRect &rect, const QModelIndex &index) const
{
    if (!index.parent().isValid())
        QTreeView::drawBranches(painter, rect, index);
}

// First the whole row, whose highlight reaches over the indentation to the view's edge; then, with the
// delegate silenced, the branch arrow once more so that it comes out over the highlight. Only the arrow
// is drawn again, without the selected state: the view's own selection background (a style sheet may
// give it a colour) would otherwise cover the highlight.
void ContactsTreeView::drawRow(
    QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    QTreeView::drawRow(painter, option, index);
    delegate->setSuppressPainting(true);
    if (!index.parent().isValid() && rootIsDecorated() && indentation() > 0) {
        QStyleOptionViewItem arrow = option;
        arrow.rect = QRect(
            header()->sectionViewportPosition(0), option.rect.y(), indentation(), option.rect.height());
        arrow.state &= ~(QStyle::State_Selected | QStyle::State_MouseOver | QStyle::State_HasFocus);
        arrow.state |= QStyle::State_Item;
        if (model()->hasChildren(index))
            arrow.state |= QStyle::State_Children;
        if (isExpanded(index))
            arrow.state |= QStyle::State_Open;
        if (index.row() + 1 < model()->rowCount(index.parent()))
            arrow.state |= QStyle::State_Sibling;
        style()->drawPrimitive(QStyle::PE_IndicatorBranch, &arrow, painter, this);
    }
    delegate->setSuppressPainting(false);
}
