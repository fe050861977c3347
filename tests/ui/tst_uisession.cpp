#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include "application.h"
#include "contactmanager.h"
#include "history/callhistory.h"
#include "history/history.h"
#include "homeurls.h"
#include "modalwatcher.h"
#include "numbers/numberhistory.h"
#include "objfactory.h"
#include "phone/phone.h"
#include "prefixprovider.h"
#include "rest/restmanager.h"
#include "settings/settings.h"
#include "talk/vesktalk.h"
#include "ui/contentwidget.h"
#include "ui/dialpadpage.h"
#include "ui/incomingcalldialog.h"
#include "ui/mainwindow.h"
#include "ui/missedcallsdialog.h"
#include "ui/numberedit.h"
#include "screenshots.h"
#include "voiceservice.h"
#include "webserviceemulator.h"

// A whole session through the windows, against the local web service, the local voice service and
// its telephone gateway: sign in, call, keypad tones, hang up, incoming and missed calls.
class TstUiSession : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void wrongPasswordIsRefused();
    void signInShowsPinAndBalance();
    void echoCallFromTheKeypad();
    void busyNumberShowsBusy();
    void incomingCallAnswered();
    void incomingCallDeclined();
    void unansweredCallIsMissed();

private:
    void signIn(const QString &user, const QString &password);
    void dial(const QString &digits);
    void waitForIncomingCall();
    bool gatewaySaid(const QByteArray &line);
    QPushButton *callButton() const;
    QList<CallHistoryEvent> callsTo(const QString &number) const;

    QTemporaryDir homeDir;
    QTemporaryDir caDir;
    QTemporaryDir urlsDir;
    std::unique_ptr<VoiceService> voice;
    WebServiceEmulator web;
    QProcess gateway;
    QByteArray gatewayOut;
    ObjFactory *factory = nullptr;
    talk::VeskTalk *talkConnection = nullptr;
    Phone *phone = nullptr;
    PrefixProvider *prefixes = nullptr;
    MainWindow *window = nullptr;
    ContentWidget *content = nullptr;
    DialPadPage *dialPad = nullptr;
};

static constexpr int waitMs = 60000;

void TstUiSession::initTestCase()
{
    // A fresh data folder each run: the history must hold only this run's calls.
    qputenv("HOME", QFile::encodeName(homeDir.path()));
    qputenv("XDG_DATA_HOME", QFile::encodeName(homeDir.filePath(QStringLiteral("share"))));
    QStandardPaths::setTestModeEnabled(true);
    // Headless: a test tone for the microphone, nothing to hear; an unanswered call gives up soon.
    qputenv("VESKTALK_AUDIO_SOURCE", "audiotestsrc is-live=true wave=sine freq=440 volume=0.3");
    qputenv("VESKTALK_AUDIO_SINK", "fakesink sync=true");
    qputenv("VESKTALK_RING_TIMEOUT_MS", "6000");
    qputenv("TALKVANE_CA_DIR", QFile::encodeName(caDir.path()));

    voice = std::make_unique<VoiceService>();
    QVERIFY2(voice->isRunning(), qPrintable(voice->error()));
    QVERIFY2(web.start(caDir.path()), qPrintable(web.errorString()));
    QVERIFY(web.exportEnvironment(
        urlsDir.filePath(QStringLiteral("urls.ini")), QStringLiteral("127.0.0.1"), voice->port()));

    gateway.start(qEnvironmentVariable("TALKVANE_BINARY_DIR") + QStringLiteral("/bin/gateway"),
        { voice->dir() + QStringLiteral("/voiceservice.env") });
    QVERIFY(gateway.waitForStarted(waitMs));
    QTRY_VERIFY_WITH_TIMEOUT(gatewaySaid("READY all"), waitMs);

    factory = new ObjFactory;
    talkConnection = new talk::VeskTalk(
        qEnvironmentVariable("TALKVANE_BINARY_DIR") + QStringLiteral("/lib/libvesktalk.so"));
    QVERIFY(talkConnection->hasEngine());
    talkConnection->setVoiceServer(QStringLiteral("127.0.0.1"), voice->port());
    phone = new Phone;
    phone->setRestManager(factory->restManager());
    phone->setTalk(talkConnection);
    phone->setContactManager(factory->contactManager());
    phone->setSettings(factory->settings());
    phone->setHistory(factory->history());
    connect(phone, &Phone::usernameChanged, factory->restManager(), &RestManager::onUsernameChanged);
    connect(phone, &Phone::passwordChanged, factory->restManager(), &RestManager::onPasswordChanged);
    factory->settings()->setShowWelcome(false);

    // The program's look, as the application object sets it up.
    Application::loadFonts();
    qApp->setStyleSheet(Application::loadStyleSheet());
    prefixes = new PrefixProvider;
    window = new MainWindow;
    window->setSettings(factory->settings());
    window->setPhone(phone);
    window->setHomeUrls(factory->homeUrls());
    window->setRestManager(factory->restManager());
    window->setContactManager(factory->contactManager());
    window->setHistory(factory->history());
    window->setPrefixProvider(prefixes);
    connect(phone, &Phone::mediaEngineCreated, window, &MainWindow::onMediaEngineCreated);
    window->showLogIn();
    content = window->contentWidget();
    dialPad = content->dialPad();
    QVERIFY(QTest::qWaitForWindowExposed(window));
}

void TstUiSession::cleanupTestCase()
{
    if (phone && phone->isLoggedIn()) {
        QSignalSpy out(phone, &Phone::logoutSuccessful);
        phone->logout();
        out.wait(10000);
    }
    delete window;
    delete phone;
    delete talkConnection;
    delete prefixes;
    delete factory;
    if (gateway.state() != QProcess::NotRunning) {
        gateway.terminate();
        if (!gateway.waitForFinished(10000))
            gateway.kill();
    }
    web.stop();
    if (voice)
        voice->stop();
}

bool TstUiSession::gatewaySaid(const QByteArray &line)
{
    gatewayOut += gateway.readAllStandardOutput();
    return gatewayOut.contains(line);
}

QPushButton *TstUiSession::callButton() const
{
    return dialPad->findChild<QPushButton *>(QStringLiteral("callHungUpButton"));
}

QList<CallHistoryEvent> TstUiSession::callsTo(const QString &number) const
{
    QList<CallHistoryEvent> found;
    for (const CallHistoryEvent &event : factory->history()->callHistory()->events()) {
        if (event.number == number)
            found << event;
    }
    return found;
}

void TstUiSession::signIn(const QString &user, const QString &password)
{
    content->findChild<QComboBox *>(QStringLiteral("loginCombo"))->setEditText(user);
    content->findChild<QLineEdit *>(QStringLiteral("passwordLineEdit"))->setText(password);
    content->findChild<QPushButton *>(QStringLiteral("loginButton"))->click();
}

void TstUiSession::dial(const QString &digits)
{
    dialPad->clearNumber();
    for (const QChar digit : digits)
        dialPad->findChild<QPushButton *>(QStringLiteral("num") + digit)->click();
}

void TstUiSession::wrongPasswordIsRefused()
{
    ModalWatcher watcher;
    signIn(QStringLiteral("demo"), QStringLiteral("not-the-password"));
    QTRY_VERIFY_WITH_TIMEOUT(watcher.seen(), waitMs);
    QCOMPARE(watcher.title, QStringLiteral("Login Failed"));
    QCOMPARE(watcher.text, QStringLiteral("Wrong credentials.\nCheck your username or password."));
    QCOMPARE(content->currentView(), ContentWidget::LoginView);
    QVERIFY(!content->isLoginInProgress());
    QVERIFY(!window->isLoggedIn());
}

void TstUiSession::signInShowsPinAndBalance()
{
    signIn(QStringLiteral("demo"), QStringLiteral("demo"));
    QVERIFY(content->isLoginInProgress());
    QTRY_COMPARE_WITH_TIMEOUT(content->currentView(), ContentWidget::DialPadView, waitMs);
    QVERIFY(window->isLoggedIn());
    QCOMPARE(window->logoutCloseText(), QStringLiteral("LOGOUT"));
    QTRY_COMPARE_WITH_TIMEOUT(content->pinText(), QStringLiteral("PIN: 52871934 - €12.50"), waitMs);
    QTRY_COMPARE_WITH_TIMEOUT(dialPad->creditButtonText(), QStringLiteral("€12.50"), waitMs);
    saveScreenshot(window, QStringLiteral("dialpad"));
}

void TstUiSession::echoCallFromTheKeypad()
{
    QVERIFY(window->isLoggedIn());
    dial(QStringLiteral("15550100"));
    QCOMPARE(dialPad->numberEdit()->text(), QStringLiteral("1-5550100"));
    QSignalSpy states(dialPad, &DialPadPage::stateTextChanged);
    callButton()->click();
    QVERIFY(!dialPad->offersCall());
    // The duration runs.
    QTRY_COMPARE_WITH_TIMEOUT(dialPad->stateText(), QStringLiteral("00:00:02"), waitMs);
    QStringList seen;
    for (const QList<QVariant> &state : states)
        seen << state.first().toString();
    QCOMPARE(seen,
        QStringList({ QStringLiteral("Calling +15550100"), QStringLiteral("00:00:00"),
            QStringLiteral("00:00:01"), QStringLiteral("00:00:02") }));
    QVERIFY(phone->isInCall());

    saveScreenshot(window, QStringLiteral("dialpad-call"));
    // Keys during the call go to the far end as tones and leave the number alone.
    const QString number = dialPad->numberEdit()->text();
    dialPad->findChild<QPushButton *>(QStringLiteral("num5"))->click();
    QTRY_VERIFY2_WITH_TIMEOUT(gatewaySaid("DTMF +15550100 5"), gatewayOut.constData(), waitMs);
    QCOMPARE(dialPad->numberEdit()->text(), number);

    callButton()->click();
    QTRY_COMPARE_WITH_TIMEOUT(dialPad->stateText(), QStringLiteral("call ended"), waitMs);
    QVERIFY(dialPad->offersCall());
    QTRY_COMPARE_WITH_TIMEOUT(callsTo(QStringLiteral("+15550100")).size(), 1, waitMs);
    const CallHistoryEvent event = callsTo(QStringLiteral("+15550100")).first();
    QCOMPARE(event.type, int(CallHistoryEvent::OutgoingCall));
    QVERIFY(event.duration >= QTime(0, 0, 2));
    QVERIFY(factory->history()->numberHistory()->lastFewNumbers().contains(QStringLiteral("1-5550100")));
}

void TstUiSession::busyNumberShowsBusy()
{
    QTRY_VERIFY_WITH_TIMEOUT(!phone->isInCall(), waitMs);
    dial(QStringLiteral("15550102"));
    QSignalSpy states(dialPad, &DialPadPage::stateTextChanged);
    callButton()->click();
    QTRY_COMPARE_WITH_TIMEOUT(dialPad->stateText(), QStringLiteral("Busy"), waitMs);
    QCOMPARE(states.first().first().toString(), QStringLiteral("Calling +15550102"));
    QVERIFY(dialPad->offersCall());
    QTRY_COMPARE_WITH_TIMEOUT(callsTo(QStringLiteral("+15550102")).size(), 1, waitMs);
    // It never connected: no time at all.
    QCOMPARE(callsTo(QStringLiteral("+15550102")).first().duration, QTime(0, 0));
}

void TstUiSession::waitForIncomingCall()
{
    QTRY_VERIFY_WITH_TIMEOUT(!phone->isInCall(), waitMs);
    dial(QStringLiteral("15550105"));
    callButton()->click();
    QTRY_VERIFY_WITH_TIMEOUT(
        content->incomingCallDialog() && content->incomingCallDialog()->isVisible(), waitMs);
    QCOMPARE(content->incomingCallDialog()->infoText(), QStringLiteral("+15550105<br/>is calling..."));
}

void TstUiSession::incomingCallAnswered()
{
    waitForIncomingCall();
    saveScreenshot(content->incomingCallDialog(), QStringLiteral("incoming-call"));
    content->incomingCallDialog()->findChild<QPushButton *>(QStringLiteral("anwserButton"))->click();
    QVERIFY(!content->incomingCallDialog()->isVisible());
    QCOMPARE(content->currentView(), ContentWidget::DialPadView);
    QTRY_VERIFY_WITH_TIMEOUT(dialPad->stateText().startsWith(QStringLiteral("00:00:0")), waitMs);
    QTRY_COMPARE_WITH_TIMEOUT(dialPad->stateText(), QStringLiteral("00:00:01"), waitMs);
    QVERIFY(!dialPad->offersCall());
    callButton()->click();
    QTRY_COMPARE_WITH_TIMEOUT(dialPad->stateText(), QStringLiteral("call ended"), waitMs);
    QTRY_VERIFY_WITH_TIMEOUT(!phone->isInCall(), waitMs);
    bool answered = false;
    for (const CallHistoryEvent &event : callsTo(QStringLiteral("+15550105")))
        answered
            = answered || (event.type == CallHistoryEvent::IncomingCall && event.duration >= QTime(0, 0, 1));
    QVERIFY(answered);
}

void TstUiSession::incomingCallDeclined()
{
    QTest::qWait(1100);
    waitForIncomingCall();
    const int before = callsTo(QStringLiteral("+15550105")).size();
    content->incomingCallDialog()->findChild<QPushButton *>(QStringLiteral("declineButton"))->click();
    QVERIFY(!content->incomingCallDialog()->isVisible());
    QTRY_VERIFY_WITH_TIMEOUT(!phone->isInCall(), waitMs);
    QTRY_VERIFY_WITH_TIMEOUT(callsTo(QStringLiteral("+15550105")).size() > before, waitMs);
    // Declined by the user: not a missed call to be told about.
    QVERIFY(content->missedCalls().isEmpty());
}

void TstUiSession::unansweredCallIsMissed()
{
    QTest::qWait(1100);
    waitForIncomingCall();
    // Nobody answers; the ring times out.
    QTRY_VERIFY_WITH_TIMEOUT(!content->incomingCallDialog()->isVisible(), waitMs);
    QVERIFY(content->missedCallsDialog());
    QTRY_VERIFY_WITH_TIMEOUT(content->missedCallsDialog()->isVisible(), waitMs);
    saveScreenshot(content->missedCallsDialog(), QStringLiteral("missed-calls"));
    QCOMPARE(content->missedCalls(), QStringList { QStringLiteral("+15550105") });
    QCOMPARE(content->missedCallsDialog()->headingText(), QStringLiteral("You have one missed call:"));
    bool missed = false;
    for (const CallHistoryEvent &event : callsTo(QStringLiteral("+15550105")))
        missed = missed || event.type == CallHistoryEvent::MissedCall;
    QVERIFY(missed);
    // Answer and decline after the call is gone do nothing.
    content->onIncomingCallAccepted();
    content->onIncomingCallRejected();
    content->missedCallsDialog()->reject();
    QVERIFY(content->missedCalls().isEmpty());
}

QTEST_MAIN(TstUiSession)
#include "tst_uisession.moc"
