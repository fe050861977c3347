#include "groupaddeditdeletetask.h"

#include <QNetworkReply>

#include "contactmanager.h"
#include "rest/contactrequest.h"
#include "rest/grouprequest.h"
#include "rest/restmanager.h"
#include "util/log.h"

GroupAddEditDeleteTask::GroupAddEditDeleteTask(ContactManager *contactManager, QObject *parent)
    : QObject(parent), contacts(contactManager)
{ }

GroupAddEditDeleteTask::~GroupAddEditDeleteTask()
{
    cancel();
}

// The RestManager relays its requests' results without saying which request they answer. A reply's
// results are all raised while the network manager announces it as finished, and that announcement
// runs before the reply's own finished() reaches any receiver connected after the send (ours). So the
// results recorded when our reply's finished() arrives are that reply's.
void GroupAddEditDeleteTask::setRestManager(RestManager *restManager, ContactManager *contactManager)
{
    disconnectRest();
    rest = restManager;
    contacts = contactManager;
    if (!rest)
        return;
    ContactRequest *contactRequest = rest->contactRequest();
    GroupRequest *groupRequest = rest->groupRequest();
    auto contactOk = [this, contactRequest]() { record(contactRequest, true); };
    auto contactFailed = [this, contactRequest]() { record(contactRequest, false); };
    auto groupOk = [this, groupRequest]() { record(groupRequest, true); };
    auto groupFailed = [this, groupRequest]() { record(groupRequest, false); };
    restConnections << connect(rest, &RestManager::contactDeleted, this, contactOk)
                    << connect(rest, &RestManager::contactUpdated, this, contactOk)
                    << connect(rest, qOverload<const Contact &>(&RestManager::requestFinished), this,
                           [this, contactRequest](const Contact &answer) {
                               if (!answer.errorMessage().isEmpty() && awaitedRequest == contactRequest)
                                   LOG_TRACE << "the service answered:" << answer.errorMessage();
                               record(contactRequest, true);
                           })
                    << connect(contactRequest, &RestRequest::requestError, this, contactFailed)
                    << connect(contactRequest, &RestRequest::proxyConnectionError, this, contactFailed)
                    << connect(rest, &RestManager::groupAdded, this, groupOk)
                    << connect(rest, qOverload<const Group &>(&RestManager::requestFinished), this,
                           &GroupAddEditDeleteTask::recordGroupAnswer)
                    << connect(groupRequest, &RestRequest::requestError, this, groupFailed)
                    << connect(groupRequest, &RestRequest::proxyConnectionError, this, groupFailed);
}

void GroupAddEditDeleteTask::disconnectRest()
{
    for (const QMetaObject::Connection &connection : qAsConst(restConnections))
        disconnect(connection);
    restConnections.clear();
}

void GroupAddEditDeleteTask::record(RestRequest *from, bool ok)
{
    if (awaited && from == awaitedRequest)
        outcome = ok ? Outcome::Done : Outcome::Failed;
}

void GroupAddEditDeleteTask::recordGroupAnswer(const Group &answer)
{
    if (!rest || !awaited || awaitedRequest != rest->groupRequest())
        return;
    // The service refuses a group with a 2xx reply that carries its message.
    awaitedMessage = answer.errorMessage();
    record(awaitedRequest, true);
}

void GroupAddEditDeleteTask::startDelete(
    const QString &groupName, const QString &groupToMove, bool moveContacts, const QList<Contact> &members)
{
    Operation operation;
    operation.kind = Kind::Delete;
    operation.groupName = groupName;
    operation.groupToMove = groupToMove;
    operation.moveContacts = moveContacts;
    operation.members = members;
    enqueue(operation);
}

void GroupAddEditDeleteTask::startAddToNewGroup(const QString &nick, const QString &groupName)
{
    Operation operation;
    operation.kind = Kind::AddToNewGroup;
    operation.groupName = groupName;
    operation.nicks = QStringList { nick };
    enqueue(operation);
}

void GroupAddEditDeleteTask::startMoveToNewGroup(const QStringList &nicks, const QString &groupName)
{
    Operation operation;
    operation.kind = Kind::MoveToNewGroup;
    operation.groupName = groupName;
    operation.nicks = nicks;
    enqueue(operation);
}

void GroupAddEditDeleteTask::startCreateGroup(const QString &groupName)
{
    Operation operation;
    operation.kind = Kind::CreateGroup;
    operation.groupName = groupName;
    enqueue(operation);
}

void GroupAddEditDeleteTask::enqueue(const Operation &operation)
{
    queue.append(operation);
    if (running)
        LOG_TRACE << "group operation on" << operation.groupName << "waits for" << current.groupName;
    startNext();
}

void GroupAddEditDeleteTask::startNext()
{
    if (running || queue.isEmpty())
        return;
    current = queue.takeFirst();
    running = true;
    lastOutcome = Outcome::None;
    lastMessage.clear();
    switch (current.kind) {
    case Kind::Delete:
        deleteNextContact();
        break;
    case Kind::AddToNewGroup:
        createGroupThen(&GroupAddEditDeleteTask::addContactToNewGroup);
        break;
    case Kind::MoveToNewGroup:
        createGroupThen(&GroupAddEditDeleteTask::moveContactsToNewGroup);
        break;
    case Kind::CreateGroup:
        createGroupThen(&GroupAddEditDeleteTask::addCreatedGroup);
        break;
    }
}

void GroupAddEditDeleteTask::finishCurrent(bool ok)
{
    const QString groupName = current.groupName;
    const bool creation = current.kind == Kind::CreateGroup;
    running = false;
    current = Operation();
    if (ok) {
        emit operationFinished(groupName);
    } else {
        LOG_WARNING << "group operation on" << groupName << "failed; the service may differ from the book";
        emit operationFailed(groupName);
    }
    if (creation) {
        if (ok)
            emit groupCreated(groupName);
        else
            emit groupCreationFailed(groupName, lastMessage);
    }
    startNext();
}

void GroupAddEditDeleteTask::cancel()
{
    if (running || !queue.isEmpty())
        LOG_TRACE << "dropping" << (running ? 1 : 0) + queue.size() << "group operations";
    // Whoever waits for a group to be created learns that it will not be.
    QStringList droppedCreations;
    if (running && current.kind == Kind::CreateGroup)
        droppedCreations << current.groupName;
    for (const Operation &operation : qAsConst(queue)) {
        if (operation.kind == Kind::CreateGroup)
            droppedCreations << operation.groupName;
    }
    queue.clear();
    running = false;
    current = Operation();
    if (awaitedConnection)
        disconnect(awaitedConnection);
    awaited = nullptr;
    awaitedRequest = nullptr;
    awaitedNext = nullptr;
    outcome = Outcome::None;
    for (const QString &groupName : qAsConst(droppedCreations))
        emit groupCreationFailed(groupName, QString());
}

bool GroupAddEditDeleteTask::awaitReply(RestRequest *request, QNetworkReply *before, Step next)
{
    QNetworkReply *sent = request->reply();
    if (!sent || sent == before) {
        LOG_WARNING << "no request went out for the group operation on" << current.groupName;
        return false;
    }
    awaited = sent;
    awaitedRequest = request;
    awaitedNext = next;
    outcome = Outcome::None;
    awaitedMessage.clear();
    awaitedConnection
        = connect(sent, &QNetworkReply::finished, this, &GroupAddEditDeleteTask::onAwaitedReplyFinished);
    return true;
}

void GroupAddEditDeleteTask::onAwaitedReplyFinished()
{
    if (sender() != awaited.data())
        return;
    disconnect(awaitedConnection);
    const Step next = awaitedNext;
    const Outcome result = outcome;
    lastOutcome = outcome;
    lastMessage = awaitedMessage;
    awaited = nullptr;
    awaitedRequest = nullptr;
    awaitedNext = nullptr;
    outcome = Outcome::None;
    awaitedMessage.clear();
    if (!running || !next)
        return;
    if (result == Outcome::Failed) {
        finishCurrent(false);
        return;
    }
    (this->*next)();
}

void GroupAddEditDeleteTask::createGroupThen(Step next)
{
    if (!rest) {
        finishCurrent(false);
        return;
    }
    QNetworkReply *before = rest->groupRequest()->reply();
    rest->addGroup(Group(current.groupName));
    if (!awaitReply(rest->groupRequest(), before, next))
        finishCurrent(false);
}

void GroupAddEditDeleteTask::deleteNextContact()
{
    if (!running || current.kind != Kind::Delete)
        return;
    if (!rest || !contacts) {
        finishCurrent(false);
        return;
    }
    while (!current.members.isEmpty()) {
        const Contact member = current.members.takeFirst();
        QNetworkReply *before = rest->contactRequest()->reply();
        if (current.moveContacts) {
            const Contact *stored = contacts->contactPresent(member.nick());
            if (!stored) {
                LOG_TRACE << "contact" << member.nick() << "left the book; not moved on the service";
                continue;
            }
            rest->updateContact(*stored);
        } else {
            rest->deleteContact(member);
        }
        if (!awaitReply(rest->contactRequest(), before, &GroupAddEditDeleteTask::deleteNextContact))
            finishCurrent(false);
        return;
    }
    // Every member is confirmed: now the group itself.
    rest->deleteGroup(Group(current.groupName));
    finishCurrent(true);
}

void GroupAddEditDeleteTask::addContactToNewGroup()
{
    if (!running || current.kind != Kind::AddToNewGroup)
        return;
    for (const QString &nick : qAsConst(current.nicks)) {
        Contact *stored = contacts ? contacts->contactPresent(nick) : nullptr;
        if (!stored) {
            LOG_TRACE << "contact" << nick << "left the book; not created on the service";
            continue;
        }
        if (rest)
            rest->addContact(*stored);
    }
    finishCurrent(true);
}

void GroupAddEditDeleteTask::addCreatedGroup()
{
    if (!running || current.kind != Kind::CreateGroup)
        return;
    // Only an answer that is the stored group confirms it: an unreadable one may be anything.
    if (lastOutcome != Outcome::Done || !lastMessage.isEmpty()) {
        LOG_TRACE << "the service did not create group" << current.groupName << lastMessage;
        finishCurrent(false);
        return;
    }
    if (contacts && !contacts->groupPresent(current.groupName))
        contacts->addOldGroup(current.groupName);
    finishCurrent(true);
}

void GroupAddEditDeleteTask::moveContactsToNewGroup()
{
    if (!running || current.kind != Kind::MoveToNewGroup)
        return;
    for (const QString &nick : qAsConst(current.nicks)) {
        Contact *stored = contacts ? contacts->contactPresent(nick) : nullptr;
        if (!stored) {
            LOG_TRACE << "contact" << nick << "left the book; not moved on the service";
            continue;
        }
        if (stored->groupName() != current.groupName) {
            // Moved on again meanwhile; that move sent its own update.
            continue;
        }
        if (rest)
            rest->updateContact(*stored);
    }
    finishCurrent(true);
}
