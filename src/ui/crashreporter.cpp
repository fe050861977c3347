#include "ui/crashreporter.h"

#include <atomic>
#include <csignal>
#include <cstring>
#include <ctime>

#include <execinfo.h>
#include <fcntl.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>

#include "util/log.h"
#include "util/tracelog.h"

namespace {

constexpr int fatalSignals[] = { SIGSEGV, SIGABRT, SIGBUS, SIGFPE, SIGILL };
constexpr int signalCount = int(sizeof(fatalSignals) / sizeof(fatalSignals[0]));

// Everything the handler touches, prepared beforehand in fixed buffers.
struct PreparedState
{
    char reportPrefix[4096] = {}; // ".../crashes/crash-"
    char version[64] = {};
    char traceLogPath[4096] = {};
    struct sigaction previous[signalCount];
    bool installed = false;
};

PreparedState prepared;
std::atomic<int> installCounter { 0 };
volatile sig_atomic_t handling = 0;

void writeText(int fd, const char *text)
{
    size_t left = strlen(text);
    while (left > 0) {
        const ssize_t n = ::write(fd, text, left);
        if (n <= 0)
            return;
        text += n;
        left -= size_t(n);
    }
}

// Decimal digits of value into buffer (at least 24 bytes); returns buffer.
char *formatNumber(char *buffer, unsigned long value)
{
    char digits[24];
    int n = 0;
    do {
        digits[n++] = char('0' + value % 10);
        value /= 10;
    } while (value != 0 && n < 23);
    for (int i = 0; i < n; ++i)
        buffer[i] = digits[n - 1 - i];
    buffer[n] = '\0';
    return buffer;
}

const char *signalName(int sig)
{
    switch (sig) {
    case SIGSEGV:
        return "SIGSEGV";
    case SIGABRT:
        return "SIGABRT";
    case SIGBUS:
        return "SIGBUS";
    case SIGFPE:
        return "SIGFPE";
    case SIGILL:
        return "SIGILL";
    default:
        return "signal";
    }
}

void appendTo(char *target, size_t size, const char *text)
{
    const size_t used = strlen(target);
    if (used + 1 >= size)
        return;
    strncat(target, text, size - used - 1);
}

void onFatalSignal(int sig)
{
    if (handling) {
        // A fault inside the handler: give up at once with the default action.
        signal(sig, SIG_DFL);
        raise(sig);
        return;
    }
    handling = 1;

    char number[24];
    char path[4200] = {};
    appendTo(path, sizeof path, prepared.reportPrefix);
    appendTo(path, sizeof path, formatNumber(number, static_cast<unsigned long>(time(nullptr))));
    appendTo(path, sizeof path, "-");
    appendTo(path, sizeof path, formatNumber(number, static_cast<unsigned long>(getpid())));
    appendTo(path, sizeof path, ".txt");

    const int fd = ::open(path, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd >= 0) {
        writeText(fd, "Talkvane crash report\nVersion: ");
        writeText(fd, prepared.version);
        writeText(fd, "\nSignal: ");
        writeText(fd, formatNumber(number, static_cast<unsigned long>(sig)));
        writeText(fd, " (");
        writeText(fd, signalName(sig));
        writeText(fd, ")\nProcess: ");
        writeText(fd, formatNumber(number, static_cast<unsigned long>(getpid())));
        writeText(fd, "\nBacktrace:\n");
        void *frames[64];
        const int depth = backtrace(frames, 64);
        backtrace_symbols_fd(frames, depth, fd);
        fsync(fd);
        ::close(fd);
    }

    // The trace log is flushed line by line already; append the closing line through a file
    // descriptor of our own, since the log's own writer may hold its lock right now.
    if (prepared.traceLogPath[0] != '\0') {
        const int log = ::open(prepared.traceLogPath, O_WRONLY | O_APPEND | O_CLOEXEC);
        if (log >= 0) {
            writeText(log, "[FTL] Crashed with ");
            writeText(log, signalName(sig));
            writeText(log, ", crash report: ");
            writeText(log, fd >= 0 ? path : "(could not be written)");
            writeText(log, "\n");
            fsync(log);
            ::close(log);
        }
    }

    // Die of the same signal so that the parent sees what happened.
    signal(sig, SIG_DFL);
    raise(sig);
}

bool copyInto(char *target, size_t size, const QByteArray &text)
{
    if (text.size() + 1 > int(size))
        return false;
    memcpy(target, text.constData(), size_t(text.size()));
    target[text.size()] = '\0';
    return true;
}

QString reportedListPath(const QString &dataFolder)
{
    return CrashReporter::reportFolder(dataFolder) + QStringLiteral("/reported.list");
}

} // namespace

QString CrashReporter::reportFolder(const QString &dataFolder)
{
    return QDir(dataFolder).filePath(QStringLiteral("crashes"));
}

bool CrashReporter::install(const QString &version, const QString &dataFolder)
{
    if (installCounter.fetch_add(1) > 0)
        return prepared.installed;

    const QString folder = reportFolder(dataFolder);
    if (!QDir().mkpath(folder)) {
        LOG_WARNING << "Crash reports disabled, cannot create" << folder;
        return false;
    }
    const QByteArray prefix = QFile::encodeName(QDir(folder).filePath(QStringLiteral("crash-")));
    if (!copyInto(prepared.reportPrefix, sizeof prepared.reportPrefix, prefix)) {
        LOG_WARNING << "Crash reports disabled, folder path too long:" << folder;
        return false;
    }
    copyInto(prepared.version, sizeof prepared.version, version.left(49).toUtf8());
    prepared.traceLogPath[0] = '\0';
    copyInto(prepared.traceLogPath, sizeof prepared.traceLogPath, QFile::encodeName(TraceLog::filePath()));

    // The first backtrace() loads the unwinder; do it now rather than inside the handler.
    void *frames[4];
    backtrace(frames, 4);

    struct sigaction action;
    memset(&action, 0, sizeof action);
    action.sa_handler = onFatalSignal;
    sigemptyset(&action.sa_mask);
    // A stack overflow leaves no stack to run the handler on: give it one of its own.
    static char alternateStack[64 * 1024];
    stack_t stack;
    memset(&stack, 0, sizeof stack);
    stack.ss_sp = alternateStack;
    stack.ss_size = sizeof alternateStack;
    if (sigaltstack(&stack, nullptr) == 0)
        action.sa_flags = SA_ONSTACK;
    for (int i = 0; i < signalCount; ++i)
        sigaction(fatalSignals[i], &action, &prepared.previous[i]);
    prepared.installed = true;
    LOG_TRACE << "Crash reports go to" << folder;
    return true;
}

bool CrashReporter::uninstall()
{
    int count = installCounter.load();
    if (count <= 0)
        return false;
    if (installCounter.fetch_sub(1) != 1)
        return true;
    if (prepared.installed) {
        for (int i = 0; i < signalCount; ++i)
            sigaction(fatalSignals[i], &prepared.previous[i], nullptr);
        prepared.installed = false;
    }
    return true;
}

int CrashReporter::installCount()
{
    return installCounter.load();
}

QStringList CrashReporter::unreportedCrashes(const QString &dataFolder)
{
    const QDir folder(reportFolder(dataFolder));
    QSet<QString> seen;
    QFile list(reportedListPath(dataFolder));
    if (list.open(QIODevice::ReadOnly | QIODevice::Text)) {
        const QStringList names
            = QString::fromUtf8(list.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        seen = QSet<QString>(names.begin(), names.end());
    }
    QStringList result;
    const QFileInfoList files
        = folder.entryInfoList({ QStringLiteral("crash-*.txt") }, QDir::Files, QDir::Time | QDir::Reversed);
    for (const QFileInfo &file : files) {
        if (!seen.contains(file.fileName()))
            result << file.absoluteFilePath();
    }
    return result;
}

void CrashReporter::markReported(const QString &dataFolder, const QStringList &reports)
{
    QFile list(reportedListPath(dataFolder));
    if (!list.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Text)) {
        LOG_WARNING << "Cannot remember the shown crash reports in" << list.fileName();
        return;
    }
    for (const QString &report : reports)
        list.write(QFileInfo(report).fileName().toUtf8() + '\n');
}
