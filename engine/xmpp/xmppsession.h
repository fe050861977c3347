#pragma once

#include <QNetworkProxy>
#include <QObject>
#include <QTimer>

#include <QXmppClient.h>

#include "vesk/enums.h"

class QXmppLogger;

namespace engine {

// One signed-in XMPP connection to the voice server: TLS with verification always on (extra CA
// certificates from TALKVANE_CA_FILE), roster, presence and a ping keep-alive that notices a
// dead connection within interval + timeout (25 s by default). It never reconnects by itself.
class XmppSession : public QObject
{
    Q_OBJECT
public:
    explicit XmppSession(QObject *parent = nullptr);
    ~XmppSession() override;

    void setServer(const QString &host, int port);
    QString host() const { return m_host; }
    int port() const { return m_port; }
    void setProxy(const QNetworkProxy &proxy) { m_proxy = proxy; }
    QNetworkProxy proxy() const { return m_proxy; }
    void setLogger(QXmppLogger *logger);
    // Ping period, and how long a ping may stay unanswered before the connection counts as dead.
    // QXmpp restarts the answer timer with every ping, so the timeout must be the shorter.
    void setKeepAlive(int intervalSeconds, int timeoutSeconds)
    {
        m_keepAliveInterval = intervalSeconds;
        m_keepAliveTimeout = qBound(1, timeoutSeconds, qMax(1, intervalSeconds - 1));
    }
    int keepAliveInterval() const { return m_keepAliveInterval; }
    int keepAliveTimeout() const { return m_keepAliveTimeout; }
    void setResource(const QString &resource) { m_resource = resource; }

    // Asynchronous: ends in loggedIn() or loginFailed(). jid is "user@domain".
    void login(const QString &jid, const QString &password, bool useTLS);
    // Leaves quietly: no signal follows.
    void logout();
    bool isLoggedIn() const { return m_state == State::LoggedIn; }
    QString jid() const { return m_jid; }

    // The connection of the current (or next) login. Every login after the first gets a fresh
    // client, announced by clientReplaced() before it connects: extensions go on each one.
    QXmppClient *client() const { return m_client; }

    // The CA certificates every connection trusts: the system's and TALKVANE_CA_FILE's.
    static QList<QSslCertificate> trustedCertificates();
    // What a failure while signing in means to the caller.
    static vesk::VESK_TALK_ERROR_CODE loginErrorCode(QXmppClient::Error error,
        QAbstractSocket::SocketError socketError, QXmppStanza::Error::Condition streamError);
    // What a failure of an established connection means to the caller.
    static vesk::VESK_DISCONNECT_REASON disconnectReason(
        QXmppClient::Error error, QXmppStanza::Error::Condition streamError);

signals:
    void clientReplaced(QXmppClient *client);
    void loggedIn();
    void loginFailed(vesk::VESK_TALK_ERROR_CODE code);
    void connectionLost(vesk::VESK_DISCONNECT_REASON reason);

private:
    enum class State { Idle, LoggingIn, LoggedIn };

    void attachClient();
    void onConnected();
    void onDisconnected();
    void onError(QXmppClient::Error error);
    void onLoginTimeout();
    void fail(vesk::VESK_TALK_ERROR_CODE code);
    void lose(vesk::VESK_DISCONNECT_REASON reason);

    QXmppClient *m_client = nullptr;
    QXmppLogger *m_logger = nullptr;
    bool m_clientUsed = false;
    quint64 m_loginAttempt = 0;
    QTimer m_loginTimer;
    QString m_host;
    int m_port = 5222;
    QNetworkProxy m_proxy { QNetworkProxy::NoProxy };
    QString m_resource = QStringLiteral("talkvane");
    QString m_jid;
    int m_keepAliveInterval = 15;
    int m_keepAliveTimeout = 10;
    State m_state = State::Idle;
};

} // namespace engine
