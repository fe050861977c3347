#pragma once

#include <QMetaType>
#include <QString>

namespace talk {

// A codec the engine can be asked to prefer. The number is what the engine receives.
class AudioCodec
{
public:
    enum Codec {
        Opus = 0,
        Pcmu = 1,
    };

    AudioCodec() = default;
    AudioCodec(int codec, const QString &name = QString(), int clockRate = 0)
        : codecNumber(codec), codecName(name), rate(clockRate)
    { }

    int codec() const { return codecNumber; }
    QString name() const { return codecName; }
    int clockRate() const { return rate; }

    bool operator==(const AudioCodec &other) const { return codecNumber == other.codecNumber; }
    bool operator!=(const AudioCodec &other) const { return !(*this == other); }

private:
    int codecNumber = Opus;
    QString codecName;
    int rate = 0;
};

} // namespace talk

Q_DECLARE_METATYPE(talk::AudioCodec)
