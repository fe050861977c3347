#include <QDBusConnection>
#include <QDBusMessage>
#include <QProcess>
#include <QSignalSpy>
#include <QtTest>

#include "ui/powermonitor.h"

// logind's PrepareForSleep on a private bus of our own, so that no system bus is needed.
class TstPowerMonitor : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void sleepAndWake();
    void noBusIsQuiet();

private:
    QProcess daemon;
    QString address;
};

void TstPowerMonitor::initTestCase()
{
    daemon.start(QStringLiteral("dbus-daemon"),
        { QStringLiteral("--session"), QStringLiteral("--nofork"), QStringLiteral("--print-address") });
    if (!daemon.waitForStarted(10000))
        QSKIP("dbus-daemon is not installed");
    while (!daemon.canReadLine() && daemon.waitForReadyRead(10000)) { }
    address = QString::fromUtf8(daemon.readLine()).trimmed();
    QVERIFY2(!address.isEmpty(), "dbus-daemon printed no address");
}

void TstPowerMonitor::cleanupTestCase()
{
    QDBusConnection::disconnectFromBus(QStringLiteral("monitor"));
    QDBusConnection::disconnectFromBus(QStringLiteral("logind"));
    daemon.terminate();
    daemon.waitForFinished(5000);
}

void TstPowerMonitor::sleepAndWake()
{
    QDBusConnection monitorBus = QDBusConnection::connectToBus(address, QStringLiteral("monitor"));
    QVERIFY(monitorBus.isConnected());
    PowerMonitor monitor(monitorBus);
    QVERIFY(monitor.isListening());
    QSignalSpy changed(&monitor, &PowerMonitor::powerStateChanged);

    QDBusConnection logind = QDBusConnection::connectToBus(address, QStringLiteral("logind"));
    QVERIFY(logind.isConnected());
    for (bool sleeping : { true, false }) {
        QDBusMessage signal = QDBusMessage::createSignal(
            PowerMonitor::path(), PowerMonitor::interface(), QStringLiteral("PrepareForSleep"));
        signal << sleeping;
        QVERIFY(logind.send(signal));
        QVERIFY(changed.wait(5000));
    }
    QCOMPARE(changed.count(), 2);
    QCOMPARE(changed.at(0).first().toInt(), int(PowerMonitor::Suspended));
    QCOMPARE(changed.at(1).first().toInt(), int(PowerMonitor::Resumed));
}

void TstPowerMonitor::noBusIsQuiet()
{
    QDBusConnection none
        = QDBusConnection::connectToBus(QStringLiteral("unix:path=/nonexistent/bus"), QStringLiteral("none"));
    PowerMonitor monitor(none);
    QVERIFY(!monitor.isListening());
    QDBusConnection::disconnectFromBus(QStringLiteral("none"));
}

QTEST_GUILESS_MAIN(TstPowerMonitor)
#include "tst_powermonitor.moc"
