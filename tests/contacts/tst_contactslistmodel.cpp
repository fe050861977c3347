#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QtTest>

#include "contactslistmodel.h"
#include "contactsmodels.h"
#include "contactstreemodel.h"
#include "modeltesting.h"

using namespace ContactsModels;

class TstContactsListModel : public QObject
{
    Q_OBJECT

private slots:
    void withoutSourceThereAreNoRows();
    void modelTester();
    void flatRowsGroupByGroup_data();
    void flatRowsGroupByGroup();
    void groupRowsDoNotAppear();
    void invalidIndexes();
    void followsTheSourceReset();
    void refreshIsForwardedAndMappedBack();
    void otherRolesAreNotForwarded();
    void newSourceReplacesTheOld();
    void withoutGroupsThereAreNoRows();
};

void TstContactsListModel::withoutSourceThereAreNoRows()
{
    ContactsListModel list;
    QCOMPARE(list.rowCount(), 0);
    QVERIFY(!list.index(0, 0).isValid());
    QVERIFY(!list.data(list.index(0, 0)).isValid());
}

void TstContactsListModel::modelTester()
{
    auto book = ModelBook::sample();
    ContactsTreeModel tree;
    ContactsListModel list;
    QAbstractItemModelTester tester(&list, QAbstractItemModelTester::FailureReportingMode::QtTest);
    list.setSourceModel(&tree);
    tree.setGroups(book->list());
    list.setSourceModel(&tree);
    tree.setGroups({});
    tree.setGroups(book->list());
    QCOMPARE(list.rowCount(), 4);
}

void TstContactsListModel::flatRowsGroupByGroup_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("display");
    QTest::addColumn<int>("group");
    QTest::addColumn<int>("contact");
    QTest::newRow("first of first group") << 0 << "Ann Lee" << 0 << 0;
    QTest::newRow("last of first group") << 1 << "Bob Ray" << 0 << 1;
    // The empty group in between adds no rows.
    QTest::newRow("first of third group") << 2 << "Cyd Ng" << 2 << 0;
    QTest::newRow("last row") << 3 << "Dora Ann" << 2 << 1;
}

void TstContactsListModel::flatRowsGroupByGroup()
{
    QFETCH(int, row);
    QFETCH(QString, display);
    QFETCH(int, group);
    QFETCH(int, contact);
    auto book = ModelBook::sample();
    ContactsTreeModel tree;
    tree.setGroups(book->list());
    ContactsListModel list;
    list.setSourceModel(&tree);
    const QModelIndex index = list.index(row, 0);
    QVERIFY(index.isValid());
    QCOMPARE(index.internalId(), quintptr(group));
    QCOMPARE(index.data().toString(), display);
    QCOMPARE(index.data(GroupIndexRole).toInt(), group);
    QCOMPARE(index.data(ContactIndexRole).toInt(), contact);
    QCOMPARE(list.mapToSource(index), tree.index(contact, 0, tree.index(group, 0)));
    QCOMPARE(list.mapFromSource(tree.index(contact, 0, tree.index(group, 0))), index);
}

void TstContactsListModel::groupRowsDoNotAppear()
{
    auto book = ModelBook::sample();
    ContactsTreeModel tree;
    tree.setGroups(book->list());
    ContactsListModel list;
    list.setSourceModel(&tree);
    QCOMPARE(list.rowCount(), 4);
    for (int row = 0; row < list.rowCount(); ++row)
        QCOMPARE(list.index(row, 0).data(IsGroupRole), QVariant(false));
    QVERIFY(!list.mapFromSource(tree.index(1, 0)).isValid());
}

void TstContactsListModel::invalidIndexes()
{
    auto book = ModelBook::sample();
    ContactsTreeModel tree;
    tree.setGroups(book->list());
    ContactsListModel list;
    list.setSourceModel(&tree);
    QVERIFY(!list.index(4, 0).isValid());
    QVERIFY(!list.index(-1, 0).isValid());
    QVERIFY(!list.index(0, 1).isValid());
    QVERIFY(!list.index(0, 0, list.index(0, 0)).isValid());
    QCOMPARE(list.rowCount(list.index(0, 0)), 0);
    QVERIFY(!list.data(QModelIndex()).isValid());
}

void TstContactsListModel::followsTheSourceReset()
{
    auto book = ModelBook::sample();
    ContactsTreeModel tree;
    tree.setGroups(book->list());
    ContactsListModel list;
    list.setSourceModel(&tree);
    QSignalSpy reset(&list, &QAbstractItemModel::modelReset);
    tree.setGroups(book->list().mid(2));
    QCOMPARE(reset.count(), 1);
    QCOMPARE(list.rowCount(), 2);
    QCOMPARE(list.index(0, 0).data().toString(), QStringLiteral("Cyd Ng"));
    QCOMPARE(list.index(0, 0).data(GroupIndexRole).toInt(), 0);
}

void TstContactsListModel::refreshIsForwardedAndMappedBack()
{
    auto book = ModelBook::sample();
    ContactsTreeModel tree;
    tree.setGroups(book->list());
    ContactsListModel list;
    list.setSourceModel(&tree);
    QSignalSpy treeChanged(&tree, &QAbstractItemModel::dataChanged);
    QSignalSpy listChanged(&list, &QAbstractItemModel::dataChanged);
    const QModelIndex dora = list.index(3, 0);
    QVERIFY(list.setData(dora, QVariant(), RefreshRole));
    QCOMPARE(treeChanged.count(), 1);
    QCOMPARE(treeChanged.first().first().toModelIndex(), tree.index(1, 0, tree.index(2, 0)));
    QCOMPARE(listChanged.count(), 1);
    QCOMPARE(listChanged.first().at(0).toModelIndex(), dora);
    QCOMPARE(listChanged.first().at(1).toModelIndex(), dora);

    // A change of a group row has no flat row to report.
    QVERIFY(tree.setData(tree.index(1, 0), QVariant(), RefreshRole));
    QCOMPARE(listChanged.count(), 1);
}

void TstContactsListModel::otherRolesAreNotForwarded()
{
    auto book = ModelBook::sample();
    ContactsTreeModel tree;
    tree.setGroups(book->list());
    ContactsListModel list;
    list.setSourceModel(&tree);
    QSignalSpy listChanged(&list, &QAbstractItemModel::dataChanged);
    QVERIFY(!list.setData(list.index(0, 0), QStringLiteral("x"), Qt::EditRole));
    QVERIFY(!list.setData(list.index(0, 0), QVariant(), IsGroupRole));
    QVERIFY(!list.setData(QModelIndex(), QVariant(), RefreshRole));
    QCOMPARE(listChanged.count(), 0);
}

void TstContactsListModel::newSourceReplacesTheOld()
{
    auto book = ModelBook::sample();
    ContactsTreeModel first;
    first.setGroups(book->list());
    ContactsTreeModel second;
    second.setGroups(book->list().mid(2));
    ContactsListModel list;
    list.setSourceModel(&first);
    list.setSourceModel(&second);
    QCOMPARE(list.sourceModel(), &second);
    QCOMPARE(list.rowCount(), 2);
    QSignalSpy reset(&list, &QAbstractItemModel::modelReset);
    QSignalSpy changed(&list, &QAbstractItemModel::dataChanged);
    first.setGroups({});
    QVERIFY(first.setData(first.index(0, 0), QVariant(), RefreshRole) == false);
    QCOMPARE(reset.count(), 0);
    QCOMPARE(changed.count(), 0);
    QCOMPARE(list.rowCount(), 2);
}

void TstContactsListModel::withoutGroupsThereAreNoRows()
{
    ContactsTreeModel tree;
    ContactsListModel list;
    list.setSourceModel(&tree);
    QCOMPARE(list.rowCount(), 0);
    QVERIFY(!list.index(0, 0).isValid());
}

QTEST_MAIN(TstContactsListModel)
#include "tst_contactslistmodel.moc"
