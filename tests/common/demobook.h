#pragma once

#include <QSignalSpy>
#include <QStringList>
#include <QTemporaryDir>

#include <memory>

#include "contactmanager.h"
#include "rest/contact.h"
#include "rest/group.h"
#include "rest/restmanager.h"
#include "serviceurls.h"
#include "webserviceemulator.h"

// An address book signed in as "demo" against the local web-service emulator, and fresh fetches that
// show what the service really holds. Header-only: the tests that use it link talkvane_core.
namespace servicetesting {

constexpr int waitMs = 20000;

// Rest: the RestManager type the book sends through.
template <typename Rest = RestManager> class DemoBook
{
public:
    template <typename T = RestManager> std::unique_ptr<T> newRestManager() const
    {
        auto manager = std::make_unique<T>();
        manager->setServiceUrls(urls);
        manager->onUsernameChanged(QStringLiteral("demo"));
        manager->onPasswordChanged(QStringLiteral("demo"));
        return manager;
    }

    // A fresh book, signed in and filled from the service the way the phone controller fills it
    // after sign-in.
    bool signIn()
    {
        book.reset();
        rest = newRestManager<Rest>();
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
        return fetch<Contact>(&RestManager::getContacts, ok);
    }
    QList<Group> fetchGroups(bool *ok = nullptr) const { return fetch<Group>(&RestManager::getGroups, ok); }

    QStringList fetchGroupNames() const
    {
        QStringList names;
        for (const Group &group : fetchGroups())
            names << group.name();
        return names;
    }

    ServiceUrls urls;
    std::unique_ptr<Rest> rest;
    std::unique_ptr<ContactManager> book;

protected:
    // Makes the program's URL configuration (a file in dir) point at web, and reads it back.
    bool useService(const WebServiceEmulator &web, const QTemporaryDir &dir)
    {
        qRegisterMetaType<Contact>();
        qRegisterMetaType<Group>();
        qRegisterMetaType<QList<Contact>>();
        qRegisterMetaType<QList<Group>>();
        if (!web.exportEnvironment(dir.filePath(QStringLiteral("urls.ini"))))
            return false;
        urls = ServiceUrls::load();
        return true;
    }

private:
    template <typename Item> QList<Item> fetch(void (RestManager::*get)(), bool *ok) const
    {
        auto fresh = newRestManager();
        QSignalSpy spy(fresh.get(), qOverload<const QList<Item> &>(&RestManager::requestFinished));
        (fresh.get()->*get)();
        const bool done = spy.count() > 0 || spy.wait(waitMs);
        if (ok)
            *ok = done;
        return done ? spy.first().first().template value<QList<Item>>() : QList<Item>();
    }
};

} // namespace servicetesting
