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
    // Jitter buffer depth at the start of a call. It grows, up to the maximum, when the link's
    // jitter or late packets ask for it (JitterPolicy); 20 ms suits a wired or local link.
    unsigned jitterLatencyMs = 20;
    unsigned jitterLatencyMaxMs = 200;
    // PulseAudio playback buffer; its default of 200 ms would double the delay of a call.
    unsigned sinkBufferMs = 60;
    // Microphone period: one Opus frame, so that every frame is complete the moment it arrives.
    unsigned sourcePeriodMs = 20;
    // PulseAudio capture buffer: room for a short stall before samples are dropped, but no place for
    // a backlog that would delay everything said after it.
    unsigned sourceBufferMs = 60;
    // How late the playout sink lets a buffer be before it counts as late; what it allows is added
    // to the delay. Decoding one frame takes well under a millisecond (GStreamer's default: 20 ms).
    unsigned playoutDeadlineMs = 5;
    // Opus encoder effort, 0-10. 5 sounds the same for speech at 32 kbit/s and costs half of 10.
    int opusComplexity = 5;
    // Offer PCMU only (for peers and tests that must not use Opus).
    bool offerPcmuOnly = false;
    // How long ICE and DTLS may take once both descriptions are set.
    int connectTimeoutMs = 20000;
};

} // namespace engine
