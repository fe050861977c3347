#include "rest/phonenumber.h"

#include <QVariantMap>

#include "rest/restfields.h"

PhoneNumber::PhoneNumber() : RestObj(classTag("PhoneNumber")) { }

PhoneNumber::PhoneNumber(const QVariant &value) : RestObj(classTag("PhoneNumber"), value)
{
    PhoneNumber::fromVariant(value);
}

QVariant PhoneNumber::toVariant() const
{
    QVariantMap map = RestObj::toVariant().toMap();
    map.insert(QStringLiteral("type"), m_typeName);
    map.insert(QStringLiteral("number"), m_number);
    return map;
}

void PhoneNumber::fromVariant(const QVariant &value)
{
    const QVariantMap map = value.toMap();
    setTypeName(restfields::asIs(map, QStringLiteral("type")));
    m_number = restfields::asIs(map, QStringLiteral("number"));
}

PhoneNumber::Type PhoneNumber::typeFromName(const QString &typeName)
{
    if (typeName == QLatin1String("WORK"))
        return Work;
    if (typeName == QLatin1String("CELL"))
        return Cell;
    return Home;
}

void PhoneNumber::setType(int type)
{
    switch (type) {
    case Work:
        m_type = Work;
        m_typeName = QStringLiteral("WORK");
        break;
    case Cell:
        m_type = Cell;
        m_typeName = QStringLiteral("CELL");
        break;
    default:
        m_type = Home;
        m_typeName = QStringLiteral("HOME");
        break;
    }
}

void PhoneNumber::setTypeName(const QString &typeName)
{
    m_typeName = typeName;
    m_type = typeFromName(typeName);
}
