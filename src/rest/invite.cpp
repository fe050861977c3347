#include "rest/invite.h"

#include <QVariantMap>

#include "rest/restfields.h"

Invite::Invite() : RestObj(classTag("Invite")) { }

Invite::Invite(const QVariant &value) : RestObj(classTag("Invite"), value)
{
    Invite::fromVariant(value);
}

QVariant Invite::toVariant() const
{
    QVariantMap map = RestObj::toVariant().toMap();
    map.insert(QStringLiteral("fromEmail"), m_fromEmail);
    map.insert(QStringLiteral("toEmails"), m_toEmails);
    map.insert(QStringLiteral("fullName"), m_fullName);
    map.insert(QStringLiteral("userSubject"), m_userSubject);
    map.insert(QStringLiteral("userMessage"), m_userMessage);
    map.insert(QStringLiteral("showNumberOfContacts"), m_showNumberOfContacts);
    map.insert(QStringLiteral("numberOfContacts"), m_numberOfContacts);
    map.insert(QStringLiteral("showCityOrCountry"), m_showCityOrCountry);
    map.insert(QStringLiteral("showPhoneNumber"), m_showPhoneNumber);
    map.insert(QStringLiteral("showVeskShopDetails"), m_showVeskShopDetails);
    map.insert(QStringLiteral("showVeskNumbersDetails"), m_showVeskNumbersDetails);
    map.insert(QStringLiteral("showCallForwardingDetails"), m_showCallForwardingDetails);
    map.insert(QStringLiteral("showVoicemailDetails"), m_showVoicemailDetails);
    return map;
}

void Invite::fromVariant(const QVariant &value)
{
    const QVariantMap map = value.toMap();
    m_fromEmail = restfields::asIs(map, QStringLiteral("fromEmail"));
    m_toEmails = restfields::stringList(map, QStringLiteral("toEmails"));
    m_fullName = restfields::utf8(map, QStringLiteral("fullName"));
    m_userSubject = restfields::utf8(map, QStringLiteral("userSubject"));
    m_userMessage = restfields::utf8(map, QStringLiteral("userMessage"));
    m_showNumberOfContacts = map.value(QStringLiteral("showNumberOfContacts")).toBool();
    m_numberOfContacts = map.value(QStringLiteral("numberOfContacts")).toInt();
    m_showCityOrCountry = map.value(QStringLiteral("showCityOrCountry")).toBool();
    m_showPhoneNumber = map.value(QStringLiteral("showPhoneNumber")).toBool();
    m_showVeskShopDetails = map.value(QStringLiteral("showVeskShopDetails")).toBool();
    m_showVeskNumbersDetails = map.value(QStringLiteral("showVeskNumbersDetails")).toBool();
    m_showCallForwardingDetails = map.value(QStringLiteral("showCallForwardingDetails")).toBool();
    m_showVoicemailDetails = map.value(QStringLiteral("showVoicemailDetails")).toBool();
}
