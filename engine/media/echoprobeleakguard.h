#pragma once

#include <atomic>
#include <mutex>
#include <vector>

#include <gst/gst.h>

namespace engine {

// webrtcechoprobe answers every LATENCY event by asking upstream for its latency, with a query it
// never frees: a few hundred bytes per event, several events per call, for as long as the process
// runs. The guard watches the probe: the latency query that follows a LATENCY event through the
// probe is the probe's own, and the guard keeps it with a reference of its own; release() drops
// what is left of it once nothing can use it any more. The reference count tells whether the probe
// leaked the query, so a probe that frees its queries (a fixed GStreamer) frees nothing twice, and
// a query that was not the probe's (another thread's, in between) is merely kept a while longer.
class EchoProbeLeakGuard
{
public:
    EchoProbeLeakGuard() = default;
    ~EchoProbeLeakGuard();
    EchoProbeLeakGuard(const EchoProbeLeakGuard &) = delete;
    EchoProbeLeakGuard &operator=(const EchoProbeLeakGuard &) = delete;

    // Watches this webrtcechoprobe; the guard must outlive the probe's pads or the pipeline's run.
    void attach(GstElement *probe);
    // Frees the queries the probe left behind. Only when no event can be on its way through the
    // probe any more: with its pipeline stopped (NULL).
    void release();

    int held() const;
    // Of the queries released so far, how many the probe had leaked.
    int leaksFreed() const { return m_leaksFreed; }

private:
    static GstPadProbeReturn onLatencyEvent(GstPad *pad, GstPadProbeInfo *info, gpointer self);
    static GstPadProbeReturn onLatencyQuery(GstPad *pad, GstPadProbeInfo *info, gpointer self);

    std::atomic<bool> m_expectQuery { false };
    mutable std::mutex m_mutex;
    std::vector<GstQuery *> m_queries;
    int m_leaksFreed = 0;
};

} // namespace engine
