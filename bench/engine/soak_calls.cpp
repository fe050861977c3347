// Places N calls, one after the other, to the gateway's echo number through the engine and
// prints open file descriptors and resident memory of this process (the engine) and of the
// gateway peer before the first call and after every 20. Exits non-zero when a call fails.
// For the engine it also prints the heap in use (malloc's own count): resident memory also holds
// what the allocator keeps for reuse, which grows for a while and then levels off, whereas a leak
// shows as heap in use that grows with every call.
//
//   soak_calls N [mediaMs]

#include <malloc.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QStandardPaths>

#include <cstdio>

#include "enginerig.h"

using enginerig::CallRecord;
using enginerig::Rig;

namespace {

struct Usage
{
    int fds = -1;
    double residentMb = -1;
    int threads = -1;
};

Usage usageOf(qint64 pid)
{
    Usage u;
    const QString proc = QStringLiteral("/proc/%1").arg(pid);
    u.fds = QDir(proc + "/fd").entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System).size();
    QFile status(proc + "/status");
    if (status.open(QIODevice::ReadOnly)) {
        for (const QByteArray &line : status.readAll().split('\n')) {
            if (line.startsWith("VmRSS:"))
                u.residentMb = line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024.0;
            else if (line.startsWith("Threads:"))
                u.threads = line.mid(8).trimmed().toInt();
        }
    }
    return u;
}

double heapInUseMb()
{
    const struct mallinfo2 m = mallinfo2();
    return double(m.uordblks + m.hblkhd) / (1024.0 * 1024.0);
}

void report(int done, qint64 gatewayPid)
{
    const Usage e = usageOf(QCoreApplication::applicationPid());
    const Usage g = usageOf(gatewayPid);
    std::printf(
        "after %4d calls: engine fds %4d  rss %6.1f MB  heap %7.3f MB  threads %3d | gateway fds %4d  "
        "rss %6.1f MB  threads %3d\n",
        done, e.fds, e.residentMb, heapInUseMb(), e.threads, g.fds, g.residentMb, g.threads);
    std::fflush(stdout);
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
    qputenv("VESKTALK_AUDIO_SOURCE", "audiotestsrc is-live=true wave=sine volume=0.5 freq=440");
    qputenv("VESKTALK_AUDIO_SINK", "fakesink sync=true");
    const int calls = argc > 1 ? atoi(argv[1]) : 0;
    const int mediaMs = argc > 2 ? atoi(argv[2]) : 500;
    if (calls <= 0) {
        std::fprintf(stderr, "usage: soak_calls N [mediaMs]\n");
        return 2;
    }

    Rig rig;
    if (!rig.start()) {
        std::fprintf(stderr, "soak_calls: %s\n", qPrintable(rig.error()));
        return 1;
    }
    if (rig.login() < 0) {
        std::fprintf(stderr, "soak_calls: no sign-in\n");
        return 1;
    }
    enginerig::idle(1000);
    report(0, rig.gatewayPid());
    int failures = 0;
    for (int i = 1; i <= calls; ++i) {
        CallRecord *r = rig.placeCall(QStringLiteral("+15550100"));
        if (!r || !rig.waitAccepted(r)) {
            std::fprintf(stderr, "call %d: not accepted (hang-up reason %d)\n", i, r ? r->hangup : -1);
            ++failures;
        } else {
            enginerig::idle(mediaMs);
        }
        if (r && !rig.hangupAndWait(r)) {
            std::fprintf(stderr, "call %d: did not end\n", i);
            ++failures;
        }
        rig.watcher().forgetEnded();
        if (i % 20 == 0 || i == calls) {
            enginerig::idle(500); // deferred deletions and the gateway's side of the hang-up
            report(i, rig.gatewayPid());
        }
    }
    std::printf("%d calls, %d failed\n", calls, failures);
    return failures == 0 ? 0 : 1;
}
