#pragma once

#include <QTreeView>

class ContactItemDelegate;

// The tree of groups and contacts. Only group rows get a branch arrow, and the arrows are drawn over
// the delegate's row highlight.
class ContactsTreeView : public QTreeView
{
    Q_OBJECT
public:
    explicit ContactsTreeView(QWidget *parent = nullptr);

    ContactItemDelegate *contactDelegate() const { return delegate; }

protected:
    void drawBranches(QPainter *painter, const QRect &rect, const QModelIndex &index) const override;
    void drawRow(
        QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;

private:
    ContactItemDelegate *delegate;
};
