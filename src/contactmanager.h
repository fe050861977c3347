#pragma once

#include <QHash>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

#include <map>
#include <unordered_set>
#include <memory>
#include <vector>

#include "contactgroup.h"
#include "history/contactnamelookup.h"
#include "rest/contact.h"
#include "rest/group.h"
#include "rest/invite.h"
#include "samefields.h"

class GroupAddEditDeleteTask;
class RestManager;

// The signed-in user's address book: the groups and the contacts in them. Every change is made here
// first, announced with refreshContactListUI() and then sent to the web service without waiting for
// the answer; the group operations that need several requests in turn go through the task.
//
// Contacts are keyed by nick and groups by name (exact, in plain string order). Every contact in the
// book is a member of the group its groupName names, and that group is in the book. Objects that leave
// the book are freed only after the refresh that tells the models about it, so a model never holds a
// freed contact or group.
class ContactManager : public QObject, public ContactNameLookup
{
    Q_OBJECT
public:
    explicit ContactManager(QObject *parent = nullptr);
    ~ContactManager() override;

    static QStringList defaultGroupNames();

    void setRestManager(RestManager *manager);
    RestManager *restManager() const { return rest; }
    GroupAddEditDeleteTask *groupTask() const { return task; }

    void moveContact(Contact *contact, const QString &groupName, bool postToWebservice);
    ContactGroup *contactGroup(const QString &name) const;
    // Every contact, in nick order.
    QList<Contact *> allContacts() const;
    // All groups, in name order.
    QList<ContactGroup *> groupList() const;
    // The group at that position of groupList() and the contact at a row of its contacts(), as the
    // contact models' rows name them; null when out of range. Callers that wait (a confirmation, a
    // dialog) should keep the name or nick instead and look it up again.
    ContactGroup *groupAt(int groupIndex) const;
    Contact *contactAt(int groupIndex, int contactIndex) const;
    int contactCount() const { return int(contactIndex.size()); }
    int groupCount() const { return int(groups.size()); }

    // The first contact (in nick order) with a phone whose digits are the digits of `number`.
    Contact *findContactByNumber(const QString &number) const;
    QString nickForNumber(const QString &number) const override;
    // Translated labels of the details the contact shares with the first other contact that shares any.
    // Here and in the other duplicate checks two phone numbers are the same when their digits are.
    QStringList conflictingFields(const Contact &contact) const;

    void loadGroups(const QList<Group> &groupRecords);
    void loadContacts(const QList<Contact> &contactRecords);

    // Same first name and same last name, compared trimmed and case-insensitively; nameless contacts
    // share no name.
    static bool namesMatch(const Contact &a, const Contact &b);
    // The decimal digits of a number, without any punctuation.
    static QString digitsOf(const QString &number);

public slots:
    // Returns whether the contact was stored.
    bool addContact(const Contact &contact, bool webserviceRequest);
    bool addNewContact(const Contact &contact) { return addContact(contact, true); }
    bool addOldContact(const Contact &contact) { return addContact(contact, false); }
    void updateContact(const Contact &contact, const QString &oldGroupName);
    void addGroup(const QString &groupName, bool postToWebservice);
    void addNewGroup(const QString &groupName) { addGroup(groupName, true); }
    void addOldGroup(const QString &groupName) { addGroup(groupName, false); }
    void updateGroup(const QString &oldGroupName, const QString &newGroupName);
    void addNewGroupAndNewContact(const Contact &contact, const QString &groupName);
    void addNewGroupAndMoveContact(const Contact &contact, const QString &groupName);
    int groupIndex(const QString &groupName) const;
    Contact *contactPresent(const Contact &contact) const;
    Contact *contactPresent(const QString &nick) const;
    bool groupPresent(const QString &group) const;
    void deleteContact(Contact *contact);
    void deleteContact(const QString &nick);
    void deleteGroupAndContacts(const QString &groupName);
    void deleteGroupAndContacts(ContactGroup *group);
    void deleteGroupMoveContacts(const QString &groupToDelete, const QString &groupToMove);
    void deleteGroupMoveContacts(ContactGroup *group, const QString &groupToMove);
    void deleteGroup(ContactGroup *groupToDelete, const QString &groupToMove, bool moveContacts = false);
    void deleteGroup(const QString &groupToDelete, const QString &groupToMove, bool moveContacts = false);
    void sendInvitations(const Invite &invite);
    void ensureDefaultGroupsPresent();
    void clear();
    SameFields contactDetailsPresent(const QString &phoneNumber, const QString &email,
        const QString &firstName, const QString &lastName) const;
    SameFields contactDetailsPresent(const Contact &contact) const;

signals:
    void contactAlreadyPresent(const Contact &contact);
    void groupAlreadyExists(const QString &groupName);
    void contactUpdated(const QString &nick);
    void refreshContactListUI();

private:
    using ContactMap = std::map<QString, std::unique_ptr<Contact>>;
    using GroupMap = std::map<QString, std::unique_ptr<ContactGroup>>;

    ContactGroup *findOrCreateLocalGroup(const QString &name);
    ContactGroup *insertGroup(const QString &name);
    // Stores an owned copy and files it in its group; no request, no refresh.
    Contact *storeContact(const Contact &contact);
    // Takes the contact out of the index and of its group and keeps it until the next refresh.
    void retireContact(const QString &nick);
    void retireGroup(const QString &name);
    // Announces a change and then frees what left the book with it.
    void refresh();
    // Whether the pointer is one of the book's contacts; never dereferences it.
    bool isInBook(const Contact *contact) const;

    GroupMap groups;
    ContactMap contactIndex;
    GroupAddEditDeleteTask *task = nullptr;
    RestManager *rest = nullptr;
    // Objects that left the book; freed after the refresh that follows the change.
    std::vector<std::unique_ptr<Contact>> retiredContacts;
    std::vector<std::unique_ptr<ContactGroup>> retiredGroups;
    // Bulk loads announce one refresh at the end instead of one per record.
    int bulkDepth = 0;
    bool refreshPending = false;
    // Set while loadContacts() fills the book: its per-contact trace lines are left out.
    bool loading = false;
    std::unordered_set<const Contact *> liveContacts;
    mutable QHash<QString, Contact *> numberIndex;
    mutable bool numberIndexValid = false;
};
