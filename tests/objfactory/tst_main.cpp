#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>

// The program as it starts today: identity, trace log, database, and a clean exit.
class TstMain : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void startsAndExitsCleanly();
    void waitsUntilTerminated_data();
    void waitsUntilTerminated();
    void startsWithUnusableDataFolder();

private:
    QProcessEnvironment environment(const QString &home) const;
    QString program;
};

void TstMain::initTestCase()
{
    program = qEnvironmentVariable("TALKVANE_BINARY_DIR") + QStringLiteral("/bin/talkvane");
    if (!QFileInfo(program).isExecutable())
        QSKIP("the talkvane program is not built");
}

QProcessEnvironment TstMain::environment(const QString &home) const
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("HOME"), home);
    env.insert(QStringLiteral("XDG_DATA_HOME"), home + QStringLiteral("/.local/share"));
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), home + QStringLiteral("/.config"));
    return env;
}

void TstMain::startsAndExitsCleanly()
{
    QTemporaryDir home;
    QProcess process;
    process.setProcessEnvironment(environment(home.path()));
    process.start(program, QStringList());
    QVERIFY(process.waitForFinished(60000));
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(process.exitCode(), 0);

    const QString folder = home.path() + QStringLiteral("/.local/share/Tellmarsh/Tellmarsh Talkvane");
    const QString out = QString::fromUtf8(process.readAllStandardOutput());
    QVERIFY2(out.contains(QStringLiteral("Trace log: ") + folder + QStringLiteral("/vesktrace.log")),
        qPrintable(out));
    QVERIFY2(
        out.contains(QStringLiteral("Database: ") + folder + QStringLiteral("/data.vk\n")), qPrintable(out));
    QFile log(folder + QStringLiteral("/vesktrace.log"));
    QVERIFY(log.open(QIODevice::ReadOnly));
    const QByteArray text = log.readAll();
    QVERIFY(text.contains("Application Version: \"0.9.19\""));
    QVERIFY(text.contains("Closed databases for settings and history."));
}

void TstMain::waitsUntilTerminated_data()
{
    QTest::addColumn<int>("signalNumber");
    QTest::newRow("SIGTERM") << int(SIGTERM);
    QTest::newRow("SIGINT") << int(SIGINT);
}

void TstMain::waitsUntilTerminated()
{
    QFETCH(int, signalNumber);
    QTemporaryDir home;
    QProcess process;
    process.setProcessEnvironment(environment(home.path()));
    process.start(program, { QStringLiteral("--wait") });
    QByteArray out;
    while (!out.contains("Database:") && process.waitForReadyRead(60000))
        out += process.readAllStandardOutput();
    QVERIFY(out.contains("Database:"));
    QCOMPARE(process.state(), QProcess::Running);
    QCOMPARE(::kill(pid_t(process.processId()), signalNumber), 0);
    QVERIFY(process.waitForFinished(60000));
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(process.exitCode(), 0);
}

void TstMain::startsWithUnusableDataFolder()
{
    QTemporaryDir home;
    QVERIFY(QDir().mkpath(home.path() + QStringLiteral("/.local/share/Tellmarsh")));
    QFile blocker(home.path() + QStringLiteral("/.local/share/Tellmarsh/Tellmarsh Talkvane"));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();

    QProcess process;
    process.setProcessEnvironment(environment(home.path()));
    process.start(program, QStringList());
    QVERIFY(process.waitForFinished(60000));
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(process.exitCode(), 0);
    const QString out = QString::fromUtf8(process.readAllStandardOutput());
    QVERIFY2(out.contains(QStringLiteral("Trace log: (none)")), qPrintable(out));
    QVERIFY2(out.contains(QStringLiteral("(not open)")), qPrintable(out));
    QVERIFY(process.readAllStandardError().contains("Could not create directory for logging:"));
}

QTEST_GUILESS_MAIN(TstMain)
#include "tst_main.moc"
