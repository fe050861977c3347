#pragma once

#include <QMetaType>
#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

#include "rest/phonenumber.h"
#include "rest/restobj.h"

// An address-book entry. The nick is its identity on the web service.
class Contact : public RestObj
{
public:
    Contact();
    explicit Contact(const QVariant &value);

    QVariant toVariant() const override;
    void fromVariant(const QVariant &value) override;

    QString nick() const { return m_nick; }
    void setNick(const QString &nick) { m_nick = nick; }
    QString groupName() const { return m_groupName; }
    void setGroupName(const QString &groupName) { m_groupName = groupName; }
    QString firstName() const { return m_firstName; }
    void setFirstName(const QString &firstName) { m_firstName = firstName; }
    QString lastName() const { return m_lastName; }
    void setLastName(const QString &lastName) { m_lastName = lastName; }
    QString addressLine1() const { return m_addressLine1; }
    void setAddressLine1(const QString &addressLine1) { m_addressLine1 = addressLine1; }
    QString addressLine2() const { return m_addressLine2; }
    void setAddressLine2(const QString &addressLine2) { m_addressLine2 = addressLine2; }
    QString city() const { return m_city; }
    void setCity(const QString &city) { m_city = city; }
    QString state() const { return m_state; }
    void setState(const QString &state) { m_state = state; }
    QString postalCode() const { return m_postalCode; }
    void setPostalCode(const QString &postalCode) { m_postalCode = postalCode; }
    QString country() const { return m_country; }
    void setCountry(const QString &country) { m_country = country; }
    QStringList emails() const { return m_emails; }
    void setEmails(const QStringList &emails);
    QDate birthDate() const { return m_birthDate; }
    void setBirthDate(const QDate &birthDate) { m_birthDate = birthDate; }
    QList<PhoneNumber> phones() const { return m_phones; }
    void setPhones(const QList<PhoneNumber> &phones) { m_phones = phones; }
    QString sipUser() const { return m_sipUser; }
    void setSipUser(const QString &sipUser) { m_sipUser = sipUser; }

    // "First Last", or whichever of the two is set, or the nick when neither is.
    QString displayName() const;
    // A fresh nick: the first name (or the last name, or "contact" when the contact has neither), the first
    // phone's number and a millisecond time stamp. Never empty, and never the same twice in one process.
    QString generateNick() const;
    QStringList phoneNumbers() const;
    // PhoneNumber::Type values as integers, in phone order.
    QVariantList phoneTypes() const;

private:
    QString m_nick;
    QString m_groupName;
    QString m_firstName;
    QString m_lastName;
    QString m_addressLine1;
    QString m_addressLine2;
    QString m_city;
    QString m_state;
    QString m_postalCode;
    QString m_country;
    QStringList m_emails;
    QDate m_birthDate;
    QList<PhoneNumber> m_phones;
    QString m_sipUser;
};

Q_DECLARE_METATYPE(Contact)
