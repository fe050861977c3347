#pragma once

#include <functional>

#include <QHash>
#include <QObject>
#include <QPointer>

#include <QXmppJingleIq.h>

#include "jinglesession.h"

class QDomElement;

namespace engine {

class CallMedia;
class JingleWire;

// All Jingle sessions of one XMPP connection: routes the peer's requests and the answers to our
// own requests to the session they belong to, acknowledges every request, answers requests for
// sessions it does not know with item-not-found + unknown-session, and refuses a second call with
// busy while several calls are not allowed. Sessions delete themselves (later) once ended.
class JingleManager : public QObject
{
    Q_OBJECT
public:
    using MediaFactory = std::function<CallMedia *(QObject *parent)>;
    // Full JID of a bare JID's best resource, or an empty string when none is known.
    using Resolver = std::function<QString(const QString &bareJid)>;

    JingleManager(JingleWire *wire, MediaFactory mediaFactory, QObject *parent = nullptr);

    // The connection changed (a new login): stanzas go out through this one from now on.
    void setWire(JingleWire *wire) { m_wire = wire; }
    void setOwnJid(const QString &fullJid) { m_ownJid = fullJid; }
    QString ownJid() const { return m_ownJid; }
    void setTimeouts(const JingleTimeouts &timeouts) { m_timeouts = timeouts; }
    JingleTimeouts timeouts() const { return m_timeouts; }
    void setAllowMultipleCalls(bool on) { m_allowMultipleCalls = on; }
    bool allowsMultipleCalls() const { return m_allowMultipleCalls; }
    void setResolver(Resolver resolver) { m_resolver = std::move(resolver); }
    // Resource tried when a bare JID has no known resource.
    void setDefaultResource(const QString &resource) { m_defaultResource = resource; }

    // Creates an outgoing call; null when refused (another call while only one is allowed, no
    // connection, a malformed JID). Connect to the session, then start() it.
    JingleSession *call(const QString &jid);

    // Offers a stanza received from the server. True when it was ours (Jingle requests, answers to
    // our requests); false leaves it to other handlers.
    bool handleElement(const QDomElement &element);

    QList<JingleSession *> sessions() const;
    int liveSessionCount() const;
    // The connection is gone: every call ends with HANGUP_UNREACHABLE, no stanza is sent.
    void abandonAll();

    // Used by sessions.
    QString sendRequest(QXmppJingleIq iq, JingleSession *session);
    QString fullJidFor(const QString &jid) const;

signals:
    void incomingSession(engine::JingleSession *session);
    void sessionEnded(engine::JingleSession *session, vesk::HANGUP_REASON reason);

private:
    void handleRequest(const QXmppJingleIq &iq);
    void handleInitiate(const QXmppJingleIq &iq);
    void acknowledge(const QXmppIq &request);
    void refuse(const QXmppIq &request, const QString &type, const QString &condition,
        const QString &jingleCondition = QString());
    void adopt(JingleSession *session);
    QString nextId();

    JingleWire *m_wire;
    MediaFactory m_mediaFactory;
    Resolver m_resolver;
    QString m_ownJid;
    QString m_defaultResource = QStringLiteral("talkvane");
    JingleTimeouts m_timeouts;
    bool m_allowMultipleCalls = false;
    QHash<QString, QPointer<JingleSession>> m_sessions; // by sid
    QHash<QString, QPointer<JingleSession>> m_pending; // by IQ id
    quint64 m_counter = 0;
};

} // namespace engine
