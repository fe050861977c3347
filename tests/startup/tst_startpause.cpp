#include <QSignalSpy>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QtTest>

#include "application.h"
#include "objfactory.h"
#include "prefixprovider.h"
#include "rest/accountrequest.h"
#include "rest/restmanager.h"
#include "settings/settings.h"
#include "webserviceemulator.h"

// The pause before the main window: what the program prepares in it, and when it opens the web
// service's connection ahead of an automatic sign-in. The "service" is a bare listening socket that
// counts connections (their TLS handshakes fail, which must fail nothing).
class TstStartPause : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanup();
    void connectsAheadOnlyForAnAutomaticSignInWithoutOwnProxy_data();
    void connectsAheadOnlyForAnAutomaticSignInWithoutOwnProxy();
    void pauseMakesReadyWhatTheMainWindowNeeds();
    void mainWindowComesWithWhatThePausePrepared();

private:
    QTemporaryDir dir;
    QTcpServer service;
};

namespace {
const int waitMs = 10000;
}

void TstStartPause::initTestCase()
{
    QVERIFY(dir.isValid());
    QVERIFY(service.listen(QHostAddress::LocalHost, 0));
    const QString urls = dir.filePath(QStringLiteral("urls.ini"));
    QVERIFY(writeLocalUrlConfig(urls, QUrl(QStringLiteral("https://127.0.0.1:%1").arg(service.serverPort()))));
    qputenv("TALKVANE_URLS_FILE", urls.toLocal8Bit());
    qputenv("TALKVANE_BRAND", "Local");
}

void TstStartPause::cleanup()
{
    ObjFactory::destroyInstance();
    while (QTcpSocket *socket = service.nextPendingConnection())
        delete socket;
}

void TstStartPause::connectsAheadOnlyForAnAutomaticSignInWithoutOwnProxy_data()
{
    QTest::addColumn<bool>("autoLogin");
    QTest::addColumn<bool>("customProxy");
    QTest::addColumn<bool>("connected");
    QTest::newRow("automatic sign-in") << true << false << true;
    QTest::newRow("automatic sign-in through own proxy") << true << true << false;
    QTest::newRow("no automatic sign-in") << false << false << false;
    QTest::newRow("neither") << false << true << false;
}

void TstStartPause::connectsAheadOnlyForAnAutomaticSignInWithoutOwnProxy()
{
    QFETCH(bool, autoLogin);
    QFETCH(bool, customProxy);
    QFETCH(bool, connected);
    ObjFactory *factory = ObjFactory::instance();
    factory->settings()->setAutoLogin(autoLogin);
    factory->settings()->setCustomProxy(customProxy);
    QSignalSpy accepted(&service, &QTcpServer::newConnection);
    QSignalSpy signInFailed(factory->restManager(), &RestManager::accountRequestFailed);
    QSignalSpy errors(factory->restManager()->accountRequest(), &RestRequest::requestError);

    QCOMPARE(Application::connectAheadForAutoLogin(factory), connected);
    QCOMPARE(accepted.wait(connected ? waitMs : 300), connected);
    if (connected) {
        // The handshake with a socket that never answers is given up: no sign-in failed by it.
        service.nextPendingConnection()->close();
        QSignalSpy done(factory->restManager()->accountRequest()->networkManager(),
            &QNetworkAccessManager::finished);
        QVERIFY(done.wait(waitMs));
    }
    QCOMPARE(signInFailed.count(), 0);
    QCOMPARE(errors.count(), 0);
}

void TstStartPause::pauseMakesReadyWhatTheMainWindowNeeds()
{
    auto *app = applicationInstance();
    QVERIFY(app);
    QVERIFY(!app->prefixProvider());
    app->prepareInPause();
    QVERIFY(app->prefixProvider());
    QVERIFY(app->prefixProvider()->count() > 0);
    const PrefixProvider *prepared = app->prefixProvider();
    // Once only: initUI() asks again and finds it done.
    app->prepareInPause();
    QCOMPARE(app->prefixProvider(), prepared);
    QVERIFY(!app->mainWindow());
}

void TstStartPause::mainWindowComesWithWhatThePausePrepared()
{
    auto *app = applicationInstance();
    QVERIFY(app);
    QVERIFY(QApplication::windowIcon().isNull());
    QSignalSpy ready(app, &Application::uiReady);
    app->initUI();
    QCOMPARE(ready.count(), 1);
    QVERIFY(app->mainWindow());
    QVERIFY(app->mainWindow()->isVisible());
    QVERIFY(!QApplication::windowIcon().isNull());
    QVERIFY(!QApplication::windowIcon().availableSizes().isEmpty());
    app->shutdownUI();
    QVERIFY(!app->mainWindow());
}

int main(int argc, char **argv)
{
    // The program's own application object, not started: no log, no splash screen.
    Application app(argc, argv);
    TstStartPause test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_startpause.moc"
