#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QSignalSpy>
#include <QTcpServer>
#include <QUrlQuery>
#include <QtTest>

#include "captureserver.h"
#include "logcapture.h"
#include "rest/group.h"
#include "rest/jsoncodec.h"
#include "rest/restrequest.h"

namespace {

// A request type that only records what reaches onFinish.
class RecordingRequest : public RestRequest
{
public:
    using RestRequest::RestRequest;

    struct Finish
    {
        QByteArray result;
        int status = 0;
        int verb = -1;
    };
    QList<Finish> finishes;
    bool proxyErrorsReported = false;

    void onFinish(const QByteArray &result, const int httpStatusCode) override
    {
        finishes.append({ result, httpStatusCode, verb() });
    }

protected:
    bool reportsProxyErrors(int) const override { return proxyErrorsReported; }
};

quint16 closedPort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();
}

QString queryValue(const QUrl &url, const QString &key)
{
    return QUrlQuery(url).queryItemValue(key, QUrl::FullyDecoded);
}

} // namespace

class TestRestRequest : public QObject
{
    Q_OBJECT
private slots:
    void collectionUrlForm();
    void itemUrlForm();
    void signInUrlForm();
    void credentialsReachTheServiceIntact_data();
    void credentialsReachTheServiceIntact();
    void itemIdIsOnePathSegment_data();
    void itemIdIsOnePathSegment();
    void loggableUrlHasNoQuery();
    void redactedHidesThePassword_data();
    void redactedHidesThePassword();
    void proxyErrorsAreClassifiedByCode_data();
    void proxyErrorsAreClassifiedByCode();
    void replyTextIsOneCharacterPerByte();
    void valueAsListTakesArraysOnly_data();
    void valueAsListTakesArraysOnly();
    void trustsTheExtraCaFile();

    void sendsHeadersMethodAndBody_data();
    void sendsHeadersMethodAndBody();
    void deleteCarriesNoBody();
    void sendingTwiceHandlesEachReplyOnce();
    void unknownVerbSendsNothing();
    void queryValuesAreEncodedOnTheWire();
    void eachReplyIsReadWithItsOwnVerb();
    void httpErrorEndsInRequestError();
    void emptyReplyReachesOnFinishWithItsStatus();
    void silentPeerEndsInRequestErrorAfterTheTimeout();
    void proxyFailureGoesWhereTheTypeSays_data();
    void proxyFailureGoesWhereTheTypeSays();
    void refusedConnectionWithoutProxyIsNoProxyFailure();
    void failureLogHoldsNoPassword();
};

void TestRestRequest::collectionUrlForm()
{
    const QUrl url = RestRequest::collectionUrl(QStringLiteral("https://ws.example/webservice-5.0/balance"),
        QStringLiteral("demo"), QStringLiteral("pw"));
    QCOMPARE(url.toString(QUrl::FullyEncoded),
        QStringLiteral("https://ws.example/webservice-5.0/balance/demo?username=demo&password=pw"));
}

void TestRestRequest::itemUrlForm()
{
    const QUrl url = RestRequest::itemUrl(QStringLiteral("https://ws.example/webservice-5.0/contact"),
        QStringLiteral("demo"), QStringLiteral("Ada1"), QStringLiteral("pw"));
    QCOMPARE(url.toString(QUrl::FullyEncoded),
        QStringLiteral("https://ws.example/webservice-5.0/contact/demo/Ada1?username=demo&password=pw"));
}

void TestRestRequest::signInUrlForm()
{
    const QUrl url = RestRequest::signInUrl(QStringLiteral("https://ws.example/webservice-5.0/account"),
        QStringLiteral("demo"), QStringLiteral("pw"), QStringLiteral("0123456789abcdef0123456789abcdef"));
    QCOMPARE(url.toString(QUrl::FullyEncoded),
        QStringLiteral("https://ws.example/webservice-5.0/account/demo?username=demo&password=pw"
                       "&appid=0123456789abcdef0123456789abcdef"));
}

void TestRestRequest::credentialsReachTheServiceIntact_data()
{
    QTest::addColumn<QString>("username");
    QTest::addColumn<QString>("password");
    QTest::newRow("ampersand and hash") << "bob"
                                        << "p&q#r";
    QTest::newRow("plus is no blank") << "bob"
                                      << "a+b";
    QTest::newRow("percent stays") << "bob"
                                   << "%41%";
    QTest::newRow("blank") << "bob"
                           << "a b";
    QTest::newRow("equals and question mark") << "bob"
                                              << "x=y?z";
    QTest::newRow("non-ASCII") << "bob" << QString::fromUtf8("p\xc3\xa4ss\xe2\x82\xac");
    QTest::newRow("all in the user name") << "a&b#c+d%e f/g?h"
                                          << "pw";
}

void TestRestRequest::credentialsReachTheServiceIntact()
{
    QFETCH(QString, username);
    QFETCH(QString, password);
    const QUrl url = RestRequest::signInUrl(
        QStringLiteral("https://ws.example/ws/account"), username, password, QStringLiteral("abc"));
    QVERIFY(url.isValid());
    QVERIFY(!url.hasFragment());
    QCOMPARE(QUrlQuery(url).queryItems().size(), 3);
    QCOMPARE(queryValue(url, QStringLiteral("username")), username);
    QCOMPARE(queryValue(url, QStringLiteral("password")), password);
    QCOMPARE(queryValue(url, QStringLiteral("appid")), QStringLiteral("abc"));
    // The user name is exactly one path segment after the base.
    const QString path = url.path(QUrl::FullyEncoded);
    QVERIFY(path.startsWith(QLatin1String("/ws/account/")));
    const QString last = path.mid(QStringLiteral("/ws/account/").size());
    QVERIFY(!last.contains(QLatin1Char('/')));
    QCOMPARE(QUrl::fromPercentEncoding(last.toLatin1()), username);
}

void TestRestRequest::itemIdIsOnePathSegment_data()
{
    QTest::addColumn<QString>("itemId");
    QTest::newRow("hash") << "Tom #2";
    QTest::newRow("question mark") << "Ann?";
    QTest::newRow("slash") << "Mom/Dad";
    QTest::newRow("ampersand") << "Q&A #1";
    QTest::newRow("percent and plus") << "50%+1";
    QTest::newRow("non-ASCII") << QString::fromUtf8("Ren\xc3\xa9");
}

void TestRestRequest::itemIdIsOnePathSegment()
{
    QFETCH(QString, itemId);
    const QUrl url = RestRequest::itemUrl(QStringLiteral("https://ws.example/ws/contact"),
        QStringLiteral("demo"), itemId, QStringLiteral("pw"));
    QVERIFY(!url.hasFragment());
    QCOMPARE(queryValue(url, QStringLiteral("password")), QStringLiteral("pw"));
    const QStringList segments = url.path(QUrl::FullyEncoded).split(QLatin1Char('/'));
    QCOMPARE(segments.size(), 5); // "", "ws", "contact", user, item
    QCOMPARE(segments.at(3), QStringLiteral("demo"));
    QCOMPARE(QUrl::fromPercentEncoding(segments.at(4).toLatin1()), itemId);
}

void TestRestRequest::loggableUrlHasNoQuery()
{
    const QUrl url = RestRequest::collectionUrl(
        QStringLiteral("https://ws.example/ws/balance"), QStringLiteral("demo"), QStringLiteral("s3cret"));
    const QString logged = RestRequest::loggableUrl(url);
    QCOMPARE(logged, QStringLiteral("https://ws.example/ws/balance/demo"));
}

void TestRestRequest::redactedHidesThePassword_data()
{
    QTest::addColumn<QString>("password");
    QTest::addColumn<int>("form");
    const QString passwords[] = { QStringLiteral("s3cret"), QStringLiteral("b&b #1+%41 x"),
        QStringLiteral("proxy - pass"), QString::fromUtf8("p\xc3\xa4ss") };
    const QPair<const char *, int> forms[] = { { "pretty", int(QUrl::PrettyDecoded) },
        { "encoded", int(QUrl::FullyEncoded) }, { "reserved decoded", int(QUrl::DecodeReserved) } };
    for (const QString &password : passwords) {
        for (const auto &form : forms)
            QTest::addRow("%s, %s", qPrintable(password), form.first) << password << form.second;
    }
}

void TestRestRequest::redactedHidesThePassword()
{
    QFETCH(QString, password);
    QFETCH(int, form);
    const QUrl url = RestRequest::signInUrl(QStringLiteral("https://ws.example/ws/account"),
        QStringLiteral("demo"), password, QStringLiteral("ab12"));
    // The shape of Qt's HTTP error strings.
    const QString message = QStringLiteral("Error transferring %1 - server replied: Internal Server Error")
                                .arg(url.toString(QUrl::ComponentFormattingOption(form)));
    const QString safe = RestRequest::redacted(message, url);
    QVERIFY2(!safe.contains(password), qPrintable(safe));
    QVERIFY2(!safe.contains(QString::fromLatin1(QUrl::toPercentEncoding(password))), qPrintable(safe));
    QVERIFY(safe.contains(QLatin1String("https://ws.example/ws/account/demo")));
    QVERIFY(safe.contains(QLatin1String("server replied: Internal Server Error")));

    // A text that quotes the URL in some other form still loses the password value.
    const QString other = QStringLiteral("failed: ?username=demo&password=%1&appid=ab12").arg(password);
    QVERIFY(!RestRequest::redacted(other, QUrl()).contains(password));
}

void TestRestRequest::proxyErrorsAreClassifiedByCode_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<bool>("proxy");
    QTest::newRow("refused") << int(QNetworkReply::ProxyConnectionRefusedError) << true;
    QTest::newRow("closed") << int(QNetworkReply::ProxyConnectionClosedError) << true;
    QTest::newRow("not found") << int(QNetworkReply::ProxyNotFoundError) << true;
    QTest::newRow("timeout") << int(QNetworkReply::ProxyTimeoutError) << true;
    QTest::newRow("authentication") << int(QNetworkReply::ProxyAuthenticationRequiredError) << true;
    QTest::newRow("unknown proxy") << int(QNetworkReply::UnknownProxyError) << true;
    QTest::newRow("connection refused") << int(QNetworkReply::ConnectionRefusedError) << false;
    QTest::newRow("TLS") << int(QNetworkReply::SslHandshakeFailedError) << false;
    QTest::newRow("server error") << int(QNetworkReply::InternalServerError) << false;
    QTest::newRow("content not found") << int(QNetworkReply::ContentNotFoundError) << false;
}

void TestRestRequest::proxyErrorsAreClassifiedByCode()
{
    QFETCH(int, code);
    QFETCH(bool, proxy);
    QCOMPARE(RestRequest::isProxyError(QNetworkReply::NetworkError(code)), proxy);
}

void TestRestRequest::replyTextIsOneCharacterPerByte()
{
    const QByteArray bytes("caf\xc3\xa9\0tail", 10);
    const QString text = RestRequest::replyText(bytes);
    QCOMPARE(text.size(), 5);
    QCOMPARE(text.at(3).unicode(), ushort(0xc3));
    QCOMPARE(text.at(4).unicode(), ushort(0xa9));
    QVERIFY(!RestRequest::replyText(QByteArray()).isNull());
}

void TestRestRequest::valueAsListTakesArraysOnly_data()
{
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<int>("size");
    QTest::newRow("array") << QVariant(QVariantList { 1, 2 }) << 2;
    QTest::newRow("empty array") << QVariant(QVariantList()) << 0;
    QTest::newRow("object") << QVariant(QVariantMap { { QStringLiteral("a"), 1 } }) << 0;
    QTest::newRow("string") << QVariant(QStringLiteral("text")) << 0;
    QTest::newRow("number") << QVariant(qulonglong(3)) << 0;
    QTest::newRow("null") << QVariant() << 0;
}

void TestRestRequest::valueAsListTakesArraysOnly()
{
    QFETCH(QVariant, value);
    QFETCH(int, size);
    QCOMPARE(RestRequest::valueAsList(value).size(), size);
}

void TestRestRequest::trustsTheExtraCaFile()
{
    const QList<QSslCertificate> system = QSslConfiguration::defaultConfiguration().caCertificates();

    qunsetenv("TALKVANE_CA_FILE");
    QVERIFY(RestRequest::extraCaCertificates().isEmpty());
    QCOMPARE(RestRequest::sslConfiguration().peerVerifyMode(), QSslSocket::VerifyPeer);

    // A PEM file of our own making: one self-signed certificate.
    QTemporaryDir dir;
    const QString pem = dir.filePath(QStringLiteral("ca.pem"));
    QProcess openssl;
    openssl.start(QStringLiteral("openssl"),
        { QStringLiteral("req"), QStringLiteral("-x509"), QStringLiteral("-newkey"),
            QStringLiteral("rsa:2048"), QStringLiteral("-nodes"), QStringLiteral("-keyout"),
            dir.filePath(QStringLiteral("ca.key")), QStringLiteral("-out"), pem, QStringLiteral("-days"),
            QStringLiteral("2"), QStringLiteral("-subj"), QStringLiteral("/CN=Talkvane test CA") });
    QVERIFY(openssl.waitForFinished(60000));
    QCOMPARE(openssl.exitCode(), 0);
    qputenv("TALKVANE_CA_FILE", QFile::encodeName(pem));
    const QList<QSslCertificate> extra = RestRequest::extraCaCertificates();
    QCOMPARE(extra.size(), 1);
    const QSslConfiguration config = RestRequest::sslConfiguration();
    QVERIFY(config.caCertificates().contains(extra.first()));
    QCOMPARE(config.caCertificates().size(), system.size() + 1);
    QCOMPARE(config.peerVerifyMode(), QSslSocket::VerifyPeer);

    qputenv("TALKVANE_CA_FILE", QFile::encodeName(dir.filePath(QStringLiteral("missing.pem"))));
    QVERIFY(RestRequest::extraCaCertificates().isEmpty());
    qunsetenv("TALKVANE_CA_FILE");
}

void TestRestRequest::sendsHeadersMethodAndBody_data()
{
    QTest::addColumn<int>("verb");
    QTest::addColumn<QByteArray>("method");
    QTest::addColumn<bool>("withBody");
    QTest::newRow("GET") << int(RestRequest::Get) << QByteArray("GET") << false;
    QTest::newRow("POST") << int(RestRequest::Post) << QByteArray("POST") << true;
    QTest::newRow("PUT") << int(RestRequest::Put) << QByteArray("PUT") << true;
    QTest::newRow("PUT without a record") << int(RestRequest::Put) << QByteArray("PUT") << false;
}

void TestRestRequest::sendsHeadersMethodAndBody()
{
    QFETCH(int, verb);
    QFETCH(QByteArray, method);
    QFETCH(bool, withBody);
    CaptureServer server;
    server.setAnswer([](const CaptureServer::Request &) { return CaptureServer::Answer { 200, "{}" }; });
    RecordingRequest request;
    const Group group(QStringLiteral("Friends"));
    request.sendRequest(RestRequest::collectionUrl(server.baseUrl() + QStringLiteral("/ws/group"),
                            QStringLiteral("demo"), QStringLiteral("pw")),
        verb, withBody ? &group : nullptr);
    QCOMPARE(request.verb(), verb);
    QVERIFY(request.reply());
    QTRY_COMPARE_WITH_TIMEOUT(request.finishes.size(), 1, 10000);

    QCOMPARE(server.requests.size(), 1);
    const CaptureServer::Request &got = server.requests.first();
    QCOMPARE(got.method, method);
    QCOMPARE(got.target, QByteArray("/ws/group/demo?username=demo&password=pw"));
    QCOMPARE(got.headers.value("accept"), QByteArray("application/json;charset=\"utf-8\""));
    QCOMPARE(got.headers.value("content-type"), QByteArray("application/json;charset=\"utf-8\""));
    QCOMPARE(got.body, withBody ? JsonCodec::serialize(group.toVariant()) : QByteArray());
    QCOMPARE(request.finishes.first().result, QByteArray("{}"));
    QCOMPARE(request.finishes.first().status, 200);
    QCOMPARE(request.finishes.first().verb, verb);
}

void TestRestRequest::deleteCarriesNoBody()
{
    CaptureServer server;
    server.setAnswer([](const CaptureServer::Request &) { return CaptureServer::Answer { 204, {} }; });
    RecordingRequest request;
    const Group group(QStringLiteral("Friends"));
    request.sendRequest(
        QUrl(server.baseUrl() + QStringLiteral("/ws/group/demo/Friends")), RestRequest::Delete, &group);
    QTRY_COMPARE_WITH_TIMEOUT(request.finishes.size(), 1, 10000);
    QCOMPARE(server.requests.first().method, QByteArray("DELETE"));
    QVERIFY(server.requests.first().body.isEmpty());
    QCOMPARE(server.requests.first().headers.value("content-length", "0"), QByteArray("0"));
}

void TestRestRequest::sendingTwiceHandlesEachReplyOnce()
{
    CaptureServer server;
    RecordingRequest request;
    QSignalSpy finished(&request, &RestRequest::finishedRequest);
    request.sendRequest(QUrl(server.baseUrl() + QStringLiteral("/ws/1")), RestRequest::Get, nullptr);
    QVERIFY(finished.wait(10000));
    QCOMPARE(request.finishes.size(), 1);
    request.sendRequest(QUrl(server.baseUrl() + QStringLiteral("/ws/2")), RestRequest::Get, nullptr);
    QVERIFY(finished.wait(10000));
    QCOMPARE(finished.count(), 2);
    QCOMPARE(request.finishes.size(), 2);
}

void TestRestRequest::unknownVerbSendsNothing()
{
    CaptureServer server;
    RecordingRequest request;
    QSignalSpy errors(&request, &RestRequest::requestError);
    request.sendRequest(QUrl(server.baseUrl() + QStringLiteral("/ws")), 7, nullptr);
    QVERIFY(!request.reply());
    QCOMPARE(request.verb(), int(RestRequest::Get));
    // Something that does get sent afterwards is the first and only request the server sees.
    request.sendRequest(QUrl(server.baseUrl() + QStringLiteral("/ws")), RestRequest::Get, nullptr);
    QTRY_COMPARE_WITH_TIMEOUT(request.finishes.size(), 1, 10000);
    QCOMPARE(server.requests.size(), 1);
    QCOMPARE(errors.count(), 0);
}

void TestRestRequest::queryValuesAreEncodedOnTheWire()
{
    CaptureServer server;
    RecordingRequest request;
    const QString password = QStringLiteral("p&q#r+s%41 t");
    request.sendRequest(RestRequest::itemUrl(server.baseUrl() + QStringLiteral("/ws/contact"),
                            QStringLiteral("demo"), QStringLiteral("Tom #2/Q&A"), password),
        RestRequest::Get, nullptr);
    QTRY_COMPARE_WITH_TIMEOUT(request.finishes.size(), 1, 10000);
    QCOMPARE(server.requests.first().target,
        QByteArray("/ws/contact/demo/Tom%20%232%2FQ%26A?username=demo&password=p%26q%23r%2Bs%2541%20t"));
}

// Two requests of one object in flight, the first answered last: each reply is interpreted with the
// method of the request that produced it.
void TestRestRequest::eachReplyIsReadWithItsOwnVerb()
{
    CaptureServer server;
    server.setMode(CaptureServer::HoldFirstAnswer);
    server.setAnswer([](const CaptureServer::Request &r) { return CaptureServer::Answer { 200, r.method }; });
    RecordingRequest request;
    const Group group(QStringLiteral("Friends"));
    request.sendRequest(QUrl(server.baseUrl() + QStringLiteral("/ws/first")), RestRequest::Get, nullptr);
    QVERIFY(QSignalSpy(&server, &CaptureServer::requestReceived).wait(10000));
    request.sendRequest(QUrl(server.baseUrl() + QStringLiteral("/ws/second")), RestRequest::Put, &group);
    QTRY_COMPARE_WITH_TIMEOUT(request.finishes.size(), 1, 10000);
    QCOMPARE(request.verb(), int(RestRequest::Put));
    server.release();
    QTRY_COMPARE_WITH_TIMEOUT(request.finishes.size(), 2, 10000);
    QCOMPARE(request.finishes.at(0).result, QByteArray("PUT"));
    QCOMPARE(request.finishes.at(0).verb, int(RestRequest::Put));
    QCOMPARE(request.finishes.at(1).result, QByteArray("GET"));
    QCOMPARE(request.finishes.at(1).verb, int(RestRequest::Get));
}

void TestRestRequest::httpErrorEndsInRequestError()
{
    CaptureServer server;
    server.setAnswer([](const CaptureServer::Request &) { return CaptureServer::Answer { 500, "oops" }; });
    RecordingRequest request;
    QSignalSpy errors(&request, &RestRequest::requestError);
    QSignalSpy proxyErrors(&request, &RestRequest::proxyConnectionError);
    request.sendRequest(QUrl(server.baseUrl() + QStringLiteral("/ws")), RestRequest::Get, nullptr);
    QVERIFY(errors.wait(10000));
    QCOMPARE(errors.count(), 1);
    QCOMPARE(errors.first().first().toString(), QString());
    QCOMPARE(proxyErrors.count(), 0);
    QVERIFY(request.finishes.isEmpty());
}

void TestRestRequest::emptyReplyReachesOnFinishWithItsStatus()
{
    CaptureServer server;
    server.setAnswer([](const CaptureServer::Request &) { return CaptureServer::Answer { 204, {} }; });
    RecordingRequest request;
    request.sendRequest(QUrl(server.baseUrl() + QStringLiteral("/ws")), RestRequest::Delete, nullptr);
    QTRY_COMPARE_WITH_TIMEOUT(request.finishes.size(), 1, 10000);
    QCOMPARE(request.finishes.first().status, 204);
    QVERIFY(request.finishes.first().result.isEmpty());
}

void TestRestRequest::silentPeerEndsInRequestErrorAfterTheTimeout()
{
    CaptureServer server;
    server.setMode(CaptureServer::NeverAnswer);
    RecordingRequest request;
    QCOMPARE(request.transferTimeout(), RestRequest::defaultTransferTimeout);
    QCOMPARE(RestRequest::defaultTransferTimeout, 30000);
    request.setTransferTimeout(300);
    QSignalSpy errors(&request, &RestRequest::requestError);
    request.sendRequest(QUrl(server.baseUrl() + QStringLiteral("/ws")), RestRequest::Get, nullptr);
    QVERIFY(errors.wait(20000));
    QCOMPARE(server.requests.size(), 1);
    QVERIFY(request.finishes.isEmpty());
}

void TestRestRequest::proxyFailureGoesWhereTheTypeSays_data()
{
    QTest::addColumn<bool>("reported");
    QTest::addColumn<QString>("url");
    // The proxy is asked for these hosts; they are never looked up or contacted.
    const QString https = QStringLiteral("https://service.invalid/ws");
    const QString http = QStringLiteral("http://service.invalid/ws");
    QTest::newRow("HTTPS, the type reports proxy failures") << true << https;
    QTest::newRow("HTTPS, the type reports its own errors") << false << https;
    QTest::newRow("HTTP, the type reports proxy failures") << true << http;
    QTest::newRow("HTTP, the type reports its own errors") << false << http;
}

void TestRestRequest::proxyFailureGoesWhereTheTypeSays()
{
    QFETCH(bool, reported);
    QFETCH(QString, url);
    RecordingRequest request;
    request.proxyErrorsReported = reported;
    request.networkManager()->setProxy(
        QNetworkProxy(QNetworkProxy::HttpProxy, QStringLiteral("127.0.0.1"), closedPort()));
    QSignalSpy errors(&request, &RestRequest::requestError);
    QSignalSpy proxyErrors(&request, &RestRequest::proxyConnectionError);
    request.sendRequest(QUrl(url), RestRequest::Get, nullptr);
    QTRY_COMPARE_WITH_TIMEOUT(errors.count() + proxyErrors.count(), 1, 10000);
    QCOMPARE(proxyErrors.count(), reported ? 1 : 0);
    QCOMPARE(errors.count(), reported ? 0 : 1);
}

// Without a proxy a refused connection is the request's own failure, whatever the type says.
void TestRestRequest::refusedConnectionWithoutProxyIsNoProxyFailure()
{
    RecordingRequest request;
    request.proxyErrorsReported = true;
    request.networkManager()->setProxy(QNetworkProxy(QNetworkProxy::NoProxy));
    QSignalSpy errors(&request, &RestRequest::requestError);
    QSignalSpy proxyErrors(&request, &RestRequest::proxyConnectionError);
    request.sendRequest(
        QUrl(QStringLiteral("https://127.0.0.1:%1/ws").arg(closedPort())), RestRequest::Get, nullptr);
    QVERIFY(errors.wait(10000));
    QCOMPARE(proxyErrors.count(), 0);
}

void TestRestRequest::failureLogHoldsNoPassword()
{
    LogCapture log;
    CaptureServer server;
    server.setAnswer([](const CaptureServer::Request &) { return CaptureServer::Answer { 500, "oops" }; });
    RecordingRequest request;
    QSignalSpy errors(&request, &RestRequest::requestError);
    const QString password = QStringLiteral("Pr0xy&Secret #7");
    request.sendRequest(RestRequest::collectionUrl(server.baseUrl() + QStringLiteral("/ws/balance"),
                            QStringLiteral("demo"), password),
        RestRequest::Get, nullptr);
    QVERIFY(errors.wait(10000));
    QVERIFY(log.contains(QStringLiteral("Error =")));
    QVERIFY(log.contains(server.baseUrl() + QStringLiteral("/ws/balance/demo")));
    QVERIFY2(!log.contains(QStringLiteral("Pr0xy")), qPrintable(log.text()));
    QVERIFY2(!log.contains(QStringLiteral("Secret")), qPrintable(log.text()));
}

QTEST_GUILESS_MAIN(TestRestRequest)
#include "tst_restrequest.moc"
