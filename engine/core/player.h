#pragma once

#include <QObject>

#include "vesk/interfaces.h"

namespace engine {

class AudioDevices;
class SoundPlayer;

// Sound file playback as the interface carries it, over the media library's player.
class Player : public QObject, public vesk::IPlayer
{
    Q_OBJECT
public:
    explicit Player(AudioDevices *devices, QObject *parent = nullptr);
    ~Player() override;

    bool Play(const char *path, bool loop) override;
    void Stop() override;
    bool IsPlaying() const override;
    int GetOutputLevel() const override;
    int GetFileLength(const char *path) const override;
    int GetPosition() const override;

private:
    SoundPlayer *m_player;
    qint64 m_startedAt = 0;
};

} // namespace engine
