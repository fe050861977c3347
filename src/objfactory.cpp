#include "objfactory.h"

#include "contactmanager.h"
#include "history/callhistory.h"
#include "history/history.h"
#include "homeurls.h"
#include "phone/phone.h"
#include "rest/restmanager.h"
#include "serviceurls.h"
#include "settings/settings.h"
#include "talk/vesktalk.h"
#include "util/dbstore.h"
#include "util/log.h"

namespace {
ObjFactory *processFactory = nullptr;
}

ObjFactory::ObjFactory(QObject *parent) : QObject(parent), store(new DbStore(this)) { }

ObjFactory::~ObjFactory()
{
    if (historyStore)
        historyStore->setContactNameLookup(nullptr);
    delete contactManagerService;
    delete historyStore;
    delete settingsStore;
    serviceUrlRecord.reset();
    homeUrlRecord.reset();
    delete phoneService;
    delete restManagerService;
    if (store) {
        if (dbLoaded) {
            store->closeDatabases();
            LOG_TRACE << "Closed databases for settings and history.";
        }
        delete store;
    }
    if (processFactory == this)
        processFactory = nullptr;
}

ObjFactory *ObjFactory::instance()
{
    if (!processFactory)
        processFactory = new ObjFactory();
    return processFactory;
}

void ObjFactory::destroyInstance()
{
    delete processFactory;
    processFactory = nullptr;
}

Settings *ObjFactory::settings()
{
    if (!settingsStore) {
        if (!store)
            store = new DbStore(this);
        settingsStore = new Settings(store, this);
        settingsStore->setTalk(talk());
        loadDb();
    }
    return settingsStore;
}

History *ObjFactory::history()
{
    if (!historyStore) {
        historyStore = new History(this);
        if (contactManagerService)
            historyStore->setContactNameLookup(contactManagerService);
        loadDb();
    }
    return historyStore;
}

HomeUrls *ObjFactory::homeUrls()
{
    if (!homeUrlRecord)
        homeUrlRecord = std::make_unique<HomeUrls>(HomeUrls::load());
    return homeUrlRecord.get();
}

const ServiceUrls &ObjFactory::serviceUrls()
{
    if (!serviceUrlRecord)
        serviceUrlRecord = std::make_unique<ServiceUrls>(ServiceUrls::load());
    return *serviceUrlRecord;
}

RestManager *ObjFactory::restManager()
{
    if (!restManagerService) {
        restManagerService = new RestManager();
        restManagerService->setServiceUrls(serviceUrls());
    }
    return restManagerService;
}

ContactManager *ObjFactory::contactManager()
{
    if (!contactManagerService) {
        contactManagerService = new ContactManager(this);
        contactManagerService->setRestManager(restManager());
        if (historyStore)
            historyStore->setContactNameLookup(contactManagerService);
        // Names in the call history come from the book: read the history again once the book changed.
        connect(contactManagerService, &ContactManager::refreshContactListUI, this, [this]() {
            if (historyStore)
                historyStore->callHistory()->markStale();
        });
    }
    return contactManagerService;
}

void ObjFactory::loadDb()
{
    if (dbLoaded)
        return;
    LOG_TRACE << "loading databases for settings and history";
    store->loadDatabases();
    dbLoaded = true;
}

talk::VeskTalk *ObjFactory::talk()
{
    if (!talkService) {
        talkService = new talk::VeskTalk();
        talkService->setVoiceServer(serviceUrls().voiceHost, serviceUrls().voicePort);
    }
    return talkService;
}

Phone *ObjFactory::phone()
{
    if (!phoneService) {
        phoneService = new Phone(this);
        phoneService->setRestManager(restManager());
        phoneService->setTalk(talk());
        phoneService->setContactManager(contactManager());
        phoneService->setSettings(settings());
    }
    return phoneService;
}
