#pragma once

// A large address book for the contact benchmarks: 10,000 contacts in 50 groups, one to three numbers
// each, first names that repeat with a number so that searches find scattered matches.

#include <QList>
#include <QString>

#include "rest/contact.h"
#include "rest/group.h"
#include "rest/phonenumber.h"

namespace largebook {

const int groupCount = 50;
const int contactCount = 10000;

inline QList<Group> makeGroups()
{
    QList<Group> groups;
    groups << Group(QStringLiteral("Work")) << Group(QStringLiteral("Family"))
           << Group(QStringLiteral("Friends"));
    for (int g = groups.size(); g < groupCount; ++g)
        groups << Group(QStringLiteral("Group%1").arg(g, 2, 10, QLatin1Char('0')));
    return groups;
}

inline QList<Contact> makeContacts(const QList<Group> &groups)
{
    static const char *const firstNames[] = { "Ann", "Bob", "Cyd", "Dora", "Eli", "Fay", "Gus", "Hana", "Ivo",
        "Jana", "Kai", "Lena", "Milo", "Nora", "Otto", "Pia", "Quinn", "Rosa", "Sven", "Tara" };
    static const char *const lastNames[] = { "Lee", "Ng", "Ray", "Smith", "Jones", "Novak", "Berg", "Costa",
        "Dahl", "Eder", "Frey", "Gage", "Holm", "Ito", "Jung", "Kohl", "Lund", "Moss", "Nash", "Orr", "Pike",
        "Rossi", "Sato", "Voss" };
    QList<Contact> contacts;
    contacts.reserve(contactCount);
    for (int i = 0; i < contactCount; ++i) {
        Contact c;
        c.setNick(QStringLiteral("nick%1").arg(i, 5, 10, QLatin1Char('0')));
        c.setGroupName(groups.at(i % groups.size()).name());
        c.setFirstName(QString::fromLatin1(firstNames[i % 20]) + QString::number(i % 97));
        c.setLastName(QString::fromLatin1(lastNames[(i / 20) % 24]));
        c.setEmails({ QStringLiteral("user%1@example.org").arg(i) });
        QList<PhoneNumber> phones;
        for (int p = 0; p <= i % 3; ++p) {
            PhoneNumber phone;
            phone.setType(p);
            phone.setNumber(QStringLiteral("+49301%1%2").arg(i, 6, 10, QLatin1Char('0')).arg(p));
            phones << phone;
        }
        c.setPhones(phones);
        contacts << c;
    }
    return contacts;
}

} // namespace largebook
