// Cold start of the program: from launching the process to the splash screen (the "Trace log:" line,
// printed once the window system, fonts and style sheet are up) and to the login page (the "Login
// page shown" line, after the deliberate 750 ms pause before the main window is built).
//
//   bench_startup [runs] [program]
//
// The runs share one home folder, as a user's starts do: GStreamer's plugin registry (rebuilt whenever
// HOME changes), fontconfig's cache and the database are there from the first run on, which is shown
// apart and left out of the figures. Each run is offscreen and ended with SIGTERM once the login page
// shows.

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>
#include <csignal>
#include <vector>

namespace {

struct Run
{
    qint64 splashMs = -1;
    qint64 loginMs = -1;
};

Run startOnce(const QString &program, const QString &home)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("HOME"), home);
    env.insert(QStringLiteral("XDG_DATA_HOME"), home + QStringLiteral("/.local/share"));
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), home + QStringLiteral("/.config"));
    env.insert(QStringLiteral("XDG_CACHE_HOME"), home + QStringLiteral("/.cache"));
    if (!env.contains(QStringLiteral("QT_QPA_PLATFORM")))
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    QProcess process;
    process.setProcessEnvironment(env);
    Run run;
    QElapsedTimer clock;
    clock.start();
    process.start(program, QStringList());
    QByteArray out;
    while (run.loginMs < 0 && process.waitForReadyRead(30000)) {
        out += process.readAllStandardOutput();
        if (run.splashMs < 0 && out.contains("Trace log:"))
            run.splashMs = clock.elapsed();
        if (out.contains("Login page shown"))
            run.loginMs = clock.elapsed();
    }
    process.terminate();
    if (!process.waitForFinished(10000))
        process.kill();
    return run;
}

// "median M ms (min A, max B)"
QString summary(std::vector<qint64> values)
{
    std::sort(values.begin(), values.end());
    if (values.empty())
        return QStringLiteral("none");
    return QStringLiteral("median %1 ms (min %2, max %3)")
        .arg(values[values.size() / 2])
        .arg(values.front())
        .arg(values.back());
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const int runs = args.size() > 1 ? qMax(1, args.at(1).toInt()) : 5;
    const QString program
        = args.size() > 2 ? args.at(2) : QCoreApplication::applicationDirPath() + QStringLiteral("/talkvane");
    QTextStream out(stdout);
    QTemporaryDir home;
    if (!home.isValid()) {
        out << "no temporary home folder\n";
        return 1;
    }
    std::vector<qint64> splash;
    std::vector<qint64> login;
    for (int i = 0; i <= runs; ++i) {
        const Run run = startOnce(program, home.path());
        if (run.loginMs < 0) {
            out << "run " << i << ": the login page did not show\n";
            return 1;
        }
        if (i == 0) {
            out << "first run (fills the caches, not counted): splash " << run.splashMs << " ms, login page "
                << run.loginMs << " ms\n";
            continue;
        }
        splash.push_back(run.splashMs);
        login.push_back(run.loginMs);
        out << "run " << i << ": splash " << run.splashMs << " ms, login page " << run.loginMs << " ms\n";
        out.flush();
    }
    out << "over " << runs << " runs: splash " << summary(splash) << ", login page " << summary(login)
        << " (includes the 750 ms pause before the main window)\n";
    return 0;
}
