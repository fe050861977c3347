#pragma once

#include "callmedia.h"
#include "mediaoptions.h"

#include <memory>

namespace engine {

class AudioDevices;

// CallMedia over GStreamer's webrtcbin: ICE-UDP (loopback and IPv6 host candidates included),
// DTLS-SRTP always, Opus 48 kHz preferred with PCMU as fallback, RFC 4733 events both ways.
// Lives on the thread that created it; every signal is raised there.
class WebRtcCallMedia : public CallMedia
{
    Q_OBJECT
public:
    explicit WebRtcCallMedia(const MediaOptions &options = MediaOptions(), AudioDevices *devices = nullptr,
        QObject *parent = nullptr);
    ~WebRtcCallMedia() override;

    void createOffer() override;
    void createAnswer() override;
    bool setRemoteContent(const QXmppJingleIq::Content &content) override;
    void addRemoteCandidate(const QXmppJingleCandidate &candidate) override;
    void sendDtmf(int event) override;
    void setMicrophoneMuted(bool muted) override;
    void setHold(bool onHold) override;
    MediaStats stats() const override;

    // Writes what this call plays out (48 kHz mono, 16 bit) to a WAV file until stopped.
    bool startRecordingPlayout(const QString &path);
    bool stopRecordingPlayout();

    bool isConnected() const;
    // The codec both sides settled on, e.g. "opus/48000"; empty before.
    QString codec() const;

private:
    class Private;
    std::unique_ptr<Private> d;
};

} // namespace engine
