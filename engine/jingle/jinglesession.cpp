#include "jinglesession.h"

#include "core/enginelog.h"
#include "jinglemanager.h"
#include "jinglenegotiation.h"
#include "media/callmedia.h"

namespace engine {

using Reason = QXmppJingleIq::Reason;

JingleSession::JingleSession(JingleManager *manager, const QString &sid, const QString &ownJid,
    const QString &peerJid, bool incoming, CallMedia *media, const JingleTimeouts &timeouts)
    : QObject(manager)
    , m_manager(manager)
    , m_sid(sid)
    , m_ownJid(ownJid)
    , m_peerJid(peerJid)
    , m_incoming(incoming)
    , m_media(media)
    , m_timeouts(timeouts)
{
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &JingleSession::onTimer);
    if (m_media) {
        m_media->setParent(this);
        connect(m_media, &CallMedia::localContentReady, this, &JingleSession::onLocalContent);
        connect(m_media, &CallMedia::localCandidate, this, &JingleSession::onLocalCandidate);
        connect(m_media, &CallMedia::connected, this, &JingleSession::onMediaConnected);
        connect(m_media, &CallMedia::failed, this, &JingleSession::onMediaFailed);
        connect(m_media, &CallMedia::dtmfReceived, this, &JingleSession::dtmfReceived);
    }
}

JingleSession::~JingleSession() = default;

void JingleSession::arm(int ms)
{
    m_timer.start(ms);
}

QXmppJingleIq JingleSession::request(QXmppJingleIq::Action action) const
{
    QXmppJingleIq iq;
    iq.setTo(m_peerJid);
    iq.setSid(m_sid);
    iq.setAction(action);
    return iq;
}

void JingleSession::start()
{
    if (m_state != State::New || m_incoming)
        return;
    if (!m_media) {
        finish(vesk::HANGUP_UNKNOWN);
        return;
    }
    arm(m_timeouts.localDescription);
    m_media->createOffer();
}

bool JingleSession::receiveInitiate(const QXmppJingleIq &iq)
{
    const QList<QXmppJingleIq::Content> contents = iq.contents();
    if (contents.isEmpty()) {
        terminate(vesk::HANGUP_UNKNOWN, Reason::FailedApplication);
        return false;
    }
    const QXmppJingleIq::Content offer = contents.first();
    if (offer.descriptionMedia().compare(QLatin1String("audio"), Qt::CaseInsensitive) != 0) {
        terminate(vesk::HANGUP_UNKNOWN, Reason::UnsupportedApplications);
        return false;
    }
    // Media without DTLS would flow in clear: refuse rather than fall back.
    if (offer.transportFingerprint().isEmpty()) {
        terminate(vesk::HANGUP_UNKNOWN, Reason::SecurityError);
        return false;
    }
    if (!JingleNegotiation::hasAudioCodec(offer)) {
        terminate(vesk::HANGUP_UNKNOWN, Reason::IncompatibleParameters);
        return false;
    }
    m_remoteContent = offer;
    if (!applyRemoteContent(offer)) {
        terminate(vesk::HANGUP_UNKNOWN, Reason::IncompatibleParameters);
        return false;
    }
    m_state = State::Pending;
    QXmppJingleIq ring = request(QXmppJingleIq::SessionInfo);
    ring.setRinging(true);
    m_manager->sendRequest(ring, this);
    arm(m_timeouts.ringing);
    emit initiated();
    return true;
}

bool JingleSession::applyRemoteContent(const QXmppJingleIq::Content &content)
{
    if (!m_media || !m_media->setRemoteContent(content))
        return false;
    m_remoteContentApplied = true;
    flushRemoteCandidates();
    return true;
}

void JingleSession::flushRemoteCandidates()
{
    if (!m_remoteContentApplied || !m_media)
        return;
    const auto pending = m_pendingRemoteCandidates;
    m_pendingRemoteCandidates.clear();
    for (const QXmppJingleCandidate &c : pending)
        m_media->addRemoteCandidate(c);
}

bool JingleSession::accept()
{
    if (!m_incoming || m_state != State::Pending || !m_media)
        return false;
    VLOG_TRACE(QStringLiteral("Accepting the call of %1").arg(m_peerJid));
    m_state = State::Accepting;
    arm(m_timeouts.localDescription);
    m_media->createAnswer();
    return true;
}

bool JingleSession::reject(vesk::HANGUP_REASON reason)
{
    if (!m_incoming || m_state != State::Pending)
        return false;
    terminate(reason, JingleNegotiation::jingleReasonFor(reason));
    return true;
}

void JingleSession::hangup()
{
    switch (m_state) {
    case State::Ended:
        return;
    case State::New:
        finish(vesk::HANGUP_SUCCESS);
        return;
    case State::Initiating:
    case State::Pending:
        if (m_incoming)
            terminate(vesk::HANGUP_DECLINE, Reason::Decline);
        else
            terminate(vesk::HANGUP_SUCCESS, Reason::Cancel);
        return;
    case State::Accepting:
    case State::Active:
        terminate(vesk::HANGUP_SUCCESS, Reason::Success);
        return;
    }
}

bool JingleSession::sendDtmf(int event)
{
    if (m_state != State::Active || !m_media || event < 0 || event > 15)
        return false;
    m_media->sendDtmf(event);
    return true;
}

void JingleSession::setMuted(bool muted)
{
    if (m_media)
        m_media->setMicrophoneMuted(muted);
}

bool JingleSession::setHold(bool onHold)
{
    if (m_state != State::Active || !m_media)
        return false;
    if (m_onHold != onHold) {
        m_onHold = onHold;
        m_media->setHold(onHold);
        emit holdChanged(onHold);
    }
    return true;
}

void JingleSession::onLocalContent(const QXmppJingleIq::Content &content)
{
    if (m_state == State::New && !m_incoming) {
        sendInitiate(content);
    } else if (m_state == State::Accepting && m_incoming) {
        sendAccept(content);
    }
}

void JingleSession::sendInitiate(QXmppJingleIq::Content content)
{
    content.setCreator(QStringLiteral("initiator"));
    if (content.name().isEmpty())
        content.setName(QStringLiteral("audio"));
    if (content.senders().isEmpty())
        content.setSenders(QStringLiteral("both"));
    for (const QXmppJingleCandidate &c : qAsConst(m_pendingLocalCandidates))
        content.addTransportCandidate(c);
    m_pendingLocalCandidates.clear();
    m_localContent = content;
    QXmppJingleIq iq = request(QXmppJingleIq::SessionInitiate);
    iq.setInitiator(m_ownJid);
    iq.addContent(content);
    m_state = State::Initiating;
    m_localContentSent = true;
    m_initiateId = m_manager->sendRequest(iq, this);
    arm(m_timeouts.initiateAnswer);
}

void JingleSession::sendAccept(QXmppJingleIq::Content content)
{
    // The caller's numbering and content name are the session's.
    content = JingleNegotiation::adoptPayloadTypes(m_remoteContent, content);
    if (!JingleNegotiation::hasAudioCodec(content)) {
        terminate(vesk::HANGUP_UNKNOWN, Reason::IncompatibleParameters);
        return;
    }
    content.setCreator(
        m_remoteContent.creator().isEmpty() ? QStringLiteral("initiator") : m_remoteContent.creator());
    content.setName(m_remoteContent.name());
    if (content.senders().isEmpty())
        content.setSenders(QStringLiteral("both"));
    for (const QXmppJingleCandidate &c : qAsConst(m_pendingLocalCandidates))
        content.addTransportCandidate(c);
    m_pendingLocalCandidates.clear();
    m_localContent = content;
    QXmppJingleIq iq = request(QXmppJingleIq::SessionAccept);
    iq.setResponder(m_ownJid);
    iq.addContent(content);
    m_localContentSent = true;
    m_manager->sendRequest(iq, this);
    m_state = State::Active;
    arm(m_timeouts.transport);
    emit accepted();
}

void JingleSession::onLocalCandidate(const QXmppJingleCandidate &candidate)
{
    if (m_state == State::Ended)
        return;
    if (!m_localContentSent) {
        m_pendingLocalCandidates.append(candidate);
        return;
    }
    sendTransportInfo(candidate);
}

void JingleSession::sendTransportInfo(const QXmppJingleCandidate &candidate)
{
    QXmppJingleIq::Content content;
    content.setCreator(m_localContent.creator());
    content.setName(m_localContent.name());
    content.setTransportUser(m_localContent.transportUser());
    content.setTransportPassword(m_localContent.transportPassword());
    content.addTransportCandidate(candidate);
    QXmppJingleIq iq = request(QXmppJingleIq::TransportInfo);
    iq.addContent(content);
    m_manager->sendRequest(iq, this);
}

void JingleSession::onMediaConnected()
{
    if (m_mediaConnected || m_state == State::Ended)
        return;
    m_mediaConnected = true;
    VLOG_TRACE(QStringLiteral("Media connected with %1").arg(m_peerJid));
    if (m_state == State::Active)
        m_timer.stop();
    emit mediaConnected();
}

void JingleSession::onMediaFailed(const QString &reason)
{
    if (m_state == State::Ended)
        return;
    VLOG_WARNING(QStringLiteral("Media failed with %1: %2").arg(m_peerJid, reason));
    if (m_mediaConnected)
        terminate(vesk::HANGUP_UNKNOWN, Reason::MediaError);
    else if (m_state == State::Active)
        terminate(vesk::HANGUP_UNREACHABLE, Reason::FailedTransport);
    else
        terminate(vesk::HANGUP_UNKNOWN, Reason::FailedApplication);
}

void JingleSession::onTimer()
{
    switch (m_state) {
    case State::New:
    case State::Accepting:
        VLOG_WARNING(QStringLiteral("No local media description for %1").arg(m_peerJid));
        terminate(vesk::HANGUP_UNKNOWN, Reason::MediaError);
        break;
    case State::Initiating:
        // Nobody, not even the peer's server, answered: there is no route to the peer.
        VLOG_WARNING(QStringLiteral("No answer to the call of %1").arg(m_peerJid));
        terminate(vesk::HANGUP_UNREACHABLE, Reason::ConnectivityError);
        break;
    case State::Pending:
        terminate(vesk::HANGUP_TIMEOUT, Reason::Timeout);
        break;
    case State::Active:
        if (!m_mediaConnected)
            terminate(vesk::HANGUP_UNREACHABLE, Reason::FailedTransport);
        break;
    case State::Ended:
        break;
    }
}

void JingleSession::handleResult(const QString &id)
{
    if (id == m_initiateId && m_state == State::Initiating) {
        m_state = State::Pending;
        arm(m_timeouts.ringing);
        emit initiated();
    }
}

void JingleSession::handleError(const QString &id, QXmppStanza::Error::Condition condition)
{
    if (m_state == State::Ended)
        return;
    if (id == m_initiateId && m_state == State::Initiating) {
        VLOG_WARNING(QStringLiteral("The call of %1 was refused with condition %2")
                         .arg(m_peerJid)
                         .arg(int(condition)));
        // The peer never had a session: nothing to terminate.
        finish(JingleNegotiation::hangupReasonFromInitiateError(condition));
        return;
    }
    // Any other request refused means the peer lost track of the session.
    VLOG_WARNING(
        QStringLiteral("Request %1 to %2 refused with condition %3").arg(id, m_peerJid).arg(int(condition)));
    if (condition == QXmppStanza::Error::ItemNotFound || m_state != State::Active)
        finish(vesk::HANGUP_UNKNOWN);
}

void JingleSession::handleRequest(const QXmppJingleIq &iq)
{
    if (m_state == State::Ended)
        return;
    switch (iq.action()) {
    case QXmppJingleIq::SessionTerminate: {
        const vesk::HANGUP_REASON reason = JingleNegotiation::hangupReasonFromJingle(iq.reason().type());
        VLOG_TRACE(QStringLiteral("%1 ended the call, reason %2").arg(m_peerJid).arg(int(reason)));
        finish(reason);
        break;
    }
    case QXmppJingleIq::SessionInfo:
        if (iq.ringing() && !m_incoming && (m_state == State::Pending || m_state == State::Initiating)) {
            if (m_state == State::Initiating) {
                m_state = State::Pending;
                emit initiated();
            }
            arm(m_timeouts.ringing);
            emit ringing();
        }
        break;
    case QXmppJingleIq::SessionAccept: {
        if (m_incoming || (m_state != State::Pending && m_state != State::Initiating))
            break;
        const QList<QXmppJingleIq::Content> contents = iq.contents();
        if (m_state == State::Initiating)
            emit initiated();
        m_state = State::Active;
        if (contents.isEmpty()) {
            terminate(vesk::HANGUP_UNKNOWN, Reason::FailedApplication);
            break;
        }
        m_remoteContent = contents.first();
        if (m_remoteContent.transportFingerprint().isEmpty()) {
            terminate(vesk::HANGUP_UNKNOWN, Reason::SecurityError);
            break;
        }
        if (!applyRemoteContent(m_remoteContent)) {
            terminate(vesk::HANGUP_UNKNOWN, Reason::IncompatibleParameters);
            break;
        }
        if (m_mediaConnected)
            m_timer.stop();
        else
            arm(m_timeouts.transport);
        emit accepted();
        if (m_mediaConnected)
            emit mediaConnected();
        break;
    }
    case QXmppJingleIq::TransportInfo:
        for (const QXmppJingleIq::Content &content : iq.contents()) {
            for (const QXmppJingleCandidate &c : content.transportCandidates())
                m_pendingRemoteCandidates.append(c);
        }
        flushRemoteCandidates();
        break;
    default:
        // Acknowledged and otherwise ignored: content changes are not part of a phone call.
        VLOG_TRACE(QStringLiteral("Ignoring Jingle action %1 from %2").arg(int(iq.action())).arg(m_peerJid));
        break;
    }
}

void JingleSession::terminate(vesk::HANGUP_REASON reason, QXmppJingleIq::Reason::Type jingleReason)
{
    if (m_state == State::Ended)
        return;
    QXmppJingleIq iq = request(QXmppJingleIq::SessionTerminate);
    iq.reason().setType(jingleReason);
    m_manager->sendRequest(iq, nullptr);
    finish(reason);
}

void JingleSession::abandon(vesk::HANGUP_REASON reason)
{
    finish(reason);
}

void JingleSession::finish(vesk::HANGUP_REASON reason)
{
    if (m_state == State::Ended)
        return;
    m_state = State::Ended;
    m_endReason = reason;
    m_timer.stop();
    if (m_media) {
        m_media->disconnect(this);
        m_media->deleteLater();
        m_media = nullptr;
    }
    emit ended(reason);
}

} // namespace engine
