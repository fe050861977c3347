#pragma once

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QtTest>

#include "demobook.h"
#include "importeremulator.h"
#include "rest/contact.h"
#include "rest/group.h"
#include "rest/restmanager.h"
#include "webserviceemulator.h"

// The services the import wizard talks to: the web-mail emulator and the web-service emulator,
// sharing one local CA, a book signed in as "demo", and fresh fetches that show what the service holds.
namespace importtesting {

using servicetesting::waitMs;

// Counts the invitations handed to the transport, which is where a doubled connection shows at once,
// and notes each group and contact creation with the number of group creations the service had
// confirmed when it was sent ("addContact nick after 1").
class CountingRestManager : public RestManager
{
public:
    CountingRestManager()
    {
        QObject::connect(this, &RestManager::groupAdded, [this]() { ++groupsConfirmed; });
    }
    void sendInvite(const Invite &invite) override
    {
        ++invitesSent;
        RestManager::sendInvite(invite);
    }
    void addGroup(const Group &group) override
    {
        note(QStringLiteral("addGroup ") + group.name());
        RestManager::addGroup(group);
    }
    void addContact(const Contact &contact) override
    {
        note(QStringLiteral("addContact ") + contact.nick());
        RestManager::addContact(contact);
    }
    // The creations noted whose text starts with `what`.
    QStringList sentWith(const QString &what) const
    {
        QStringList found;
        for (const QString &line : sent) {
            if (line.startsWith(what))
                found << line;
        }
        return found;
    }

    int invitesSent = 0;
    int groupsConfirmed = 0;
    QStringList sent;

private:
    void note(const QString &what)
    {
        sent << what + QStringLiteral(" after ") + QString::number(groupsConfirmed);
    }
};

class Services : public servicetesting::DemoBook<CountingRestManager>
{
public:
    bool start()
    {
        if (!dir.isValid() || !mail.start())
            return false;
        // One CA for both, so that the one trusted file covers them.
        if (!web.start(QFileInfo(mail.caFile()).absolutePath()))
            return false;
        return useService(web, dir);
    }

    QList<Contact> fetchContactsIn(const QString &group) const
    {
        QList<Contact> found;
        for (const Contact &c : fetchContacts()) {
            if (c.groupName() == group)
                found << c;
        }
        return found;
    }

    // The invitations the service holds for "demo", oldest first.
    QJsonArray invites()
    {
        return web.state()
            .object()
            .value(QStringLiteral("accounts"))
            .toObject()
            .value(QStringLiteral("demo"))
            .toObject()
            .value(QStringLiteral("invites"))
            .toArray();
    }

    QString writeFile(const QString &name, const QByteArray &data) const
    {
        const QString path = dir.filePath(name);
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(data) != data.size())
            return QString();
        return path;
    }

    ImporterEmulator mail;
    WebServiceEmulator web;
    QTemporaryDir dir;
};

} // namespace importtesting
