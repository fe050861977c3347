#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>

#include "ui/crashreporter.h"
#include "util/tracelog.h"

// The crash itself runs in a child: this test program started again with TST_CRASH_CHILD set.
class TstCrashReporter : public QObject
{
    Q_OBJECT

private slots:
    void countsInstallations();
    void crashLeavesReportAndLogLine_data();
    void crashLeavesReportAndLogLine();
    void reportHoldsNoSecrets();
    void reportsAreToldOnce();

private:
    QProcess *runChild(const QString &folder, int sig, const QString &secret = QString());
};

void TstCrashReporter::countsInstallations()
{
    QTemporaryDir folder;
    QCOMPARE(CrashReporter::installCount(), 0);
    QVERIFY(!CrashReporter::uninstall());
    QVERIFY(CrashReporter::install(QStringLiteral("1.2.3"), folder.path()));
    QVERIFY(CrashReporter::install(QStringLiteral("1.2.3"), folder.path()));
    QCOMPARE(CrashReporter::installCount(), 2);
    QVERIFY(QDir(CrashReporter::reportFolder(folder.path())).exists());
    QVERIFY(CrashReporter::uninstall());
    QCOMPARE(CrashReporter::installCount(), 1);
    QVERIFY(CrashReporter::uninstall());
    QCOMPARE(CrashReporter::installCount(), 0);
    QVERIFY(!CrashReporter::uninstall());
}

QProcess *TstCrashReporter::runChild(const QString &folder, int sig, const QString &secret)
{
    auto *child = new QProcess(this);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("TST_CRASH_CHILD"), QString::number(sig));
    env.insert(QStringLiteral("TST_CRASH_FOLDER"), folder);
    env.insert(QStringLiteral("TST_CRASH_SECRET"), secret);
    child->setProcessEnvironment(env);
    child->start(QCoreApplication::applicationFilePath(), QStringList());
    return child;
}

void TstCrashReporter::crashLeavesReportAndLogLine_data()
{
    QTest::addColumn<int>("sig");
    QTest::addColumn<QString>("name");
    QTest::newRow("SIGSEGV") << int(SIGSEGV) << QStringLiteral("SIGSEGV");
    QTest::newRow("SIGABRT") << int(SIGABRT) << QStringLiteral("SIGABRT");
    QTest::newRow("SIGBUS") << int(SIGBUS) << QStringLiteral("SIGBUS");
    QTest::newRow("SIGFPE") << int(SIGFPE) << QStringLiteral("SIGFPE");
    QTest::newRow("SIGILL") << int(SIGILL) << QStringLiteral("SIGILL");
}

void TstCrashReporter::crashLeavesReportAndLogLine()
{
    QFETCH(int, sig);
    QFETCH(QString, name);
    QTemporaryDir folder;
    QProcess *child = runChild(folder.path(), sig);
    QVERIFY(child->waitForFinished(30000));
    // The child dies of the signal itself, after the report.
    QCOMPARE(child->exitStatus(), QProcess::CrashExit);

    const QStringList reports = CrashReporter::unreportedCrashes(folder.path());
    QCOMPARE(reports.size(), 1);
    QFile report(reports.first());
    QVERIFY(report.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(report.readAll());
    QVERIFY2(text.contains(QStringLiteral("Version: 4.5.6")), qPrintable(text));
    QVERIFY2(text.contains(QStringLiteral("Signal: %1 (%2)").arg(sig).arg(name)), qPrintable(text));
    QVERIFY2(text.contains(QStringLiteral("Backtrace:\n")), qPrintable(text));
    // backtrace_symbols_fd names the frames' binaries.
    QVERIFY2(text.contains(QStringLiteral("tst_crashreporter")), qPrintable(text));

    QFile log(QDir(folder.path()).filePath(TraceLog::fileName()));
    QVERIFY(log.open(QIODevice::ReadOnly));
    const QString logText = QString::fromUtf8(log.readAll());
    QVERIFY2(logText.contains(QStringLiteral("child is about to crash")), qPrintable(logText));
    QVERIFY2(logText.contains(
                 QStringLiteral("[FTL] Crashed with %1, crash report: %2").arg(name, reports.first())),
        qPrintable(logText));
}

void TstCrashReporter::reportHoldsNoSecrets()
{
    QTemporaryDir folder;
    const QString secret = QStringLiteral("pa55-w0rd-in-memory");
    QProcess *child = runChild(folder.path(), SIGSEGV, secret);
    QVERIFY(child->waitForFinished(30000));
    const QStringList reports = CrashReporter::unreportedCrashes(folder.path());
    QCOMPARE(reports.size(), 1);
    // Only the report: no copy of the database or any other file lands beside it.
    const QStringList files = QDir(CrashReporter::reportFolder(folder.path())).entryList(QDir::Files);
    QCOMPARE(files, QStringList { QFileInfo(reports.first()).fileName() });
    QFile report(reports.first());
    QVERIFY(report.open(QIODevice::ReadOnly));
    QVERIFY(!report.readAll().contains(secret.toUtf8()));
}

void TstCrashReporter::reportsAreToldOnce()
{
    QTemporaryDir folder;
    const QString crashes = CrashReporter::reportFolder(folder.path());
    QVERIFY(QDir().mkpath(crashes));
    for (const char *name : { "crash-100-1.txt", "crash-200-2.txt", "notes.txt" }) {
        QFile file(QDir(crashes).filePath(QLatin1String(name)));
        QVERIFY(file.open(QIODevice::WriteOnly));
    }
    const QStringList first = CrashReporter::unreportedCrashes(folder.path());
    QCOMPARE(first.size(), 2);
    CrashReporter::markReported(folder.path(), first);
    QVERIFY(CrashReporter::unreportedCrashes(folder.path()).isEmpty());
    QFile later(QDir(crashes).filePath(QStringLiteral("crash-300-3.txt")));
    QVERIFY(later.open(QIODevice::WriteOnly));
    later.close();
    QCOMPARE(CrashReporter::unreportedCrashes(folder.path()), QStringList { later.fileName() });
}

static int crashChild()
{
    const QString folder = qEnvironmentVariable("TST_CRASH_FOLDER");
    const QString secret = qEnvironmentVariable("TST_CRASH_SECRET");
    if (!TraceLog::install(folder))
        return 2;
    qDebug("child is about to crash");
    if (!CrashReporter::install(QStringLiteral("4.5.6"), folder))
        return 3;
    // A secret that lives in the process must not end up in the report.
    volatile const char *held = qstrdup(secret.toUtf8().constData());
    Q_UNUSED(held);
    std::raise(qEnvironmentVariableIntValue("TST_CRASH_CHILD"));
    return 4;
}

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsSet("TST_CRASH_CHILD")) {
        QCoreApplication app(argc, argv);
        return crashChild();
    }
    QCoreApplication app(argc, argv);
    TstCrashReporter test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_crashreporter.moc"
