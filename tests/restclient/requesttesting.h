#pragma once

#include <QByteArray>
#include <QSignalSpy>
#include <QString>
#include <QTest>

#include "captureserver.h"
#include "rest/jsoncodec.h"
#include "rest/restrequest.h"
#include "serviceurls.h"

// The twelve service URLs of a service rooted at `root` ("http://127.0.0.1:PORT").
inline ServiceUrls serviceUrlsAt(const QString &root)
{
    const QString base = root + QStringLiteral("/webservice-5.0/");
    ServiceUrls urls;
    urls.accountBalanceServiceBaseURL = base + QStringLiteral("balance");
    urls.accountLiveBalanceServiceBaseURL = base + QStringLiteral("realTimeBalance");
    urls.accountCallForwardServiceBaseURL = base + QStringLiteral("callForward");
    urls.accountServiceBaseURL = base + QStringLiteral("account");
    urls.accountVirtualNumberServiceBaseURL = base + QStringLiteral("onlineNumber");
    urls.adressBookContactServiceBaseURL = base + QStringLiteral("contact");
    urls.adressBookGroupServiceBaseURL = base + QStringLiteral("group");
    urls.accountCDRsServiceBaseURL = base + QStringLiteral("call");
    urls.accountVoiceMailServiceBaseURL = base + QStringLiteral("voiceMail");
    urls.accountInviteServiceBaseURL = base + QStringLiteral("invite");
    urls.accountSMSServiceBaseURL = base + QStringLiteral("sms");
    urls.bugReportURL = base + QStringLiteral("bugReport");
    return urls;
}

// Points `request` at `server` with the credentials demo / "p&w #1".
template <typename Request> void pointAt(Request &request, const CaptureServer &server)
{
    request.setServiceUrls(serviceUrlsAt(server.baseUrl()));
    request.setUsername(QStringLiteral("demo"));
    request.setPassword(QStringLiteral("p&w #1"));
}

// The query every collection and item URL of pointAt() ends with.
inline QByteArray demoQuery()
{
    return QByteArrayLiteral("?username=demo&password=p%26w%20%231");
}

// Counts the replies a request object has finished with, successful or not.
class ReplyCounter
{
public:
    explicit ReplyCounter(RestRequest &request)
        : answered(&request, &RestRequest::finishedRequest), failed(&request, &RestRequest::requestError)
    { }
    int count() const { return answered.count() + failed.count(); }
    bool waitFor(int replies)
    {
        return QTest::qWaitFor([&]() { return count() >= replies; }, 10000);
    }

    QSignalSpy answered;
    QSignalSpy failed;
};

inline QByteArray jsonBody(const QVariant &value)
{
    return JsonCodec::serialize(value);
}

// The columns of an operationsSendTheirMethodUrlAndBody_data table: which operation, and the method and
// path it must send, with or without a body.
inline void addOperationColumns()
{
    QTest::addColumn<QString>("operation");
    QTest::addColumn<QByteArray>("method");
    QTest::addColumn<QByteArray>("path");
    QTest::addColumn<bool>("withBody");
}

// Once the request object has its first reply, the request the server got had this method, path (with
// demoQuery()) and body. Like QCOMPARE it returns at the first mismatch, so it is the last check of a test.
inline void checkSent(ReplyCounter &replies, const CaptureServer &server, const QByteArray &method,
    const QByteArray &path, const QByteArray &body)
{
    QVERIFY(replies.waitFor(1));
    const CaptureServer::Request &got = server.requests.first();
    QCOMPARE(got.method, method);
    QCOMPARE(got.target, path + demoQuery());
    QCOMPARE(got.body, body);
}

// The columns of a replyHandling_data table: the request's list mode and verb, the reply it is handed
// and what it must make of it.
inline void addReplyColumns()
{
    QTest::addColumn<bool>("listMode");
    QTest::addColumn<int>("verb");
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("expected");
}

// Hands the reply of the current replyHandling_data row to a Request in the row's list mode and verb, and
// returns what `outcome` reads from the signals a Seen recorded.
template <typename Request, typename Seen> QString handleReply(QString (Seen::*outcome)() const)
{
    QFETCH(bool, listMode);
    QFETCH(int, verb);
    QFETCH(QByteArray, reply);
    QFETCH(int, status);
    Request request;
    request.setListMode(listMode);
    request.setVerb(verb);
    Seen seen(request);
    request.onFinish(reply, status);
    return (seen.*outcome)();
}
