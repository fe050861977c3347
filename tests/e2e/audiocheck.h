#pragma once

// Reading back what a call played out: the samples of a WAV recording and its strongest frequency.

#include <QFile>
#include <QString>
#include <QVector>
#include <QtEndian>

#include <cmath>

namespace audiocheck {

// Mono samples (first channel) of a 16-bit PCM RIFF/WAVE file, in -1..1; rate receives the sample rate.
inline QVector<double> readWav(const QString &path, int *rate)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray data = file.readAll();
    if (data.size() < 12 || !data.startsWith("RIFF") || data.mid(8, 4) != "WAVE")
        return {};
    int pos = 12;
    int channels = 1;
    QVector<double> samples;
    while (pos + 8 <= data.size()) {
        const QByteArray id = data.mid(pos, 4);
        const quint32 size = qFromLittleEndian<quint32>(data.constData() + pos + 4);
        const char *body = data.constData() + pos + 8;
        const quint32 available = quint32(data.size() - pos - 8);
        if (id == "fmt " && available >= 8) {
            channels = qMax(1, int(qFromLittleEndian<quint16>(body + 2)));
            *rate = int(qFromLittleEndian<quint32>(body + 4));
        } else if (id == "data") {
            const quint32 count = qMin(size, available) / 2;
            for (quint32 i = 0; i < count; i += quint32(channels))
                samples.append(qFromLittleEndian<qint16>(body + 2 * i) / 32768.0);
        }
        pos += 8 + int(size) + int(size & 1);
    }
    return samples;
}

// Power of one frequency (Goertzel).
inline double power(const QVector<double> &x, int rate, double hz)
{
    const double coeff = 2 * std::cos(2 * M_PI * hz / rate);
    double s1 = 0;
    double s2 = 0;
    for (double v : x) {
        const double s = v + coeff * s1 - s2;
        s2 = s1;
        s1 = s;
    }
    return s1 * s1 + s2 * s2 - coeff * s1 * s2;
}

// The strongest frequency between low and high in 1 Hz steps, over the last two seconds.
inline double dominantHz(const QVector<double> &all, int rate, double low, double high)
{
    const QVector<double> x = all.mid(qMax(0, all.size() - 2 * rate));
    double best = 0;
    double bestPower = -1;
    for (double hz = low; hz <= high; hz += 1) {
        const double p = power(x, rate, hz);
        if (p > bestPower) {
            bestPower = p;
            best = hz;
        }
    }
    return best;
}

inline double rms(const QVector<double> &x)
{
    double sum = 0;
    for (double v : x)
        sum += v * v;
    return x.isEmpty() ? 0 : std::sqrt(sum / x.size());
}

} // namespace audiocheck
