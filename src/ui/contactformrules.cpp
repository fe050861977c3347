#include "ui/contactformrules.h"

#include <QStringList>

namespace ContactFormRules {

QRegExp emailExpression()
{
    return QRegExp(QStringLiteral("\\b[A-Z0-9._%+-]+@[A-Z0-9.-]+\\.[A-Z]{2,4}\\b"), Qt::CaseInsensitive,
        QRegExp::RegExp);
}

QRegExp phoneExpression()
{
    return QRegExp(
        QStringLiteral("^\\+?(([17]\\-\\d\\d[0-9\\-]{0,11}\\d)|([0-9]{2,3}(?=(\\-\\d\\d\\d)|(\\d\\d\\d))"
                       "\\-?\\d\\d[0-9\\-]{0,12}\\d))$"),
        Qt::CaseSensitive, QRegExp::RegExp);
}

QRegExp phoneInputExpression()
{
    return QRegExp(QStringLiteral("\\+?[0-9\\-]*"), Qt::CaseSensitive, QRegExp::RegExp);
}

QRegExp groupInputExpression()
{
    return QRegExp(QStringLiteral("[\\w_]{,20}"), Qt::CaseSensitive, QRegExp::RegExp);
}

QRegExp groupNameExpression()
{
    return QRegExp(QStringLiteral("[\\w_]+"), Qt::CaseSensitive, QRegExp::RegExp);
}

QRegExp widgetIndexExpression()
{
    return QRegExp(QStringLiteral("\\w+_(\\d+)"), Qt::CaseSensitive, QRegExp::RegExp);
}

bool isValidEmail(const QString &text)
{
    return emailExpression().exactMatch(text.trimmed());
}

bool isValidPhone(const QString &text)
{
    return phoneExpression().exactMatch(text.trimmed());
}

bool isValidGroupName(const QString &text)
{
    return groupNameExpression().exactMatch(text.trimmed());
}

int widgetRow(const QString &objectName)
{
    QRegExp expression = widgetIndexExpression();
    if (!expression.exactMatch(objectName))
        return -1;
    bool ok = false;
    const int number = expression.cap(1).toInt(&ok);
    return ok && number > 0 ? number - 1 : -1;
}

QString storedNumber(const QString &typed)
{
    QString number = typed.trimmed();
    number.remove(QLatin1Char('+'));
    number.remove(QLatin1Char('-'));
    return number;
}

Contact newContact(const ContactForm &form)
{
    Contact contact;
    contact.setFirstName(form.firstName.trimmed());
    contact.setLastName(form.lastName.trimmed());
    contact.setAddressLine1(form.address.trimmed());
    const QString email = form.email.trimmed();
    contact.setEmails(email.isEmpty() ? QStringList() : QStringList { email });
    contact.setGroupName(form.groupName);
    contact.setPhones(form.phones);
    return contact;
}

Contact editedContact(const Contact &stored, const ContactForm &form)
{
    Contact contact = stored;
    contact.setFirstName(form.firstName.trimmed());
    contact.setLastName(form.lastName.trimmed());
    contact.setAddressLine1(form.address.trimmed());
    contact.setGroupName(form.groupName);

    // The field shows the first address only: it replaces that one, an emptied field removes it.
    QStringList emails = stored.emails();
    const QString email = form.email.trimmed();
    if (emails.isEmpty()) {
        if (!email.isEmpty())
            emails.append(email);
    } else if (email.isEmpty()) {
        emails.removeFirst();
    } else {
        emails[0] = email;
    }
    contact.setEmails(emails);

    const QList<PhoneNumber> storedPhones = stored.phones();
    QList<PhoneNumber> phones;
    for (int i = 0; i < form.phones.size(); ++i) {
        const PhoneNumber &edited = form.phones.at(i);
        if (i < storedPhones.size() && storedPhones.at(i).type() == edited.type()) {
            PhoneNumber kept = storedPhones.at(i);
            kept.setNumber(edited.number());
            phones.append(kept);
        } else {
            phones.append(edited);
        }
    }
    // The rows cover the first phones only; the ones beyond them were not shown and stay as they are.
    for (int i = maxPhoneRows; i < storedPhones.size(); ++i)
        phones.append(storedPhones.at(i));
    contact.setPhones(phones);
    return contact;
}

} // namespace ContactFormRules
