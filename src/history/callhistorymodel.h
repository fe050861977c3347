#pragma once

#include <QAbstractListModel>
#include <QList>

#include "history/callhistoryevent.h"

// The call history as a one-column list for the history page.
class CallHistoryModel : public QAbstractListModel
{
    Q_OBJECT
public:
    enum Role {
        NumberRole = 33,
        NameRole = 34,
        IsTypeOneRole = 35,
        DurationRole = 36,
        TypeRole = 37,
        TimestampRole = 1032,
    };

    explicit CallHistoryModel(QObject *parent = nullptr);
    CallHistoryModel(const QList<CallHistoryEvent> &events, QObject *parent = nullptr);

    void setEvents(const QList<CallHistoryEvent> &events);
    QList<CallHistoryEvent> events() const { return rows; }

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QHash<int, QByteArray> roleNames() const override;

private:
    QList<CallHistoryEvent> rows;
};
