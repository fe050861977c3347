// Cold start of the program: from launching the process to the splash screen (the "Trace log:" line,
// printed once the window system, fonts and style sheet are up) and to the login page (the "Login
// page shown" line, after the deliberate 750 ms pause before the main window is built).
//
//   bench_startup [runs] [program]
//
// Each run gets a fresh HOME, runs offscreen and is ended with SIGTERM once the login page shows.

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

Run startOnce(const QString &program)
{
    QTemporaryDir home;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("HOME"), home.path());
    env.insert(QStringLiteral("XDG_DATA_HOME"), home.path() + QStringLiteral("/.local/share"));
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), home.path() + QStringLiteral("/.config"));
    env.insert(QStringLiteral("XDG_CACHE_HOME"), home.path() + QStringLiteral("/.cache"));
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

qint64 median(std::vector<qint64> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? -1 : values[values.size() / 2];
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
    std::vector<qint64> splash;
    std::vector<qint64> login;
    for (int i = 0; i < runs; ++i) {
        const Run run = startOnce(program);
        if (run.loginMs < 0) {
            out << "run " << i + 1 << ": the login page did not show\n";
            return 1;
        }
        splash.push_back(run.splashMs);
        login.push_back(run.loginMs);
        out << "run " << i + 1 << ": splash " << run.splashMs << " ms, login page " << run.loginMs << " ms\n";
        out.flush();
    }
    out << "median of " << runs << ": splash " << median(splash) << " ms, login page " << median(login)
        << " ms (includes the 750 ms pause before the main window)\n";
    return 0;
}
