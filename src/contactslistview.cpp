#include "contactslistview.h"

#include "contactitemdelegate.h"

ContactsListView::ContactsListView(QWidget *parent)
    : QListView(parent), delegate(new ContactItemDelegate(false, this))
{
    setItemDelegate(delegate);
    setAttribute(Qt::WA_Hover);
    setAttribute(Qt::WA_MouseTracking);
    viewport()->setAttribute(Qt::WA_Hover);
    viewport()->setAttribute(Qt::WA_MouseTracking);
    setContextMenuPolicy(Qt::CustomContextMenu);
    setUniformItemSizes(true);
}
