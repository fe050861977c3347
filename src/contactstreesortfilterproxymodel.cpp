#include "contactstreesortfilterproxymodel.h"

ContactsTreeSortFilterProxyModel::ContactsTreeSortFilterProxyModel(QObject *parent)
    : ContactsSearchProxyModel(parent)
{ }

bool ContactsTreeSortFilterProxyModel::filterAcceptsRow(int sourceRow, const QModelIndex &sourceParent) const
{
    if (sourceParent.isValid())
        return ContactsSearchProxyModel::filterAcceptsRow(sourceRow, sourceParent);
    if (filterIsEmpty())
        return true;
    const QAbstractItemModel *model = sourceModel();
    const QModelIndex group = model->index(sourceRow, 0, sourceParent);
    const int members = model->rowCount(group);
    for (int row = 0; row < members; ++row) {
        if (ContactsSearchProxyModel::filterAcceptsRow(row, group))
            return true;
    }
    return false;
}
