#include "xmppsession.h"

#include <QXmppConfiguration.h>
#include <QXmppLogger.h>

#include "core/enginelog.h"
#include "truststore.h"

namespace engine {

namespace {
// A server that accepts the TCP connection and then says nothing must not hang the sign-in.
constexpr int loginTimeoutMs = 30000;
} // namespace

XmppSession::XmppSession(QObject *parent) : QObject(parent)
{
    m_loginTimer.setSingleShot(true);
    m_loginTimer.setInterval(loginTimeoutMs);
    connect(&m_loginTimer, &QTimer::timeout, this, &XmppSession::onLoginTimeout);
    attachClient();
    // Read while the user is still typing, not on the GUI thread when signing in.
    TrustStore::preload();
}

void XmppSession::attachClient()
{
    m_client = new QXmppClient(this);
    m_clientUsed = false;
    if (m_logger)
        m_client->setLogger(m_logger);
    connect(m_client, &QXmppClient::connected, this, &XmppSession::onConnected);
    connect(m_client, &QXmppClient::disconnected, this, &XmppSession::onDisconnected);
    connect(m_client, &QXmppClient::error, this, &XmppSession::onError);
    connect(m_client, &QXmppClient::sslErrors, this, [](const QList<QSslError> &errors) {
        for (const QSslError &e : errors)
            VLOG_WARNING(QStringLiteral("TLS certificate refused: %1").arg(e.errorString()));
    });
}

XmppSession::~XmppSession()
{
    m_state = State::Idle;
    m_client->disconnect(this);
    m_client->disconnectFromServer();
}

void XmppSession::setServer(const QString &host, int port)
{
    m_host = host;
    m_port = port;
}

void XmppSession::setLogger(QXmppLogger *logger)
{
    m_logger = logger;
    m_client->setLogger(logger);
}

QList<QSslCertificate> XmppSession::trustedCertificates()
{
    return TrustStore::trusted();
}

void XmppSession::login(const QString &jid, const QString &password, bool useTLS)
{
    m_state = State::Idle;
    m_loginTimer.stop();
    m_jid = jid;
    QXmppConfiguration config;
    config.setJid(jid);
    config.setPassword(password);
    config.setResource(m_resource);
    if (!m_host.isEmpty())
        config.setHost(m_host);
    config.setPort(m_port);
    // Without the flag the server may still insist on TLS; certificates are verified either way.
    config.setStreamSecurityMode(useTLS ? QXmppConfiguration::TLSRequired : QXmppConfiguration::TLSEnabled);
    config.setIgnoreSslErrors(false);
    config.setAutoReconnectionEnabled(false);
    config.setKeepAliveInterval(m_keepAliveInterval);
    config.setKeepAliveTimeout(m_keepAliveTimeout);
    config.setNetworkProxy(m_proxy);
    VLOG_TRACE(QStringLiteral("Signing in as %1 at %2:%3 (tls %4, proxy type %5)")
                   .arg(jid, m_host)
                   .arg(m_port)
                   .arg(useTLS)
                   .arg(int(m_proxy.type())));
    // A used client may still be closing its socket, and its last signals must not count for
    // the new login: it is retired, and the login gets a fresh one.
    if (m_clientUsed) {
        QXmppClient *old = m_client;
        old->disconnect(this);
        old->disconnectFromServer();
        old->deleteLater();
        attachClient();
        emit clientReplaced(m_client);
    }
    m_state = State::LoggingIn;
    m_clientUsed = true;
    m_loginTimer.start();
    // The first sign-in may come before the system CA store is read: it connects once it is,
    // without blocking this thread. A newer login or a logout meanwhile cancels this one.
    const quint64 attempt = ++m_loginAttempt;
    TrustStore::whenReady(this, [this, attempt, config]() mutable {
        if (attempt != m_loginAttempt || m_state != State::LoggingIn)
            return;
        config.setCaCertificates(trustedCertificates());
        m_client->connectToServer(config);
    });
}

void XmppSession::logout()
{
    m_loginTimer.stop();
    if (m_state == State::Idle)
        return;
    VLOG_TRACE(QStringLiteral("Signing out %1").arg(m_jid));
    m_state = State::Idle;
    ++m_loginAttempt;
    m_client->disconnectFromServer();
}

vesk::VESK_TALK_ERROR_CODE XmppSession::loginErrorCode(QXmppClient::Error error,
    QAbstractSocket::SocketError socketError, QXmppStanza::Error::Condition streamError)
{
    switch (error) {
    case QXmppClient::XmppStreamError:
        return streamError == QXmppStanza::Error::NotAuthorized ? vesk::VESK_TALK_ERROR_CREDENTIALS
                                                                : vesk::VESK_TALK_ERROR_SERVER;
    case QXmppClient::SocketError:
        // A certificate we do not trust will not become trusted by retrying.
        if (socketError == QAbstractSocket::SslHandshakeFailedError
            || socketError == QAbstractSocket::SslInvalidUserDataError)
            return vesk::VESK_TALK_ERROR_TLS;
        return vesk::VESK_TALK_ERROR_CONNECTION;
    case QXmppClient::KeepAliveError:
    case QXmppClient::NoError:
        break;
    }
    return vesk::VESK_TALK_ERROR_CONNECTION;
}

vesk::VESK_DISCONNECT_REASON XmppSession::disconnectReason(
    QXmppClient::Error error, QXmppStanza::Error::Condition streamError)
{
    switch (error) {
    case QXmppClient::XmppStreamError:
        return streamError == QXmppStanza::Error::Conflict ? vesk::VESK_DISCONNECT_REPLACED
                                                           : vesk::VESK_DISCONNECT_ERROR;
    case QXmppClient::KeepAliveError:
    case QXmppClient::SocketError:
    case QXmppClient::NoError:
        break;
    }
    return vesk::VESK_DISCONNECT_MISSED;
}

void XmppSession::onConnected()
{
    if (m_state != State::LoggingIn)
        return;
    m_loginTimer.stop();
    m_state = State::LoggedIn;
    VLOG_TRACE(QStringLiteral("Signed in as %1").arg(m_client->configuration().jid()));
    emit loggedIn();
}

void XmppSession::onDisconnected()
{
    // A stream closed without an error while we wanted it open.
    if (m_state == State::LoggingIn)
        fail(vesk::VESK_TALK_ERROR_CONNECTION);
    else if (m_state == State::LoggedIn)
        lose(vesk::VESK_DISCONNECT_MISSED);
}

void XmppSession::onError(QXmppClient::Error error)
{
    const QAbstractSocket::SocketError socketError = m_client->socketError();
    const QXmppStanza::Error::Condition streamError = m_client->xmppStreamError();
    VLOG_WARNING(QStringLiteral("Connection error %1 (socket %2 \"%3\", stream condition %4)")
                     .arg(int(error))
                     .arg(int(socketError))
                     .arg(m_client->socketErrorString())
                     .arg(int(streamError)));
    if (m_state == State::LoggingIn)
        fail(loginErrorCode(error, socketError, streamError));
    else if (m_state == State::LoggedIn)
        lose(disconnectReason(error, streamError));
}

void XmppSession::onLoginTimeout()
{
    if (m_state != State::LoggingIn)
        return;
    VLOG_WARNING(QStringLiteral("No answer from the server while signing in"));
    fail(vesk::VESK_TALK_ERROR_CONNECTION);
}

void XmppSession::fail(vesk::VESK_TALK_ERROR_CODE code)
{
    m_loginTimer.stop();
    m_state = State::Idle;
    m_client->disconnectFromServer();
    VLOG_WARNING(QStringLiteral("Sign-in failed with code %1").arg(int(code)));
    emit loginFailed(code);
}

void XmppSession::lose(vesk::VESK_DISCONNECT_REASON reason)
{
    m_state = State::Idle;
    m_client->disconnectFromServer();
    VLOG_WARNING(QStringLiteral("Connection lost, reason %1").arg(int(reason)));
    emit connectionLost(reason);
}

} // namespace engine
