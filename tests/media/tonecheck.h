#pragma once

#include <QByteArray>
#include <QFile>
#include <QVector>
#include <QtEndian>

#include <cmath>

// Reads the 16-bit mono samples of a WAV file written by the engine (44-byte header).
inline QVector<double> readWavSamples(const QString &path, int *rate = nullptr)
{
    QVector<double> out;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return out;
    const QByteArray all = f.readAll();
    if (all.size() < 44 || !all.startsWith("RIFF"))
        return out;
    if (rate)
        *rate = int(qFromLittleEndian<quint32>(all.constData() + 24));
    const quint32 bytes = qFromLittleEndian<quint32>(all.constData() + 40);
    const int n = int(qMin<qint64>(bytes, all.size() - 44) / 2);
    out.reserve(n);
    for (int i = 0; i < n; ++i)
        out << qFromLittleEndian<qint16>(all.constData() + 44 + 2 * i) / 32768.0;
    return out;
}

// Goertzel power of one frequency over the samples.
inline double goertzel(const QVector<double> &x, double freq, int rate)
{
    const double w = 2 * M_PI * freq / rate;
    const double c = 2 * std::cos(w);
    double s1 = 0, s2 = 0;
    for (double v : x) {
        const double s0 = v + c * s1 - s2;
        s2 = s1;
        s1 = s0;
    }
    return s1 * s1 + s2 * s2 - c * s1 * s2;
}

// The strongest frequency between lo and hi (step Hz), and its share of the signal's energy.
inline double dominantFrequency(
    const QVector<double> &x, int rate, double lo, double hi, double step, double *share = nullptr)
{
    double best = 0, bestPower = -1;
    for (double f = lo; f <= hi; f += step) {
        const double p = goertzel(x, f, rate);
        if (p > bestPower) {
            bestPower = p;
            best = f;
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
