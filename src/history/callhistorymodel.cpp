#include "callhistorymodel.h"

CallHistoryModel::CallHistoryModel(QObject *parent) : QAbstractListModel(parent) { }

CallHistoryModel::CallHistoryModel(const QList<CallHistoryEvent> &events, QObject *parent)
    : QAbstractListModel(parent), rows(events)
{ }

void CallHistoryModel::setEvents(const QList<CallHistoryEvent> &events)
{
    beginResetModel();
    rows = events;
    endResetModel();
}

int CallHistoryModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : rows.size();
}

QVariant CallHistoryModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.parent().isValid() || index.row() < 0 || index.row() >= rows.size()
        || index.column() != 0)
        return QVariant();
    const CallHistoryEvent &event = rows.at(index.row());
    switch (role) {
    case Qt::DisplayRole:
    case NumberRole:
        return event.number;
    case NameRole:
        return event.name;
    case IsTypeOneRole:
        return event.isTypeOne;
    case DurationRole:
        return event.duration;
    case TypeRole:
        return event.type;
    case TimestampRole:
        return event.timestamp;
    default:
        return QVariant();
    }
}

QHash<int, QByteArray> CallHistoryModel::roleNames() const
{
    QHash<int, QByteArray> names = QAbstractListModel::roleNames();
    names.insert(NumberRole, "number");
    names.insert(NameRole, "name");
    names.insert(IsTypeOneRole, "isTypeOne");
    names.insert(DurationRole, "duration");
    names.insert(TypeRole, "type");
    names.insert(TimestampRole, "timestamp");
    return names;
}
