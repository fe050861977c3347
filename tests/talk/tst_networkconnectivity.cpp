#include <QtTest>

#include "util/util.h"

// The rule behind Util::hasNetworkConnectivity, interface by interface.
class TstNetworkConnectivity : public QObject
{
    Q_OBJECT
private slots:
    void usableInterface_data();
    void usableInterface();
    void loopbackCountsOnlyWhenAsked();
};

using Flags = QNetworkInterface::InterfaceFlags;

void TstNetworkConnectivity::usableInterface_data()
{
    QTest::addColumn<int>("flags");
    QTest::addColumn<int>("addresses");
    QTest::addColumn<bool>("loopbackCounts");
    QTest::addColumn<bool>("usable");
    const int upRunning = QNetworkInterface::IsUp | QNetworkInterface::IsRunning;
    QTest::newRow("ethernet") << upRunning << 1 << false << true;
    QTest::newRow("point to point (VPN, modem)")
        << (upRunning | QNetworkInterface::IsPointToPoint) << 2 << false << true;
    QTest::newRow("no address") << upRunning << 0 << false << false;
    QTest::newRow("down") << int(QNetworkInterface::IsRunning) << 1 << false << false;
    QTest::newRow("not running") << int(QNetworkInterface::IsUp) << 1 << false << false;
    QTest::newRow("loopback") << (upRunning | QNetworkInterface::IsLoopBack) << 2 << false << false;
    QTest::newRow("loopback allowed") << (upRunning | QNetworkInterface::IsLoopBack) << 2 << true << true;
    QTest::newRow("loopback allowed but down") << int(QNetworkInterface::IsLoopBack) << 2 << true << false;
}

void TstNetworkConnectivity::usableInterface()
{
    QFETCH(int, flags);
    QFETCH(int, addresses);
    QFETCH(bool, loopbackCounts);
    QFETCH(bool, usable);
    QCOMPARE(Util::isUsableInterface(Flags(flags), addresses, loopbackCounts), usable);
}

void TstNetworkConnectivity::loopbackCountsOnlyWhenAsked()
{
    // Every machine has a running loopback with an address: with the switch on, there is a route.
    qputenv("TALKVANE_LOOPBACK_IS_NETWORK", "1");
    QVERIFY(Util::hasNetworkConnectivity());
    qunsetenv("TALKVANE_LOOPBACK_IS_NETWORK");
}

QTEST_GUILESS_MAIN(TstNetworkConnectivity)
#include "tst_networkconnectivity.moc"
