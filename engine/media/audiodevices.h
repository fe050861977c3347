#pragma once

#include <QList>
#include <QObject>
#include <QString>

#include <memory>

namespace engine {

// One PulseAudio device: id is its PulseAudio name, name its description.
struct AudioDevice
{
    QString id;
    QString name;
    bool operator==(const AudioDevice &o) const { return id == o.id && name == o.name; }
};

// The machine's microphones and speakers (GstDeviceMonitor over PulseAudio), the selection,
// volume and mute that every running call follows, and a local microphone monitor with an input
// level for the settings dialog's meter.
//
// An empty device id means "the system default". When a selected device disappears, the
// selection falls back to the default and running calls move there.
class AudioDevices : public QObject
{
    Q_OBJECT
public:
    explicit AudioDevices(QObject *parent = nullptr);
    ~AudioDevices() override;

    // Starts watching the devices; false when GStreamer or the monitor is unavailable.
    bool start();
    // The same on a worker thread, so that the caller goes on at once: starting GStreamer and the
    // sound server's device provider is the slowest part of the engine's start. Whatever needs the
    // devices first (a list, a selection, start()) waits for the rest; devicesChanged() announces
    // the list when nobody asked before.
    void startInBackground();

    QList<AudioDevice> inputDevices() const;
    QList<AudioDevice> outputDevices() const;
    QString defaultInputId() const;
    QString defaultOutputId() const;

    QString inputDevice() const;
    QString outputDevice() const;
    // False, and nothing changes, when id is neither empty nor listed.
    bool setInputDevice(const QString &id);
    bool setOutputDevice(const QString &id);

    // Percent, 0..100 (values outside are clamped).
    int inputVolume() const;
    int outputVolume() const;
    void setInputVolume(int percent);
    void setOutputVolume(int percent);
    bool isInputMuted() const;
    void setInputMuted(bool muted);

    // The local monitor listens to the selected microphone without a call.
    bool setLocalMonitor(bool on);
    bool isLocalMonitorOn() const;
    // Linear peak of the last 50 ms, 0..1 (1 = full scale); -1 while the monitor is off.
    double inputLevel() const;

    // The selection to keep after the device list changed: the same id while it is still
    // listed, otherwise the default (empty).
    static QString keepOrDefault(const QString &selected, const QList<AudioDevice> &devices);

signals:
    void devicesChanged();
    void inputDeviceChanged(const QString &id);
    void outputDeviceChanged(const QString &id);
    void inputVolumeChanged(int percent);
    void outputVolumeChanged(int percent);
    void inputMutedChanged(bool muted);
    void inputLevelChanged(double level);

private:
    class Private;
    std::unique_ptr<Private> d;
};

} // namespace engine
