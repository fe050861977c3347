#include "rest/sms.h"

#include <QVariantMap>

#include "rest/restfields.h"

SMS::SMS() : RestObj(classTag("SMS")) { }

SMS::SMS(const QVariant &value) : RestObj(classTag("SMS"), value)
{
    SMS::fromVariant(value);
}

QVariant SMS::toVariant() const
{
    QVariantMap map = RestObj::toVariant().toMap();
    map.insert(QStringLiteral("destinationNumbers"), m_destinationNumbers);
    map.insert(QStringLiteral("text"), m_text);
    return map;
}

void SMS::fromVariant(const QVariant &value)
{
    const QVariantMap map = value.toMap();
    m_destinationNumbers = restfields::stringList(map, QStringLiteral("destinationNumbers"));
    m_text = restfields::utf8(map, QStringLiteral("text"));
}
