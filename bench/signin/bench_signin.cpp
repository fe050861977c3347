// The sign-in road and call set-up on loopback, against the local services: login to loginSuccessful,
// login to the address book being loaded, and dial to accepted (echo number). Prints the figures.
//
//   bench_signin [runs]

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTime>

#include <algorithm>
#include <cstdio>
#include <memory>

#include "contactmanager.h"
#include "localservices.h"
#include "objfactory.h"
#include "phone/phone.h"
#include "talk/mediaengine.h"
#include "talk/vesktalk.h"

namespace {

constexpr int waitMs = 60000;

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

bool waitFor(const std::function<bool()> &done)
{
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        if (timer.elapsed() > waitMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    return true;
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
    if (qEnvironmentVariableIsEmpty("BENCH_SIGNIN_TRACE")) {
        qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});
    } else {
        qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &message) {
            std::fprintf(stderr, "%s %s\n",
                qPrintable(QTime::currentTime().toString(QStringLiteral("ss.zzz"))), qPrintable(message));
        });
    }

    auto factory = std::make_unique<ObjFactory>();
    Phone *phone = factory->phone();
    ContactManager *book = factory->contactManager();

    Figures account;
    Figures signIn;
    Figures bookLoaded;
    for (int run = 0; run < runs; ++run) {
        QSignalSpy succeeded(phone, &Phone::loginSuccessful);
        QElapsedTimer timer;
        timer.start();
        phone->login(QStringLiteral("demo"), QStringLiteral("demo"));
        if (!waitFor([&] { return phone->state() != Phone::State::AccountRequested; })) {
            std::fprintf(stderr, "bench_signin: no account\n");
            return 1;
        }
        account.add(timer.nsecsElapsed() / 1e6);
        if (!waitFor([&] { return !succeeded.isEmpty(); })) {
            std::fprintf(stderr, "bench_signin: no sign-in\n");
            return 1;
        }
        signIn.add(timer.nsecsElapsed() / 1e6);
        if (!waitFor([&] { return book->contactCount() == 2; })) {
            std::fprintf(stderr, "bench_signin: the address book did not arrive\n");
            return 1;
        }
        bookLoaded.add(timer.nsecsElapsed() / 1e6);
        if (run + 1 < runs) {
            phone->logout();
            waitFor([&] { return !phone->isLoggedIn(); });
        }
    }

    services.startTone(440);
    Figures accepted;
    for (int run = 0; run < runs; ++run) {
        bool gotAccept = false;
        bool gotHangup = false;
        QMetaObject::Connection created = QObject::connect(
            phone->mediaEngine(), &talk::MediaEngine::callCreated, [&](const talk::Call *call) {
                QObject::connect(call, &talk::Call::accepted, [&] { gotAccept = true; });
                QObject::connect(call, &talk::Call::hungup, [&] { gotHangup = true; });
            });
        QElapsedTimer timer;
        timer.start();
        phone->call(QStringLiteral("+15550100"), false);
        QObject::disconnect(created);
        if (!waitFor([&] { return gotAccept || gotHangup; }) || !gotAccept) {
            std::fprintf(stderr, "bench_signin: the echo number did not accept\n");
            return 1;
        }
        accepted.add(timer.nsecsElapsed() / 1e6);
        phone->hangup();
        waitFor([&] { return !phone->isInCall(); });
    }
    services.stopTone();

    std::printf("Sign-in road on loopback (web-service emulator, Prosody, gateway peer):\n");
    account.print("login -> account (web service)");
    signIn.print("login -> loginSuccessful");
    bookLoaded.print("login -> contacts loaded");
    accepted.print("dial -> accepted (echo number)");
    std::printf("(contacts are asked for 1000 ms after sign-in by design)\n");

    phone->logout();
    factory.reset();
    services.stop();
    return 0;
}
