#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QtGlobal>

// The trace log "vesktrace.log": every Qt message of the process, one line each, with a timestamp
// and a level tag, flushed line by line so that the file is complete when the process dies.
//
// Only one process owns the log of a data folder at a time. The owner holds a lock file beside it;
// a second instance that starts while the first runs must not truncate the first one's log, so
// install() refuses and leaves the default message handler in place. The application object should
// still call install() only once the single-instance check has found this the primary instance.
class TraceLog
{
public:
    static QString fileName() { return QStringLiteral("vesktrace.log"); }
    // The per-user data folder, where the log and the database live.
    static QString dataFolder();

    // Creates the folder, opens folder/vesktrace.log afresh (truncated) and installs the handler.
    // False when the folder or file cannot be made, or another live process owns the log.
    static bool install(const QString &folder);
    static bool install() { return install(dataFolder()); }
    // Restores the previous handler and closes the file (tests, and orderly shutdown).
    static void uninstall();
    static bool isInstalled();
    // Full path of the open log file; empty when none is open.
    static QString filePath();

    // "[DBG]", "[WRN]", "[CRI]", "[FTL]", "[INF]".
    static QString levelTag(QtMsgType type);
    // One line of the file without its line feed: timestamp, tag, blank, message.
    static QString formatLine(QtMsgType type, const QDateTime &time, const QString &message);
};
