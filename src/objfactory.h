#pragma once

#include <QObject>
#include <QPointer>

#include <memory>

#include "util/dbstore.h"

class ContactManager;
struct HomeUrls;
struct ServiceUrls;
class History;
class Phone;
class RestManager;
class Settings;

namespace talk {
class VeskTalk;
}

// Owner of the long-lived services. Each getter creates its service on first use and wires it to
// the others by setters; the database is opened once, when settings or history are first needed.
//
// One instance per process (instance()); tests may create their own.
class ObjFactory : public QObject
{
    Q_OBJECT
public:
    explicit ObjFactory(QObject *parent = nullptr);
    ~ObjFactory() override;

    static ObjFactory *instance();
    // Orderly teardown of the process-wide instance (closes the database); called by main at exit.
    static void destroyInstance();

    Settings *settings();
    History *history();
    HomeUrls *homeUrls();
    const ServiceUrls &serviceUrls();
    // The web-service facade, given serviceUrls(); owned by the factory.
    RestManager *restManager();
    // The address book, given restManager(); it also names the contacts in the call history.
    ContactManager *contactManager();
    DbStore *dbStore() const { return store; }

    // The phone controller, given restManager(), talk(), contactManager() and settings().
    Phone *phone();
    // The talk connection: no parent, it lives until the process ends (the factory does not delete it).
    talk::VeskTalk *talk();

    void loadDb();
    bool isDbLoaded() const { return dbLoaded; }

private:
    bool dbLoaded = false;
    QPointer<History> historyStore;
    QPointer<DbStore> store;
    QPointer<Settings> settingsStore;
    std::unique_ptr<ServiceUrls> serviceUrlRecord;
    std::unique_ptr<HomeUrls> homeUrlRecord;
    QPointer<RestManager> restManagerService;
    QPointer<ContactManager> contactManagerService;
    QPointer<Phone> phoneService;
    QPointer<talk::VeskTalk> talkService;
};
