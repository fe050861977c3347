#pragma once

#include <QObject>
#include <QPointer>

#include <memory>

#include "util/dbstore.h"

class ContactManager;
struct HomeUrls;
struct ServiceUrls;
class History;
class RestManager;
class Settings;

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

    // Further services join here as they are built, each a lazy getter wired by setters:
    //   Phone *phone();                   -- given restManager(), talk(), contactManager(), settings()
    //   talk::VeskTalk *talk();           -- no parent, lives until the process ends;
    //                                        settings() then hands it over with Settings::setTalk()

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
};
