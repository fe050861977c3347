#include "rest/contact.h"

#include <atomic>

#include <QDateTime>
#include <QVariantMap>

#include "rest/restfields.h"

Contact::Contact() : RestObj(classTag("Contact")) { }

Contact::Contact(const QVariant &value) : RestObj(classTag("Contact"), value)
{
    Contact::fromVariant(value);
}

QVariant Contact::toVariant() const
{
    QVariantMap map = RestObj::toVariant().toMap();
    map.insert(QStringLiteral("nick"), m_nick);
    map.insert(QStringLiteral("groupName"), m_groupName);
    map.insert(QStringLiteral("firstName"), m_firstName);
    map.insert(QStringLiteral("lastName"), m_lastName);
    map.insert(QStringLiteral("addressLine1"), m_addressLine1);
    map.insert(QStringLiteral("addressLine2"), m_addressLine2);
    map.insert(QStringLiteral("city"), m_city);
    map.insert(QStringLiteral("state"), m_state);
    map.insert(QStringLiteral("postalCode"), m_postalCode);
    map.insert(QStringLiteral("country"), m_country);
    map.insert(QStringLiteral("emails"), m_emails);
    map.insert(QStringLiteral("birthDate"), m_birthDate);
    if (!m_phones.isEmpty()) {
        QVariantList phones;
        for (const PhoneNumber &phone : m_phones)
            phones.append(phone.toVariant());
        map.insert(QStringLiteral("phones"), phones);
    }
    map.insert(QStringLiteral("sipUser"), m_sipUser);
    return map;
}

void Contact::fromVariant(const QVariant &value)
{
    const QVariantMap map = value.toMap();
    m_nick = restfields::utf8(map, QStringLiteral("nick"));
    m_groupName = restfields::utf8(map, QStringLiteral("groupName"));
    m_firstName = restfields::utf8(map, QStringLiteral("firstName"));
    m_lastName = restfields::utf8(map, QStringLiteral("lastName"));
    m_addressLine1 = restfields::utf8(map, QStringLiteral("addressLine1"));
    m_addressLine2 = restfields::utf8(map, QStringLiteral("addressLine2"));
    m_city = restfields::utf8(map, QStringLiteral("city"));
    m_state = restfields::utf8(map, QStringLiteral("state"));
    m_postalCode = restfields::asIs(map, QStringLiteral("postalCode"));
    m_country = restfields::utf8(map, QStringLiteral("country"));
    setEmails(restfields::stringList(map, QStringLiteral("emails")));
    m_birthDate = map.value(QStringLiteral("birthDate")).toDate();
    const QVariantList phones = map.value(QStringLiteral("phones")).toList();
    for (const QVariant &phone : phones)
        m_phones.append(PhoneNumber(phone));
    m_sipUser = restfields::asIs(map, QStringLiteral("sipUser"));
}

namespace {

// Milliseconds since the epoch, bumped past the last value handed out so that two nicks made within the
// same millisecond still differ.
qint64 uniqueTimeStamp()
{
    static std::atomic<qint64> last { 0 };
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    qint64 previous = last.load();
    qint64 next;
    do {
        next = qMax(now, previous + 1);
    } while (!last.compare_exchange_weak(previous, next));
    return next;
}

} // namespace

void Contact::setEmails(const QStringList &emails)
{
    // A blank address is no address: keeping it would make every contact without an e-mail share one.
    m_emails.clear();
    for (const QString &email : emails) {
        if (!email.trimmed().isEmpty())
            m_emails.append(email);
    }
}

QString Contact::displayName() const
{
    if (!m_firstName.isEmpty() && !m_lastName.isEmpty())
        return m_firstName + QLatin1Char(' ') + m_lastName;
    if (!m_firstName.isEmpty())
        return m_firstName;
    if (!m_lastName.isEmpty())
        return m_lastName;
    return m_nick;
}

QString Contact::generateNick() const
{
    QString name = m_firstName;
    if (name.isEmpty())
        name = m_lastName;
    const QString number = m_phones.isEmpty() ? QString() : m_phones.first().number();
    if (name.isEmpty() && number.isEmpty())
        name = QStringLiteral("contact");
    return name + number + QString::number(uniqueTimeStamp());
}

QStringList Contact::phoneNumbers() const
{
    QStringList numbers;
    numbers.reserve(m_phones.size());
    for (const PhoneNumber &phone : m_phones)
        numbers.append(phone.number());
    return numbers;
}

QVariantList Contact::phoneTypes() const
{
    QVariantList types;
    types.reserve(m_phones.size());
    for (const PhoneNumber &phone : m_phones)
        types.append(int(phone.type()));
    return types;
}
