#include "mediaengine.h"

#include <QTimer>

#include "callinstance.h"
#include "connectioninfo.h"
#include "device.h"
#include "enginelog.h"
#include "jingle/jinglemanager.h"
#include "jingle/jinglesession.h"
#if VESK_HAVE_MEDIA
#include "media/audiodevices.h"
#include "player.h"
#endif

namespace engine {

namespace {

#if !VESK_HAVE_MEDIA
// Playback when the engine is built without media.
class SilentPlayer : public vesk::IPlayer
{
public:
    bool Play(const char *, bool) override { return false; }
    void Stop() override { }
    bool IsPlaying() const override { return false; }
    int GetOutputLevel() const override { return -1; }
    int GetFileLength(const char *) const override { return -1; }
    int GetPosition() const override { return -1; }
    ~SilentPlayer() override = default;
};
#endif

} // namespace

MediaEngine::MediaEngine(JingleManager *jingle, AudioDevices *devices, QObject *parent)
    : QObject(parent), m_jingle(jingle), m_devices(devices)
{
    connect(m_jingle, &JingleManager::incomingSession, this, &MediaEngine::onIncoming);
#if VESK_HAVE_MEDIA
    if (m_devices) {
        connect(m_devices, &AudioDevices::devicesChanged, this, [this] { SignalDevicesChanged(); });
        connect(m_devices, &AudioDevices::inputDeviceChanged, this, [this](const QString &id) {
            Device device(id, id);
            SignalCurrentDeviceChanged(&device, vesk::MEDIA_DEVICE_MICROPHONE, true);
        });
        connect(m_devices, &AudioDevices::outputDeviceChanged, this, [this](const QString &id) {
            Device device(id, id);
            SignalCurrentDeviceChanged(&device, vesk::MEDIA_DEVICE_SPEAKER, true);
        });
    }
#endif
}

MediaEngine::~MediaEngine()
{
    for (CallInstance *call : qAsConst(m_calls)) {
        call->disconnect(this);
        if (call->session())
            call->session()->hangup();
    }
    qDeleteAll(m_calls);
#if !VESK_HAVE_MEDIA
    delete static_cast<SilentPlayer *>(m_player);
#endif
}

const char *MediaEngine::GetVersion(int) const
{
    return "vesktalk " VESKTALK_VERSION;
}

bool MediaEngine::IsInCall() const
{
    return !m_calls.isEmpty();
}

vesk::ICallInstance *MediaEngine::GetFocusedCall() const
{
    return m_focus;
}

vesk::IList *MediaEngine::GetCalls()
{
    auto *list = new ObjectList<CallInstance, vesk::ICallInstance>(false);
    for (CallInstance *call : qAsConst(m_calls))
        list->append(call);
    return list;
}

vesk::IDevice *MediaEngine::GetCurrentSpeakerDevice()
{
#if VESK_HAVE_MEDIA
    if (m_devices) {
        const QString id = m_devices->outputDevice();
        for (const AudioDevice &d : m_devices->outputDevices()) {
            if (d.id == id)
                return new Device(d.id, d.name);
        }
    }
#endif
    return nullptr;
}

vesk::IDevice *MediaEngine::GetCurrentMicrophoneDevice()
{
#if VESK_HAVE_MEDIA
    if (m_devices) {
        const QString id = m_devices->inputDevice();
        for (const AudioDevice &d : m_devices->inputDevices()) {
            if (d.id == id)
                return new Device(d.id, d.name);
        }
    }
#endif
    return nullptr;
}

vesk::IList *MediaEngine::GetMicrophoneDevices()
{
    auto *list = new ObjectList<Device, vesk::IDevice>(true);
#if VESK_HAVE_MEDIA
    if (m_devices) {
        for (const AudioDevice &d : m_devices->inputDevices())
            list->append(new Device(d.id, d.name));
    }
#endif
    return list;
}

vesk::IList *MediaEngine::GetSpeakerDevices()
{
    auto *list = new ObjectList<Device, vesk::IDevice>(true);
#if VESK_HAVE_MEDIA
    if (m_devices) {
        for (const AudioDevice &d : m_devices->outputDevices())
            list->append(new Device(d.id, d.name));
    }
#endif
    return list;
}

bool MediaEngine::SetSpeakerDevice(const char *id)
{
#if VESK_HAVE_MEDIA
    if (m_devices)
        return m_devices->setOutputDevice(QString::fromUtf8(id ? id : ""));
#else
    Q_UNUSED(id)
#endif
    return false;
}

bool MediaEngine::SetMicrophoneDevice(const char *id)
{
#if VESK_HAVE_MEDIA
    if (m_devices)
        return m_devices->setInputDevice(QString::fromUtf8(id ? id : ""));
#else
    Q_UNUSED(id)
#endif
    return false;
}

bool MediaEngine::GetLocalMonitor() const
{
#if VESK_HAVE_MEDIA
    if (m_devices)
        return m_devices->isLocalMonitorOn();
#endif
    return false;
}

int MediaEngine::GetSpeakerVolume() const
{
#if VESK_HAVE_MEDIA
    if (m_devices)
        return m_devices->outputVolume();
#endif
    return -1;
}

int MediaEngine::GetMicVolume() const
{
#if VESK_HAVE_MEDIA
    if (m_devices)
        return m_devices->inputVolume();
#endif
    return -1;
}

int MediaEngine::GetInputLevel() const
{
#if VESK_HAVE_MEDIA
    if (m_devices) {
        const double level = m_devices->inputLevel();
        return level < 0 ? -1 : int(level * 100 + 0.5);
    }
#endif
    return -1;
}

void MediaEngine::GetCallFigures(int *sent, int *received, int *lost, int *roundTripMs) const
{
    int values[4] = { -1, -1, -1, -1 };
    if (m_focus) {
        vesk::IList *infos = m_focus->GetConnectionInfos();
        if (auto *info = vesk::ListItem<vesk::IConnectionInfo>(infos, 0)) {
            values[0] = int(info->GetPacketsSent());
            values[1] = int(info->GetPacketsReceived());
            values[2] = int(info->GetPacketsLost());
            values[3] = info->GetRoundTripTimeMs();
        }
        infos->Release();
    }
    if (sent)
        *sent = values[0];
    if (received)
        *received = values[1];
    if (lost)
        *lost = values[2];
    if (roundTripMs)
        *roundTripMs = values[3];
}

bool MediaEngine::SetAudioOptions(int options)
{
    m_audioOptions = options;
    return true;
}

bool MediaEngine::SetPreferredAudioCodec(int codec)
{
    if (codec != 0 && codec != 1)
        return false;
    m_preferredCodec = codec;
    return true;
}

bool MediaEngine::SetSpeakerVolume(int level)
{
#if VESK_HAVE_MEDIA
    if (m_devices) {
        m_devices->setOutputVolume(level);
        return true;
    }
#else
    Q_UNUSED(level)
#endif
    return false;
}

bool MediaEngine::SetMicVolume(int level)
{
#if VESK_HAVE_MEDIA
    if (m_devices) {
        m_devices->setInputVolume(level);
        return true;
    }
#else
    Q_UNUSED(level)
#endif
    return false;
}

bool MediaEngine::SetLocalMonitor(bool enable)
{
#if VESK_HAVE_MEDIA
    if (m_devices)
        return m_devices->setLocalMonitor(enable);
#else
    Q_UNUSED(enable)
#endif
    return false;
}

bool MediaEngine::SetEchoMetricStatus(bool value)
{
    m_echoMetric = value;
    return true;
}

bool MediaEngine::PlaceCall(const char *jid, bool isVideo)
{
    const QString target = QString::fromUtf8(jid ? jid : "");
    VLOG_TRACE(QStringLiteral("Place call to %1 (video %2)").arg(target).arg(isVideo));
    JingleSession *session = m_jingle->call(target);
    if (!session)
        return false;
    CallInstance *call = adopt(session);
    SignalCallCreated(call);
    setFocus(call);
    session->start();
    return true;
}

void MediaEngine::SetAllowsMultipleCalls(bool on)
{
    m_jingle->setAllowMultipleCalls(on);
}

vesk::IPlayer *MediaEngine::GetPlayer()
{
    if (!m_player) {
#if VESK_HAVE_MEDIA
        m_player = new Player(m_devices, this);
#else
        m_player = new SilentPlayer;
#endif
    }
    return m_player;
}

void MediaEngine::abandonCalls()
{
    m_jingle->abandonAll();
}

CallInstance *MediaEngine::adopt(JingleSession *session)
{
    auto *call = new CallInstance(session, m_nextId++, nullptr);
    m_calls.append(call);
    connect(call, &CallInstance::finished, this, &MediaEngine::onCallFinished);
    return call;
}

void MediaEngine::onIncoming(JingleSession *session)
{
    CallInstance *call = adopt(session);
    SignalCallCreated(call);
    if (!m_focus)
        setFocus(call);
    // The session was initiated before the call object existed.
    call->SignalSessionInitiated(call);
}

void MediaEngine::onCallFinished(CallInstance *call)
{
    m_calls.removeOne(call);
    if (m_focus == call)
        setFocus(m_calls.isEmpty() ? nullptr : m_calls.last());
    // Destroyed once the hang-up has been handled everywhere.
    QTimer::singleShot(0, this, [this, call] {
        SignalCallDestroyed(call);
        delete call;
    });
}

void MediaEngine::setFocus(CallInstance *call)
{
    if (m_focus == call)
        return;
    CallInstance *old = m_focus;
    m_focus = call;
    SignalCallFocusChange(call, old);
}

} // namespace engine
