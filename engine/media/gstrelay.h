#pragma once

#include <functional>
#include <memory>
#include <mutex>

#include <gst/gst.h>

class QObject;

namespace engine {

// Carries work from GStreamer's threads to the thread of one QObject. Streaming threads never
// touch QObjects themselves: they post a function, which runs queued on the owner's thread as
// long as the owner lives. The owner calls detach() first thing in its destructor; anything
// posted after that is dropped.
class GstRelay
{
public:
    GstRelay(QObject *owner, void *context);

    void post(std::function<void()> fn);
    void detach();
    // Whatever the owner handed in; only to be dereferenced inside posted functions.
    template <typename T> T *context() const { return static_cast<T *>(m_context); }

    // user_data for g_signal_connect_data / sync handlers / promises, freed by destroyNotify.
    static gpointer userData(const std::shared_ptr<GstRelay> &relay);
    static GstRelay *fromUserData(gpointer data);
    static void destroyNotify(gpointer data);
    static void closureNotify(gpointer data, GClosure *);

private:
    std::mutex m_mutex;
    QObject *m_owner;
    void *m_context;
};

using GstRelayPtr = std::shared_ptr<GstRelay>;

// gst_init once per process; false when GStreamer cannot start.
bool ensureGstreamer();
// Linear peak (0..1, loudest channel) of a "level" element message.
double levelPeak(const GstStructure *level);
// True when the element factory is installed.
bool hasGstElement(const char *factory);

} // namespace engine
