#include <QApplication>
#include <QMessageBox>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <memory>

#include "contactmanager.h"
#include "fakeengine.h"
#include "fakerestmanager.h"
#include "history/callhistory.h"
#include "history/callhistorymodel.h"
#include "history/history.h"
#include "phone/phone.h"
#include "rest/phonenumber.h"
#include "talk/callinstance.h"
#include "talk/mediaengine.h"
#include "talk/vesktalk.h"
#include "testhooks.h"
#include "util/dbstore.h"

namespace {

Account voiceAccount(const QString &user = QStringLiteral("demo"),
    const QString &domain = QStringLiteral("localhost"),
    const QString &password = QStringLiteral("demo-voice-secret"))
{
    Account account;
    account.setUsername(QStringLiteral("demo"));
    account.setSipUser(user);
    account.setSipDomain(domain);
    account.setSipPassword(password);
    return account;
}

Account accountError(const QString &text)
{
    Account account;
    account.setErrorMessage(text);
    return account;
}

Contact contact(const QString &nick, const QString &group, const QString &number)
{
    Contact c;
    c.setNick(nick);
    c.setFirstName(nick);
    c.setGroupName(group);
    PhoneNumber phone;
    phone.setNumber(number);
    c.setPhones({ phone });
    return c;
}

} // namespace

class TstPhone : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void loginHandsCredentialsAndAsksForAccount();
    void goodAccountSignsInToVoiceService();
    void incompleteVoiceCredentialsGiveServerError_data();
    void incompleteVoiceCredentialsGiveServerError();
    void accountErrorsMapToLoginErrors_data();
    void accountErrorsMapToLoginErrors();
    void engineCodesMapToLoginErrors_data();
    void engineCodesMapToLoginErrors();
    void failedAccountRequestIsConnectionFailure();
    void proxyErrorDuringSignInIsProxyFailure();
    void proxyErrorOfBackgroundRequestIsNoSignInFailure();
    void accountRecordOutsideSignInStartsNothing();
    void loginSuccessfulWiresMediaEngineAndSetsDomain();
    void afterSignInBalanceGroupsContactsAndNumbersAreFetched();
    void balanceRepeatsEveryInterval();
    void signOutStopsBalanceTimerAndNewSignInRestartsIt();
    void reconnectDoesNotMultiplyBalanceRefresh();
    void reconnectReloadsBookWithoutStaleMembers();
    void voiceLoginCompletingAfterSignOutIsUndone();
    void logoutCancelsPendingReconnect();
    void connectionLossReasons_data();
    void connectionLossReasons();
    void callBuildsJidWithAccountDomain();
    void callSignalsFollowCallProgress();
    void hangupReasons_data();
    void hangupReasons();
    void destroyingFocusCallClearsItAndRefreshesBalance();
    void hangupWithoutCurrentCallOnlyWarns();
    void withoutMediaEngineAudioAndCallsDoNothing();
    void muteAndVolumes();
    void logoutDuringCallHangsUpAndSignsOutLater();
    void balanceAndSmsResults();
    void callHistoryModelFollowsHistory();
    void normalizeNumber_data();
    void normalizeNumber();
    void numberError_data();
    void numberError();
    void validateNumberShowsMessage();
    void remoteNumberIsJidUser();

private:
    void signIn();
    const talk::Call *startCall(bool incoming);

    std::unique_ptr<QTemporaryDir> dir;
    std::unique_ptr<DbStore> store;
    std::unique_ptr<FakeRestManager> rest;
    std::unique_ptr<talk::VeskTalk> talk;
    std::unique_ptr<ContactManager> contacts;
    std::unique_ptr<Phone> phone;
    DelayRecorder phoneDelays;
    DelayRecorder talkDelays;
};

void TstPhone::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
    QCoreApplication::setApplicationName(QStringLiteral("Talkvane Phone Test"));
    qRegisterMetaType<const talk::Call *>();
}

void TstPhone::init()
{
    fake::clearCalls();
    phoneDelays.clear();
    talkDelays.clear();
    dir = std::make_unique<QTemporaryDir>();
    store = std::make_unique<DbStore>();
    store->setDataFolder(dir->path());
    store->loadDatabases();
    rest = std::make_unique<FakeRestManager>();
    talk = std::make_unique<talk::VeskTalk>(QStringLiteral(FAKE_ENGINE_LIBRARY));
    talk->setVoiceServer(QStringLiteral("127.0.0.1"), 5999);
    talk->setDelayedCall(talkDelays.hook());
    talk->setConnectivityCheck([] { return true; });
    contacts = std::make_unique<ContactManager>();
    contacts->setRestManager(rest.get());
    phone = std::make_unique<Phone>();
    phone->setDelayedCall(phoneDelays.hook());
    phone->setRestManager(rest.get());
    phone->setTalk(talk.get());
    phone->setContactManager(contacts.get());
}

void TstPhone::cleanup()
{
    phone.reset();
    contacts.reset();
    talk.reset();
    rest.reset();
    store->closeDatabases();
    store.reset();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void TstPhone::signIn()
{
    phone->login(QStringLiteral("demo"), QStringLiteral("demo"));
    emit rest->requestFinished(voiceAccount());
    fake::session()->completeLogin();
    QCOMPARE(phone->state(), Phone::State::SignedIn);
}

const talk::Call *TstPhone::startCall(bool incoming)
{
    fake::Call *engineCall = fake::session()->media.createCall("+15550100@localhost", incoming);
    engineCall->SignalSessionInitiated(engineCall);
    return talk::CallInstance::find(engineCall);
}

void TstPhone::loginHandsCredentialsAndAsksForAccount()
{
    QSignalSpy user(phone.get(), &Phone::usernameChanged);
    QSignalSpy password(phone.get(), &Phone::passwordChanged);
    phone->login(QStringLiteral("demo"), QStringLiteral("p&q"));
    QCOMPARE(user.size(), 1);
    QCOMPARE(user.at(0).at(0).toString(), QStringLiteral("demo"));
    QCOMPARE(password.at(0).at(0).toString(), QStringLiteral("p&q"));
    QCOMPARE(rest->requests, QStringList { QStringLiteral("account") });
    QCOMPARE(phone->state(), Phone::State::AccountRequested);
}

void TstPhone::goodAccountSignsInToVoiceService()
{
    phone->login(QStringLiteral("demo"), QStringLiteral("demo"));
    emit rest->requestFinished(voiceAccount());
    QVERIFY(fake::hasCall("SetServer 127.0.0.1:5999"));
    QVERIFY(fake::hasCall("Login demo@localhost tls=1"));
    QCOMPARE(fake::session()->password, std::string("demo-voice-secret"));
    QCOMPARE(phone->talkUser(), QStringLiteral("demo@localhost"));
    QCOMPARE(phone->state(), Phone::State::VoiceLoginPending);
}

void TstPhone::incompleteVoiceCredentialsGiveServerError_data()
{
    QTest::addColumn<QString>("user");
    QTest::addColumn<QString>("domain");
    QTest::addColumn<QString>("password");
    QTest::newRow("no sipPassword") << "demo"
                                    << "localhost"
                                    << "";
    QTest::newRow("no sipUser") << ""
                                << "localhost"
                                << "pw";
    QTest::newRow("no sipDomain") << "demo"
                                  << ""
                                  << "pw";
}

void TstPhone::incompleteVoiceCredentialsGiveServerError()
{
    QFETCH(QString, user);
    QFETCH(QString, domain);
    QFETCH(QString, password);
    QSignalSpy failed(phone.get(), &Phone::loginFailed);
    phone->login(QStringLiteral("demo"), QStringLiteral("demo"));
    emit rest->requestFinished(voiceAccount(user, domain, password));
    QCOMPARE(failed.size(), 1);
    QCOMPARE(failed.at(0).at(0).value<Phone::LoginError>(), Phone::ServerError);
    QCOMPARE(fake::countCalls("Login "), 0);
}

void TstPhone::accountErrorsMapToLoginErrors_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("error");
    QTest::newRow("unknown user") << "User not found!" << int(Phone::WrongCredentials);
    QTest::newRow("bad parameters") << "Invalid parameters." << int(Phone::WrongCredentials);
    QTest::newRow("foreign account") << "The account does not belong to the user."
                                     << int(Phone::WrongUserForAccount);
    QTest::newRow("other text") << "Database unavailable" << int(Phone::ServerError);
    QTest::newRow("near miss") << "User not found" << int(Phone::ServerError);
}

void TstPhone::accountErrorsMapToLoginErrors()
{
    QFETCH(QString, text);
    QFETCH(int, error);
    QSignalSpy failed(phone.get(), &Phone::loginFailed);
    phone->login(QStringLiteral("demo"), QStringLiteral("wrong"));
    emit rest->requestFinished(accountError(text));
    QCOMPARE(failed.size(), 1);
    QCOMPARE(int(failed.at(0).at(0).value<Phone::LoginError>()), error);
    QCOMPARE(fake::countCalls("Login "), 0);
    QCOMPARE(phone->state(), Phone::State::SignedOut);
}

void TstPhone::engineCodesMapToLoginErrors_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<int>("error");
    QTest::newRow("credentials") << 6 << int(Phone::WrongCredentials);
    QTest::newRow("connection") << 4 << int(Phone::ConnectionFailed);
    QTest::newRow("server") << 1 << int(Phone::ServerError);
    QTest::newRow("tls") << 2 << int(Phone::ServerError);
    QTest::newRow("proxy") << 3 << int(Phone::ServerError);
    QTest::newRow("stream") << 5 << int(Phone::ServerError);
    QTest::newRow("unknown") << 42 << int(Phone::ServerError);
}

void TstPhone::engineCodesMapToLoginErrors()
{
    QFETCH(int, code);
    QFETCH(int, error);
    QSignalSpy failed(phone.get(), &Phone::loginFailed);
    QSignalSpy succeeded(phone.get(), &Phone::loginSuccessful);
    phone->login(QStringLiteral("demo"), QStringLiteral("demo"));
    emit rest->requestFinished(voiceAccount());
    fake::session()->failLogin(vesk::VESK_TALK_ERROR_CODE(code));
    QCOMPARE(failed.size(), 1);
    QCOMPARE(int(failed.at(0).at(0).value<Phone::LoginError>()), error);
    QVERIFY(succeeded.isEmpty());
}

void TstPhone::failedAccountRequestIsConnectionFailure()
{
    QSignalSpy failed(phone.get(), &Phone::loginFailed);
    phone->login(QStringLiteral("demo"), QStringLiteral("demo"));
    emit rest->accountRequestFailed();
    QCOMPARE(failed.size(), 1);
    QCOMPARE(failed.at(0).at(0).value<Phone::LoginError>(), Phone::ConnectionFailed);
    QCOMPARE(fake::countCalls("Login "), 0);
}

void TstPhone::proxyErrorDuringSignInIsProxyFailure()
{
    QSignalSpy failed(phone.get(), &Phone::loginFailed);
    phone->login(QStringLiteral("demo"), QStringLiteral("demo"));
    emit rest->proxyConnectionError();
    QCOMPARE(failed.size(), 1);
    QCOMPARE(failed.at(0).at(0).value<Phone::LoginError>(), Phone::ProxyFailed);
}

void TstPhone::proxyErrorOfBackgroundRequestIsNoSignInFailure()
{
    signIn();
    QSignalSpy failed(phone.get(), &Phone::loginFailed);
    QSignalSpy loggedOut(phone.get(), &Phone::logoutSuccessful);
    emit rest->proxyConnectionError();
    emit rest->accountRequestFailed();
    QVERIFY(failed.isEmpty());
    QVERIFY(loggedOut.isEmpty());
    QCOMPARE(phone->state(), Phone::State::SignedIn);
    QVERIFY(phone->isLoggedIn());
}

void TstPhone::accountRecordOutsideSignInStartsNothing()
{
    signIn();
    fake::clearCalls();
    QSignalSpy failed(phone.get(), &Phone::loginFailed);
    QSignalSpy restError(phone.get(), &Phone::restfulError);
    emit rest->requestFinished(voiceAccount(QStringLiteral("other")));
    QCOMPARE(fake::countCalls("Login "), 0);
    emit rest->requestFinished(accountError(QStringLiteral("Max length exceeded")));
    QVERIFY(failed.isEmpty());
    QCOMPARE(restError.size(), 1);
    QCOMPARE(phone->talkUser(), QStringLiteral("demo@localhost"));
}

void TstPhone::loginSuccessfulWiresMediaEngineAndSetsDomain()
{
    QSignalSpy created(phone.get(), &Phone::mediaEngineCreated);
    QSignalSpy succeeded(phone.get(), &Phone::loginSuccessful);
    signIn();
    QCOMPARE(created.size(), 1);
    QCOMPARE(succeeded.size(), 1);
    QCOMPARE(phone->domain(), QStringLiteral("localhost"));
    QVERIFY(phone->mediaEngine());
    QVERIFY(phone->isLoggedIn());
    QVERIFY(!phone->isInCall());
}

void TstPhone::afterSignInBalanceGroupsContactsAndNumbersAreFetched()
{
    signIn();
    // The groups at once; balance, contacts and virtual numbers deferred.
    QCOMPARE(rest->requests, QStringList({ "account", "groups" }));
    QCOMPARE(phoneDelays.delays(), QList<int>({ 500, 1000, 500 }));
    phoneDelays.runPending();
    QCOMPARE(rest->requests, QStringList({ "account", "groups", "balance", "contacts", "onlineNumbers" }));
    QVERIFY(phone->balanceTimer());
    QVERIFY(phone->balanceTimer()->isActive());
    QCOMPARE(phone->balanceTimer()->interval(), 300000);
}

void TstPhone::balanceRepeatsEveryInterval()
{
    phone->setBalanceInterval(10);
    signIn();
    phoneDelays.clear();
    QTRY_VERIFY(rest->count(QStringLiteral("balance")) >= 3);
}

void TstPhone::signOutStopsBalanceTimerAndNewSignInRestartsIt()
{
    signIn();
    QTimer *timer = phone->balanceTimer();
    QSignalSpy loggedOut(phone.get(), &Phone::logoutSuccessful);
    phone->logout();
    QCOMPARE(loggedOut.size(), 1);
    QVERIFY(!timer->isActive());
    rest->requests.clear();
    QMetaObject::invokeMethod(timer, "timeout");
    QCOMPARE(rest->count(QStringLiteral("balance")), 0);

    signIn();
    QCOMPARE(phone->balanceTimer(), timer);
    QVERIFY(timer->isActive());
    QCOMPARE(timer->interval(), 300000);
    rest->requests.clear();
    QMetaObject::invokeMethod(timer, "timeout");
    QCOMPARE(rest->count(QStringLiteral("balance")), 1);
}

void TstPhone::reconnectDoesNotMultiplyBalanceRefresh()
{
    signIn();
    QSignalSpy succeeded(phone.get(), &Phone::loginSuccessful);
    fake::session()->loseConnection(vesk::VESK_DISCONNECT_MISSED);
    talkDelays.runNext();
    fake::session()->completeLogin();
    QCOMPARE(succeeded.size(), 1);
    rest->requests.clear();
    QMetaObject::invokeMethod(phone->balanceTimer(), "timeout");
    QCOMPARE(rest->count(QStringLiteral("balance")), 1);
}

void TstPhone::reconnectReloadsBookWithoutStaleMembers()
{
    signIn();
    emit rest->requestFinished(QList<Group>({ Group("Family"), Group("Work") }));
    emit rest->requestFinished(
        QList<Contact>({ contact("ann", "Family", "+15550001"), contact("bob", "Work", "+15550002") }));
    QCOMPARE(contacts->contactCount(), 2);

    // The connection drops and comes back by itself: the book is fetched again. On the server, ann
    // moved to Work and bob is gone.
    fake::session()->loseConnection(vesk::VESK_DISCONNECT_ERROR);
    talkDelays.runNext();
    fake::session()->completeLogin();
    emit rest->requestFinished(QList<Group>({ Group("Family"), Group("Work") }));
    emit rest->requestFinished(QList<Contact>({ contact("ann", "Work", "+15550001") }));

    QCOMPARE(contacts->contactCount(), 1);
    QVERIFY(!contacts->contactPresent(QStringLiteral("bob")));
    QCOMPARE(contacts->contactGroup(QStringLiteral("Family"))->contacts().size(), 0);
    const QList<Contact *> work = contacts->contactGroup(QStringLiteral("Work"))->contacts();
    QCOMPARE(work.size(), 1);
    QCOMPARE(work.first()->nick(), QStringLiteral("ann"));
    int totalMembers = 0;
    for (ContactGroup *group : contacts->groupList())
        totalMembers += group->contacts().size();
    QCOMPARE(totalMembers, 1);
}

void TstPhone::voiceLoginCompletingAfterSignOutIsUndone()
{
    QSignalSpy succeeded(phone.get(), &Phone::loginSuccessful);
    phone->login(QStringLiteral("demo"), QStringLiteral("demo"));
    emit rest->requestFinished(voiceAccount());
    phone->logout();
    fake::clearCalls();
    fake::session()->completeLogin();
    QVERIFY(succeeded.isEmpty());
    QVERIFY(fake::hasCall("Logout"));

    // A late account reply after sign-out starts no voice login either.
    phone->login(QStringLiteral("demo"), QStringLiteral("demo"));
    phone->logout();
    fake::clearCalls();
    emit rest->requestFinished(voiceAccount());
    QCOMPARE(fake::countCalls("Login "), 0);
}

void TstPhone::logoutCancelsPendingReconnect()
{
    signIn();
    QSignalSpy missed(phone.get(), &Phone::connectionMissed);
    fake::session()->loseConnection(vesk::VESK_DISCONNECT_MISSED);
    QCOMPARE(missed.size(), 1);
    QCOMPARE(talkDelays.count(), 1);
    // The user acknowledges the lost connection and is signed out; the pending reconnect must not
    // sign the old account in again.
    phone->logout();
    fake::clearCalls();
    talkDelays.runPending();
    QCOMPARE(fake::countCalls("Login "), 0);
    QVERIFY(talkDelays.isEmpty());
    QCOMPARE(talk->reconnectCount(), -1);
}

void TstPhone::connectionLossReasons_data()
{
    QTest::addColumn<int>("reason");
    QTest::addColumn<int>("missed");
    QTest::addColumn<int>("replaced");
    QTest::addColumn<int>("error");
    QTest::newRow("missed") << 0 << 1 << 0 << 0;
    QTest::newRow("replaced") << 1 << 0 << 1 << 0;
    QTest::newRow("error") << 2 << 0 << 0 << 1;
    QTest::newRow("other") << 7 << 0 << 0 << 1;
}

void TstPhone::connectionLossReasons()
{
    QFETCH(int, reason);
    QFETCH(int, missed);
    QFETCH(int, replaced);
    QFETCH(int, error);
    signIn();
    QSignalSpy missedSpy(phone.get(), &Phone::connectionMissed);
    QSignalSpy replacedSpy(phone.get(), &Phone::connectionReplaced);
    QSignalSpy errorSpy(phone.get(), &Phone::connectionErrorOccured);
    fake::session()->loseConnection(vesk::VESK_DISCONNECT_REASON(reason));
    QCOMPARE(missedSpy.size(), missed);
    QCOMPARE(replacedSpy.size(), replaced);
    QCOMPARE(errorSpy.size(), error);
}

void TstPhone::callBuildsJidWithAccountDomain()
{
    signIn();
    QSignalSpy connecting(phone.get(), &Phone::connecting);
    phone->call(QStringLiteral("+15550100"), false);
    QVERIFY(fake::hasCall("PlaceCall +15550100@localhost video=0"));
    QCOMPARE(connecting.size(), 1);
    QCOMPARE(phone->calls().size(), 1);
    QCOMPARE(phone->currentCall(), connecting.at(0).at(0).value<const talk::Call *>());
    QVERIFY(phone->isInCall());
}

void TstPhone::callSignalsFollowCallProgress()
{
    signIn();
    QSignalSpy incoming(phone.get(), &Phone::incomingCall);
    QSignalSpy started(phone.get(), &Phone::callStarted);
    QSignalSpy ended(phone.get(), &Phone::callEnded);
    const talk::Call *call = startCall(true);
    QCOMPARE(incoming.size(), 1);
    QCOMPARE(incoming.at(0).at(0).value<const talk::Call *>(), call);
    auto *engineCall = fake::session()->media.liveCalls.front();
    engineCall->SignalReceivedAccept(engineCall);
    engineCall->SignalInProgress(engineCall);
    QCOMPARE(started.size(), 1);
    engineCall->SignalReceivedReject(engineCall);
    QCOMPARE(ended.size(), 1);
    // A second callCreated for the same call adds nothing.
    phone->callCreated(call);
    QCOMPARE(phone->calls().size(), 1);
    engineCall->SignalInProgress(engineCall);
    QCOMPARE(started.size(), 2);
}

void TstPhone::hangupReasons_data()
{
    QTest::addColumn<bool>("incoming");
    QTest::addColumn<int>("reason");
    QTest::addColumn<QString>("signal");
    QTest::newRow("success") << false << 0 << "callEnded";
    QTest::newRow("decline outgoing") << false << 1 << "callHungupDecline";
    QTest::newRow("decline incoming") << true << 1 << "incomingCallHangupDecline";
    QTest::newRow("busy") << false << 2 << "callHangupIsBusy";
    QTest::newRow("not found") << false << 3 << "callHangupNotFound";
    QTest::newRow("unreachable") << false << 4 << "callHangupUnreachable";
    QTest::newRow("timeout") << false << 5 << "callHangupTimeout";
    QTest::newRow("unnamed 7") << false << 7 << "callEnded";
    QTest::newRow("unknown") << false << 9 << "callFailed";
}

void TstPhone::hangupReasons()
{
    QFETCH(bool, incoming);
    QFETCH(int, reason);
    QFETCH(QString, signal);
    signIn();
    const QStringList names { "callEnded", "callFailed", "callHangupIsBusy", "callHungupDecline",
        "callHangupNotFound", "callHangupUnreachable", "callHangupTimeout", "incomingCallHangupDecline" };
    std::vector<std::unique_ptr<QSignalSpy>> spies;
    for (const QString &name : names) {
        const QByteArray signature = "2" + name.toLatin1() + "(const talk::Call*)";
        spies.push_back(std::make_unique<QSignalSpy>(phone.get(), signature.constData()));
        QVERIFY(spies.back()->isValid());
    }
    const talk::Call *call = startCall(incoming);
    auto *engineCall = fake::session()->media.liveCalls.front();
    engineCall->SignalHangup(engineCall, vesk::HANGUP_REASON(reason));
    for (int i = 0; i < names.size(); ++i) {
        QCOMPARE(spies[size_t(i)]->size(), names.at(i) == signal ? 1 : 0);
        if (names.at(i) == signal)
            QCOMPARE(spies[size_t(i)]->at(0).at(0).value<const talk::Call *>(), call);
    }
}

void TstPhone::destroyingFocusCallClearsItAndRefreshesBalance()
{
    signIn();
    phoneDelays.clear();
    const talk::Call *call = startCall(false);
    QCOMPARE(phone->currentCall(), call);
    QSignalSpy destroyed(phone.get(), &Phone::callInstanceDestroyed);
    fake::session()->media.destroyCall(fake::session()->media.liveCalls.front());
    QCOMPARE(destroyed.size(), 1);
    QCOMPARE(destroyed.at(0).at(0).value<const talk::Call *>(), call);
    QVERIFY(!phone->currentCall());
    QVERIFY(phone->calls().isEmpty());
    QCOMPARE(phoneDelays.delays(), QList<int>({ 500 }));
    rest->requests.clear();
    phoneDelays.runPending();
    QCOMPARE(rest->requests, QStringList({ "liveBalance" }));
}

void TstPhone::hangupWithoutCurrentCallOnlyWarns()
{
    signIn();
    startCall(false);
    fake::session()->media.destroyCall(fake::session()->media.liveCalls.front());
    fake::clearCalls();
    LogCapture log;
    phone->hangup();
    phone->sendDTMF('5');
    phone->onMicMuted(true);
    QVERIFY(log.contains(QStringLiteral("Current call is null...")));
    QCOMPARE(fake::countCalls("Hangup"), 0);
    QCOMPARE(fake::countCalls("SendDTMF"), 0);
    QCOMPARE(fake::countCalls("Mute"), 0);
    QVERIFY(fake::hasCall("SetMicVolume 0"));
}

void TstPhone::withoutMediaEngineAudioAndCallsDoNothing()
{
    fake::session()->hasMediaEngine = false;
    QSignalSpy created(phone.get(), &Phone::mediaEngineCreated);
    signIn();
    QVERIFY(created.isEmpty());
    QVERIFY(!phone->mediaEngine());
    fake::clearCalls();
    phone->call(QStringLiteral("+15550100"), false);
    phone->onMicVolumeChanged(10);
    phone->onMicMuted(true);
    phone->onSpeakerVolumeChanged(10);
    phone->onSpeakerMuted(true);
    phone->sendDTMF('1');
    phone->hangup();
    QVERIFY(!phone->isInCall());
    for (const std::string &line : fake::calls())
        QVERIFY2(line.rfind("GetMediaEngine", 0) == 0, line.c_str());
}

void TstPhone::muteAndVolumes()
{
    signIn();
    startCall(false);
    fake::clearCalls();
    phone->onMicVolumeChanged(40);
    phone->onMicMuted(true);
    phone->onMicMuted(false);
    phone->onSpeakerVolumeChanged(60);
    phone->onSpeakerMuted(true);
    phone->onSpeakerMuted(false);
    phone->sendDTMF('#');
    QCOMPARE(fake::calls(),
        std::vector<std::string>({ "SetMicVolume 40", "Mute 1", "SetMicVolume 0", "Mute 0", "SetMicVolume 40",
            "SetSpeakerVolume 60", "SetSpeakerVolume 0", "SetSpeakerVolume 60", "SendDTMF 11" }));
}

void TstPhone::logoutDuringCallHangsUpAndSignsOutLater()
{
    signIn();
    emit rest->requestFinished(QList<Contact>({ contact("ann", "Family", "+15550001") }));
    startCall(false);
    phoneDelays.clear();
    fake::clearCalls();
    QSignalSpy loggedOut(phone.get(), &Phone::logoutSuccessful);
    phone->logout();
    QVERIFY(fake::hasCall("Hangup 1"));
    QVERIFY(loggedOut.isEmpty());
    QCOMPARE(phoneDelays.delays(), QList<int>({ 1500 }));
    phoneDelays.runPending();
    QCOMPARE(loggedOut.size(), 1);
    QVERIFY(fake::hasCall("Logout"));
    QCOMPARE(contacts->contactCount(), 0);
    QCOMPARE(phone->state(), Phone::State::SignedOut);
}

void TstPhone::balanceAndSmsResults()
{
    signIn();
    QSignalSpy balance(phone.get(), &Phone::balanceUpdate);
    QSignalSpy restError(phone.get(), &Phone::restfulError);
    Balance good;
    good.setCredit(12.5);
    good.setCurrency(QStringLiteral("EUR"));
    emit rest->requestFinished(good);
    QCOMPARE(balance.size(), 1);
    QCOMPARE(phone->balance().credit(), 12.5);
    Balance bad;
    bad.setErrorMessage(QStringLiteral("User not found!"));
    emit rest->requestFinished(bad);
    QCOMPARE(balance.size(), 1);
    QCOMPARE(restError.size(), 1);
    QCOMPARE(phone->balance().credit(), 12.5);

    QSignalSpy smsOk(phone.get(), &Phone::successSendingSMS);
    QSignalSpy smsError(phone.get(), &Phone::errorSendingSMS);
    phoneDelays.clear();
    SMS sms;
    sms.setText(QStringLiteral("hi"));
    phone->sendSMS(sms);
    QCOMPARE(rest->count(QStringLiteral("sms")), 1);
    emit rest->requestFinished(sms);
    QCOMPARE(smsOk.size(), 1);
    QCOMPARE(phoneDelays.delays(), QList<int>({ 500 }));
    rest->requests.clear();
    phoneDelays.runPending();
    QCOMPARE(rest->requests, QStringList({ "liveBalance" }));
    sms.setErrorMessage(QStringLiteral("Insufficient credit."));
    emit rest->requestFinished(sms);
    QCOMPARE(smsError.size(), 1);
    QCOMPARE(smsError.at(0).at(0).toString(), QStringLiteral("Insufficient credit."));

    Contact failedContact;
    failedContact.setErrorMessage(QStringLiteral("Contact already exists."));
    emit rest->requestFinished(failedContact);
    emit rest->requestFinished(Contact());
    QCOMPARE(restError.size(), 2);
}

void TstPhone::callHistoryModelFollowsHistory()
{
    History history;
    QDateTime clock = QDateTime::currentDateTime();
    // Rows are keyed by the second: give each event its own.
    history.setClock([&clock] { return clock = clock.addSecs(1); });
    history.callHistory()->addEvent(
        QStringLiteral("+15550100"), QTime(0, 0, 5), CallHistoryEvent::OutgoingCall);
    phone->setHistory(&history);
    QVERIFY(phone->callHistoryModel());
    QCOMPARE(phone->callHistoryModel()->rowCount(), 1);
    history.callHistory()->addEvent(
        CallHistoryEvent { CallHistoryEvent::IncomingCall, QDateTime::currentDateTime().addSecs(3600),
            QStringLiteral("+15550101"), QString(), QTime(0, 1), false });
    QCOMPARE(phone->callHistoryModel()->rowCount(), 2);
    phone->clearCallHistory();
    QCOMPARE(phone->callHistoryModel()->rowCount(), 0);
    QVERIFY(history.callHistory()->events().isEmpty());
    phone->setHistory(nullptr);
}

void TstPhone::normalizeNumber_data()
{
    QTest::addColumn<QString>("number");
    QTest::addColumn<QString>("normalized");
    QTest::newRow("plain") << "15550100"
                           << "+15550100";
    QTest::newRow("has plus") << "+15550100"
                              << "+15550100";
    QTest::newRow("dashes and brackets") << "1-(555)-010-0"
                                         << "+15550100";
    QTest::newRow("blanks stay") << "1 555 0100"
                                 << "+1 555 0100";
    QTest::newRow("dots and letters stay") << "1.555.CALL"
                                           << "+1.555.CALL";
    QTest::newRow("plus later") << "00+1"
                                << "+00+1";
    QTest::newRow("empty") << ""
                           << "+";
}

void TstPhone::normalizeNumber()
{
    QFETCH(QString, number);
    QFETCH(QString, normalized);
    QCOMPARE(Phone::normalizeNumber(number), normalized);
}

void TstPhone::numberError_data()
{
    QTest::addColumn<QString>("number");
    QTest::addColumn<QString>("error");
    QTest::newRow("empty") << ""
                           << "Please provide a phone number.";
    QTest::newRow("one") << "+"
                         << "Invalid number!";
    QTest::newRow("four") << "+123"
                          << "Invalid number!";
    QTest::newRow("five") << "+1234"
                          << "";
    QTest::newRow("long") << "+15550100"
                          << "";
}

void TstPhone::numberError()
{
    QFETCH(QString, number);
    QFETCH(QString, error);
    QCOMPARE(Phone::numberError(number), error);
}

void TstPhone::validateNumberShowsMessage()
{
    QVERIFY(Phone::validateNumber(QStringLiteral("+15550100"), nullptr));
    QString shownText;
    QString shownTitle;
    QTimer::singleShot(0, [&] {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
            shownText = box->text();
            shownTitle = box->windowTitle();
            box->accept();
        }
    });
    QVERIFY(!Phone::validateNumber(QStringLiteral("+12"), nullptr));
    QCOMPARE(shownText, QStringLiteral("Invalid number!"));
    QCOMPARE(shownTitle, QStringLiteral("Error"));
}

void TstPhone::remoteNumberIsJidUser()
{
    fake::Call engineCall(3, "+15550105@localhost/gateway", true);
    const talk::Call *call = talk::CallInstance::wrap(&engineCall);
    QCOMPARE(Phone::remoteNumber(call), QStringLiteral("+15550105"));
    QVERIFY(Phone::remoteNumber(nullptr).isEmpty());
    talk::CallInstance::release(&engineCall);
}

QTEST_MAIN(TstPhone)
#include "tst_phone.moc"
