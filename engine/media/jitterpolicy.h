#pragma once

#include <QtGlobal>

namespace engine {

// How deep the receive jitter buffer of a call should be. A call starts shallow, which keeps the
// mouth-to-ear delay low on a good link, and the buffer grows when the link shows it must: when
// the measured jitter calls for more room, or when packets came too late to be played. It never
// shrinks during a call: every change of depth is heard as a gap, so one step up beats a see-saw.
class JitterPolicy
{
public:
    // The buffer needs this many times the average jitter to hold nearly every packet.
    static constexpr double kJitterFactor = 4.0;
    // Added to the depth for a period in which packets arrived too late.
    static constexpr unsigned kLateStepMs = 20;
    // Depths are whole multiples of this.
    static constexpr unsigned kGranularityMs = 10;

    JitterPolicy(unsigned startMs, unsigned maxMs);

    // One statistics period: the average jitter seen and how many packets arrived too late to be
    // played. Returns the depth to use from now on.
    unsigned update(double jitterMs, quint64 latePackets);
    unsigned latencyMs() const { return m_latencyMs; }
    unsigned maxMs() const { return m_maxMs; }

private:
    unsigned m_latencyMs;
    unsigned m_maxMs;
};

} // namespace engine
