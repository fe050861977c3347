#pragma once

#include <QString>

#include "contactimporter.h"
#include "serviceurls.h"

// Imports a Yahoo address book. The OAuth 1.0 authorisation that a user would give in a browser is
// driven through the service's own HTML pages: request token, login form, consent form, verifier code,
// access token; the contacts API is then called with an HMAC-SHA1 signed request.
// Progress: 10, 20, 40 (login page redirect), 50, 60, 70, 80, 90, 100; 0 after a failed login post.
class YahooImporter : public ContactImporter
{
    Q_OBJECT
public:
    // The application's registration with the service.
    static const char consumerKey[];
    static const char consumerSecret[];
    // Appended to a Yahoo ID to make its mail address.
    static const char mailDomain[];

    explicit YahooImporter(QObject *parent = nullptr);

    void setServiceUrls(const ServiceUrls &urls);
    QString oauthBaseUrl() const { return oauthBase; }
    QString contactsBaseUrl() const { return contactsBase; }

    void startImportingContacts(const QString &username, const QString &password) override;

    // The entries of a contacts API reply in JSON form; ok false when the text is not such a reply.
    static QList<ImportedContact> parseContacts(const QString &json, bool *ok);
    // The realm of the contacts API: its registrable domain ("social.yahooapis.com" gives
    // "yahooapis.com"), or the host itself when that is an address.
    static QString realmFor(const QUrl &url);
    // The contacts API request for `guid`, signed with the given secrets.
    static QNetworkRequest contactListRequest(const QString &contactsBaseUrl, const QString &guid,
        const QString &accessToken, const QString &accessTokenSecret, const QString &nonce,
        const QString &timestamp);

private slots:
    void finishedRequestTokenRequest();
    void onUserLoginFormRetrieved();
    void finishedYahooAutoUserLogin();
    void onAllowFormRetrieved();
    void onVerifierCodePageReceived();
    void onAccessTokenReceived();
    void onContactListRequestFinished();
    void printError();
    void parseJsonToContactList(const QString &json);

private:
    using Handler = void (YahooImporter::*)();

    void freshNonce();
    // Has the reply's end handled by `slot` and its errors traced.
    void watch(QNetworkReply *reply, Handler slot);
    void fetch(const QUrl &url, Handler slot);
    void submit(const QUrl &url, const QByteArray &body, Handler slot);
    // Follows the page's Location header or script redirect, traced and with that progress (none when
    // negative), to `next`. True when the page was a redirect, or one too many (the import then ends
    // with networkError()): the caller stops there.
    bool redirected(
        QNetworkReply *reply, const QString &page, Handler next, const char *trace, int progress = -1);
    void handleAllowPage(QNetworkReply *reply, const QString &page);
    void handleVerifierPage(const QString &page);
    void requestContactList();

    QString oauthBase;
    QString contactsBase;
    QString requestToken;
    QString requestTokenSecret;
    QUrl authUrl;
    QString verifierCode;
    QString accessToken;
    QString accessTokenSecret;
    QString sessionHandle;
    QString yahooGuid;
    QString nonce;
    QString timestamp;
    int redirects = 0;
};
