// The sign-in road and call set-up on loopback, against the local services: login to loginSuccessful,
// login to the address book being loaded, and dial to accepted (echo number). Prints the figures.
//
//   bench_signin [runs]

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTime>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <memory>

#include "contactmanager.h"
#include "localservices.h"
#include "objfactory.h"
#include "phone/phone.h"
#include "rest/restmanager.h"
#include "talk/mediaengine.h"
#include "talk/vesktalk.h"

namespace {

constexpr int waitMs = 60000;

// Moments read off the trace log of the running sign-in: some steps have no signal of their own
// that fires before the next step starts.
QElapsedTimer *runTimer = nullptr;
double voiceLoginCalledMs = -1;
double voiceLoginReturnedMs = -1;

void noteTrace(const QString &message)
{
    if (!runTimer || !runTimer->isValid())
        return;
    const double now = runTimer->nsecsElapsed() / 1e6;
    if (voiceLoginCalledMs < 0 && message.contains(QLatin1String("VeskTalk::login"))
        && message.contains(QLatin1String("userName=")))
        voiceLoginCalledMs = now;
}

struct Figures
{
    QList<double> values;
    void add(double ms) { values.append(ms); }
    void print(const char *name) const
    {
        if (values.isEmpty()) {
            std::printf("%-34s no samples\n", name);
            return;
        }
        QList<double> sorted = values;
        std::sort(sorted.begin(), sorted.end());
        std::printf("%-34s runs %2d  min %7.1f ms  median %7.1f ms  max %7.1f ms\n", name, int(sorted.size()),
            sorted.first(), sorted.at(sorted.size() / 2), sorted.last());
    }
};

// Runs the event loop (without spinning: the services share the machine) until done() holds.
bool waitFor(const std::function<bool()> &done)
{
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (done())
            loop.quit();
    });
    QTimer timeout;
    timeout.setSingleShot(true);
    QObject::connect(&timeout, &QTimer::timeout, &loop, &QEventLoop::quit);
    poll.start(1);
    timeout.start(waitMs);
    if (!done())
        loop.exec();
    return done();
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QStandardPaths::setTestModeEnabled(true);
    QCoreApplication::setApplicationName(QStringLiteral("Talkvane Bench"));
    if (qEnvironmentVariableIsEmpty("TALKVANE_SOURCE_DIR"))
        qputenv("TALKVANE_SOURCE_DIR", TALKVANE_SOURCE_DIR);
    if (qEnvironmentVariableIsEmpty("TALKVANE_BINARY_DIR"))
        qputenv("TALKVANE_BINARY_DIR", TALKVANE_BINARY_DIR);
    const int runs = argc > 1 ? qMax(1, atoi(argv[1])) : 5;

    LocalServices services;
    if (!services.start()) {
        std::fprintf(stderr, "bench_signin: %s\n", qPrintable(services.error()));
        return 1;
    }
    // Quiet unless asked: the trace lines would drown the figures.
    static const bool echo = !qEnvironmentVariableIsEmpty("BENCH_SIGNIN_TRACE");
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &message) {
        noteTrace(message);
        if (echo)
            std::fprintf(stderr, "%s %s\n",
                qPrintable(QTime::currentTime().toString(QStringLiteral("ss.zzz"))), qPrintable(message));
    });

    auto factory = std::make_unique<ObjFactory>();
    Phone *phone = factory->phone();
    ContactManager *book = factory->contactManager();

    Figures account;
    Figures voiceLoginCall;
    Figures signIn;
    Figures bookLoaded;
    for (int run = 0; run < runs; ++run) {
        // Each figure is taken when its signal fires.
        QElapsedTimer timer;
        runTimer = &timer;
        voiceLoginCalledMs = voiceLoginReturnedMs = -1;
        double signInMs = -1;
        double bookMs = -1;
        QObject context;
        // Runs after the phone's own slot, which starts the voice login: so it marks its return.
        QObject::connect(
            factory->restManager(), qOverload<const Account &>(&RestManager::requestFinished), &context, [&] {
                if (voiceLoginReturnedMs < 0)
                    voiceLoginReturnedMs = timer.nsecsElapsed() / 1e6;
            });
        QObject::connect(
            phone, &Phone::loginSuccessful, &context, [&] { signInMs = timer.nsecsElapsed() / 1e6; });
        QObject::connect(book, &ContactManager::refreshContactListUI, &context, [&] {
            if (bookMs < 0 && book->contactCount() == 2)
                bookMs = timer.nsecsElapsed() / 1e6;
        });
        timer.start();
        phone->login(QStringLiteral("demo"), QStringLiteral("demo"));
        if (!waitFor([&] { return signInMs >= 0 && bookMs >= 0; })) {
            std::fprintf(stderr, "bench_signin: no sign-in or no address book\n");
            return 1;
        }
        account.add(voiceLoginCalledMs);
        voiceLoginCall.add(voiceLoginReturnedMs - voiceLoginCalledMs);
        signIn.add(signInMs);
        bookLoaded.add(bookMs);
        runTimer = nullptr;
        if (run + 1 < runs) {
            phone->logout();
            waitFor([&] { return !phone->isLoggedIn(); });
        }
    }

    services.startTone(440);
    Figures accepted;
    for (int run = 0; run < runs; ++run) {
        double acceptedMs = -1;
        bool gotHangup = false;
        QElapsedTimer timer;
        QMetaObject::Connection created = QObject::connect(
            phone->mediaEngine(), &talk::MediaEngine::callCreated, [&](const talk::Call *call) {
                QObject::connect(
                    call, &talk::Call::accepted, [&] { acceptedMs = timer.nsecsElapsed() / 1e6; });
                QObject::connect(call, &talk::Call::hungup, [&] { gotHangup = true; });
            });
        timer.start();
        phone->call(QStringLiteral("+15550100"), false);
        QObject::disconnect(created);
        if (!waitFor([&] { return acceptedMs >= 0 || gotHangup; }) || acceptedMs < 0) {
            std::fprintf(stderr, "bench_signin: the echo number did not accept\n");
            return 1;
        }
        accepted.add(acceptedMs);
        phone->hangup();
        waitFor([&] { return !phone->isInCall(); });
    }
    services.stopTone();

    std::printf("Sign-in road on loopback (web-service emulator, Prosody, gateway peer):\n");
    account.print("login -> account, voice login begins");
    voiceLoginCall.print("engine Login() call (blocking)");
    signIn.print("login -> loginSuccessful");
    bookLoaded.print("login -> contacts loaded");
    accepted.print("dial -> accepted (echo number)");
    std::printf("(contacts are asked for 1000 ms after sign-in by design)\n");

    phone->logout();
    factory.reset();
    services.stop();
    return 0;
}
