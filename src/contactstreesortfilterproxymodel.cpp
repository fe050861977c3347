#include "contactstreesortfilterproxymodel.h"

ContactsTreeSortFilterProxyModel::ContactsTreeSortFilterProxyModel(QObject *parent)
    : QSortFilterProxyModel(parent)
{
    setFilterCaseSensitivity(Qt::CaseInsensitive);
    setFilterKeyColumn(0);
}

bool ContactsTreeSortFilterProxyModel::filterIsEmpty() const
{
    return filterRegExp().isEmpty() && filterRegularExpression().pattern().isEmpty();
}

bool ContactsTreeSortFilterProxyModel::filterAcceptsRow(int sourceRow, const QModelIndex &sourceParent) const
{
    if (sourceParent.isValid())
        return QSortFilterProxyModel::filterAcceptsRow(sourceRow, sourceParent);
    if (filterIsEmpty())
        return true;
    const QAbstractItemModel *model = sourceModel();
    const QModelIndex group = model->index(sourceRow, 0, sourceParent);
    const int members = model->rowCount(group);
    for (int row = 0; row < members; ++row) {
        if (QSortFilterProxyModel::filterAcceptsRow(row, group))
            return true;
    }
    return false;
}
