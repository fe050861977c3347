#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include "contactrecords.h"
#include "rest/contact.h"
#include "rest/group.h"
#include "rest/restmanager.h"

// Helpers shared by the address-book tests.
namespace contacttesting {

// A RestManager that sends nothing and writes down what it was asked to send, as "operation key".
class RecordingRestManager : public RestManager
{
public:
    QStringList sent;

    void addContact(const Contact &c) override { sent << QStringLiteral("addContact ") + c.nick(); }
    void updateContact(const Contact &c) override
    {
        sent << QStringLiteral("updateContact ") + c.nick() + QLatin1Char('@') + c.groupName();
    }
    void deleteContact(const Contact &c) override { sent << QStringLiteral("deleteContact ") + c.nick(); }
    void addGroup(const Group &g) override { sent << QStringLiteral("addGroup ") + g.name(); }
    void renameGroup(QString oldName, const Group &g) override
    {
        sent << QStringLiteral("renameGroup ") + oldName + QStringLiteral("->") + g.name();
    }
    void deleteGroup(const Group &g) override { sent << QStringLiteral("deleteGroup ") + g.name(); }
    void sendInvite(const Invite &invite) override
    {
        sent << QStringLiteral("sendInvite ") + invite.toEmails().join(QLatin1Char(','));
    }
};

} // namespace contacttesting
