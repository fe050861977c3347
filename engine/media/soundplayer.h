#pragma once

#include <QObject>
#include <QString>

#include <memory>

namespace engine {

class AudioDevices;

// Plays WAV files (ringtone, keypad tones, the settings dialog's test sound) on the selected
// speaker, once or looping, with an output level for the speaker meter. One file at a time:
// play() replaces what is playing.
class SoundPlayer : public QObject
{
    Q_OBJECT
public:
    explicit SoundPlayer(AudioDevices *devices = nullptr, QObject *parent = nullptr);
    ~SoundPlayer() override;

    // A gst-launch description replacing the speaker, e.g. "fakesink sync=true" (tests).
    void setSinkOverride(const QString &description);

    // False when the file cannot be opened; a file that turns out unplayable ends with finished().
    bool play(const QString &path, bool loop = false);
    void stop();
    bool isPlaying() const;
    bool isLooping() const;
    // Linear peak of the last 50 ms, 0..1; -1 while nothing plays.
    double outputLevel() const;

    // Length of a PCM WAV file in milliseconds, -1 when it is not one.
    static qint64 wavDurationMs(const QString &path);

signals:
    // The file played to its end (not after stop(), and never while looping).
    void finished();
    void outputLevelChanged(double level);

private:
    class Private;
    std::unique_ptr<Private> d;
};

} // namespace engine
