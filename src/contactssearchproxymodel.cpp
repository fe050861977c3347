#include "contactssearchproxymodel.h"

ContactsSearchProxyModel::ContactsSearchProxyModel(QObject *parent) : QSortFilterProxyModel(parent)
{
    setFilterCaseSensitivity(Qt::CaseInsensitive);
    setFilterKeyColumn(0);
    setFilterRole(Qt::DisplayRole);
}

void ContactsSearchProxyModel::setSearchText(const QString &text)
{
    if (text == search)
        return;
    search = text;
    invalidate();
}

bool ContactsSearchProxyModel::filterIsEmpty() const
{
    return search.isEmpty() && filterRegExp().isEmpty() && filterRegularExpression().pattern().isEmpty();
}

bool ContactsSearchProxyModel::filterAcceptsRow(int sourceRow, const QModelIndex &sourceParent) const
{
    if (!QSortFilterProxyModel::filterAcceptsRow(sourceRow, sourceParent))
        return false;
    if (search.isEmpty())
        return true;
    const QModelIndex index = sourceModel()->index(sourceRow, filterKeyColumn(), sourceParent);
    return index.data(filterRole()).toString().contains(search, filterCaseSensitivity());
}
