#include "historyfiltermodel.h"

#include <QDateTime>

#include "history/callhistorymodel.h"

HistoryFilterModel::HistoryFilterModel(QObject *parent) : QSortFilterProxyModel(parent)
{
    setSortRole(CallHistoryModel::TimestampRole);
    refreshTimer.setInterval(defaultRefreshInterval);
    connect(&refreshTimer, &QTimer::timeout, this, &HistoryFilterModel::refresh);
    refreshTimer.start();
}

void HistoryFilterModel::setFilterMode(int newMode)
{
    mode = newMode;
    invalidateFilter();
}

void HistoryFilterModel::refresh()
{
    invalidate();
}

bool HistoryFilterModel::filterAcceptsRow(int sourceRow, const QModelIndex &sourceParent) const
{
    if (mode == LastDay || mode == LastSevenDays) {
        const QModelIndex index = sourceModel()->index(sourceRow, 0, sourceParent);
        const QDateTime timestamp = sourceModel()->data(index, CallHistoryModel::TimestampRole).toDateTime();
        const QDateTime limit = now().addDays(mode == LastDay ? -1 : -7);
        if (timestamp < limit)
            return false;
    }
    return QSortFilterProxyModel::filterAcceptsRow(sourceRow, sourceParent);
}
