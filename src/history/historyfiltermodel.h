#pragma once

#include <QSortFilterProxyModel>
#include <QTimer>

#include "util/clock.h"

// Sorts the call history by time and hides rows older than the chosen period. A repeating timer
// re-applies the filter, so that rows age out of the day and week views while the program runs.
class HistoryFilterModel : public QSortFilterProxyModel
{
    Q_OBJECT
public:
    enum FilterMode {
        AllTime = 0,
        LastDay = 1,
        LastSevenDays = 2,
    };

    static constexpr int defaultRefreshInterval = 60000;

    explicit HistoryFilterModel(QObject *parent = nullptr);

    int filterMode() const { return mode; }
    void setFilterMode(int mode);

    void setClock(Clock clock) { now = std::move(clock); }
    int refreshInterval() const { return refreshTimer.interval(); }
    void setRefreshInterval(int milliseconds) { refreshTimer.setInterval(milliseconds); }

public slots:
    // Re-applies the filter against the current time.
    void refresh();

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex &sourceParent) const override;

private:
    int mode = AllTime;
    Clock now = systemClock();
    QTimer refreshTimer;
};
