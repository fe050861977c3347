#include "rest/onlinenumber.h"

#include <QDateTime>
#include <QVariantMap>

#include "rest/restfields.h"

OnlineNumber::OnlineNumber() : RestObj(classTag("OnlineNumber")) { }

OnlineNumber::OnlineNumber(const QVariant &value) : RestObj(classTag("OnlineNumber"), value)
{
    OnlineNumber::fromVariant(value);
}

QVariant OnlineNumber::toVariant() const
{
    QVariantMap map = RestObj::toVariant().toMap();
    map.insert(QStringLiteral("number"), m_number);
    map.insert(QStringLiteral("expirationDate"), dateToMsecs(m_expirationDate));
    map.insert(QStringLiteral("status"), m_status);
    return map;
}

void OnlineNumber::fromVariant(const QVariant &value)
{
    const QVariantMap map = value.toMap();
    m_number = restfields::asIs(map, QStringLiteral("number"));
    m_expirationDate = msecsToDate(map.value(QStringLiteral("expirationDate")).toLongLong());
    m_status = restfields::asIs(map, QStringLiteral("status"));
}

QDate OnlineNumber::msecsToDate(qint64 msecs)
{
    return QDateTime::fromMSecsSinceEpoch(msecs, Qt::LocalTime).date();
}

QVariant OnlineNumber::dateToMsecs(const QDate &date)
{
    if (!date.isValid())
        return QVariant();
    // startOfDay() also copes with days whose midnight falls into a daylight-saving gap.
    return qlonglong(date.startOfDay(Qt::LocalTime).toMSecsSinceEpoch());
}
