#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>

// The program as a whole, started as a process: identity, trace log, single instance, crash reports.
class TstProgram : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void startsToTheLoginPageAndEndsOnSigterm();
    void secondStartBringsTheFirstForward();
    void crashLeavesAReportAndIsToldNextTime();
    void startsWithUnusableDataFolder();

private:
    QProcessEnvironment environment(const QString &home) const;
    bool waitForOutput(QProcess &process, QByteArray &out, const QByteArray &text, int msecs = 60000);
    QString dataFolder(const QString &home) const;
    QByteArray readLog(const QString &home) const;
    QString program;
};

void TstProgram::initTestCase()
{
    program = qEnvironmentVariable("TALKVANE_BINARY_DIR") + QStringLiteral("/bin/talkvane");
    QVERIFY2(QFileInfo(program).isExecutable(), qPrintable(program));
}

QProcessEnvironment TstProgram::environment(const QString &home) const
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("HOME"), home);
    env.insert(QStringLiteral("XDG_DATA_HOME"), home + QStringLiteral("/.local/share"));
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), home + QStringLiteral("/.config"));
    env.insert(QStringLiteral("XDG_CACHE_HOME"), home + QStringLiteral("/.cache"));
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    // No system bus and no web host to reach in a test.
    env.insert(QStringLiteral("DBUS_SYSTEM_BUS_ADDRESS"), QStringLiteral("unix:path=/nonexistent"));
    env.insert(QStringLiteral("TALKVANE_BRAND"), QStringLiteral("Local"));
    return env;
}

QString TstProgram::dataFolder(const QString &home) const
{
    return home + QStringLiteral("/.local/share/Tellmarsh/Tellmarsh Talkvane");
}

QByteArray TstProgram::readLog(const QString &home) const
{
    QFile log(dataFolder(home) + QStringLiteral("/vesktrace.log"));
    return log.open(QIODevice::ReadOnly) ? log.readAll() : QByteArray();
}

bool TstProgram::waitForOutput(QProcess &process, QByteArray &out, const QByteArray &text, int msecs)
{
    QDeadlineTimer deadline(msecs);
    while (!out.contains(text) && !deadline.hasExpired()) {
        if (!process.waitForReadyRead(int(qMax<qint64>(1, deadline.remainingTime()))))
            break;
        out += process.readAllStandardOutput();
    }
    return out.contains(text);
}

void TstProgram::startsToTheLoginPageAndEndsOnSigterm()
{
    QTemporaryDir home;
    QProcess process;
    process.setProcessEnvironment(environment(home.path()));
    process.start(program, QStringList());
    QByteArray out;
    QVERIFY2(waitForOutput(process, out, "Login page shown"), out.constData());
    QVERIFY(out.contains("Trace log: " + dataFolder(home.path()).toUtf8() + "/vesktrace.log"));
    QCOMPARE(::kill(pid_t(process.processId()), SIGTERM), 0);
    QVERIFY(process.waitForFinished(30000));
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(process.exitCode(), 0);

    const QByteArray log = readLog(home.path());
    QVERIFY(log.contains("Application Version: \"0.9.19\""));
    QVERIFY(log.contains("adding common stylesheet"));
    QVERIFY(log.contains("No updater beside the program"));
    QVERIFY(log.contains("Exit code: 0"));
    QVERIFY(QFile::exists(dataFolder(home.path()) + QStringLiteral("/data.vk")));
}

void TstProgram::secondStartBringsTheFirstForward()
{
    QTemporaryDir home;
    QProcess first;
    first.setProcessEnvironment(environment(home.path()));
    first.start(program, QStringList());
    QByteArray firstOut;
    QVERIFY2(waitForOutput(first, firstOut, "Login page shown"), firstOut.constData());
    const QByteArray logBefore = readLog(home.path());
    QVERIFY(logBefore.contains("Application Version"));

    QProcess second;
    second.setProcessEnvironment(environment(home.path()));
    second.start(program, QStringList());
    // It looks three times, 1 s and 6 s apart, before it gives up on the running one.
    QVERIFY(second.waitForFinished(30000));
    QCOMPARE(second.exitStatus(), QProcess::NormalExit);
    QCOMPARE(second.exitCode(), 255);
    QVERIFY(second.readAllStandardOutput().contains("already running"));

    QTRY_VERIFY_WITH_TIMEOUT(
        readLog(home.path()).contains("Message from another instance: \"--show\""), 10000);
    // The running instance's log is intact: the second start did not truncate it.
    QVERIFY(readLog(home.path()).startsWith(logBefore));
    QCOMPARE(first.state(), QProcess::Running);
    first.terminate();
    QVERIFY(first.waitForFinished(30000));
}

void TstProgram::crashLeavesAReportAndIsToldNextTime()
{
    QTemporaryDir home;
    {
        QProcess process;
        QProcessEnvironment env = environment(home.path());
        env.insert(QStringLiteral("TALKVANE_CRASH_TEST"), QString::number(SIGSEGV));
        process.setProcessEnvironment(env);
        process.start(program, QStringList());
        QVERIFY(process.waitForFinished(60000));
        QCOMPARE(process.exitStatus(), QProcess::CrashExit);
    }
    const QDir crashes(dataFolder(home.path()) + QStringLiteral("/crashes"));
    const QStringList reports = crashes.entryList({ QStringLiteral("crash-*.txt") }, QDir::Files);
    QCOMPARE(reports.size(), 1);
    QFile report(crashes.filePath(reports.first()));
    QVERIFY(report.open(QIODevice::ReadOnly));
    const QByteArray text = report.readAll();
    QVERIFY(text.contains("Version: 0.9.19"));
    QVERIFY(text.contains("Signal: 11 (SIGSEGV)"));
    QVERIFY(text.contains("Backtrace:"));
    QVERIFY(readLog(home.path())
                .contains("[FTL] Crashed with SIGSEGV, crash report: " + report.fileName().toUtf8()));

    // The next start tells the user once where the report is.
    for (int run = 0; run < 2; ++run) {
        QProcess process;
        process.setProcessEnvironment(environment(home.path()));
        process.start(program, QStringList());
        QByteArray out;
        QVERIFY2(waitForOutput(process, out, "Login page shown"), out.constData());
        process.terminate();
        QVERIFY(process.waitForFinished(30000));
        QCOMPARE(readLog(home.path()).contains("Told the user about crash reports:"), run == 0);
    }
}

void TstProgram::startsWithUnusableDataFolder()
{
    QTemporaryDir home;
    QVERIFY(QDir().mkpath(home.path() + QStringLiteral("/.local/share/Tellmarsh")));
    QFile blocker(dataFolder(home.path()));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();

    QProcess process;
    process.setProcessEnvironment(environment(home.path()));
    process.start(program, QStringList());
    QByteArray out;
    QVERIFY2(waitForOutput(process, out, "Login page shown"), out.constData());
    QVERIFY(out.contains("Trace log: (none)"));
    process.terminate();
    QVERIFY(process.waitForFinished(30000));
    QCOMPARE(process.exitCode(), 0);
}

QTEST_GUILESS_MAIN(TstProgram)
#include "tst_program.moc"
