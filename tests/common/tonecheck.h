#pragma once

// Reading back what a call or a device played out: the samples of a WAV recording or of raw
// 16-bit PCM, its strongest frequency and its level. Header-only; the tests add this folder to
// their include path.

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QVector>
#include <QtEndian>

#include <cmath>

namespace tonecheck {

// Samples of 16-bit little-endian PCM, in -1..1.
inline QVector<double> fromS16le(const char *pcm, int count, int step = 1)
{
    QVector<double> samples;
    samples.reserve((count + step - 1) / step);
    for (int i = 0; i < count; i += step)
        samples.append(qFromLittleEndian<qint16>(pcm + 2 * i) / 32768.0);
    return samples;
}

inline QVector<double> fromS16le(const QByteArray &pcm)
{
    return fromS16le(pcm.constData(), pcm.size() / 2);
}

// Mono samples (first channel) of a 16-bit PCM RIFF/WAVE file, in -1..1; rate receives the sample rate.
inline QVector<double> readWav(const QString &path, int *rate = nullptr)
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
            if (rate)
                *rate = int(qFromLittleEndian<quint32>(body + 4));
        } else if (id == "data") {
            samples += fromS16le(body, int(qMin(size, available) / 2), channels);
        }
        // A chunk running past the end is the last one (and its size must not wrap the position).
        if (size >= available)
            break;
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

// The strongest frequency between low and high in steps of step Hz, and its share of the signal's
// energy.
inline double dominantFrequency(const QVector<double> &x, int rate, double low, double high, double step = 1,
    double *share = nullptr)
{
    double best = 0;
    double bestPower = -1;
    for (double hz = low; hz <= high; hz += step) {
        const double p = power(x, rate, hz);
        if (p > bestPower) {
            bestPower = p;
            best = hz;
        }
    }
    if (share) {
        double energy = 0;
        for (double v : x)
            energy += v * v;
        // A pure tone of amplitude A over N samples: Goertzel power N^2 A^2/4, energy N A^2/2.
        *share = energy > 0 ? (2 * bestPower / x.size()) / energy : 0;
    }
    return best;
}

// The strongest frequency between low and high in 1 Hz steps, over the last two seconds.
inline double dominantHz(const QVector<double> &all, int rate, double low, double high)
{
    return dominantFrequency(all.mid(qMax(0, all.size() - 2 * rate)), rate, low, high);
}

inline double rms(const QVector<double> &x)
{
    double sum = 0;
    for (double v : x)
        sum += v * v;
    return x.isEmpty() ? 0 : std::sqrt(sum / x.size());
}

} // namespace tonecheck
