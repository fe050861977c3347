#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QtTest>

#include "history/callhistory.h"
#include "history/history.h"
#include "homeurls.h"
#include "objfactory.h"
#include "serviceurls.h"
#include "settings/settings.h"
#include "util/dbstore.h"

class TstObjFactory : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void storeCreatedButNotOpened();
    void settingsTwiceOpensDatabaseOnce();
    void historyBeforeSettingsOpensDatabase();
    void urlRecordsAreLoadedOnce();
    void teardownClosesDatabase();
    void processWideInstance();
    void garbageDatabaseFallsBackToDefaults();
    void dataFolderThatCannotBeMade();

private:
    QString dataFolder;
};

void TstObjFactory::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
    QCoreApplication::setOrganizationName(QStringLiteral("Tellmarsh"));
    QCoreApplication::setApplicationName(QStringLiteral("Tellmarsh Talkvane"));
    qunsetenv("TALKVANE_BRAND");
    qunsetenv("TALKVANE_URLS_FILE");
    dataFolder = QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation);
    QVERIFY(!dataFolder.isEmpty());
}

void TstObjFactory::init()
{
    QFileInfo info(dataFolder);
    if (info.isDir())
        QVERIFY(QDir(dataFolder).removeRecursively());
    else if (info.exists())
        QVERIFY(QFile::remove(dataFolder));
}

void TstObjFactory::cleanup()
{
    ObjFactory::destroyInstance();
    init();
}

void TstObjFactory::storeCreatedButNotOpened()
{
    ObjFactory factory;
    QVERIFY(factory.dbStore());
    QCOMPARE(factory.dbStore()->parent(), &factory);
    QVERIFY(!factory.dbStore()->isOpen());
    QVERIFY(!factory.isDbLoaded());
    factory.homeUrls();
    factory.serviceUrls();
    QVERIFY(!factory.dbStore()->isOpen());
}

void TstObjFactory::settingsTwiceOpensDatabaseOnce()
{
    ObjFactory factory;
    Settings *settings = factory.settings();
    QVERIFY(settings);
    QCOMPARE(settings->parent(), &factory);
    QCOMPARE(factory.settings(), settings);
    QVERIFY(factory.dbStore()->isOpen());
    QCOMPARE(factory.dbStore()->openCount(), 1);
    factory.history();
    QCOMPARE(factory.dbStore()->openCount(), 1);
    QVERIFY(QFile::exists(QDir(dataFolder).filePath(QStringLiteral("data.vk"))));
    QCOMPARE(settings->showWelcome(false), true);
}

void TstObjFactory::historyBeforeSettingsOpensDatabase()
{
    ObjFactory factory;
    History *history = factory.history();
    QVERIFY(history);
    QCOMPARE(history->parent(), &factory);
    QCOMPARE(factory.history(), history);
    QVERIFY(factory.isDbLoaded());
    QVERIFY(factory.dbStore()->isOpen());
    QCOMPARE(factory.dbStore()->openCount(), 1);
    factory.settings();
    QCOMPARE(factory.dbStore()->openCount(), 1);
}

void TstObjFactory::urlRecordsAreLoadedOnce()
{
    ObjFactory factory;
    HomeUrls *home = factory.homeUrls();
    QCOMPARE(factory.homeUrls(), home);
    QVERIFY(
        home->viewRatesURL.toString().endsWith(QStringLiteral("/eshop/talkvane/viewTalkvaneRatesPopup.htm")));
    const ServiceUrls *service = &factory.serviceUrls();
    QCOMPARE(&factory.serviceUrls(), service);
    QVERIFY(service->accountBalanceServiceBaseURL.endsWith(QStringLiteral("/webservice-5.0/balance")));
}

void TstObjFactory::teardownClosesDatabase()
{
    {
        ObjFactory factory;
        factory.settings()->setAutoAnswerCalls(true);
        QVERIFY(QSqlDatabase::database(QLatin1String(QSqlDatabase::defaultConnection), false).isOpen());
    }
    QVERIFY(!QSqlDatabase::database(QLatin1String(QSqlDatabase::defaultConnection), false).isOpen());

    ObjFactory again;
    QCOMPARE(again.settings()->autoAnswerCalls(), true);
}

void TstObjFactory::processWideInstance()
{
    ObjFactory *first = ObjFactory::instance();
    QVERIFY(first);
    QCOMPARE(ObjFactory::instance(), first);
    QVERIFY(!first->parent());
    first->settings();
    ObjFactory::destroyInstance();
    QVERIFY(!QSqlDatabase::database(QLatin1String(QSqlDatabase::defaultConnection), false).isOpen());
    QVERIFY(ObjFactory::instance());
}

void TstObjFactory::garbageDatabaseFallsBackToDefaults()
{
    QVERIFY(QDir().mkpath(dataFolder));
    {
        QFile file(QDir(dataFolder).filePath(QStringLiteral("data.vk")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(QByteArray(4096, 'x'));
    }
    ObjFactory factory;
    Settings *settings = factory.settings();
    QCOMPARE(settings->showWelcome(false), true);
    QCOMPARE(settings->audioInputVolume(), 25u);
    settings->setAudioInputVolume(40);
    QCOMPARE(settings->audioInputVolume(), 40u);
}

void TstObjFactory::dataFolderThatCannotBeMade()
{
    // As root no permission stops a write, so a regular file stands where the folder should be.
    QVERIFY(QDir().mkpath(QFileInfo(dataFolder).absolutePath()));
    {
        QFile file(dataFolder);
        QVERIFY(file.open(QIODevice::WriteOnly));
    }
    ObjFactory factory;
    Settings *settings = factory.settings();
    QVERIFY(settings);
    QVERIFY(!factory.dbStore()->isOpen());
    QCOMPARE(settings->showWelcome(), true);
    QCOMPARE(settings->autoAnswerCalls(), false);
    settings->setAutoAnswerCalls(true);
    QCOMPARE(settings->autoAnswerCalls(), false);
    QVERIFY(factory.history()->callHistory()->events().isEmpty());
}

QTEST_GUILESS_MAIN(TstObjFactory)
#include "tst_objfactory.moc"
