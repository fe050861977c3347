#include "mediawarmup.h"

#include <gst/gst.h>

#include <mutex>

#include <QElapsedTimer>
#include <QThreadPool>

#include "gstrelay.h"
#include "medialog.h"

namespace engine {

namespace {

// What takes long on a call's first set-up: the DTLS certificate, made when the first dtlsdec is
// created (~150 ms of RSA key generation), and webrtcbin with the ICE and RTP plugins it pulls in
// (~20 ms). The other plugins load in a few milliseconds each; loading them now would only cost
// every signed-in session that never calls about 4 MB.
const char *const kSlowElements[] = { "dtlsdec", "webrtcbin" };

std::once_flag g_once;

void warmUp()
{
    if (!ensureGstreamer())
        return;
    QElapsedTimer clock;
    clock.start();
    for (const char *factory : kSlowElements) {
        // Missing plugins are the call's business; nothing to report here.
        if (GstElement *element = gst_element_factory_make(factory, nullptr))
            gst_object_unref(element);
    }
    qCDebug(lcMedia) << "call media warmed up in" << clock.elapsed() << "ms";
}

} // namespace

void warmUpCallMedia()
{
    std::call_once(g_once, [] { QThreadPool::globalInstance()->start([] { warmUp(); }); });
}

} // namespace engine
