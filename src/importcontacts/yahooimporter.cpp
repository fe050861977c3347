#include "yahooimporter.h"

#include <QHostAddress>
#include <QNetworkReply>

#include "importcontacts/htmlform.h"
#include "importcontacts/netutil.h"
#include "importcontacts/oauthsigner.h"
#include "util/log.h"

const char YahooImporter::consumerKey[]
    = "NHFhe2F7i4CH34YwfKUAMYYcWMtNt5JTak759gB0cgB1C5cEYGBzY5XRU9D7OXA0BM5IoCBQ"
      "yGBMpD3QisDNcgi4oXXau5CNGja9";
const char YahooImporter::consumerSecret[] = "6826330d0a98e6a16b58dc0f3b93c61f8766fdfe";
const char YahooImporter::mailDomain[] = "yahoo.com";

YahooImporter::YahooImporter(QObject *parent) : ContactImporter(parent)
{
    setServiceUrls(ServiceUrls::load());
}

void YahooImporter::setServiceUrls(const ServiceUrls &urls)
{
    oauthBase = urls.yahooOAuthBaseURL;
    contactsBase = urls.yahooContactsBaseURL;
}

void YahooImporter::freshNonce()
{
    timestamp = OAuthSigner::timestamp();
    nonce = OAuthSigner::nonce();
}

void YahooImporter::startImportingContacts(const QString &username, const QString &password)
{
    LOG_TRACE << "Importing the Yahoo contacts of" << username;
    beginImport();
    setCredentials(username, password);
    requestToken.clear();
    requestTokenSecret.clear();
    verifierCode.clear();
    accessToken.clear();
    accessTokenSecret.clear();
    sessionHandle.clear();
    yahooGuid.clear();
    redirects = 0;

    LOG_TRACE << "Requesting Access Token";
    LOG_TRACE << "1. START: make GET request for REQUEST TOKEN";
    reportProgress(10);
    freshNonce();
    // The PLAINTEXT signature holds a '&', so it is encoded like every other value of the form.
    const QByteArray body = OAuthSigner::formEncode({
        { QStringLiteral("oauth_nonce"), nonce },
        { QStringLiteral("oauth_timestamp"), timestamp },
        { QStringLiteral("oauth_consumer_key"), QString::fromLatin1(consumerKey) },
        { QStringLiteral("oauth_signature_method"), QStringLiteral("plaintext") },
        { QStringLiteral("oauth_signature"),
            OAuthSigner::plaintextSignature(QString::fromLatin1(consumerSecret), QString()) },
        { QStringLiteral("oauth_version"), QStringLiteral("1.0") },
        { QStringLiteral("oauth_callback"), QStringLiteral("oob") },
    });
    submit(QUrl(oauthBase + QStringLiteral("/oauth/v2/get_request_token")), body,
        &YahooImporter::finishedRequestTokenRequest);
}

void YahooImporter::watch(QNetworkReply *reply, Handler slot)
{
    connect(reply, &QNetworkReply::errorOccurred, this, &YahooImporter::printError);
    connect(reply, &QNetworkReply::finished, this, slot);
}

void YahooImporter::fetch(const QUrl &url, Handler slot)
{
    watch(sendGet(makeRequest(url)), slot);
}

void YahooImporter::submit(const QUrl &url, const QByteArray &body, Handler slot)
{
    QNetworkRequest request = makeRequest(url);
    request.setHeader(QNetworkRequest::ContentTypeHeader, QString::fromLatin1(formContentType));
    watch(sendPost(request, body), slot);
}

bool YahooImporter::redirected(
    QNetworkReply *reply, const QString &page, Handler next, const char *trace, int progress)
{
    QUrl target = redirectTarget(reply);
    if (target.isEmpty()) {
        const QString script = HtmlForm::scriptRedirect(page);
        if (!script.isEmpty())
            target = reply->url().resolved(QUrl(script));
    }
    if (target.isEmpty())
        return false;
    if (++redirects > maxRedirects) {
        LOG_TRACE << "Too many redirects, giving up";
        reportNetworkError();
        return true;
    }
    LOG_TRACE << trace << target.path();
    if (progress >= 0)
        reportProgress(progress);
    fetch(target, next);
    return true;
}

void YahooImporter::printError()
{
    LOG_TRACE << "Some error ocurred";
}

void YahooImporter::finishedRequestTokenRequest()
{
    QNetworkReply *reply = okReply(sender());
    if (!reply)
        return;
    const OAuthSigner::Parameters answer = OAuthSigner::formDecode(reply->readAll());
    requestToken = OAuthSigner::value(answer, QStringLiteral("oauth_token"));
    requestTokenSecret = OAuthSigner::value(answer, QStringLiteral("oauth_token_secret"));
    const QString confirmed = OAuthSigner::value(answer, QStringLiteral("oauth_callback_confirmed"));
    authUrl = QUrl(OAuthSigner::value(answer, QStringLiteral("xoauth_request_auth_url")));
    LOG_TRACE << "2. Got request token; callback confirmed:" << confirmed;
    if (requestToken.isEmpty() || confirmed != QLatin1String("true") || !authUrl.isValid()
        || authUrl.isRelative()) {
        LOG_TRACE << "The request-token reply is incomplete";
        reportNetworkError();
        return;
    }
    reportProgress(20);
    LOG_TRACE << "3. Make GET request to xoauth_request_auth_url";
    fetch(authUrl, &YahooImporter::onUserLoginFormRetrieved);
}

void YahooImporter::onUserLoginFormRetrieved()
{
    QNetworkReply *reply = okReply(sender());
    if (!reply)
        return;
    const QString page = replyText(reply, reply->readAll());
    if (redirected(reply, page, &YahooImporter::onUserLoginFormRetrieved, "4. Login page redirects to", 40))
        return;
    HtmlForm form = HtmlForm::find(page, QStringLiteral("passwd"));
    if (!form.isValid()) {
        LOG_TRACE << "5. No login form on the page";
        reportNetworkError();
        return;
    }
    LOG_TRACE << "5. Got login form; .done:" << form.value(QStringLiteral(".done"));
    form.setValue(QStringLiteral("login"), username());
    form.setValue(QStringLiteral("passwd"), password());
    const QUrl action = form.actionUrl(reply->url());
    LOG_TRACE << "6. Posting login form to" << action.toString(QUrl::RemoveQuery);
    submit(action, OAuthSigner::formEncode(form.submission()), &YahooImporter::finishedYahooAutoUserLogin);
    reportProgress(50);
}

void YahooImporter::finishedYahooAutoUserLogin()
{
    QNetworkReply *reply = handledReply(sender());
    if (!reply)
        return;
    if (!NetUtil::checkReplyIsOk(reply)) {
        reportProgress(0);
        reportNetworkError();
        return;
    }
    const QString page = replyText(reply, reply->readAll());
    LOG_TRACE << "7. Login form posted";
    if (HtmlForm::hasLoginError(page)) {
        LOG_TRACE << "ERROR:: the service refused the credentials";
        reportLoginError();
        return;
    }
    if (redirected(reply, page, &YahooImporter::onAllowFormRetrieved, "8. Redirecting...", 60))
        return;
    handleAllowPage(reply, page);
}

void YahooImporter::onAllowFormRetrieved()
{
    QNetworkReply *reply = okReply(sender());
    if (!reply)
        return;
    const QString page = replyText(reply, reply->readAll());
    if (redirected(reply, page, &YahooImporter::onAllowFormRetrieved, "8. Redirecting..."))
        return;
    handleAllowPage(reply, page);
}

void YahooImporter::handleAllowPage(QNetworkReply *reply, const QString &page)
{
    // An application the user has already allowed goes straight to the code.
    if (!HtmlForm::shortCode(page).isEmpty()) {
        handleVerifierPage(page);
        return;
    }
    if (HtmlForm::find(page, QStringLiteral("passwd")).hasInput(QStringLiteral("passwd"))) {
        LOG_TRACE << "9. The service shows the login form again";
        reportLoginError();
        return;
    }
    const HtmlForm form = HtmlForm::find(page);
    if (!form.isValid()) {
        LOG_TRACE << "9. No consent form on the page";
        reportNetworkError();
        return;
    }
    LOG_TRACE << "got domain:" << HtmlForm::schemeAndHost(reply->url().toString());
    const QUrl action = form.actionUrl(reply->url());
    LOG_TRACE << "action:" << action.toString(QUrl::RemoveQuery);
    LOG_TRACE << "10. Allowing access";
    submit(action, OAuthSigner::formEncode(form.submission()), &YahooImporter::onVerifierCodePageReceived);
    reportProgress(70);
}

void YahooImporter::onVerifierCodePageReceived()
{
    QNetworkReply *reply = okReply(sender());
    if (!reply)
        return;
    LOG_TRACE << "11. Got Verifier code page";
    const QString page = replyText(reply, reply->readAll());
    if (HtmlForm::shortCode(page).isEmpty()
        && redirected(reply, page, &YahooImporter::onVerifierCodePageReceived, "11. Redirecting..."))
        return;
    handleVerifierPage(page);
}

void YahooImporter::handleVerifierPage(const QString &page)
{
    verifierCode = HtmlForm::shortCode(page);
    if (verifierCode.isEmpty()) {
        LOG_TRACE << "No verifier code on the page";
        reportNetworkError();
        return;
    }
    freshNonce();
    const QByteArray body = OAuthSigner::formEncode({
        { QStringLiteral("oauth_consumer_key"), QString::fromLatin1(consumerKey) },
        { QStringLiteral("oauth_signature_method"), QStringLiteral("plaintext") },
        { QStringLiteral("oauth_version"), QStringLiteral("1.0") },
        { QStringLiteral("oauth_verifier"), verifierCode },
        { QStringLiteral("oauth_token"), requestToken },
        { QStringLiteral("oauth_timestamp"), timestamp },
        { QStringLiteral("oauth_nonce"), nonce },
        { QStringLiteral("oauth_signature"),
            OAuthSigner::plaintextSignature(QString::fromLatin1(consumerSecret), requestTokenSecret) },
    });
    submit(
        QUrl(oauthBase + QStringLiteral("/oauth/v2/get_token")), body, &YahooImporter::onAccessTokenReceived);
    reportProgress(80);
}

void YahooImporter::onAccessTokenReceived()
{
    QNetworkReply *reply = okReply(sender());
    if (!reply)
        return;
    LOG_TRACE << "12. Got access token";
    const OAuthSigner::Parameters answer = OAuthSigner::formDecode(reply->readAll());
    accessToken = OAuthSigner::value(answer, QStringLiteral("oauth_token"));
    accessTokenSecret = OAuthSigner::value(answer, QStringLiteral("oauth_token_secret"));
    sessionHandle = OAuthSigner::value(answer, QStringLiteral("oauth_session_handle"));
    yahooGuid = OAuthSigner::value(answer, QStringLiteral("xoauth_yahoo_guid"));
    if (accessToken.isEmpty() || yahooGuid.isEmpty()) {
        LOG_TRACE << "The access-token reply is incomplete";
        reportNetworkError();
        return;
    }
    requestContactList();
}

QString YahooImporter::realmFor(const QUrl &url)
{
    const QString host = url.host();
    if (!QHostAddress(host).isNull())
        return host;
    const QStringList labels = host.split(QLatin1Char('.'), Qt::SkipEmptyParts);
    if (labels.size() <= 2)
        return host;
    return labels.mid(labels.size() - 2).join(QLatin1Char('.'));
}

QNetworkRequest YahooImporter::contactListRequest(const QString &contactsBaseUrl, const QString &guid,
    const QString &accessToken, const QString &accessTokenSecret, const QString &nonce,
    const QString &timestamp)
{
    QUrl url(contactsBaseUrl + QStringLiteral("/v1/user/")
        + QString::fromLatin1(OAuthSigner::percentEncode(guid)) + QStringLiteral("/contacts;count=max"));
    url.setQuery(QStringLiteral("format=json"));
    const OAuthSigner::Parameters oauth {
        { QStringLiteral("oauth_consumer_key"), QString::fromLatin1(consumerKey) },
        { QStringLiteral("oauth_nonce"), nonce },
        { QStringLiteral("oauth_signature_method"), QStringLiteral("HMAC-SHA1") },
        { QStringLiteral("oauth_timestamp"), timestamp },
        { QStringLiteral("oauth_token"), accessToken },
        { QStringLiteral("oauth_version"), QStringLiteral("1.0") },
    };
    OAuthSigner::Parameters signedParameters { { QStringLiteral("format"), QStringLiteral("json") } };
    signedParameters += oauth;
    const QByteArray base = OAuthSigner::signatureBaseString("GET", url, signedParameters);
    const QByteArray signature
        = OAuthSigner::hmacSha1Signature(base, QString::fromLatin1(consumerSecret), accessTokenSecret);
    QNetworkRequest request(url);
    request.setRawHeader("Authorization", OAuthSigner::authorizationHeader(realmFor(url), oauth, signature));
    request.setRawHeader("Accept", jsonAccept);
    return request;
}

void YahooImporter::requestContactList()
{
    LOG_TRACE << "13. Requesting contact list";
    freshNonce();
    const QNetworkRequest signedRequest
        = contactListRequest(contactsBase, yahooGuid, accessToken, accessTokenSecret, nonce, timestamp);
    QNetworkRequest request = makeRequest(signedRequest.url());
    for (const QByteArray &name : signedRequest.rawHeaderList())
        request.setRawHeader(name, signedRequest.rawHeader(name));
    watch(sendGet(request), &YahooImporter::onContactListRequestFinished);
    reportProgress(90);
}

void YahooImporter::onContactListRequestFinished()
{
    QNetworkReply *reply = okReply(sender());
    if (!reply)
        return;
    LOG_TRACE << "14. Got contact list";
    parseJsonToContactList(replyText(reply, reply->readAll()));
}

void YahooImporter::parseJsonToContactList(const QString &json)
{
    LOG_TRACE << "15. parsing Json";
    bool ok = false;
    const QList<ImportedContact> entries = parseContacts(json, &ok);
    if (!ok)
        LOG_TRACE << "Can not parse json: the contact list is not a contacts reply";
    finishWith(entries, ok);
}

QList<ImportedContact> YahooImporter::parseContacts(const QString &json, bool *ok)
{
    QVariantMap contacts;
    const bool valid = jsonMember(json, QStringLiteral("contacts"), &contacts);
    if (ok)
        *ok = valid;
    QList<ImportedContact> entries;
    for (const QVariant &item : jsonList(contacts.value(QStringLiteral("contact")))) {
        ImportedContact contact;
        for (const QVariant &fieldValue : jsonList(item.toMap().value(QStringLiteral("fields")))) {
            const QVariantMap field = fieldValue.toMap();
            const QString type = field.value(QStringLiteral("type")).toString();
            const QVariant value = field.value(QStringLiteral("value"));
            if (type == QLatin1String("yahooid")) {
                QString id = value.toString().trimmed();
                if (!id.isEmpty() && !id.contains(QLatin1Char('@')))
                    id += QLatin1Char('@') + QLatin1String(mailDomain);
                if (!id.isEmpty())
                    contact.emails << id;
                LOG_TRACE << "got email:" << id;
            } else if (type == QLatin1String("email")) {
                const QString email = value.toString().trimmed();
                if (!email.isEmpty())
                    contact.emails << email;
                LOG_TRACE << "got email:" << email;
            } else if (type == QLatin1String("name")) {
                const QVariantMap name = value.toMap();
                contact.firstName = name.value(QStringLiteral("givenName")).toString();
                contact.middleName = name.value(QStringLiteral("middleName")).toString();
                contact.lastName = name.value(QStringLiteral("familyName")).toString();
                LOG_TRACE << "got firstName:" << contact.firstName;
                LOG_TRACE << "got middleName:" << contact.middleName;
                LOG_TRACE << "got lastName:" << contact.lastName;
            } else if (type == QLatin1String("nickname")) {
                contact.nickname = value.toString();
                LOG_TRACE << "got nickname:" << contact.nickname;
            } else if (type == QLatin1String("phone")) {
                const QString phone = value.toString().trimmed();
                if (!phone.isEmpty())
                    contact.phones << phone;
                LOG_TRACE << "got phone:" << phone;
            } else if (type == QLatin1String("address")) {
                // The imported entry has no address; it is only traced.
                const QVariantMap address = value.toMap();
                LOG_TRACE << "got address:" << address.value(QStringLiteral("street")).toString()
                          << address.value(QStringLiteral("city")).toString()
                          << address.value(QStringLiteral("stateOrProvince")).toString()
                          << address.value(QStringLiteral("postalCode")).toString()
                          << address.value(QStringLiteral("country")).toString();
            }
        }
        entries.append(contact);
    }
    return entries;
}
