#pragma once

#include "contactssearchproxymodel.h"

// The tree's search filter: contacts pass the search on their display text; a group passes while no
// search is on, and otherwise only when one of its contacts passes, so groups without a match (empty
// groups included) are hidden during a search. Rows keep the book's order.
class ContactsTreeSortFilterProxyModel : public ContactsSearchProxyModel
{
    Q_OBJECT
public:
    explicit ContactsTreeSortFilterProxyModel(QObject *parent = nullptr);

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex &sourceParent) const override;
};
