#include "rest/restobj.h"

#include <QVariantMap>

#include "rest/restfields.h"

QString RestObj::classTag(const char *className)
{
    return QLatin1String("com.zorvanglobe.phone.integration.") + QLatin1String(className);
}

RestObj::RestObj(const QString &className) : m_className(className) { }

RestObj::RestObj(const QString &className, const QVariant &value) : m_className(className)
{
    readErrorMembers(value);
}

RestObj::~RestObj() = default;

QVariant RestObj::toVariant() const
{
    QVariantMap map;
    map.insert(QStringLiteral("class"), m_className);
    return map;
}

void RestObj::fromVariant(const QVariant &) { }

void RestObj::readErrorMembers(const QVariant &value)
{
    const QVariantMap map = value.toMap();
    m_errorMessage = restfields::asIs(map, QStringLiteral("errorMessage"));
    const QVariantList errors = map.value(QStringLiteral("fieldErrors")).toList();
    for (const QVariant &error : errors) {
        const QVariantMap entry = error.toMap();
        m_fieldErrors.append({ restfields::asIs(entry, QStringLiteral("field")),
            restfields::asIs(entry, QStringLiteral("errorCode")) });
    }
    const QVariantList hints = map.value(QStringLiteral("fieldHints")).toList();
    for (const QVariant &hint : hints) {
        const QVariantMap entry = hint.toMap();
        m_fieldHints.append({ restfields::asIs(entry, QStringLiteral("field")),
            restfields::asIs(entry, QStringLiteral("code")),
            restfields::stringList(entry, QStringLiteral("arguments")) });
    }
}
