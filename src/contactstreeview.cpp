#include "contactstreeview.h"

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

// First the row with its highlight, then once more without the delegate, so that the branch arrow
// comes out over the highlight.
void ContactsTreeView::drawRow(
    QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    QTreeView::drawRow(painter, option, index);
    delegate->setSuppressPainting(true);
    QTreeView::drawRow(painter, option, index);
    delegate->setSuppressPainting(false);
}
