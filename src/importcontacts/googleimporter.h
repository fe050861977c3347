#pragma once

#include <QByteArray>
#include <QString>

#include "contactimporter.h"
#include "serviceurls.h"

// Imports a Google address book: the account service's client login gives a token, with which the
// contacts feed is fetched in its JSON form. Progress: 10, 20, 30, 70, 100.
class GoogleImporter : public ContactImporter
{
    Q_OBJECT
public:
    // What the client-login reply says.
    enum class LoginAnswer {
        Token,
        BadAuthentication,
        OtherError,
        NoAnswer,
    };
    Q_ENUM(LoginAnswer)

    // Takes the service addresses of the brand's URL configuration.
    explicit GoogleImporter(QObject *parent = nullptr);

    void setServiceUrls(const ServiceUrls &urls);
    QString accountsBaseUrl() const { return accountsBase; }
    QString contactsBaseUrl() const { return contactsBase; }

    void startImportingContacts(const QString &username, const QString &password) override;

    // The client-login form body; every value is form-encoded, so '&', '+', '=' and '%' in a password
    // reach the service unchanged.
    static QByteArray clientLoginBody(const QString &email, const QString &password,
        const QString &accountType, const QString &source, const QString &service);
    // Reads the "key=value" lines of a client-login reply; `value` receives the token or the error.
    static LoginAnswer parseClientLoginReply(const QByteArray &body, QString *value);
    // The entries of a contacts feed in JSON form; ok false when the text is not such a feed.
    static QList<ImportedContact> parseFeed(const QString &json, bool *ok);

public slots:
    void finishedAccessTokensRequest();
    void finishedContactsRequest();
    void contactListRequest(const QString &googleLoginAuth);
    void parseContactList(const QString &json);

private:
    void accessTokenRequest(const QString &accountType, const QString &source, const QString &service);

    QString accountsBase;
    QString contactsBase;
};
