#include "googleimporter.h"

#include <QCoreApplication>
#include <QNetworkReply>
#include <QUrlQuery>
#include <QVariant>

#include "importcontacts/netutil.h"
#include "importcontacts/oauthsigner.h"
#include "util/log.h"

namespace {

const char userAgent[] = "GData-C++/1.0";
const char gdataVersion[] = "3.0";

QString textValue(const QVariant &value)
{
    return value.toMap().value(QStringLiteral("$t")).toString();
}

} // namespace

GoogleImporter::GoogleImporter(QObject *parent) : ContactImporter(parent)
{
    setServiceUrls(ServiceUrls::load());
}

void GoogleImporter::setServiceUrls(const ServiceUrls &urls)
{
    accountsBase = urls.googleAccountsBaseURL;
    contactsBase = urls.googleContactsBaseURL;
}

void GoogleImporter::startImportingContacts(const QString &username, const QString &password)
{
    LOG_TRACE << "Importing the Google contacts of" << username;
    beginImport();
    setCredentials(username, password);
    accessTokenRequest(
        QStringLiteral("HOSTED_OR_GOOGLE"), QCoreApplication::applicationName(), QStringLiteral("cp"));
}

QByteArray GoogleImporter::clientLoginBody(const QString &email, const QString &password,
    const QString &accountType, const QString &source, const QString &service)
{
    return OAuthSigner::formEncode({
        { QStringLiteral("Email"), email },
        { QStringLiteral("Passwd"), password },
        { QStringLiteral("accountType"), accountType },
        { QStringLiteral("source"), source },
        { QStringLiteral("service"), service },
    });
}

void GoogleImporter::accessTokenRequest(
    const QString &accountType, const QString &source, const QString &service)
{
    LOG_TRACE << "Requesting Access Token";
    QNetworkRequest request = makeRequest(QUrl(accountsBase + QStringLiteral("/accounts/ClientLogin")));
    request.setRawHeader("Accept", jsonAccept);
    request.setHeader(QNetworkRequest::ContentTypeHeader, QString::fromLatin1(formContentType));
    request.setRawHeader("User-Agent", userAgent);
    request.setRawHeader("GData-Version", gdataVersion);
    QNetworkReply *reply
        = sendPost(request, clientLoginBody(username(), password(), accountType, source, service));
    connect(reply, &QNetworkReply::finished, this, &GoogleImporter::finishedAccessTokensRequest);
    reportProgress(10);
}

GoogleImporter::LoginAnswer GoogleImporter::parseClientLoginReply(const QByteArray &body, QString *value)
{
    QString token;
    for (const QByteArray &rawLine : body.split('\n')) {
        const QByteArray line = rawLine.trimmed();
        if (line.startsWith("Error=")) {
            // An error line wins over anything else in the reply.
            const QString error = QString::fromUtf8(line.mid(6)).trimmed();
            if (value)
                *value = error;
            return error == QLatin1String("BadAuthentication") ? LoginAnswer::BadAuthentication
                                                               : LoginAnswer::OtherError;
        }
        if (line.startsWith("Auth=") && token.isEmpty())
            token = QString::fromUtf8(line.mid(5)).trimmed();
    }
    if (token.isEmpty())
        return LoginAnswer::NoAnswer;
    if (value)
        *value = token;
    return LoginAnswer::Token;
}

void GoogleImporter::finishedAccessTokensRequest()
{
    QNetworkReply *reply = handledReply(sender());
    if (!reply)
        return;
    // The service refuses a sign-in with an HTTP error status and an "Error=" body, so the body is
    // read before the status.
    QString value;
    const LoginAnswer answer = parseClientLoginReply(reply->readAll(), &value);
    switch (answer) {
    case LoginAnswer::BadAuthentication:
        LOG_TRACE << "The account service refused the credentials";
        reportLoginError();
        return;
    case LoginAnswer::OtherError:
        LOG_TRACE << "The account service answered with the error" << value;
        reportNetworkError();
        return;
    case LoginAnswer::NoAnswer:
        NetUtil::checkReplyIsOk(reply);
        LOG_TRACE << "The account service gave no token";
        reportNetworkError();
        return;
    case LoginAnswer::Token:
        break;
    }
    if (!NetUtil::checkReplyIsOk(reply)) {
        reportNetworkError();
        return;
    }
    reportProgress(20);
    contactListRequest(value);
}

void GoogleImporter::contactListRequest(const QString &googleLoginAuth)
{
    LOG_TRACE << "Requesting Contact List";
    QUrl url(contactsBase + QStringLiteral("/m8/feeds/contacts/default/full"));
    url.setQuery(QStringLiteral("max-results=50000&alt=json"));
    QNetworkRequest request = makeRequest(url);
    request.setRawHeader("User-Agent", userAgent);
    request.setRawHeader("GData-Version", gdataVersion);
    request.setRawHeader("Authorization", "GoogleLogin auth=" + googleLoginAuth.toUtf8());
    QNetworkReply *reply = sendGet(request);
    connect(reply, &QNetworkReply::finished, this, &GoogleImporter::finishedContactsRequest);
    reportProgress(30);
}

void GoogleImporter::finishedContactsRequest()
{
    QNetworkReply *reply = okReply(sender());
    if (!reply)
        return;
    reportProgress(70);
    parseContactList(replyText(reply, reply->readAll()));
}

void GoogleImporter::parseContactList(const QString &json)
{
    bool ok = false;
    const QList<ImportedContact> entries = parseFeed(json, &ok);
    if (!ok)
        LOG_TRACE << "Error parsing stuff";
    finishWith(entries, ok);
}

QList<ImportedContact> GoogleImporter::parseFeed(const QString &json, bool *ok)
{
    QVariantMap feed;
    const bool valid = jsonMember(json, QStringLiteral("feed"), &feed);
    if (ok)
        *ok = valid;
    QList<ImportedContact> entries;
    // A feed without entries is an empty address book.
    for (const QVariant &item : jsonList(feed.value(QStringLiteral("entry")))) {
        const QVariantMap entry = item.toMap();
        ImportedContact contact;
        for (const QVariant &email : jsonList(entry.value(QStringLiteral("gd$email")))) {
            const QString address = email.toMap().value(QStringLiteral("address")).toString().trimmed();
            if (!address.isEmpty())
                contact.emails << address;
        }
        for (const QVariant &phone : jsonList(entry.value(QStringLiteral("gd$phoneNumber")))) {
            const QString number = textValue(phone).trimmed();
            if (!number.isEmpty())
                contact.phones << number;
        }
        const QVariantMap name = entry.value(QStringLiteral("gd$name")).toMap();
        contact.firstName = textValue(name.value(QStringLiteral("gd$givenName")));
        contact.middleName = textValue(name.value(QStringLiteral("gd$additionalName")));
        contact.lastName = textValue(name.value(QStringLiteral("gd$familyName")));
        entries.append(contact);
    }
    return entries;
}
