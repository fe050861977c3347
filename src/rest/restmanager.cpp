#include "rest/restmanager.h"

#include "rest/accountrequest.h"
#include "rest/balancerequest.h"
#include "rest/contactrequest.h"
#include "rest/grouprequest.h"
#include "rest/inviterequest.h"
#include "rest/livebalancerequest.h"
#include "rest/onlinenumberlistrequest.h"
#include "rest/smsrequest.h"
#include "serviceurls.h"
#include "util/log.h"

RestManager::RestManager(QObject *parent)
    : QObject(parent)
    , account(new AccountRequest(this))
    , balance(new BalanceRequest(this))
    , liveBalance(new LiveBalanceRequest(this))
    , contact(new ContactRequest(this))
    , group(new GroupRequest(this))
    , onlineNumbers(new OnlineNumberListRequest(this))
    , sms(new SMSRequest(this))
    , invite(new InviteRequest(this))
{
    relaySignals();
}

RestManager::~RestManager() = default;

QList<RestRequest *> RestManager::requests() const
{
    return { account, balance, liveBalance, contact, group, onlineNumbers, sms, invite };
}

void RestManager::relaySignals()
{
    connect(
        account, &AccountRequest::finished, this, qOverload<const Account &>(&RestManager::requestFinished));
    connect(contact, qOverload<const Contact &>(&ContactRequest::finished), this,
        qOverload<const Contact &>(&RestManager::requestFinished));
    connect(contact, qOverload<const QList<Contact> &>(&ContactRequest::finished), this,
        qOverload<const QList<Contact> &>(&RestManager::requestFinished));
    connect(group, qOverload<const QList<Group> &>(&GroupRequest::finished), this,
        qOverload<const QList<Group> &>(&RestManager::requestFinished));
    connect(group, qOverload<const Group &>(&GroupRequest::finished), this,
        qOverload<const Group &>(&RestManager::requestFinished));
    connect(
        balance, &BalanceRequest::finished, this, qOverload<const Balance &>(&RestManager::requestFinished));
    connect(liveBalance, &BalanceRequest::finished, this,
        qOverload<const Balance &>(&RestManager::requestFinished));
    connect(invite, &InviteRequest::finished, this, qOverload<const Invite &>(&RestManager::requestFinished));
    connect(onlineNumbers, &OnlineNumberListRequest::finished, this,
        qOverload<const QList<OnlineNumber> &>(&RestManager::requestFinished));
    connect(sms, &SMSRequest::finished, this, qOverload<const SMS &>(&RestManager::requestFinished));
    connect(contact, &ContactRequest::contactDeleted, this, &RestManager::contactDeleted);
    connect(contact, &ContactRequest::contactUpdated, this, &RestManager::contactUpdated);
    connect(group, &GroupRequest::groupAdded, this, &RestManager::groupAdded);
    connect(
        account, &RestRequest::requestError, this, &RestManager::onAccountRequestError, Qt::UniqueConnection);

    for (RestRequest *request : requests()) {
        connect(request, &RestRequest::requestError, this, &RestManager::slotErrorReceived);
        connect(request, &RestRequest::proxyConnectionError, this, &RestManager::slotProxyErrorReceived);
    }
}

void RestManager::setServiceUrls(const ServiceUrls &urls)
{
    for (RestRequest *request : requests())
        request->setServiceUrls(urls);
}

void RestManager::setTransferTimeout(int msecs)
{
    for (RestRequest *request : requests())
        request->setTransferTimeout(msecs);
}

bool RestManager::connectAheadForSignIn()
{
    return account->connectAhead(account->serviceUrls().accountServiceBaseURL);
}

void RestManager::getAccount()
{
    account->getAccount();
}

void RestManager::getContact(const QString &id)
{
    contact->getContact(id);
}

void RestManager::getGroups()
{
    group->getGroups();
}

void RestManager::getBalance()
{
    balance->getBalance();
}

void RestManager::getLiveBalance()
{
    liveBalance->getLiveBalance();
}

void RestManager::getContacts()
{
    contact->getContacts();
}

void RestManager::getOnlineNumbers()
{
    onlineNumbers->getOnlineNumbers();
}

void RestManager::renameGroup(QString oldName, const Group &newGroup)
{
    group->renameGroup(oldName, newGroup);
}

void RestManager::updateContact(const Contact &changed)
{
    contact->updateContact(changed);
}

void RestManager::addContact(const Contact &added)
{
    contact->addContact(added);
}

void RestManager::addGroup(const Group &added)
{
    group->addGroup(added);
}

void RestManager::updateAccount(const Account &changed)
{
    account->updateAccount(changed);
}

void RestManager::sendInvite(const Invite &invitation)
{
    invite->sendInvite(invitation);
}

void RestManager::sendSMS(const SMS &message)
{
    sms->sendSMS(message);
}

void RestManager::deleteGroup(const Group &deleted)
{
    group->deleteGroup(deleted);
}

void RestManager::deleteContact(const Contact &deleted)
{
    contact->deleteContact(deleted);
}

void RestManager::onUsernameChanged(QString username)
{
    for (RestRequest *request : requests())
        request->setUsername(username);
}

void RestManager::onPasswordChanged(QString password)
{
    for (RestRequest *request : requests())
        request->setPassword(password);
}

void RestManager::slotErrorReceived()
{
    LOG_TRACE << "Error received!";
    if (QObject *from = sender())
        LOG_TRACE << from->metaObject()->className();
}

// Only the sign-in fetch raises proxy errors (the other requests report them as their own errors).
void RestManager::slotProxyErrorReceived(QString message)
{
    Q_UNUSED(message)
    emit proxyConnectionError();
}

// The account request's verb() is that of the reply that failed: only a failed sign-in fetch is a
// failed sign-in; a failed profile update is traced like any other background request.
void RestManager::onAccountRequestError()
{
    if (account->verb() == RestRequest::Get)
        emit accountRequestFailed();
}
