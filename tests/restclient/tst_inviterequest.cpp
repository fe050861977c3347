#include <QSignalSpy>
#include <QtTest>

#include "captureserver.h"
#include "logcapture.h"
#include "requesttesting.h"
#include "rest/inviterequest.h"

class TestInviteRequest : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { qRegisterMetaType<Invite>(); }
    void sendPutsTheInvite();
    void replyHandling_data();
    void replyHandling();
};

void TestInviteRequest::sendPutsTheInvite()
{
    CaptureServer server;
    InviteRequest request;
    pointAt(request, server);
    ReplyCounter replies(request);
    Invite invite;
    invite.setFromEmail(QStringLiteral("dana@example.org"));
    invite.setToEmails({ QStringLiteral("a@example.org"), QStringLiteral("b@example.org") });
    invite.setShowPhoneNumber(true);
    request.sendInvite(invite);
    QVERIFY(replies.waitFor(1));
    QCOMPARE(server.requests.first().method, QByteArray("PUT"));
    QCOMPARE(server.requests.first().target, "/webservice-5.0/invite/demo" + demoQuery());
    QCOMPARE(server.requests.first().body, jsonBody(invite.toVariant()));
}

void TestInviteRequest::replyHandling_data()
{
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<int>("invites");
    QTest::addColumn<int>("errors");
    QTest::addColumn<QString>("errorMessage");
    QTest::newRow("stored invite") << QByteArray(
        R"({"fromEmail":"dana@example.org","toEmails":["a@example.org"]})")
                                   << 1 << 0 << QString();
    QTest::newRow("service error") << QByteArray(R"({"errorMessage":"Invalid parameters.",
        "fieldErrors":[{"field":"toEmails","errorCode":"invalid"}]})")
                                   << 1 << 0 << QStringLiteral("Invalid parameters.");
    QTest::newRow("not JSON") << QByteArray("oops") << 0 << 1 << QString();
}

void TestInviteRequest::replyHandling()
{
    QFETCH(QByteArray, reply);
    QFETCH(int, invites);
    QFETCH(int, errors);
    QFETCH(QString, errorMessage);
    LogCapture log;
    InviteRequest request;
    QSignalSpy finished(&request, &InviteRequest::finished);
    QSignalSpy failed(&request, &RestRequest::requestError);
    request.onFinish(reply, 200);
    QCOMPARE(finished.count(), invites);
    QCOMPARE(failed.count(), errors);
    if (invites)
        QCOMPARE(finished.first().first().value<Invite>().errorMessage(), errorMessage);
    if (errors)
        QVERIFY(log.contains(QStringLiteral("Invite: Can not parse json:")));
}

QTEST_GUILESS_MAIN(TestInviteRequest)
#include "tst_inviterequest.moc"
