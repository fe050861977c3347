#include <QSignalSpy>
#include <QtTest>

#include "captureserver.h"
#include "logcapture.h"
#include "requesttesting.h"
#include "rest/smsrequest.h"

class TestSMSRequest : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { qRegisterMetaType<SMS>(); }
    void sendPutsTheMessage();
    void replyHandling_data();
    void replyHandling();
};

void TestSMSRequest::sendPutsTheMessage()
{
    CaptureServer server;
    SMSRequest request;
    pointAt(request, server);
    ReplyCounter replies(request);
    SMS sms;
    sms.setDestinationNumbers({ QStringLiteral("+4915112345671") });
    sms.setText(QString::fromUtf8("Gr\xc3\xbc\xc3\x9f"
                                  "e & \"bye\""));
    request.sendSMS(sms);
    QVERIFY(replies.waitFor(1));
    QCOMPARE(server.requests.first().method, QByteArray("PUT"));
    QCOMPARE(server.requests.first().target, "/webservice-5.0/sms/demo" + demoQuery());
    QCOMPARE(server.requests.first().body, jsonBody(sms.toVariant()));
}

void TestSMSRequest::replyHandling_data()
{
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<int>("messages");
    QTest::addColumn<int>("errors");
    QTest::addColumn<QString>("errorMessage");
    QTest::newRow("sent") << QByteArray(R"({"destinationNumbers":["+4915112345671"],"text":"Hi"})") << 1 << 0
                          << QString();
    QTest::newRow("too long") << QByteArray(R"({"errorMessage":"Max length exceeded"})") << 1 << 0
                              << QStringLiteral("Max length exceeded");
    QTest::newRow("not JSON") << QByteArray("<html/>") << 0 << 1 << QString();
}

void TestSMSRequest::replyHandling()
{
    QFETCH(QByteArray, reply);
    QFETCH(int, messages);
    QFETCH(int, errors);
    QFETCH(QString, errorMessage);
    LogCapture log;
    SMSRequest request;
    QSignalSpy finished(&request, &SMSRequest::finished);
    QSignalSpy failed(&request, &RestRequest::requestError);
    request.onFinish(reply, 200);
    QCOMPARE(finished.count(), messages);
    QCOMPARE(failed.count(), errors);
    if (messages)
        QCOMPARE(finished.first().first().value<SMS>().errorMessage(), errorMessage);
    if (errors)
        QVERIFY(log.contains(QStringLiteral("Can not parse json:")));
}

QTEST_GUILESS_MAIN(TestSMSRequest)
#include "tst_smsrequest.moc"
