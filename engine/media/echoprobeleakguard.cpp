#include "echoprobeleakguard.h"

namespace engine {

EchoProbeLeakGuard::~EchoProbeLeakGuard()
{
    release();
}

void EchoProbeLeakGuard::attach(GstElement *probe)
{
    GstPad *src = gst_element_get_static_pad(probe, "src");
    GstPad *sink = gst_element_get_static_pad(probe, "sink");
    if (src && sink) {
        gst_pad_add_probe(src, GST_PAD_PROBE_TYPE_EVENT_UPSTREAM, onLatencyEvent, this, nullptr);
        gst_pad_add_probe(sink, GST_PAD_PROBE_TYPE_QUERY_UPSTREAM, onLatencyQuery, this, nullptr);
    }
    if (src)
        gst_object_unref(src);
    if (sink)
        gst_object_unref(sink);
}

void EchoProbeLeakGuard::release()
{
    std::vector<GstQuery *> queries;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        queries.swap(m_queries);
    }
    for (GstQuery *query : queries) {
        // Ours is the only reference a freed query still has; a second one is the probe's leak.
        if (GST_MINI_OBJECT_REFCOUNT_VALUE(query) > 1) {
            gst_query_unref(query);
            ++m_leaksFreed;
        }
        gst_query_unref(query);
    }
}

int EchoProbeLeakGuard::held() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return int(m_queries.size());
}

GstPadProbeReturn EchoProbeLeakGuard::onLatencyEvent(GstPad *, GstPadProbeInfo *info, gpointer self)
{
    if (GST_EVENT_TYPE(GST_PAD_PROBE_INFO_EVENT(info)) == GST_EVENT_LATENCY)
        static_cast<EchoProbeLeakGuard *>(self)->m_expectQuery = true;
    return GST_PAD_PROBE_OK;
}

GstPadProbeReturn EchoProbeLeakGuard::onLatencyQuery(GstPad *, GstPadProbeInfo *info, gpointer self)
{
    GstQuery *query = GST_PAD_PROBE_INFO_QUERY(info);
    auto *guard = static_cast<EchoProbeLeakGuard *>(self);
    if (GST_QUERY_TYPE(query) != GST_QUERY_LATENCY
        || !(GST_PAD_PROBE_INFO_TYPE(info) & GST_PAD_PROBE_TYPE_PUSH)
        || !guard->m_expectQuery.exchange(false))
        return GST_PAD_PROBE_OK;
    std::lock_guard<std::mutex> lock(guard->m_mutex);
    guard->m_queries.push_back(GST_QUERY_CAST(gst_mini_object_ref(GST_MINI_OBJECT_CAST(query))));
    return GST_PAD_PROBE_OK;
}

} // namespace engine
