#pragma once

#include <QList>
#include <QObject>
#include <QTime>

#include "history/callhistoryevent.h"
#include "util/clock.h"

class ContactNameLookup;

// The `call_history` table. One row per call, keyed by the second it was recorded in: a second
// event in the same second replaces the first. The list is cached and re-read after a change.
class CallHistory : public QObject
{
    Q_OBJECT
public:
    explicit CallHistory(QObject *parent = nullptr);

    // In table order; names looked up when the table is read.
    QList<CallHistoryEvent> events();

    // Not owned; must outlive this store or be reset to null first.
    void setContactNameLookup(const ContactNameLookup *lookup);
    void setClock(Clock clock) { now = std::move(clock); }
    // Forces the next events() to read the table again (for instance after the contacts changed).
    void markStale() { stale = true; }

    static QString timestampFormat() { return QStringLiteral("yyyy-MM-dd HH:mm:ss"); }
    static QString durationFormat() { return QStringLiteral("HH:mm:ss"); }

public slots:
    void addEvent(QString number, QTime duration, CallHistoryEvent::EventType type);
    void addEvent(CallHistoryEvent event);
    void clearHistory();

signals:
    void newEventOccurred();

private:
    bool stale = true;
    QList<CallHistoryEvent> cache;
    const ContactNameLookup *nameLookup = nullptr;
    Clock now = systemClock();
};
