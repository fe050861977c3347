#include "contactmanager.h"

#include <algorithm>
#include <functional>
#include <iterator>

#include <QElapsedTimer>

#include "groupaddeditdeletetask.h"
#include "rest/restmanager.h"
#include "util/log.h"

namespace {

const char nullPointerWarning[] = "WARNING: NULL POINTER";

// The digits of each number: "+1 (555) 010-0" and "+15550100" are one number written two ways.
QStringList digitsOfNumbers(const QStringList &numbers)
{
    QStringList digits;
    digits.reserve(numbers.size());
    for (const QString &number : numbers)
        digits.append(ContactManager::digitsOf(number));
    return digits;
}

// Whether the number, reduced to its digits, is one of the numbers already reduced. A number without
// digits is no number: it matches nothing.
bool hasNumber(const QStringList &digitsList, const QString &number)
{
    const QString digits = ContactManager::digitsOf(number);
    return !digits.isEmpty() && digitsList.contains(digits);
}

bool sharesPhone(const Contact &a, const Contact &b)
{
    const QStringList theirs = digitsOfNumbers(b.phoneNumbers());
    for (const QString &number : a.phoneNumbers()) {
        if (hasNumber(theirs, number))
            return true;
    }
    return false;
}

bool sharesEmail(const Contact &a, const Contact &b)
{
    const QStringList theirs = b.emails();
    for (const QString &email : a.emails()) {
        if (!email.isEmpty() && theirs.contains(email))
            return true;
    }
    return false;
}

bool hasEmail(const Contact &contact)
{
    const QStringList emails = contact.emails();
    return std::any_of(emails.begin(), emails.end(), [](const QString &e) { return !e.isEmpty(); });
}

} // namespace

// Collects the refreshes of a bulk change into one, sent when the outermost bulk ends.
class ContactManagerBulk
{
public:
    explicit ContactManagerBulk(int &depth, bool &pending, std::function<void()> flush)
        : depth(depth), pending(pending), flush(std::move(flush))
    {
        ++depth;
    }
    ~ContactManagerBulk()
    {
        if (--depth == 0 && pending) {
            pending = false;
            flush();
        }
    }

private:
    int &depth;
    bool &pending;
    std::function<void()> flush;
};

ContactManager::ContactManager(QObject *parent)
    : QObject(parent), task(new GroupAddEditDeleteTask(this, this))
{ }

ContactManager::~ContactManager()
{
    task->cancel();
}

QStringList ContactManager::defaultGroupNames()
{
    return { QStringLiteral("Work"), QStringLiteral("Family"), QStringLiteral("Friends") };
}

void ContactManager::setRestManager(RestManager *manager)
{
    rest = manager;
    task->setRestManager(manager, this);
}

// ---- lookups ---------------------------------------------------------------------------------------

ContactGroup *ContactManager::contactGroup(const QString &name) const
{
    const auto it = groups.find(name);
    return it == groups.end() ? nullptr : it->second.get();
}

QList<Contact *> ContactManager::allContacts() const
{
    QList<Contact *> list;
    list.reserve(int(contactIndex.size()));
    for (const auto &entry : contactIndex)
        list.append(entry.second.get());
    return list;
}

QList<ContactGroup *> ContactManager::groupList() const
{
    QList<ContactGroup *> list;
    list.reserve(int(groups.size()));
    for (const auto &entry : groups)
        list.append(entry.second.get());
    return list;
}

ContactGroup *ContactManager::groupAt(int groupIndex) const
{
    if (groupIndex < 0 || groupIndex >= int(groups.size()))
        return nullptr;
    return std::next(groups.begin(), groupIndex)->second.get();
}

Contact *ContactManager::contactAt(int groupIndex, int contactIndex) const
{
    const ContactGroup *group = groupAt(groupIndex);
    return group ? group->contactAt(contactIndex) : nullptr;
}

int ContactManager::groupIndex(const QString &groupName) const
{
    const auto it = groups.find(groupName);
    return it == groups.end() ? -1 : int(std::distance(groups.begin(), it));
}

Contact *ContactManager::contactPresent(const QString &nick) const
{
    const auto it = contactIndex.find(nick);
    return it == contactIndex.end() ? nullptr : it->second.get();
}

bool ContactManager::groupPresent(const QString &group) const
{
    return contactGroup(group) != nullptr;
}

bool ContactManager::isInBook(const Contact *contact) const
{
    return contact && liveContacts.count(contact) > 0;
}

QString ContactManager::digitsOf(const QString &number)
{
    QString digits;
    digits.reserve(number.size());
    for (const QChar c : number) {
        if (c >= QLatin1Char('0') && c <= QLatin1Char('9'))
            digits.append(c);
    }
    return digits;
}

Contact *ContactManager::findContactByNumber(const QString &number) const
{
    const QString digits = digitsOf(number);
    if (digits.isEmpty())
        return nullptr;
    if (!numberIndexValid) {
        // Every screen that shows a number asks this, the call history once per row: answer from an
        // index that is rebuilt only after the book changed.
        numberIndex.clear();
        for (const auto &entry : contactIndex) {
            for (const QString &phone : entry.second->phoneNumbers()) {
                const QString key = digitsOf(phone);
                if (!key.isEmpty() && !numberIndex.contains(key))
                    numberIndex.insert(key, entry.second.get());
            }
        }
        numberIndexValid = true;
    }
    return numberIndex.value(digits);
}

QString ContactManager::nickForNumber(const QString &number) const
{
    const Contact *contact = findContactByNumber(number);
    return contact ? contact->nick() : QString();
}

// ---- duplicate checks ------------------------------------------------------------------------------

bool ContactManager::namesMatch(const Contact &a, const Contact &b)
{
    const QString firstA = a.firstName().trimmed().toLower();
    const QString lastA = a.lastName().trimmed().toLower();
    const QString firstB = b.firstName().trimmed().toLower();
    const QString lastB = b.lastName().trimmed().toLower();
    // Two contacts without any name do not share one.
    if (firstA.isEmpty() && lastA.isEmpty())
        return false;
    if (firstA != firstB)
        return false;
    if (lastA.isEmpty() && lastB.isEmpty())
        return true;
    return !lastA.isEmpty() && !lastB.isEmpty() && lastA == lastB;
}

Contact *ContactManager::contactPresent(const Contact &contact) const
{
    if (Contact *same = contactPresent(contact.nick()))
        return same;

    QList<Contact *> candidates;
    if (!contact.groupName().isEmpty()) {
        const ContactGroup *group = contactGroup(contact.groupName());
        if (!group) {
            LOG_TRACE << "Cannot find group: " << contact.groupName()
                      << " for contact:" << contact.displayName();
            return nullptr;
        }
        candidates = group->contacts();
    } else {
        candidates = allContacts();
    }
    for (Contact *candidate : qAsConst(candidates)) {
        if (sharesPhone(contact, *candidate) || sharesEmail(contact, *candidate))
            return candidate;
    }
    return nullptr;
}

QStringList ContactManager::conflictingFields(const Contact &contact) const
{
    const QStringList numbers = contact.phoneNumbers();
    for (const auto &entry : contactIndex) {
        const Contact &other = *entry.second;
        if (other.nick() == contact.nick())
            continue;
        QStringList labels;
        if (hasEmail(contact) && sharesEmail(contact, other))
            labels.append(tr("Email"));
        if (namesMatch(contact, other))
            labels.append(tr("First/Last name"));
        const QStringList otherNumbers = digitsOfNumbers(other.phoneNumbers());
        for (int i = 0; i < numbers.size(); ++i) {
            if (hasNumber(otherNumbers, numbers.at(i)))
                labels.append(tr("Phone %1").arg(i + 1));
        }
        if (!labels.isEmpty())
            return labels;
    }
    return {};
}

SameFields ContactManager::contactDetailsPresent(const Contact &contact) const
{
    SameFields same;
    if (!contact.nick().isEmpty() && contactPresent(contact.nick()))
        same.insert(SameFields::SameContact);
    if (same.isEmpty()) {
        for (const auto &entry : contactIndex) {
            const Contact &other = *entry.second;
            if (sharesEmail(contact, other))
                same.insert(SameFields::SameEmail);
            if (sharesPhone(contact, other))
                same.insert(SameFields::SamePhone);
            if (namesMatch(contact, other))
                same.insert(SameFields::SameName);
        }
    }
    if (same.isEmpty())
        same.insert(SameFields::Nothing);
    return same;
}

SameFields ContactManager::contactDetailsPresent(
    const QString &phoneNumber, const QString &email, const QString &firstName, const QString &lastName) const
{
    const bool hasName = !firstName.isEmpty() || !lastName.isEmpty();
    const QString phoneDigits = digitsOf(phoneNumber);
    SameFields same;
    for (const auto &entry : contactIndex) {
        const Contact &other = *entry.second;
        if (hasName && other.firstName() == firstName && other.lastName() == lastName)
            same.insert(SameFields::SameName);
        if (!email.isEmpty() && other.emails().contains(email))
            same.insert(SameFields::SameEmail);
        if (!phoneDigits.isEmpty() && digitsOfNumbers(other.phoneNumbers()).contains(phoneDigits))
            same.insert(SameFields::SamePhone);
    }
    if (same.contains(SameFields::SameName) && same.contains(SameFields::SameEmail)
        && same.contains(SameFields::SamePhone))
        same = SameFields { SameFields::SameContact };
    if (same.isEmpty())
        same.insert(SameFields::Nothing);
    return same;
}

// ---- storage ---------------------------------------------------------------------------------------

ContactGroup *ContactManager::insertGroup(const QString &name)
{
    auto group = std::make_unique<ContactGroup>(name, false);
    ContactGroup *raw = group.get();
    groups[name] = std::move(group);
    return raw;
}

ContactGroup *ContactManager::findOrCreateLocalGroup(const QString &name)
{
    if (ContactGroup *group = contactGroup(name)) {
        if (!loading)
            LOG_TRACE << "getting group: " << name;
        return group;
    }
    LOG_TRACE << "creating new group: " << name;
    return insertGroup(name);
}

Contact *ContactManager::storeContact(const Contact &contact)
{
    retireContact(contact.nick());
    auto owned = std::make_unique<Contact>(contact);
    Contact *raw = owned.get();
    contactIndex[contact.nick()] = std::move(owned);
    liveContacts.insert(raw);
    findOrCreateLocalGroup(contact.groupName())->addContact(raw);
    numberIndexValid = false;
    return raw;
}

void ContactManager::retireContact(const QString &nick)
{
    const auto it = contactIndex.find(nick);
    if (it == contactIndex.end())
        return;
    if (ContactGroup *group = contactGroup(it->second->groupName()))
        group->removeContact(nick);
    liveContacts.erase(it->second.get());
    retiredContacts.push_back(std::move(it->second));
    contactIndex.erase(it);
    numberIndexValid = false;
}

void ContactManager::retireGroup(const QString &name)
{
    const auto it = groups.find(name);
    if (it == groups.end())
        return;
    retiredGroups.push_back(std::move(it->second));
    groups.erase(it);
}

void ContactManager::refresh()
{
    numberIndexValid = false;
    if (bulkDepth > 0) {
        refreshPending = true;
        return;
    }
    emit refreshContactListUI();
    // The models have been reset from the current book: nothing reads the retired objects any more.
    retiredContacts.clear();
    retiredGroups.clear();
}

// ---- changes ---------------------------------------------------------------------------------------

bool ContactManager::addContact(const Contact &contact, bool webserviceRequest)
{
    // A load of the whole book is traced once, by loadContacts.
    if (!loading)
        LOG_TRACE << "Adding contact " << contact.firstName() << ", new? " << webserviceRequest;
    if (webserviceRequest && !contactIndex.empty() && contactPresent(contact)) {
        emit contactAlreadyPresent(contact);
        LOG_TRACE << "Contact " << contact.firstName() << " already present";
        return false;
    }

    Contact copy = contact;
    if (copy.nick().isEmpty()) {
        LOG_TRACE << "Nick is empty, generating nick.";
        copy.setNick(copy.generateNick());
    }
    if (!loading)
        LOG_TRACE << "   adding contact: " << copy.nick() << ", " << copy.firstName() << copy.lastName();
    Contact *stored = storeContact(copy);
    if (webserviceRequest && rest)
        rest->addContact(*stored);
    refresh();
    return true;
}

void ContactManager::updateContact(const Contact &contact, const QString &oldGroupName)
{
    LOG_TRACE << "Saving contact " << contact.displayName() << "oldGroupName" << oldGroupName
              << "contact's groupName" << contact.groupName();
    Contact *stored = contactPresent(contact.nick());
    if (!stored) {
        LOG_WARNING << "contact" << contact.nick() << "is not in the address book any more; nothing saved";
        return;
    }
    ContactGroup *newGroup = findOrCreateLocalGroup(contact.groupName());
    // The stored contact's own group is the one it leaves, whatever the caller remembered.
    ContactGroup *currentGroup = contactGroup(stored->groupName());

    stored->setFirstName(contact.firstName());
    stored->setLastName(contact.lastName());
    stored->setEmails(contact.emails());
    stored->setPhones(contact.phones());
    // The contact dialog edits the first address line; without this an address change was lost.
    stored->setAddressLine1(contact.addressLine1());
    if (currentGroup != newGroup) {
        if (currentGroup)
            currentGroup->removeContact(stored->nick());
        newGroup->addContact(stored);
    }
    numberIndexValid = false;
    LOG_TRACE << "   updating contact: " << stored->nick() << stored->displayName()
              << "old group members:" << (currentGroup ? currentGroup->contactCount() : 0)
              << "new group members:" << newGroup->contactCount();
    if (rest)
        rest->updateContact(*stored);
    refresh();
}

void ContactManager::moveContact(Contact *contact, const QString &groupName, bool postToWebservice)
{
    if (!isInBook(contact)) {
        LOG_WARNING << nullPointerWarning;
        return;
    }
    if (groupName.isEmpty()) {
        LOG_TRACE << "EMPTY GROUP NAME!!!!";
        return;
    }
    if (groupName == contact->groupName()) {
        LOG_TRACE << "SAME GROUP!!!!";
        return;
    }
    if (contact->nick().isEmpty()) {
        LOG_TRACE << "CONTACT NICK IS EMPTY!!!!";
        return;
    }
    ContactGroup *target = findOrCreateLocalGroup(groupName);
    ContactGroup *current = contactGroup(contact->groupName());
    LOG_TRACE << "moving contact" << contact->nick() << "from" << (current ? current->name() : QString())
              << "to" << target->name();
    if (current)
        current->removeContact(contact->nick());
    target->addContact(contact);
    if (postToWebservice && rest)
        rest->updateContact(*contact);
    refresh();
}

void ContactManager::deleteContact(Contact *contact)
{
    if (!isInBook(contact) || !contactGroup(contact->groupName())) {
        LOG_WARNING << nullPointerWarning;
        return;
    }
    const Contact deleted = *contact;
    retireContact(deleted.nick());
    if (rest)
        rest->deleteContact(deleted);
    // The models still show the contact: reset them before it is freed.
    refresh();
}

void ContactManager::deleteContact(const QString &nick)
{
    if (Contact *contact = contactPresent(nick))
        deleteContact(contact);
}

void ContactManager::addGroup(const QString &groupName, bool postToWebservice)
{
    LOG_TRACE << "adding new group: " << groupName;
    if (groupName.isEmpty()) {
        LOG_WARNING << "a group needs a name; nothing added";
        return;
    }
    if (contactGroup(groupName)) {
        emit groupAlreadyExists(groupName);
        refresh();
        return;
    }
    ContactGroup *group = insertGroup(groupName);
    if (postToWebservice && rest)
        rest->addGroup(group->group());
    refresh();
}

void ContactManager::updateGroup(const QString &oldGroupName, const QString &newGroupName)
{
    LOG_TRACE << "renaming group" << oldGroupName << "to" << newGroupName;
    ContactGroup *oldGroup = contactGroup(oldGroupName);
    if (!oldGroup || newGroupName.isEmpty() || oldGroupName == newGroupName) {
        LOG_WARNING << "cannot rename group" << oldGroupName << "to" << newGroupName;
        return;
    }
    ContactGroup *newGroup = findOrCreateLocalGroup(newGroupName);
    if (rest)
        rest->renameGroup(oldGroupName, newGroup->group());
    // The service moves the members with the rename; any the caller has not moved yet follow here, so
    // that no contact is left in a group that is gone.
    for (Contact *member : oldGroup->contacts())
        newGroup->addContact(member);
    retireGroup(oldGroupName);
    refresh();
}

void ContactManager::addNewGroupAndNewContact(const Contact &contact, const QString &groupName)
{
    if (groupName.isEmpty()) {
        LOG_WARNING << "EMPTY GROUP NAME!!!!";
        return;
    }
    ContactManagerBulk bulk(bulkDepth, refreshPending, [this]() { refresh(); });
    Contact copy = contact;
    // The contact belongs to the new group, whatever group it was filled in with.
    copy.setGroupName(groupName);
    if (copy.nick().isEmpty())
        copy.setNick(copy.generateNick());
    addGroup(groupName, false);
    addContact(copy, false);
    task->startAddToNewGroup(copy.nick(), groupName);
    refresh();
}

void ContactManager::addNewGroupAndMoveContact(const Contact &contact, const QString &groupName)
{
    Contact *stored = contactPresent(contact.nick());
    if (!stored || groupName.isEmpty()) {
        LOG_WARNING << "cannot move contact" << contact.nick() << "to new group" << groupName;
        return;
    }
    ContactManagerBulk bulk(bulkDepth, refreshPending, [this]() { refresh(); });
    addGroup(groupName, false);
    moveContact(stored, groupName, false);
    task->startMoveToNewGroup({ stored->nick() }, groupName);
    refresh();
}

void ContactManager::deleteGroupAndContacts(const QString &groupName)
{
    deleteGroup(groupName, QString(), false);
}

void ContactManager::deleteGroupAndContacts(ContactGroup *group)
{
    deleteGroup(group, QString(), false);
}

void ContactManager::deleteGroupMoveContacts(const QString &groupToDelete, const QString &groupToMove)
{
    deleteGroup(groupToDelete, groupToMove, true);
}

void ContactManager::deleteGroupMoveContacts(ContactGroup *group, const QString &groupToMove)
{
    deleteGroup(group, groupToMove, true);
}

void ContactManager::deleteGroup(ContactGroup *groupToDelete, const QString &groupToMove, bool moveContacts)
{
    // Compare pointers only: a stale pointer is never dereferenced.
    const auto it = std::find_if(groups.begin(), groups.end(),
        [groupToDelete](const auto &entry) { return entry.second.get() == groupToDelete; });
    if (!groupToDelete || it == groups.end()) {
        LOG_WARNING << nullPointerWarning;
        return;
    }
    deleteGroup(it->first, groupToMove, moveContacts);
}

void ContactManager::deleteGroup(const QString &groupToDelete, const QString &groupToMove, bool moveContacts)
{
    ContactGroup *group = contactGroup(groupToDelete);
    if (!group)
        return;
    if (moveContacts && (groupToMove.isEmpty() || groupToMove == groupToDelete)) {
        LOG_WARNING << "cannot move the contacts of" << groupToDelete << "to" << groupToMove
                    << "; the group is kept";
        return;
    }
    LOG_TRACE << "deleting group" << groupToDelete << "with" << group->contactCount() << "contacts,"
              << (moveContacts ? "moving them to" : "deleting them") << groupToMove;

    QList<Contact> members;
    const QList<Contact *> current = group->contacts();
    if (moveContacts) {
        ContactGroup *target = findOrCreateLocalGroup(groupToMove);
        for (Contact *member : current) {
            group->removeContact(member->nick());
            target->addContact(member);
            members.append(*member);
        }
    } else {
        for (Contact *member : current) {
            members.append(*member);
            retireContact(member->nick());
        }
    }
    task->startDelete(groupToDelete, groupToMove, moveContacts, members);
    retireGroup(groupToDelete);
    refresh();
}

void ContactManager::sendInvitations(const Invite &invite)
{
    if (rest)
        rest->sendInvite(invite);
}

void ContactManager::ensureDefaultGroupsPresent()
{
    ContactManagerBulk bulk(bulkDepth, refreshPending, [this]() { refresh(); });
    for (const QString &name : defaultGroupNames()) {
        if (!contactGroup(name))
            addGroup(name, true);
        if (ContactGroup *group = contactGroup(name))
            group->setDefault(true);
    }
}

void ContactManager::clear()
{
    // A group operation still waiting for the service belongs to the session that ends here.
    task->cancel();
    for (auto &entry : contactIndex)
        retiredContacts.push_back(std::move(entry.second));
    for (auto &entry : groups)
        retiredGroups.push_back(std::move(entry.second));
    contactIndex.clear();
    groups.clear();
    liveContacts.clear();
    refresh();
}

void ContactManager::loadGroups(const QList<Group> &groupRecords)
{
    ContactManagerBulk bulk(bulkDepth, refreshPending, [this]() { refresh(); });
    for (const Group &record : groupRecords) {
        if (!record.name().isEmpty() && !contactGroup(record.name()))
            addGroup(record.name(), false);
    }
    ensureDefaultGroupsPresent();
}

void ContactManager::loadContacts(const QList<Contact> &contactRecords)
{
    ContactManagerBulk bulk(bulkDepth, refreshPending, [this]() { refresh(); });
    // A reload (after a reconnect) replaces the whole book: memberships are rebuilt with the index, so
    // no group keeps a contact the service no longer has. The old objects live until the refresh.
    for (auto &entry : groups)
        entry.second->clearContacts();
    for (auto &entry : contactIndex)
        retiredContacts.push_back(std::move(entry.second));
    contactIndex.clear();
    liveContacts.clear();
    QElapsedTimer timer;
    timer.start();
    loading = true;
    for (const Contact &record : contactRecords)
        addContact(record, false);
    loading = false;
    LOG_TRACE << "loaded" << contactRecords.size() << "contacts into" << groups.size() << "groups in"
              << timer.elapsed() << "ms";
    refresh();
}
