#include <QNetworkProxy>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QtTest>

#include <memory>

#include "fakeengine.h"
#include "talk/mediaengine.h"
#include "talk/vesktalk.h"
#include "testhooks.h"

using talk::ProxySettings;
using talk::VeskTalk;

class TstVeskTalk : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void loadsTheGivenLibraryAndOpensLogFiles();
    void searchPathStartsBesideTheExecutable();
    void preloadTakesTheFirstThatLoads_data();
    void preloadTakesTheFirstThatLoads();
    void missingLibraryLeavesNoEngine();
    void failedCreationLeavesNoEngine();
    void loginPassesServerAndCredentialsWithoutLoggingThePassword();
    void loginRefusedAtOnceIsReportedAsFailure();
    void lostConnectionReplacedSchedulesNothing();
    void firstLoginLeavesReconnectsOff();
    void reconnectAfterLossCountsFromZeroToOne();
    void reconnectWaitsForNetworkWithoutCounting();
    void failedReconnectRetriesOnlyOnConnectionFailure_data();
    void failedReconnectRetriesOnlyOnConnectionFailure();
    void autoReconnectOffSchedulesNothing();
    void logoutCancelsPendingReconnect();
    void logoutStopsPollingForNetwork();
    void cancelReconnectVoidsScheduledReconnect();
    void newLossSupersedesOlderScheduledReconnect();
    void twoLoginsOfSameUserDoNotSetUserChanged();
    void presenceOncePerLogin();
    void mediaEngineCreatedOnceAtLoginCompletion();
    void proxyTypeSetsApplicationProxy_data();
    void proxyTypeSetsApplicationProxy();
    void failedProxyLeavesApplicationProxy();
    void proxyPasswordNeverLogged();
    void proxySettingsReadBackWithoutAuth();
    void closeLogFilesStopsBoth();
    void destructionLogsOutAndReleases();

private:
    std::unique_ptr<VeskTalk> makeTalk();
    void signIn(VeskTalk &talk, const QString &user = QStringLiteral("demo@localhost"));

    DelayRecorder delays;
    bool network = true;
};

void TstVeskTalk::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
    QCoreApplication::setApplicationName(QStringLiteral("Talkvane Talk Test"));
}

void TstVeskTalk::init()
{
    fake::clearCalls();
    fake::setCreateResult(true);
    delays.clear();
    network = true;
}

void TstVeskTalk::cleanup()
{
    QNetworkProxy::setApplicationProxy(QNetworkProxy(QNetworkProxy::NoProxy));
}

std::unique_ptr<VeskTalk> TstVeskTalk::makeTalk()
{
    auto talk = std::make_unique<VeskTalk>(QStringLiteral(FAKE_ENGINE_LIBRARY));
    talk->setDelayedCall(delays.hook());
    talk->setConnectivityCheck([this] { return network; });
    talk->setVoiceServer(QStringLiteral("127.0.0.1"), 5999);
    return talk;
}

void TstVeskTalk::signIn(VeskTalk &talk, const QString &user)
{
    talk.login(user, QStringLiteral("voice-secret"), true);
    fake::session()->completeLogin();
}

void TstVeskTalk::loadsTheGivenLibraryAndOpensLogFiles()
{
    auto talk = makeTalk();
    QVERIFY(talk->hasEngine());
    QCOMPARE(talk->loadedLibrary(), QStringLiteral(FAKE_ENGINE_LIBRARY));
    const QString dir = QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation);
    QCOMPARE(talk->xmppDumpFile(), dir + QStringLiteral("/veskxmpp.log"));
    QCOMPARE(talk->logFile(), dir + QStringLiteral("/vesktalk.log"));
    QVERIFY(fake::hasCall("SetXMPPDumpFile " + talk->xmppDumpFile().toStdString()));
    QVERIFY(fake::hasCall("SetLogFile " + talk->logFile().toStdString()));
    QVERIFY(QFileInfo(dir).isDir());
    QVERIFY(fake::allocatorCalls() > 0);
}

void TstVeskTalk::searchPathStartsBesideTheExecutable()
{
    const QStringList path = VeskTalk::librarySearchPath();
    QCOMPARE(path.size(), 2);
    QCOMPARE(path.at(0), QCoreApplication::applicationDirPath() + QStringLiteral("/libvesktalk.so"));
    QVERIFY(path.at(1).endsWith(QStringLiteral("/../lib/libvesktalk.so")));
}

void TstVeskTalk::preloadTakesTheFirstThatLoads_data()
{
    const QString engine = QStringLiteral(FAKE_ENGINE_LIBRARY);
    const QString missing = QStringLiteral("/nonexistent/libvesktalk.so");
    QTest::addColumn<QStringList>("candidates");
    QTest::addColumn<bool>("loaded");
    QTest::newRow("no candidates") << QStringList() << false;
    QTest::newRow("missing") << QStringList { missing } << false;
    QTest::newRow("the engine") << QStringList { engine } << true;
    QTest::newRow("missing, then the engine") << QStringList { missing, engine } << true;
}

void TstVeskTalk::preloadTakesTheFirstThatLoads()
{
    QFETCH(QStringList, candidates);
    QFETCH(bool, loaded);
    QCOMPARE(VeskTalk::preloadLibrary(candidates), loaded);
    if (!loaded)
        return;
    // What was loaded ahead serves the talk connection made afterwards.
    VeskTalk talk(candidates.last());
    QVERIFY(talk.hasEngine());
}

void TstVeskTalk::missingLibraryLeavesNoEngine()
{
    VeskTalk talk(QStringLiteral("/nonexistent/libvesktalk.so"));
    QVERIFY(!talk.hasEngine());
    QVERIFY(talk.loadedLibrary().isEmpty());
    QSignalSpy failed(&talk, &VeskTalk::loginFailed);
    talk.login(QStringLiteral("demo@localhost"), QStringLiteral("x"), true);
    talk.login(true);
    talk.logout();
    QVERIFY(failed.isEmpty());
    QVERIFY(!talk.isLoggedIn());
    QVERIFY(!talk.mediaEngine());
    QVERIFY(!talk.closeLogFiles());
    QVERIFY(!talk.setProxySettings(ProxySettings(1, QStringLiteral("proxy"), 3128)));
    QCOMPARE(talk.proxySettings(), ProxySettings());
    QVERIFY(talk.version().isEmpty());
}

void TstVeskTalk::failedCreationLeavesNoEngine()
{
    fake::setCreateResult(false);
    LogCapture log;
    VeskTalk talk(QStringLiteral(FAKE_ENGINE_LIBRARY));
    QVERIFY(!talk.hasEngine());
    QVERIFY(log.contains(QStringLiteral("Create IVeskTalk interface failed.")));
    QVERIFY(!fake::session());
}

void TstVeskTalk::loginPassesServerAndCredentialsWithoutLoggingThePassword()
{
    auto talk = makeTalk();
    LogCapture log;
    talk->login(QStringLiteral("demo@localhost"), QStringLiteral("voice-secret"), true);
    QVERIFY(fake::hasCall("SetServer 127.0.0.1:5999"));
    QVERIFY(fake::hasCall("Login demo@localhost tls=1"));
    QCOMPARE(fake::session()->password, std::string("voice-secret"));
    QVERIFY(log.contains(QStringLiteral("password=********")));
    QVERIFY(!log.contains(QStringLiteral("voice-secret")));
}

void TstVeskTalk::loginRefusedAtOnceIsReportedAsFailure()
{
    auto talk = makeTalk();
    fake::session()->loginResult = false;
    QSignalSpy failed(talk.get(), &VeskTalk::loginFailed);
    talk->login(QStringLiteral("nodomain"), QStringLiteral("x"), true);
    QCOMPARE(failed.size(), 1);
    QCOMPARE(failed.at(0).at(0).value<vesk::VESK_TALK_ERROR_CODE>(), vesk::VESK_TALK_ERROR_SERVER);
}

void TstVeskTalk::lostConnectionReplacedSchedulesNothing()
{
    auto talk = makeTalk();
    signIn(*talk);
    QSignalSpy lost(talk.get(), &VeskTalk::connectionLost);
    fake::session()->loseConnection(vesk::VESK_DISCONNECT_REPLACED);
    QCOMPARE(lost.size(), 1);
    QCOMPARE(lost.at(0).at(0).value<vesk::VESK_DISCONNECT_REASON>(), vesk::VESK_DISCONNECT_REPLACED);
    QVERIFY(delays.isEmpty());
    QCOMPARE(talk->reconnectCount(), -1);
}

void TstVeskTalk::firstLoginLeavesReconnectsOff()
{
    auto talk = makeTalk();
    QSignalSpy completed(talk.get(), &VeskTalk::loginCompleted);
    signIn(*talk);
    QCOMPARE(completed.size(), 1);
    QCOMPARE(talk->reconnectCount(), -1);
    QVERIFY(!talk->userChanged());
    QVERIFY(delays.isEmpty());
}

void TstVeskTalk::reconnectAfterLossCountsFromZeroToOne()
{
    auto talk = makeTalk();
    signIn(*talk);
    fake::clearCalls();
    fake::session()->loseConnection(vesk::VESK_DISCONNECT_MISSED);
    QCOMPARE(talk->reconnectCount(), 0);
    QCOMPARE(delays.count(), 1);
    const int delay = delays.delays().first();
    QVERIFY2(delay >= 1000 && delay < 2000, qPrintable(QString::number(delay)));
    QCOMPARE(fake::countCalls("Login "), 0);

    delays.runNext();
    QCOMPARE(talk->reconnectCount(), 1);
    QVERIFY(fake::hasCall("Login demo@localhost tls=1"));
    QCOMPARE(fake::session()->password, std::string("voice-secret"));

    QSignalSpy completed(talk.get(), &VeskTalk::loginCompleted);
    fake::session()->completeLogin();
    QCOMPARE(completed.size(), 1);
    QCOMPARE(talk->reconnectCount(), 1);
}

void TstVeskTalk::reconnectWaitsForNetworkWithoutCounting()
{
    auto talk = makeTalk();
    signIn(*talk);
    fake::clearCalls();
    network = false;
    fake::session()->loseConnection(vesk::VESK_DISCONNECT_ERROR);
    delays.runNext();
    for (int poll = 0; poll < 3; ++poll) {
        QCOMPARE(delays.delays(), QList<int>({ 1000 }));
        QCOMPARE(talk->reconnectCount(), 0);
        QCOMPARE(fake::countCalls("Login "), 0);
        delays.runNext();
    }
    network = true;
    QCOMPARE(delays.count(), 1);
    delays.runNext();
    QCOMPARE(talk->reconnectCount(), 1);
    QCOMPARE(fake::countCalls("Login "), 1);
}

void TstVeskTalk::failedReconnectRetriesOnlyOnConnectionFailure_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<bool>("retried");
    QTest::newRow("connection") << 4 << true;
    QTest::newRow("credentials") << 6 << false;
    QTest::newRow("server") << 1 << false;
    QTest::newRow("tls") << 2 << false;
}

void TstVeskTalk::failedReconnectRetriesOnlyOnConnectionFailure()
{
    QFETCH(int, code);
    QFETCH(bool, retried);
    auto talk = makeTalk();
    signIn(*talk);
    fake::session()->loseConnection(vesk::VESK_DISCONNECT_MISSED);
    delays.runNext();
    QVERIFY(delays.isEmpty());
    QSignalSpy failed(talk.get(), &VeskTalk::loginFailed);
    fake::session()->failLogin(vesk::VESK_TALK_ERROR_CODE(code));
    QCOMPARE(failed.size(), 1);
    QCOMPARE(delays.count(), retried ? 1 : 0);
    if (retried) {
        delays.runNext();
        QCOMPARE(talk->reconnectCount(), 2);
    }
}

void TstVeskTalk::autoReconnectOffSchedulesNothing()
{
    auto talk = makeTalk();
    talk->setAutoReconnect(false);
    QVERIFY(!talk->autoReconnect());
    signIn(*talk);
    fake::session()->loseConnection(vesk::VESK_DISCONNECT_MISSED);
    QVERIFY(delays.isEmpty());
}

void TstVeskTalk::logoutCancelsPendingReconnect()
{
    auto talk = makeTalk();
    signIn(*talk);
    fake::session()->loseConnection(vesk::VESK_DISCONNECT_MISSED);
    QCOMPARE(delays.count(), 1);
    talk->logout();
    QCOMPARE(talk->reconnectCount(), -1);
    fake::clearCalls();
    delays.runPending();
    QCOMPARE(fake::countCalls("Login "), 0);
    QVERIFY(delays.isEmpty());
}

void TstVeskTalk::logoutStopsPollingForNetwork()
{
    auto talk = makeTalk();
    signIn(*talk);
    network = false;
    fake::session()->loseConnection(vesk::VESK_DISCONNECT_MISSED);
    delays.runNext();
    QCOMPARE(delays.count(), 1);
    talk->logout();
    network = true;
    fake::clearCalls();
    delays.runPending();
    QVERIFY(delays.isEmpty());
    QCOMPARE(fake::countCalls("Login "), 0);
}

void TstVeskTalk::cancelReconnectVoidsScheduledReconnect()
{
    auto talk = makeTalk();
    signIn(*talk);
    fake::session()->loseConnection(vesk::VESK_DISCONNECT_MISSED);
    talk->cancelReconnect();
    fake::clearCalls();
    delays.runPending();
    QCOMPARE(fake::countCalls("Login "), 0);
}

void TstVeskTalk::newLossSupersedesOlderScheduledReconnect()
{
    auto talk = makeTalk();
    signIn(*talk);
    fake::session()->loseConnection(vesk::VESK_DISCONNECT_MISSED);
    talk->logout();
    signIn(*talk);
    fake::session()->loseConnection(vesk::VESK_DISCONNECT_MISSED);
    QCOMPARE(delays.count(), 2);
    fake::clearCalls();
    delays.runPending();
    // Only the reconnect of the second loss signs in.
    QCOMPARE(fake::countCalls("Login "), 1);
    QCOMPARE(talk->reconnectCount(), 1);
}

void TstVeskTalk::twoLoginsOfSameUserDoNotSetUserChanged()
{
    auto talk = makeTalk();
    talk->login(QStringLiteral("demo@localhost"), QStringLiteral("a"), true);
    QVERIFY(talk->userChanged());
    fake::session()->completeLogin();
    QVERIFY(!talk->userChanged());
    talk->login(QStringLiteral("demo@localhost"), QStringLiteral("a"), true);
    talk->login(QStringLiteral("demo@localhost"), QStringLiteral("a"), true);
    QVERIFY(!talk->userChanged());
    talk->login(QStringLiteral("alice@localhost"), QStringLiteral("b"), true);
    QVERIFY(talk->userChanged());
}

void TstVeskTalk::presenceOncePerLogin()
{
    auto talk = makeTalk();
    signIn(*talk);
    for (int i = 0; i < 3; ++i)
        fake::session()->receiveRoster();
    QCOMPARE(fake::countCalls("SendPresence"), 1);
    QVERIFY(fake::hasCall("SendPresence available=1 priority=5 show=0"));
    QVERIFY(talk->presenceSent());

    signIn(*talk);
    QVERIFY(!talk->presenceSent());
    fake::session()->receiveRoster();
    fake::session()->receiveRoster();
    QCOMPARE(fake::countCalls("SendPresence"), 2);
}

void TstVeskTalk::mediaEngineCreatedOnceAtLoginCompletion()
{
    auto talk = makeTalk();
    QCOMPARE(fake::countCalls("GetMediaEngine"), 0);
    signIn(*talk);
    QVERIFY(fake::hasCall("GetMediaEngine 0"));
    talk::MediaEngine *engine = talk->mediaEngine();
    QVERIFY(engine);
    signIn(*talk);
    QCOMPARE(talk->mediaEngine(), engine);
    QCOMPARE(fake::countCalls("GetMediaEngine"), 1);
}

void TstVeskTalk::proxyTypeSetsApplicationProxy_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("qtType");
    // Qt keeps an application proxy of type DefaultProxy as "no application proxy" (NoProxy), so that
    // the proxy factory, if any, decides again.
    QTest::newRow("unset") << 0 << int(QNetworkProxy::NoProxy);
    QTest::newRow("http") << 1 << int(QNetworkProxy::HttpProxy);
    QTest::newRow("socks") << 2 << int(QNetworkProxy::Socks5Proxy);
    QTest::newRow("none") << 3 << int(QNetworkProxy::NoProxy);
}

void TstVeskTalk::proxyTypeSetsApplicationProxy()
{
    QFETCH(int, type);
    QFETCH(int, qtType);
    auto talk = makeTalk();
    // Start from something else, so that each row shows a change.
    QNetworkProxy::setApplicationProxy(QNetworkProxy(QNetworkProxy::FtpCachingProxy, QStringLiteral("x"), 1));
    QVERIFY(talk->setProxySettings(ProxySettings(type, QStringLiteral("proxy.local"), 3128)));
    QVERIFY(fake::hasCall("SetProxy type=" + std::to_string(type) + " host=proxy.local port=3128 user="));
    const QNetworkProxy applied = QNetworkProxy::applicationProxy();
    QCOMPARE(int(applied.type()), qtType);
    if (qtType != int(QNetworkProxy::NoProxy)) {
        QCOMPARE(applied.hostName(), QStringLiteral("proxy.local"));
        QCOMPARE(int(applied.port()), 3128);
    }
}

void TstVeskTalk::failedProxyLeavesApplicationProxy()
{
    auto talk = makeTalk();
    fake::session()->setProxyResult = false;
    QNetworkProxy::setApplicationProxy(QNetworkProxy(QNetworkProxy::NoProxy));
    QVERIFY(!talk->setProxySettings(ProxySettings(1, QStringLiteral("proxy.local"), 3128)));
    QCOMPARE(QNetworkProxy::applicationProxy().type(), QNetworkProxy::NoProxy);
    QCOMPARE(fake::session()->liveObjects, 0);
}

void TstVeskTalk::proxyPasswordNeverLogged()
{
    auto talk = makeTalk();
    LogCapture log;
    const ProxySettings proxy(1, QStringLiteral("proxy.local"), 3128, true, QStringLiteral("pxuser"),
        QStringLiteral("px-Secret-42"));
    QVERIFY(talk->setProxySettings(proxy));
    QCOMPARE(fake::session()->proxy.password, std::string("px-Secret-42"));
    QVERIFY(log.contains(QStringLiteral("Proxy settings changed")));
    QVERIFY(log.contains(QStringLiteral("pxuser")));
    QVERIFY(log.contains(QStringLiteral("********")));
    QVERIFY(!log.contains(QStringLiteral("px-Secret-42")));
    QCOMPARE(QNetworkProxy::applicationProxy().password(), QStringLiteral("px-Secret-42"));
}

void TstVeskTalk::proxySettingsReadBackWithoutAuth()
{
    auto talk = makeTalk();
    QVERIFY(talk->setProxySettings(ProxySettings(
        2, QStringLiteral("socks.local"), 1080, true, QStringLiteral("u"), QStringLiteral("p"))));
    const ProxySettings back = talk->proxySettings();
    QCOMPARE(back.type(), 2);
    QCOMPARE(back.host(), QStringLiteral("socks.local"));
    QCOMPARE(back.port(), 1080);
    QCOMPARE(back.user(), QStringLiteral("u"));
    QCOMPARE(back.password(), QStringLiteral("p"));
    QVERIFY(!back.auth());
    QCOMPARE(fake::session()->liveObjects, 0);
}

void TstVeskTalk::closeLogFilesStopsBoth()
{
    auto talk = makeTalk();
    fake::clearCalls();
    QVERIFY(talk->closeLogFiles());
    QVERIFY(fake::hasCall("SetXMPPDumpFile (null)"));
    QVERIFY(fake::hasCall("SetLogFile (null)"));
    fake::session()->setLogResult = false;
    QVERIFY(!talk->closeLogFiles());
}

void TstVeskTalk::destructionLogsOutAndReleases()
{
    auto talk = makeTalk();
    signIn(*talk);
    QVERIFY(talk->mediaEngine());
    fake::clearCalls();
    talk.reset();
    QVERIFY(fake::hasCall("Logout"));
    QVERIFY(fake::hasCall("Release"));
    QVERIFY(!fake::session());
}

QTEST_GUILESS_MAIN(TstVeskTalk)
#include "tst_vesktalkwrapper.moc"
