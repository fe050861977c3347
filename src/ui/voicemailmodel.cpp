#include "voicemailmodel.h"

VoicemailModel::VoicemailModel(QObject *parent)
    : QAbstractListModel(parent)
{
}

void VoicemailModel::setEntries(const QList<Entry> &entries)
{
    beginResetModel();
    rows = entries;
    endResetModel();
}

VoicemailModel::Entry VoicemailModel::entry(int row) const
{
    return row >= 0 && row < rows.size() ? rows.at(row) : Entry();
}

void VoicemailModel::setPlayState(int row, int state)
{
    if (row < 0 || row >= rows.size() || rows.at(row).playState == state)
        return;
    rows[row].playState = state;
    emit dataChanged(index(row), index(row), { PlayStateRole });
}

void VoicemailModel::clear()
{
    setEntries({});
}

int VoicemailModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : rows.size();
}

QVariant VoicemailModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= rows.size())
        return QVariant();
    const Entry &row = rows.at(index.row());
    switch (role) {
    case Qt::DisplayRole:
    case NumberRole:
        return row.number;
    case LengthRole:
        return row.length;
    case PlayStateRole:
        return row.playState;
    case TimestampRole:
        return row.timestamp;
    default:
        return QVariant();
    }
}
