#include "contactgroup.h"

#include "rest/contact.h"

ContactGroup::ContactGroup(const QString &name, bool isDefault) : record(name), defaultGroup(isDefault) { }

ContactGroup::ContactGroup(const Group &group, bool isDefault) : record(group), defaultGroup(isDefault) { }

QList<Contact *> ContactGroup::contacts() const
{
    if (!orderValid) {
        ordered = members.values();
        orderValid = true;
    }
    return ordered;
}

Contact *ContactGroup::contactAt(int row) const
{
    const QList<Contact *> list = contacts();
    return row >= 0 && row < list.size() ? list.at(row) : nullptr;
}

int ContactGroup::indexOf(const QString &nick) const
{
    const auto it = members.constFind(nick);
    if (it == members.constEnd())
        return -1;
    return int(std::distance(members.constBegin(), it));
}

void ContactGroup::addContact(Contact *contact)
{
    if (!contact)
        return;
    contact->setGroupName(record.name());
    members.insert(contact->nick(), contact);
    invalidateOrder();
}

void ContactGroup::removeContact(const QString &nick)
{
    if (members.remove(nick) > 0)
        invalidateOrder();
}

void ContactGroup::clearContacts()
{
    members.clear();
    invalidateOrder();
}
