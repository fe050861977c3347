#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>
#include <QUrl>

// OAuth 1.0 (RFC 5849) pieces the Yahoo importer needs: percent-encoding, form bodies, PLAINTEXT and
// HMAC-SHA1 signatures and the Authorization header. Pure functions, so they are tested on their own.
class OAuthSigner
{
public:
    using Parameters = QList<QPair<QString, QString>>;

    // RFC 3986 percent-encoding of the UTF-8 text: everything but letters, digits and "-._~".
    static QByteArray percentEncode(const QString &text);
    // name=value pairs joined by '&', names and values percent-encoded.
    static QByteArray formEncode(const Parameters &parameters);
    // The pairs of an application/x-www-form-urlencoded text ('+' is a blank), decoded from UTF-8.
    static Parameters formDecode(const QByteArray &text);
    // The value of the first pair called `name`, or a null string.
    static QString value(const Parameters &parameters, const QString &name);

    // Seconds and milliseconds since the epoch, in decimal.
    static QString timestamp();
    static QString nonce();

    // The key of both signature methods: encoded consumer secret, '&', encoded token secret.
    static QByteArray signingKey(const QString &consumerSecret, const QString &tokenSecret);
    static QString plaintextSignature(const QString &consumerSecret, const QString &tokenSecret)
    {
        return QString::fromLatin1(signingKey(consumerSecret, tokenSecret));
    }
    // The base-string URI: lower-case scheme and host, the port unless it is the scheme's default,
    // the encoded path; no query or fragment.
    static QString baseStringUri(const QUrl &url);
    // METHOD&encoded URI&encoded, sorted parameter list. `parameters` holds the request's query and
    // OAuth parameters, without oauth_signature and realm.
    static QByteArray signatureBaseString(
        const QByteArray &method, const QUrl &url, const Parameters &parameters);
    // Base64 of HMAC-SHA1(signingKey, baseString).
    static QByteArray hmacSha1Signature(
        const QByteArray &baseString, const QString &consumerSecret, const QString &tokenSecret);
    // "OAuth realm="...",name="value",...,oauth_signature="..."" with every value percent-encoded.
    static QByteArray authorizationHeader(
        const QString &realm, const Parameters &oauthParameters, const QByteArray &signature);

    OAuthSigner() = delete;
};
