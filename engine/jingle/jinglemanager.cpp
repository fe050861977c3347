#include "jinglemanager.h"

#include <QDomElement>
#include <QUuid>

#include <QXmppUtils.h>

#include "core/enginelog.h"
#include "jingleerroriq.h"
#include "jingleiq.h"
#include "jinglewire.h"
#include "media/callmedia.h"

namespace engine {

namespace {
const QString jingleNs = QStringLiteral("urn:xmpp:jingle:1");
}

JingleManager::JingleManager(JingleWire *wire, MediaFactory mediaFactory, QObject *parent)
    : QObject(parent), m_wire(wire), m_mediaFactory(std::move(mediaFactory))
{ }

QString JingleManager::nextId()
{
    return QStringLiteral("jingle-%1-%2").arg(++m_counter).arg(QXmppUtils::generateStanzaHash(8));
}

QString JingleManager::fullJidFor(const QString &jid) const
{
    if (!QXmppUtils::jidToResource(jid).isEmpty())
        return jid;
    if (m_resolver) {
        const QString resolved = m_resolver(jid);
        if (!resolved.isEmpty())
            return resolved;
    }
    return jid + QLatin1Char('/') + m_defaultResource;
}

int JingleManager::liveSessionCount() const
{
    int n = 0;
    for (const auto &s : m_sessions) {
        if (s && !s->isEnded())
            ++n;
    }
    return n;
}

QList<JingleSession *> JingleManager::sessions() const
{
    QList<JingleSession *> out;
    for (const auto &s : m_sessions) {
        if (s)
            out.append(s);
    }
    return out;
}

JingleSession *JingleManager::call(const QString &jid)
{
    const QString user = QXmppUtils::jidToUser(jid);
    const QString domain = QXmppUtils::jidToDomain(jid);
    if (user.isEmpty() || domain.isEmpty() || jid.contains(QLatin1Char(' '))) {
        VLOG_WARNING(QStringLiteral("Refusing to call a malformed address: %1").arg(jid));
        return nullptr;
    }
    if (m_ownJid.isEmpty()) {
        VLOG_WARNING(QStringLiteral("Not signed in: cannot call %1").arg(jid));
        return nullptr;
    }
    if (!m_allowMultipleCalls && liveSessionCount() > 0) {
        VLOG_WARNING(QStringLiteral("Another call is running: cannot call %1").arg(jid));
        return nullptr;
    }
    const QString sid = QUuid::createUuid().toString(QUuid::WithoutBraces);
    auto *session
        = new JingleSession(this, sid, m_ownJid, fullJidFor(jid), false, m_mediaFactory(nullptr), m_timeouts);
    adopt(session);
    VLOG_TRACE(QStringLiteral("Calling %1, session %2").arg(session->peerJid(), sid));
    return session;
}

void JingleManager::adopt(JingleSession *session)
{
    m_sessions.insert(session->sid(), session);
    connect(session, &JingleSession::ended, this, [this, session](vesk::HANGUP_REASON reason) {
        m_sessions.remove(session->sid());
        emit sessionEnded(session, reason);
        session->deleteLater();
    });
}

void JingleManager::abandonAll()
{
    const auto all = m_sessions;
    for (const auto &s : all) {
        if (s && !s->isEnded())
            s->abandon(vesk::HANGUP_UNREACHABLE);
    }
    m_pending.clear();
}

QString JingleManager::sendRequest(QXmppJingleIq iq, JingleSession *session)
{
    iq.setType(QXmppIq::Set);
    iq.setId(nextId());
    iq.setFrom(QString());
    m_pending.insert(iq.id(), session);
    if (!m_wire || !m_wire->sendStanza(JingleIq(iq)))
        VLOG_WARNING(QStringLiteral("Could not send %1 to %2").arg(iq.id(), iq.to()));
    return iq.id();
}

void JingleManager::acknowledge(const QXmppIq &request)
{
    QXmppIq result(QXmppIq::Result);
    result.setId(request.id());
    result.setTo(request.from());
    if (m_wire)
        m_wire->sendStanza(result);
}

void JingleManager::refuse(
    const QXmppIq &request, const QString &type, const QString &condition, const QString &jingleCondition)
{
    VLOG_WARNING(QStringLiteral("Refusing IQ %1 from %2: %3 %4")
                     .arg(request.id(), request.from(), condition, jingleCondition));
    if (m_wire)
        m_wire->sendStanza(JingleErrorIq(request, type, condition, jingleCondition));
}

bool JingleManager::handleElement(const QDomElement &element)
{
    if (element.tagName() != QLatin1String("iq"))
        return false;
    const QString type = element.attribute(QStringLiteral("type"));
    const QString id = element.attribute(QStringLiteral("id"));
    if (type == QLatin1String("result") || type == QLatin1String("error")) {
        auto it = m_pending.find(id);
        if (it == m_pending.end())
            return false;
        QPointer<JingleSession> session = it.value();
        m_pending.erase(it);
        if (!session)
            return true;
        // Answers count only from the peer we asked (or its server on its behalf).
        const QString from = element.attribute(QStringLiteral("from"));
        if (!from.isEmpty()
            && QXmppUtils::jidToBareJid(from) != QXmppUtils::jidToBareJid(session->peerJid())) {
            VLOG_WARNING(QStringLiteral("Ignoring an answer to %1 from %2").arg(id, from));
            return true;
        }
        if (type == QLatin1String("result")) {
            session->handleResult(id);
        } else {
            QXmppIq iq;
            iq.parse(element);
            session->handleError(id, iq.error().condition());
        }
        return true;
    }
    if (type != QLatin1String("set") || !QXmppJingleIq::isJingleIq(element))
        return false;
    QXmppJingleIq iq;
    iq.parse(element);
    handleRequest(iq);
    return true;
}

void JingleManager::handleRequest(const QXmppJingleIq &iq)
{
    if (iq.sid().isEmpty()) {
        refuse(iq, QStringLiteral("modify"), QStringLiteral("bad-request"));
        return;
    }
    if (iq.action() == QXmppJingleIq::SessionInitiate) {
        handleInitiate(iq);
        return;
    }
    QPointer<JingleSession> session = m_sessions.value(iq.sid());
    // A session belongs to its peer: nobody else may act on it, or even learn that it exists.
    if (!session || session->isEnded() || session->peerJid() != iq.from()) {
        refuse(iq, QStringLiteral("cancel"), QStringLiteral("item-not-found"),
            QStringLiteral("unknown-session"));
        return;
    }
    const bool wrongDirection = iq.action() == QXmppJingleIq::SessionAccept
        && (session->isIncoming() || session->state() == JingleSession::State::Active);
    if (wrongDirection) {
        refuse(iq, QStringLiteral("cancel"), QStringLiteral("unexpected-request"),
            QStringLiteral("out-of-order"));
        return;
    }
    acknowledge(iq);
    session->handleRequest(iq);
}

void JingleManager::handleInitiate(const QXmppJingleIq &iq)
{
    if (m_sessions.contains(iq.sid())) {
        refuse(iq, QStringLiteral("cancel"), QStringLiteral("conflict"));
        return;
    }
    acknowledge(iq);
    if (!m_allowMultipleCalls && liveSessionCount() > 0) {
        VLOG_TRACE(QStringLiteral("Busy: refusing the call of %1").arg(iq.from()));
        QXmppJingleIq terminate;
        terminate.setTo(iq.from());
        terminate.setSid(iq.sid());
        terminate.setAction(QXmppJingleIq::SessionTerminate);
        terminate.reason().setType(QXmppJingleIq::Reason::Busy);
        sendRequest(terminate, nullptr);
        return;
    }
    auto *session
        = new JingleSession(this, iq.sid(), m_ownJid, iq.from(), true, m_mediaFactory(nullptr), m_timeouts);
    adopt(session);
    VLOG_TRACE(QStringLiteral("Incoming call from %1, session %2").arg(iq.from(), iq.sid()));
    if (session->receiveInitiate(iq))
        emit incomingSession(session);
}

} // namespace engine
