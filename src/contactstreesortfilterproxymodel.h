#pragma once

#include <QSortFilterProxyModel>

// The tree's search filter: contacts pass the ordinary test on their display text; a group passes
// while the search is empty, and otherwise only when one of its contacts passes, so groups without a
// match (empty groups included) are hidden during a search. Rows keep the book's order.
class ContactsTreeSortFilterProxyModel : public QSortFilterProxyModel
{
    Q_OBJECT
public:
    explicit ContactsTreeSortFilterProxyModel(QObject *parent = nullptr);

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex &sourceParent) const override;

private:
    bool filterIsEmpty() const;
};
