#pragma once

#include <QList>
#include <QObject>
#include <QString>

#include "talk/audiocodec.h"
#include "talk/call.h"
#include "talk/device.h"
#include "talk/jid.h"
#include "talk/veskmetatypes.h"

class Settings;

namespace talk {

// The media side of the voice service: audio devices, volumes, audio options, placing calls,
// playing sound files and the life of call objects.
class MediaEngine : public QObject
{
    Q_OBJECT
public:
    explicit MediaEngine(QObject *parent = nullptr) : QObject(parent) { }

    virtual bool isInitialized() const = 0;
    virtual QString version() const = 0;
    // A call is running.
    virtual bool isInCall() const = 0;
    virtual int callCount() const = 0;
    virtual Call *focusedCall() const = 0;
    virtual QList<Call *> calls() const = 0;
    virtual Device currentSpeakerDevice() const = 0;
    virtual Device currentMicrophoneDevice() const = 0;
    // Display names numbered where names repeat.
    virtual QList<Device> microphoneDevices() const = 0;
    virtual QList<Device> speakerDevices() const = 0;
    virtual bool localMonitor() const = 0;
    // -1 when the engine gives no value.
    virtual int speakerVolume() const = 0;
    virtual int micVolume() const = 0;
    // Microphone level while the local monitor runs, -1 otherwise.
    virtual int inputLevel() const = 0;
    // Packets sent, received and lost and the round trip of the focused call; -1 each when unknown.
    virtual void callFigures(int *sent, int *received, int *lost, int *roundTripMs) const = 0;
    virtual int preferredAudioCodec() const = 0;
    virtual int engineAudioOptions() const = 0;
    virtual bool echoMetricStatus() const = 0;
    // The options last set successfully (15 at first).
    virtual int audioOptions() const = 0;
    // Bit 1 (value 2) of the options.
    virtual bool audioOptionBit1() const = 0;
    virtual bool setAudioOptionBit1(bool on) = 0;
    // The store that pickDefaultDevices reads and writes.
    virtual void setSettings(Settings *settings) = 0;

    // Sound playback (the ringtone, the test sound).
    virtual int playbackLevel() const = 0;
    virtual bool isPlaying() const = 0;
    virtual int fileLength(const QString &soundFile) const = 0;
    virtual int playbackPosition() const = 0;
    virtual bool isLooping() const = 0;

public slots:
    virtual bool pickDefaultDevices(bool updateSettings) = 0;
    bool pickDefaultDevices() { return pickDefaultDevices(false); }
    virtual bool setAudioOptions(int options) = 0;
    virtual bool setPreferredAudioCodec(talk::AudioCodec audioCodec) = 0;
    virtual bool setSpeakerDevice(talk::Device device) = 0;
    virtual bool setMicrophoneDevice(talk::Device device) = 0;
    virtual bool setSpeakerVolume(int level) = 0;
    virtual bool setMicVolume(int level) = 0;
    virtual bool setLocalMonitor(bool enable) = 0;
    virtual bool setEchoMetricStatus(bool value) = 0;
    virtual bool placeCall(talk::Jid jid, bool isVideo) = 0;
    virtual void setAllowsMultipleCalls(bool on) = 0;
    virtual bool playFile(QString soundFile, bool loop) = 0;
    bool playFile(QString soundFile) { return playFile(soundFile, false); }
    bool loopFile(QString soundFile) { return playFile(soundFile, true); }
    virtual void stopPlaying() = 0;

signals:
    void callCreated(const talk::Call *call);
    void callDestroyed(const talk::Call *call);
    void callFocusChanged(const talk::Call *newCall, const talk::Call *oldCall);
    void deviceChanged();
    void currentDeviceChanged(talk::Device device, vesk::MEDIA_DEVICE_TYPE deviceType, bool success);
    void audioOptionsChanged(int options);
    void updatedAudioInputDevice(talk::Device device);
    void updatedAudioOutputDevice(talk::Device device);
    void playingFinished();
};

} // namespace talk
