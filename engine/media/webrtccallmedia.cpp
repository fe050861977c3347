// GLib's headers come first: gio names a struct member "signals", which Qt defines as a macro.
#include <gst/gst.h>
#include <gst/sdp/sdp.h>
#include <gst/webrtc/webrtc.h>
#include <nice/agent.h>

#include "webrtccallmedia.h"

#include <mutex>

#include <QElapsedTimer>
#include <QFile>
#include <QPointer>
#include <QTimer>

#include "audiodevices.h"
#include "echoprobeleakguard.h"
#include "gstrelay.h"
#include "jinglesdp.h"
#include "jitterpolicy.h"
#include "medialog.h"
#include "rtpsessionstats.h"
#include "wavwriter.h"

namespace engine {

namespace {

constexpr int kOpusPt = 111;
constexpr int kPcmuPt = 0;
constexpr int kDtmfPt48k = 101;
constexpr int kDtmfPt8k = 100;
constexpr int kPlayoutRate = 48000;
constexpr int kDtmfToneMs = 200;
// Events closer than ~450 ms run into each other at the far end.
constexpr int kDtmfGapMs = 250;
constexpr int kGatherWaitMs = 2000;
// Host candidates come in one burst right after the local description; what follows (UPnP
// mappings, after up to 200 ms) is trickled. The content goes out this long after the last
// candidate of the burst.
constexpr int kCandidateQuietMs = 15;
constexpr int kStatsPeriodMs = 1000;
constexpr int kCapsPollMs = 10;
constexpr int kCapsWaitLimitMs = 3000;

const char *kRawCaps = "audio/x-raw,format=S16LE,rate=48000,channels=1,layout=interleaved";

QString rtpCaps(const QString &encoding, int clock, int pt)
{
    QString caps = QStringLiteral("application/x-rtp,media=audio,encoding-name=%1,clock-rate=%2,payload=%3")
                       .arg(encoding.toUpper())
                       .arg(clock)
                       .arg(pt);
    if (encoding.compare(QLatin1String("opus"), Qt::CaseInsensitive) == 0)
        caps += QStringLiteral(",encoding-params=(string)2");
    return caps;
}

QString sdpText(GstWebRTCSessionDescription *desc)
{
    gchar *text = gst_sdp_message_as_text(desc->sdp);
    const QString s = QString::fromUtf8(text);
    g_free(text);
    return s;
}

GstWebRTCSessionDescription *makeDescription(GstWebRTCSDPType type, const QString &text)
{
    GstSDPMessage *msg = nullptr;
    if (gst_sdp_message_new_from_text(text.toUtf8().constData(), &msg) != GST_SDP_OK)
        return nullptr;
    return gst_webrtc_session_description_new(type, msg);
}

GstElement *findByFactory(GstBin *bin, const char *factory)
{
    GstElement *found = nullptr;
    GstIterator *it = gst_bin_iterate_recurse(bin);
    GValue item = G_VALUE_INIT;
    while (!found && gst_iterator_next(it, &item) == GST_ITERATOR_OK) {
        auto *el = GST_ELEMENT(g_value_get_object(&item));
        GstElementFactory *f = gst_element_get_factory(el);
        if (f && g_strcmp0(GST_OBJECT_NAME(f), factory) == 0)
            found = el;
        g_value_reset(&item);
    }
    g_value_unset(&item);
    gst_iterator_free(it);
    return found; // borrowed: the bin holds it
}

void setIfExists(GstElement *el, const char *property, bool value)
{
    if (g_object_class_find_property(G_OBJECT_GET_CLASS(el), property))
        g_object_set(el, property, gboolean(value), nullptr);
}

// Live sinks must not wait for a first buffer: playout starts only once the peer sends. The
// deadline a sink grants its upstream is added to the delay of everything it plays.
void prepareSinks(GstBin *bin, unsigned deadlineMs)
{
    GstIterator *it = gst_bin_iterate_sinks(bin);
    GValue item = G_VALUE_INIT;
    while (gst_iterator_next(it, &item) == GST_ITERATOR_OK) {
        GstElement *sink = GST_ELEMENT(g_value_get_object(&item));
        setIfExists(sink, "async", false);
        if (g_object_class_find_property(G_OBJECT_GET_CLASS(sink), "processing-deadline"))
            g_object_set(sink, "processing-deadline", guint64(deadlineMs) * GST_MSECOND, nullptr);
        g_value_reset(&item);
    }
    g_value_unset(&item);
    gst_iterator_free(it);
}

// A reference carried into a posted function: dropped with the function, whether it runs or is
// discarded because its owner is gone.
std::shared_ptr<void> holdGObject(gpointer object)
{
    return std::shared_ptr<void>(object, g_object_unref);
}

std::shared_ptr<GstMessage> holdMessage(GstMessage *msg)
{
    return std::shared_ptr<GstMessage>(msg, [](GstMessage *m) { gst_message_unref(m); });
}

QString niceAddressText(const NiceCandidate *c)
{
    if (!c)
        return QString();
    gchar text[NICE_ADDRESS_STRING_LEN];
    nice_address_to_string(&c->addr, text);
    const QString host = QString::fromLatin1(text);
    const QString port = QString::number(nice_address_get_port(&c->addr));
    return host.contains(QLatin1Char(':')) ? QStringLiteral("[%1]:%2").arg(host, port)
                                           : host + QLatin1Char(':') + port;
}

} // namespace

class WebRtcCallMedia::Private
{
public:
    enum Role { NoRole, Initiator, Responder };

    Private(WebRtcCallMedia *q, const MediaOptions &options, AudioDevices *devices);
    ~Private();

    bool buildPipeline();
    bool buildPlayoutTail();
    bool buildSendBranch();
    void setCodecPreferences(const QStringList &caps);
    void fail(const QString &reason);

    void onDescriptionCreated(GstWebRTCSDPType type, const QString &sdp);
    void onGatheringState(GstWebRTCICEGatheringState state);
    void onConnectionState(GstWebRTCPeerConnectionState state);
    void onLocalCandidate(const QString &line);
    void finishLocalContent();
    void flushRemoteCandidates();
    void onBusMessage(GstMessage *msg);
    bool isLocalDtmfSource(GstObject *src) const { return dtmfSource && src == GST_OBJECT(dtmfSource); }
    void requestStats();
    void adaptJitterBuffer();
    void applyVolumes();
    void applyDevices();
    static QByteArray currentDevice(GstElement *element);
    void replaceMicrophone(const QByteArray &device);
    void replaceSpeaker(const QByteArray &device);
    void pumpDtmf();
    void answerWhenCapsReady();
    void sendDtmfEvent(int event, bool start);

    // Streaming-thread callbacks.
    static void onPadAdded(GstElement *webrtc, GstPad *pad, gpointer data);
    static void onDeepElementAdded(GstBin *bin, GstBin *sub, GstElement *element, gpointer data);
    static void onIceCandidate(GstElement *webrtc, guint mline, gchar *candidate, gpointer data);
    static void onNotifyGathering(GObject *webrtc, GParamSpec *, gpointer data);
    static void onNotifyConnection(GObject *webrtc, GParamSpec *, gpointer data);
    static GstBusSyncReply onBusSync(GstBus *bus, GstMessage *msg, gpointer data);
    static GstPadProbeReturn onPlayoutBuffer(GstPad *pad, GstPadProbeInfo *info, gpointer data);
    static GstPadProbeReturn dropDtmfCaps(GstPad *pad, GstPadProbeInfo *info, gpointer data);

    WebRtcCallMedia *q;
    MediaOptions options;
    QPointer<AudioDevices> devices;
    GstRelayPtr relay;

    GstElement *pipeline = nullptr;
    GstElement *webrtc = nullptr;
    GstPad *sendPad = nullptr;
    GstElement *sendBin = nullptr;
    GstElement *micSource = nullptr; // pulsesrc when the microphone is real
    GstElement *micVolume = nullptr;
    GstElement *dtmfSource = nullptr;
    GstElement *playTail = nullptr;
    GstElement *speakerVolume = nullptr;
    GstElement *speakerSink = nullptr; // pulsesink when the speaker is real
    QString echoProbeName;
    std::mutex playoutMutex; // guards audioLinked and speakerSink; taken on streaming threads
    bool audioLinked = false;

    Role role = NoRole;
    CodecChoice codec;
    QString localMid;
    QString localSdp;
    bool localSet = false;
    bool remoteSet = false;
    bool contentSent = false;
    bool isConnected = false;
    bool hasFailed = false;
    QStringList pendingRemoteCandidates;
    QList<QXmppJingleCandidate> gathered;
    QTimer gatherTimer;
    QTimer quietTimer;
    QTimer statsTimer;
    QTimer connectTimer;
    QElapsedTimer clock;

    int capsWaitMs = 0;
    bool muted = false;
    bool onHold = false;
    QList<int> dtmfQueue;
    QTimer dtmfTimer;
    bool dtmfPlaying = false;

    MediaStats stats;
    std::shared_ptr<void> agent; // NiceAgent
    guint niceStream = 0;
    std::shared_ptr<void> jitterBuffer; // rtpjitterbuffer of the received stream
    std::shared_ptr<void> rtpSession; // RTPSession of the bundled stream
    quint64 lateSoFar = 0;
    JitterPolicy jitterPolicy;
    EchoProbeLeakGuard echoGuard;

    std::mutex recorderMutex;
    WavWriter recorder;
};

WebRtcCallMedia::Private::Private(WebRtcCallMedia *q, const MediaOptions &options, AudioDevices *devices)
    : q(q)
    , options(options)
    , devices(devices)
    , relay(std::make_shared<GstRelay>(q, this))
    , jitterPolicy(options.jitterLatencyMs, options.jitterLatencyMaxMs)
{
    clock.start();
    gatherTimer.setSingleShot(true);
    quietTimer.setSingleShot(true);
    connectTimer.setSingleShot(true);
    dtmfTimer.setSingleShot(true);
    statsTimer.setInterval(kStatsPeriodMs);
}

WebRtcCallMedia::Private::~Private()
{
    relay->detach();
    if (pipeline) {
        GstBus *bus = gst_pipeline_get_bus(GST_PIPELINE(pipeline));
        gst_bus_set_sync_handler(bus, nullptr, nullptr, nullptr);
        gst_object_unref(bus);
        gst_element_set_state(pipeline, GST_STATE_NULL);
    }
    // Stopped: no event can pass the echo probe any more.
    echoGuard.release();
    {
        std::lock_guard<std::mutex> lock(recorderMutex);
        recorder.close();
    }
    if (sendPad)
        gst_object_unref(sendPad);
    agent.reset();
    jitterBuffer.reset();
    rtpSession.reset();
    if (pipeline)
        gst_object_unref(pipeline);
}

void WebRtcCallMedia::Private::fail(const QString &reason)
{
    if (hasFailed)
        return;
    hasFailed = true;
    connectTimer.stop();
    statsTimer.stop();
    qCWarning(lcMedia) << "call media failed:" << reason;
    emit q->failed(reason);
}

bool WebRtcCallMedia::Private::buildPipeline()
{
    if (!ensureGstreamer())
        return false;
    pipeline = gst_pipeline_new(nullptr);
    webrtc = gst_element_factory_make("webrtcbin", nullptr);
    if (!pipeline || !webrtc) {
        qCWarning(lcMedia) << "webrtcbin is not installed";
        if (webrtc)
            gst_object_unref(webrtc);
        return false;
    }
    gst_bin_add(GST_BIN(pipeline), webrtc);
    g_object_set(webrtc, "bundle-policy", GST_WEBRTC_BUNDLE_POLICY_MAX_BUNDLE, "latency",
        guint(jitterPolicy.latencyMs()), nullptr);
    GObject *ice = nullptr;
    g_object_get(webrtc, "ice-agent", &ice, nullptr);
    if (ice) {
        if (g_object_class_find_property(G_OBJECT_GET_CLASS(ice), "ice-tcp"))
            g_object_set(ice, "ice-tcp", FALSE, nullptr);
        g_object_unref(ice);
    }

    auto connect = [this](gpointer instance, const char *signal, GCallback cb) {
        g_signal_connect_data(
            instance, signal, cb, GstRelay::userData(relay), GstRelay::closureNotify, GConnectFlags(0));
    };
    connect(webrtc, "pad-added", G_CALLBACK(onPadAdded));
    connect(webrtc, "on-ice-candidate", G_CALLBACK(onIceCandidate));
    connect(webrtc, "notify::ice-gathering-state", G_CALLBACK(onNotifyGathering));
    connect(webrtc, "notify::connection-state", G_CALLBACK(onNotifyConnection));
    connect(pipeline, "deep-element-added", G_CALLBACK(onDeepElementAdded));

    GstBus *bus = gst_pipeline_get_bus(GST_PIPELINE(pipeline));
    gst_bus_set_sync_handler(bus, onBusSync, GstRelay::userData(relay), GstRelay::destroyNotify);
    gst_object_unref(bus);

    sendPad = gst_element_request_pad_simple(webrtc, "sink_%u");
    if (!sendPad || !buildPlayoutTail())
        return false;
    if (gst_element_set_state(pipeline, GST_STATE_PLAYING) == GST_STATE_CHANGE_FAILURE) {
        qCWarning(lcMedia) << "the call pipeline does not start";
        return false;
    }
    return true;
}

// What is played out: decoded audio arrives at the tail once the peer's stream shows up. The
// echo probe sits here, ahead of the microphone's echo canceller, which must find it on start.
bool WebRtcCallMedia::Private::buildPlayoutTail()
{
    const bool dsp
        = options.voiceProcessing && hasGstElement("webrtcdsp") && hasGstElement("webrtcechoprobe");
    QString sink = options.sinkOverride;
    if (sink.isEmpty()) {
        sink = QStringLiteral("pulsesink name=speaker buffer-time=%1 latency-time=10000")
                   .arg(quint64(options.sinkBufferMs) * 1000);
    }
    QString desc = QStringLiteral("capsfilter caps=\"%1\" ! ").arg(QLatin1String(kRawCaps));
    if (dsp) {
        echoProbeName = QStringLiteral("echoprobe_%1").arg(quintptr(this), 0, 16);
        desc += QStringLiteral("webrtcechoprobe name=%1 ! ").arg(echoProbeName);
    }
    desc += QStringLiteral("volume name=speakervolume ! %1").arg(sink);
    GError *error = nullptr;
    playTail = gst_parse_bin_from_description(desc.toUtf8().constData(), TRUE, &error);
    if (!playTail) {
        qCWarning(lcMedia) << "playout branch" << desc << "does not build:" << (error ? error->message : "");
        g_clear_error(&error);
        return false;
    }
    g_clear_error(&error);
    gst_bin_add(GST_BIN(pipeline), playTail);
    prepareSinks(GST_BIN(playTail), options.playoutDeadlineMs);
    if (GstElement *probe = findByFactory(GST_BIN(playTail), "webrtcechoprobe"))
        echoGuard.attach(probe);
    speakerVolume = gst_bin_get_by_name(GST_BIN(playTail), "speakervolume");
    gst_object_unref(speakerVolume); // the bin keeps it alive
    speakerSink = findByFactory(GST_BIN(playTail), "pulsesink");
    if (speakerSink && devices && !devices->outputDevice().isEmpty())
        g_object_set(speakerSink, "device", devices->outputDevice().toUtf8().constData(), nullptr);

    GstPad *out = gst_element_get_static_pad(speakerVolume, "src");
    gst_pad_add_probe(out, GST_PAD_PROBE_TYPE_BUFFER, onPlayoutBuffer, this, nullptr);
    gst_object_unref(out);
    applyVolumes();
    return true;
}

bool WebRtcCallMedia::Private::buildSendBranch()
{
    QString source = options.sourceOverride;
    if (source.isEmpty()) {
        source = QStringLiteral("pulsesrc name=mic buffer-time=%1 latency-time=%2")
                     .arg(quint64(options.sourceBufferMs) * 1000)
                     .arg(quint64(options.sourcePeriodMs) * 1000);
    }
    QString desc = source
        + QStringLiteral(" ! audioconvert ! audioresample ! capsfilter caps=\"%1\" ! ")
              .arg(QLatin1String(kRawCaps));
    // Echo cancellation and noise suppression, nothing more: the gain control would fight the
    // microphone volume the user sets and costs a quarter of the processing.
    if (!echoProbeName.isEmpty())
        desc += QStringLiteral("webrtcdsp probe=%1 gain-control=false ! ").arg(echoProbeName);
    desc += QStringLiteral("volume name=micvolume ! ");
    if (codec.isOpus()) {
        desc += QStringLiteral("opusenc frame-size=20 bitrate=32000 complexity=%2 ! rtpopuspay pt=%1 ! ")
                    .arg(codec.payloadType)
                    .arg(qBound(0, options.opusComplexity, 10));
    } else {
        // 20 ms packets; without a bound the payloader fills the MTU (175 ms of PCMU).
        desc += QStringLiteral("audioresample ! audio/x-raw,rate=8000 ! mulawenc ! "
                               "rtppcmupay pt=%1 min-ptime=20000000 max-ptime=20000000 ! ")
                    .arg(codec.payloadType);
    }
    // No queue: the microphone's thread carries each packet to the socket itself. Nothing on the
    // way blocks once the call is connected; before that, webrtcbin holds the stream until DTLS is
    // up, and a queue would only save the audio of that moment to send it late, in a burst. A
    // thread hand-over per packet cost delay and work (on a busy machine ~15 ms each way).
    desc += QStringLiteral("rtpdtmfmux name=dtmfmux");
    GError *error = nullptr;
    sendBin = gst_parse_bin_from_description(desc.toUtf8().constData(), TRUE, &error);
    if (!sendBin) {
        qCWarning(lcMedia) << "send branch" << desc << "does not build:" << (error ? error->message : "");
        g_clear_error(&error);
        return false;
    }
    g_clear_error(&error);
    micSource = findByFactory(GST_BIN(sendBin), "pulsesrc");
    if (micSource && devices && !devices->inputDevice().isEmpty())
        g_object_set(micSource, "device", devices->inputDevice().toUtf8().constData(), nullptr);
    micVolume = gst_bin_get_by_name(GST_BIN(sendBin), "micvolume");
    gst_object_unref(micVolume);
    GstElement *mux = gst_bin_get_by_name(GST_BIN(sendBin), "dtmfmux");
    if (codec.dtmfPayloadType >= 0) {
        dtmfSource = gst_element_factory_make("rtpdtmfsrc", nullptr);
        g_object_set(
            dtmfSource, "pt", guint(codec.dtmfPayloadType), "clock-rate", guint(codec.clockRate), nullptr);
        gst_bin_add(GST_BIN(sendBin), dtmfSource);
        gst_element_link(dtmfSource, mux);
    }
    // The mux forwards the events' caps when a digit starts; webrtcbin would take them for a new
    // stream format. The packets carry their payload type anyway.
    GstPad *muxOut = gst_element_get_static_pad(mux, "src");
    gst_pad_add_probe(muxOut, GST_PAD_PROBE_TYPE_EVENT_DOWNSTREAM, dropDtmfCaps, nullptr, nullptr);
    gst_object_unref(muxOut);
    gst_object_unref(mux);

    gst_bin_add(GST_BIN(pipeline), sendBin);
    GstPad *out = gst_element_get_static_pad(sendBin, "src");
    const GstPadLinkReturn linked = gst_pad_link(out, sendPad);
    gst_object_unref(out);
    if (linked != GST_PAD_LINK_OK) {
        qCWarning(lcMedia) << "send branch does not link:" << linked;
        return false;
    }
    applyVolumes();
    gst_element_sync_state_with_parent(sendBin);
    return true;
}

void WebRtcCallMedia::Private::setCodecPreferences(const QStringList &caps)
{
    GstWebRTCRTPTransceiver *transceiver = nullptr;
    g_object_get(sendPad, "transceiver", &transceiver, nullptr);
    if (!transceiver)
        return;
    GstCaps *c = gst_caps_from_string(caps.join(QLatin1Char(';')).toUtf8().constData());
    g_object_set(transceiver, "codec-preferences", c, "direction",
        GST_WEBRTC_RTP_TRANSCEIVER_DIRECTION_SENDRECV, nullptr);
    gst_caps_unref(c);
    gst_object_unref(transceiver);
}

void WebRtcCallMedia::Private::applyVolumes()
{
    const bool devMuted = devices && devices->isInputMuted();
    if (micVolume) {
        g_object_set(micVolume, "mute", gboolean(muted || onHold || devMuted), "volume",
            devices ? devices->inputVolume() / 100.0 : 1.0, nullptr);
    }
    if (speakerVolume) {
        g_object_set(speakerVolume, "mute", gboolean(onHold), "volume",
            devices ? devices->outputVolume() / 100.0 : 1.0, nullptr);
    }
}

// pulsesink and pulsesrc read "device" only when they open their stream, so a running call
// changes device by replacing the element.
void WebRtcCallMedia::Private::applyDevices()
{
    if (!devices)
        return;
    const QByteArray input = devices->inputDevice().toUtf8();
    const QByteArray output = devices->outputDevice().toUtf8();
    if (micSource && currentDevice(micSource) != input)
        replaceMicrophone(input);
    GstElement *sink = nullptr;
    {
        std::lock_guard<std::mutex> lock(playoutMutex);
        sink = speakerSink;
    }
    if (sink && currentDevice(sink) != output)
        replaceSpeaker(output);
}

QByteArray WebRtcCallMedia::Private::currentDevice(GstElement *element)
{
    gchar *device = nullptr;
    g_object_get(element, "device", &device, nullptr);
    const QByteArray id(device);
    g_free(device);
    return id;
}

void WebRtcCallMedia::Private::replaceMicrophone(const QByteArray &device)
{
    GstPad *out = gst_element_get_static_pad(micSource, "src");
    GstPad *peer = gst_pad_get_peer(out);
    gst_object_unref(out);
    if (!peer)
        return;
    GstElement *fresh = gst_element_factory_make("pulsesrc", nullptr);
    if (!fresh) {
        gst_object_unref(peer);
        return;
    }
    if (!device.isEmpty())
        g_object_set(fresh, "device", device.constData(), nullptr);
    gst_element_set_state(micSource, GST_STATE_NULL);
    gst_bin_remove(GST_BIN(sendBin), micSource);
    gst_bin_add(GST_BIN(sendBin), fresh);
    GstPad *freshOut = gst_element_get_static_pad(fresh, "src");
    gst_pad_link(freshOut, peer);
    gst_object_unref(freshOut);
    gst_object_unref(peer);
    gst_element_sync_state_with_parent(fresh);
    micSource = fresh;
    qCDebug(lcMedia) << "microphone now" << (device.isEmpty() ? QByteArray("(default)") : device);
}

void WebRtcCallMedia::Private::replaceSpeaker(const QByteArray &device)
{
    struct Swap
    {
        Private *d;
        QByteArray device;
    };
    GstPad *out = gst_element_get_static_pad(speakerVolume, "src");
    // Swapped when no buffer is on its way: right now, or from the streaming thread.
    gst_pad_add_probe(
        out, GST_PAD_PROBE_TYPE_IDLE,
        [](GstPad *, GstPadProbeInfo *, gpointer data) -> GstPadProbeReturn {
            auto *swap = static_cast<Swap *>(data);
            Private *d = swap->d;
            std::lock_guard<std::mutex> lock(d->playoutMutex);
            GstElement *old = d->speakerSink;
            GstElement *fresh = gst_element_factory_make("pulsesink", nullptr);
            if (!old || !fresh)
                return GST_PAD_PROBE_REMOVE;
            guint64 bufferTime = 0, latencyTime = 0;
            g_object_get(old, "buffer-time", &bufferTime, "latency-time", &latencyTime, nullptr);
            g_object_set(
                fresh, "buffer-time", bufferTime, "latency-time", latencyTime, "async", FALSE, nullptr);
            if (!swap->device.isEmpty())
                g_object_set(fresh, "device", swap->device.constData(), nullptr);
            gst_element_unlink(d->speakerVolume, old);
            gst_element_set_state(old, GST_STATE_NULL);
            gst_bin_remove(GST_BIN(d->playTail), old);
            gst_bin_add(GST_BIN(d->playTail), fresh);
            gst_element_link(d->speakerVolume, fresh);
            gst_element_sync_state_with_parent(fresh);
            d->speakerSink = fresh;
            return GST_PAD_PROBE_REMOVE;
        },
        new Swap { this, device }, [](gpointer data) { delete static_cast<Swap *>(data); });
    gst_object_unref(out);
    qCDebug(lcMedia) << "speaker now" << (device.isEmpty() ? QByteArray("(default)") : device);
}

void WebRtcCallMedia::Private::onDescriptionCreated(GstWebRTCSDPType type, const QString &sdp)
{
    QString text = sdp;
    // webrtcbin may leave the events out of what it writes; the peer must learn our ids.
    if (type == GST_WEBRTC_SDP_TYPE_OFFER) {
        if (!options.offerPcmuOnly)
            text = JingleSdp::withTelephoneEvent(text, kDtmfPt48k, 48000);
        text = JingleSdp::withTelephoneEvent(text, kDtmfPt8k, 8000);
    } else if (codec.dtmfPayloadType >= 0) {
        text = JingleSdp::withTelephoneEvent(text, codec.dtmfPayloadType, codec.clockRate);
    }
    GstWebRTCSessionDescription *desc = makeDescription(type, text);
    if (!desc) {
        fail(QStringLiteral("unreadable local description"));
        return;
    }
    qCDebug(lcMedia) << (type == GST_WEBRTC_SDP_TYPE_OFFER ? "offer" : "answer") << "created after"
                     << clock.elapsed() << "ms";
    g_signal_emit_by_name(webrtc, "set-local-description", desc, nullptr);
    gst_webrtc_session_description_free(desc);
    localSdp = text;
    localSet = true;
    bool ok = false;
    localMid = JingleSdp::fromSdp(text, &ok).name();
    flushRemoteCandidates();

    GstWebRTCICEGatheringState state;
    g_object_get(webrtc, "ice-gathering-state", &state, nullptr);
    if (state == GST_WEBRTC_ICE_GATHERING_STATE_COMPLETE) {
        QTimer::singleShot(0, q, [this] { finishLocalContent(); });
    } else {
        gatherTimer.start(kGatherWaitMs);
        if (!gathered.isEmpty())
            quietTimer.start(kCandidateQuietMs);
    }
    if (remoteSet)
        connectTimer.start(options.connectTimeoutMs);
}

void WebRtcCallMedia::Private::onLocalCandidate(const QString &line)
{
    bool ok = false;
    const QXmppJingleCandidate c = JingleSdp::candidateFromSdp(line, &ok);
    if (!ok || c.protocol() != QLatin1String("udp"))
        return;
    if (contentSent) {
        emit q->localCandidate(c);
    } else {
        gathered << c;
        if (localSet)
            quietTimer.start(kCandidateQuietMs);
    }
}

void WebRtcCallMedia::Private::onGatheringState(GstWebRTCICEGatheringState state)
{
    if (state == GST_WEBRTC_ICE_GATHERING_STATE_COMPLETE && localSet)
        finishLocalContent();
}

// The content goes out with every candidate found so far (all host candidates), so that peers
// that do not trickle can connect; later candidates follow one by one.
void WebRtcCallMedia::Private::finishLocalContent()
{
    if (contentSent || !localSet)
        return;
    gatherTimer.stop();
    quietTimer.stop();
    bool ok = false;
    QXmppJingleIq::Content content = JingleSdp::fromSdp(localSdp, &ok);
    if (!ok) {
        fail(QStringLiteral("unreadable local description"));
        return;
    }
    content.setTransportCandidates(gathered);
    contentSent = true;
    qCDebug(lcMedia) << "local content ready with" << gathered.size() << "candidates after" << clock.elapsed()
                     << "ms";
    emit q->localContentReady(content);
}

void WebRtcCallMedia::Private::flushRemoteCandidates()
{
    if (!remoteSet || !localSet)
        return;
    for (const QString &line : qAsConst(pendingRemoteCandidates))
        g_signal_emit_by_name(webrtc, "add-ice-candidate", guint(0), line.toUtf8().constData());
    pendingRemoteCandidates.clear();
}

void WebRtcCallMedia::Private::onConnectionState(GstWebRTCPeerConnectionState state)
{
    if (state == GST_WEBRTC_PEER_CONNECTION_STATE_CONNECTED && !isConnected && !hasFailed) {
        isConnected = true;
        connectTimer.stop();
        qCDebug(lcMedia) << "connected (ICE + DTLS) after" << clock.elapsed() << "ms," << codec.name;
        statsTimer.start();
        requestStats();
        emit q->connected();
    } else if (state == GST_WEBRTC_PEER_CONNECTION_STATE_FAILED) {
        fail(QStringLiteral("connection failed (ICE or DTLS)"));
    }
}

void WebRtcCallMedia::Private::onBusMessage(GstMessage *msg)
{
    switch (GST_MESSAGE_TYPE(msg)) {
    case GST_MESSAGE_ERROR: {
        GError *error = nullptr;
        gchar *debug = nullptr;
        gst_message_parse_error(msg, &error, &debug);
        const QString text = QString::fromUtf8(error ? error->message : "unknown");
        qCWarning(lcMedia) << "pipeline error from" << GST_OBJECT_NAME(GST_MESSAGE_SRC(msg)) << text << debug;
        g_clear_error(&error);
        g_free(debug);
        fail(QStringLiteral("media error: %1").arg(text));
        break;
    }
    case GST_MESSAGE_WARNING: {
        GError *error = nullptr;
        gst_message_parse_warning(msg, &error, nullptr);
        qCDebug(lcMedia) << "pipeline warning:" << (error ? error->message : "");
        g_clear_error(&error);
        break;
    }
    case GST_MESSAGE_LATENCY:
        gst_bin_recalculate_latency(GST_BIN(pipeline));
        break;
    case GST_MESSAGE_ELEMENT: {
        const GstStructure *s = gst_message_get_structure(msg);
        gboolean start = TRUE;
        gint number = -1;
        // rtpdtmfdepay posts once per event, without "start"; rtpdtmfsrc posts start and end.
        gst_structure_get_boolean(s, "start", &start);
        if (gst_structure_has_name(s, "dtmf-event") && start && gst_structure_get_int(s, "number", &number)
            && GST_MESSAGE_SRC(msg) && !isLocalDtmfSource(GST_MESSAGE_SRC(msg))) {
            qCDebug(lcMedia) << "received DTMF event" << number;
            emit q->dtmfReceived(number);
        }
        break;
    }
    default:
        break;
    }
}

void WebRtcCallMedia::Private::requestStats()
{
    if (!webrtc)
        return;
    if (!rtpSession) {
        // All streams are bundled: one RTP session, number 0, inside webrtcbin's rtpbin.
        if (GstElement *rtpbin = findByFactory(GST_BIN(webrtc), "rtpbin")) {
            GObject *session = nullptr;
            g_signal_emit_by_name(rtpbin, "get-session", guint(0), &session);
            if (session)
                rtpSession = holdGObject(session);
        }
    }
    if (rtpSession) {
        GstStructure *sessionStats = nullptr;
        g_object_get(rtpSession.get(), "stats", &sessionStats, nullptr);
        const MediaStats fresh = statsFromRtpSession(sessionStats);
        if (sessionStats)
            gst_structure_free(sessionStats);
        MediaStats merged = fresh;
        merged.localAddress = stats.localAddress;
        merged.remoteAddress = stats.remoteAddress;
        stats = merged;
    }
    if (!codec.name.isEmpty())
        stats.codec = QStringLiteral("%1/%2").arg(codec.name.toUpper()).arg(codec.clockRate);
    if (agent && niceStream) {
        NiceCandidate *local = nullptr, *remote = nullptr;
        if (nice_agent_get_selected_pair(NICE_AGENT(agent.get()), niceStream, 1, &local, &remote)) {
            stats.localAddress = niceAddressText(local);
            stats.remoteAddress = niceAddressText(remote);
        }
    }
}

// Deepens the jitter buffer when the link asks for it. webrtcbin hands the depth to the buffer,
// which announces the new latency; the bus handler then spreads it over the pipeline.
void WebRtcCallMedia::Private::adaptJitterBuffer()
{
    if (!jitterBuffer || !webrtc)
        return;
    GstStructure *jb = nullptr;
    g_object_get(jitterBuffer.get(), "stats", &jb, nullptr);
    if (!jb)
        return;
    guint64 late = 0, jitterNs = 0;
    gst_structure_get_uint64(jb, "num-late", &late);
    gst_structure_get_uint64(jb, "avg-jitter", &jitterNs);
    gst_structure_free(jb);
    const quint64 newlyLate = late >= lateSoFar ? late - lateSoFar : 0;
    lateSoFar = late;
    const unsigned before = jitterPolicy.latencyMs();
    const unsigned after = jitterPolicy.update(double(jitterNs) / GST_MSECOND, newlyLate);
    if (after == before)
        return;
    qCDebug(lcMedia) << "jitter buffer" << before << "->" << after << "ms (jitter" << jitterNs / 1e6 << "ms,"
                     << newlyLate << "late packets)";
    g_object_set(webrtc, "latency", guint(after), nullptr);
}

void WebRtcCallMedia::Private::sendDtmfEvent(int event, bool start)
{
    GstStructure *s = start
        ? gst_structure_new("dtmf-event", "type", G_TYPE_INT, 1, "number", G_TYPE_INT, event, "volume",
            G_TYPE_INT, 10, "start", G_TYPE_BOOLEAN, TRUE, nullptr)
        : gst_structure_new("dtmf-event", "type", G_TYPE_INT, 1, "start", G_TYPE_BOOLEAN, FALSE, nullptr);
    // rtpdtmfsrc takes the event on its source pad, not on the element.
    GstPad *pad = gst_element_get_static_pad(dtmfSource, "src");
    if (!gst_pad_send_event(pad, gst_event_new_custom(GST_EVENT_CUSTOM_UPSTREAM, s)))
        qCWarning(lcMedia) << "DTMF event" << event << (start ? "start" : "stop") << "refused";
    gst_object_unref(pad);
}

void WebRtcCallMedia::Private::pumpDtmf()
{
    if (dtmfPlaying) {
        sendDtmfEvent(-1, false);
        dtmfPlaying = false;
        dtmfTimer.start(kDtmfGapMs);
        return;
    }
    if (dtmfQueue.isEmpty() || !dtmfSource)
        return;
    const int event = dtmfQueue.takeFirst();
    sendDtmfEvent(event, true);
    dtmfPlaying = true;
    dtmfTimer.start(kDtmfToneMs);
}

// --- streaming-thread callbacks: gather what is needed, post the rest to the owner's thread ---

void WebRtcCallMedia::Private::onPadAdded(GstElement *, GstPad *pad, gpointer data)
{
    if (GST_PAD_DIRECTION(pad) != GST_PAD_SRC)
        return;
    GstRelay *r = GstRelay::fromUserData(data);
    auto *d = r->context<Private>();
    GstCaps *caps = gst_pad_get_current_caps(pad);
    if (!caps)
        caps = gst_pad_query_caps(pad, nullptr);
    const GstStructure *s = gst_caps_get_structure(caps, 0);
    const QString encoding = QString::fromUtf8(gst_structure_get_string(s, "encoding-name")).toUpper();
    gst_caps_unref(caps);

    QString desc;
    bool isAudio = false;
    if (encoding == QLatin1String("TELEPHONE-EVENT")) {
        desc = QStringLiteral("rtpdtmfdepay ! fakesink sync=false async=false");
    } else {
        std::lock_guard<std::mutex> lock(d->playoutMutex);
        if (!d->audioLinked && (encoding == QLatin1String("OPUS") || encoding == QLatin1String("PCMU"))) {
            desc = encoding == QLatin1String("OPUS") ? QStringLiteral("rtpopusdepay ! opusdec plc=true")
                                                     : QStringLiteral("rtppcmudepay ! mulawdec");
            desc += QStringLiteral(" ! audioconvert ! audioresample");
            d->audioLinked = true;
            isAudio = true;
        } else {
            desc = QStringLiteral("fakesink sync=false async=false");
        }
    }
    GstElement *bin = gst_parse_bin_from_description(desc.toUtf8().constData(), TRUE, nullptr);
    if (!bin)
        return;
    gst_bin_add(GST_BIN(d->pipeline), bin);
    GstPad *in = gst_element_get_static_pad(bin, "sink");
    gst_pad_link(pad, in);
    gst_object_unref(in);
    if (isAudio) {
        GstPad *out = gst_element_get_static_pad(bin, "src");
        GstPad *tail = gst_element_get_static_pad(d->playTail, "sink");
        gst_pad_link(out, tail);
        gst_object_unref(out);
        gst_object_unref(tail);
    }
    gst_element_sync_state_with_parent(bin);
    r->post([r, encoding] {
        auto *d = r->context<Private>();
        qCDebug(lcMedia) << "receiving" << encoding << "after" << d->clock.elapsed() << "ms";
        // A branch added while running gets the jitter buffer latency only after this.
        gst_bin_recalculate_latency(GST_BIN(d->pipeline));
    });
}

void WebRtcCallMedia::Private::onDeepElementAdded(GstBin *, GstBin *, GstElement *element, gpointer data)
{
    GstElementFactory *f = gst_element_get_factory(element);
    const char *factory = f ? GST_OBJECT_NAME(f) : nullptr;
    GstRelay *r = GstRelay::fromUserData(data);
    if (g_strcmp0(factory, "rtpjitterbuffer") == 0) {
        std::shared_ptr<void> jb = holdGObject(gst_object_ref(element));
        r->post([r, jb] { r->context<Private>()->jitterBuffer = jb; });
        return;
    }
    if (g_strcmp0(factory, "nicesrc") != 0)
        return;
    NiceAgent *niceAgent = nullptr;
    guint stream = 0;
    g_object_get(element, "agent", &niceAgent, "stream", &stream, nullptr);
    if (!niceAgent)
        return;
    // Both must happen before gathering starts; the element appears just before it does.
    // No UPnP: it multicasts discovery on every interface, loopback included, and a phone call
    // gains nothing from a port mapping on the router.
    if (g_object_class_find_property(G_OBJECT_GET_CLASS(niceAgent), "upnp"))
        g_object_set(niceAgent, "upnp", FALSE, nullptr);
    if (r->context<Private>()->options.loopbackCandidates) {
        for (const char *ip : { "127.0.0.1", "::1" }) {
            NiceAddress addr;
            nice_address_init(&addr);
            if (nice_address_set_from_string(&addr, ip))
                nice_agent_add_local_address(niceAgent, &addr);
        }
    }
    std::shared_ptr<void> agent = holdGObject(niceAgent); // the reference from g_object_get
    r->post([r, agent, stream] {
        auto *d = r->context<Private>();
        d->agent = agent;
        d->niceStream = stream;
    });
}

void WebRtcCallMedia::Private::onIceCandidate(GstElement *, guint, gchar *candidate, gpointer data)
{
    GstRelay *r = GstRelay::fromUserData(data);
    const QString line = QString::fromUtf8(candidate);
    r->post([r, line] { r->context<Private>()->onLocalCandidate(line); });
}

void WebRtcCallMedia::Private::onNotifyGathering(GObject *webrtc, GParamSpec *, gpointer data)
{
    GstRelay *r = GstRelay::fromUserData(data);
    GstWebRTCICEGatheringState state;
    g_object_get(webrtc, "ice-gathering-state", &state, nullptr);
    r->post([r, state] { r->context<Private>()->onGatheringState(state); });
}

void WebRtcCallMedia::Private::onNotifyConnection(GObject *webrtc, GParamSpec *, gpointer data)
{
    GstRelay *r = GstRelay::fromUserData(data);
    GstWebRTCPeerConnectionState state;
    g_object_get(webrtc, "connection-state", &state, nullptr);
    r->post([r, state] { r->context<Private>()->onConnectionState(state); });
}

GstBusSyncReply WebRtcCallMedia::Private::onBusSync(GstBus *, GstMessage *msg, gpointer data)
{
    switch (GST_MESSAGE_TYPE(msg)) {
    case GST_MESSAGE_ERROR:
    case GST_MESSAGE_WARNING:
    case GST_MESSAGE_LATENCY:
    case GST_MESSAGE_ELEMENT: {
        GstRelay *r = GstRelay::fromUserData(data);
        std::shared_ptr<GstMessage> held = holdMessage(gst_message_ref(msg));
        r->post([r, held] { r->context<Private>()->onBusMessage(held.get()); });
        break;
    }
    default:
        break;
    }
    gst_message_unref(msg);
    return GST_BUS_DROP;
}

GstPadProbeReturn WebRtcCallMedia::Private::onPlayoutBuffer(GstPad *, GstPadProbeInfo *info, gpointer data)
{
    auto *d = static_cast<Private *>(data);
    std::lock_guard<std::mutex> lock(d->recorderMutex);
    if (!d->recorder.isOpen())
        return GST_PAD_PROBE_OK;
    GstBuffer *buffer = GST_PAD_PROBE_INFO_BUFFER(info);
    GstMapInfo map;
    if (gst_buffer_map(buffer, &map, GST_MAP_READ)) {
        d->recorder.write(map.data, map.size);
        gst_buffer_unmap(buffer, &map);
    }
    return GST_PAD_PROBE_OK;
}

GstPadProbeReturn WebRtcCallMedia::Private::dropDtmfCaps(GstPad *, GstPadProbeInfo *info, gpointer)
{
    GstEvent *event = GST_PAD_PROBE_INFO_EVENT(info);
    if (GST_EVENT_TYPE(event) != GST_EVENT_CAPS)
        return GST_PAD_PROBE_OK;
    GstCaps *caps = nullptr;
    gst_event_parse_caps(event, &caps);
    const gchar *encoding = gst_structure_get_string(gst_caps_get_structure(caps, 0), "encoding-name");
    return g_strcmp0(encoding, "TELEPHONE-EVENT") == 0 ? GST_PAD_PROBE_DROP : GST_PAD_PROBE_OK;
}

// --- WebRtcCallMedia ---

WebRtcCallMedia::WebRtcCallMedia(const MediaOptions &options, AudioDevices *devices, QObject *parent)
    : CallMedia(parent), d(std::make_unique<Private>(this, options, devices))
{
    connect(&d->gatherTimer, &QTimer::timeout, this, [this] { d->finishLocalContent(); });
    connect(&d->quietTimer, &QTimer::timeout, this, [this] { d->finishLocalContent(); });
    connect(&d->statsTimer, &QTimer::timeout, this, [this] {
        d->requestStats();
        d->adaptJitterBuffer();
    });
    connect(&d->dtmfTimer, &QTimer::timeout, this, [this] { d->pumpDtmf(); });
    connect(&d->connectTimer, &QTimer::timeout, this,
        [this] { d->fail(QStringLiteral("no connection within %1 ms").arg(d->options.connectTimeoutMs)); });
    if (devices) {
        auto volumes = [this] { d->applyVolumes(); };
        auto route = [this] { d->applyDevices(); };
        connect(devices, &AudioDevices::inputVolumeChanged, this, volumes);
        connect(devices, &AudioDevices::outputVolumeChanged, this, volumes);
        connect(devices, &AudioDevices::inputMutedChanged, this, volumes);
        connect(devices, &AudioDevices::inputDeviceChanged, this, route);
        connect(devices, &AudioDevices::outputDeviceChanged, this, route);
    }
    if (!d->buildPipeline()) {
        // Reported once the session listens, not from inside the constructor.
        QTimer::singleShot(
            0, this, [this] { d->fail(QStringLiteral("the media pipeline could not be built")); });
    }
}

WebRtcCallMedia::~WebRtcCallMedia() = default;

void WebRtcCallMedia::createOffer()
{
    if (d->hasFailed || !d->webrtc)
        return;
    if (d->role != Private::NoRole) {
        qCWarning(lcMedia) << "createOffer called twice or after a remote offer";
        return;
    }
    d->role = Private::Initiator;
    QStringList prefs;
    if (!d->options.offerPcmuOnly)
        prefs << rtpCaps(QStringLiteral("OPUS"), 48000, kOpusPt);
    prefs << rtpCaps(QStringLiteral("PCMU"), 8000, kPcmuPt);
    d->setCodecPreferences(prefs);
    d->clock.restart();
    auto *promise = gst_promise_new_with_change_func(
        [](GstPromise *p, gpointer data) {
            GstRelay *r = GstRelay::fromUserData(data);
            GstWebRTCSessionDescription *offer = nullptr;
            if (gst_promise_wait(p) == GST_PROMISE_RESULT_REPLIED)
                gst_structure_get(
                    gst_promise_get_reply(p), "offer", GST_TYPE_WEBRTC_SESSION_DESCRIPTION, &offer, nullptr);
            const QString sdp = offer ? sdpText(offer) : QString();
            if (offer)
                gst_webrtc_session_description_free(offer);
            gst_promise_unref(p);
            r->post([r, sdp] {
                auto *d = r->context<Private>();
                if (sdp.isEmpty())
                    d->fail(QStringLiteral("no offer"));
                else
                    d->onDescriptionCreated(GST_WEBRTC_SDP_TYPE_OFFER, sdp);
            });
        },
        GstRelay::userData(d->relay), GstRelay::destroyNotify);
    g_signal_emit_by_name(d->webrtc, "create-offer", nullptr, promise);
}

void WebRtcCallMedia::createAnswer()
{
    if (d->hasFailed || !d->webrtc)
        return;
    if (d->role != Private::Responder || !d->remoteSet) {
        qCWarning(lcMedia) << "createAnswer needs a remote offer first";
        d->fail(QStringLiteral("answer without an offer"));
        return;
    }
    d->clock.restart();
    d->answerWhenCapsReady();
}

// webrtcbin matches the answer against the caps on its sink pad; before the encoder's caps
// arrive it asks upstream, where the event mux answers with something no codec matches, and the
// audio section would be rejected. So the answer waits for the encoder's first caps.
void WebRtcCallMedia::Private::answerWhenCapsReady()
{
    GstCaps *caps = gst_pad_get_current_caps(sendPad);
    if (caps)
        gst_caps_unref(caps);
    if (!caps && capsWaitMs < kCapsWaitLimitMs) {
        capsWaitMs += kCapsPollMs;
        QTimer::singleShot(kCapsPollMs, q, [this] { answerWhenCapsReady(); });
        return;
    }
    if (!caps)
        qCWarning(lcMedia) << "no caps from the encoder yet; answering anyway";
    auto *promise = gst_promise_new_with_change_func(
        [](GstPromise *p, gpointer data) {
            GstRelay *r = GstRelay::fromUserData(data);
            GstWebRTCSessionDescription *answer = nullptr;
            if (gst_promise_wait(p) == GST_PROMISE_RESULT_REPLIED)
                gst_structure_get(gst_promise_get_reply(p), "answer", GST_TYPE_WEBRTC_SESSION_DESCRIPTION,
                    &answer, nullptr);
            const QString sdp = answer ? sdpText(answer) : QString();
            if (answer)
                gst_webrtc_session_description_free(answer);
            gst_promise_unref(p);
            r->post([r, sdp] {
                auto *d = r->context<Private>();
                if (sdp.isEmpty())
                    d->fail(QStringLiteral("no answer"));
                else
                    d->onDescriptionCreated(GST_WEBRTC_SDP_TYPE_ANSWER, sdp);
            });
        },
        GstRelay::userData(relay), GstRelay::destroyNotify);
    g_signal_emit_by_name(webrtc, "create-answer", nullptr, promise);
}

bool WebRtcCallMedia::setRemoteContent(const QXmppJingleIq::Content &content)
{
    if (d->hasFailed || !d->webrtc)
        return false;
    if (d->remoteSet) {
        qCWarning(lcMedia) << "a second remote description is not supported";
        return false;
    }
    // Media always travels encrypted: a peer without DTLS gets refused, never plain RTP.
    if (content.transportFingerprint().isEmpty()) {
        qCWarning(lcMedia) << "remote content has no DTLS fingerprint; refusing";
        return false;
    }
    const CodecChoice choice = JingleSdp::chooseCodec(content.payloadTypes());
    if (!choice.isValid()) {
        qCWarning(lcMedia) << "no common codec with the peer";
        return false;
    }
    if (d->role == Private::Initiator && (!d->localSet || (d->options.offerPcmuOnly && choice.isOpus()))) {
        qCWarning(lcMedia) << "answer before our offer, or with a codec we did not offer";
        return false;
    }
    const bool isAnswer = d->role == Private::Initiator;
    if (d->role == Private::NoRole)
        d->role = Private::Responder;
    d->codec = choice;

    QXmppJingleIq::Content remote = content;
    // Our answer/offer section keeps the name webrtcbin gave it; the peer's content name is a
    // Jingle matter.
    if (isAnswer)
        remote.setName(d->localMid);
    QList<int> keep { choice.payloadType };
    if (choice.dtmfPayloadType >= 0)
        keep << choice.dtmfPayloadType;
    const QString sdp = JingleSdp::toSdp(remote, keep);
    GstWebRTCSessionDescription *desc
        = makeDescription(isAnswer ? GST_WEBRTC_SDP_TYPE_ANSWER : GST_WEBRTC_SDP_TYPE_OFFER, sdp);
    if (!desc) {
        qCWarning(lcMedia) << "remote content maps to an unreadable description";
        return false;
    }
    if (!isAnswer)
        d->setCodecPreferences({ rtpCaps(choice.name, choice.clockRate, choice.payloadType) });
    if (!d->buildSendBranch()) {
        gst_webrtc_session_description_free(desc);
        d->fail(QStringLiteral("the send branch could not be built"));
        return false;
    }
    g_signal_emit_by_name(d->webrtc, "set-remote-description", desc, nullptr);
    gst_webrtc_session_description_free(desc);
    d->remoteSet = true;
    qCDebug(lcMedia) << "remote" << (isAnswer ? "answer" : "offer") << "set; sending" << choice.name << "pt"
                     << choice.payloadType << "events pt" << choice.dtmfPayloadType;
    d->flushRemoteCandidates();
    if (d->localSet)
        d->connectTimer.start(d->options.connectTimeoutMs);
    return true;
}

void WebRtcCallMedia::addRemoteCandidate(const QXmppJingleCandidate &candidate)
{
    if (!d->webrtc || candidate.host().isNull() || candidate.port() == 0)
        return;
    d->pendingRemoteCandidates << QStringLiteral("a=") + JingleSdp::candidateToSdp(candidate);
    d->flushRemoteCandidates();
}

void WebRtcCallMedia::sendDtmf(int event)
{
    if (event < 0 || event > 15)
        return;
    if (!d->dtmfSource) {
        qCWarning(lcMedia) << "the peer takes no telephone-event; DTMF" << event << "not sent";
        return;
    }
    d->dtmfQueue << event;
    if (!d->dtmfTimer.isActive() && !d->dtmfPlaying)
        d->pumpDtmf();
}

void WebRtcCallMedia::setMicrophoneMuted(bool muted)
{
    d->muted = muted;
    d->applyVolumes();
}

void WebRtcCallMedia::setHold(bool onHold)
{
    d->onHold = onHold;
    d->applyVolumes();
}

MediaStats WebRtcCallMedia::stats() const
{
    return d->stats;
}

bool WebRtcCallMedia::startRecordingPlayout(const QString &path)
{
    std::lock_guard<std::mutex> lock(d->recorderMutex);
    if (!d->recorder.open(QFile::encodeName(path).toStdString(), kPlayoutRate, 1)) {
        qCWarning(lcMedia) << "cannot record the playout to" << path;
        return false;
    }
    return true;
}

bool WebRtcCallMedia::stopRecordingPlayout()
{
    std::lock_guard<std::mutex> lock(d->recorderMutex);
    return d->recorder.close();
}

bool WebRtcCallMedia::isConnected() const
{
    return d->isConnected;
}

QString WebRtcCallMedia::codec() const
{
    return d->codec.isValid() ? QStringLiteral("%1/%2").arg(d->codec.name.toLower()).arg(d->codec.clockRate)
                              : QString();
}

} // namespace engine
