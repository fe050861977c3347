#pragma once

#include <QList>
#include <QObject>
#include <QPointer>
#include <QTimer>

#include <QXmppJingleIq.h>

#include "media/callmedia.h"
#include "vesk/enums.h"

namespace engine {

class JingleManager;

// Time limits of one call, in milliseconds.
struct JingleTimeouts
{
    int initiateAnswer = 15000; // the peer's server must answer the session-initiate IQ
    int ringing = 60000; // nobody answers a ringing call
    int transport = 20000; // media must connect after the accept
    int localDescription = 15000; // our media must produce its offer or answer
};

// One call as a Jingle RTP session (XEP-0166/0167, ICE-UDP, DTLS-SRTP). It keeps the call's
// state, speaks Jingle with the peer through its manager and drives the call's media. Every
// way a call can end leads to exactly one ended() with a reason; no stanza is sent afterwards.
class JingleSession : public QObject
{
    Q_OBJECT
public:
    enum class State {
        New, // outgoing: waiting for our offer
        Initiating, // outgoing: session-initiate sent, its IQ not yet answered
        Pending, // ringing on either side
        Accepting, // incoming: accepted locally, waiting for our answer
        Active, // accepted by both sides
        Ended
    };
    Q_ENUM(State)

    JingleSession(JingleManager *manager, const QString &sid, const QString &ownJid, const QString &peerJid,
        bool incoming, CallMedia *media, const JingleTimeouts &timeouts);
    ~JingleSession() override;

    QString sid() const { return m_sid; }
    QString peerJid() const { return m_peerJid; }
    bool isIncoming() const { return m_incoming; }
    State state() const { return m_state; }
    bool isEnded() const { return m_state == State::Ended; }
    bool isMediaConnected() const { return m_mediaConnected; }
    bool isOnHold() const { return m_onHold; }
    vesk::HANGUP_REASON endReason() const { return m_endReason; }
    CallMedia *media() const { return m_media; }

    // Outgoing: ask the media for an offer, then send session-initiate.
    void start();
    // Incoming: take the peer's session-initiate (already acknowledged). False when it carries
    // nothing we can play; the session has then ended (terminated towards the peer).
    bool receiveInitiate(const QXmppJingleIq &iq);
    // Incoming: answer the ringing call.
    bool accept();
    // Incoming, ringing: refuse (decline or busy).
    bool reject(vesk::HANGUP_REASON reason = vesk::HANGUP_DECLINE);
    // Any state: end the call (cancel before the accept, success after).
    void hangup();
    bool sendDtmf(int event);
    void setMuted(bool muted);
    bool setHold(bool onHold);

    // From the manager: a request of the peer for this session, already acknowledged.
    void handleRequest(const QXmppJingleIq &iq);
    // From the manager: the outcome of one of our requests.
    void handleResult(const QString &id);
    void handleError(const QString &id, QXmppStanza::Error::Condition condition);
    // From the manager: our connection is gone; the call ends without a word to the peer.
    void abandon(vesk::HANGUP_REASON reason);

    // Ends the session towards the peer with the reason element matching `reason`.
    void terminate(vesk::HANGUP_REASON reason, QXmppJingleIq::Reason::Type jingleReason);

signals:
    void initiated(); // session-initiate acknowledged (outgoing) or received (incoming)
    void ringing(); // the peer rings (outgoing)
    void accepted(); // both sides agreed
    void mediaConnected();
    void ended(vesk::HANGUP_REASON reason);
    void dtmfReceived(int event);
    void holdChanged(bool onHold);

private:
    void onLocalContent(const QXmppJingleIq::Content &content);
    void onLocalCandidate(const QXmppJingleCandidate &candidate);
    void onMediaConnected();
    void onMediaFailed(const QString &reason);
    void onTimer();

    void sendInitiate(QXmppJingleIq::Content content);
    void sendAccept(QXmppJingleIq::Content content);
    void sendTransportInfo(const QXmppJingleCandidate &candidate);
    bool applyRemoteContent(const QXmppJingleIq::Content &content);
    void flushRemoteCandidates();
    QXmppJingleIq request(QXmppJingleIq::Action action) const;
    void finish(vesk::HANGUP_REASON reason);
    void arm(int ms);

    JingleManager *m_manager;
    QString m_sid;
    QString m_ownJid;
    QString m_peerJid;
    bool m_incoming;
    QPointer<CallMedia> m_media;
    JingleTimeouts m_timeouts;
    State m_state = State::New;
    vesk::HANGUP_REASON m_endReason = vesk::HANGUP_UNKNOWN;
    QTimer m_timer;
    QString m_initiateId;
    QXmppJingleIq::Content m_remoteContent;
    QXmppJingleIq::Content m_localContent;
    bool m_localContentSent = false;
    bool m_remoteContentApplied = false;
    bool m_mediaConnected = false;
    bool m_onHold = false;
    QList<QXmppJingleCandidate> m_pendingLocalCandidates;
    QList<QXmppJingleCandidate> m_pendingRemoteCandidates;
};

} // namespace engine
