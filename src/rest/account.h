#pragma once

#include <QMetaType>
#include <QString>
#include <QStringList>
#include <QVariant>

#include "rest/restobj.h"

// The service account: profile, web-service credentials and the voice-service credentials.
// Its phones are plain number texts.
class Account : public RestObj
{
public:
    Account();
    explicit Account(const QVariant &value);

    QVariant toVariant() const override;
    void fromVariant(const QVariant &value) override;

    QString companyId() const { return m_companyId; }
    void setCompanyId(const QString &companyId) { m_companyId = companyId; }
    QString country() const { return m_country; }
    void setCountry(const QString &country) { m_country = country; }
    QStringList emails() const { return m_emails; }
    void setEmails(const QStringList &emails) { m_emails = emails; }
    QString language() const { return m_language; }
    void setLanguage(const QString &language) { m_language = language; }
    QString lastName() const { return m_lastName; }
    void setLastName(const QString &lastName) { m_lastName = lastName; }
    QString firstName() const { return m_firstName; }
    void setFirstName(const QString &firstName) { m_firstName = firstName; }
    QString username() const { return m_username; }
    void setUsername(const QString &username) { m_username = username; }
    QString password() const { return m_password; }
    void setPassword(const QString &password) { m_password = password; }
    QString sipDomain() const { return m_sipDomain; }
    void setSipDomain(const QString &sipDomain) { m_sipDomain = sipDomain; }
    QString sipUser() const { return m_sipUser; }
    void setSipUser(const QString &sipUser) { m_sipUser = sipUser; }
    QString sipPassword() const { return m_sipPassword; }
    void setSipPassword(const QString &sipPassword) { m_sipPassword = sipPassword; }
    QStringList phones() const { return m_phones; }
    void setPhones(const QStringList &phones) { m_phones = phones; }

private:
    QString m_companyId;
    QString m_country;
    QStringList m_emails;
    QString m_language;
    QString m_lastName;
    QString m_firstName;
    QString m_username;
    QString m_password;
    QString m_sipDomain;
    QString m_sipUser;
    QString m_sipPassword;
    QStringList m_phones;
};

Q_DECLARE_METATYPE(Account)
