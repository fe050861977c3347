#include "phone.h"

#include <QMessageBox>
#include <QTimer>

#include "contactmanager.h"
#include "history/callhistory.h"
#include "history/callhistorymodel.h"
#include "history/history.h"
#include "rest/restmanager.h"
#include "settings/settings.h"
#include "talk/jid.h"
#include "talk/mediaengine.h"
#include "talk/vesktalk.h"
#include "util/log.h"

Phone::Phone(QObject *parent) : QObject(parent)
{
    qRegisterMetaType<Phone::LoginError>();
    connect(this, &Phone::loginSuccessful, this, &Phone::doCreateBalanceTimer);
    connect(this, &Phone::loginSuccessful, this, &Phone::requestBalanceUpdateDelayed);
    connect(this, &Phone::loginSuccessful, this, &Phone::retrieveContactsFromWebservicesDelayed);
    connect(this, &Phone::loginSuccessful, this, &Phone::retrieveVirtualNumbersFromWebservicesDelayed);
}

Phone::~Phone()
{
    if (isLoggedIn())
        session->logout();
}

// ---- wiring

void Phone::setRestManager(RestManager *manager)
{
    if (rest)
        disconnect(rest, nullptr, this, nullptr);
    rest = manager;
    if (!manager)
        return;
    const auto unique = Qt::UniqueConnection;
    // The manager takes its credentials from these two.
    connect(this, &Phone::usernameChanged, manager, &RestManager::onUsernameChanged, unique);
    connect(this, &Phone::passwordChanged, manager, &RestManager::onPasswordChanged, unique);
    connect(manager, qOverload<const Account &>(&RestManager::requestFinished), this,
        &Phone::onAccountRequestFinished, unique);
    connect(manager, qOverload<const Balance &>(&RestManager::requestFinished), this,
        &Phone::onBalanceRequestFinished, unique);
    connect(manager, qOverload<const Contact &>(&RestManager::requestFinished), this,
        &Phone::onContactRequestFinished, unique);
    connect(manager, qOverload<const Group &>(&RestManager::requestFinished), this,
        &Phone::onGroupRequestFinished, unique);
    connect(manager, qOverload<const QList<Contact> &>(&RestManager::requestFinished), this,
        &Phone::onContactListRequestFinished, unique);
    connect(manager, qOverload<const QList<Group> &>(&RestManager::requestFinished), this,
        &Phone::onGroupListRequestFinished, unique);
    connect(manager, qOverload<const QList<OnlineNumber> &>(&RestManager::requestFinished), this,
        &Phone::onOnlineNumbersRequestFinished, unique);
    connect(manager, qOverload<const SMS &>(&RestManager::requestFinished), this,
        &Phone::onSMSRequestFinished, unique);
    connect(manager, qOverload<const Invite &>(&RestManager::requestFinished), this,
        &Phone::onInviteRequestFinished, unique);
    connect(manager, &RestManager::accountRequestFailed, this, &Phone::onAccountRequestFailed, unique);
    connect(manager, &RestManager::proxyConnectionError, this, &Phone::onProxyConnectionError, unique);
}

void Phone::setTalk(talk::VeskTalk *talk)
{
    if (session)
        disconnect(session, nullptr, this, nullptr);
    session = talk;
    if (!talk)
        return;
    const auto unique = Qt::UniqueConnection;
    connect(talk, &talk::VeskTalk::loginCompleted, this, &Phone::loggedIn, unique);
    connect(talk, &talk::VeskTalk::loginFailed, this, &Phone::notLoggedIn, unique);
    connect(talk, &talk::VeskTalk::connectionLost, this, &Phone::onConnectionLost, unique);
}

void Phone::setContactManager(ContactManager *manager)
{
    contacts = manager;
}

void Phone::setSettings(Settings *settings)
{
    settingsStore = settings;
    if (settings) {
        micLevel = int(settings->audioInputVolume());
        speakerLevel = int(settings->audioOutputVolume());
    }
}

void Phone::setHistory(History *history)
{
    if (historyStore)
        disconnect(historyStore->callHistory(), nullptr, this, nullptr);
    historyStore = history;
    if (!history)
        return;
    connect(history->callHistory(), &CallHistory::newEventOccurred, this, &Phone::onNewEventOccurred,
        Qt::UniqueConnection);
    delete historyModel;
    historyModel = new CallHistoryModel(history->callHistory()->events(), this);
}

void Phone::onNewEventOccurred()
{
    if (historyModel && historyStore)
        historyModel->setEvents(historyStore->callHistory()->events());
}

void Phone::clearCallHistory()
{
    if (historyModel)
        historyModel->setEvents({});
    if (historyStore)
        historyStore->callHistory()->clearHistory();
}

void Phone::setDelayedCall(talk::DelayedCall call)
{
    delayedCall = call ? std::move(call) : talk::qtDelayedCall();
}

void Phone::setBalanceInterval(int msecs)
{
    balanceInterval = msecs;
    if (balanceRefresh && balanceRefresh->isActive())
        balanceRefresh->start(balanceInterval);
}

void Phone::later(int msecs, void (Phone::*slot)())
{
    delayedCall(msecs, this, [this, slot] { (this->*slot)(); });
}

// ---- queries

talk::VeskTalk *Phone::talk() const
{
    return session;
}

talk::MediaEngine *Phone::mediaEngine() const
{
    return session ? session->mediaEngine() : nullptr;
}

bool Phone::isLoggedIn() const
{
    return session && session->isLoggedIn();
}

bool Phone::isInCall() const
{
    talk::MediaEngine *media = mediaEngine();
    return media && media->isInCall();
}

talk::Call *Phone::currentCall()
{
    return focusCall;
}

// ---- sign-in

void Phone::login(QString userName, QString password)
{
    LOG_TRACE << "signing in" << userName;
    signInState = State::AccountRequested;
    emit usernameChanged(userName);
    emit passwordChanged(password);
    webUserName = userName;
    webPassword = password;
    if (rest)
        rest->getAccount();
}

void Phone::loginAgain()
{
    LOG_TRACE << "asking for the account again for" << webUserName;
    signInState = State::AccountRequested;
    if (rest)
        rest->getAccount();
}

void Phone::fail(LoginError error)
{
    signInState = State::SignedOut;
    emit loginFailed(error);
}

Phone::LoginError Phone::loginErrorForAccountError(const QString &errorText)
{
    if (errorText == QLatin1String("User not found!") || errorText == QLatin1String("Invalid parameters."))
        return WrongCredentials;
    if (errorText == QLatin1String("The account does not belong to the user."))
        return WrongUserForAccount;
    return ServerError;
}

Phone::LoginError Phone::loginErrorForEngineCode(vesk::VESK_TALK_ERROR_CODE code)
{
    switch (code) {
    case vesk::VESK_TALK_ERROR_CREDENTIALS:
        return WrongCredentials;
    case vesk::VESK_TALK_ERROR_CONNECTION:
        return ConnectionFailed;
    default:
        return ServerError;
    }
}

void Phone::onAccountRequestFinished(const Account &account)
{
    const QString error = account.errorMessage();
    if (signInState != State::AccountRequested) {
        // An account record outside sign-in (an account update's answer): no sign-in follows from it.
        LOG_TRACE << "account record outside sign-in, error:" << error;
        if (!error.isEmpty())
            emit restfulError(error);
        else
            accountRecord = account;
        return;
    }
    if (!error.isEmpty()) {
        LOG_TRACE << "emitting loginFailed from Phone instance:" << error;
        const LoginError mapped = loginErrorForAccountError(error);
        if (mapped == WrongUserForAccount)
            LOG_TRACE << "emitting loginFailed wronguserforaccount from Phone instance";
        fail(mapped);
        return;
    }
    accountRecord = account;
    if (account.sipUser().isEmpty() || account.sipDomain().isEmpty() || account.sipPassword().isEmpty()) {
        LOG_WARNING << "the account carries no complete voice credentials";
        fail(ServerError);
        return;
    }
    talkUserName = account.sipUser() + QLatin1Char('@') + account.sipDomain();
    talkPassword = account.sipPassword();
    signInState = State::VoiceLoginPending;
    if (!session) {
        LOG_ERROR << "no talk connection";
        fail(ServerError);
        return;
    }
    session->login(talkUserName, talkPassword, true);
}

void Phone::onAccountRequestFailed()
{
    if (signInState != State::AccountRequested) {
        LOG_TRACE << "account request failed outside sign-in";
        return;
    }
    notLoggedIn(vesk::VESK_TALK_ERROR_CONNECTION);
}

void Phone::onProxyConnectionError()
{
    // Only the sign-in's own request decides a sign-in; a background request's proxy trouble is
    // that request's error.
    if (signInState != State::AccountRequested) {
        LOG_WARNING << "proxy error outside sign-in: not a sign-in failure";
        return;
    }
    fail(ProxyFailed);
}

void Phone::notLoggedIn(vesk::VESK_TALK_ERROR_CODE code)
{
    LOG_TRACE << "Login failed." << int(code);
    fail(loginErrorForEngineCode(code));
}

void Phone::loggedIn()
{
    if (signInState == State::SignedOut || signInState == State::AccountRequested) {
        // The user signed out (or started over) while the voice login was under way.
        LOG_WARNING << "voice login completed while signed out: signing out of it";
        if (session)
            session->logout();
        return;
    }
    LOG_TRACE << "Setting up connection for callCreated and callDestroyed..";
    if (talk::MediaEngine *media = mediaEngine()) {
        const auto unique = Qt::UniqueConnection;
        connect(media, &talk::MediaEngine::callCreated, this, &Phone::callCreated, unique);
        connect(media, &talk::MediaEngine::callDestroyed, this, &Phone::callDestroyed, unique);
        connect(media, &talk::MediaEngine::callFocusChanged, this, &Phone::callFocusChanged, unique);
        emit mediaEngineCreated();
    } else {
        LOG_WARNING << "mediaEngine is null";
    }
    if (talkUserName.contains(QLatin1Char('@')))
        talkDomain = talkUserName.split(QLatin1Char('@')).value(1);
    else
        LOG_WARNING << "Weird username:" << talkUserName;
    signInState = State::SignedIn;
    LOG_TRACE << "Logged in successfully.";
    emit loginSuccessful();
}

// ---- after sign-in

void Phone::doCreateBalanceTimer()
{
    if (!balanceRefresh) {
        balanceRefresh = new QTimer(this);
        LOG_TRACE << "Balance update - Every 5 min.";
    }
    // Unique: every reconnect signs in again, and the refresh must not multiply.
    connect(balanceRefresh, &QTimer::timeout, this, qOverload<>(&Phone::requestBalanceUpdate),
        Qt::UniqueConnection);
    balanceRefresh->start(balanceInterval);
}

void Phone::requestBalanceUpdateDelayed()
{
    later(balanceFirstDelayMs, qOverload<>(&Phone::requestBalanceUpdate));
}

void Phone::retrieveContactsFromWebservicesDelayed()
{
    if (rest)
        rest->getGroups();
    later(contactListDelayMs, &Phone::retrieveContactsFromWebservices);
}

void Phone::retrieveContactsFromWebservices()
{
    if (rest)
        rest->getContacts();
}

void Phone::retrieveVirtualNumbersFromWebservicesDelayed()
{
    later(virtualNumbersDelayMs, &Phone::retrieveVirtualNumbersFromWebservices);
}

void Phone::retrieveVirtualNumbersFromWebservices()
{
    if (rest)
        rest->getOnlineNumbers();
}

void Phone::requestBalanceUpdate(bool liveUpdate)
{
    if (!rest)
        return;
    if (liveUpdate)
        rest->getLiveBalance();
    else
        rest->getBalance();
}

void Phone::requestLiveBalanceUpdate()
{
    requestBalanceUpdate(true);
}

void Phone::onBalanceRequestFinished(const Balance &balance)
{
    if (!balance.errorMessage().isEmpty()) {
        emit restfulError(balance.errorMessage());
        return;
    }
    balanceRecord = balance;
    emit balanceUpdate(balance);
}

void Phone::onContactRequestFinished(const Contact &contact)
{
    if (!contact.errorMessage().isEmpty())
        emit restfulError(contact.errorMessage());
}

void Phone::onGroupRequestFinished(const Group &group)
{
    if (!group.errorMessage().isEmpty())
        emit restfulError(group.errorMessage());
}

void Phone::onInviteRequestFinished(const Invite &invite)
{
    if (!invite.errorMessage().isEmpty())
        emit restfulError(invite.errorMessage());
}

void Phone::onContactListRequestFinished(const QList<Contact> &list)
{
    LOG_TRACE << list.size() << "contacts";
    if (contacts)
        contacts->loadContacts(list);
}

void Phone::onGroupListRequestFinished(const QList<Group> &list)
{
    LOG_TRACE << list.size() << "groups";
    if (contacts)
        contacts->loadGroups(list);
}

void Phone::onOnlineNumbersRequestFinished(const QList<OnlineNumber> &onlineNumbers)
{
    emit onlineNumbersUpdate(onlineNumbers);
}

void Phone::sendSMS(const SMS &sms)
{
    if (rest)
        rest->sendSMS(sms);
}

void Phone::onSMSRequestFinished(const SMS &sms)
{
    if (!sms.errorMessage().isEmpty()) {
        emit errorSendingSMS(sms.errorMessage());
        return;
    }
    emit successSendingSMS(sms);
    later(liveBalanceDelayMs, &Phone::requestLiveBalanceUpdate);
}

// ---- calls

QString Phone::normalizeNumber(QString number)
{
    if (!number.startsWith(QLatin1Char('+')))
        number.prepend(QLatin1Char('+'));
    number.remove(QLatin1Char('-'));
    number.remove(QLatin1Char('('));
    number.remove(QLatin1Char(')'));
    return number;
}

QString Phone::numberError(const QString &number)
{
    if (number.isEmpty())
        return tr("Please provide a phone number.");
    if (number.size() < 5)
        return tr("Invalid number!");
    return QString();
}

bool Phone::validateNumber(QString number, QWidget *parent)
{
    const QString error = numberError(number);
    if (error.isEmpty())
        return true;
    QMessageBox::critical(parent, tr("Error"), error);
    return false;
}

QString Phone::remoteNumber(const talk::Call *call)
{
    return call ? call->remoteJid().user() : QString();
}

QString Phone::hangupReasonName(vesk::HANGUP_REASON reason)
{
    switch (reason) {
    case vesk::HANGUP_SUCCESS:
        return QStringLiteral("HANGUP_SUCCESS");
    case vesk::HANGUP_DECLINE:
        return QStringLiteral("HANGUP_DECLINE");
    case vesk::HANGUP_BUSY:
        return QStringLiteral("HANGUP_BUSY");
    case vesk::HANGUP_NOT_FOUND:
        return QStringLiteral("HANGUP_NOT_FOUND");
    case vesk::HANGUP_UNREACHABLE:
        return QStringLiteral("HANGUP_UNREACHABLE");
    case vesk::HANGUP_TIMEOUT:
        return QStringLiteral("HANGUP_TIMEOUT");
    case vesk::HANGUP_UNKNOWN:
        return QStringLiteral("HANGUP_UNKNOWN");
    }
    return QString();
}

void Phone::call(QString number, bool isVideo)
{
    talk::MediaEngine *media = mediaEngine();
    if (!media) {
        LOG_WARNING << "no media engine: cannot call" << number;
        return;
    }
    const talk::Jid jid(number, talkDomain);
    LOG_TRACE << "NUMBER JID STRING IS" << jid.toString();
    media->placeCall(jid, isVideo);
}

void Phone::hangup()
{
    LOG_TRACE << "Hanging up... Finishing call.";
    if (!focusCall) {
        LOG_WARNING << "Current call is null...";
        return;
    }
    focusCall->hangup();
}

void Phone::sendDTMF(QChar code)
{
    if (!focusCall) {
        LOG_WARNING << "no current call for DTMF";
        return;
    }
    focusCall->sendDTMF(code);
}

void Phone::connectCall(const talk::Call *call)
{
    const auto unique = Qt::UniqueConnection;
    connect(call, &talk::Call::sessionInitiated, this, &Phone::callSessionInitiated, unique);
    connect(call, &talk::Call::accepted, this, &Phone::callAccepted, unique);
    connect(call, &talk::Call::rejected, this, &Phone::callRejected, unique);
    connect(call, &talk::Call::progressStarted, this, &Phone::callProgressStarted, unique);
    connect(call, &talk::Call::hungup, this, &Phone::callHungup, unique);
    connect(call, &talk::Call::connectionMonitor, this, &Phone::callConnectionMonitor, unique);
}

void Phone::disconnectCall(const talk::Call *call)
{
    disconnect(call, &talk::Call::sessionInitiated, this, &Phone::callSessionInitiated);
    disconnect(call, &talk::Call::accepted, this, &Phone::callAccepted);
    disconnect(call, &talk::Call::rejected, this, &Phone::callRejected);
    disconnect(call, &talk::Call::progressStarted, this, &Phone::callProgressStarted);
    disconnect(call, &talk::Call::hungup, this, &Phone::callHungup);
    disconnect(call, &talk::Call::connectionMonitor, this, &Phone::callConnectionMonitor);
}

void Phone::callCreated(const talk::Call *call)
{
    if (!call) {
        LOG_WARNING << "talk::Call* is NULL in callCreated()";
        return;
    }
    LOG_TRACE << "Call created :" << call->id();
    if (!liveCalls.contains(call))
        liveCalls.append(call);
    connectCall(call);
}

void Phone::callDestroyed(const talk::Call *call)
{
    if (!call) {
        LOG_WARNING << "talk::Call* is NULL in callDestroyed()";
        return;
    }
    LOG_TRACE << "Call destroyed :" << call->id();
    disconnectCall(call);
    liveCalls.removeAll(call);
    if (focusCall == call)
        focusCall = nullptr;
    emit callInstanceDestroyed(call);
    later(liveBalanceDelayMs, &Phone::requestLiveBalanceUpdate);
}

void Phone::callFocusChanged(const talk::Call *newCallInstance, const talk::Call *oldCallInstance)
{
    // The media engine hands its own calls out as const; the focus call is one of them.
    focusCall = const_cast<talk::Call *>(newCallInstance);
    if (!newCallInstance)
        LOG_TRACE << "newCallInstace is NULL in callFocusChanged()";
    else if (!oldCallInstance)
        LOG_TRACE << "oldCallInstace is NULL in callFocusChanged()";
    else
        LOG_TRACE << "Call switching from :" << oldCallInstance->id() << "to :" << newCallInstance->id();
    emit focusCallChanged(newCallInstance, oldCallInstance);
}

void Phone::callSessionInitiated(const talk::Call *call)
{
    if (call->isIncoming()) {
        LOG_TRACE << "Incoming call session initiated.";
        emit incomingCall(call);
    } else {
        LOG_TRACE << "Outgoing call session initiated.";
        emit connecting(call);
    }
}

void Phone::callAccepted(const talk::Call *)
{
    LOG_TRACE << "Call accepted.";
}

void Phone::callRejected(const talk::Call *call)
{
    LOG_TRACE << "Call rejected.";
    emit callEnded(call);
}

void Phone::callProgressStarted(const talk::Call *call)
{
    LOG_TRACE << "Call progress started.";
    emit callStarted(call);
}

void Phone::callHungup(const talk::Call *call, vesk::HANGUP_REASON reason)
{
    LOG_TRACE << "Call hung up:" << hangupReasonName(reason);
    switch (reason) {
    case vesk::HANGUP_DECLINE:
        if (call->isIncoming())
            emit incomingCallHangupDecline(call);
        else
            emit callHungupDecline(call);
        break;
    case vesk::HANGUP_BUSY:
        emit callHangupIsBusy(call);
        break;
    case vesk::HANGUP_NOT_FOUND:
        emit callHangupNotFound(call);
        break;
    case vesk::HANGUP_UNREACHABLE:
        emit callHangupUnreachable(call);
        break;
    case vesk::HANGUP_TIMEOUT:
        emit callHangupTimeout(call);
        break;
    case vesk::HANGUP_UNKNOWN:
        emit callFailed(call);
        break;
    default:
        emit callEnded(call);
        break;
    }
}

void Phone::callConnectionMonitor(QList<talk::ConnectionInfo>, const talk::Call *) { }

// ---- audio

void Phone::onMicVolumeChanged(int level)
{
    micLevel = level;
    if (talk::MediaEngine *media = mediaEngine())
        media->setMicVolume(level);
}

void Phone::onMicMuted(bool muted)
{
    if (focusCall)
        focusCall->setMuted(muted);
    if (talk::MediaEngine *media = mediaEngine())
        media->setMicVolume(muted ? 0 : micLevel);
}

void Phone::onSpeakerVolumeChanged(int level)
{
    speakerLevel = level;
    if (talk::MediaEngine *media = mediaEngine())
        media->setSpeakerVolume(level);
}

void Phone::onSpeakerMuted(bool muted)
{
    if (talk::MediaEngine *media = mediaEngine())
        media->setSpeakerVolume(muted ? 0 : speakerLevel);
}

void Phone::setProxySettings(talk::ProxySettings proxySettings)
{
    if (session)
        session->setProxySettings(proxySettings);
}

// ---- connection loss and sign-out

void Phone::onConnectionLost(vesk::VESK_DISCONNECT_REASON reason)
{
    switch (reason) {
    case vesk::VESK_DISCONNECT_MISSED:
        LOG_TRACE << "Emitting connectionMissed...";
        emit connectionMissed();
        break;
    case vesk::VESK_DISCONNECT_REPLACED:
        LOG_TRACE << "Emitting connectionReplaced...";
        emit connectionReplaced();
        break;
    default:
        LOG_TRACE << "Emitting connectionErrorOccurred...";
        emit connectionErrorOccured();
        break;
    }
}

void Phone::logout()
{
    // From here on nothing may sign the user in again: not a late account reply, not a reconnect.
    signInState = State::SignedOut;
    if (session)
        session->cancelReconnect();
    if (focusCall) {
        LOG_TRACE << "CALL IN PROGRESS, TRYING TO HANG UP.";
        hangup();
        later(logoutDuringCallDelayMs, &Phone::doLogout);
        return;
    }
    LOG_TRACE << "LOGGING OUT";
    doLogout();
}

void Phone::doLogout()
{
    if (balanceRefresh) {
        balanceRefresh->stop();
        disconnect(balanceRefresh, &QTimer::timeout, nullptr, nullptr);
    }
    signInState = State::SignedOut;
    if (session) {
        session->cancelReconnect();
        if (session->isLoggedIn()) {
            LOG_TRACE << "Logging out...";
            session->logout();
            LOG_TRACE << "Logged out.";
        }
    }
    if (contacts)
        contacts->clear();
    emit logoutSuccessful();
}
