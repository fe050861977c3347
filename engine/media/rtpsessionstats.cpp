#include "rtpsessionstats.h"

namespace engine {

namespace {

// Any integer field as a 64-bit count; -1 when absent or not a number.
qint64 count(const GstStructure *s, const char *field)
{
    const GValue *v = gst_structure_get_value(s, field);
    if (!v)
        return -1;
    GValue out = G_VALUE_INIT;
    g_value_init(&out, G_TYPE_INT64);
    qint64 r = -1;
    if (g_value_type_transformable(G_VALUE_TYPE(v), G_TYPE_INT64) && g_value_transform(v, &out))
        r = g_value_get_int64(&out);
    g_value_unset(&out);
    return r;
}

bool flag(const GstStructure *s, const char *field)
{
    gboolean on = FALSE;
    return gst_structure_get_boolean(s, field, &on) && on;
}

void addSource(const GstStructure *source, MediaStats &st)
{
    if (flag(source, "internal")) {
        st.packetsSent += qMax<qint64>(0, count(source, "packets-sent"));
        st.bytesSent += qMax<qint64>(0, count(source, "octets-sent"));
        return;
    }
    st.packetsReceived += qMax<qint64>(0, count(source, "packets-received"));
    st.bytesReceived += qMax<qint64>(0, count(source, "octets-received"));
    st.packetsLost += qMax<qint64>(0, count(source, "packets-lost"));
    // Interarrival jitter in units of the stream's clock.
    const qint64 jitter = count(source, "jitter");
    const qint64 clockRate = count(source, "clock-rate");
    if (jitter >= 0 && clockRate > 0 && flag(source, "is-sender"))
        st.jitter = qMax(st.jitter, double(jitter) / double(clockRate));
    // Round trip from the peer's receiver report on our stream, in 1/65536 s.
    const qint64 roundTrip = count(source, "rb-round-trip");
    if (flag(source, "have-rb") && roundTrip > 0)
        st.roundTripTime = qMax(st.roundTripTime, double(roundTrip) / 65536.0);
}

} // namespace

MediaStats statsFromRtpSession(const GstStructure *sessionStats)
{
    MediaStats st;
    const GValue *sources = sessionStats ? gst_structure_get_value(sessionStats, "source-stats") : nullptr;
    if (!sources)
        return st;
    G_GNUC_BEGIN_IGNORE_DEPRECATIONS
    if (!G_VALUE_HOLDS(sources, g_value_array_get_type()))
        return st;
    const GValueArray *list = static_cast<const GValueArray *>(g_value_get_boxed(sources));
    for (guint i = 0; list && i < list->n_values; ++i) {
        const GValue *entry = g_value_array_get_nth(const_cast<GValueArray *>(list), i);
        if (entry && G_VALUE_HOLDS(entry, GST_TYPE_STRUCTURE))
            addSource(gst_value_get_structure(entry), st);
    }
    G_GNUC_END_IGNORE_DEPRECATIONS
    return st;
}

} // namespace engine
