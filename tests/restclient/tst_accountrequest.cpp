#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTcpServer>
#include <QtTest>

#include "captureserver.h"
#include "logcapture.h"
#include "requesttesting.h"
#include "rest/accountrequest.h"
#include "rest/machineid.h"

namespace {

const QByteArray accountObject = R"({"class":"com.zorvanglobe.phone.integration.Account","companyId":"TV-1",
"country":"DE","emails":["dana@example.org"],"language":"en","lastName":"Demo","firstName":"Dana",
"username":"demo","password":"Web-Secret-1","sipDomain":"voice.example","sipUser":"dana",
"sipPassword":"Voice-Secret-2","phones":["52871934-01"]})";

} // namespace

class TestAccountRequest : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void fetchSendsTheSignInForm();
    void applicationIdIsStableLowerCaseHex();
    void updateSendsThePutWithTheAccount();
    void listAndBareObjectGiveTheSameAccount_data();
    void listAndBareObjectGiveTheSameAccount();
    void serviceErrorArrivesInsideTheAccount();
    void unparsableReplyIsARequestError_data();
    void unparsableReplyIsARequestError();
    void repliesAreNeverTracedWithTheirPasswords_data();
    void repliesAreNeverTracedWithTheirPasswords();
    void onlyTheSignInFetchReportsProxyFailures_data();
    void onlyTheSignInFetchReportsProxyFailures();
};

void TestAccountRequest::initTestCase()
{
    qRegisterMetaType<Account>();
}

void TestAccountRequest::fetchSendsTheSignInForm()
{
    CaptureServer server;
    AccountRequest request;
    pointAt(request, server);
    ReplyCounter replies(request);
    request.getAccount();
    QVERIFY(replies.waitFor(1));
    const CaptureServer::Request &got = server.requests.first();
    QCOMPARE(got.method, QByteArray("GET"));
    QCOMPARE(got.target,
        "/webservice-5.0/account/demo" + demoQuery()
            + "&appid=" + AccountRequest::currentApplicationId().toLatin1());
    QVERIFY(got.body.isEmpty());
}

void TestAccountRequest::applicationIdIsStableLowerCaseHex()
{
    const QString id = AccountRequest::currentApplicationId();
    QVERIFY(QRegularExpression(QStringLiteral("^[0-9a-f]{32}$")).match(id).hasMatch());
    QCOMPARE(AccountRequest::currentApplicationId(), id);
    QCOMPARE(id, machineid::applicationId(machineId()));
}

void TestAccountRequest::updateSendsThePutWithTheAccount()
{
    CaptureServer server;
    AccountRequest request;
    pointAt(request, server);
    ReplyCounter replies(request);
    Account account;
    account.setFirstName(QStringLiteral("Dana"));
    account.setEmails({ QStringLiteral("dana@example.org") });
    request.updateAccount(account);
    QVERIFY(replies.waitFor(1));
    const CaptureServer::Request &got = server.requests.first();
    QCOMPARE(got.method, QByteArray("PUT"));
    QCOMPARE(got.target, "/webservice-5.0/account/demo" + demoQuery());
    QCOMPARE(got.body, jsonBody(account.toVariant()));
}

void TestAccountRequest::listAndBareObjectGiveTheSameAccount_data()
{
    QTest::addColumn<QByteArray>("reply");
    QTest::newRow("one-element array") << "[" + accountObject + "]";
    QTest::newRow("bare object") << accountObject;
    QTest::newRow("array of two takes the first")
        << "[" + accountObject + R"(, {"username":"other","sipUser":"other"}])";
}

void TestAccountRequest::listAndBareObjectGiveTheSameAccount()
{
    QFETCH(QByteArray, reply);
    AccountRequest request;
    QSignalSpy finished(&request, &AccountRequest::finished);
    QSignalSpy errors(&request, &RestRequest::requestError);
    request.onFinish(reply, 200);
    QCOMPARE(errors.count(), 0);
    QCOMPARE(finished.count(), 1);
    const Account account = finished.first().first().value<Account>();
    QCOMPARE(account.username(), QStringLiteral("demo"));
    QCOMPARE(account.firstName(), QStringLiteral("Dana"));
    QCOMPARE(account.sipUser(), QStringLiteral("dana"));
    QCOMPARE(account.sipDomain(), QStringLiteral("voice.example"));
    QCOMPARE(account.sipPassword(), QStringLiteral("Voice-Secret-2"));
    QCOMPARE(account.password(), QStringLiteral("Web-Secret-1"));
    QCOMPARE(account.phones(), QStringList { QStringLiteral("52871934-01") });
    QVERIFY(account.errorMessage().isEmpty());
}

void TestAccountRequest::serviceErrorArrivesInsideTheAccount()
{
    AccountRequest request;
    QSignalSpy finished(&request, &AccountRequest::finished);
    QSignalSpy errors(&request, &RestRequest::requestError);
    request.onFinish(R"({"class":"com.zorvanglobe.phone.integration.Account","errorMessage":"User not found!",
        "fieldErrors":[{"field":"password","errorCode":"invalid"}],"fieldHints":[]})",
        200);
    QCOMPARE(errors.count(), 0);
    QCOMPARE(finished.count(), 1);
    const Account account = finished.first().first().value<Account>();
    QCOMPARE(account.errorMessage(), QStringLiteral("User not found!"));
    QCOMPARE(account.fieldErrors().size(), 1);
    QVERIFY(account.sipUser().isEmpty());
}

void TestAccountRequest::unparsableReplyIsARequestError_data()
{
    QTest::addColumn<QByteArray>("reply");
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("HTML page") << QByteArray("<html><body>Service temporarily unavailable</body></html>");
    QTest::newRow("truncated") << accountObject.left(60);
}

void TestAccountRequest::unparsableReplyIsARequestError()
{
    QFETCH(QByteArray, reply);
    AccountRequest request;
    QSignalSpy finished(&request, &AccountRequest::finished);
    QSignalSpy errors(&request, &RestRequest::requestError);
    request.onFinish(reply, 200);
    QCOMPARE(finished.count(), 0);
    QCOMPARE(errors.count(), 1);
}

void TestAccountRequest::repliesAreNeverTracedWithTheirPasswords_data()
{
    QTest::addColumn<QByteArray>("reply");
    QTest::newRow("bare object") << accountObject;
    QTest::newRow("one-element array") << "[" + accountObject + "]";
    QTest::newRow("truncated after the passwords") << accountObject.left(accountObject.size() - 20);
    QTest::newRow("garbage after the passwords") << "<" + accountObject;
}

void TestAccountRequest::repliesAreNeverTracedWithTheirPasswords()
{
    QFETCH(QByteArray, reply);
    LogCapture log;
    AccountRequest request;
    request.onFinish(reply, 200);
    QVERIFY2(!log.contains(QStringLiteral("Web-Secret-1")), qPrintable(log.text()));
    QVERIFY2(!log.contains(QStringLiteral("Voice-Secret-2")), qPrintable(log.text()));
}

void TestAccountRequest::onlyTheSignInFetchReportsProxyFailures_data()
{
    QTest::addColumn<bool>("fetch");
    QTest::newRow("sign-in fetch") << true;
    QTest::newRow("profile update") << false;
}

void TestAccountRequest::onlyTheSignInFetchReportsProxyFailures()
{
    QFETCH(bool, fetch);
    QTcpServer probe;
    QVERIFY(probe.listen(QHostAddress::LocalHost, 0));
    const quint16 refused = probe.serverPort();
    probe.close();

    AccountRequest request;
    request.setServiceUrls(serviceUrlsAt(QStringLiteral("https://service.invalid")));
    request.networkManager()->setProxy(
        QNetworkProxy(QNetworkProxy::HttpProxy, QStringLiteral("127.0.0.1"), refused));
    QSignalSpy errors(&request, &RestRequest::requestError);
    QSignalSpy proxyErrors(&request, &RestRequest::proxyConnectionError);
    if (fetch)
        request.getAccount();
    else
        request.updateAccount(Account());
    QVERIFY(QTest::qWaitFor([&]() { return errors.count() + proxyErrors.count() > 0; }, 10000));
    QCOMPARE(proxyErrors.count(), fetch ? 1 : 0);
    QCOMPARE(errors.count(), fetch ? 0 : 1);
}

QTEST_GUILESS_MAIN(TestAccountRequest)
#include "tst_accountrequest.moc"
