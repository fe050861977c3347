#include <QSignalSpy>
#include <QtTest>

#include "captureserver.h"
#include "logcapture.h"
#include "requesttesting.h"
#include "rest/onlinenumberlistrequest.h"

class TestOnlineNumberListRequest : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { qRegisterMetaType<QList<OnlineNumber>>(); }
    void fetchSendsTheCollectionForm();
    void numbersAreReadWithTheirDates();
    void emptyListIsTraced_data();
    void emptyListIsTraced();
    void unparsableReplyIsARequestError();
};

void TestOnlineNumberListRequest::fetchSendsTheCollectionForm()
{
    CaptureServer server;
    OnlineNumberListRequest request;
    pointAt(request, server);
    ReplyCounter replies(request);
    request.getOnlineNumbers();
    QVERIFY(replies.waitFor(1));
    QCOMPARE(server.requests.first().method, QByteArray("GET"));
    QCOMPARE(server.requests.first().target, "/webservice-5.0/onlineNumber/demo" + demoQuery());
}

void TestOnlineNumberListRequest::numbersAreReadWithTheirDates()
{
    const qint64 june30 = QDateTime(QDate(2031, 6, 30), QTime(12, 0), Qt::UTC).toMSecsSinceEpoch();
    const qint64 jan15 = QDateTime(QDate(2024, 1, 15), QTime(12, 0), Qt::UTC).toMSecsSinceEpoch();
    const QByteArray reply
        = QStringLiteral(R"([{"number":"+493012345678","expirationDate":%1,"status":"ACTIVE"},
        {"number":"+442071234567","expirationDate":%2,"status":"EXPIRED"}])")
              .arg(june30)
              .arg(jan15)
              .toLatin1();
    OnlineNumberListRequest request;
    QSignalSpy finished(&request, &OnlineNumberListRequest::finished);
    request.onFinish(reply, 200);
    QCOMPARE(finished.count(), 1);
    const QList<OnlineNumber> numbers = finished.first().first().value<QList<OnlineNumber>>();
    QCOMPARE(numbers.size(), 2);
    QCOMPARE(numbers.at(0).number(), QStringLiteral("+493012345678"));
    QCOMPARE(numbers.at(0).expirationDate(), QDateTime::fromMSecsSinceEpoch(june30).date());
    QCOMPARE(numbers.at(0).status(), QStringLiteral("ACTIVE"));
    QCOMPARE(numbers.at(1).expirationDate(), QDateTime::fromMSecsSinceEpoch(jan15).date());
    QCOMPARE(numbers.at(1).status(), QStringLiteral("EXPIRED"));
}

void TestOnlineNumberListRequest::emptyListIsTraced_data()
{
    QTest::addColumn<QByteArray>("reply");
    QTest::newRow("empty array") << QByteArray("[]");
    QTest::newRow("error object") << QByteArray(R"({"errorMessage":"User not found!"})");
}

void TestOnlineNumberListRequest::emptyListIsTraced()
{
    QFETCH(QByteArray, reply);
    LogCapture log;
    OnlineNumberListRequest request;
    QSignalSpy finished(&request, &OnlineNumberListRequest::finished);
    request.onFinish(reply, 200);
    QCOMPARE(finished.count(), 1);
    QVERIFY(finished.first().first().value<QList<OnlineNumber>>().isEmpty());
    QVERIFY(log.contains(QStringLiteral("List size is == 0")));
}

void TestOnlineNumberListRequest::unparsableReplyIsARequestError()
{
    LogCapture log;
    OnlineNumberListRequest request;
    QSignalSpy finished(&request, &OnlineNumberListRequest::finished);
    QSignalSpy errors(&request, &RestRequest::requestError);
    request.onFinish("[{\"number\":", 200);
    QCOMPARE(finished.count(), 0);
    QCOMPARE(errors.count(), 1);
    QVERIFY(log.contains(QStringLiteral("Can not parse json:")));
}

QTEST_GUILESS_MAIN(TestOnlineNumberListRequest)
#include "tst_onlinenumberlistrequest.moc"
