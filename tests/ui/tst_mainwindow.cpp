#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QNetworkProxy>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include "application.h"
#include "history/history.h"
#include "history/loginhistory.h"
#include "modalwatcher.h"
#include "phone/phone.h"
#include "settings/settings.h"
#include "ui/contentwidget.h"
#include "ui/mainwindow.h"
#include "ui/minimizetotraydialog.h"
#include "util/dbstore.h"

// The main window with a phone controller that reaches no service: sign-in and sign-out states,
// messages, the proxy fallback, the tray hint and suspend.
class TstMainWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void cleanupTestCase();
    void signedOutState();
    void callPhoneNumberNeedsASignIn();
    void signInAndOut();
    void remembersTheSignIn();
    void loginFailureMessages_data();
    void loginFailureMessages();
    void connectionMessages_data();
    void connectionMessages();
    void detectedProxyIsTriedOnce();
    void noProxyMeansStaySignedOut_data();
    void noProxyMeansStaySignedOut();
    void closeHidesWithAHintOnce();
    void suspendSignsOut();
    void powerEventBeforeTheWindow();
    void proxySettingsForSystemProxies_data();
    void proxySettingsForSystemProxies();

private:
    void signInByPhone();
    // What the phone does before it reports a failed sign-in: it is signed out again.
    void failSignIn(int error)
    {
        phone->logout();
        window->onLoginFailed(error);
    }

    QTemporaryDir folder;
    std::unique_ptr<DbStore> store;
    std::unique_ptr<Settings> settings;
    std::unique_ptr<History> history;
    Phone *phone = nullptr;
    MainWindow *window = nullptr;
};

void TstMainWindow::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
    store = std::make_unique<DbStore>();
    store->setDataFolder(folder.path());
    store->loadDatabases();
    QVERIFY(store->isOpen());
    settings = std::make_unique<Settings>(store.get());
    settings->setShowWelcome(false);
    history = std::make_unique<History>();
}

void TstMainWindow::init()
{
    phone = new Phone;
    window = new MainWindow;
    window->setSettings(settings.get());
    window->setPhone(phone);
    window->setHistory(history.get());
    window->showLogIn();
}

void TstMainWindow::cleanup()
{
    delete window;
    delete phone;
    QNetworkProxy::setApplicationProxy(QNetworkProxy(QNetworkProxy::NoProxy));
}

void TstMainWindow::cleanupTestCase()
{
    history.reset();
    settings.reset();
    store->closeDatabases();
}

void TstMainWindow::signInByPhone()
{
    window->onLoginClicked(QStringLiteral("demo"), QStringLiteral("demo-pw"));
    emit phone->loginSuccessful();
}

void TstMainWindow::signedOutState()
{
    QVERIFY(!window->isLoggedIn());
    QCOMPARE(window->logoutCloseText(), QStringLiteral("CLOSE"));
    for (QAction *action : window->loggedInActions())
        QVERIFY2(!action->isEnabled(), qPrintable(action->objectName()));
    auto *contacts = window->windowMenuBar()->findChild<QMenu *>(QStringLiteral("menuContacts"));
    QVERIFY(!contacts->menuAction()->isVisible());
    QCOMPARE(window->contentWidget()->currentView(), ContentWidget::LoginView);
    QVERIFY(window->testAttribute(Qt::WA_TranslucentBackground));
    QVERIFY(window->windowFlags() & Qt::FramelessWindowHint);
    QCOMPARE(window->minimumSize(), QSize(340, 600));
    QCOMPARE(window->trayMenu()->actions().last()->text(), QStringLiteral("Quit"));
}

void TstMainWindow::callPhoneNumberNeedsASignIn()
{
    auto *action = window->findChild<QAction *>(QStringLiteral("action_Call_Phone_number"));
    QVERIFY(!action->isEnabled());
    // Even when reached another way, the dial pad does not open without a sign-in.
    window->onCallPhoneNumberTriggered();
    QCOMPARE(window->contentWidget()->currentView(), ContentWidget::LoginView);
}

void TstMainWindow::signInAndOut()
{
    signInByPhone();
    QVERIFY(window->isLoggedIn());
    QCOMPARE(window->contentWidget()->currentView(), ContentWidget::DialPadView);
    QCOMPARE(window->logoutCloseText(), QStringLiteral("LOGOUT"));
    for (QAction *action : window->loggedInActions())
        QVERIFY(action->isEnabled());
    // A reconnect signs in again without moving the user.
    window->contentWidget()->showView(ContentWidget::SmsView, false);
    emit phone->loginSuccessful();
    QCOMPARE(window->contentWidget()->currentView(), ContentWidget::SmsView);

    window->doLogOut();
    QVERIFY(!window->isLoggedIn());
    QCOMPARE(window->contentWidget()->currentView(), ContentWidget::LoginView);
    QCOMPARE(window->logoutCloseText(), QStringLiteral("CLOSE"));
    QCOMPARE(phone->state(), Phone::State::SignedOut);
}

void TstMainWindow::remembersTheSignIn()
{
    settings->setRememberLogin(true);
    signInByPhone();
    QCOMPARE(settings->userName(), QStringLiteral("demo"));
    QCOMPARE(settings->password(), QStringLiteral("demo-pw"));
    QVERIFY(history->loginHistory()->names().contains(QStringLiteral("demo")));
    settings->setRememberLogin(false);
    window->doLogOut();
    QCOMPARE(settings->password(), QString());
}

void TstMainWindow::loginFailureMessages_data()
{
    QTest::addColumn<int>("error");
    QTest::addColumn<QString>("text");
    QTest::newRow("wrong credentials") << int(
        Phone::WrongCredentials) << QStringLiteral("Wrong credentials.\nCheck your username or password.");
    QTest::newRow("other user") << int(Phone::WrongUserForAccount)
                                << QStringLiteral("You can't login with a different user.");
    QTest::newRow("server") << int(Phone::ServerError)
                            << QStringLiteral("Problem on the server side.\nPlease try again later.");
    QTest::newRow("unknown code") << 42
                                  << QStringLiteral("Problem on the server side.\nPlease try again later.");
}

void TstMainWindow::loginFailureMessages()
{
    QFETCH(int, error);
    QFETCH(QString, text);
    window->contentWidget()->setLoginInProgress(true);
    ModalWatcher watcher;
    window->onLoginFailed(error);
    QVERIFY(watcher.seen());
    QCOMPARE(watcher.title, QStringLiteral("Login Failed"));
    QCOMPARE(watcher.text, text);
    QVERIFY(!window->contentWidget()->isLoginInProgress());
    QCOMPARE(window->contentWidget()->currentView(), ContentWidget::LoginView);
}

void TstMainWindow::connectionMessages_data()
{
    QTest::addColumn<QString>("slot");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("text");
    QTest::newRow("missed") << QStringLiteral("onConnectionMissed") << QStringLiteral("Connection problem")
                            << QStringLiteral("Your internet connection is no longer available.");
    QTest::newRow("replaced") << QStringLiteral("onConnectionReplaced") << QStringLiteral("Remote login")
                              << QStringLiteral("You've logged in on another machine.");
    QTest::newRow("error") << QStringLiteral("onConnectionError") << QStringLiteral("Connection problem")
                           << QStringLiteral("Unknown connection error.\nPlease contact Customer Support.");
}

void TstMainWindow::connectionMessages()
{
    QFETCH(QString, slot);
    QFETCH(QString, title);
    QFETCH(QString, text);
    signInByPhone();
    ModalWatcher watcher;
    QVERIFY(QMetaObject::invokeMethod(window, slot.toLatin1().constData()));
    QVERIFY(watcher.seen());
    QCOMPARE(watcher.title, title);
    QCOMPARE(watcher.text, text);
    QVERIFY(!window->isLoggedIn());
    QCOMPARE(window->contentWidget()->currentView(), ContentWidget::LoginView);
}

void TstMainWindow::detectedProxyIsTriedOnce()
{
    const QNetworkProxy proxy(QNetworkProxy::HttpProxy, QStringLiteral("127.0.0.1"), 3128);
    window->setDetectedProxies({ proxy });
    window->onLoginClicked(QStringLiteral("demo"), QStringLiteral("demo"));
    {
        ModalWatcher watcher(QMessageBox::No);
        failSignIn(Phone::ConnectionFailed);
        // The detected proxy goes in silently and the sign-in runs again.
        QVERIFY(!watcher.seen());
        QCOMPARE(QNetworkProxy::applicationProxy().hostName(), QStringLiteral("127.0.0.1"));
        QCOMPARE(QNetworkProxy::applicationProxy().port(), quint16(3128));
        QVERIFY(window->contentWidget()->isLoginInProgress());
        QCOMPARE(phone->state(), Phone::State::AccountRequested);
    }
    {
        // It failed with the proxy too: now the user is asked, and "No" leaves the user signed out.
        ModalWatcher watcher(QMessageBox::No);
        failSignIn(Phone::ProxyFailed);
        QVERIFY(watcher.seen());
        QVERIFY(watcher.text.endsWith(QStringLiteral("Do you use a proxy?")));
        QVERIFY(!window->contentWidget()->isLoginInProgress());
        QCOMPARE(phone->state(), Phone::State::SignedOut);
        QCOMPARE(settings->customProxy(), false);
    }
    // A new sign-in by the user may try the proxy again.
    window->onLoginClicked(QStringLiteral("demo"), QStringLiteral("demo"));
    ModalWatcher watcher(QMessageBox::No);
    failSignIn(Phone::ConnectionFailed);
    QVERIFY(!watcher.seen());
    QVERIFY(window->contentWidget()->isLoginInProgress());
}

void TstMainWindow::noProxyMeansStaySignedOut_data()
{
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("dialogAccepts");
    QTest::addColumn<bool>("signsInAgain");
    QTest::newRow("No") << int(QMessageBox::No) << false << false;
    QTest::newRow("Yes, then Cancel") << int(QMessageBox::Yes) << false << false;
    QTest::newRow("Yes, then OK") << int(QMessageBox::Yes) << true << true;
}

void TstMainWindow::noProxyMeansStaySignedOut()
{
    QFETCH(int, answer);
    QFETCH(bool, dialogAccepts);
    QFETCH(bool, signsInAgain);
    int dialogRuns = 0;
    window->setProxyDialogRunner([&](talk::ProxySettings &proxy, const QString &message) {
        ++dialogRuns;
        [&] { QVERIFY(message.startsWith(QStringLiteral("There seems to be a problem"))); }();
        proxy = talk::ProxySettings(talk::ProxySettings::Socks, QStringLiteral("127.0.0.1"), 1080);
        return dialogAccepts;
    });
    window->onLoginClicked(QStringLiteral("demo"), QStringLiteral("demo"));
    ModalWatcher watcher { QMessageBox::StandardButton(answer) };
    failSignIn(Phone::ConnectionFailed);
    QVERIFY(watcher.seen());
    QCOMPARE(watcher.title, QStringLiteral("Login Failed"));
    QCOMPARE(dialogRuns, answer == QMessageBox::Yes ? 1 : 0);
    QCOMPARE(window->contentWidget()->isLoginInProgress(), signsInAgain);
    QCOMPARE(phone->state() == Phone::State::AccountRequested, signsInAgain);
    QCOMPARE(settings->customProxy(), signsInAgain);
    if (signsInAgain)
        QCOMPARE(settings->proxySettings().port(), 1080);
    settings->setCustomProxy(false);
}

void TstMainWindow::closeHidesWithAHintOnce()
{
    settings->setMinimizeToTrayOnClose(true);
    settings->setMinimizeToTrayHint(true);
    window->show();
    int hints = 0;
    QTimer poll;
    connect(&poll, &QTimer::timeout, this, [&hints]() {
        auto *hint = qobject_cast<MinimizeToTrayDialog *>(QApplication::activeModalWidget());
        if (!hint)
            return;
        ++hints;
        hint->findChild<QCheckBox *>(QStringLiteral("dontShowAgainCheckBox"))->setChecked(true);
        hint->findChild<QPushButton *>(QStringLiteral("closeButton"))->click();
    });
    poll.start(20);
    window->onCloseTriggered();
    QVERIFY(window->isHidden());
    QCOMPARE(hints, 1);
    QCOMPARE(settings->minimizeToTrayHint(), false);
    window->onShowPhoneActionTriggered();
    QVERIFY(window->isVisible());
    window->onCloseTriggered();
    QVERIFY(window->isHidden());
    QCOMPARE(hints, 1);
    settings->setMinimizeToTrayHint(true);
}

void TstMainWindow::suspendSignsOut()
{
    signInByPhone();
    window->setPowerState(MainWindow::PowerSuspended);
    QCOMPARE(window->powerState(), int(MainWindow::PowerSuspended));
    QVERIFY(!window->isLoggedIn());
    QCOMPARE(window->contentWidget()->currentView(), ContentWidget::LoginView);
    // The same state again changes nothing.
    signInByPhone();
    window->setPowerState(MainWindow::PowerSuspended);
    QVERIFY(window->isLoggedIn());
    window->setPowerState(MainWindow::PowerResumed);
    QCOMPARE(window->powerState(), int(MainWindow::PowerResumed));
    QVERIFY(window->isLoggedIn());
}

void TstMainWindow::powerEventBeforeTheWindow()
{
    auto *app = applicationInstance();
    QVERIFY(app);
    QVERIFY(!app->mainWindow());
    // During the splash screen there is no window yet: remembered, not a crash.
    app->onPowerStateChanged(MainWindow::PowerSuspended);
    app->onPowerStateChanged(MainWindow::PowerResumed);
    QVERIFY(!app->mainWindow());
}

void TstMainWindow::proxySettingsForSystemProxies_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("mapped");
    QTest::addColumn<QString>("user");
    QTest::newRow("HTTP") << int(QNetworkProxy::HttpProxy) << int(talk::ProxySettings::Https) << QString();
    QTest::newRow("caching HTTP") << int(QNetworkProxy::HttpCachingProxy) << int(talk::ProxySettings::Https)
                                  << QString();
    QTest::newRow("SOCKS 5 with user")
        << int(QNetworkProxy::Socks5Proxy) << int(talk::ProxySettings::Socks) << QStringLiteral("ann");
    QTest::newRow("none") << int(QNetworkProxy::NoProxy) << int(talk::ProxySettings::NoProxy) << QString();
    QTest::newRow("default") << int(QNetworkProxy::DefaultProxy) << int(talk::ProxySettings::Unset)
                             << QString();
}

void TstMainWindow::proxySettingsForSystemProxies()
{
    QFETCH(int, type);
    QFETCH(int, mapped);
    QFETCH(QString, user);
    QNetworkProxy proxy(QNetworkProxy::ProxyType(type), QStringLiteral("proxy.local"), 8080, user,
        user.isEmpty() ? QString() : QStringLiteral("pw"));
    const talk::ProxySettings settings = MainWindow::proxySettingsFor(proxy);
    QCOMPARE(settings.type(), mapped);
    QCOMPARE(settings.host(), QStringLiteral("proxy.local"));
    QCOMPARE(settings.port(), 8080);
    QCOMPARE(settings.auth(), !user.isEmpty());
    QCOMPARE(settings.user(), user);
}

int main(int argc, char **argv)
{
    // The program's own application object, as main builds it (not started: no log, no splash).
    Application app(argc, argv);
    TstMainWindow test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_mainwindow.moc"
