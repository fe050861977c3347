#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QtTest>

#include "contactsmodels.h"
#include "contactstreemodel.h"
#include "modeltesting.h"

using namespace ContactsModels;

class TstContactsTreeModel : public QObject
{
    Q_OBJECT

private slots:
    void withoutGroupsThereAreNoRows();
    void modelTester();
    void indexScheme();
    void invalidIndexes();
    void groupRoles_data();
    void groupRoles();
    void contactRoles_data();
    void contactRoles();
    void contactWithoutPhone();
    void emptyGroup();
    void refreshRole();
    void otherRolesDoNotRefresh();
    void nullGroupGivesNoContacts();
    void setGroupsResets();
};

void TstContactsTreeModel::withoutGroupsThereAreNoRows()
{
    ContactsTreeModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    QCOMPARE(model.rowCount(), 0);
    QVERIFY(!model.index(0, 0).isValid());
    auto book = ModelBook::sample();
    ContactsTreeModel other;
    other.setGroups(book->list());
    // An index from a populated model asked of the empty one.
    QCOMPARE(model.rowCount(other.index(0, 0)), 0);
    QCOMPARE(model.columnCount(), 1);
}

void TstContactsTreeModel::modelTester()
{
    auto book = ModelBook::sample();
    ContactsTreeModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    model.setGroups(book->list());
    model.setGroups({});
    model.setGroups(book->list());
    QCOMPARE(model.rowCount(), 3);
}

void TstContactsTreeModel::indexScheme()
{
    auto book = ModelBook::sample();
    ContactsTreeModel model;
    model.setGroups(book->list());
    const QModelIndex work = model.index(2, 0);
    QVERIFY(work.isValid());
    QCOMPARE(work.internalId(), quintptr(-1));
    QVERIFY(!work.parent().isValid());
    QCOMPARE(model.rowCount(work), 2);

    const QModelIndex dora = model.index(1, 0, work);
    QVERIFY(dora.isValid());
    QCOMPARE(dora.internalId(), quintptr(2));
    QCOMPARE(dora.parent(), work);
    QCOMPARE(model.rowCount(dora), 0);
    QCOMPARE(model.contactAt(dora)->nick(), QStringLiteral("dora"));
    QCOMPARE(model.groupAt(2)->name(), QStringLiteral("Work"));
    QVERIFY(!model.contactAt(work));
}

void TstContactsTreeModel::invalidIndexes()
{
    auto book = ModelBook::sample();
    ContactsTreeModel model;
    model.setGroups(book->list());
    const QModelIndex family = model.index(0, 0);
    QVERIFY(!model.index(3, 0).isValid());
    QVERIFY(!model.index(-1, 0).isValid());
    QVERIFY(!model.index(0, 1).isValid());
    QVERIFY(!model.index(2, 0, family).isValid());
    QVERIFY(!model.index(0, 1, family).isValid());
    QVERIFY(!model.index(0, 0, model.index(0, 0, family)).isValid());
    QCOMPARE(model.rowCount(model.index(0, 0, family)), 0);
    QVERIFY(!model.data(QModelIndex()).isValid());
}

void TstContactsTreeModel::groupRoles_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("role");
    QTest::addColumn<QVariant>("value");
    QTest::newRow("display") << 2 << int(Qt::DisplayRole) << QVariant(QStringLiteral("Work"));
    QTest::newRow("no tooltip") << 2 << int(Qt::ToolTipRole) << QVariant();
    QTest::newRow("33 is group") << 2 << 33 << QVariant(true);
    QTest::newRow("34 refresh") << 2 << 34 << QVariant();
    QTest::newRow("35 no phone") << 2 << 35 << QVariant();
    QTest::newRow("39 no group index") << 2 << 39 << QVariant();
    QTest::newRow("40 no contact index") << 2 << 40 << QVariant();
    QTest::newRow("41 members") << 2 << 41 << QVariant(2);
    QTest::newRow("42 default") << 2 << 42 << QVariant(true);
    QTest::newRow("42 not default") << 1 << 42 << QVariant(false);
    QTest::newRow("43 row") << 2 << 43 << QVariant(2);
    QTest::newRow("other") << 2 << 44 << QVariant();
    QTest::newRow("decoration") << 2 << int(Qt::DecorationRole) << QVariant();
}

void TstContactsTreeModel::groupRoles()
{
    QFETCH(int, row);
    QFETCH(int, role);
    QFETCH(QVariant, value);
    auto book = ModelBook::sample();
    ContactsTreeModel model;
    model.setGroups(book->list());
    QCOMPARE(model.index(row, 0).data(role), value);
}

void TstContactsTreeModel::contactRoles_data()
{
    QTest::addColumn<int>("role");
    QTest::addColumn<QVariant>("value");
    QTest::newRow("display") << int(Qt::DisplayRole) << QVariant(QStringLiteral("Ann Lee"));
    QTest::newRow("tooltip") << int(Qt::ToolTipRole) << QVariant(QStringLiteral("Ann Lee"));
    QTest::newRow("33 not group") << 33 << QVariant(false);
    QTest::newRow("34 refresh") << 34 << QVariant();
    QTest::newRow("35 first number") << 35 << QVariant(QStringLiteral("+100"));
    QTest::newRow("36 first type") << 36 << QVariant(2);
    QTest::newRow("37 numbers") << 37 << QVariant(QStringList { "+100", "+200", "+300" });
    QTest::newRow("38 types") << 38 << QVariant(QVariantList { 2, 1, 0 });
    QTest::newRow("39 group row") << 39 << QVariant(0);
    QTest::newRow("40 contact row") << 40 << QVariant(0);
    QTest::newRow("41 no count") << 41 << QVariant();
    QTest::newRow("42 no default") << 42 << QVariant();
    QTest::newRow("43 no group row") << 43 << QVariant();
}

void TstContactsTreeModel::contactRoles()
{
    QFETCH(int, role);
    QFETCH(QVariant, value);
    auto book = ModelBook::sample();
    ContactsTreeModel model;
    model.setGroups(book->list());
    QCOMPARE(model.index(0, 0, model.index(0, 0)).data(role), value);
}

void TstContactsTreeModel::contactWithoutPhone()
{
    auto book = ModelBook::sample();
    ContactsTreeModel model;
    model.setGroups(book->list());
    const QModelIndex bob = model.index(1, 0, model.index(0, 0));
    QCOMPARE(bob.data(PhoneNumberRole), QVariant(QString()));
    QCOMPARE(bob.data(PhoneTypeRole), QVariant(-1));
    QCOMPARE(bob.data(PhoneNumbersRole).toStringList(), QStringList());
    QCOMPARE(bob.data(PhoneTypesRole).toList(), QVariantList());
    QCOMPARE(bob.data(GroupIndexRole), QVariant(0));
    QCOMPARE(bob.data(ContactIndexRole), QVariant(1));
}

void TstContactsTreeModel::emptyGroup()
{
    auto book = ModelBook::sample();
    ContactsTreeModel model;
    model.setGroups(book->list());
    const QModelIndex golf = model.index(1, 0);
    QCOMPARE(golf.data().toString(), QStringLiteral("Golf"));
    QCOMPARE(golf.data(ContactCountRole), QVariant(0));
    QCOMPARE(model.rowCount(golf), 0);
    QVERIFY(!model.index(0, 0, golf).isValid());
}

void TstContactsTreeModel::refreshRole()
{
    auto book = ModelBook::sample();
    ContactsTreeModel model;
    model.setGroups(book->list());
    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
    const QModelIndex cyd = model.index(0, 0, model.index(2, 0));
    QVERIFY(model.setData(cyd, QVariant(), RefreshRole));
    QCOMPARE(changed.count(), 1);
    QCOMPARE(changed.first().at(0).toModelIndex(), cyd);
    QCOMPARE(changed.first().at(1).toModelIndex(), cyd);
    QVERIFY(model.setData(model.index(2, 0), QVariant(), RefreshRole));
    QCOMPARE(changed.count(), 2);

    // A refreshed row shows the contact as it is now.
    QCOMPARE(cyd.data().toString(), QStringLiteral("Cyd Ng"));
    model.contactAt(cyd)->setLastName(QStringLiteral("Ngo"));
    QVERIFY(model.setData(cyd, QVariant(), RefreshRole));
    QCOMPARE(cyd.data().toString(), QStringLiteral("Cyd Ngo"));
    QCOMPARE(cyd.data(Qt::ToolTipRole).toString(), QStringLiteral("Cyd Ngo"));
}

void TstContactsTreeModel::otherRolesDoNotRefresh()
{
    auto book = ModelBook::sample();
    ContactsTreeModel model;
    model.setGroups(book->list());
    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
    const QModelIndex cyd = model.index(0, 0, model.index(2, 0));
    QVERIFY(!model.setData(cyd, QStringLiteral("x"), Qt::EditRole));
    QVERIFY(!model.setData(cyd, QStringLiteral("x"), Qt::DisplayRole));
    QVERIFY(!model.setData(cyd, QVariant(), PhoneNumberRole));
    QVERIFY(!model.setData(QModelIndex(), QVariant(), RefreshRole));
    QCOMPARE(changed.count(), 0);
    QCOMPARE(cyd.data().toString(), QStringLiteral("Cyd Ng"));
}

void TstContactsTreeModel::nullGroupGivesNoContacts()
{
    auto book = ModelBook::sample();
    QList<ContactGroup *> groups = book->list();
    groups.insert(1, nullptr);
    ContactsTreeModel model;
    model.setGroups(groups);
    const QModelIndex hole = model.index(1, 0);
    QVERIFY(hole.isValid());
    QCOMPARE(model.rowCount(hole), 0);
    QVERIFY(!model.index(0, 0, hole).isValid());
    QVERIFY(!hole.data().isValid());
    QCOMPARE(hole.data(GroupRowRole), QVariant(1));
}

void TstContactsTreeModel::setGroupsResets()
{
    auto book = ModelBook::sample();
    ContactsTreeModel model;
    QSignalSpy aboutToReset(&model, &QAbstractItemModel::modelAboutToBeReset);
    QSignalSpy reset(&model, &QAbstractItemModel::modelReset);
    model.setGroups(book->list());
    QCOMPARE(aboutToReset.count(), 1);
    QCOMPARE(reset.count(), 1);
    QCOMPARE(model.groups(), book->list());
}

QTEST_MAIN(TstContactsTreeModel)
#include "tst_contactstreemodel.moc"
