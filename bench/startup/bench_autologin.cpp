// Cold start of a returning user's program against the local services: "Remember me" and "Sign in
// automatically" are stored with the demo account, so the program signs in by itself once the login
// page is up. Measured from launching the process:
//   - the splash screen ("Trace log:" on standard output),
//   - the login page ("Login page shown"),
//   - the dial pad after the automatic sign-in (the "Dial pad shown after sign-in" trace line),
// and the resident memory (VmRSS, with its anonymous part, VmHWM and Pss beside it) of the signed-in
// program after it has sat idle on the dial pad.
//
//   bench_autologin [runs] [idle-seconds] [program]
//
// The bench starts the services itself (web-service emulator, Prosody, the gateway peer, a private
// PulseAudio) and stops them at the end. All runs share one home folder, as a returning user's starts
// do: the settings are stored there once, and what a start leaves behind (the database's other rows,
// GStreamer's plugin registry, which is rebuilt whenever HOME changes, fontconfig's cache) is there
// for the next one. The first run, which fills it, is shown apart and left out of the figures.
//
// Each run is also cut into phases by the time stamps of its trace lines (see phaseMarks): where the
// time goes between the end of the pause and the dial pad. The pause itself is fixed at 750 ms.
//
// BENCH_AUTOLOGIN_WELCOME=1 leaves the welcome dialog on (it opens over the dial pad);
// BENCH_AUTOLOGIN_TRACE=1 prints the last run's output, whose trace lines carry the seconds since the
// first of them; BENCH_AUTOLOGIN_KEEP=1 keeps the home folder (with the program's and the engine's
// logs) for a closer look.

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "localservices.h"
#include "settings/settings.h"
#include "util/dbstore.h"

namespace {

constexpr int startTimeoutMs = 30000;

// The program's data folder below XDG_DATA_HOME: organisation name, then application name.
const char *const dataSubfolder = "Tellmarsh/Tellmarsh Talkvane";

// Trace lines that open and close the phases of a start; each phase runs from its mark to the next.
struct PhaseMark
{
    const char *phase;
    const char *line;
};
const PhaseMark phaseMarks[] = {
    { "main window to login page", "Building the main window" },
    { "login page to sign-in", "Automatic login: waiting for the internet connection" },
    { "sign-in to account request", "signing in" },
    { "account request", "\"AccountRequest\" GET" },
    { "account reply to voice login", "answered" },
    { "voice login", "VeskTalk::login" },
    { "voice login to dial pad", "onLoginCompleted" },
    { nullptr, "Dial pad shown after sign-in" },
};
constexpr int phaseCount = int(sizeof(phaseMarks) / sizeof(phaseMarks[0])) - 1;

// The phases of one run's output in ms, -1 where a mark is missing or out of order.
std::vector<qint64> phasesOf(const QByteArray &output)
{
    // "%{time process} %{message}": seconds with three decimals, then the message.
    static const QRegularExpression stamped(QStringLiteral("^\\s*(\\d+)\\.(\\d{3}) (.*)$"));
    std::vector<qint64> at(size_t(phaseCount) + 1, -1);
    int next = 0;
    for (const QByteArray &raw : output.split('\n')) {
        if (next > phaseCount)
            break;
        const QRegularExpressionMatch match = stamped.match(QString::fromLocal8Bit(raw));
        if (match.hasMatch() && match.captured(3).contains(QLatin1String(phaseMarks[next].line)))
            at[size_t(next++)] = match.captured(1).toLongLong() * 1000 + match.captured(2).toLongLong();
    }
    std::vector<qint64> phases(size_t(phaseCount), -1);
    for (size_t i = 0; i < phases.size(); ++i) {
        if (at[i] >= 0 && at[i + 1] >= at[i])
            phases[i] = at[i + 1] - at[i];
    }
    return phases;
}

struct Run
{
    qint64 splashMs = -1;
    qint64 loginPageMs = -1;
    qint64 dialPadMs = -1;
    qint64 rssKb = -1;
    qint64 anonKb = -1;
    qint64 hwmKb = -1;
    qint64 pssKb = -1;
    std::vector<qint64> phases;
    QString error;
};

QString dataFolder(const QString &homeDir)
{
    return homeDir + QStringLiteral("/.local/share/") + QLatin1String(dataSubfolder);
}

// Stores what a user leaves behind who ticked "Remember me" and "Sign in automatically".
bool storeSignInSettings(const QString &homeDir, bool showWelcome)
{
    DbStore store;
    store.setDataFolder(dataFolder(homeDir));
    store.loadDatabases();
    if (!store.isOpen())
        return false;
    {
        Settings settings(&store);
        settings.setRememberLogin(true);
        settings.setAutoLogin(true);
        settings.setUserName(QStringLiteral("demo"));
        settings.setPassword(QStringLiteral("demo"));
        settings.setShowWelcome(showWelcome);
    }
    store.closeDatabases();
    return QFile::exists(store.databasePath());
}

// A field of /proc/PID/status or /proc/PID/smaps_rollup in kB, -1 when missing.
qint64 procField(qint64 pid, const char *file, const QString &field)
{
    QFile status(QStringLiteral("/proc/%1/%2").arg(pid).arg(QLatin1String(file)));
    if (!status.open(QIODevice::ReadOnly | QIODevice::Text))
        return -1;
    const QRegularExpression line(
        QLatin1Char('^') + QRegularExpression::escape(field) + QStringLiteral(":\\s*(\\d+) kB$"),
        QRegularExpression::MultilineOption);
    const QRegularExpressionMatch match = line.match(QString::fromLatin1(status.readAll()));
    return match.hasMatch() ? match.captured(1).toLongLong() : -1;
}

class Launch
{
public:
    Launch(const QString &program, const QString &homeDir) : program(program), homeDir(homeDir) { }

    Run start(int idleSeconds)
    {
        Run run;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("HOME"), homeDir);
        env.insert(QStringLiteral("XDG_DATA_HOME"), homeDir + QStringLiteral("/.local/share"));
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), homeDir + QStringLiteral("/.config"));
        env.insert(QStringLiteral("XDG_CACHE_HOME"), homeDir + QStringLiteral("/.cache"));
        if (!env.contains(QStringLiteral("QT_QPA_PLATFORM")))
            env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        // Seconds since the first trace line on every trace line: the time line of a run.
        env.insert(QStringLiteral("QT_MESSAGE_PATTERN"), QStringLiteral("%{time process} %{message}"));
        process.setProcessEnvironment(env);
        // The trace lines go to standard error as well as to the log file.
        process.setProcessChannelMode(QProcess::MergedChannels);

        QElapsedTimer clock;
        clock.start();
        process.start(program, QStringList());
        while (run.dialPadMs < 0 && process.waitForReadyRead(startTimeoutMs)) {
            output += process.readAll();
            if (run.splashMs < 0 && output.contains("Trace log:"))
                run.splashMs = clock.elapsed();
            if (run.loginPageMs < 0 && output.contains("Login page shown"))
                run.loginPageMs = clock.elapsed();
            if (output.contains("Dial pad shown after sign-in"))
                run.dialPadMs = clock.elapsed();
        }
        if (run.dialPadMs < 0) {
            run.error = whyNoDialPad();
            return run;
        }
        run.phases = phasesOf(output);
        if (!output.contains(dataFolder(homeDir).toLocal8Bit())) {
            run.error
                = QStringLiteral("the program did not use the prepared data folder ") + dataFolder(homeDir);
            return run;
        }

        // Idle: only drain the pipe now and then, so that the program never blocks on it.
        QElapsedTimer idle;
        idle.start();
        while (idle.elapsed() < idleSeconds * 1000 && process.state() == QProcess::Running) {
            process.waitForReadyRead(int(qMax<qint64>(1, idleSeconds * 1000 - idle.elapsed())));
            output += process.readAll();
        }
        if (process.state() != QProcess::Running) {
            run.error = QStringLiteral("the program ended while idle:\n") + tail();
            return run;
        }
        const qint64 pid = process.processId();
        run.rssKb = procField(pid, "status", QStringLiteral("VmRSS"));
        run.anonKb = procField(pid, "status", QStringLiteral("RssAnon"));
        run.hwmKb = procField(pid, "status", QStringLiteral("VmHWM"));
        run.pssKb = procField(pid, "smaps_rollup", QStringLiteral("Pss"));
        if (output.contains("Login failed"))
            run.error = QStringLiteral("the sign-in failed while idle:\n") + tail();
        return run;
    }

    QByteArray programOutput() const { return output; }

    ~Launch()
    {
        if (process.state() == QProcess::NotRunning)
            return;
        process.terminate();
        if (!process.waitForFinished(10000)) {
            process.kill();
            process.waitForFinished(5000);
        }
    }

private:
    QString tail() const
    {
        const QList<QByteArray> lines = output.split('\n');
        QStringList last;
        for (int i = qMax(0, int(lines.size()) - 15); i < lines.size(); ++i)
            last << QString::fromLocal8Bit(lines.at(i));
        return last.join(QLatin1Char('\n'));
    }

    QString whyNoDialPad() const
    {
        if (!output.contains("Login page shown"))
            return QStringLiteral("the login page did not show:\n") + tail();
        if (!output.contains("Automatic login"))
            return QStringLiteral("the program did not sign in automatically (settings not read?):\n")
                + tail();
        return QStringLiteral("no dial pad within %1 s:\n").arg(startTimeoutMs / 1000) + tail();
    }

    QString program;
    QString homeDir;
    QProcess process;
    QByteArray output;
};

struct Figures
{
    std::vector<qint64> values;
    void add(qint64 v) { values.push_back(v); }
    void print(const char *name, const char *unit) const
    {
        std::vector<qint64> sorted = values;
        std::sort(sorted.begin(), sorted.end());
        if (sorted.empty() || sorted.front() < 0) {
            std::printf("%-30s no figures\n", name);
            return;
        }
        std::printf("%-30s median %7lld %s  min %7lld %s  max %7lld %s\n", name,
            static_cast<long long>(sorted[sorted.size() / 2]), unit, static_cast<long long>(sorted.front()),
            unit, static_cast<long long>(sorted.back()), unit);
    }
};

void printRun(const char *label, const Run &run)
{
    std::printf("%s: splash %lld ms, login page %lld ms, dial pad %lld ms, idle VmRSS %lld kB "
                "(RssAnon %lld kB, VmHWM %lld kB, Pss %lld kB)\n",
        label, static_cast<long long>(run.splashMs), static_cast<long long>(run.loginPageMs),
        static_cast<long long>(run.dialPadMs), static_cast<long long>(run.rssKb),
        static_cast<long long>(run.anonKb), static_cast<long long>(run.hwmKb),
        static_cast<long long>(run.pssKb));
    std::printf("   phases (ms):");
    for (int i = 0; i < phaseCount; ++i)
        std::printf(" %s %lld%s", phaseMarks[i].phase, static_cast<long long>(run.phases.at(size_t(i))),
            i + 1 < phaseCount ? "," : "\n");
    std::fflush(stdout);
}

// Bench-side log lines (the database helper's) are of no interest next to the figures.
void quietHandler(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type != QtDebugMsg && type != QtInfoMsg)
        std::fprintf(stderr, "%s\n", qPrintable(message));
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    qInstallMessageHandler(quietHandler);
    QStandardPaths::setTestModeEnabled(true);
    if (qEnvironmentVariableIsEmpty("TALKVANE_SOURCE_DIR"))
        qputenv("TALKVANE_SOURCE_DIR", TALKVANE_SOURCE_DIR);
    if (qEnvironmentVariableIsEmpty("TALKVANE_BINARY_DIR"))
        qputenv("TALKVANE_BINARY_DIR", TALKVANE_BINARY_DIR);
    const QStringList args = app.arguments();
    const int runs = args.size() > 1 ? qMax(1, args.at(1).toInt()) : 5;
    const int idleSeconds = args.size() > 2 ? qMax(0, args.at(2).toInt()) : 5;
    const QString program
        = args.size() > 3 ? args.at(3) : QCoreApplication::applicationDirPath() + QStringLiteral("/talkvane");
    const bool showWelcome = qEnvironmentVariableIntValue("BENCH_AUTOLOGIN_WELCOME") != 0;

    LocalServices services;
    if (!services.start()) {
        std::fprintf(stderr, "bench_autologin: %s\n", qPrintable(services.error()));
        return 1;
    }
    QTemporaryDir keptHome(QDir::tempPath() + QStringLiteral("/talkvane-autologin-XXXXXX"));
    QString homeDir = services.folder() + QStringLiteral("/home");
    if (qEnvironmentVariableIntValue("BENCH_AUTOLOGIN_KEEP") != 0) {
        keptHome.setAutoRemove(false);
        homeDir = keptHome.path();
        std::printf("home folder kept: %s\n", qPrintable(homeDir));
    }
    if (!QDir().mkpath(homeDir) || !storeSignInSettings(homeDir, showWelcome)) {
        std::fprintf(
            stderr, "bench_autologin: could not store the settings in %s\n", qPrintable(dataFolder(homeDir)));
        return 1;
    }

    Figures splash, loginPage, dialPad, rss, anon, hwm, pss;
    std::vector<Figures> phases { size_t(phaseCount) };
    for (int i = 0; i <= runs; ++i) {
        Launch launch(program, homeDir);
        const Run run = launch.start(idleSeconds);
        if (!run.error.isEmpty()) {
            std::fprintf(stderr, "bench_autologin: run %d: %s\n", i, qPrintable(run.error));
            return 1;
        }
        if (i == 0) {
            printRun("first run (fills the caches, not counted)", run);
            continue;
        }
        printRun(qPrintable(QStringLiteral("run %1").arg(i)), run);
        if (i == runs && qEnvironmentVariableIntValue("BENCH_AUTOLOGIN_TRACE") != 0)
            std::printf("%s\n", launch.programOutput().constData());
        splash.add(run.splashMs);
        loginPage.add(run.loginPageMs);
        dialPad.add(run.dialPadMs);
        rss.add(run.rssKb);
        anon.add(run.anonKb);
        hwm.add(run.hwmKb);
        pss.add(run.pssKb);
        for (int p = 0; p < phaseCount; ++p)
            phases[size_t(p)].add(run.phases.at(size_t(p)));
    }
    std::printf(
        "over %d runs (welcome dialog %s, %d s idle):\n", runs, showWelcome ? "on" : "off", idleSeconds);
    splash.print("splash", "ms");
    loginPage.print("login page (incl. 750 ms)", "ms");
    dialPad.print("dial pad after sign-in", "ms");
    rss.print("idle VmRSS", "kB");
    anon.print("idle RssAnon", "kB");
    hwm.print("idle VmHWM", "kB");
    pss.print("idle Pss", "kB");
    for (int p = 0; p < phaseCount; ++p)
        phases[size_t(p)].print(qPrintable(QStringLiteral("  ") + QLatin1String(phaseMarks[p].phase)), "ms");
    return 0;
}
