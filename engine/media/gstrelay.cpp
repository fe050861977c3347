#include "gstrelay.h"

#include <cmath>

#include <QMetaObject>
#include <QObject>

namespace engine {

GstRelay::GstRelay(QObject *owner, void *context) : m_owner(owner), m_context(context) { }

void GstRelay::post(std::function<void()> fn)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!m_owner)
        return;
    // Posting is thread-safe; Qt drops the event if the owner dies before it runs.
    QMetaObject::invokeMethod(m_owner, std::move(fn), Qt::QueuedConnection);
}

void GstRelay::detach()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_owner = nullptr;
}

gpointer GstRelay::userData(const std::shared_ptr<GstRelay> &relay)
{
    return new std::shared_ptr<GstRelay>(relay);
}

GstRelay *GstRelay::fromUserData(gpointer data)
{
    return static_cast<std::shared_ptr<GstRelay> *>(data)->get();
}

void GstRelay::destroyNotify(gpointer data)
{
    delete static_cast<std::shared_ptr<GstRelay> *>(data);
}

void GstRelay::closureNotify(gpointer data, GClosure *)
{
    destroyNotify(data);
}

bool ensureGstreamer()
{
    static std::once_flag once;
    static bool ok = false;
    std::call_once(once, [] {
        GError *error = nullptr;
        ok = gst_init_check(nullptr, nullptr, &error);
        if (error) {
            qWarning("GStreamer failed to start: %s", error->message);
            g_error_free(error);
        }
    });
    return ok;
}

bool hasGstElement(const char *factory)
{
    if (!ensureGstreamer())
        return false;
    GstElementFactory *f = gst_element_factory_find(factory);
    if (!f)
        return false;
    gst_object_unref(f);
    return true;
}

} // namespace engine

namespace engine {

double levelPeak(const GstStructure *level)
{
    const GValue *peaks = gst_structure_get_value(level, "peak");
    double peakDb = -700;
    G_GNUC_BEGIN_IGNORE_DEPRECATIONS
    if (peaks && G_VALUE_HOLDS(peaks, g_value_array_get_type())) {
        auto *arr = static_cast<GValueArray *>(g_value_get_boxed(peaks));
        for (guint i = 0; arr && i < arr->n_values; ++i)
            peakDb = std::max(peakDb, g_value_get_double(g_value_array_get_nth(arr, i)));
    }
    G_GNUC_END_IGNORE_DEPRECATIONS
    return std::min(1.0, std::pow(10.0, peakDb / 20.0));
}

} // namespace engine
