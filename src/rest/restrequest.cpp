#include "rest/restrequest.h"

#include <QDateTime>
#include <QFile>
#include <QNetworkAccessManager>
#include <QNetworkRequest>
#include <QRegularExpression>
#include <QTimer>

#include "rest/jsoncodec.h"
#include "rest/restobj.h"
#include "util/log.h"

namespace {

// Properties that keep a request's settings with its reply.
const char verbProperty[] = "talkvane.verb";
const char startedProperty[] = "talkvane.started";
const char timedOutProperty[] = "talkvane.timedOut";

const char jsonContentType[] = "application/json;charset=\"utf-8\"";

// The scheme Qt gives the reply of a connection opened ahead.
const char connectAheadScheme[] = "preconnect-https";

QString segment(const QString &value)
{
    return QString::fromLatin1(QUrl::toPercentEncoding(value));
}

// Query values are encoded completely (only unreserved characters stay), so that '&', '#', '+', '%',
// '=' and blanks reach the service as they were typed.
QString queryValue(const QString &value)
{
    return QString::fromLatin1(QUrl::toPercentEncoding(value));
}

QUrl urlFrom(const QString &text)
{
    return QUrl(text, QUrl::TolerantMode);
}

const char *verbName(int verb)
{
    switch (verb) {
    case RestRequest::Get:
        return "GET";
    case RestRequest::Post:
        return "POST";
    case RestRequest::Put:
        return "PUT";
    case RestRequest::Delete:
        return "DELETE";
    default:
        return "?";
    }
}

} // namespace

RestRequest::RestRequest(QObject *parent) : QObject(parent), manager(new QNetworkAccessManager(this))
{
    connect(
        manager, &QNetworkAccessManager::finished, this, &RestRequest::onFinishRequest, Qt::UniqueConnection);
    connect(this, &RestRequest::finishedRequest, this, &RestRequest::onFinallyFinish, Qt::UniqueConnection);
}

RestRequest::~RestRequest() = default;

QUrl RestRequest::collectionUrl(const QString &baseUrl, const QString &username, const QString &password)
{
    return urlFrom(baseUrl + QLatin1Char('/') + segment(username) + QLatin1String("?username=")
        + queryValue(username) + QLatin1String("&password=") + queryValue(password));
}

QUrl RestRequest::itemUrl(
    const QString &baseUrl, const QString &username, const QString &itemId, const QString &password)
{
    return urlFrom(baseUrl + QLatin1Char('/') + segment(username) + QLatin1Char('/') + segment(itemId)
        + QLatin1String("?username=") + queryValue(username) + QLatin1String("&password=")
        + queryValue(password));
}

QUrl RestRequest::signInUrl(
    const QString &baseUrl, const QString &username, const QString &password, const QString &appId)
{
    return urlFrom(baseUrl + QLatin1Char('/') + segment(username) + QLatin1String("?username=")
        + queryValue(username) + QLatin1String("&password=") + queryValue(password) + QLatin1String("&appid=")
        + queryValue(appId));
}

QUrl RestRequest::collectionUrl(const QString &baseUrl) const
{
    return collectionUrl(baseUrl, m_username, m_password);
}

QUrl RestRequest::itemUrl(const QString &baseUrl, const QString &itemId) const
{
    return itemUrl(baseUrl, m_username, itemId, m_password);
}

QString RestRequest::loggableUrl(const QUrl &url)
{
    return url.adjusted(QUrl::RemoveQuery | QUrl::RemoveFragment | QUrl::RemoveUserInfo).toString();
}

QString RestRequest::redacted(const QString &text, const QUrl &url)
{
    QString result = text;
    const QString safe = loggableUrl(url);
    if (!url.isEmpty()) {
        const QString forms[] = {
            url.toString(),
            url.toString(QUrl::FullyEncoded),
            url.toDisplayString(),
            url.toString(QUrl::RemoveUserInfo),
        };
        for (const QString &form : forms) {
            if (!form.isEmpty())
                result.replace(form, safe);
        }
    }
    // Whatever form of the URL a message uses, a password value never survives: it runs up to the
    // next parameter of ours, to the " - " that Qt puts after the URL, or to the end.
    static const QRegularExpression password(QStringLiteral("password=.*?(?=&appid=|&username=| - |$)"),
        QRegularExpression::DotMatchesEverythingOption);
    result.replace(password, QStringLiteral("password=********"));
    return result;
}

bool RestRequest::isProxyError(QNetworkReply::NetworkError code)
{
    return code >= QNetworkReply::ProxyConnectionRefusedError && code <= QNetworkReply::UnknownProxyError;
}

QNetworkProxy RestRequest::proxyFor(const QUrl &url) const
{
    if (manager->proxy().type() != QNetworkProxy::DefaultProxy)
        return manager->proxy();
    const QNetworkProxyQuery query(url);
    const QList<QNetworkProxy> proxies = manager->proxyFactory() ? manager->proxyFactory()->queryProxy(query)
                                                                 : QNetworkProxyFactory::proxyForQuery(query);
    return proxies.value(0, QNetworkProxy(QNetworkProxy::NoProxy));
}

bool RestRequest::failedAtProxy(const QNetworkReply *reply) const
{
    const QNetworkReply::NetworkError code = reply->error();
    if (isProxyError(code))
        return true;
    if (reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).isValid())
        return false;
    switch (code) {
    case QNetworkReply::ConnectionRefusedError:
    case QNetworkReply::RemoteHostClosedError:
    case QNetworkReply::HostNotFoundError:
    case QNetworkReply::TimeoutError:
    case QNetworkReply::UnknownNetworkError:
        break;
    default:
        return false;
    }
    const QNetworkProxy::ProxyType type = proxyFor(reply->url()).type();
    return type != QNetworkProxy::NoProxy && type != QNetworkProxy::DefaultProxy;
}

QList<QSslCertificate> RestRequest::extraCaCertificates()
{
    const QString file = qEnvironmentVariable("TALKVANE_CA_FILE");
    if (file.isEmpty())
        return {};
    QFile pem(file);
    if (!pem.open(QIODevice::ReadOnly)) {
        LOG_WARNING << "Cannot read the CA file" << file << pem.errorString();
        return {};
    }
    const QList<QSslCertificate> certificates = QSslCertificate::fromData(pem.readAll(), QSsl::Pem);
    if (certificates.isEmpty())
        LOG_WARNING << "No PEM certificates in the CA file" << file;
    return certificates;
}

QSslConfiguration RestRequest::sslConfiguration()
{
    QSslConfiguration config = QSslConfiguration::defaultConfiguration();
    const QList<QSslCertificate> extra = extraCaCertificates();
    if (!extra.isEmpty())
        config.addCaCertificates(extra);
    config.setPeerVerifyMode(QSslSocket::VerifyPeer);
    return config;
}

bool RestRequest::connectAhead(const QString &baseUrl)
{
    const QUrl url = urlFrom(baseUrl);
    if (!manager || url.scheme() != QLatin1String("https") || url.host().isEmpty())
        return false;
    const int port = url.port(443);
    manager->connectToHostEncrypted(url.host(), quint16(port), sslConfiguration());
    LOG_TRACE << requestName() << "connecting ahead to" << url.host() << port;
    return true;
}

QString RestRequest::replyText(const QByteArray &bytes)
{
    return QString::fromLatin1(bytes.constData());
}

QVariantList RestRequest::valueAsList(const QVariant &value)
{
    if (value.userType() == QMetaType::QVariantList || value.userType() == QMetaType::QStringList)
        return value.toList();
    return {};
}

QByteArray RestRequest::traceBytes(const QByteArray &bytes)
{
    const int limit = 4096;
    return bytes.size() <= limit ? bytes : bytes.left(limit) + "...";
}

QString RestRequest::requestName() const
{
    return QString::fromLatin1(metaObject()->className());
}

void RestRequest::tagReply(QNetworkReply *) const { }

void RestRequest::restoreFromReply(const QNetworkReply *) { }

bool RestRequest::reportsProxyErrors(int) const
{
    return false;
}

void RestRequest::sendRequest(const QUrl &url, int verb, const RestObj *body)
{
    if (!manager)
        return;
    QNetworkRequest request(url);
    request.setRawHeader("Accept", jsonContentType);
    request.setHeader(QNetworkRequest::ContentTypeHeader, QString::fromLatin1(jsonContentType));
    if (url.scheme() == QLatin1String("https"))
        request.setSslConfiguration(sslConfiguration());

    QByteArray data;
    if (body)
        data = JsonCodec::serialize(body->toVariant());

    QNetworkReply *sent = nullptr;
    switch (verb) {
    case Get:
        sent = manager->get(request);
        break;
    case Post:
        sent = manager->post(request, data);
        break;
    case Put:
        sent = manager->put(request, data);
        break;
    case Delete:
        sent = manager->deleteResource(request);
        break;
    default:
        LOG_WARNING << requestName() << "unknown method" << verb << ", nothing sent";
        return;
    }
    m_verb = verb;
    m_reply = sent;
    sent->setProperty(verbProperty, verb);
    sent->setProperty(startedProperty, QDateTime::currentMSecsSinceEpoch());
    tagReply(sent);
    watchTransfer(sent);
    LOG_TRACE << requestName() << verbName(verb) << loggableUrl(url);
}

// Qt's network layer never gives up on a peer that accepts the connection and stays silent.
void RestRequest::watchTransfer(QNetworkReply *reply)
{
    if (timeoutMs <= 0)
        return;
    auto *timer = new QTimer(reply);
    timer->setSingleShot(true);
    timer->setInterval(timeoutMs);
    auto restart = [timer]() { timer->start(); };
    connect(reply, &QNetworkReply::downloadProgress, timer, restart);
    connect(reply, &QNetworkReply::uploadProgress, timer, restart);
    connect(reply, &QNetworkReply::finished, timer, &QTimer::stop);
    connect(timer, &QTimer::timeout, reply, [reply]() {
        reply->setProperty(timedOutProperty, true);
        reply->abort();
    });
    timer->start();
}

void RestRequest::onFinishRequest(QNetworkReply *reply)
{
    if (!reply)
        return;
    // A connection opened ahead ends in a reply of its own that answers no request.
    if (reply->url().scheme() == QLatin1String(connectAheadScheme)) {
        if (reply->error() != QNetworkReply::NoError)
            LOG_TRACE << requestName() << "could not connect ahead:" << reply->errorString();
        reply->deleteLater();
        return;
    }
    const QVariant replyVerb = reply->property(verbProperty);
    if (replyVerb.isValid())
        m_verb = replyVerb.toInt();
    restoreFromReply(reply);

    const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    const int httpStatusCode = status.isValid() ? status.toInt() : 0;
    if (reply->error() == QNetworkReply::NoError) {
        const QByteArray body = reply->readAll();
        const qint64 started = reply->property(startedProperty).toLongLong();
        LOG_TRACE << requestName() << verbName(m_verb) << loggableUrl(reply->url()) << "answered"
                  << httpStatusCode << "with" << body.size() << "bytes in"
                  << (started ? QDateTime::currentMSecsSinceEpoch() - started : 0) << "ms";
        reply->deleteLater();
        emit finishedRequest(body, httpStatusCode);
        return;
    }
    reportFailure(reply, httpStatusCode);
    reply->deleteLater();
}

void RestRequest::reportFailure(QNetworkReply *reply, int httpStatusCode)
{
    const QNetworkReply::NetworkError code = reply->error();
    const QString message = redacted(reply->errorString(), reply->url());
    if (reply->property(timedOutProperty).toBool()) {
        LOG_TRACE << "Error =" << requestName() << verbName(m_verb) << loggableUrl(reply->url())
                  << "got no answer within" << timeoutMs << "ms";
    } else {
        LOG_TRACE << "Error =" << message << int(code) << "HTTP status" << httpStatusCode << "("
                  << requestName() << verbName(m_verb) << ")";
    }
    if (reportsProxyErrors(m_verb) && failedAtProxy(reply))
        emit proxyConnectionError(message);
    else
        emit requestError();
}

void RestRequest::onFinallyFinish(const QByteArray &result, const int httpStatusCode)
{
    onFinish(result, httpStatusCode);
}
