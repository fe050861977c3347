#include "numberhistory.h"

#include <QSqlQuery>
#include <QVariant>

#include "util/log.h"

namespace {
const QString timestampFormat = QStringLiteral("yyyy-MM-dd HH:mm:ss");
}

NumberHistory::NumberHistory(QObject *parent) : QObject(parent)
{
    qRegisterMetaType<NumberRecord>("NumberRecord");
}

QList<NumberRecord> NumberHistory::lastFewNumbersOrderedDescendingByTimestamp()
{
    if (!stale)
        return cache;
    LOG_TRACE << "Refreshing recent numbers...";
    QSqlQuery query;
    query.prepare(QStringLiteral("select phone_number, contact_nick, timestamp from number_history "
                                 "order by timestamp desc limit :limit"));
    query.bindValue(QStringLiteral(":limit"), recentLimit);
    query.exec();
    QList<NumberRecord> records;
    while (query.next()) {
        NumberRecord record;
        record.number = query.value(0).toString();
        record.nick = query.value(1).toString();
        record.timestamp = QDateTime::fromString(query.value(2).toString(), timestampFormat);
        records.append(record);
    }
    cache = records;
    stale = false;
    return cache;
}

QStringList NumberHistory::lastFewNumbers()
{
    QStringList numbers;
    const QList<NumberRecord> records = lastFewNumbersOrderedDescendingByTimestamp();
    for (const NumberRecord &record : records)
        numbers.append(record.number);
    return numbers;
}

void NumberHistory::addNumber(QString number, QString nick)
{
    LOG_TRACE << "inserting number:" << number << ", and nick:" << nick;
    QSqlQuery query;
    query.prepare(
        QStringLiteral("insert or replace into number_history (phone_number, contact_nick, timestamp) "
                       "values (:number, :nick, :timestamp)"));
    query.bindValue(QStringLiteral(":number"), number);
    query.bindValue(QStringLiteral(":nick"), nick);
    query.bindValue(QStringLiteral(":timestamp"), now().toString(timestampFormat));
    stale = query.exec();
    if (stale)
        emit numberAdded(number);
}

void NumberHistory::addNumber(QString number)
{
    addNumber(number, QString());
}
