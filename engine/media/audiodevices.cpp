#include "audiodevices.h"

#include <gst/gst.h>

#include <future>

#include "gstrelay.h"
#include "medialog.h"

namespace engine {

namespace {

constexpr guint64 kLevelIntervalNs = 50 * GST_MSECOND;

QString deviceId(GstDevice *device)
{
    // PulseAudio devices carry their PulseAudio name as "internal-name".
    if (g_object_class_find_property(G_OBJECT_GET_CLASS(device), "internal-name")) {
        gchar *name = nullptr;
        g_object_get(device, "internal-name", &name, nullptr);
        const QString id = QString::fromUtf8(name);
        g_free(name);
        if (!id.isEmpty())
            return id;
    }
    GstStructure *props = gst_device_get_properties(device);
    QString id;
    if (props) {
        id = QString::fromUtf8(gst_structure_get_string(props, "node.name"));
        gst_structure_free(props);
    }
    return id;
}

bool isMonitorSource(GstDevice *device)
{
    GstStructure *props = gst_device_get_properties(device);
    if (!props)
        return false;
    const bool monitor = g_strcmp0(gst_structure_get_string(props, "device.class"), "monitor") == 0;
    gst_structure_free(props);
    return monitor;
}

bool isDefault(GstDevice *device)
{
    gboolean def = FALSE;
    if (g_object_class_find_property(G_OBJECT_GET_CLASS(device), "is-default"))
        g_object_get(device, "is-default", &def, nullptr);
    if (!def) {
        GstStructure *props = gst_device_get_properties(device);
        if (props) {
            gst_structure_get_boolean(props, "is-default", &def);
            gst_structure_free(props);
        }
    }
    return def;
}

} // namespace

class AudioDevices::Private
{
public:
    explicit Private(AudioDevices *q) : q(q), relay(std::make_shared<GstRelay>(q, this)) { }
    ~Private()
    {
        relay->detach();
        settle();
        stopMonitor();
        if (monitor) {
            gst_device_monitor_stop(monitor);
            gst_object_unref(monitor);
        }
    }

    // A started monitor of the audio sources and sinks, or null when GStreamer or the device
    // providers cannot start. Any thread.
    static GstDeviceMonitor *startDeviceMonitor(const GstRelayPtr &relay);
    void refresh();
    // Takes over the monitor of a start in the background, waiting for it when it is still under
    // way; nothing when none is pending. Owner thread only.
    void settle();
    bool startMonitor();
    void stopMonitor();
    void onLevel(double peak);

    AudioDevices *q;
    GstRelayPtr relay;
    GstDeviceMonitor *monitor = nullptr;
    std::future<GstDeviceMonitor *> pendingMonitor;
    QList<AudioDevice> inputs, outputs;
    QString defaultInput, defaultOutput;
    QString input, output;
    int inputVolume = 100;
    int outputVolume = 100;
    bool inputMuted = false;
    GstElement *levelPipeline = nullptr;
    double level = -1;
};

// The bus handler is in place before the monitor starts, so no change gets lost.
GstDeviceMonitor *AudioDevices::Private::startDeviceMonitor(const GstRelayPtr &relay)
{
    if (!ensureGstreamer())
        return nullptr;
    GstDeviceMonitor *monitor = gst_device_monitor_new();
    gst_device_monitor_add_filter(monitor, "Audio/Source", nullptr);
    gst_device_monitor_add_filter(monitor, "Audio/Sink", nullptr);
    GstBus *bus = gst_device_monitor_get_bus(monitor);
    gst_bus_set_sync_handler(
        bus,
        [](GstBus *, GstMessage *msg, gpointer data) -> GstBusSyncReply {
            const auto type = GST_MESSAGE_TYPE(msg);
            if (type == GST_MESSAGE_DEVICE_ADDED || type == GST_MESSAGE_DEVICE_REMOVED
                || type == GST_MESSAGE_DEVICE_CHANGED) {
                GstRelay *r = GstRelay::fromUserData(data);
                r->post([r] { r->context<Private>()->refresh(); });
            }
            gst_message_unref(msg);
            return GST_BUS_DROP;
        },
        GstRelay::userData(relay), GstRelay::destroyNotify);
    gst_object_unref(bus);
    if (!gst_device_monitor_start(monitor)) {
        qCWarning(lcMedia) << "the audio device monitor does not start (no sound server?)";
        gst_object_unref(monitor);
        return nullptr;
    }
    return monitor;
}

void AudioDevices::Private::refresh()
{
    QList<AudioDevice> newInputs, newOutputs;
    QString newDefaultIn, newDefaultOut;
    GList *list = monitor ? gst_device_monitor_get_devices(monitor) : nullptr;
    for (GList *l = list; l; l = l->next) {
        auto *device = GST_DEVICE(l->data);
        const AudioDevice dev { deviceId(device), QString::fromUtf8(gst_device_get_display_name(device)) };
        if (dev.id.isEmpty())
            continue;
        if (gst_device_has_classes(device, "Audio/Source")) {
            if (isMonitorSource(device))
                continue;
            newInputs << dev;
            if (isDefault(device))
                newDefaultIn = dev.id;
        } else if (gst_device_has_classes(device, "Audio/Sink")) {
            newOutputs << dev;
            if (isDefault(device))
                newDefaultOut = dev.id;
        }
    }
    g_list_free_full(list, gst_object_unref);

    defaultInput = newDefaultIn;
    defaultOutput = newDefaultOut;
    if (newInputs == inputs && newOutputs == outputs)
        return;
    inputs = newInputs;
    outputs = newOutputs;
    qCDebug(lcMedia) << "audio devices:" << inputs.size() << "inputs," << outputs.size() << "outputs";
    emit q->devicesChanged();

    const QString keptIn = keepOrDefault(input, inputs);
    if (keptIn != input) {
        qCDebug(lcMedia) << "microphone" << input << "vanished; using the default";
        input = keptIn;
        if (levelPipeline) {
            stopMonitor();
            startMonitor();
        }
        emit q->inputDeviceChanged(input);
    }
    const QString keptOut = keepOrDefault(output, outputs);
    if (keptOut != output) {
        qCDebug(lcMedia) << "speaker" << output << "vanished; using the default";
        output = keptOut;
        emit q->outputDeviceChanged(output);
    }
}

bool AudioDevices::Private::startMonitor()
{
    if (levelPipeline)
        return true;
    if (!ensureGstreamer())
        return false;
    const QString device = input.isEmpty() ? QString() : QStringLiteral(" device=\"%1\"").arg(input);
    const QString desc = QStringLiteral("pulsesrc%1 ! audioconvert ! level interval=%2 post-messages=true ! "
                                        "fakesink sync=false")
                             .arg(device)
                             .arg(kLevelIntervalNs);
    GError *error = nullptr;
    levelPipeline = gst_parse_launch(desc.toUtf8().constData(), &error);
    if (error) {
        qCWarning(lcMedia) << "local monitor does not build:" << error->message;
        g_clear_error(&error);
        if (levelPipeline)
            gst_object_unref(levelPipeline);
        levelPipeline = nullptr;
        return false;
    }
    GstBus *bus = gst_element_get_bus(levelPipeline);
    gst_bus_set_sync_handler(
        bus,
        [](GstBus *, GstMessage *msg, gpointer data) -> GstBusSyncReply {
            GstRelay *r = GstRelay::fromUserData(data);
            const GstStructure *s = gst_message_get_structure(msg);
            if (GST_MESSAGE_TYPE(msg) == GST_MESSAGE_ELEMENT && gst_structure_has_name(s, "level")) {
                const double peak = levelPeak(s);
                r->post([r, peak] { r->context<Private>()->onLevel(peak); });
            } else if (GST_MESSAGE_TYPE(msg) == GST_MESSAGE_ERROR) {
                GError *error = nullptr;
                gst_message_parse_error(msg, &error, nullptr);
                qCWarning(lcMedia) << "local monitor error:" << (error ? error->message : "");
                g_clear_error(&error);
            }
            gst_message_unref(msg);
            return GST_BUS_DROP;
        },
        GstRelay::userData(relay), GstRelay::destroyNotify);
    gst_object_unref(bus);
    if (gst_element_set_state(levelPipeline, GST_STATE_PLAYING) == GST_STATE_CHANGE_FAILURE) {
        stopMonitor();
        return false;
    }
    level = 0;
    return true;
}

void AudioDevices::Private::stopMonitor()
{
    if (!levelPipeline)
        return;
    gst_element_set_state(levelPipeline, GST_STATE_NULL);
    gst_object_unref(levelPipeline);
    levelPipeline = nullptr;
    level = -1;
}

void AudioDevices::Private::onLevel(double peak)
{
    if (!levelPipeline)
        return;
    level = qBound(0.0, peak, 1.0);
    emit q->inputLevelChanged(level);
}

AudioDevices::AudioDevices(QObject *parent) : QObject(parent), d(std::make_unique<Private>(this)) { }

AudioDevices::~AudioDevices() = default;

bool AudioDevices::start()
{
    d->settle();
    if (d->monitor)
        return true;
    d->monitor = Private::startDeviceMonitor(d->relay);
    if (!d->monitor)
        return false;
    d->refresh();
    return true;
}

void AudioDevices::startInBackground()
{
    if (d->monitor || d->pendingMonitor.valid())
        return;
    GstRelayPtr relay = d->relay;
    d->pendingMonitor = std::async(std::launch::async, [relay] {
        GstDeviceMonitor *monitor = Private::startDeviceMonitor(relay);
        // Announce the list on the owner's thread even if nothing asks for it before.
        relay->post([relay] { relay->context<Private>()->settle(); });
        return monitor;
    });
}

void AudioDevices::Private::settle()
{
    if (!pendingMonitor.valid())
        return;
    monitor = pendingMonitor.get();
    if (monitor)
        refresh();
}

QList<AudioDevice> AudioDevices::inputDevices() const
{
    d->settle();
    return d->inputs;
}

QList<AudioDevice> AudioDevices::outputDevices() const
{
    d->settle();
    return d->outputs;
}

QString AudioDevices::defaultInputId() const
{
    d->settle();
    return d->defaultInput;
}

QString AudioDevices::defaultOutputId() const
{
    d->settle();
    return d->defaultOutput;
}

QString AudioDevices::inputDevice() const
{
    d->settle();
    return d->input;
}

QString AudioDevices::outputDevice() const
{
    d->settle();
    return d->output;
}

QString AudioDevices::keepOrDefault(const QString &selected, const QList<AudioDevice> &devices)
{
    for (const auto &dev : devices) {
        if (dev.id == selected)
            return selected;
    }
    return QString();
}

bool AudioDevices::setInputDevice(const QString &id)
{
    d->settle();
    if (!id.isEmpty() && keepOrDefault(id, d->inputs).isEmpty())
        return false;
    if (id == d->input)
        return true;
    d->input = id;
    if (d->levelPipeline) {
        d->stopMonitor();
        d->startMonitor();
    }
    emit inputDeviceChanged(id);
    return true;
}

bool AudioDevices::setOutputDevice(const QString &id)
{
    d->settle();
    if (!id.isEmpty() && keepOrDefault(id, d->outputs).isEmpty())
        return false;
    if (id == d->output)
        return true;
    d->output = id;
    emit outputDeviceChanged(id);
    return true;
}

int AudioDevices::inputVolume() const
{
    return d->inputVolume;
}

int AudioDevices::outputVolume() const
{
    return d->outputVolume;
}

void AudioDevices::setInputVolume(int percent)
{
    percent = qBound(0, percent, 100);
    if (percent == d->inputVolume)
        return;
    d->inputVolume = percent;
    emit inputVolumeChanged(percent);
}

void AudioDevices::setOutputVolume(int percent)
{
    percent = qBound(0, percent, 100);
    if (percent == d->outputVolume)
        return;
    d->outputVolume = percent;
    emit outputVolumeChanged(percent);
}

bool AudioDevices::isInputMuted() const
{
    return d->inputMuted;
}

void AudioDevices::setInputMuted(bool muted)
{
    if (muted == d->inputMuted)
        return;
    d->inputMuted = muted;
    emit inputMutedChanged(muted);
}

bool AudioDevices::setLocalMonitor(bool on)
{
    d->settle();
    if (!on) {
        d->stopMonitor();
        return true;
    }
    return d->startMonitor();
}

bool AudioDevices::isLocalMonitorOn() const
{
    return d->levelPipeline != nullptr;
}

double AudioDevices::inputLevel() const
{
    return d->level;
}

} // namespace engine
