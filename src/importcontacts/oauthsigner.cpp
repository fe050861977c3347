#include "oauthsigner.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QMessageAuthenticationCode>

#include <algorithm>

QByteArray OAuthSigner::percentEncode(const QString &text)
{
    return QUrl::toPercentEncoding(text);
}

QByteArray OAuthSigner::formEncode(const Parameters &parameters)
{
    QByteArray body;
    for (const auto &pair : parameters) {
        if (!body.isEmpty())
            body += '&';
        body += percentEncode(pair.first) + '=' + percentEncode(pair.second);
    }
    return body;
}

OAuthSigner::Parameters OAuthSigner::formDecode(const QByteArray &text)
{
    auto decode = [](QByteArray part) {
        part.replace('+', ' ');
        return QString::fromUtf8(QByteArray::fromPercentEncoding(part));
    };
    Parameters pairs;
    for (const QByteArray &item : text.trimmed().split('&')) {
        if (item.isEmpty())
            continue;
        const int eq = item.indexOf('=');
        if (eq < 0)
            pairs.append({ decode(item), QString(QLatin1String("")) });
        else
            pairs.append({ decode(item.left(eq)), decode(item.mid(eq + 1)) });
    }
    return pairs;
}

QString OAuthSigner::value(const Parameters &parameters, const QString &name)
{
    for (const auto &pair : parameters) {
        if (pair.first == name)
            return pair.second;
    }
    return QString();
}

QString OAuthSigner::timestamp()
{
    return QString::number(QDateTime::currentSecsSinceEpoch());
}

QString OAuthSigner::nonce()
{
    return QString::number(QDateTime::currentMSecsSinceEpoch());
}

QByteArray OAuthSigner::signingKey(const QString &consumerSecret, const QString &tokenSecret)
{
    return percentEncode(consumerSecret) + '&' + percentEncode(tokenSecret);
}

QString OAuthSigner::baseStringUri(const QUrl &url)
{
    const QString scheme = url.scheme().toLower();
    QString uri = scheme + QLatin1String("://") + url.host(QUrl::FullyEncoded).toLower();
    const int port = url.port();
    const bool defaultPort = port < 0 || (scheme == QLatin1String("http") && port == 80)
        || (scheme == QLatin1String("https") && port == 443);
    if (!defaultPort)
        uri += QLatin1Char(':') + QString::number(port);
    QString path = url.path(QUrl::FullyEncoded);
    if (path.isEmpty())
        path = QStringLiteral("/");
    return uri + path;
}

QByteArray OAuthSigner::signatureBaseString(
    const QByteArray &method, const QUrl &url, const Parameters &parameters)
{
    QList<QPair<QByteArray, QByteArray>> encoded;
    for (const auto &pair : parameters)
        encoded.append({ percentEncode(pair.first), percentEncode(pair.second) });
    std::sort(encoded.begin(), encoded.end());
    QByteArray normalized;
    for (const auto &pair : encoded) {
        if (!normalized.isEmpty())
            normalized += '&';
        normalized += pair.first + '=' + pair.second;
    }
    return method.toUpper() + '&' + percentEncode(baseStringUri(url)) + '&'
        + percentEncode(QString::fromLatin1(normalized));
}

QByteArray OAuthSigner::hmacSha1Signature(
    const QByteArray &baseString, const QString &consumerSecret, const QString &tokenSecret)
{
    return QMessageAuthenticationCode::hash(
        baseString, signingKey(consumerSecret, tokenSecret), QCryptographicHash::Sha1)
        .toBase64();
}

QByteArray OAuthSigner::authorizationHeader(
    const QString &realm, const Parameters &oauthParameters, const QByteArray &signature)
{
    QByteArray header = "OAuth realm=\"" + percentEncode(realm) + '"';
    for (const auto &pair : oauthParameters)
        header += ',' + percentEncode(pair.first) + "=\"" + percentEncode(pair.second) + '"';
    header += ",oauth_signature=\"" + percentEncode(QString::fromLatin1(signature)) + '"';
    return header;
}
