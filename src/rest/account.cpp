#include "rest/account.h"

#include <QVariantMap>

#include "rest/restfields.h"

Account::Account() : RestObj(classTag("Account")) { }

Account::Account(const QVariant &value) : RestObj(classTag("Account"), value)
{
    Account::fromVariant(value);
}

QVariant Account::toVariant() const
{
    QVariantMap map = RestObj::toVariant().toMap();
    map.insert(QStringLiteral("companyId"), m_companyId);
    map.insert(QStringLiteral("country"), m_country);
    map.insert(QStringLiteral("emails"), m_emails);
    map.insert(QStringLiteral("language"), m_language);
    map.insert(QStringLiteral("lastName"), m_lastName);
    map.insert(QStringLiteral("firstName"), m_firstName);
    map.insert(QStringLiteral("username"), m_username);
    map.insert(QStringLiteral("password"), m_password);
    map.insert(QStringLiteral("sipDomain"), m_sipDomain);
    map.insert(QStringLiteral("sipUser"), m_sipUser);
    map.insert(QStringLiteral("sipPassword"), m_sipPassword);
    map.insert(QStringLiteral("phones"), m_phones);
    return map;
}

void Account::fromVariant(const QVariant &value)
{
    const QVariantMap map = value.toMap();
    m_companyId = restfields::asIs(map, QStringLiteral("companyId"));
    m_country = restfields::asIs(map, QStringLiteral("country"));
    m_emails = restfields::stringList(map, QStringLiteral("emails"));
    m_language = restfields::asIs(map, QStringLiteral("language"));
    m_lastName = restfields::asIs(map, QStringLiteral("lastName"));
    m_firstName = restfields::asIs(map, QStringLiteral("firstName"));
    m_username = restfields::asIs(map, QStringLiteral("username"));
    m_password = restfields::asIs(map, QStringLiteral("password"));
    m_sipDomain = restfields::asIs(map, QStringLiteral("sipDomain"));
    m_sipUser = restfields::asIs(map, QStringLiteral("sipUser"));
    m_sipPassword = restfields::asIs(map, QStringLiteral("sipPassword"));
    m_phones = restfields::stringList(map, QStringLiteral("phones"));
}
