#include <QSignalSpy>
#include <QtTest>

#include <csignal>

#include "util/unixsignalwatcher.h"

class TstUnixSignalWatcher : public QObject
{
    Q_OBJECT

private slots:
    void terminationSignalArrivesInEventLoop_data();
    void terminationSignalArrivesInEventLoop();
};

void TstUnixSignalWatcher::terminationSignalArrivesInEventLoop_data()
{
    QTest::addColumn<int>("signalNumber");
    QTest::newRow("SIGTERM") << int(SIGTERM);
    QTest::newRow("SIGINT") << int(SIGINT);
}

void TstUnixSignalWatcher::terminationSignalArrivesInEventLoop()
{
    QFETCH(int, signalNumber);
    UnixSignalWatcher watcher;
    QVERIFY(watcher.watchTerminationSignals());
    QSignalSpy spy(&watcher, &UnixSignalWatcher::terminationRequested);
    QCOMPARE(::raise(signalNumber), 0);
    // The handler only queued it; the Qt signal comes from the event loop.
    QCOMPARE(spy.count(), 0);
    QVERIFY(spy.wait(30000));
    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.first().first().toInt(), signalNumber);
}

QTEST_GUILESS_MAIN(TstUnixSignalWatcher)
#include "tst_unixsignalwatcher.moc"
