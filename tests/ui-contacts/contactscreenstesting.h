#pragma once

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

#include "contactmanager.h"
#include "rest/contact.h"
#include "rest/group.h"
#include "rest/phonenumber.h"
#include "rest/restmanager.h"
#include "serviceurls.h"
#include "webserviceemulator.h"

// Helpers shared by the address-book screen tests: a signed-in address book against the local
// web-service emulator, and fresh fetches that show what the service really holds.
namespace contactscreenstesting {

constexpr int waitMs = 20000;

inline PhoneNumber phone(const QString &number, int type = PhoneNumber::Home)
{
    PhoneNumber p;
    p.setType(type);
    p.setNumber(number);
    return p;
}

inline Contact contact(const QString &nick, const QString &group, const QString &first,
    const QString &last = QString(), const QStringList &numbers = {}, const QStringList &emails = {})
{
    Contact c;
    c.setNick(nick);
    c.setGroupName(group);
    c.setFirstName(first);
    c.setLastName(last);
    QList<PhoneNumber> phones;
    for (const QString &number : numbers)
        phones.append(phone(number));
    c.setPhones(phones);
    c.setEmails(emails);
    return c;
}

// The emulator with the demo account, a RestManager signed in as "demo" and the book loaded from it
// the way the phone controller loads it after sign-in.
class ServiceBook
{
public:
    bool start()
    {
        qRegisterMetaType<Contact>();
        qRegisterMetaType<Group>();
        qRegisterMetaType<QList<Contact>>();
        qRegisterMetaType<QList<Group>>();
        if (!dir.isValid() || !emu.start())
            return false;
        if (!emu.exportEnvironment(dir.filePath(QStringLiteral("urls.ini"))))
            return false;
        qputenv("TALKVANE_BRAND", "Local");
        urls = ServiceUrls::load();
        return true;
    }

    std::unique_ptr<RestManager> newRestManager() const
    {
        auto manager = std::make_unique<RestManager>();
        manager->setServiceUrls(urls);
        manager->onUsernameChanged(QStringLiteral("demo"));
        manager->onPasswordChanged(QStringLiteral("demo"));
        return manager;
    }

    // A fresh book, signed in and filled from the service.
    bool signIn()
    {
        book.reset();
        rest = newRestManager();
        book = std::make_unique<ContactManager>();
        book->setRestManager(rest.get());
        bool ok = false;
        book->loadGroups(fetchGroups(&ok));
        if (!ok)
            return false;
        book->loadContacts(fetchContacts(&ok));
        return ok;
    }

    // What the service holds now, through a RestManager of its own.
    QList<Contact> fetchContacts(bool *ok = nullptr) const
    {
        auto fresh = newRestManager();
        QSignalSpy spy(fresh.get(), qOverload<const QList<Contact> &>(&RestManager::requestFinished));
        fresh->getContacts();
        const bool done = spy.count() > 0 || spy.wait(waitMs);
        if (ok)
            *ok = done;
        return done ? spy.first().first().value<QList<Contact>>() : QList<Contact>();
    }

    QList<Group> fetchGroups(bool *ok = nullptr) const
    {
        auto fresh = newRestManager();
        QSignalSpy spy(fresh.get(), qOverload<const QList<Group> &>(&RestManager::requestFinished));
        fresh->getGroups();
        const bool done = spy.count() > 0 || spy.wait(waitMs);
        if (ok)
            *ok = done;
        return done ? spy.first().first().value<QList<Group>>() : QList<Group>();
    }

    QStringList fetchGroupNames() const
    {
        QStringList names;
        for (const Group &group : fetchGroups())
            names << group.name();
        return names;
    }

    // The service's contact of that nick; an empty record (no nick) when it has none.
    Contact fetchContact(const QString &nick) const
    {
        for (const Contact &c : fetchContacts()) {
            if (c.nick() == nick)
                return c;
        }
        return Contact();
    }

    WebServiceEmulator emu;
    QTemporaryDir dir;
    ServiceUrls urls;
    std::unique_ptr<RestManager> rest;
    std::unique_ptr<ContactManager> book;
};

} // namespace contactscreenstesting
