#include "contactslistmodel.h"

#include <algorithm>

#include "contactsmodels.h"

ContactsListModel::ContactsListModel(QObject *parent) : QAbstractListModel(parent)
{
    starts.append(0);
}

void ContactsListModel::setSourceModel(QAbstractItemModel *sourceModel)
{
    for (const QMetaObject::Connection &connection : qAsConst(sourceConnections))
        disconnect(connection);
    sourceConnections.clear();

    beginResetModel();
    source = sourceModel;
    if (source) {
        QAbstractItemModel *s = source;
        sourceConnections
            << connect(s, &QAbstractItemModel::dataChanged, this, &ContactsListModel::onDataChanged)
            << connect(s, &QAbstractItemModel::modelAboutToBeReset, this,
                   &ContactsListModel::onSourceAboutToChange)
            << connect(s, &QAbstractItemModel::modelReset, this, &ContactsListModel::onSourceChanged)
            << connect(s, &QAbstractItemModel::rowsAboutToBeInserted, this,
                   &ContactsListModel::onSourceAboutToChange)
            << connect(s, &QAbstractItemModel::rowsInserted, this, &ContactsListModel::onSourceChanged)
            << connect(s, &QAbstractItemModel::rowsAboutToBeRemoved, this,
                   &ContactsListModel::onSourceAboutToChange)
            << connect(s, &QAbstractItemModel::rowsRemoved, this, &ContactsListModel::onSourceChanged)
            << connect(s, &QAbstractItemModel::rowsAboutToBeMoved, this,
                   &ContactsListModel::onSourceAboutToChange)
            << connect(s, &QAbstractItemModel::rowsMoved, this, &ContactsListModel::onSourceChanged)
            << connect(s, &QAbstractItemModel::layoutAboutToBeChanged, this,
                   &ContactsListModel::onSourceAboutToChange)
            << connect(s, &QAbstractItemModel::layoutChanged, this, &ContactsListModel::onSourceChanged);
    }
    rebuildOffsets();
    endResetModel();
}

void ContactsListModel::onSourceAboutToChange()
{
    if (resetting)
        return;
    resetting = true;
    beginResetModel();
}

void ContactsListModel::onSourceChanged()
{
    if (!resetting)
        beginResetModel();
    resetting = false;
    rebuildOffsets();
    endResetModel();
}

void ContactsListModel::rebuildOffsets()
{
    starts.clear();
    starts.append(0);
    if (!source)
        return;
    const int groups = source->rowCount();
    starts.reserve(groups + 1);
    for (int g = 0; g < groups; ++g)
        starts.append(starts.last() + source->rowCount(source->index(g, 0)));
}

int ContactsListModel::groupOfRow(int row) const
{
    if (row < 0 || row >= starts.last())
        return -1;
    // The first group whose end lies beyond the row; empty groups are skipped on the way.
    const auto it = std::upper_bound(starts.begin(), starts.end(), row);
    return int(it - starts.begin()) - 1;
}

QModelIndex ContactsListModel::index(int row, int column, const QModelIndex &parent) const
{
    if (parent.isValid() || column != 0 || !source)
        return QModelIndex();
    const int group = groupOfRow(row);
    return group < 0 ? QModelIndex() : createIndex(row, 0, quintptr(group));
}

int ContactsListModel::rowCount(const QModelIndex &parent) const
{
    if (parent.isValid() || !source)
        return 0;
    return starts.last();
}

QModelIndex ContactsListModel::mapToSource(const QModelIndex &index) const
{
    if (!index.isValid() || !source || index.model() != this)
        return QModelIndex();
    const int group = int(index.internalId());
    if (group < 0 || group + 1 >= starts.size())
        return QModelIndex();
    return source->index(index.row() - starts.at(group), 0, source->index(group, 0));
}

QModelIndex ContactsListModel::mapFromSource(const QModelIndex &sourceIndex) const
{
    if (!source || !sourceIndex.isValid() || sourceIndex.model() != source || !sourceIndex.parent().isValid())
        return QModelIndex();
    const int group = sourceIndex.parent().row();
    if (group < 0 || group + 1 >= starts.size())
        return QModelIndex();
    return index(starts.at(group) + sourceIndex.row(), 0);
}

QVariant ContactsListModel::data(const QModelIndex &index, int role) const
{
    const QModelIndex sourceIndex = mapToSource(index);
    return sourceIndex.isValid() ? source->data(sourceIndex, role) : QVariant();
}

bool ContactsListModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (role != ContactsModels::RefreshRole)
        return false;
    const QModelIndex sourceIndex = mapToSource(index);
    return sourceIndex.isValid() && source->setData(sourceIndex, value, ContactsModels::RefreshRole);
}

void ContactsListModel::onDataChanged(const QModelIndex &topLeft, const QModelIndex &bottomRight)
{
    const QModelIndex first = mapFromSource(topLeft);
    const QModelIndex last = mapFromSource(bottomRight);
    if (first.isValid() && last.isValid())
        emit dataChanged(first, last);
}
