#include "mediaengineimpl.h"

#include <QHash>

#include "settings/settings.h"
#include "talk/callinstance.h"
#include "util/log.h"
#include "vesk/interfaces.h"

namespace talk {

namespace {

QString text(const char *utf8)
{
    return utf8 ? QString::fromUtf8(utf8) : QString();
}

// Copies an engine device list and releases it.
QList<Device> takeDevices(vesk::IList *list)
{
    QList<Device> devices;
    if (!list)
        return devices;
    for (int i = 0; i < list->GetCount(); ++i) {
        if (const auto *device = vesk::ListItem<const vesk::IDevice>(list, i))
            devices.append(MediaEngineImpl::deviceFrom(device));
    }
    list->Release();
    MediaEngineImpl::numberDisplayNames(devices);
    return devices;
}

// Copies an engine device and releases it.
Device takeDevice(vesk::IDevice *device)
{
    const Device copy = MediaEngineImpl::deviceFrom(device);
    if (device)
        device->Release();
    return copy;
}

} // namespace

class MediaEngineImpl::Private : public sigslot::has_slots<>
{
public:
    Private(MediaEngineImpl *owner, vesk::IMediaEngine *mediaEngine);

    void onCallCreated(vesk::ICallInstance *call);
    void onCallDestroyed(vesk::ICallInstance *call);
    void onCallFocusChange(vesk::ICallInstance *newCall, vesk::ICallInstance *oldCall);
    void onDevicesChanged();
    void onCurrentDeviceChanged(vesk::IDevice *device, vesk::MEDIA_DEVICE_TYPE type, bool success);
    void onPlayingFinished();

    vesk::IPlayer *player() const { return engine ? engine->GetPlayer() : nullptr; }

    MediaEngineImpl *q;
    vesk::IMediaEngine *engine;
    int audioOptions = 15;
    bool looping = false;
};

MediaEngineImpl::Private::Private(MediaEngineImpl *owner, vesk::IMediaEngine *mediaEngine)
    : q(owner), engine(mediaEngine)
{
    if (!engine)
        return;
    engine->SignalCallCreated.connect(this, &Private::onCallCreated);
    engine->SignalCallDestroyed.connect(this, &Private::onCallDestroyed);
    engine->SignalCallFocusChange.connect(this, &Private::onCallFocusChange);
    engine->SignalDevicesChanged.connect(this, &Private::onDevicesChanged);
    engine->SignalCurrentDeviceChanged.connect(this, &Private::onCurrentDeviceChanged);
    if (vesk::IPlayer *p = player())
        p->SignalPlayingFinished.connect(this, &Private::onPlayingFinished);
    engine->SetAllowsMultipleCalls(false);
}

void MediaEngineImpl::Private::onCallCreated(vesk::ICallInstance *call)
{
    Call *wrapper = CallInstance::wrap(call);
    LOG_TRACE << "call" << (wrapper ? wrapper->id() : 0);
    emit q->callCreated(wrapper);
}

void MediaEngineImpl::Private::onCallDestroyed(vesk::ICallInstance *call)
{
    Call *wrapper = CallInstance::find(call);
    if (!wrapper) {
        LOG_WARNING << "an engine call without a wrapper was destroyed";
        return;
    }
    LOG_TRACE << "call" << wrapper->id();
    emit q->callDestroyed(wrapper);
    CallInstance::release(call);
}

void MediaEngineImpl::Private::onCallFocusChange(vesk::ICallInstance *newCall, vesk::ICallInstance *oldCall)
{
    Call *newWrapper = CallInstance::wrap(newCall);
    Call *oldWrapper = CallInstance::wrap(oldCall);
    LOG_TRACE << "new" << (newWrapper ? newWrapper->id() : 0) << "old" << (oldWrapper ? oldWrapper->id() : 0);
    emit q->callFocusChanged(newWrapper, oldWrapper);
}

void MediaEngineImpl::Private::onDevicesChanged()
{
    LOG_TRACE << "devices changed";
    q->pickDefaultDevices(false);
    emit q->deviceChanged();
}

void MediaEngineImpl::Private::onCurrentDeviceChanged(
    vesk::IDevice *device, vesk::MEDIA_DEVICE_TYPE type, bool success)
{
    const Device copy = deviceFrom(device);
    LOG_TRACE << copy << "type" << int(type) << "success" << success;
    emit q->currentDeviceChanged(copy, type, success);
}

void MediaEngineImpl::Private::onPlayingFinished()
{
    emit q->playingFinished();
}

MediaEngineImpl::MediaEngineImpl(vesk::IMediaEngine *engine, QObject *parent)
    : MediaEngine(parent), d(std::make_unique<Private>(this, engine))
{ }

MediaEngineImpl::~MediaEngineImpl()
{
    // The engine's calls outlive this view of them only inside the engine: drop their wrappers now, so
    // that no wrapper is left over for an address the engine may reuse.
    vesk::IList *list = d->engine ? d->engine->GetCalls() : nullptr;
    if (!list)
        return;
    for (int i = 0; i < list->GetCount(); ++i)
        CallInstance::release(vesk::ListItem<vesk::ICallInstance>(list, i));
    list->Release();
}

void MediaEngineImpl::numberDisplayNames(QList<Device> &devices)
{
    QHash<QString, int> total;
    for (const Device &device : qAsConst(devices))
        ++total[device.name()];
    QHash<QString, int> seen;
    for (Device &device : devices) {
        if (total.value(device.name()) > 1)
            device.setDname(QStringLiteral("%1 (%2)").arg(device.name()).arg(++seen[device.name()]));
        else
            device.setDname(device.name());
    }
}

Device MediaEngineImpl::deviceFrom(const vesk::IDevice *device)
{
    if (!device)
        return Device();
    return Device(text(device->GetId()), text(device->GetName()));
}

Device MediaEngineImpl::chooseDevice(const QList<Device> &devices, const Device &stored)
{
    if (stored.isValid()) {
        const int index = devices.indexOf(stored);
        if (index >= 0)
            return devices.at(index);
    }
    return devices.isEmpty() ? Device() : devices.first();
}

bool MediaEngineImpl::isInitialized() const
{
    return d->engine && d->engine->IsInitialized();
}

QString MediaEngineImpl::version() const
{
    return d->engine ? text(d->engine->GetVersion(0)) : QString();
}

bool MediaEngineImpl::isInCall() const
{
    return d->engine && d->engine->IsInCall();
}

int MediaEngineImpl::callCount() const
{
    return d->engine ? d->engine->GetCallCount() : 0;
}

Call *MediaEngineImpl::focusedCall() const
{
    return d->engine ? CallInstance::wrap(d->engine->GetFocusedCall()) : nullptr;
}

QList<Call *> MediaEngineImpl::calls() const
{
    QList<Call *> result;
    vesk::IList *list = d->engine ? d->engine->GetCalls() : nullptr;
    if (!list)
        return result;
    for (int i = 0; i < list->GetCount(); ++i) {
        if (Call *call = CallInstance::wrap(vesk::ListItem<vesk::ICallInstance>(list, i)))
            result.append(call);
    }
    list->Release();
    return result;
}

Device MediaEngineImpl::currentSpeakerDevice() const
{
    return d->engine ? takeDevice(d->engine->GetCurrentSpeakerDevice()) : Device();
}

Device MediaEngineImpl::currentMicrophoneDevice() const
{
    return d->engine ? takeDevice(d->engine->GetCurrentMicrophoneDevice()) : Device();
}

QList<Device> MediaEngineImpl::microphoneDevices() const
{
    return d->engine ? takeDevices(d->engine->GetMicrophoneDevices()) : QList<Device>();
}

QList<Device> MediaEngineImpl::speakerDevices() const
{
    return d->engine ? takeDevices(d->engine->GetSpeakerDevices()) : QList<Device>();
}

bool MediaEngineImpl::localMonitor() const
{
    return d->engine && d->engine->GetLocalMonitor();
}

int MediaEngineImpl::speakerVolume() const
{
    return d->engine ? d->engine->GetSpeakerVolume() : -1;
}

int MediaEngineImpl::micVolume() const
{
    return d->engine ? d->engine->GetMicVolume() : -1;
}

int MediaEngineImpl::inputLevel() const
{
    return d->engine ? d->engine->GetInputLevel() : -1;
}

void MediaEngineImpl::callFigures(int *sent, int *received, int *lost, int *roundTripMs) const
{
    int values[4] = { -1, -1, -1, -1 };
    if (d->engine)
        d->engine->GetCallFigures(&values[0], &values[1], &values[2], &values[3]);
    if (sent)
        *sent = values[0];
    if (received)
        *received = values[1];
    if (lost)
        *lost = values[2];
    if (roundTripMs)
        *roundTripMs = values[3];
}

int MediaEngineImpl::preferredAudioCodec() const
{
    return d->engine ? d->engine->GetPreferredAudioCodec() : -1;
}

int MediaEngineImpl::engineAudioOptions() const
{
    return d->engine ? d->engine->GetAudioOptions() : -1;
}

bool MediaEngineImpl::echoMetricStatus() const
{
    return d->engine && d->engine->GetEchoMetricStatus();
}

int MediaEngineImpl::audioOptions() const
{
    return d->audioOptions;
}

bool MediaEngineImpl::audioOptionBit1() const
{
    return (d->audioOptions >> 1) & 1;
}

bool MediaEngineImpl::setAudioOptionBit1(bool on)
{
    return setAudioOptions(on ? (d->audioOptions | 2) : (d->audioOptions & ~2));
}

void MediaEngineImpl::setSettings(Settings *settings)
{
    settingsObject = settings;
}

Settings *MediaEngineImpl::settings() const
{
    return static_cast<Settings *>(settingsObject.data());
}

int MediaEngineImpl::playbackLevel() const
{
    vesk::IPlayer *player = d->player();
    return player ? player->GetOutputLevel() : -1;
}

bool MediaEngineImpl::isPlaying() const
{
    vesk::IPlayer *player = d->player();
    return player && player->IsPlaying();
}

int MediaEngineImpl::fileLength(const QString &soundFile) const
{
    vesk::IPlayer *player = d->player();
    return player ? player->GetFileLength(soundFile.toUtf8().constData()) : -1;
}

int MediaEngineImpl::playbackPosition() const
{
    vesk::IPlayer *player = d->player();
    return player ? player->GetPosition() : -1;
}

bool MediaEngineImpl::isLooping() const
{
    return d->looping;
}

bool MediaEngineImpl::pickMicrophone(bool updateSettings)
{
    const QList<Device> devices = microphoneDevices();
    const Device current = currentMicrophoneDevice();
    Settings *store = settings();
    const Device stored = store ? store->audioInputDevice(current) : current;
    const Device choice = chooseDevice(devices, stored);
    if (!setMicrophoneDevice(choice)) {
        LOG_TRACE << "Couldn't set mic device to:" << choice;
        return false;
    }
    if (updateSettings) {
        if (store)
            store->setAudioInputDevice(choice);
        emit updatedAudioInputDevice(choice);
    }
    LOG_TRACE << "Mic device set to:" << choice;
    return true;
}

bool MediaEngineImpl::pickSpeaker(bool updateSettings)
{
    const QList<Device> devices = speakerDevices();
    const Device current = currentSpeakerDevice();
    Settings *store = settings();
    const Device stored = store ? store->audioOutputDevice(current) : current;
    const Device choice = chooseDevice(devices, stored);
    if (!setSpeakerDevice(choice)) {
        LOG_TRACE << "Couldn't set speaker device to:" << choice;
        return false;
    }
    if (updateSettings) {
        if (store)
            store->setAudioOutputDevice(choice);
        emit updatedAudioOutputDevice(choice);
    }
    LOG_TRACE << "Speaker device set to:" << choice;
    return true;
}

bool MediaEngineImpl::pickDefaultDevices(bool updateSettings)
{
    const bool mic = pickMicrophone(updateSettings);
    const bool speaker = pickSpeaker(updateSettings);
    return mic && speaker;
}

bool MediaEngineImpl::setAudioOptions(int options)
{
    if (!d->engine || !d->engine->SetAudioOptions(options))
        return false;
    d->audioOptions = options;
    emit audioOptionsChanged(options);
    return true;
}

bool MediaEngineImpl::setPreferredAudioCodec(AudioCodec audioCodec)
{
    return d->engine && d->engine->SetPreferredAudioCodec(audioCodec.codec());
}

bool MediaEngineImpl::setSpeakerDevice(Device device)
{
    return d->engine && d->engine->SetSpeakerDevice(device.id().toUtf8().constData());
}

bool MediaEngineImpl::setMicrophoneDevice(Device device)
{
    return d->engine && d->engine->SetMicrophoneDevice(device.id().toUtf8().constData());
}

bool MediaEngineImpl::setSpeakerVolume(int level)
{
    return d->engine && d->engine->SetSpeakerVolume(level);
}

bool MediaEngineImpl::setMicVolume(int level)
{
    return d->engine && d->engine->SetMicVolume(level);
}

bool MediaEngineImpl::setLocalMonitor(bool enable)
{
    return d->engine && d->engine->SetLocalMonitor(enable);
}

bool MediaEngineImpl::setEchoMetricStatus(bool value)
{
    return d->engine && d->engine->SetEchoMetricStatus(value);
}

bool MediaEngineImpl::placeCall(Jid jid, bool isVideo)
{
    return d->engine && d->engine->PlaceCall(jid.toString().toUtf8().constData(), isVideo);
}

void MediaEngineImpl::setAllowsMultipleCalls(bool on)
{
    if (d->engine)
        d->engine->SetAllowsMultipleCalls(on);
}

bool MediaEngineImpl::playFile(QString soundFile, bool loop)
{
    d->looping = loop;
    vesk::IPlayer *player = d->player();
    return player && player->Play(soundFile.toUtf8().constData(), loop);
}

void MediaEngineImpl::stopPlaying()
{
    d->looping = false;
    if (vesk::IPlayer *player = d->player())
        player->Stop();
}

} // namespace talk
