#include "jitterpolicy.h"

#include <cmath>

namespace engine {

JitterPolicy::JitterPolicy(unsigned startMs, unsigned maxMs)
    : m_latencyMs(qMin(startMs, maxMs)), m_maxMs(maxMs)
{ }

unsigned JitterPolicy::update(double jitterMs, quint64 latePackets)
{
    unsigned wanted = m_latencyMs;
    if (std::isfinite(jitterMs) && jitterMs > 0) {
        const double room = std::ceil(kJitterFactor * jitterMs / kGranularityMs) * kGranularityMs;
        if (room > wanted)
            wanted = room >= m_maxMs ? m_maxMs : unsigned(room);
    }
    if (latePackets > 0)
        wanted = qMax(wanted, m_latencyMs + kLateStepMs);
    m_latencyMs = qMin(wanted, m_maxMs);
    return m_latencyMs;
}

} // namespace engine
