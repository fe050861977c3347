#pragma once

#include <QPointer>

#include <memory>

#include "talk/mediaengine.h"

namespace vesk {
class IDevice;
class IList;
class IMediaEngine;
} // namespace vesk

namespace talk {

// The media engine over the engine's IMediaEngine, which the engine owns. Created by the talk
// connection after the first completed login.
class MediaEngineImpl : public MediaEngine
{
    Q_OBJECT
public:
    explicit MediaEngineImpl(vesk::IMediaEngine *engine, QObject *parent = nullptr);
    ~MediaEngineImpl() override;

    // Gives every device whose name occurs more than once the display name "name (n)", n counting
    // from 1 in list order; the others keep their name.
    static void numberDisplayNames(QList<Device> &devices);
    // A copy of an engine device; null for none.
    static Device deviceFrom(const vesk::IDevice *device);
    // The stored device when the list holds it and it is valid, else the first of the list, else a
    // null device. The list's own entry is returned, with its display name.
    static Device chooseDevice(const QList<Device> &devices, const Device &stored);

    using MediaEngine::pickDefaultDevices;
    using MediaEngine::playFile;

    bool isInitialized() const override;
    QString version() const override;
    bool isInCall() const override;
    int callCount() const override;
    Call *focusedCall() const override;
    QList<Call *> calls() const override;
    Device currentSpeakerDevice() const override;
    Device currentMicrophoneDevice() const override;
    QList<Device> microphoneDevices() const override;
    QList<Device> speakerDevices() const override;
    bool localMonitor() const override;
    int speakerVolume() const override;
    int micVolume() const override;
    int inputLevel() const override;
    void callFigures(int *sent, int *received, int *lost, int *roundTripMs) const override;
    int preferredAudioCodec() const override;
    int engineAudioOptions() const override;
    bool echoMetricStatus() const override;
    int audioOptions() const override;
    bool audioOptionBit1() const override;
    bool setAudioOptionBit1(bool on) override;
    void setSettings(Settings *settings) override;
    Settings *settings() const;

    int playbackLevel() const override;
    bool isPlaying() const override;
    int fileLength(const QString &soundFile) const override;
    int playbackPosition() const override;
    bool isLooping() const override;

public slots:
    bool pickDefaultDevices(bool updateSettings) override;
    bool setAudioOptions(int options) override;
    bool setPreferredAudioCodec(talk::AudioCodec audioCodec) override;
    bool setSpeakerDevice(talk::Device device) override;
    bool setMicrophoneDevice(talk::Device device) override;
    bool setSpeakerVolume(int level) override;
    bool setMicVolume(int level) override;
    bool setLocalMonitor(bool enable) override;
    bool setEchoMetricStatus(bool value) override;
    bool placeCall(talk::Jid jid, bool isVideo) override;
    void setAllowsMultipleCalls(bool on) override;
    bool playFile(QString soundFile, bool loop) override;
    void stopPlaying() override;

private:
    bool pickMicrophone(bool updateSettings);
    bool pickSpeaker(bool updateSettings);

    class Private;
    std::unique_ptr<Private> d;
    // Owned by the object factory; guarded because the media engine may outlive it at exit.
    QPointer<QObject> settingsObject;
};

} // namespace talk
