#pragma once

#include <QObject>
#include <QString>

#include <QXmppJingleIq.h>

namespace engine {

// Figures of one call's media connection, refreshed on request.
struct MediaStats {
    QString codec;              // e.g. "OPUS/48000"
    double roundTripTime = -1;  // seconds, -1 while unknown
    double jitter = -1;         // seconds, -1 while unknown
    qint64 packetsSent = 0;
    qint64 packetsReceived = 0;
    qint64 packetsLost = 0;
    qint64 bytesSent = 0;
    qint64 bytesReceived = 0;
    QString localAddress;       // "ip:port" of the selected pair, empty while unknown
    QString remoteAddress;
};

// The media of one call: audio both ways over ICE-UDP with DTLS-SRTP. The Jingle session owns
// it and speaks to it in Jingle terms (one audio content), so the signalling side never sees
// SDP or GStreamer.
//
// Initiator: createOffer() -> localContentReady(offer) ... setRemoteContent(answer).
// Responder: setRemoteContent(offer) -> createAnswer() -> localContentReady(answer).
// Candidates may arrive inside the contents or later, one by one, both ways.
class CallMedia : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    ~CallMedia() override = default;

    virtual void createOffer() = 0;
    virtual void createAnswer() = 0;
    // False when the content carries nothing this engine can play (no common codec, no DTLS
    // fingerprint): the session then ends the call.
    virtual bool setRemoteContent(const QXmppJingleIq::Content &content) = 0;
    virtual void addRemoteCandidate(const QXmppJingleCandidate &candidate) = 0;
    // RFC 4733 event 0..15 (0-9, * = 10, # = 11, A-D = 12-15).
    virtual void sendDtmf(int event) = 0;
    virtual void setMicrophoneMuted(bool muted) = 0;
    virtual void setHold(bool onHold) = 0;
    virtual MediaStats stats() const = 0;

signals:
    void localContentReady(const QXmppJingleIq::Content &content);
    void localCandidate(const QXmppJingleCandidate &candidate);
    void connected();
    void failed(const QString &reason);
    void dtmfReceived(int event);
};

} // namespace engine
