#include "rest/group.h"

#include <QVariantMap>

#include "rest/restfields.h"

Group::Group(const QString &name) : RestObj(classTag("Group")), m_name(name) { }

Group::Group(const QVariant &value) : RestObj(classTag("Group"), value)
{
    Group::fromVariant(value);
}

QVariant Group::toVariant() const
{
    QVariantMap map = RestObj::toVariant().toMap();
    map.insert(QStringLiteral("name"), m_name);
    return map;
}

void Group::fromVariant(const QVariant &value)
{
    const QVariantMap map = value.toMap();
    m_name = restfields::utf8(map, QStringLiteral("name"));
}
