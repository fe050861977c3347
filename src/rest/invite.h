#pragma once

#include <QMetaType>
#include <QString>
#include <QStringList>
#include <QVariant>

#include "rest/restobj.h"

// An e-mail invitation sent by the service to people the user imported.
class Invite : public RestObj
{
public:
    Invite();
    explicit Invite(const QVariant &value);

    QVariant toVariant() const override;
    void fromVariant(const QVariant &value) override;

    QString fromEmail() const { return m_fromEmail; }
    void setFromEmail(const QString &fromEmail) { m_fromEmail = fromEmail; }
    QStringList toEmails() const { return m_toEmails; }
    void setToEmails(const QStringList &toEmails) { m_toEmails = toEmails; }
    QString fullName() const { return m_fullName; }
    void setFullName(const QString &fullName) { m_fullName = fullName; }
    QString userSubject() const { return m_userSubject; }
    void setUserSubject(const QString &userSubject) { m_userSubject = userSubject; }
    QString userMessage() const { return m_userMessage; }
    void setUserMessage(const QString &userMessage) { m_userMessage = userMessage; }
    bool showNumberOfContacts() const { return m_showNumberOfContacts; }
    void setShowNumberOfContacts(bool showNumberOfContacts) { m_showNumberOfContacts = showNumberOfContacts; }
    int numberOfContacts() const { return m_numberOfContacts; }
    void setNumberOfContacts(int numberOfContacts) { m_numberOfContacts = numberOfContacts; }
    bool showCityOrCountry() const { return m_showCityOrCountry; }
    void setShowCityOrCountry(bool showCityOrCountry) { m_showCityOrCountry = showCityOrCountry; }
    bool showPhoneNumber() const { return m_showPhoneNumber; }
    void setShowPhoneNumber(bool showPhoneNumber) { m_showPhoneNumber = showPhoneNumber; }
    bool showVeskShopDetails() const { return m_showVeskShopDetails; }
    void setShowVeskShopDetails(bool showVeskShopDetails) { m_showVeskShopDetails = showVeskShopDetails; }
    bool showVeskNumbersDetails() const { return m_showVeskNumbersDetails; }
    void setShowVeskNumbersDetails(bool showVeskNumbersDetails)
    {
        m_showVeskNumbersDetails = showVeskNumbersDetails;
    }
    bool showCallForwardingDetails() const { return m_showCallForwardingDetails; }
    void setShowCallForwardingDetails(bool showCallForwardingDetails)
    {
        m_showCallForwardingDetails = showCallForwardingDetails;
    }
    bool showVoicemailDetails() const { return m_showVoicemailDetails; }
    void setShowVoicemailDetails(bool showVoicemailDetails) { m_showVoicemailDetails = showVoicemailDetails; }

private:
    QString m_fromEmail;
    QStringList m_toEmails;
    QString m_fullName;
    QString m_userSubject;
    QString m_userMessage;
    bool m_showNumberOfContacts = false;
    int m_numberOfContacts = 0;
    bool m_showCityOrCountry = false;
    bool m_showPhoneNumber = false;
    bool m_showVeskShopDetails = false;
    bool m_showVeskNumbersDetails = false;
    bool m_showCallForwardingDetails = false;
    bool m_showVoicemailDetails = false;
};

Q_DECLARE_METATYPE(Invite)
