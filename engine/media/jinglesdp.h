#pragma once

#include <QList>
#include <QString>

#include <QXmppJingleIq.h>

namespace engine {

// The codec a call sends and plays, and the RFC 4733 events that go with it.
struct CodecChoice
{
    QString name; // as the peer spells it, e.g. "opus", "PCMU"
    int payloadType = -1; // the id the peer uses; ours follow it
    int clockRate = 0;
    int channels = 1;
    int dtmfPayloadType = -1; // -1: the peer takes no telephone-event at this clock rate
    bool isValid() const { return payloadType >= 0; }
    bool isOpus() const { return name.compare(QLatin1String("opus"), Qt::CaseInsensitive) == 0; }
};

// Pure mapping between one Jingle RTP content (XEP-0167/0176/0320) and the SDP that webrtcbin
// speaks. Only audio, one media section, BUNDLE and rtcp-mux always on.
class JingleSdp
{
public:
    // A complete session description holding the content as its one audio section. Payload types
    // not in keepPayloads are left out when keepPayloads is not empty.
    static QString toSdp(const QXmppJingleIq::Content &content, const QList<int> &keepPayloads = {});
    // The first audio section of sdp as a content (name from a=mid, senders "both"). ok is false
    // when there is no audio section or a line in it is malformed.
    static QXmppJingleIq::Content fromSdp(const QString &sdp, bool *ok = nullptr);

    // "candidate:..." as in SDP (without "a=") and back.
    static QString candidateToSdp(const QXmppJingleCandidate &candidate);
    static QXmppJingleCandidate candidateFromSdp(const QString &line, bool *ok = nullptr);

    // Picks what to send from the peer's payload types: Opus at 48 kHz first, PCMU at 8 kHz
    // next; names compared without case. Invalid when nothing is common.
    static CodecChoice chooseCodec(const QList<QXmppJinglePayloadType> &payloads);

    // Adds telephone-event with the given id and clock rate to the audio section of sdp when it
    // is not there yet (webrtcbin tends to leave it out of the descriptions it writes).
    static QString withTelephoneEvent(const QString &sdp, int payloadType, int clockRate);

    // "AB:CD:..." <-> raw bytes.
    static QString formatFingerprint(const QByteArray &digest);
    static QByteArray parseFingerprint(const QString &text);
};

} // namespace engine
