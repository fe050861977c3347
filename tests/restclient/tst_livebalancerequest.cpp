#include <QSignalSpy>
#include <QtTest>

#include "captureserver.h"
#include "requesttesting.h"
#include "rest/livebalancerequest.h"

class TestLiveBalanceRequest : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { qRegisterMetaType<Balance>(); }
    void fetchUsesTheLiveBalanceUrl();
    void readsRepliesLikeTheBalance_data();
    void readsRepliesLikeTheBalance();
};

void TestLiveBalanceRequest::fetchUsesTheLiveBalanceUrl()
{
    CaptureServer server;
    server.setAnswer([](const CaptureServer::Request &) {
        return CaptureServer::Answer { 200, R"([{"credit":3.25,"currency":"GBP","currencySymbol":"£"}])" };
    });
    LiveBalanceRequest request;
    pointAt(request, server);
    QSignalSpy finished(&request, &BalanceRequest::finished);
    request.getLiveBalance();
    QVERIFY(finished.wait(10000));
    QCOMPARE(server.requests.first().method, QByteArray("GET"));
    QCOMPARE(server.requests.first().target, "/webservice-5.0/realTimeBalance/demo" + demoQuery());
    QCOMPARE(finished.first().first().value<Balance>().credit(), 3.25);
}

void TestLiveBalanceRequest::readsRepliesLikeTheBalance_data()
{
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<int>("balances");
    QTest::addColumn<int>("errors");
    QTest::newRow("one-element array") << QByteArray(R"([{"credit":0.5}])") << 1 << 0;
    QTest::newRow("error object") << QByteArray(R"({"errorMessage":"Invalid parameters."})") << 0 << 0;
    QTest::newRow("not JSON") << QByteArray("busy") << 0 << 1;
}

void TestLiveBalanceRequest::readsRepliesLikeTheBalance()
{
    QFETCH(QByteArray, reply);
    QFETCH(int, balances);
    QFETCH(int, errors);
    LiveBalanceRequest request;
    QSignalSpy finished(&request, &BalanceRequest::finished);
    QSignalSpy failed(&request, &RestRequest::requestError);
    request.onFinish(reply, 200);
    QCOMPARE(finished.count(), balances);
    QCOMPARE(failed.count(), errors);
}

QTEST_GUILESS_MAIN(TestLiveBalanceRequest)
#include "tst_livebalancerequest.moc"
