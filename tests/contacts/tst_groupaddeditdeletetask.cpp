#include <QJsonArray>
#include <QJsonObject>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include "contactgroup.h"
#include "contactmanager.h"
#include "groupaddeditdeletetask.h"
#include "rest/restmanager.h"
#include "serviceurls.h"
#include "webserviceemulator.h"
#include "contacttesting.h"

using namespace contacttesting;

namespace {

const int waitMs = 20000;

// The real RestManager, noting each address-book request with the number of contact confirmations
// (deleted, updated or stored contact received) that had arrived when it was sent.
class CountingRestManager : public RestManager
{
public:
    CountingRestManager()
    {
        connect(this, &RestManager::contactDeleted, this, [this]() { ++confirmations; });
        connect(this, &RestManager::contactUpdated, this, [this]() { ++confirmations; });
        connect(this, qOverload<const Contact &>(&RestManager::requestFinished), this,
            [this]() { ++confirmations; });
    }

    QStringList sent;
    int confirmations = 0;

    void addContact(const Contact &c) override
    {
        note(QStringLiteral("addContact ") + c.nick());
        RestManager::addContact(c);
    }
    void updateContact(const Contact &c) override
    {
        note(QStringLiteral("updateContact ") + c.nick() + QLatin1Char('@') + c.groupName());
        RestManager::updateContact(c);
    }
    void deleteContact(const Contact &c) override
    {
        note(QStringLiteral("deleteContact ") + c.nick());
        RestManager::deleteContact(c);
    }
    void addGroup(const Group &g) override
    {
        note(QStringLiteral("addGroup ") + g.name());
        RestManager::addGroup(g);
    }
    void deleteGroup(const Group &g) override
    {
        note(QStringLiteral("deleteGroup ") + g.name());
        RestManager::deleteGroup(g);
    }

private:
    void note(const QString &what)
    {
        sent << what + QStringLiteral(" after ") + QString::number(confirmations);
    }
};

} // namespace

// The group operations against the local web-service emulator, so that every confirmation the task
// waits for is a real reply.
class TstGroupAddEditDeleteTask : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void deletionSendsOneRequestAfterEachConfirmation();
    void deletionMovingContactsAdvancesOnStoredContactReplies();
    void failedStepEndsTheOperationAndReportsIt();
    void secondOperationWaitsForTheFirst();
    void stalledOperationDoesNotSurviveSignOut();
    void newGroupIsCreatedBeforeItsNewContact();
    void contactMovedToNewGroupFollowsTheGroup();
    void createdGroupEntersTheBookOnlyWhenConfirmed_data();
    void createdGroupEntersTheBookOnlyWhenConfirmed();
    void groupIsNotInTheBookWhileTheServiceDelays();
    void droppedCreationIsReported();
    void loadingNoGroupsCreatesTheDefaultGroupsOnTheService();

private:
    void signIn(const QString &username, const QString &password);
    // Creates the group and its members through the book and waits until the service holds them.
    void seedGroup(const QString &group, const QStringList &nicks);
    QJsonObject account(const QString &username = QStringLiteral("demo"));
    QStringList serviceGroups(const QString &username = QStringLiteral("demo"));
    // nick -> groupName of the service's contacts.
    QMap<QString, QString> serviceContacts(const QString &username = QStringLiteral("demo"));
    QStringList sentWithoutCounts() const;

    WebServiceEmulator emu;
    QTemporaryDir dir;
    ServiceUrls urls;
    CountingRestManager *rest = nullptr;
    ContactManager *book = nullptr;
};

void TstGroupAddEditDeleteTask::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
    qRegisterMetaType<Contact>();
    qRegisterMetaType<Group>();
    QVERIFY(dir.isValid());
    QVERIFY2(emu.start(), qPrintable(emu.errorString()));
    QVERIFY(emu.exportEnvironment(dir.filePath(QStringLiteral("urls.ini"))));
    qputenv("TALKVANE_BRAND", "Local");
    urls = ServiceUrls::load();
    QCOMPARE(urls.adressBookContactServiceBaseURL, emu.serviceUrl(QStringLiteral("contact")));
}

void TstGroupAddEditDeleteTask::init()
{
    QVERIFY2(emu.reset(), qPrintable(emu.errorString()));
    signIn(QStringLiteral("demo"), QStringLiteral("demo"));
}

void TstGroupAddEditDeleteTask::cleanup()
{
    delete book;
    delete rest;
    book = nullptr;
    rest = nullptr;
    emu.clearFaults();
}

void TstGroupAddEditDeleteTask::signIn(const QString &username, const QString &password)
{
    delete book;
    delete rest;
    rest = new CountingRestManager;
    rest->setServiceUrls(urls);
    rest->onUsernameChanged(username);
    rest->onPasswordChanged(password);
    book = new ContactManager;
    book->setRestManager(rest);
}

QJsonObject TstGroupAddEditDeleteTask::account(const QString &username)
{
    return emu.state().object().value(QStringLiteral("accounts")).toObject().value(username).toObject();
}

QStringList TstGroupAddEditDeleteTask::serviceGroups(const QString &username)
{
    QStringList names;
    for (const QJsonValue &name : account(username).value(QStringLiteral("groups")).toArray())
        names << name.toString();
    return names;
}

QMap<QString, QString> TstGroupAddEditDeleteTask::serviceContacts(const QString &username)
{
    QMap<QString, QString> contacts;
    for (const QJsonValue &value : account(username).value(QStringLiteral("contacts")).toArray()) {
        const QJsonObject c = value.toObject();
        contacts.insert(
            c.value(QStringLiteral("nick")).toString(), c.value(QStringLiteral("groupName")).toString());
    }
    return contacts;
}

QStringList TstGroupAddEditDeleteTask::sentWithoutCounts() const
{
    QStringList lines;
    for (const QString &line : qAsConst(rest->sent))
        lines << line.section(QStringLiteral(" after "), 0, 0);
    return lines;
}

void TstGroupAddEditDeleteTask::seedGroup(const QString &group, const QStringList &nicks)
{
    book->addNewGroup(group);
    QTRY_VERIFY_WITH_TIMEOUT(serviceGroups().contains(group), waitMs);
    int n = 0;
    for (const QString &nick : nicks)
        QVERIFY(book->addNewContact(
            contact(nick, group, nick.toUpper(), QString(), { QStringLiteral("+4930555%1").arg(++n) })));
    auto allStored = [&]() {
        const QMap<QString, QString> stored = serviceContacts();
        return std::all_of(
            nicks.begin(), nicks.end(), [&](const QString &nick) { return stored.value(nick) == group; });
    };
    QTRY_VERIFY_WITH_TIMEOUT(allStored(), waitMs);
    rest->sent.clear();
    rest->confirmations = 0;
}

void TstGroupAddEditDeleteTask::deletionSendsOneRequestAfterEachConfirmation()
{
    seedGroup(QStringLiteral("Team"), { QStringLiteral("t1"), QStringLiteral("t2"), QStringLiteral("t3") });
    QSignalSpy finished(book->groupTask(), &GroupAddEditDeleteTask::operationFinished);

    book->deleteGroupAndContacts(QStringLiteral("Team"));
    // The book changes at once; the service follows step by step.
    QVERIFY(!book->groupPresent(QStringLiteral("Team")));
    QVERIFY(!book->contactPresent(QStringLiteral("t1")));
    QCOMPARE(rest->sent, QStringList { "deleteContact t1 after 0" });

    QVERIFY(finished.wait(waitMs));
    QCOMPARE(finished.first().first().toString(), QStringLiteral("Team"));
    QCOMPARE(rest->sent,
        (QStringList { "deleteContact t1 after 0", "deleteContact t2 after 1", "deleteContact t3 after 2",
            "deleteGroup Team after 3" }));
    QTRY_VERIFY_WITH_TIMEOUT(!serviceGroups().contains(QStringLiteral("Team")), waitMs);
    const QMap<QString, QString> stored = serviceContacts();
    QVERIFY(!stored.contains(QStringLiteral("t1")));
    QVERIFY(!stored.contains(QStringLiteral("t2")));
    QVERIFY(!stored.contains(QStringLiteral("t3")));
    QVERIFY(!book->groupTask()->isBusy());
}

void TstGroupAddEditDeleteTask::deletionMovingContactsAdvancesOnStoredContactReplies()
{
    seedGroup(QStringLiteral("Team"), { QStringLiteral("t1"), QStringLiteral("t2"), QStringLiteral("t3") });
    QSignalSpy finished(book->groupTask(), &GroupAddEditDeleteTask::operationFinished);
    QSignalSpy stored(rest, qOverload<const Contact &>(&RestManager::requestFinished));

    book->deleteGroupMoveContacts(QStringLiteral("Team"), QStringLiteral("Work"));
    QCOMPARE(book->contactPresent(QStringLiteral("t1"))->groupName(), QStringLiteral("Work"));
    QVERIFY(finished.wait(waitMs));
    // The service answers each update with the stored contact, not with an empty reply.
    QCOMPARE(stored.count(), 3);
    QCOMPARE(rest->sent,
        (QStringList { "updateContact t1@Work after 0", "updateContact t2@Work after 1",
            "updateContact t3@Work after 2", "deleteGroup Team after 3" }));
    QTRY_VERIFY_WITH_TIMEOUT(!serviceGroups().contains(QStringLiteral("Team")), waitMs);
    const QMap<QString, QString> onService = serviceContacts();
    QCOMPARE(onService.value(QStringLiteral("t1")), QStringLiteral("Work"));
    QCOMPARE(onService.value(QStringLiteral("t2")), QStringLiteral("Work"));
    QCOMPARE(onService.value(QStringLiteral("t3")), QStringLiteral("Work"));
}

void TstGroupAddEditDeleteTask::failedStepEndsTheOperationAndReportsIt()
{
    seedGroup(QStringLiteral("Team"), { QStringLiteral("t1"), QStringLiteral("t2") });
    QVERIFY(emu.injectFault(QStringLiteral("500"), 1, QStringLiteral("contact")));
    QSignalSpy failed(book->groupTask(), &GroupAddEditDeleteTask::operationFailed);
    QSignalSpy finished(book->groupTask(), &GroupAddEditDeleteTask::operationFinished);

    book->deleteGroupAndContacts(QStringLiteral("Team"));
    QVERIFY(failed.wait(waitMs));
    QCOMPARE(failed.first().first().toString(), QStringLiteral("Team"));
    QCOMPARE(finished.count(), 0);
    QCOMPARE(sentWithoutCounts(), QStringList { "deleteContact t1" });
    QVERIFY(!book->groupTask()->isBusy());
    QVERIFY(serviceGroups().contains(QStringLiteral("Team")));
}

void TstGroupAddEditDeleteTask::secondOperationWaitsForTheFirst()
{
    seedGroup(QStringLiteral("Team"), { QStringLiteral("t1"), QStringLiteral("t2"), QStringLiteral("t3") });
    seedGroup(QStringLiteral("Crew"), { QStringLiteral("c1"), QStringLiteral("c2") });
    QSignalSpy finished(book->groupTask(), &GroupAddEditDeleteTask::operationFinished);

    book->deleteGroupAndContacts(QStringLiteral("Team"));
    book->deleteGroupAndContacts(QStringLiteral("Crew"));
    QVERIFY(book->groupTask()->isBusy());
    QCOMPARE(book->groupTask()->queuedOperations(), 1);
    QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 2, waitMs);
    QCOMPARE(finished.at(0).first().toString(), QStringLiteral("Team"));
    QCOMPARE(finished.at(1).first().toString(), QStringLiteral("Crew"));
    QCOMPARE(sentWithoutCounts(),
        (QStringList { "deleteContact t1", "deleteContact t2", "deleteContact t3", "deleteGroup Team",
            "deleteContact c1", "deleteContact c2", "deleteGroup Crew" }));
    QTRY_VERIFY_WITH_TIMEOUT(!serviceGroups().contains(QStringLiteral("Crew")), waitMs);
    QVERIFY(!serviceGroups().contains(QStringLiteral("Team")));
    const QMap<QString, QString> onService = serviceContacts();
    for (const char *nick : { "t1", "t2", "t3", "c1", "c2" })
        QVERIFY2(!onService.contains(QLatin1String(nick)), nick);
}

void TstGroupAddEditDeleteTask::stalledOperationDoesNotSurviveSignOut()
{
    seedGroup(QStringLiteral("Team"), { QStringLiteral("t1"), QStringLiteral("t2") });
    QVERIFY(emu.injectFault(QJsonObject { { "kind", "delay" }, { "count", 1 }, { "resource", "contact" },
        { "method", "DELETE" }, { "seconds", 1.0 } }));
    QSignalSpy deleted(rest, &RestManager::contactDeleted);

    book->deleteGroupAndContacts(QStringLiteral("Team"));
    QCOMPARE(sentWithoutCounts(), QStringList { "deleteContact t1" });
    // Signing out while the first reply is still on its way.
    book->clear();
    QVERIFY(!book->groupTask()->isBusy());

    QVERIFY(deleted.wait(waitMs));
    // The late confirmation moved nothing on: no second delete, no group delete.
    QCOMPARE(sentWithoutCounts(), QStringList { "deleteContact t1" });
    QVERIFY(!book->groupTask()->isBusy());
    QVERIFY(serviceGroups().contains(QStringLiteral("Team")));
    QVERIFY(serviceContacts().contains(QStringLiteral("t2")));
}

void TstGroupAddEditDeleteTask::newGroupIsCreatedBeforeItsNewContact()
{
    book->loadGroups({ Group("Work"), Group("Family"), Group("Friends") });
    QSignalSpy finished(book->groupTask(), &GroupAddEditDeleteTask::operationFinished);
    book->addNewGroupAndNewContact(
        contact("golfer", "Work", "Gus", "", { "+4930777" }), QStringLiteral("Golf"));
    QCOMPARE(book->contactPresent(QStringLiteral("golfer"))->groupName(), QStringLiteral("Golf"));
    QVERIFY(finished.wait(waitMs));
    QCOMPARE(sentWithoutCounts(), (QStringList { "addGroup Golf", "addContact golfer" }));
    QTRY_COMPARE_WITH_TIMEOUT(
        serviceContacts().value(QStringLiteral("golfer")), QStringLiteral("Golf"), waitMs);
    QVERIFY(serviceGroups().contains(QStringLiteral("Golf")));
}

void TstGroupAddEditDeleteTask::contactMovedToNewGroupFollowsTheGroup()
{
    seedGroup(QStringLiteral("Team"), { QStringLiteral("t1") });
    QSignalSpy finished(book->groupTask(), &GroupAddEditDeleteTask::operationFinished);
    book->addNewGroupAndMoveContact(*book->contactPresent(QStringLiteral("t1")), QStringLiteral("Golf"));
    QCOMPARE(book->contactPresent(QStringLiteral("t1"))->groupName(), QStringLiteral("Golf"));
    QVERIFY(finished.wait(waitMs));
    QCOMPARE(sentWithoutCounts(), (QStringList { "addGroup Golf", "updateContact t1@Golf" }));
    QTRY_COMPARE_WITH_TIMEOUT(serviceContacts().value(QStringLiteral("t1")), QStringLiteral("Golf"), waitMs);
}

void TstGroupAddEditDeleteTask::createdGroupEntersTheBookOnlyWhenConfirmed_data()
{
    QTest::addColumn<QString>("fault"); // "" none, "exists" (on the service only), or an emulator fault
    QTest::addColumn<bool>("created");
    QTest::addColumn<QString>("message");
    QTest::newRow("confirmed") << "" << true << "";
    QTest::newRow("already on the service") << "exists" << false << "Group already exists.";
    QTest::newRow("server error") << "500" << false << "";
    QTest::newRow("unreadable answer") << "malformed" << false << "";
    QTest::newRow("connection dropped") << "drop" << false << "";
}

void TstGroupAddEditDeleteTask::createdGroupEntersTheBookOnlyWhenConfirmed()
{
    QFETCH(QString, fault);
    QFETCH(bool, created);
    QFETCH(QString, message);
    book->loadGroups({ Group("Work"), Group("Family"), Group("Friends") });
    if (fault == QLatin1String("exists")) {
        // Made by another session: the service has it, this book does not.
        ContactManager other;
        other.setRestManager(rest);
        other.addNewGroup(QStringLiteral("Golf"));
        QTRY_VERIFY_WITH_TIMEOUT(serviceGroups().contains(QStringLiteral("Golf")), waitMs);
    } else if (!fault.isEmpty()) {
        const int count = fault == QLatin1String("drop") ? WebServiceEmulator::dropsSeenByQt : 1;
        QVERIFY(emu.injectFault(fault, count, QStringLiteral("group")));
    }
    QSignalSpy done(book->groupTask(), &GroupAddEditDeleteTask::groupCreated);
    QSignalSpy failed(book->groupTask(), &GroupAddEditDeleteTask::groupCreationFailed);
    rest->sent.clear();
    book->groupTask()->startCreateGroup(QStringLiteral("Golf"));
    QTRY_COMPARE_WITH_TIMEOUT(done.count() + failed.count(), 1, waitMs);
    QCOMPARE(sentWithoutCounts(), QStringList { "addGroup Golf" });
    QCOMPARE(done.count(), created ? 1 : 0);
    QCOMPARE(book->groupPresent(QStringLiteral("Golf")), created);
    if (created) {
        QCOMPARE(done.first().first().toString(), QStringLiteral("Golf"));
        QVERIFY(serviceGroups().contains(QStringLiteral("Golf")));
    } else {
        QCOMPARE(failed.first().at(0).toString(), QStringLiteral("Golf"));
        QCOMPARE(failed.first().at(1).toString(), message);
    }
    QVERIFY(!book->groupTask()->isBusy());
}

void TstGroupAddEditDeleteTask::groupIsNotInTheBookWhileTheServiceDelays()
{
    QVERIFY(emu.injectFault(QStringLiteral("delay"), 1, QStringLiteral("group"), 1.5));
    QSignalSpy done(book->groupTask(), &GroupAddEditDeleteTask::groupCreated);
    book->groupTask()->startCreateGroup(QStringLiteral("Golf"));
    QTRY_VERIFY_WITH_TIMEOUT(!emu.requests().isEmpty(), waitMs);
    QVERIFY(!book->groupPresent(QStringLiteral("Golf")));
    QVERIFY(book->groupTask()->isBusy());
    QVERIFY(done.wait(waitMs));
    QVERIFY(book->groupPresent(QStringLiteral("Golf")));
    QVERIFY(serviceGroups().contains(QStringLiteral("Golf")));
}

void TstGroupAddEditDeleteTask::droppedCreationIsReported()
{
    QVERIFY(emu.injectFault(QStringLiteral("delay"), 2, QStringLiteral("group"), 1.5));
    QSignalSpy failed(book->groupTask(), &GroupAddEditDeleteTask::groupCreationFailed);
    QSignalSpy answered(rest, &RestManager::groupAdded);
    book->groupTask()->startCreateGroup(QStringLiteral("Golf"));
    book->groupTask()->startCreateGroup(QStringLiteral("Chess"));
    QCOMPARE(book->groupTask()->queuedOperations(), 1);
    // Signing out drops both: the running one and the queued one.
    book->clear();
    QCOMPARE(failed.count(), 2);
    QCOMPARE(failed.at(0).at(0).toString(), QStringLiteral("Golf"));
    QCOMPARE(failed.at(1).at(0).toString(), QStringLiteral("Chess"));
    // The late confirmation of the first changes nothing.
    QVERIFY(answered.wait(waitMs));
    QVERIFY(!book->groupPresent(QStringLiteral("Golf")));
    QCOMPARE(failed.count(), 2);
}

void TstGroupAddEditDeleteTask::loadingNoGroupsCreatesTheDefaultGroupsOnTheService()
{
    signIn(QStringLiteral("alice"), QStringLiteral("alice-secret"));
    QVERIFY(serviceGroups(QStringLiteral("alice")).isEmpty());
    book->loadGroups({});
    QCOMPARE(sentWithoutCounts(), (QStringList { "addGroup Work", "addGroup Family", "addGroup Friends" }));
    QTRY_COMPARE_WITH_TIMEOUT(serviceGroups(QStringLiteral("alice")).size(), 3, waitMs);
    QStringList groups = serviceGroups(QStringLiteral("alice"));
    groups.sort();
    QCOMPARE(groups, (QStringList { "Family", "Friends", "Work" }));
    for (ContactGroup *group : book->groupList())
        QVERIFY(group->isDefault());
}

QTEST_MAIN(TstGroupAddEditDeleteTask)
#include "tst_groupaddeditdeletetask.moc"
