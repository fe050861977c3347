#include "webserviceemulator.h"

#include "homeurls.h"
#include "serviceurls.h"

#include <signal.h>

#include <QEventLoop>
#include <QFile>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QSettings>
#include <QStandardPaths>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QtTest>

class TestWebServiceEmulator : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void startsOnAFreePortWithItsOwnCa();
    void answersOverVerifiedTls();
    void refusesClientsWithoutTheCa();
    void faultHitsOnlyItsResource();
    void dropReachesTheClient();
    void resetRestoresTheSeed();
    void stateHoldsAccountsAndARedactedRequestLog();
    void limitsAndAccountsCanBeChanged();
    void urlFileHasEveryKey_data();
    void urlFileHasEveryKey();
    void urlFileKeysAreComplete();
    void exportEnvironmentSetsBothVariables();
    void programReadsTheWrittenFile();
    void twoEmulatorsShareACa();
    void stopLeavesNoProcess();
    void destructorStopsTheProcess();
    void failedStartReportsAndLeavesNothing();

private:
    struct Reply
    {
        QNetworkReply::NetworkError error = QNetworkReply::NoError;
        int status = 0;
        QByteArray body;
    };
    static Reply get(const QUrl &url, const QSslConfiguration &ssl);
    static QUrl balanceUrl(const WebServiceEmulator &emu);
    static bool processAlive(qint64 pid);

    WebServiceEmulator emu;
};

void TestWebServiceEmulator::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
    QVERIFY2(emu.start(), qPrintable(emu.errorString()));
}

TestWebServiceEmulator::Reply TestWebServiceEmulator::get(const QUrl &url, const QSslConfiguration &ssl)
{
    QNetworkAccessManager manager;
    QNetworkRequest request(url);
    request.setSslConfiguration(ssl);
    QNetworkReply *reply = manager.get(request);
    QEventLoop loop;
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    QTimer::singleShot(30000, reply, &QNetworkReply::abort);
    if (!reply->isFinished())
        loop.exec();
    Reply result;
    result.error = reply->error();
    result.status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    result.body = reply->readAll();
    delete reply;
    return result;
}

QUrl TestWebServiceEmulator::balanceUrl(const WebServiceEmulator &emu)
{
    return QUrl(
        emu.serviceUrl(QStringLiteral("balance")) + QStringLiteral("/demo?username=demo&password=demo"));
}

bool TestWebServiceEmulator::processAlive(qint64 pid)
{
    return pid > 0 && ::kill(pid_t(pid), 0) == 0;
}

void TestWebServiceEmulator::startsOnAFreePortWithItsOwnCa()
{
    QVERIFY(emu.isRunning());
    QVERIFY(emu.port() != 0);
    QCOMPARE(emu.baseUrl().toString(), QStringLiteral("https://127.0.0.1:%1").arg(emu.port()));
    QVERIFY(emu.caFile().startsWith(emu.stateDir()));
    QVERIFY(QFile::exists(emu.caFile()));
}

void TestWebServiceEmulator::answersOverVerifiedTls()
{
    const Reply reply = get(balanceUrl(emu), emu.sslConfiguration());
    QCOMPARE(reply.error, QNetworkReply::NoError);
    QCOMPARE(reply.status, 200);
    const QJsonArray balances = QJsonDocument::fromJson(reply.body).array();
    QCOMPARE(balances.size(), 1);
    QCOMPARE(balances.at(0).toObject().value(QStringLiteral("credit")).toDouble(), 12.5);
    QCOMPARE(balances.at(0).toObject().value(QStringLiteral("class")).toString(),
        QStringLiteral("com.zorvanglobe.phone.integration.Balance"));
}

void TestWebServiceEmulator::refusesClientsWithoutTheCa()
{
    const Reply reply = get(balanceUrl(emu), QSslConfiguration::defaultConfiguration());
    QCOMPARE(reply.error, QNetworkReply::SslHandshakeFailedError);
}

void TestWebServiceEmulator::faultHitsOnlyItsResource()
{
    QVERIFY2(
        emu.injectFault(QStringLiteral("500"), 1, QStringLiteral("balance")), qPrintable(emu.errorString()));
    const QUrl live(emu.serviceUrl(QStringLiteral("realTimeBalance"))
        + QStringLiteral("/demo?username=demo&password=demo"));
    QCOMPARE(get(live, emu.sslConfiguration()).status, 200);
    const Reply faulted = get(balanceUrl(emu), emu.sslConfiguration());
    QCOMPARE(faulted.status, 500);
    QCOMPARE(faulted.error, QNetworkReply::InternalServerError);
    QCOMPARE(get(balanceUrl(emu), emu.sslConfiguration()).status, 200);

    QVERIFY(emu.injectFault(QStringLiteral("drop"), 3));
    QVERIFY(emu.clearFaults());
    QCOMPARE(get(balanceUrl(emu), emu.sslConfiguration()).status, 200);
}

void TestWebServiceEmulator::dropReachesTheClient()
{
    // Qt sends a request again, up to three times, when the connection closes before any answer.
    QVERIFY(emu.clearFaults());
    QVERIFY(emu.injectFault(
        QStringLiteral("drop"), WebServiceEmulator::dropsSeenByQt, QStringLiteral("balance")));
    const Reply reply = get(balanceUrl(emu), emu.sslConfiguration());
    QCOMPARE(reply.error, QNetworkReply::RemoteHostClosedError);
    QVERIFY(emu.state().object().value(QStringLiteral("faults")).toArray().isEmpty());
    QCOMPARE(get(balanceUrl(emu), emu.sslConfiguration()).status, 200);
}

void TestWebServiceEmulator::resetRestoresTheSeed()
{
    QVERIFY(emu.patchAccount(QStringLiteral("demo"), { { QStringLiteral("credit"), 0.0 } }));
    QVERIFY(emu.injectFault(QStringLiteral("malformed")));
    QVERIFY(emu.reset());
    const QJsonObject demo = emu.state()
                                 .object()
                                 .value(QStringLiteral("accounts"))
                                 .toObject()
                                 .value(QStringLiteral("demo"))
                                 .toObject();
    QCOMPARE(demo.value(QStringLiteral("credit")).toDouble(), 12.5);
    QVERIFY(emu.state().object().value(QStringLiteral("faults")).toArray().isEmpty());
}

void TestWebServiceEmulator::stateHoldsAccountsAndARedactedRequestLog()
{
    QVERIFY(emu.reset());
    get(balanceUrl(emu), emu.sslConfiguration());
    const QJsonObject state = emu.state().object();
    const QJsonObject accounts = state.value(QStringLiteral("accounts")).toObject();
    QVERIFY(accounts.contains(QStringLiteral("demo")));
    QVERIFY(accounts.contains(QStringLiteral("alice")));
    const QJsonArray requests = emu.requests();
    QCOMPARE(requests.size(), 1);
    const QJsonObject last = requests.last().toObject();
    QCOMPARE(last.value(QStringLiteral("resource")).toString(), QStringLiteral("balance"));
    QCOMPARE(last.value(QStringLiteral("pathUser")).toString(), QStringLiteral("demo"));
    QCOMPARE(last.value(QStringLiteral("query")).toObject().value(QStringLiteral("password")).toString(),
        QStringLiteral("********"));
}

void TestWebServiceEmulator::limitsAndAccountsCanBeChanged()
{
    QVERIFY(emu.setLimits({ { QStringLiteral("smsPerDay"), 1 } }));
    QCOMPARE(emu.state()
                 .object()
                 .value(QStringLiteral("limits"))
                 .toObject()
                 .value(QStringLiteral("smsPerDay"))
                 .toInt(),
        1);
    QVERIFY(!emu.setLimits({ { QStringLiteral("noSuchLimit"), 1 } }));
    QVERIFY(emu.errorString().contains(QStringLiteral("config")));
    QVERIFY(!emu.patchAccount(QStringLiteral("nobody"), { { QStringLiteral("credit"), 1.0 } }));
    QVERIFY(emu.reset());
}

void TestWebServiceEmulator::urlFileHasEveryKey_data()
{
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("path");

    const QString ws = QStringLiteral("Local.Webservices");
    const QString home = QStringLiteral("Local.HomeUrls");
    QTest::newRow("balance") << ws << "accountBalanceServiceBaseURL"
                             << "/webservice-5.0/balance";
    QTest::newRow("live balance") << ws << "accountLiveBalanceServiceBaseURL"
                                  << "/webservice-5.0/realTimeBalance";
    QTest::newRow("account") << ws << "accountServiceBaseURL"
                             << "/webservice-5.0/account";
    QTest::newRow("numbers") << ws << "accountVirtualNumberServiceBaseURL"
                             << "/webservice-5.0/onlineNumber";
    QTest::newRow("contact") << ws << "adressBookContactServiceBaseURL"
                             << "/webservice-5.0/contact";
    QTest::newRow("group") << ws << "adressBookGroupServiceBaseURL"
                           << "/webservice-5.0/group";
    QTest::newRow("invite") << ws << "accountInviteServiceBaseURL"
                            << "/webservice-5.0/invite";
    QTest::newRow("sms") << ws << "accountSMSServiceBaseURL"
                         << "/webservice-5.0/sms";
    QTest::newRow("bug report") << ws << "bugReportURL"
                                << "/webservice-5.0/bugReport";
    QTest::newRow("buy credit") << home << "buyCreditURL"
                                << "/eshop/talkvane/viewTalkvaneProduct.htm#buy";
    QTest::newRow("rates") << home << "viewRatesURL"
                           << "/eshop/talkvane/viewTalkvaneRatesPopup.htm";
    QTest::newRow("forgot password") << home << "forgotPasswordURL"
                                     << "/myaccount/forgotPassword.htm";
}

void TestWebServiceEmulator::urlFileHasEveryKey()
{
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(QString, path);

    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("urls.ini"));
    QVERIFY(emu.writeUrlsFile(file));
    QSettings ini(file, QSettings::IniFormat);
    ini.beginGroup(section);
    QCOMPARE(ini.value(key).toString(), emu.baseUrl().toString() + path);
}

void TestWebServiceEmulator::urlFileKeysAreComplete()
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("urls.ini"));
    QVERIFY(writeLocalUrlConfig(file, QUrl(QStringLiteral("https://127.0.0.1:4433"))));
    QSettings ini(file, QSettings::IniFormat);
    QCOMPARE(ini.childGroups(),
        QStringList({ QStringLiteral("Local.HomeUrls"), QStringLiteral("Local.Webservices") }));
    ini.beginGroup(QStringLiteral("Local.Webservices"));
    QCOMPARE(ini.childKeys().size(), 14);
    QCOMPARE(ini.value(QStringLiteral("voiceHost")).toString(), QStringLiteral("127.0.0.1"));
    QCOMPARE(ini.value(QStringLiteral("voicePort")).toInt(), 5223);
    ini.endGroup();
    ini.beginGroup(QStringLiteral("Local.HomeUrls"));
    QCOMPARE(ini.childKeys().size(), 9);
    QVERIFY(!writeLocalUrlConfig(file, QUrl()));
}

void TestWebServiceEmulator::exportEnvironmentSetsBothVariables()
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("urls.ini"));
    QVERIFY(emu.exportEnvironment(file, QStringLiteral("127.0.0.1"), 40123));
    QCOMPARE(QString::fromLocal8Bit(qgetenv("TALKVANE_CA_FILE")), emu.caFile());
    QCOMPARE(qgetenv("TALKVANE_BRAND"), QByteArray("Local"));
    QSettings ini(file, QSettings::IniFormat);
    QCOMPARE(ini.value(QStringLiteral("Local.Webservices/voicePort")).toInt(), 40123);
    QCOMPARE(QString::fromLocal8Bit(qgetenv("TALKVANE_URLS_FILE")), file);
    QVERIFY(QFile::exists(file));
}

void TestWebServiceEmulator::programReadsTheWrittenFile()
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("urls.ini"));
    QVERIFY(emu.exportEnvironment(file, QStringLiteral("127.0.0.1"), 40124));
    QCOMPARE(ServiceUrls::configurationFile(), file);
    const ServiceUrls urls = ServiceUrls::load();
    QCOMPARE(urls.accountServiceBaseURL, emu.serviceUrl(QStringLiteral("account")));
    QCOMPARE(urls.adressBookGroupServiceBaseURL, emu.serviceUrl(QStringLiteral("group")));
    QCOMPARE(urls.bugReportURL, emu.serviceUrl(QStringLiteral("bugReport")));
    QCOMPARE(urls.voicePort, 40124);
    const HomeUrls home = HomeUrls::load();
    QCOMPARE(home.buyCreditURL.fragment(), QStringLiteral("buy"));
    QCOMPARE(home.viewSMSRatesURL.port(), int(emu.port()));
}

void TestWebServiceEmulator::twoEmulatorsShareACa()
{
    QTemporaryDir caDir;
    WebServiceEmulator first;
    WebServiceEmulator second;
    QVERIFY2(first.start(caDir.path()), qPrintable(first.errorString()));
    QVERIFY2(second.start(caDir.path()), qPrintable(second.errorString()));
    QVERIFY(first.port() != second.port());
    QCOMPARE(first.caFile(), second.caFile());
    QCOMPARE(get(balanceUrl(second), first.sslConfiguration()).status, 200);
}

void TestWebServiceEmulator::stopLeavesNoProcess()
{
    WebServiceEmulator other;
    QVERIFY2(other.start(), qPrintable(other.errorString()));
    const quint16 port = other.port();
    const qint64 pid = other.processId();
    other.stop();
    QVERIFY(!other.isRunning());
    QVERIFY(!processAlive(pid));
    QTcpSocket socket;
    socket.connectToHost(QHostAddress::LocalHost, port);
    QVERIFY(!socket.waitForConnected(5000));
    QVERIFY(!other.reset());
    QVERIFY(other.start());
    QVERIFY(other.reset());
}

void TestWebServiceEmulator::destructorStopsTheProcess()
{
    qint64 pid = 0;
    {
        WebServiceEmulator scoped;
        QVERIFY2(scoped.start(), qPrintable(scoped.errorString()));
        pid = scoped.processId();
        QVERIFY(processAlive(pid));
    }
    QVERIFY(!processAlive(pid));
}

void TestWebServiceEmulator::failedStartReportsAndLeavesNothing()
{
    WebServiceEmulator broken;
    QVERIFY(!broken.start(QString(), QStringLiteral("/nonexistent/seed.json")));
    QVERIFY(broken.errorString().contains(QStringLiteral("exited")));
    QVERIFY(!broken.isRunning());
}

QTEST_GUILESS_MAIN(TestWebServiceEmulator)
#include "tst_webserviceemulator.moc"
