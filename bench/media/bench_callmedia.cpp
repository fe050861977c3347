// Prints how long a call takes to set up (offer, answer, ICE + DTLS), what a running call
// costs in CPU, and the delay from a sound at one end to its playout at the other.
#include <sys/resource.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <QtEndian>

#include <cstdio>

#include "webrtccallmedia.h"

using engine::MediaOptions;
using engine::WebRtcCallMedia;

namespace {

void waitFor(const std::function<bool()> &done, int timeoutMs)
{
    // Sleeps in the event loop: a polling loop would show up in the CPU figure.
    QElapsedTimer t;
    t.start();
    QEventLoop loop;
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, &loop, [&] {
        if (done() || t.elapsed() >= timeoutMs)
            loop.quit();
    });
    tick.start(10);
    loop.exec();
}

double cpuSeconds()
{
    rusage u {};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_utime.tv_sec + u.ru_stime.tv_sec + (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

MediaOptions options(int freq)
{
    MediaOptions o;
    o.sourceOverride = QStringLiteral("audiotestsrc is-live=true wave=sine volume=0.5 freq=%1").arg(freq);
    o.sinkOverride = QStringLiteral("fakesink sync=true");
    o.voiceProcessing = false;
    return o;
}

struct SetupTimes
{
    qint64 offer = -1, answer = -1, connect = -1;
};

SetupTimes setUp(WebRtcCallMedia &a, WebRtcCallMedia &b)
{
    SetupTimes t;
    QElapsedTimer clock;
    bool aUp = false, bUp = false;
    QObject::connect(&a, &engine::CallMedia::connected, [&] { aUp = true; });
    QObject::connect(&b, &engine::CallMedia::connected, [&] { bUp = true; });
    QObject::connect(&a, &engine::CallMedia::localCandidate, &b, &engine::CallMedia::addRemoteCandidate);
    QObject::connect(&b, &engine::CallMedia::localCandidate, &a, &engine::CallMedia::addRemoteCandidate);
    QObject::connect(&a, &engine::CallMedia::localContentReady, [&](const QXmppJingleIq::Content &offer) {
        t.offer = clock.restart();
        b.setRemoteContent(offer);
        b.createAnswer();
    });
    QObject::connect(&b, &engine::CallMedia::localContentReady, [&](const QXmppJingleIq::Content &answer) {
        t.answer = clock.restart();
        a.setRemoteContent(answer);
    });
    clock.start();
    a.createOffer();
    waitFor([&] { return aUp && bUp; }, 30000);
    if (aUp && bUp)
        t.connect = clock.elapsed();
    return t;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;

    for (int round = 1; round <= 3; ++round) {
        WebRtcCallMedia a(options(1000)), b(options(440));
        const SetupTimes t = setUp(a, b);
        std::printf("call %d: offer ready %lld ms (incl. candidate gathering), answer ready %lld ms, "
                    "ICE+DTLS after answer %lld ms%s\n",
            round, t.offer, t.answer, t.connect, round == 1 ? "  [first call: DTLS certificate made]" : "");
    }

    WebRtcCallMedia a(options(1000)), b(options(440));
    if (setUp(a, b).connect < 0) {
        std::printf("no connection\n");
        return 1;
    }
    waitFor([] { return false; }, 1000);
    const double cpu0 = cpuSeconds();
    QElapsedTimer wall;
    wall.start();
    waitFor([] { return false; }, 5000);
    const double cpu = cpuSeconds() - cpu0;
    std::printf("CPU of a running call: %.1f %% of one core for both ends together over %.1f s "
                "(%.1f %% per end)\n",
        100 * cpu / (wall.elapsed() / 1000.0), wall.elapsed() / 1000.0, 50 * cpu / (wall.elapsed() / 1000.0));

    // Mouth to ear: unmute the caller and find when the tone shows up in the callee's playout.
    a.setMicrophoneMuted(true);
    waitFor([] { return false; }, 1500);
    const QString path = dir.filePath("latency.wav");
    QElapsedTimer rec;
    b.startRecordingPlayout(path);
    rec.start();
    waitFor([] { return false; }, 500);
    const qint64 unmuteAt = rec.elapsed();
    a.setMicrophoneMuted(false);
    waitFor([] { return false; }, 1000);
    b.stopRecordingPlayout();
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    const QByteArray all = f.readAll();
    for (int i = 44; i + 1 < all.size(); i += 2) {
        if (qAbs(qFromLittleEndian<qint16>(all.constData() + i)) > 3000) {
            const double heardAt = (i - 44) / 2 / 48.0; // ms after recording began
            std::printf(
                "mouth to ear (jitter buffer 40 ms, no sound card): about %.0f ms\n", heardAt - unmuteAt);
            return 0;
        }
    }
    std::printf("mouth to ear: tone never arrived\n");
    return 1;
}
