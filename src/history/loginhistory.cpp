#include "loginhistory.h"

#include <QSqlQuery>
#include <QVariant>

LoginHistory::LoginHistory(QObject *parent) : QObject(parent) { }

QStringList LoginHistory::names() const
{
    QSqlQuery query;
    query.exec(QStringLiteral("select name from last_login"));
    QStringList names;
    while (query.next())
        names.append(query.value(0).toString());
    return names;
}

void LoginHistory::add(const QString &name)
{
    if (names().contains(name, Qt::CaseSensitive))
        return;
    QSqlQuery query;
    query.prepare(QStringLiteral("insert or replace into last_login (name) values (:value)"));
    query.bindValue(QStringLiteral(":value"), name);
    query.exec();
}

void LoginHistory::clear()
{
    QSqlQuery query;
    query.exec(QStringLiteral("delete from last_login"));
}
