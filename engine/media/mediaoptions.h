#pragma once

#include <QString>

namespace engine {

// How a call's media is put together. The defaults are what a real call uses; tests and the
// gateway peer replace the ends of the pipeline.
struct MediaOptions
{
    // gst-launch descriptions that replace the microphone / the speaker, e.g.
    // "audiotestsrc is-live=true freq=1000" and "fakesink sync=true". Empty: PulseAudio.
    QString sourceOverride;
    QString sinkOverride;
    // Echo cancellation and noise suppression on the microphone path (webrtcdsp), when the
    // plugin is installed.
    bool voiceProcessing = true;
    // libnice never gathers loopback addresses; add 127.0.0.1 and ::1 so that peers on the same
    // machine can reach each other.
    bool loopbackCandidates = true;
    // Jitter buffer depth; 40 ms keeps mouth-to-ear delay near 100 ms on a good link.
    unsigned jitterLatencyMs = 40;
    // PulseAudio playback buffer; its default of 200 ms would double the delay of a call.
    unsigned sinkBufferMs = 60;
    // Offer PCMU only (for peers and tests that must not use Opus).
    bool offerPcmuOnly = false;
    // How long ICE and DTLS may take once both descriptions are set.
    int connectTimeoutMs = 20000;
};

} // namespace engine
