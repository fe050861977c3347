#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include "ui/instanceguard.h"

class TstInstanceGuard : public QObject
{
    Q_OBJECT

private slots:
    void firstIsPrimary();
    void secondSeesTheFirst();
    void messageReachesThePrimary();
    void otherFolderIsAnotherInstance();
    void lockIsReleasedWithThePrimary();
    void unusableFolderRunsUnguarded();
};

void TstInstanceGuard::firstIsPrimary()
{
    QTemporaryDir folder;
    InstanceGuard guard(QStringLiteral("/usr/bin/talkvane"), folder.path());
    QVERIFY(!guard.isRunning());
    QVERIFY(guard.isPrimary());
    QVERIFY(QFile::exists(guard.lockFilePath()));
}

void TstInstanceGuard::secondSeesTheFirst()
{
    QTemporaryDir folder;
    InstanceGuard first(QStringLiteral("/usr/bin/talkvane"), folder.path());
    QVERIFY(!first.isRunning());
    InstanceGuard second(QStringLiteral("/usr/bin/talkvane"), folder.path());
    QVERIFY(second.isRunning());
    QVERIFY(!second.isPrimary());
    // Asking again does not change the answer.
    QVERIFY(second.isRunning());
}

void TstInstanceGuard::messageReachesThePrimary()
{
    QTemporaryDir folder;
    InstanceGuard first(QStringLiteral("/usr/bin/talkvane"), folder.path());
    QVERIFY(!first.isRunning());
    QSignalSpy received(&first, &InstanceGuard::messageReceived);
    InstanceGuard second(QStringLiteral("/usr/bin/talkvane"), folder.path());
    QVERIFY(second.isRunning());
    QVERIFY(second.sendMessage(QStringLiteral("--show"), 3000));
    QVERIFY(received.wait(5000));
    QCOMPARE(received.first().first().toString(), QStringLiteral("--show"));
}

void TstInstanceGuard::otherFolderIsAnotherInstance()
{
    QTemporaryDir one;
    QTemporaryDir two;
    InstanceGuard first(QStringLiteral("/usr/bin/talkvane"), one.path());
    InstanceGuard second(QStringLiteral("/usr/bin/talkvane"), two.path());
    QVERIFY(!first.isRunning());
    QVERIFY(!second.isRunning());
    QVERIFY(first.serverName() != second.serverName());
}

void TstInstanceGuard::lockIsReleasedWithThePrimary()
{
    QTemporaryDir folder;
    {
        InstanceGuard first(QStringLiteral("/usr/bin/talkvane"), folder.path());
        QVERIFY(!first.isRunning());
    }
    InstanceGuard next(QStringLiteral("/usr/bin/talkvane"), folder.path());
    QVERIFY(!next.isRunning());
    QVERIFY(next.isPrimary());
}

void TstInstanceGuard::unusableFolderRunsUnguarded()
{
    QTemporaryDir folder;
    const QString blocked = folder.filePath(QStringLiteral("file"));
    QFile blocker(blocked);
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    InstanceGuard guard(QStringLiteral("/usr/bin/talkvane"), blocked + QStringLiteral("/data"));
    QVERIFY(!guard.isRunning());
    QVERIFY(guard.isPrimary());
}

QTEST_GUILESS_MAIN(TstInstanceGuard)
#include "tst_instanceguard.moc"
