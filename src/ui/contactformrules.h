#pragma once

#include <QList>
#include <QRegExp>
#include <QString>

#include "rest/contact.h"
#include "rest/phonenumber.h"

// The input rules of the contact and group dialogs, free of widgets so that they can be tested alone.
namespace ContactFormRules {

// The contact dialog has this many phone rows; a contact may hold more phones than that.
constexpr int maxPhoneRows = 5;

QRegExp emailExpression();
// The whole number as typed, checked on save.
QRegExp phoneExpression();
// What the phone field lets the user type at all.
QRegExp phoneInputExpression();
// What the group name field lets the user type at all.
QRegExp groupInputExpression();
// A group name, checked on save.
QRegExp groupNameExpression();
// "phoneNumberWidget_3" and the like: repeated form rows carry a 1-based suffix.
QRegExp widgetIndexExpression();

// Each takes the text as the user left it and trims it first.
bool isValidEmail(const QString &text);
bool isValidPhone(const QString &text);
bool isValidGroupName(const QString &text);

// The zero-based row of a repeated widget from its object name; -1 when the name has no suffix.
int widgetRow(const QString &objectName);

// A number as the service stores it: trimmed, without any "+" or "-".
QString storedNumber(const QString &typed);

// What the contact dialog shows and edits.
struct ContactForm
{
    QString firstName;
    QString lastName;
    QString email;
    QString address;
    QString groupName;
    // One per visible row, numbers already in stored form.
    QList<PhoneNumber> phones;
};

// A new contact from the form. An empty e-mail field gives no e-mail at all.
Contact newContact(const ContactForm &form);

// The stored contact with the form's changes: everything the dialog does not show is kept - the other
// e-mail addresses, the phones beyond the dialog's rows, the remaining address fields - and a phone
// whose row kept its type keeps its type text.
Contact editedContact(const Contact &stored, const ContactForm &form);

} // namespace ContactFormRules
