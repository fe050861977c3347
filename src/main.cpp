#include <QCoreApplication>
#include <QSettings>
#include <QTextStream>

#include "objfactory.h"
#include "util/dbstore.h"
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

} // namespace

int main(int argc, char *argv[])
{
    setIdentity();
    QCoreApplication app(argc, argv);
    const bool wait = app.arguments().contains(QStringLiteral("--wait"));

    // Watch the termination signals before saying anything, so that a caller who reacts to the
    // output cannot stop the program before it listens.
    UnixSignalWatcher watcher;
    QObject::connect(&watcher, &UnixSignalWatcher::terminationRequested, &app, [](int signalNumber) {
        LOG_TRACE << "Stopping on signal" << signalNumber;
        QCoreApplication::quit();
    });
    const bool watching = wait && watcher.watchTerminationSignals();

    TraceLog::install();
    ObjFactory *factory = ObjFactory::instance();
    factory->settings();
    factory->history();

    QTextStream out(stdout);
    const QString logPath = TraceLog::filePath();
    out << "Trace log: " << (logPath.isEmpty() ? QStringLiteral("(none)") : logPath) << '\n';
    out << "Database: " << factory->dbStore()->databasePath()
        << (factory->dbStore()->isOpen() ? QString() : QStringLiteral(" (not open)")) << '\n';
    out.flush();

    int exitCode = 0;
    if (watching)
        exitCode = app.exec();

    LOG_TRACE << "Exit code:" << exitCode;
    ObjFactory::destroyInstance();
    TraceLog::uninstall();
    return exitCode;
}
