#include "soundplayer.h"

#include <gst/gst.h>

#include <QFile>
#include <QFileInfo>
#include <QPointer>
#include <QtEndian>

#include "audiodevices.h"
#include "gstrelay.h"
#include "medialog.h"

namespace engine {

class SoundPlayer::Private
{
public:
    explicit Private(SoundPlayer *q, AudioDevices *devices)
        : q(q), devices(devices), relay(std::make_shared<GstRelay>(q, this))
    { }
    ~Private()
    {
        relay->detach();
        teardown();
    }

    void teardown();
    void onMessage(GstMessage *msg);
    void applyOutput();

    SoundPlayer *q;
    QPointer<AudioDevices> devices;
    GstRelayPtr relay;
    QString sinkOverride;
    GstElement *pipeline = nullptr;
    GstElement *volume = nullptr;
    GstElement *sink = nullptr;
    bool looping = false;
    double level = -1;
};

void SoundPlayer::Private::teardown()
{
    if (!pipeline)
        return;
    GstBus *bus = gst_element_get_bus(pipeline);
    gst_bus_set_sync_handler(bus, nullptr, nullptr, nullptr);
    gst_object_unref(bus);
    gst_element_set_state(pipeline, GST_STATE_NULL);
    gst_object_unref(pipeline);
    pipeline = nullptr;
    volume = nullptr;
    sink = nullptr;
    level = -1;
}

void SoundPlayer::Private::applyOutput()
{
    if (volume)
        g_object_set(volume, "volume", devices ? devices->outputVolume() / 100.0 : 1.0, nullptr);
    if (sink && devices) {
        const QString id = devices->outputDevice();
        g_object_set(sink, "device", id.isEmpty() ? nullptr : id.toUtf8().constData(), nullptr);
    }
}

void SoundPlayer::Private::onMessage(GstMessage *msg)
{
    if (!pipeline || GST_MESSAGE_SRC(msg) == nullptr)
        return;
    switch (GST_MESSAGE_TYPE(msg)) {
    case GST_MESSAGE_EOS:
        if (looping) {
            gst_element_seek_simple(
                pipeline, GST_FORMAT_TIME, GstSeekFlags(GST_SEEK_FLAG_FLUSH | GST_SEEK_FLAG_KEY_UNIT), 0);
        } else {
            teardown();
            emit q->finished();
        }
        break;
    case GST_MESSAGE_ERROR: {
        GError *error = nullptr;
        gst_message_parse_error(msg, &error, nullptr);
        qCWarning(lcMedia) << "sound playback failed:" << (error ? error->message : "");
        g_clear_error(&error);
        looping = false;
        teardown();
        emit q->finished();
        break;
    }
    case GST_MESSAGE_ELEMENT: {
        const GstStructure *s = gst_message_get_structure(msg);
        if (!gst_structure_has_name(s, "level"))
            break;
        level = levelPeak(s);
        emit q->outputLevelChanged(level);
        break;
    }
    default:
        break;
    }
}

SoundPlayer::SoundPlayer(AudioDevices *devices, QObject *parent)
    : QObject(parent), d(std::make_unique<Private>(this, devices))
{
    if (devices) {
        connect(devices, &AudioDevices::outputVolumeChanged, this, [this] { d->applyOutput(); });
        connect(devices, &AudioDevices::outputDeviceChanged, this, [this] { d->applyOutput(); });
    }
}

SoundPlayer::~SoundPlayer() = default;

void SoundPlayer::setSinkOverride(const QString &description)
{
    d->sinkOverride = description;
}

bool SoundPlayer::play(const QString &path, bool loop)
{
    stop();
    QFileInfo info(path);
    if (!info.isFile() || !info.isReadable()) {
        qCWarning(lcMedia) << "no sound file" << path;
        return false;
    }
    if (!ensureGstreamer())
        return false;
    d->pipeline = gst_pipeline_new(nullptr);
    GstElement *src = gst_element_factory_make("filesrc", nullptr);
    g_object_set(src, "location", QFile::encodeName(path).constData(), nullptr);
    const QString sink = d->sinkOverride.isEmpty() ? QStringLiteral("pulsesink name=out") : d->sinkOverride;
    const QString desc = QStringLiteral("wavparse ! audioconvert ! audioresample ! level interval=50000000 "
                                        "post-messages=true ! volume name=vol ! %1")
                             .arg(sink);
    GError *error = nullptr;
    GstElement *rest = gst_parse_bin_from_description(desc.toUtf8().constData(), TRUE, &error);
    if (!src || !rest) {
        qCWarning(lcMedia) << "player does not build:" << (error ? error->message : "");
        g_clear_error(&error);
        if (src)
            gst_object_unref(src);
        d->teardown();
        return false;
    }
    g_clear_error(&error);
    gst_bin_add_many(GST_BIN(d->pipeline), src, rest, nullptr);
    gst_element_link(src, rest);
    d->volume = gst_bin_get_by_name(GST_BIN(rest), "vol");
    gst_object_unref(d->volume);
    d->sink = gst_bin_get_by_name(GST_BIN(rest), "out");
    if (d->sink)
        gst_object_unref(d->sink);
    d->looping = loop;
    d->applyOutput();

    GstBus *bus = gst_element_get_bus(d->pipeline);
    gst_bus_set_sync_handler(
        bus,
        [](GstBus *, GstMessage *msg, gpointer data) -> GstBusSyncReply {
            const auto type = GST_MESSAGE_TYPE(msg);
            if (type == GST_MESSAGE_EOS || type == GST_MESSAGE_ERROR || type == GST_MESSAGE_ELEMENT) {
                GstRelay *r = GstRelay::fromUserData(data);
                GstElement *owner = r->context<Private>()->pipeline;
                gst_message_ref(msg);
                r->post([r, msg, owner] {
                    auto *d = r->context<Private>();
                    // Messages of a pipeline that play() has replaced meanwhile are stale.
                    if (d->pipeline == owner)
                        d->onMessage(msg);
                    gst_message_unref(msg);
                });
            }
            gst_message_unref(msg);
            return GST_BUS_DROP;
        },
        GstRelay::userData(d->relay), GstRelay::destroyNotify);
    gst_object_unref(bus);
    if (gst_element_set_state(d->pipeline, GST_STATE_PLAYING) == GST_STATE_CHANGE_FAILURE) {
        qCWarning(lcMedia) << "player does not start for" << path;
        d->teardown();
        return false;
    }
    d->level = 0;
    return true;
}

void SoundPlayer::stop()
{
    d->looping = false;
    d->teardown();
}

bool SoundPlayer::isPlaying() const
{
    return d->pipeline != nullptr;
}

bool SoundPlayer::isLooping() const
{
    return d->pipeline && d->looping;
}

double SoundPlayer::outputLevel() const
{
    return d->level;
}

qint64 SoundPlayer::wavDurationMs(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray head = f.read(12);
    if (head.size() < 12 || !head.startsWith("RIFF") || head.mid(8, 4) != "WAVE")
        return -1;
    quint32 byteRate = 0;
    // Walk the chunks: "fmt " gives the byte rate, "data" the length.
    while (!f.atEnd()) {
        const QByteArray chunk = f.read(8);
        if (chunk.size() < 8)
            return -1;
        const quint32 size = qFromLittleEndian<quint32>(chunk.constData() + 4);
        if (chunk.startsWith("fmt ")) {
            const QByteArray fmt = f.read(size);
            if (fmt.size() < 16 || qFromLittleEndian<quint16>(fmt.constData()) != 1)
                return -1;
            byteRate = qFromLittleEndian<quint32>(fmt.constData() + 8);
            if (size & 1)
                f.read(1);
        } else if (chunk.startsWith("data")) {
            if (!byteRate)
                return -1;
            const qint64 available = f.size() - f.pos();
            const qint64 bytes = qMin<qint64>(size, available);
            return bytes * 1000 / byteRate;
        } else if (!f.seek(f.pos() + size + (size & 1))) {
            return -1;
        }
    }
    return -1;
}

} // namespace engine
