#pragma once

#include <QList>
#include <QObject>
#include <QString>

#include "rest/account.h"
#include "rest/balance.h"
#include "rest/contact.h"
#include "rest/group.h"
#include "rest/invite.h"
#include "rest/onlinenumber.h"
#include "rest/sms.h"

struct ServiceUrls;
class AccountRequest;
class BalanceRequest;
class ContactRequest;
class GroupRequest;
class InviteRequest;
class LiveBalanceRequest;
class OnlineNumberListRequest;
class RestRequest;
class SMSRequest;

// The one facade of the web service: owns one object of each request type, hands them the
// credentials and the service URLs, and relays their results under its own signals. Every operation
// returns at once; its result arrives later as a signal.
//
// Failures: only the sign-in fetch is reported to the outside, as accountRequestFailed() or, when the
// configured proxy could not be used, as proxyConnectionError(). A failure of any other request
// (proxy failures included) is that request's own requestError() and is traced here; it never looks
// like a failed sign-in.
class RestManager : public QObject
{
    Q_OBJECT
public:
    explicit RestManager(QObject *parent = nullptr);
    ~RestManager() override;

    void setServiceUrls(const ServiceUrls &urls);
    // Milliseconds without progress after which any request is given up (30 s unless set).
    void setTransferTimeout(int msecs);
    // Opens the HTTPS connection of the sign-in fetch ahead of getAccount() (when the service URLs
    // are set), so that a sign-in that follows soon does not wait for the TLS handshake.
    bool connectAheadForSignIn();

    AccountRequest *accountRequest() const { return account; }
    BalanceRequest *balanceRequest() const { return balance; }
    LiveBalanceRequest *liveBalanceRequest() const { return liveBalance; }
    ContactRequest *contactRequest() const { return contact; }
    GroupRequest *groupRequest() const { return group; }
    OnlineNumberListRequest *onlineNumberListRequest() const { return onlineNumbers; }
    SMSRequest *smsRequest() const { return sms; }
    InviteRequest *inviteRequest() const { return invite; }

public slots:
    virtual void getAccount();
    virtual void getContact(const QString &id);
    virtual void getGroups();
    virtual void getBalance();
    virtual void getLiveBalance();
    virtual void getContacts();
    virtual void getOnlineNumbers();
    virtual void renameGroup(QString oldName, const Group &group);
    virtual void updateContact(const Contact &contact);
    virtual void addContact(const Contact &contact);
    virtual void addGroup(const Group &group);
    virtual void updateAccount(const Account &account);
    virtual void sendInvite(const Invite &invite);
    virtual void sendSMS(const SMS &sms);
    virtual void deleteGroup(const Group &group);
    virtual void deleteContact(const Contact &contact);

    void onUsernameChanged(QString username);
    void onPasswordChanged(QString password);

signals:
    void requestFinished(const Account &account);
    void requestFinished(const Contact &contact);
    void requestFinished(const QList<Contact> &contacts);
    void requestFinished(const QList<Group> &groups);
    void requestFinished(const Group &group);
    void requestFinished(const Balance &balance);
    void requestFinished(const Invite &invite);
    void requestFinished(const QList<OnlineNumber> &numbers);
    void requestFinished(const SMS &sms);
    void contactDeleted();
    void contactUpdated();
    void groupAdded();
    void accountRequestFailed();
    void proxyConnectionError();

private slots:
    void slotErrorReceived();
    void slotProxyErrorReceived(QString message);
    void onAccountRequestError();

private:
    QList<RestRequest *> requests() const;
    void relaySignals();

    AccountRequest *account = nullptr;
    BalanceRequest *balance = nullptr;
    LiveBalanceRequest *liveBalance = nullptr;
    ContactRequest *contact = nullptr;
    GroupRequest *group = nullptr;
    OnlineNumberListRequest *onlineNumbers = nullptr;
    SMSRequest *sms = nullptr;
    InviteRequest *invite = nullptr;
};
