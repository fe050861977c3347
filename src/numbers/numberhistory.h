#pragma once

#include <QList>
#include <QObject>
#include <QStringList>

#include "numbers/numberrecord.h"
#include "util/clock.h"

// The `number_history` table: recently dialled numbers, one row per number (dialling it again
// updates its nick and time). The list is cached and re-read after a change.
class NumberHistory : public QObject
{
    Q_OBJECT
public:
    explicit NumberHistory(QObject *parent = nullptr);

    static constexpr int recentLimit = 16;

    // The newest numbers first, at most recentLimit.
    QList<NumberRecord> lastFewNumbersOrderedDescendingByTimestamp();
    QStringList lastFewNumbers();

    void setClock(Clock clock) { now = std::move(clock); }

public slots:
    void addNumber(QString number, QString nick);
    void addNumber(QString number);

signals:
    void numberAdded(QString number);

private:
    bool stale = true;
    QList<NumberRecord> cache;
    Clock now = systemClock();
};
