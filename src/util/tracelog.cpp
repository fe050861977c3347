#include "tracelog.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLockFile>
#include <QMutex>
#include <QStandardPaths>

#include <cstdlib>
#include <memory>

#include "util/log.h"

namespace {

struct TraceLogState
{
    QMutex mutex;
    std::unique_ptr<QFile> file;
    std::unique_ptr<QLockFile> lock;
    QtMessageHandler previous = nullptr;
};

TraceLogState &state()
{
    static TraceLogState s;
    return s;
}

void messageHandler(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    const QString line = TraceLog::formatLine(type, QDateTime::currentDateTime(), message);
    TraceLogState &s = state();
    QtMessageHandler previous = nullptr;
    {
        QMutexLocker locker(&s.mutex);
        if (s.file) {
            // Write errors are ignored: there is nowhere left to report them.
            s.file->write(line.toUtf8() + '\n');
            s.file->flush();
        }
        previous = s.previous;
    }
    if (previous && previous != messageHandler)
        previous(type, context, line);
    if (type == QtFatalMsg)
        std::abort();
}

} // namespace

QString TraceLog::dataFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation);
}

bool TraceLog::install(const QString &folder)
{
    if (isInstalled())
        uninstall();

    if (folder.isEmpty() || !QDir(folder).mkpath(QStringLiteral("."))) {
        LOG_TRACE << "Could not create directory for logging:" << folder;
        return false;
    }
    const QString path = QDir(folder).filePath(fileName());
    LOG_TRACE << path;

    auto lock = std::make_unique<QLockFile>(path + QStringLiteral(".lock"));
    // Age never makes the lock stale; a lock whose process has died is taken over.
    lock->setStaleLockTime(0);
    if (!lock->tryLock(0)) {
        qint64 pid = 0;
        QString host;
        QString app;
        lock->getLockInfo(&pid, &host, &app);
        LOG_TRACE << "The log file is in use by another instance, leaving it alone; pid:" << pid
                  << ", lock error:" << int(lock->error());
        return false;
    }

    auto file = std::make_unique<QFile>(path);
    if (!file->open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        LOG_TRACE << "Unable to open log file, error:" << int(file->error()) << file->errorString();
        return false;
    }

    TraceLogState &s = state();
    {
        QMutexLocker locker(&s.mutex);
        s.file = std::move(file);
        s.lock = std::move(lock);
    }
    QtMessageHandler previous = qInstallMessageHandler(messageHandler);
    {
        QMutexLocker locker(&s.mutex);
        s.previous = previous;
    }
    LOG_TRACE << "Started the log file at:" << path;
    LOG_TRACE << "Application Version:" << QCoreApplication::applicationVersion();
    return true;
}

void TraceLog::uninstall()
{
    TraceLogState &s = state();
    QMutexLocker locker(&s.mutex);
    if (!s.file)
        return;
    qInstallMessageHandler(s.previous);
    s.previous = nullptr;
    s.file.reset();
    s.lock.reset();
}

bool TraceLog::isInstalled()
{
    TraceLogState &s = state();
    QMutexLocker locker(&s.mutex);
    return bool(s.file);
}

QString TraceLog::filePath()
{
    TraceLogState &s = state();
    QMutexLocker locker(&s.mutex);
    return s.file ? s.file->fileName() : QString();
}

QString TraceLog::levelTag(QtMsgType type)
{
    switch (type) {
    case QtDebugMsg:
        return QStringLiteral("[DBG]");
    case QtWarningMsg:
        return QStringLiteral("[WRN]");
    case QtCriticalMsg:
        return QStringLiteral("[CRI]");
    case QtFatalMsg:
        return QStringLiteral("[FTL]");
    case QtInfoMsg:
        return QStringLiteral("[INF]");
    }
    return QStringLiteral("[???]");
}

QString TraceLog::formatLine(QtMsgType type, const QDateTime &time, const QString &message)
{
    return QStringLiteral("%1%2 %3").arg(
        time.toString(QStringLiteral("yyyy_MM_dd__hh_mm_ss.zzz")), levelTag(type), message);
}
