#pragma once

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>

#include "rest/account.h"
#include "rest/balance.h"
#include "rest/contact.h"
#include "rest/group.h"
#include "rest/invite.h"
#include "rest/onlinenumber.h"
#include "rest/sms.h"
#include "talk/call.h"
#include "talk/connectioninfo.h"
#include "talk/delayedcall.h"
#include "talk/proxysettings.h"
#include "talk/veskmetatypes.h"

class CallHistoryModel;
class ContactManager;
class History;
class QTimer;
class QWidget;
class RestManager;
class Settings;

namespace talk {
class MediaEngine;
class VeskTalk;
} // namespace talk

// The telephony and account controller: signs in (web-service account first, then the voice service
// with the credentials the account carries), keeps the balance fresh, fetches the address book and
// the virtual numbers after each sign-in, places and hangs up calls, turns the calls' progress into
// one set of signals for the screens, and signs out.
class Phone : public QObject
{
    Q_OBJECT
public:
    enum LoginError {
        WrongCredentials = 0,
        ConnectionFailed = 1,
        ProxyFailed = 2,
        WrongUserForAccount = 3,
        ServerError = 4,
    };
    Q_ENUM(LoginError)

    // Where the sign-in road stands.
    enum class State {
        SignedOut,
        AccountRequested,
        VoiceLoginPending,
        SignedIn,
    };
    Q_ENUM(State)

    // Delays of the deferred work, in milliseconds.
    static constexpr int balanceFirstDelayMs = 500;
    static constexpr int balanceIntervalMs = 300000;
    static constexpr int contactListDelayMs = 1000;
    static constexpr int virtualNumbersDelayMs = 500;
    static constexpr int logoutDuringCallDelayMs = 1500;
    static constexpr int liveBalanceDelayMs = 500;

    explicit Phone(QObject *parent = nullptr);
    ~Phone() override;

    void login(QString userName, QString password);
    // Asks for the account again with the credentials the web-service manager holds.
    void loginAgain();
    void logout();

    void setRestManager(RestManager *manager);
    void setTalk(talk::VeskTalk *talk);
    void setContactManager(ContactManager *manager);
    void setSettings(Settings *settings);
    void setHistory(History *history);

    talk::VeskTalk *talk() const;
    // The session's media engine; null without a session or engine.
    talk::MediaEngine *mediaEngine() const;
    bool isLoggedIn() const;
    // False while there is no media engine.
    bool isInCall() const;
    void sendSMS(const SMS &sms);
    // The focus call's DTMF; nothing while there is no focus call.
    void sendDTMF(QChar code);
    CallHistoryModel *callHistoryModel() const { return historyModel; }
    void clearCallHistory();

    State state() const { return signInState; }
    Account account() const { return accountRecord; }
    Balance balance() const { return balanceRecord; }
    QString userName() const { return webUserName; }
    QString talkUser() const { return talkUserName; }
    QString domain() const { return talkDomain; }
    QList<const talk::Call *> calls() const { return liveCalls; }
    QTimer *balanceTimer() const { return balanceRefresh; }

    // Hooks for tests: how deferred work runs, and the balance refresh period.
    void setDelayedCall(talk::DelayedCall delayedCall);
    void setBalanceInterval(int msecs);

    // "+" in front unless there is one, then every "-", "(" and ")" removed; nothing else changes.
    static QString normalizeNumber(QString number);
    // The message for a number the dial pad must refuse; empty for one it may call.
    static QString numberError(const QString &number);
    // Shows numberError() in a critical message box when there is one; true for a callable number.
    static bool validateNumber(QString number, QWidget *parent);
    // The user part (the phone number) of the call's remote address.
    static QString remoteNumber(const talk::Call *call);
    // The name of a hang-up reason; empty for the unnamed 6 to 8.
    static QString hangupReasonName(vesk::HANGUP_REASON reason);
    static LoginError loginErrorForEngineCode(vesk::VESK_TALK_ERROR_CODE code);
    static LoginError loginErrorForAccountError(const QString &errorText);

public slots:
    void loggedIn();
    void notLoggedIn(vesk::VESK_TALK_ERROR_CODE code);
    void callSessionInitiated(const talk::Call *call);
    void callAccepted(const talk::Call *call);
    void callRejected(const talk::Call *call);
    void callProgressStarted(const talk::Call *call);
    void callHungup(const talk::Call *call, vesk::HANGUP_REASON reason);
    void callConnectionMonitor(QList<talk::ConnectionInfo> connections, const talk::Call *call);
    void call(QString number, bool isVideo);
    void hangup();
    void callCreated(const talk::Call *call);
    void callDestroyed(const talk::Call *call);
    void callFocusChanged(const talk::Call *newCallInstance, const talk::Call *oldCallInstance);
    talk::Call *currentCall();
    void onMicVolumeChanged(int level);
    void onMicMuted(bool muted);
    void onSpeakerVolumeChanged(int level);
    void onSpeakerMuted(bool muted);
    void onAccountRequestFinished(const Account &account);
    void onBalanceRequestFinished(const Balance &balance);
    void onContactRequestFinished(const Contact &contact);
    void onGroupRequestFinished(const Group &group);
    void onContactListRequestFinished(const QList<Contact> &contacts);
    void onGroupListRequestFinished(const QList<Group> &groups);
    void onOnlineNumbersRequestFinished(const QList<OnlineNumber> &onlineNumbers);
    void onSMSRequestFinished(const SMS &sms);
    void onInviteRequestFinished(const Invite &invite);
    void retrieveContactsFromWebservices();
    void retrieveContactsFromWebservicesDelayed();
    void retrieveVirtualNumbersFromWebservices();
    void retrieveVirtualNumbersFromWebservicesDelayed();
    void requestBalanceUpdate(bool liveUpdate);
    void requestBalanceUpdate() { requestBalanceUpdate(false); }
    void requestLiveBalanceUpdate();
    void requestBalanceUpdateDelayed();
    void onAccountRequestFailed();
    void onConnectionLost(vesk::VESK_DISCONNECT_REASON reason);
    void onProxyConnectionError();
    void setProxySettings(talk::ProxySettings proxySettings);

signals:
    void usernameChanged(QString username);
    void passwordChanged(QString password);
    void loginSuccessful();
    void loginFailed(Phone::LoginError error);
    void logoutSuccessful();
    void mediaEngineCreated();
    void incomingCall(const talk::Call *call);
    void connecting(const talk::Call *call);
    void callStarted(const talk::Call *call);
    void callEnded(const talk::Call *call);
    void callFailed(const talk::Call *call);
    void callHangupIsBusy(const talk::Call *call);
    void callHungupDecline(const talk::Call *call);
    void callHangupNotFound(const talk::Call *call);
    void callHangupUnreachable(const talk::Call *call);
    void callHangupTimeout(const talk::Call *call);
    void callInstanceDestroyed(const talk::Call *call);
    // The focus call (the one hang-up, keypad and mute act on) is now newCall: moved by the engine or
    // by the user switching between parallel calls.
    void focusCallChanged(const talk::Call *newCall, const talk::Call *oldCall);
    void incomingCallHangupDecline(const talk::Call *call);
    void successSendingSMS(SMS sms);
    void errorSendingSMS(QString smsError);
    void restfulError(QString error);
    void balanceUpdate(Balance balance);
    void onlineNumbersUpdate(QList<OnlineNumber> onlineNumbers);
    void connectionMissed();
    void connectionReplaced();
    void connectionErrorOccured();

private slots:
    void doLogout();
    void onNewEventOccurred();
    void doCreateBalanceTimer();

private:
    void fail(LoginError error);
    void later(int msecs, void (Phone::*slot)());
    void connectCall(const talk::Call *call);
    void disconnectCall(const talk::Call *call);

    QList<const talk::Call *> liveCalls;
    talk::Call *focusCall = nullptr;
    CallHistoryModel *historyModel = nullptr;
    QString webUserName;
    QString webPassword;
    QString talkUserName;
    QString talkPassword;
    QString talkDomain;
    Account accountRecord;
    Balance balanceRecord;
    QTimer *balanceRefresh = nullptr;
    QPointer<RestManager> rest;
    QPointer<talk::VeskTalk> session;
    QPointer<ContactManager> contacts;
    QPointer<History> historyStore;
    QPointer<Settings> settingsStore;
    int micLevel = 25;
    int speakerLevel = 25;

    State signInState = State::SignedOut;
    int balanceInterval = balanceIntervalMs;
    talk::DelayedCall delayedCall = talk::qtDelayedCall();
};

Q_DECLARE_METATYPE(Phone::LoginError)
