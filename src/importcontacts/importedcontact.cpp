#include "importedcontact.h"

bool ImportedContact::isEmpty() const
{
    return firstName.isEmpty() && middleName.isEmpty() && lastName.isEmpty() && nickname.isEmpty()
        && emails.isEmpty() && phones.isEmpty();
}

QString ImportedContact::displayName() const
{
    QStringList parts;
    for (const QString &part : { firstName, middleName, lastName }) {
        if (!part.trimmed().isEmpty())
            parts << part.trimmed();
    }
    if (!parts.isEmpty())
        return parts.join(QLatin1Char(' '));
    if (!nickname.trimmed().isEmpty())
        return nickname.trimmed();
    if (!emails.isEmpty())
        return emails.first();
    if (!phones.isEmpty())
        return phones.first();
    return QString();
}

bool ImportedContact::lessByName(const ImportedContact &a, const ImportedContact &b)
{
    if (a.firstName != b.firstName)
        return a.firstName < b.firstName;
    return a.lastName < b.lastName;
}

bool ImportedContact::operator==(const ImportedContact &other) const
{
    return firstName == other.firstName && middleName == other.middleName && lastName == other.lastName
        && nickname == other.nickname && emails == other.emails && phones == other.phones;
}
