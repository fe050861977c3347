#include "player.h"

#include <QDateTime>

#include "media/soundplayer.h"

namespace engine {

Player::Player(AudioDevices *devices, QObject *parent)
    : QObject(parent), m_player(new SoundPlayer(devices, this))
{
    const QString sink = qEnvironmentVariable("VESKTALK_AUDIO_SINK");
    if (!sink.isEmpty())
        m_player->setSinkOverride(sink);
    connect(m_player, &SoundPlayer::finished, this, [this] { SignalPlayingFinished(); });
}

Player::~Player() = default;

bool Player::Play(const char *path, bool loop)
{
    m_startedAt = QDateTime::currentMSecsSinceEpoch();
    return m_player->play(QString::fromUtf8(path ? path : ""), loop);
}

void Player::Stop()
{
    m_player->stop();
}

bool Player::IsPlaying() const
{
    return m_player->isPlaying();
}

int Player::GetOutputLevel() const
{
    const double level = m_player->outputLevel();
    return level < 0 ? -1 : int(level * 100 + 0.5);
}

int Player::GetFileLength(const char *path) const
{
    return int(SoundPlayer::wavDurationMs(QString::fromUtf8(path ? path : "")));
}

int Player::GetPosition() const
{
    return m_player->isPlaying() ? int(QDateTime::currentMSecsSinceEpoch() - m_startedAt) : -1;
}

} // namespace engine
