#pragma once

#include <QString>
#include <QStringList>

// Writes a crash report when the process dies of a fatal signal (SIGSEGV, SIGABRT, SIGBUS, SIGFPE,
// SIGILL): the version, the signal and a backtrace go into a new file in the "crashes" folder of the
// data folder, and one line goes into the trace log. The handler uses async-signal-safe calls only:
// every path and text it needs is prepared when reporting is installed.
//
// Reports never carry the database or any other file that may hold a password: only what the
// handler itself writes.
//
// install() and uninstall() count: the handlers stay until the last install is undone.
class CrashReporter
{
public:
    // dataFolder: where the trace log lives; the reports go to dataFolder/crashes.
    static bool install(const QString &version, const QString &dataFolder);
    static bool uninstall();
    static int installCount();

    static QString reportFolder(const QString &dataFolder);
    // Reports of earlier runs that the user has not been told about yet, oldest first.
    static QStringList unreportedCrashes(const QString &dataFolder);
    // Remembers that the user has seen these reports, so the next start stays quiet about them.
    static void markReported(const QString &dataFolder, const QStringList &reports);
};
