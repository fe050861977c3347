#include <QtTest>

#include "contactgroup.h"
#include "contacttesting.h"

using namespace contacttesting;

class TstContactGroup : public QObject
{
    Q_OBJECT

private slots:
    void constructors();
    void membersInNickOrder();
    void addContactSetsTheGroupName();
    void nullContactIsIgnored();
    void removeContact();
    void copyIsIndependent();
};

void TstContactGroup::constructors()
{
    const ContactGroup named(QStringLiteral("Work"), true);
    QCOMPARE(named.name(), QStringLiteral("Work"));
    QCOMPARE(named.group().name(), QStringLiteral("Work"));
    QVERIFY(named.isDefault());
    QCOMPARE(named.contactCount(), 0);

    ContactGroup fromRecord(Group("Golf"));
    QCOMPARE(fromRecord.name(), QStringLiteral("Golf"));
    QVERIFY(!fromRecord.isDefault());
    fromRecord.setDefault(true);
    QVERIFY(fromRecord.isDefault());
}

void TstContactGroup::membersInNickOrder()
{
    Contact b = contact("bob", "", "Bob");
    Contact a = contact("ann", "", "Ann");
    Contact c = contact("Cyd", "", "Cyd");
    ContactGroup group(QStringLiteral("Work"));
    group.addContact(&b);
    group.addContact(&a);
    group.addContact(&c);
    // Plain string order: upper case before lower case.
    QCOMPARE(group.contacts(), (QList<Contact *> { &c, &a, &b }));
    QCOMPARE(group.contactAt(1), &a);
    QCOMPARE(group.contactAt(3), nullptr);
    QCOMPARE(group.contactAt(-1), nullptr);
    QCOMPARE(group.indexOf(QStringLiteral("bob")), 2);
    QCOMPARE(group.indexOf(QStringLiteral("Bob")), -1);
    QCOMPARE(group.contactCount(), 3);
}

void TstContactGroup::addContactSetsTheGroupName()
{
    Contact a = contact("ann", "Elsewhere", "Ann");
    ContactGroup group(QStringLiteral("Work"));
    group.addContact(&a);
    QCOMPARE(a.groupName(), QStringLiteral("Work"));
    QVERIFY(group.hasContact(QStringLiteral("ann")));
    QCOMPARE(group.contact(QStringLiteral("ann")), &a);
}

void TstContactGroup::nullContactIsIgnored()
{
    ContactGroup group(QStringLiteral("Work"));
    group.addContact(nullptr);
    QCOMPARE(group.contactCount(), 0);
}

void TstContactGroup::removeContact()
{
    Contact a = contact("ann", "", "Ann");
    ContactGroup group(QStringLiteral("Work"));
    group.removeContact(QStringLiteral("ann"));
    group.addContact(&a);
    QVERIFY(!group.contacts().isEmpty());
    group.removeContact(QStringLiteral("nobody"));
    QCOMPARE(group.contactCount(), 1);
    group.removeContact(QStringLiteral("ann"));
    QCOMPARE(group.contactCount(), 0);
    QVERIFY(group.contacts().isEmpty());
}

void TstContactGroup::copyIsIndependent()
{
    Contact a = contact("ann", "", "Ann");
    Contact b = contact("bob", "", "Bob");
    auto original = std::make_unique<ContactGroup>(QStringLiteral("Team"));
    original->addContact(&a);
    ContactGroup copy = *original;
    copy.addContact(&b);
    QCOMPARE(original->contactCount(), 1);
    QCOMPARE(copy.contactCount(), 2);
    // The copy keeps its own group record: freeing the original leaves it intact.
    original.reset();
    QCOMPARE(copy.name(), QStringLiteral("Team"));
    QCOMPARE(
        copy.group().toVariant().toMap().value(QStringLiteral("name")).toString(), QStringLiteral("Team"));
    ContactGroup assigned(QStringLiteral("Other"));
    assigned = copy;
    QCOMPARE(assigned.name(), QStringLiteral("Team"));
}

QTEST_APPLESS_MAIN(TstContactGroup)
#include "tst_contactgroup.moc"
