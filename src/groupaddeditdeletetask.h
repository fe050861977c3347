#pragma once

#include <QList>
#include <QMetaObject>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>

#include "rest/contact.h"
#include "rest/group.h"

class ContactManager;
class QNetworkReply;
class RestManager;
class RestRequest;

// Carries out the group operations that need several web-service requests in turn: deleting a group
// (one contact request after another, then the group), and creating a group before the contacts that
// go into it. The address book itself has already been changed by the ContactManager; this only
// brings the service along. The one exception is startCreateGroup(), which changes the book only
// after the service has confirmed the group.
//
// Operations are queued and run one at a time, so a second one never overwrites the first. Each step
// waits for the completion of its own request, whatever form the service's answer takes, and a failed
// step ends its operation (operationFailed) and lets the next one run. The task keeps names, nicks and
// record copies only, never pointers into the book, and cancel() drops everything.
class GroupAddEditDeleteTask : public QObject
{
    Q_OBJECT
public:
    explicit GroupAddEditDeleteTask(ContactManager *contactManager, QObject *parent = nullptr);
    ~GroupAddEditDeleteTask() override;

    void setRestManager(RestManager *restManager, ContactManager *contactManager);

    // `members`: the group's contacts as they were when it was deleted. Moved contacts are sent as the
    // book holds them when their turn comes; deleted ones by their nick.
    void startDelete(const QString &groupName, const QString &groupToMove, bool moveContacts,
        const QList<Contact> &members);
    // Creates the group on the service, then the contact of that nick (as the book then holds it).
    void startAddToNewGroup(const QString &nick, const QString &groupName);
    // Creates the group on the service, then sends the contacts of these nicks, already moved locally.
    void startMoveToNewGroup(const QStringList &nicks, const QString &groupName);
    // Creates the group on the service and, once the service has confirmed it, adds it to the book
    // (without another request) and reports groupCreated(). A refused, failed or dropped creation
    // leaves the book as it was and reports groupCreationFailed(), with the service's message if it
    // gave one.
    void startCreateGroup(const QString &groupName);

    // Forgets the running and the queued operations; a reply still on its way is ignored.
    void cancel();
    bool isBusy() const { return running; }
    int queuedOperations() const { return queue.size(); }

signals:
    void operationFinished(const QString &groupName);
    void operationFailed(const QString &groupName);
    void groupCreated(const QString &groupName);
    void groupCreationFailed(const QString &groupName, const QString &message);

private slots:
    void deleteNextContact();
    void moveContactsToNewGroup();
    void addContactToNewGroup();
    void addCreatedGroup();
    void onAwaitedReplyFinished();

private:
    enum class Kind {
        Delete,
        AddToNewGroup,
        MoveToNewGroup,
        CreateGroup,
    };
    struct Operation
    {
        Kind kind = Kind::Delete;
        QString groupName;
        QString groupToMove;
        bool moveContacts = false;
        QList<Contact> members;
        QStringList nicks;
    };
    enum class Outcome {
        None,
        Done,
        Failed,
    };
    using Step = void (GroupAddEditDeleteTask::*)();

    void enqueue(const Operation &operation);
    void startNext();
    void finishCurrent(bool ok);
    void createGroupThen(Step next);
    // Waits for the reply that `request` has just sent (it is not `before`) and then runs `next`.
    bool awaitReply(RestRequest *request, QNetworkReply *before, Step next);
    void record(RestRequest *from, bool ok);
    void recordGroupAnswer(const Group &answer);
    void disconnectRest();

    QPointer<ContactManager> contacts;
    QPointer<RestManager> rest;
    QList<QMetaObject::Connection> restConnections;

    QList<Operation> queue;
    Operation current;
    bool running = false;

    QPointer<QNetworkReply> awaited;
    RestRequest *awaitedRequest = nullptr;
    QMetaObject::Connection awaitedConnection;
    Step awaitedNext = nullptr;
    Outcome outcome = Outcome::None;
    // What the service said to the group request awaited, and the outcome and message of the last
    // awaited reply, for the step that follows it.
    QString awaitedMessage;
    Outcome lastOutcome = Outcome::None;
    QString lastMessage;
};
