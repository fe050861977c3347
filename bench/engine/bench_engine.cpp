// The talk engine on loopback against the local voice service and its gateway peer, loaded as
// the program loads it: sign-in time, call set-up (PlaceCall to accepted), mouth-to-ear round
// trip through the echo number, CPU of a running call and resident memory. Prints the figures
// next to the targets.
//
//   bench_engine [calls]

#include <sys/resource.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QHash>
#include <QMap>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QThread>
#include <QTemporaryDir>
#include <QtEndian>

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "enginerig.h"

using enginerig::CallRecord;
using enginerig::Rig;

namespace {

constexpr double kToneHz = 440;

struct Pcm
{
    int rate = 0;
    QVector<qint16> samples;
};

struct Series
{
    QList<double> values;
    void add(double v)
    {
        if (v >= 0)
            values.append(v);
    }
    double median() const
    {
        if (values.isEmpty())
            return -1;
        QList<double> s = values;
        std::sort(s.begin(), s.end());
        return s.at(s.size() / 2);
    }
    void print(const char *name, const char *unit, double target = -1) const
    {
        if (values.isEmpty()) {
            std::printf("%-36s no samples\n", name);
            return;
        }
        QList<double> s = values;
        std::sort(s.begin(), s.end());
        std::printf("%-36s n %2d  min %7.1f  median %7.1f  max %7.1f %s", name, int(s.size()), s.first(),
            median(), s.last(), unit);
        if (target > 0)
            std::printf("   (target < %.0f %s: %s)", target, unit, median() < target ? "met" : "MISSED");
        std::printf("\n");
    }
};

double cpuSeconds()
{
    rusage u {};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_utime.tv_sec + u.ru_stime.tv_sec + (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

// The machine's 1-minute load: on a shared machine the CPU figure grows with it.
double loadAverage()
{
    QFile f("/proc/loadavg");
    return f.open(QIODevice::ReadOnly) ? f.readAll().split(' ').value(0).toDouble() : -1;
}

// CPU time of each of this process's threads, in seconds, by thread id (from the scheduler, exact
// to the nanosecond, unlike the tick-sampled figures of /proc/<pid>/stat).
struct ThreadTimes
{
    QHash<QString, QString> names;
    QHash<QString, double> seconds;
};

ThreadTimes threadTimes()
{
    ThreadTimes t;
    const QDir tasks(QStringLiteral("/proc/self/task"));
    for (const QString &tid : tasks.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile stat(tasks.filePath(tid + QLatin1String("/schedstat")));
        QFile comm(tasks.filePath(tid + QLatin1String("/comm")));
        if (!stat.open(QIODevice::ReadOnly) || !comm.open(QIODevice::ReadOnly))
            continue;
        t.seconds.insert(tid, stat.readAll().split(' ').value(0).toDouble() / 1e9);
        // GStreamer numbers its threads per element ("queue3:src"); the role is what counts.
        t.names.insert(tid, QString::fromUtf8(comm.readAll().trimmed()).remove(QRegularExpression("[0-9]")));
    }
    return t;
}

// Per thread role, the share of one core used between two snapshots.
QHash<QString, double> cpuByRole(const ThreadTimes &before, const ThreadTimes &after, double wallSeconds)
{
    QHash<QString, double> share;
    for (auto it = after.seconds.cbegin(); it != after.seconds.cend(); ++it) {
        const double used = it.value() - before.seconds.value(it.key(), 0);
        if (used > 0)
            share[after.names.value(it.key())] += 100 * used / wallSeconds;
    }
    return share;
}

double residentMb()
{
    QFile f("/proc/self/status");
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : f.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024.0;
    }
    return -1;
}

// Mono 16-bit samples of the playout recording (the engine writes a plain 44-byte header).
Pcm readPcm(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    const QByteArray all = f.readAll();
    Pcm out;
    if (all.size() < 44)
        return out;
    out.rate = int(qFromLittleEndian<quint32>(all.constData() + 24));
    for (int i = 44; i + 1 < all.size(); i += 2)
        out.samples.append(qFromLittleEndian<qint16>(all.constData() + i));
    return out;
}

// When, in ms from the start, the first 5 ms window whose energy at the tone's frequency stands
// well above silence begins; -1 if none.
double toneOnsetMs(const Pcm &pcm)
{
    if (pcm.rate <= 0)
        return -1;
    const int window = pcm.rate / 200;
    const double coeff = 2 * std::cos(2 * M_PI * kToneHz / pcm.rate);
    for (int start = 0; start + window <= pcm.samples.size(); start += window / 5) {
        double s1 = 0, s2 = 0;
        for (int i = start; i < start + window; ++i) {
            const double s = pcm.samples[i] / 32768.0 + coeff * s1 - s2;
            s2 = s1;
            s1 = s;
        }
        const double power = (s1 * s1 + s2 * s2 - coeff * s1 * s2) / (window * window);
        if (power > 0.001) // a 0.5 sine gives ~0.06; silence and codec noise stay far below
            return start * 1000.0 / pcm.rate;
    }
    return -1;
}

long long packetsReceived(vesk::ICallInstance *call)
{
    vesk::IList *infos = call->GetConnectionInfos();
    long long n = 0;
    if (auto *info = vesk::ListItem<vesk::IConnectionInfo>(infos, 0))
        n = info->GetPacketsReceived();
    infos->Release();
    return n;
}

// Unmutes a muted call while its playout is recorded and finds when the tone comes back.
double roundTripMs(vesk::ICallInstance *call, const QString &path)
{
    enginerig::idle(1500); // what was said before drains out of the echo path
    QElapsedTimer rec;
    if (!call->StartRecordingPlayout(path.toUtf8().constData()))
        return -1;
    rec.start();
    enginerig::idle(500);
    const double unmutedAt = rec.nsecsElapsed() / 1e6;
    call->Mute(false);
    enginerig::idle(1000);
    call->StopRecordingPlayout();
    call->Mute(true);
    const double onset = toneOnsetMs(readPcm(path));
    if (onset < 0)
        return -1;
    return onset - unmutedAt;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QStandardPaths::setTestModeEnabled(true);
    if (qEnvironmentVariableIsEmpty("TALKVANE_SOURCE_DIR"))
        qputenv("TALKVANE_SOURCE_DIR", TALKVANE_SOURCE_DIR);
    if (qEnvironmentVariableIsEmpty("TALKVANE_BINARY_DIR"))
        qputenv("TALKVANE_BINARY_DIR", TALKVANE_BINARY_DIR);
    // The microphone delivers in the engine's period (20 ms, one Opus frame), as PulseAudio does for
    // it. The tone comes from a table, so that computing sines does not count as the engine's CPU.
    // VESKTALK_AUDIO_SOURCE set by the caller wins.
    if (qEnvironmentVariableIsEmpty("VESKTALK_AUDIO_SOURCE")) {
        qputenv("VESKTALK_AUDIO_SOURCE",
            QByteArray("audiotestsrc is-live=true samplesperbuffer=960 wave=sine-table volume=0.5 freq=")
                + QByteArray::number(kToneHz) + " ! audio/x-raw,rate=48000");
    }
    qputenv("VESKTALK_AUDIO_SINK", "fakesink sync=true");
    const int calls = argc > 1 ? qMax(2, atoi(argv[1])) : 6;
    QTemporaryDir dir;

    Rig rig;
    if (!rig.start()) {
        std::fprintf(stderr, "bench_engine: %s\n", qPrintable(rig.error()));
        return 1;
    }
    const double startedMb = residentMb();

    Series firstLogin, login, loginCall;
    firstLogin.add(rig.login());
    if (firstLogin.values.isEmpty()) {
        std::fprintf(stderr, "bench_engine: no sign-in\n");
        return 1;
    }
    loginCall.add(rig.lastLoginCallMs());
    for (int i = 0; i < 5; ++i) {
        rig.logout();
        login.add(rig.login());
        loginCall.add(rig.lastLoginCallMs());
    }
    enginerig::idle(1000);
    const double idleMb = residentMb();
    Series idleCpu;
    {
        const double cpu0 = cpuSeconds();
        QElapsedTimer wall;
        wall.start();
        enginerig::idle(4000);
        idleCpu.add(100 * (cpuSeconds() - cpu0) / (wall.nsecsElapsed() / 1e9));
    }

    Series firstSetup, setup, roundTrip, cpu, callMb, afterMb;
    QMap<QString, Series> roleCpu;
    for (int i = 0; i < calls; ++i) {
        CallRecord *r = rig.placeCall("+15550100");
        if (!r || !rig.waitAccepted(r)) {
            std::fprintf(stderr, "bench_engine: the echo number did not answer\n");
            return 1;
        }
        (i == 0 ? firstSetup : setup).add((r->acceptedNs - r->createdNs) / 1e6);
        r->call->Mute(true);
        enginerig::waitFor([r] { return r->call && packetsReceived(r->call) > 0; }, Rig::waitMs, 20);
        // Every call is measured: one call's figures depend on how its streams happened to line up.
        enginerig::idle(1000);
        const double cpu0 = cpuSeconds();
        const ThreadTimes threads0 = threadTimes();
        QElapsedTimer wall;
        wall.start();
        enginerig::idle(5000);
        const double wallSeconds = wall.nsecsElapsed() / 1e9;
        cpu.add(100 * (cpuSeconds() - cpu0) / wallSeconds);
        const QHash<QString, double> roles = cpuByRole(threads0, threadTimes(), wallSeconds);
        for (auto it = roles.cbegin(); it != roles.cend(); ++it)
            roleCpu[it.key()].add(it.value());
        callMb.add(residentMb());
        roundTrip.add(roundTripMs(r->call, dir.filePath(QStringLiteral("rt%1.wav").arg(i))));
        roundTrip.add(roundTripMs(r->call, dir.filePath(QStringLiteral("rt%1b.wav").arg(i))));
        if (!rig.hangupAndWait(r)) {
            std::fprintf(stderr, "bench_engine: the call did not end\n");
            return 1;
        }
        rig.watcher().forgetEnded();
    }
    enginerig::idle(1000);
    afterMb.add(residentMb());

    std::printf("talk engine on loopback (Prosody + gateway peer, tone in, playout recorded)\n");
    firstLogin.print("first login (cold)", "ms");
    login.print("login (Login to completed)", "ms");
    loginCall.print("Login() call blocks the caller", "ms");
    firstSetup.print("first call set-up", "ms", 250);
    setup.print("call set-up (PlaceCall to accepted)", "ms", 250);
    roundTrip.print("mouth-to-ear round trip via echo", "ms", 160);
    cpu.print("CPU during a call (this process)", "%", 3);
    // Where it goes: the microphone's thread carries each frame through the echo canceller, the
    // encoder, SRTP and the socket; received packets pass libnice's thread, webrtcbin's receive
    // queue and the jitter buffer's thread, which decodes and plays out.
    for (auto it = roleCpu.cbegin(); it != roleCpu.cend(); ++it) {
        if (it.value().median() >= 0.05)
            it.value().print(qPrintable(QStringLiteral("  thread %1").arg(it.key())), "%");
    }
    idleCpu.print("CPU signed in, idle (this process)", "%");
    std::printf("%-36s %7.2f (1-minute load average, %d cores)\n", "machine load at the end", loadAverage(),
        QThread::idealThreadCount());
    std::printf("%-36s %7.1f MB\n", "resident: engine created", startedMb);
    std::printf("%-36s %7.1f MB   (target < 40 MB: %s)\n", "resident: signed in, idle", idleMb,
        idleMb < 40 ? "met" : "MISSED");
    callMb.print("resident: during one call", "MB");
    afterMb.print("resident: after the calls", "MB");
    return 0;
}
