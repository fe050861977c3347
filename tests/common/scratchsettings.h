#pragma once

#include <QTemporaryDir>
#include <QtTest>

#include <memory>

#include "settings/settings.h"
#include "util/dbstore.h"

// The program's settings over a database in a fresh folder, as each test function wants them. A
// failed check ends only openSettings(), so the caller stops on QTest::currentTestFailed().
class ScratchSettings
{
protected:
    void openSettings()
    {
        dir = std::make_unique<QTemporaryDir>();
        QVERIFY(dir->isValid());
        store = std::make_unique<DbStore>();
        store->setDataFolder(dir->path());
        store->loadDatabases();
        QVERIFY(store->isOpen());
        settings = std::make_unique<Settings>(store.get());
    }

    void closeSettings()
    {
        settings.reset();
        while (store && store->isOpen())
            store->closeDatabases();
        store.reset();
        dir.reset();
    }

    std::unique_ptr<QTemporaryDir> dir;
    std::unique_ptr<DbStore> store;
    std::unique_ptr<Settings> settings;
};
