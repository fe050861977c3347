#include <QCoreApplication>
#include <QSettings>
#include <QTextStream>
#include <QThread>
#include <QTimer>

#include <csignal>

#include "application.h"
#include "objfactory.h"
#include "util/log.h"
#include "util/tracelog.h"
#include "util/unixsignalwatcher.h"

namespace {

void setIdentity()
{
    QCoreApplication::setOrganizationName(QStringLiteral("Tellmarsh"));
    QCoreApplication::setOrganizationDomain(QStringLiteral("tellmarsh.example"));
    QCoreApplication::setApplicationName(QCoreApplication::organizationName() + QStringLiteral(" Talkvane"));
    const QSettings settings;
    QCoreApplication::setApplicationVersion(
        settings.value(QStringLiteral("Version"), QStringLiteral("0.9.19")).toString());
}

// A second start waits for a running instance that may be on its way out: 1 s, then 6 s. If it is
// still there on the third look, it is asked to come forward.
bool anotherInstanceRuns(Application &app)
{
    int tries = 3;
    int delay = 1000;
    while (app.isRunning()) {
        --tries;
        if (!app.isRunning())
            break;
        if (tries == 0)
            return true;
        QThread::msleep(ulong(delay));
        delay += 5000;
    }
    return false;
}

// Test hook: TALKVANE_CRASH_TEST=<signal number> makes the program die of that signal once it runs,
// so that tests can check the crash report.
void scheduleTestCrash()
{
    bool ok = false;
    const int sig = qEnvironmentVariableIntValue("TALKVANE_CRASH_TEST", &ok);
    if (!ok || sig <= 0)
        return;
    QTimer::singleShot(qEnvironmentVariableIntValue("TALKVANE_CRASH_TEST_DELAY"), [sig]() {
        LOG_TRACE << "Raising signal" << sig << "for a crash test";
        std::raise(sig);
    });
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication::setAttribute(Qt::AA_EnableHighDpiScaling);
    QCoreApplication::setAttribute(Qt::AA_UseHighDpiPixmaps);
    setIdentity();
    Application app(argc, argv);

    // Before anything touches the data folder: a second instance must leave the first one's log alone.
    if (anotherInstanceRuns(app)) {
        app.sendMessage(Application::showMessage(), Application::sendTimeout);
        QTextStream(stdout) << "Talkvane is already running.\n";
        ::exit(-1);
    }

    // An orderly end on SIGTERM and SIGINT, so that the databases are closed properly.
    UnixSignalWatcher watcher;
    QObject::connect(&watcher, &UnixSignalWatcher::terminationRequested, &app, [](int signalNumber) {
        LOG_TRACE << "Stopping on signal" << signalNumber;
        QCoreApplication::quit();
    });
    watcher.watchTerminationSignals();

    app.start();
    QTextStream out(stdout);
    const QString logPath = TraceLog::filePath();
    out << "Trace log: " << (logPath.isEmpty() ? QStringLiteral("(none)") : logPath) << '\n';
    out.flush();

    Application::installCrashReporting(QCoreApplication::applicationVersion());
    Application::checkForUpdatesInBackground();
    scheduleTestCrash();

    const int exitCode = app.exec();

    LOG_TRACE << "Exit code:" << exitCode;
    app.shutdownUI();
    Application::uninstallCrashReporting();
    ObjFactory::destroyInstance();
    TraceLog::uninstall();
    return exitCode;
}
