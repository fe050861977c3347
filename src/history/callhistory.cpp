#include "callhistory.h"

#include <QSqlQuery>
#include <QVariant>

#include "history/contactnamelookup.h"
#include "util/log.h"

CallHistory::CallHistory(QObject *parent) : QObject(parent)
{
    qRegisterMetaType<CallHistoryEvent>("CallHistoryEvent");
}

void CallHistory::setContactNameLookup(const ContactNameLookup *lookup)
{
    nameLookup = lookup;
    stale = true;
}

QList<CallHistoryEvent> CallHistory::events()
{
    if (!stale)
        return cache;
    QSqlQuery query;
    query.exec(QStringLiteral("select timestamp, phone_number, type, duration from call_history"));
    LOG_TRACE << "Refreshing call history...";
    QList<CallHistoryEvent> events;
    while (query.next()) {
        CallHistoryEvent event;
        event.type = query.value(2).toInt();
        event.timestamp = QDateTime::fromString(query.value(0).toString(), timestampFormat());
        event.number = query.value(1).toString();
        event.duration = QTime::fromString(query.value(3).toString(), durationFormat());
        if (nameLookup)
            event.name = nameLookup->nickForNumber(event.number);
        event.isTypeOne = event.type == CallHistoryEvent::OutgoingCall;
        events.append(event);
    }
    cache = events;
    stale = false;
    return cache;
}

void CallHistory::addEvent(QString number, QTime duration, CallHistoryEvent::EventType type)
{
    QSqlQuery query;
    query.prepare(
        QStringLiteral("insert or replace into call_history (timestamp, phone_number, type, duration) "
                       "values(:timestamp, :number, :type, :duration)"));
    query.bindValue(QStringLiteral(":timestamp"), now().toString(timestampFormat()));
    query.bindValue(QStringLiteral(":number"), number);
    query.bindValue(QStringLiteral(":type"), int(type));
    query.bindValue(QStringLiteral(":duration"), duration.toString(durationFormat()));
    stale = query.exec();
    if (stale)
        emit newEventOccurred();
}

void CallHistory::addEvent(CallHistoryEvent event)
{
    addEvent(event.number, event.duration, CallHistoryEvent::EventType(event.type));
}

void CallHistory::clearHistory()
{
    QSqlQuery query;
    stale = query.exec(QStringLiteral("delete from call_history"));
    if (stale)
        emit newEventOccurred();
}
