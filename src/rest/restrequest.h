#pragma once

#include <QByteArray>
#include <QList>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QObject>
#include <QPointer>
#include <QSslCertificate>
#include <QSslConfiguration>
#include <QString>
#include <QUrl>
#include <QVariant>

#include "serviceurls.h"

class QNetworkAccessManager;
class RestObj;

// Base of the web-service request types: turns a URL, a method and an optional record into an HTTPS
// request, and the reply into either a call of the type's onFinish() or an error signal.
//
// Each reply carries the method (and whatever the type adds, see tagReply()) of the request that
// produced it, so several requests of one object may be in flight and each reply is still read with
// its own settings. A reply that makes no progress for transferTimeout() ms is aborted and reported as
// a failure. TLS certificates are always verified; besides the system's CAs the client trusts the PEM
// certificates of the file that TALKVANE_CA_FILE names.
class RestRequest : public QObject
{
    Q_OBJECT
public:
    enum Verb { Get = 0, Post = 1, Put = 2, Delete = 3 };
    Q_ENUM(Verb)

    static constexpr int defaultTransferTimeout = 30000;

    explicit RestRequest(QObject *parent = nullptr);
    ~RestRequest() override;

    QNetworkAccessManager *networkManager() const { return manager; }
    // The method of the reply being interpreted; between replies, of the last request sent.
    int verb() const { return m_verb; }
    void setVerb(int verb) { m_verb = verb; }
    QNetworkReply *reply() const { return m_reply; }
    QString username() const { return m_username; }
    QString password() const { return m_password; }
    const ServiceUrls &serviceUrls() const { return urls; }
    int transferTimeout() const { return timeoutMs; }
    // Milliseconds without progress after which a request is given up; 0 or less turns it off.
    void setTransferTimeout(int msecs) { timeoutMs = msecs; }

    // The three URL forms. Every value is percent-encoded where it is inserted: the user name and the
    // item id as one path segment each, the credentials and the application id as query values.
    static QUrl collectionUrl(const QString &baseUrl, const QString &username, const QString &password);
    static QUrl itemUrl(
        const QString &baseUrl, const QString &username, const QString &itemId, const QString &password);
    static QUrl signInUrl(
        const QString &baseUrl, const QString &username, const QString &password, const QString &appId);

    // The URL as it may be logged: without its query (which holds the credentials) and fragment.
    static QString loggableUrl(const QUrl &url);
    // `text` with every form of `url` replaced by loggableUrl(url) and any remaining "password=" value
    // masked; for Qt's error strings, which quote the whole request URL.
    static QString redacted(const QString &text, const QUrl &url);
    static bool isProxyError(QNetworkReply::NetworkError code);
    // Whether a failed reply never got past the proxy. Qt reports some proxy failures with their own
    // codes, but a refused proxy as a plain connection failure (or, for HTTPS, as an unknown network
    // error); those count when the request was sent through a proxy and no HTTP answer came.
    bool failedAtProxy(const QNetworkReply *reply) const;
    // The proxy this object's network manager uses for `url`.
    QNetworkProxy proxyFor(const QUrl &url) const;

    // Opens this object's HTTPS connection to the host of baseUrl before a request needs it, with
    // the TLS configuration the requests use, so that the next request finds the handshake done.
    // Certificates are verified as for any request; a connection that fails is only traced, and the
    // request then opens one of its own and reports what goes wrong. False when there is nothing to
    // open (not an https URL).
    bool connectAhead(const QString &baseUrl);

    // The system's CA certificates plus those of TALKVANE_CA_FILE (read afresh on every call).
    static QSslConfiguration sslConfiguration();
    static QList<QSslCertificate> extraCaCertificates();

    // Reply bytes as the parser reads them: one character per byte up to the first zero byte.
    static QString replyText(const QByteArray &bytes);
    // A JSON array's elements; anything else (object, string, number, null) gives an empty list.
    static QVariantList valueAsList(const QVariant &value);
    // Reply bytes for a trace line, cut at a few kilobytes.
    static QByteArray traceBytes(const QByteArray &bytes);

public slots:
    void setUsername(const QString &username) { m_username = username; }
    void setPassword(const QString &password) { m_password = password; }
    void setServiceUrls(const ServiceUrls &serviceUrls) { urls = serviceUrls; }

    // Sends `body` (when given and the method carries one) as JSON. Unknown methods send nothing.
    virtual void sendRequest(const QUrl &url, int verb, const RestObj *body = nullptr);
    virtual void onFinishRequest(QNetworkReply *reply);
    // Interprets a reply that arrived without a network error; verb() and the type's own settings
    // are those of the request that produced it.
    virtual void onFinish(const QByteArray &result, const int httpStatusCode) = 0;

signals:
    void finishedRequest(const QByteArray &obj, const int httpStatusCode);
    void requestError(const QString &message = QString());
    void proxyConnectionError(const QString &message = QString());

protected:
    QUrl collectionUrl(const QString &baseUrl) const;
    QUrl itemUrl(const QString &baseUrl, const QString &itemId) const;

    // Hooks that keep a type's settings with each reply: tagReply() runs when the request is sent,
    // restoreFromReply() before that reply is interpreted.
    virtual void tagReply(QNetworkReply *reply) const;
    virtual void restoreFromReply(const QNetworkReply *reply);
    // Whether a proxy failure of a request sent with `verb` is reported as proxyConnectionError()
    // (a failure to reach the service at all that the user can mend in the proxy settings) rather
    // than as the request's own requestError().
    virtual bool reportsProxyErrors(int verb) const;

    // A short name for trace lines, the class name by default.
    QString requestName() const;

private slots:
    void onFinallyFinish(const QByteArray &result, const int httpStatusCode);

private:
    void watchTransfer(QNetworkReply *reply);
    void reportFailure(QNetworkReply *reply, int httpStatusCode);

    QNetworkAccessManager *manager = nullptr;
    int m_verb = Get;
    QPointer<QNetworkReply> m_reply;
    QString m_username;
    QString m_password;
    ServiceUrls urls;
    int timeoutMs = defaultTransferTimeout;
};
