#include "rest/balance.h"

#include <QVariantMap>

#include "rest/restfields.h"

Balance::Balance() : RestObj(classTag("Balance")) { }

Balance::Balance(const QVariant &value) : RestObj(classTag("Balance"), value)
{
    Balance::fromVariant(value);
}

QVariant Balance::toVariant() const
{
    QVariantMap map = RestObj::toVariant().toMap();
    map.insert(QStringLiteral("credit"), m_credit);
    map.insert(QStringLiteral("currency"), m_currency);
    map.insert(QStringLiteral("currencySymbol"), m_currencySymbol);
    return map;
}

void Balance::fromVariant(const QVariant &value)
{
    const QVariantMap map = value.toMap();
    m_credit = map.value(QStringLiteral("credit")).toDouble();
    m_currency = restfields::utf8(map, QStringLiteral("currency"));
    m_currencySymbol = restfields::utf8(map, QStringLiteral("currencySymbol"));
}
