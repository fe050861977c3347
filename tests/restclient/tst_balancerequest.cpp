#include <QSignalSpy>
#include <QtTest>

#include "captureserver.h"
#include "logcapture.h"
#include "requesttesting.h"
#include "rest/balancerequest.h"

class TestBalanceRequest : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void fetchSendsTheCollectionForm();
    void oneElementArrayEmitsTheBalance();
    void objectEmitsNothing_data();
    void objectEmitsNothing();
    void unparsableReplyIsARequestError();
};

void TestBalanceRequest::initTestCase()
{
    qRegisterMetaType<Balance>();
}

void TestBalanceRequest::fetchSendsTheCollectionForm()
{
    CaptureServer server;
    BalanceRequest request;
    pointAt(request, server);
    ReplyCounter replies(request);
    request.getBalance();
    QVERIFY(replies.waitFor(1));
    QCOMPARE(server.requests.first().method, QByteArray("GET"));
    QCOMPARE(server.requests.first().target, "/webservice-5.0/balance/demo" + demoQuery());
}

void TestBalanceRequest::oneElementArrayEmitsTheBalance()
{
    BalanceRequest request;
    QSignalSpy finished(&request, &BalanceRequest::finished);
    // The service sends text as UTF-8 bytes.
    request.onFinish("[{\"class\":\"com.zorvanglobe.phone.integration.Balance\",\"credit\":12.5,"
                     "\"currency\":\"EUR\",\"currencySymbol\":\"\xe2\x82\xac\"}]",
        200);
    QCOMPARE(finished.count(), 1);
    const Balance balance = finished.first().first().value<Balance>();
    QCOMPARE(balance.credit(), 12.5);
    QCOMPARE(balance.currency(), QStringLiteral("EUR"));
    QCOMPARE(balance.currencySymbol(), QString(QChar(0x20ac)));
}

void TestBalanceRequest::objectEmitsNothing_data()
{
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<QString>("traced");
    QTest::newRow("error object") << QByteArray(R"({"errorMessage":"User not found!"})")
                                  << QStringLiteral("User not found!");
    QTest::newRow("balance object") << QByteArray(R"({"credit":1.5,"currency":"EUR"})") << QString();
    QTest::newRow("empty array") << QByteArray("[]") << QString();
    QTest::newRow("null") << QByteArray("null") << QString();
}

void TestBalanceRequest::objectEmitsNothing()
{
    QFETCH(QByteArray, reply);
    QFETCH(QString, traced);
    LogCapture log;
    BalanceRequest request;
    QSignalSpy finished(&request, &BalanceRequest::finished);
    QSignalSpy errors(&request, &RestRequest::requestError);
    request.onFinish(reply, 200);
    QCOMPARE(finished.count(), 0);
    QCOMPARE(errors.count(), 0);
    if (!traced.isEmpty())
        QVERIFY2(log.contains(traced), qPrintable(log.text()));
}

void TestBalanceRequest::unparsableReplyIsARequestError()
{
    LogCapture log;
    BalanceRequest request;
    QSignalSpy finished(&request, &BalanceRequest::finished);
    QSignalSpy errors(&request, &RestRequest::requestError);
    request.onFinish("<html>busy</html>", 200);
    QCOMPARE(finished.count(), 0);
    QCOMPARE(errors.count(), 1);
    QVERIFY(log.contains(QStringLiteral("Can not parse json:")));
    QVERIFY(log.contains(QStringLiteral("<html>busy</html>")));
}

QTEST_GUILESS_MAIN(TestBalanceRequest)
#include "tst_balancerequest.moc"
