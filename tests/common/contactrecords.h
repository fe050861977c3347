#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include "rest/contact.h"
#include "rest/phonenumber.h"

// Builders of address-book records for the tests. Header-only: the tests that use it link talkvane_core.
namespace contacttesting {

inline PhoneNumber phone(const QString &number, int type = PhoneNumber::Home)
{
    PhoneNumber p;
    p.setType(type);
    p.setNumber(number);
    return p;
}

inline Contact contact(const QString &nick, const QString &group, const QString &first,
    const QString &last = QString(), const QStringList &numbers = {}, const QStringList &emails = {})
{
    Contact c;
    c.setNick(nick);
    c.setGroupName(group);
    c.setFirstName(first);
    c.setLastName(last);
    QList<PhoneNumber> phones;
    for (const QString &number : numbers)
        phones.append(phone(number));
    c.setPhones(phones);
    c.setEmails(emails);
    return c;
}

} // namespace contacttesting
