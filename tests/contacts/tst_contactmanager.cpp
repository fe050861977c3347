#include <QSignalSpy>
#include <QStandardPaths>
#include <QtTest>

#include "contactgroup.h"
#include "contactmanager.h"
#include "contactstreemodel.h"
#include "groupaddeditdeletetask.h"
#include "history/callhistory.h"
#include "history/history.h"
#include "objfactory.h"
#include "util/dbstore.h"
#include "contacttesting.h"

using namespace contacttesting;

// The address book on its own: every request it sends is written down instead of sent.
class TstContactManager : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void duplicateNickWithWebServiceFlagIsRefused();
    void duplicateNickWithoutFlagReplacesTheEntry();
    void duplicatePhoneOrEmailInTheSameGroupIsRefused();
    void duplicatePhoneIsComparedByItsDigits_data();
    void duplicatePhoneIsComparedByItsDigits();
    void contactInUnknownGroupCreatesTheGroupLocally();
    void contactsWithoutNameOrPhoneGetDistinctNicks();
    void blankEmailIsNoEmail_data();
    void blankEmailIsNoEmail();
    void findContactByNumber_data();
    void findContactByNumber();
    void findContactByNumberFollowsChanges();
    void groupIndex_data();
    void groupIndex();
    void rowsAreRangeChecked_data();
    void rowsAreRangeChecked();
    void addExistingGroupReportsAndRefreshes();
    void addGroupSendsOnlyWhenAsked();
    void loadGroupsCreatesTheDefaultGroups();
    void loadGroupsKeepsServiceGroupsAndMarksDefaults();
    void namesMatch_data();
    void namesMatch();
    void conflictingFields_data();
    void conflictingFields();
    void contactDetailsPresentForContact_data();
    void contactDetailsPresentForContact();
    void contactDetailsPresentForTexts_data();
    void contactDetailsPresentForTexts();
    void deleteContactRefreshesBeforeAnythingReadsTheBook();
    void deleteContactIgnoresPointersOutsideTheBook();
    void reloadingContactsRebuildsTheGroups();
    void deleteGroupWithContactsRemovesThemFromTheBook();
    void deleteGroupMovingContactsRefilesThemAtOnce();
    void deleteGroupCannotMoveContactsNowhere();
    void deleteGroupByStalePointerDoesNothing();
    void updateContactCopiesTheEditedFields();
    void updateContactOfMissingNickDoesNothing();
    void moveContactRules();
    void moveContactOutsideTheBookDoesNothing();
    void renameGroupCarriesRemainingMembers();
    void newGroupAndNewContactFilesTheContactInTheNewGroup();
    void newGroupAndMoveContactMovesLocallyAtOnce();
    void clearEmptiesTheBookAndStopsTheTask();
    void sendInvitations();
    void factoryWiresTheCallHistoryNames();

private:
    // Every contact is a member of the group its groupName names, and every member is in the index.
    void verifyInvariant();

    RecordingRestManager *rest = nullptr;
    ContactManager *book = nullptr;
};

void TstContactManager::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
    qRegisterMetaType<Contact>();
}

void TstContactManager::init()
{
    rest = new RecordingRestManager;
    book = new ContactManager;
    book->setRestManager(rest);
}

void TstContactManager::cleanup()
{
    delete book;
    delete rest;
    book = nullptr;
    rest = nullptr;
}

void TstContactManager::verifyInvariant()
{
    int members = 0;
    for (ContactGroup *group : book->groupList()) {
        QVERIFY(group);
        QCOMPARE(book->contactGroup(group->name()), group);
        for (Contact *member : group->contacts()) {
            QCOMPARE(member->groupName(), group->name());
            QCOMPARE(book->contactPresent(member->nick()), member);
            ++members;
        }
    }
    QCOMPARE(members, book->contactCount());
    for (Contact *c : book->allContacts()) {
        ContactGroup *group = book->contactGroup(c->groupName());
        QVERIFY2(group, qPrintable(c->nick()));
        QCOMPARE(group->contact(c->nick()), c);
    }
}

void TstContactManager::duplicateNickWithWebServiceFlagIsRefused()
{
    book->addOldContact(contact("ann1", "Work", "Ann", "Lee", { "+100" }));
    rest->sent.clear();
    QSignalSpy present(book, &ContactManager::contactAlreadyPresent);
    QSignalSpy refreshed(book, &ContactManager::refreshContactListUI);

    QVERIFY(!book->addNewContact(contact("ann1", "Work", "Annie", "Lee", { "+200" })));
    QCOMPARE(present.count(), 1);
    QCOMPARE(present.first().first().value<Contact>().firstName(), QStringLiteral("Annie"));
    QCOMPARE(refreshed.count(), 0);
    QVERIFY(rest->sent.isEmpty());
    QCOMPARE(book->contactPresent(QStringLiteral("ann1"))->firstName(), QStringLiteral("Ann"));
    QCOMPARE(book->contactCount(), 1);
}

void TstContactManager::duplicateNickWithoutFlagReplacesTheEntry()
{
    book->addOldContact(contact("ann1", "Work", "Ann", "Lee", { "+100" }));
    rest->sent.clear();
    QSignalSpy present(book, &ContactManager::contactAlreadyPresent);

    QVERIFY(book->addOldContact(contact("ann1", "Friends", "Annie", "Lee", { "+200" })));
    QCOMPARE(present.count(), 0);
    QVERIFY(rest->sent.isEmpty());
    QCOMPARE(book->contactCount(), 1);
    QCOMPARE(book->contactPresent(QStringLiteral("ann1"))->firstName(), QStringLiteral("Annie"));
    QCOMPARE(book->contactGroup(QStringLiteral("Work"))->contactCount(), 0);
    QCOMPARE(book->contactGroup(QStringLiteral("Friends"))->contactCount(), 1);
    verifyInvariant();
}

void TstContactManager::duplicatePhoneOrEmailInTheSameGroupIsRefused()
{
    book->addOldContact(contact("ann1", "Work", "Ann", "Lee", { "+100" }, { "ann@example.org" }));
    QSignalSpy present(book, &ContactManager::contactAlreadyPresent);

    QVERIFY(!book->addNewContact(contact("x1", "Work", "X", "", { "+100" })));
    QVERIFY(!book->addNewContact(contact("x2", "Work", "Y", "", {}, { "ann@example.org" })));
    QCOMPARE(present.count(), 2);
    // Only the members of the contact's own group are compared; names never are.
    QVERIFY(book->addNewContact(contact("x3", "Friends", "Z", "", { "+100" })));
    QVERIFY(book->addNewContact(contact("x4", "Work", "Ann", "Lee", { "+300" })));
    QCOMPARE(book->contactCount(), 3);
}

void TstContactManager::duplicatePhoneIsComparedByItsDigits_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("candidate");
    QTest::addColumn<bool>("duplicate");
    QTest::newRow("punctuated against plain") << "+1 (555) 010-0"
                                              << "+15550100" << true;
    QTest::newRow("plain against punctuated") << "+15550100"
                                              << "+1 (555) 010-0" << true;
    QTest::newRow("dashes, no plus") << "+1 (555) 010-0"
                                     << "1-555-0100" << true;
    QTest::newRow("same text") << "+15550100"
                               << "+15550100" << true;
    QTest::newRow("last digit differs") << "+1 (555) 010-0"
                                        << "+15550101" << false;
    QTest::newRow("one digit more") << "+1 (555) 010-0"
                                    << "+155501000" << false;
    QTest::newRow("without the country code") << "+1 (555) 010-0"
                                              << "555 0100" << false;
    QTest::newRow("leading zeros differ") << "+15550100"
                                          << "0015550100" << false;
    QTest::newRow("no digits on either side") << "n/a"
                                              << "n/a" << false;
    QTest::newRow("no digits against empty") << ""
                                             << "( )" << false;
}

void TstContactManager::duplicatePhoneIsComparedByItsDigits()
{
    QFETCH(QString, stored);
    QFETCH(QString, candidate);
    QFETCH(bool, duplicate);
    book->addOldContact(contact("ann", "Work", "Ann", "Lee", { "+49301234", stored }));
    QSignalSpy present(book, &ContactManager::contactAlreadyPresent);
    const Contact newcomer = contact("zoe", "Work", "Zoe", "Ng", { "+4930999", candidate });

    QCOMPARE(book->contactPresent(newcomer) != nullptr, duplicate);
    QCOMPARE(book->contactDetailsPresent(newcomer).contains(SameFields::SamePhone), duplicate);
    QCOMPARE(book->contactDetailsPresent(candidate, QString(), QString(), QString())
                 .contains(SameFields::SamePhone),
        duplicate);
    QCOMPARE(book->conflictingFields(newcomer), duplicate ? QStringList { "Phone 2" } : QStringList {});
    QCOMPARE(book->addNewContact(newcomer), !duplicate);
    QCOMPARE(present.count(), duplicate ? 1 : 0);
    QCOMPARE(book->contactCount(), duplicate ? 1 : 2);
}

void TstContactManager::contactInUnknownGroupCreatesTheGroupLocally()
{
    QVERIFY(book->addNewContact(contact("bo1", "Climbing", "Bo", "", { "+1" })));
    QVERIFY(book->groupPresent(QStringLiteral("Climbing")));
    QCOMPARE(rest->sent, QStringList { "addContact bo1" });
    QVERIFY(!book->contactGroup(QStringLiteral("Climbing"))->isDefault());
    verifyInvariant();
}

void TstContactManager::contactsWithoutNameOrPhoneGetDistinctNicks()
{
    QSignalSpy present(book, &ContactManager::contactAlreadyPresent);
    // Imported entries often have no first name, or no name and no phone at all.
    QVERIFY(book->addNewContact(contact("", "Friends", "", "Smith", { "+111" })));
    QVERIFY(book->addNewContact(contact("", "Friends", "", "Jones", { "+222" })));
    QVERIFY(book->addNewContact(contact("", "Friends", "", "", {})));
    QVERIFY(book->addNewContact(contact("", "Friends", "", "", {})));
    QCOMPARE(present.count(), 0);
    QCOMPARE(book->contactCount(), 4);
    QVERIFY(!book->contactPresent(QString()));
    QSet<QString> nicks;
    for (const QString &line : qAsConst(rest->sent)) {
        QVERIFY(line.startsWith(QStringLiteral("addContact ")));
        const QString nick = line.mid(11);
        QVERIFY(!nick.isEmpty());
        nicks.insert(nick);
    }
    QCOMPARE(nicks.size(), 4);
    verifyInvariant();
}

void TstContactManager::blankEmailIsNoEmail_data()
{
    QTest::addColumn<QStringList>("emails");
    QTest::newRow("one empty text") << QStringList { "" };
    QTest::newRow("blanks") << QStringList { "  " };
    QTest::newRow("no list") << QStringList {};
}

void TstContactManager::blankEmailIsNoEmail()
{
    QFETCH(QStringList, emails);
    QVERIFY(book->addNewContact(contact("a1", "Work", "Ann", "", { "+1" }, emails)));
    QVERIFY(book->contactPresent(QStringLiteral("a1"))->emails().isEmpty());
    const Contact second = contact("b1", "Work", "Bob", "", { "+2" }, emails);
    QVERIFY(book->conflictingFields(second).isEmpty());
    QCOMPARE(book->contactDetailsPresent(second), (SameFields { SameFields::Nothing }));
    QCOMPARE(
        book->contactDetailsPresent(QStringLiteral("+9"), emails.value(0), QStringLiteral("Cy"), QString()),
        (SameFields { SameFields::Nothing }));
    QVERIFY(book->addNewContact(second));
    QCOMPARE(book->contactCount(), 2);
}

void TstContactManager::findContactByNumber_data()
{
    QTest::addColumn<QString>("number");
    QTest::addColumn<QString>("nick");
    QTest::newRow("empty") << ""
                           << "";
    QTest::newRow("no digit") << "+ () -"
                              << "";
    QTest::newRow("letters") << "call me"
                             << "";
    QTest::newRow("as stored") << "+49 151 1234567"
                               << "ann";
    QTest::newRow("digits only") << "491511234567"
                                 << "ann";
    QTest::newRow("dashes and brackets") << "(49) 151-123-4567"
                                         << "ann";
    QTest::newRow("second phone") << "0221/998877"
                                  << "ann";
    QTest::newRow("one digit more") << "4915112345670"
                                    << "";
    QTest::newRow("leading zeros differ") << "00491511234567"
                                          << "";
    QTest::newRow("first nick wins") << "+1 555 0100"
                                     << "bea";
}

void TstContactManager::findContactByNumber()
{
    QFETCH(QString, number);
    QFETCH(QString, nick);
    book->addOldContact(contact("ann", "Work", "Ann", "", { "+49 151 1234567", "0221 998877" }));
    book->addOldContact(contact("cyd", "Work", "Cyd", "", { "15550100" }));
    book->addOldContact(contact("bea", "Work", "Bea", "", { "+1-555-0100" }));
    const Contact *found = book->findContactByNumber(number);
    QCOMPARE(found ? found->nick() : QString(), nick);
    QCOMPARE(book->nickForNumber(number), nick);
}

void TstContactManager::findContactByNumberFollowsChanges()
{
    book->addOldContact(contact("ann", "Work", "Ann", "", { "+100" }));
    QCOMPARE(book->nickForNumber(QStringLiteral("100")), QStringLiteral("ann"));
    Contact changed = *book->contactPresent(QStringLiteral("ann"));
    changed.setPhones({ phone(QStringLiteral("+200")) });
    book->updateContact(changed, QStringLiteral("Work"));
    QCOMPARE(book->nickForNumber(QStringLiteral("100")), QString());
    QCOMPARE(book->nickForNumber(QStringLiteral("200")), QStringLiteral("ann"));
    book->deleteContact(QStringLiteral("ann"));
    QCOMPARE(book->nickForNumber(QStringLiteral("200")), QString());
}

void TstContactManager::groupIndex_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("index");
    QTest::newRow("first in name order") << "Family" << 0;
    QTest::newRow("second") << "Friends" << 1;
    QTest::newRow("last") << "Work" << 2;
    QTest::newRow("not a group") << "Golf" << -1;
    QTest::newRow("case matters") << "work" << -1;
    QTest::newRow("no trimming") << "Work " << -1;
    QTest::newRow("empty") << "" << -1;
}

void TstContactManager::groupIndex()
{
    QFETCH(QString, name);
    QFETCH(int, index);
    book->addOldGroup(QStringLiteral("Work"));
    book->addOldGroup(QStringLiteral("Friends"));
    book->addOldGroup(QStringLiteral("Family"));
    QCOMPARE(book->groupIndex(name), index);
    if (index >= 0)
        QCOMPARE(book->groupList().at(index)->name(), name);
}

void TstContactManager::rowsAreRangeChecked_data()
{
    QTest::addColumn<int>("group");
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("nick");
    QTest::newRow("first") << 0 << 0 << "ann";
    QTest::newRow("second group") << 1 << 1 << "cyd";
    QTest::newRow("row past the end") << 0 << 1 << "";
    QTest::newRow("negative row") << 1 << -1 << "";
    QTest::newRow("group past the end") << 2 << 0 << "";
    QTest::newRow("negative group") << -1 << 0 << "";
}

void TstContactManager::rowsAreRangeChecked()
{
    QFETCH(int, group);
    QFETCH(int, row);
    QFETCH(QString, nick);
    book->addOldContact(contact("ann", "Family", "Ann"));
    book->addOldContact(contact("bob", "Work", "Bob"));
    book->addOldContact(contact("cyd", "Work", "Cyd"));
    const Contact *found = book->contactAt(group, row);
    QCOMPARE(found ? found->nick() : QString(), nick);
    QCOMPARE(book->groupAt(group) != nullptr, group == 0 || group == 1);
}

void TstContactManager::addExistingGroupReportsAndRefreshes()
{
    book->addOldGroup(QStringLiteral("Work"));
    rest->sent.clear();
    QStringList order;
    connect(book, &ContactManager::groupAlreadyExists, this,
        [&order](const QString &name) { order << QStringLiteral("exists ") + name; });
    connect(book, &ContactManager::refreshContactListUI, this,
        [&order]() { order << QStringLiteral("refresh"); });
    book->addNewGroup(QStringLiteral("Work"));
    QCOMPARE(order, (QStringList { "exists Work", "refresh" }));
    QVERIFY(rest->sent.isEmpty());
    QCOMPARE(book->groupCount(), 1);
}

void TstContactManager::addGroupSendsOnlyWhenAsked()
{
    book->addOldGroup(QStringLiteral("Local"));
    book->addNewGroup(QStringLiteral("Remote"));
    book->addNewGroup(QString());
    QCOMPARE(rest->sent, QStringList { "addGroup Remote" });
    QCOMPARE(book->groupCount(), 2);
}

void TstContactManager::loadGroupsCreatesTheDefaultGroups()
{
    QSignalSpy refreshed(book, &ContactManager::refreshContactListUI);
    book->loadGroups({});
    QCOMPARE(rest->sent, (QStringList { "addGroup Work", "addGroup Family", "addGroup Friends" }));
    QCOMPARE(book->groupCount(), 3);
    for (ContactGroup *group : book->groupList())
        QVERIFY(group->isDefault());
    QCOMPARE(refreshed.count(), 1);
}

void TstContactManager::loadGroupsKeepsServiceGroupsAndMarksDefaults()
{
    book->loadGroups({ Group("Work"), Group("Golf"), Group("") });
    QCOMPARE(rest->sent, (QStringList { "addGroup Family", "addGroup Friends" }));
    QCOMPARE(book->groupCount(), 4);
    QVERIFY(book->contactGroup(QStringLiteral("Work"))->isDefault());
    QVERIFY(!book->contactGroup(QStringLiteral("Golf"))->isDefault());
    rest->sent.clear();
    book->loadGroups({ Group("Work"), Group("Golf") });
    QVERIFY(rest->sent.isEmpty());
    QCOMPARE(book->groupCount(), 4);
}

void TstContactManager::namesMatch_data()
{
    QTest::addColumn<QString>("firstA");
    QTest::addColumn<QString>("lastA");
    QTest::addColumn<QString>("firstB");
    QTest::addColumn<QString>("lastB");
    QTest::addColumn<bool>("match");
    QTest::newRow("same") << "Ann"
                          << "Lee"
                          << "Ann"
                          << "Lee" << true;
    QTest::newRow("case and blanks") << "Ann"
                                     << "Lee"
                                     << " aNN "
                                     << "LEE  " << true;
    QTest::newRow("both without last name") << "Ann"
                                            << ""
                                            << "ann"
                                            << "" << true;
    QTest::newRow("one without last name") << "Ann"
                                           << "Lee"
                                           << "Ann"
                                           << "" << false;
    QTest::newRow("other first name") << "Ann"
                                      << "Lee"
                                      << "Anna"
                                      << "Lee" << false;
    QTest::newRow("only last names, equal") << ""
                                            << "Lee"
                                            << ""
                                            << "lee" << true;
    QTest::newRow("nameless") << ""
                              << ""
                              << ""
                              << "" << false;
}

void TstContactManager::namesMatch()
{
    QFETCH(QString, firstA);
    QFETCH(QString, lastA);
    QFETCH(QString, firstB);
    QFETCH(QString, lastB);
    QFETCH(bool, match);
    QCOMPARE(ContactManager::namesMatch(contact("a", "G", firstA, lastA), contact("b", "G", firstB, lastB)),
        match);
    QCOMPARE(ContactManager::namesMatch(contact("b", "G", firstB, lastB), contact("a", "G", firstA, lastA)),
        match);
}

void TstContactManager::conflictingFields_data()
{
    QTest::addColumn<Contact>("candidate");
    QTest::addColumn<QStringList>("labels");
    QTest::newRow("nothing shared") << contact("new", "Work", "Zoe", "", { "+9" }, { "zoe@x.org" })
                                    << QStringList {};
    QTest::newRow("e-mail") << contact("new", "Work", "Zoe", "", { "+9" }, { "ann@x.org" })
                            << QStringList { "Email" };
    QTest::newRow("name") << contact("new", "Work", " ann", "LEE", { "+9" })
                          << QStringList { "First/Last name" };
    QTest::newRow("second phone") << contact("new", "Work", "Zoe", "", { "+9", "+200" })
                                  << QStringList { "Phone 2" };
    QTest::newRow("phone spelt otherwise")
        << contact("new", "Work", "Zoe", "", { "+9", "(2) 00" }) << QStringList { "Phone 2" };
    QTest::newRow("all, in order") << contact("new", "Work", "Ann", "Lee", { "+100", "+8", "+200" },
        { "ann@x.org" }) << QStringList { "Email", "First/Last name", "Phone 1", "Phone 3" };
    QTest::newRow("itself is skipped")
        << contact("ann", "Work", "Ann", "Lee", { "+100" }, { "ann@x.org" }) << QStringList {};
    QTest::newRow("first other contact only")
        << contact("new", "Work", "Zoe", "", { "+300" }) << QStringList { "Phone 1" };
}

void TstContactManager::conflictingFields()
{
    QFETCH(Contact, candidate);
    QFETCH(QStringList, labels);
    book->addOldContact(contact("ann", "Work", "Ann", "Lee", { "+100", "+200" }, { "ann@x.org" }));
    // "bob" comes after "ann" in nick order; "ann" shares nothing with the last row's candidate.
    book->addOldContact(contact("bob", "Work", "Bob", "", { "+300" }, { "bob@x.org" }));
    book->addOldContact(contact("cat", "Work", "Cat", "", { "+300" }, {}));
    QCOMPARE(book->conflictingFields(candidate), labels);
}

void TstContactManager::contactDetailsPresentForContact_data()
{
    QTest::addColumn<Contact>("candidate");
    QTest::addColumn<QList<int>>("fields");
    QTest::newRow("same nick") << contact("ann", "Work", "Zed", "", { "+9" }) << QList<int> { 1 };
    QTest::newRow("nothing") << contact("new", "Work", "Zed", "", { "+9" }) << QList<int> { 0 };
    QTest::newRow("name") << contact("new", "Work", "ann", "lee", { "+9" }) << QList<int> { 2 };
    QTest::newRow("e-mail") << contact("new", "Work", "Zed", "", {}, { "ann@x.org" }) << QList<int> { 3 };
    QTest::newRow("phone") << contact("new", "Work", "Zed", "", { "+100" }) << QList<int> { 4 };
    QTest::newRow("phone spelt otherwise")
        << contact("new", "Work", "Zed", "", { "1-00" }) << QList<int> { 4 };
    QTest::newRow("phone without digits") << contact("new", "Work", "Zed", "", { "+" }) << QList<int> { 0 };
    QTest::newRow("all three") << contact("", "Work", "Ann", "Lee", { "+100" }, { "ann@x.org" })
                               << QList<int> { 2, 3, 4 };
}

void TstContactManager::contactDetailsPresentForContact()
{
    QFETCH(Contact, candidate);
    QFETCH(QList<int>, fields);
    book->addOldContact(contact("ann", "Work", "Ann", "Lee", { "+100" }, { "ann@x.org" }));
    QCOMPARE(book->contactDetailsPresent(candidate).values(), fields);
}

void TstContactManager::contactDetailsPresentForTexts_data()
{
    QTest::addColumn<QString>("number");
    QTest::addColumn<QString>("email");
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("last");
    QTest::addColumn<QList<int>>("fields");
    QTest::newRow("all three is the same contact") << "+100"
                                                   << "ann@x.org"
                                                   << "Ann"
                                                   << "Lee" << QList<int> { 1 };
    QTest::newRow("phone") << "+100"
                           << ""
                           << "Zed"
                           << "" << QList<int> { 4 };
    QTest::newRow("phone spelt otherwise") << "(+1) 0-0"
                                           << ""
                                           << "Zed"
                                           << "" << QList<int> { 4 };
    QTest::newRow("all three, phone spelt otherwise") << "+1 00"
                                                      << "ann@x.org"
                                                      << "Ann"
                                                      << "Lee" << QList<int> { 1 };
    QTest::newRow("phone without digits") << "+-"
                                          << ""
                                          << ""
                                          << "" << QList<int> { 0 };
    QTest::newRow("name is exact") << ""
                                   << ""
                                   << "ann"
                                   << "Lee" << QList<int> { 0 };
    QTest::newRow("name and e-mail") << "+7"
                                     << "ann@x.org"
                                     << "Ann"
                                     << "Lee" << QList<int> { 2, 3 };
    QTest::newRow("empty texts share nothing") << ""
                                               << ""
                                               << ""
                                               << "" << QList<int> { 0 };
}

void TstContactManager::contactDetailsPresentForTexts()
{
    QFETCH(QString, number);
    QFETCH(QString, email);
    QFETCH(QString, first);
    QFETCH(QString, last);
    QFETCH(QList<int>, fields);
    book->addOldContact(contact("ann", "Work", "Ann", "Lee", { "+100" }, { "ann@x.org" }));
    // A contact without name, e-mail or phone must not match empty texts.
    book->addOldContact(contact("nameless", "Work", "", "", {}));
    QCOMPARE(book->contactDetailsPresent(number, email, first, last).values(), fields);
}

void TstContactManager::deleteContactRefreshesBeforeAnythingReadsTheBook()
{
    book->addOldContact(contact("ann", "Work", "Ann", "", { "+1" }));
    book->addOldContact(contact("bob", "Work", "Bob", "", { "+2" }));
    ContactsTreeModel model;
    model.setGroups(book->groupList());
    connect(book, &ContactManager::refreshContactListUI, &model,
        [this, &model]() { model.setGroups(book->groupList()); });
    const QModelIndex work = model.index(0, 0);
    QCOMPARE(model.rowCount(work), 2);

    int refreshes = 0;
    connect(book, &ContactManager::refreshContactListUI, this, [this, &refreshes]() {
        ++refreshes;
        QVERIFY(!book->contactPresent(QStringLiteral("ann")));
        QCOMPARE(book->contactGroup(QStringLiteral("Work"))->contactCount(), 1);
    });
    book->deleteContact(book->contactPresent(QStringLiteral("ann")));
    QCOMPARE(refreshes, 1);
    QCOMPARE(rest->sent.last(), QStringLiteral("deleteContact ann"));
    QCOMPARE(model.rowCount(model.index(0, 0)), 1);
    QCOMPARE(model.index(0, 0, model.index(0, 0)).data().toString(), QStringLiteral("Bob "));
    verifyInvariant();
}

void TstContactManager::deleteContactIgnoresPointersOutsideTheBook()
{
    book->addOldContact(contact("ann", "Work", "Ann", "", { "+1" }));
    rest->sent.clear();
    Contact outside = contact("ann", "Work", "Ann", "", { "+1" });
    QSignalSpy refreshed(book, &ContactManager::refreshContactListUI);
    book->deleteContact(&outside);
    book->deleteContact(static_cast<Contact *>(nullptr));
    book->deleteContact(QStringLiteral("nobody"));
    QVERIFY(rest->sent.isEmpty());
    QCOMPARE(refreshed.count(), 0);
    QCOMPARE(book->contactCount(), 1);
}

void TstContactManager::reloadingContactsRebuildsTheGroups()
{
    book->loadGroups({ Group("Work"), Group("Friends") });
    book->loadContacts({ contact("ann", "Work", "Ann"), contact("bob", "Friends", "Bob") });
    QCOMPARE(book->contactCount(), 2);

    // After a reconnect the service has moved "ann", deleted "bob" and added "cyd".
    QSignalSpy refreshed(book, &ContactManager::refreshContactListUI);
    book->loadContacts({ contact("ann", "Friends", "Ann"), contact("cyd", "Work", "Cyd") });
    QCOMPARE(refreshed.count(), 1);
    QCOMPARE(book->contactCount(), 2);
    QVERIFY(!book->contactPresent(QStringLiteral("bob")));
    QCOMPARE(book->contactGroup(QStringLiteral("Work"))->contactCount(), 1);
    QCOMPARE(book->contactGroup(QStringLiteral("Friends"))->contactCount(), 1);
    QCOMPARE(
        book->contactGroup(QStringLiteral("Friends"))->contacts().first()->nick(), QStringLiteral("ann"));
    verifyInvariant();

    // The same list once more changes nothing.
    book->loadContacts({ contact("ann", "Friends", "Ann"), contact("cyd", "Work", "Cyd") });
    QCOMPARE(book->contactCount(), 2);
    verifyInvariant();
}

void TstContactManager::deleteGroupWithContactsRemovesThemFromTheBook()
{
    book->addOldContact(contact("ann", "Team", "Ann", "Lee", { "+100" }, { "ann@x.org" }));
    book->addOldContact(contact("bob", "Team", "Bob", "", { "+200" }));
    book->addOldContact(contact("cyd", "Work", "Cyd", "", { "+300" }));
    QSignalSpy refreshed(book, &ContactManager::refreshContactListUI);

    book->deleteGroupAndContacts(QStringLiteral("Team"));
    QCOMPARE(refreshed.count(), 1);
    QVERIFY(!book->groupPresent(QStringLiteral("Team")));
    QCOMPARE(book->contactCount(), 1);
    QVERIFY(!book->contactPresent(QStringLiteral("ann")));
    QVERIFY(!book->findContactByNumber(QStringLiteral("+100")));
    QVERIFY(
        book->conflictingFields(contact("new", "Work", "Ann", "Lee", { "+100" }, { "ann@x.org" })).isEmpty());
    QVERIFY(book->addNewContact(contact("new", "Work", "Ann", "Lee", { "+100" }, { "ann@x.org" })));
    verifyInvariant();
}

void TstContactManager::deleteGroupMovingContactsRefilesThemAtOnce()
{
    book->addOldGroup(QStringLiteral("Work"));
    book->addOldContact(contact("ann", "Team", "Ann", "", { "+100" }));
    book->addOldContact(contact("bob", "Team", "Bob", "", { "+200" }));
    Contact *ann = book->contactPresent(QStringLiteral("ann"));

    book->deleteGroupMoveContacts(QStringLiteral("Team"), QStringLiteral("Work"));
    QVERIFY(!book->groupPresent(QStringLiteral("Team")));
    QCOMPARE(book->contactCount(), 2);
    QCOMPARE(book->contactPresent(QStringLiteral("ann")), ann);
    QCOMPARE(ann->groupName(), QStringLiteral("Work"));
    QCOMPARE(book->contactGroup(QStringLiteral("Work"))->contactCount(), 2);
    verifyInvariant();
}

void TstContactManager::deleteGroupCannotMoveContactsNowhere()
{
    book->addOldContact(contact("ann", "Team", "Ann", "", { "+100" }));
    book->deleteGroupMoveContacts(QStringLiteral("Team"), QString());
    book->deleteGroupMoveContacts(QStringLiteral("Team"), QStringLiteral("Team"));
    QVERIFY(book->groupPresent(QStringLiteral("Team")));
    QCOMPARE(book->contactCount(), 1);
    QVERIFY(rest->sent.isEmpty());
}

void TstContactManager::deleteGroupByStalePointerDoesNothing()
{
    book->addOldGroup(QStringLiteral("Team"));
    ContactGroup outside(QStringLiteral("Team"));
    book->deleteGroupAndContacts(&outside);
    book->deleteGroupAndContacts(static_cast<ContactGroup *>(nullptr));
    book->deleteGroupAndContacts(QStringLiteral("Nope"));
    QVERIFY(book->groupPresent(QStringLiteral("Team")));
    QVERIFY(rest->sent.isEmpty());
    book->deleteGroupAndContacts(book->contactGroup(QStringLiteral("Team")));
    QVERIFY(!book->groupPresent(QStringLiteral("Team")));
}

void TstContactManager::updateContactCopiesTheEditedFields()
{
    Contact original = contact("ann", "Work", "Ann", "Lee", { "+100" }, { "a@x.org", "b@x.org" });
    original.setCity(QStringLiteral("Köln"));
    original.setAddressLine1(QStringLiteral("Old Street 1"));
    book->addOldContact(original);
    Contact *stored = book->contactPresent(QStringLiteral("ann"));

    Contact edited = contact("ann", "Friends", "Anna", "Leigh", { "+200", "+300" }, { "c@x.org" });
    edited.setAddressLine1(QStringLiteral("New Street 2"));
    edited.setCity(QStringLiteral("ignored"));
    QSignalSpy refreshed(book, &ContactManager::refreshContactListUI);
    book->updateContact(edited, QStringLiteral("Work"));

    QCOMPARE(book->contactPresent(QStringLiteral("ann")), stored);
    QCOMPARE(stored->firstName(), QStringLiteral("Anna"));
    QCOMPARE(stored->lastName(), QStringLiteral("Leigh"));
    QCOMPARE(stored->phoneNumbers(), (QStringList { "+200", "+300" }));
    QCOMPARE(stored->emails(), QStringList { "c@x.org" });
    QCOMPARE(stored->addressLine1(), QStringLiteral("New Street 2"));
    QCOMPARE(stored->city(), QStringLiteral("Köln"));
    QCOMPARE(stored->groupName(), QStringLiteral("Friends"));
    QCOMPARE(book->contactGroup(QStringLiteral("Work"))->contactCount(), 0);
    QCOMPARE(rest->sent, QStringList { "updateContact ann@Friends" });
    QCOMPARE(refreshed.count(), 1);
    verifyInvariant();
}

void TstContactManager::updateContactOfMissingNickDoesNothing()
{
    QSignalSpy refreshed(book, &ContactManager::refreshContactListUI);
    book->updateContact(contact("gone", "Work", "Gone"), QStringLiteral("Work"));
    QVERIFY(rest->sent.isEmpty());
    QCOMPARE(book->contactCount(), 0);
    QCOMPARE(refreshed.count(), 0);
}

void TstContactManager::moveContactRules()
{
    book->addOldContact(contact("ann", "Work", "Ann"));
    Contact *ann = book->contactPresent(QStringLiteral("ann"));
    book->moveContact(ann, QString(), true);
    book->moveContact(ann, QStringLiteral("Work"), true);
    QVERIFY(rest->sent.isEmpty());
    QCOMPARE(ann->groupName(), QStringLiteral("Work"));

    book->moveContact(ann, QStringLiteral("Golf"), false);
    QVERIFY(rest->sent.isEmpty());
    QCOMPARE(ann->groupName(), QStringLiteral("Golf"));
    QVERIFY(book->groupPresent(QStringLiteral("Golf")));

    book->moveContact(ann, QStringLiteral("Work"), true);
    QCOMPARE(rest->sent, QStringList { "updateContact ann@Work" });
    QCOMPARE(book->contactGroup(QStringLiteral("Golf"))->contactCount(), 0);
    verifyInvariant();
}

void TstContactManager::moveContactOutsideTheBookDoesNothing()
{
    Contact outside = contact("ann", "Work", "Ann");
    book->moveContact(&outside, QStringLiteral("Golf"), true);
    book->moveContact(nullptr, QStringLiteral("Golf"), true);
    book->addNewGroupAndMoveContact(outside, QStringLiteral("Golf"));
    QVERIFY(rest->sent.isEmpty());
    QVERIFY(!book->groupPresent(QStringLiteral("Golf")));
    QCOMPARE(outside.groupName(), QStringLiteral("Work"));
}

void TstContactManager::renameGroupCarriesRemainingMembers()
{
    book->addOldContact(contact("ann", "Team", "Ann"));
    book->addOldContact(contact("bob", "Team", "Bob"));
    // The group dialog moves the members first; one is still left behind here.
    book->moveContact(book->contactPresent(QStringLiteral("ann")), QStringLiteral("Crew"), false);
    QSignalSpy refreshed(book, &ContactManager::refreshContactListUI);
    book->updateGroup(QStringLiteral("Team"), QStringLiteral("Crew"));
    QCOMPARE(rest->sent, QStringList { "renameGroup Team->Crew" });
    QCOMPARE(refreshed.count(), 1);
    QVERIFY(!book->groupPresent(QStringLiteral("Team")));
    QCOMPARE(book->contactGroup(QStringLiteral("Crew"))->contactCount(), 2);
    verifyInvariant();

    rest->sent.clear();
    book->updateGroup(QStringLiteral("Team"), QStringLiteral("Other"));
    book->updateGroup(QStringLiteral("Crew"), QStringLiteral("Crew"));
    QVERIFY(rest->sent.isEmpty());
}

void TstContactManager::newGroupAndNewContactFilesTheContactInTheNewGroup()
{
    book->addOldGroup(QStringLiteral("Work"));
    QSignalSpy refreshed(book, &ContactManager::refreshContactListUI);
    // The contact dialog still had the first group selected when the new group was typed.
    book->addNewGroupAndNewContact(contact("", "Work", "Ann", "", { "+1" }), QStringLiteral("Golf"));
    QCOMPARE(refreshed.count(), 1);
    QVERIFY(book->groupPresent(QStringLiteral("Golf")));
    QCOMPARE(book->contactGroup(QStringLiteral("Golf"))->contactCount(), 1);
    QCOMPARE(book->contactGroup(QStringLiteral("Work"))->contactCount(), 0);
    QVERIFY(!book->contactGroup(QStringLiteral("Golf"))->contacts().first()->nick().isEmpty());
    // The group is created on the service first; the contact follows once that is confirmed.
    QCOMPARE(rest->sent.first(), QStringLiteral("addGroup Golf"));
    QVERIFY(!rest->sent.join(QLatin1Char('\n')).contains(QStringLiteral("addContact")));
    verifyInvariant();
}

void TstContactManager::newGroupAndMoveContactMovesLocallyAtOnce()
{
    book->addOldContact(contact("ann", "Work", "Ann"));
    book->addNewGroupAndMoveContact(contact("ann", "Work", "Ann"), QStringLiteral("Golf"));
    QCOMPARE(book->contactPresent(QStringLiteral("ann"))->groupName(), QStringLiteral("Golf"));
    QCOMPARE(rest->sent.first(), QStringLiteral("addGroup Golf"));
    verifyInvariant();
}

void TstContactManager::clearEmptiesTheBookAndStopsTheTask()
{
    book->addOldContact(contact("ann", "Work", "Ann"));
    book->groupTask()->startAddToNewGroup(QStringLiteral("ann"), QStringLiteral("Later"));
    QSignalSpy refreshed(book, &ContactManager::refreshContactListUI);
    book->clear();
    QCOMPARE(refreshed.count(), 1);
    QCOMPARE(book->contactCount(), 0);
    QCOMPARE(book->groupCount(), 0);
    QVERIFY(book->allContacts().isEmpty());
    QVERIFY(!book->groupTask()->isBusy());
    QCOMPARE(book->groupTask()->queuedOperations(), 0);
}

void TstContactManager::sendInvitations()
{
    Invite invite;
    invite.setToEmails({ QStringLiteral("a@x.org"), QStringLiteral("b@x.org") });
    book->sendInvitations(invite);
    QCOMPARE(rest->sent, QStringList { "sendInvite a@x.org,b@x.org" });
}

void TstContactManager::factoryWiresTheCallHistoryNames()
{
    ObjFactory factory;
    CallHistory *calls = factory.history()->callHistory();
    ContactManager *manager = factory.contactManager();
    QCOMPARE(factory.contactManager(), manager);
    QCOMPARE(manager->restManager(), factory.restManager());
    calls->clearHistory();
    calls->addEvent(QStringLiteral("+49 151 1234567"), QTime(0, 1, 2), CallHistoryEvent::OutgoingCall);
    QCOMPARE(calls->events().value(0).name, QString());

    // The book arrives after the history was first read: the names follow.
    manager->addOldContact(contact("ann", "Work", "Ann", "", { "491511234567" }));
    QCOMPARE(calls->events().value(0).name, QStringLiteral("ann"));
    calls->clearHistory();
}

QTEST_MAIN(TstContactManager)
#include "tst_contactmanager.moc"
