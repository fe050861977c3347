#pragma once

#include <QList>
#include <QMap>
#include <QString>

#include "rest/group.h"

class Contact;

// One group of the address book with its members. The group record is held by value, so a copy of a
// ContactGroup is independent of the original; the member pointers belong to the ContactManager.
class ContactGroup
{
public:
    explicit ContactGroup(const QString &name = QString(), bool isDefault = false);
    explicit ContactGroup(const Group &group, bool isDefault = false);

    const Group &group() const { return record; }
    QString name() const { return record.name(); }

    // Members in nick order.
    QList<Contact *> contacts() const;
    // The member at `row` of contacts(), or null when out of range.
    Contact *contactAt(int row) const;
    // Row of that nick in contacts(), -1 when it is no member.
    int indexOf(const QString &nick) const;
    Contact *contact(const QString &nick) const { return members.value(nick); }
    bool hasContact(const QString &nick) const { return members.contains(nick); }
    int contactCount() const { return members.size(); }

    bool isDefault() const { return defaultGroup; }
    void setDefault(bool isDefault) { defaultGroup = isDefault; }

    // Files the contact under its nick and sets its group name to this group's name; null is ignored.
    void addContact(Contact *contact);
    void removeContact(const QString &nick);
    void clearContacts();

private:
    void invalidateOrder() { orderValid = false; }

    Group record;
    QMap<QString, Contact *> members;
    bool defaultGroup = false;
    // contacts() is read for every row the models show: keep it ready between changes.
    mutable QList<Contact *> ordered;
    mutable bool orderValid = true;
};
