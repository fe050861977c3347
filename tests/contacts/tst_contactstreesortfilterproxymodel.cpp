#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QtTest>

#include "contactslistmodel.h"
#include "contactssearchproxymodel.h"
#include "contactsmodels.h"
#include "contactstreemodel.h"
#include "contactstreesortfilterproxymodel.h"
#include "modeltesting.h"

using namespace ContactsModels;

// The search: the same fixed text on the tree proxy and on the proxy of the flat list, wired as the
// contact list page wires them.
class TstContactsTreeSortFilterProxyModel : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void modelTesterOnBothProxies();
    void search_data();
    void search();
    void clearingTheSearchShowsEveryGroupAgain();
    void rowsKeepTheBookOrder();
    void rolesPassThrough();
    void newSearchIsOneLayoutChangeThatKeepsTheRowsFound();
    void ordinaryFilterStillApplies_data();
    void ordinaryFilterStillApplies();

private:
    void setSearch(const QString &text);
    QStringList visibleGroups() const;
    QStringList visibleContacts() const;
    QStringList listedContacts() const;

    std::unique_ptr<ModelBook> book;
    std::unique_ptr<ContactsTreeModel> tree;
    std::unique_ptr<ContactsListModel> list;
    std::unique_ptr<ContactsTreeSortFilterProxyModel> treeProxy;
    std::unique_ptr<ContactsSearchProxyModel> listProxy;
};

void TstContactsTreeSortFilterProxyModel::init()
{
    book = ModelBook::sample();
    tree = std::make_unique<ContactsTreeModel>();
    list = std::make_unique<ContactsListModel>();
    treeProxy = std::make_unique<ContactsTreeSortFilterProxyModel>();
    listProxy = std::make_unique<ContactsSearchProxyModel>();
    treeProxy->setSourceModel(tree.get());
    listProxy->setSourceModel(list.get());
    listProxy->setFilterCaseSensitivity(Qt::CaseInsensitive);
    tree->setGroups(book->list());
    list->setSourceModel(tree.get());
}

void TstContactsTreeSortFilterProxyModel::cleanup()
{
    listProxy.reset();
    treeProxy.reset();
    list.reset();
    tree.reset();
    book.reset();
}

void TstContactsTreeSortFilterProxyModel::setSearch(const QString &text)
{
    treeProxy->setSearchText(text);
    listProxy->setSearchText(text);
}

QStringList TstContactsTreeSortFilterProxyModel::visibleGroups() const
{
    QStringList names;
    for (int row = 0; row < treeProxy->rowCount(); ++row)
        names << treeProxy->index(row, 0).data().toString();
    return names;
}

QStringList TstContactsTreeSortFilterProxyModel::visibleContacts() const
{
    QStringList names;
    for (int row = 0; row < treeProxy->rowCount(); ++row) {
        const QModelIndex group = treeProxy->index(row, 0);
        for (int child = 0; child < treeProxy->rowCount(group); ++child)
            names << treeProxy->index(child, 0, group).data().toString();
    }
    return names;
}

QStringList TstContactsTreeSortFilterProxyModel::listedContacts() const
{
    QStringList names;
    for (int row = 0; row < listProxy->rowCount(); ++row)
        names << listProxy->index(row, 0).data().toString();
    return names;
}

void TstContactsTreeSortFilterProxyModel::modelTesterOnBothProxies()
{
    QAbstractItemModelTester treeTester(
        treeProxy.get(), QAbstractItemModelTester::FailureReportingMode::QtTest);
    QAbstractItemModelTester listTester(
        listProxy.get(), QAbstractItemModelTester::FailureReportingMode::QtTest);
    setSearch(QStringLiteral("ann"));
    setSearch(QStringLiteral("zzz"));
    setSearch(QString());
    tree->setGroups(book->list().mid(1));
    list->setSourceModel(tree.get());
    setSearch(QStringLiteral("n"));
    tree->setGroups(book->list());
    QCOMPARE(treeProxy->rowCount(), 2);
}

void TstContactsTreeSortFilterProxyModel::search_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("groups");
    QTest::addColumn<QStringList>("contacts");
    QTest::newRow("no search shows empty groups too")
        << "" << QStringList { "Family", "Golf", "Work" }
        << QStringList { "Ann Lee", "Bob Ray", "Cyd Ng", "Dora Ann" };
    QTest::newRow("first and last names")
        << "ann" << QStringList { "Family", "Work" } << QStringList { "Ann Lee", "Dora Ann" };
    QTest::newRow("case-insensitive") << "RAY" << QStringList { "Family" } << QStringList { "Bob Ray" };
    QTest::newRow("across the space") << "n l" << QStringList { "Family" } << QStringList { "Ann Lee" };
    QTest::newRow("group names are not searched") << "golf" << QStringList {} << QStringList {};
    QTest::newRow("no match hides every group") << "zzz" << QStringList {} << QStringList {};
    QTest::newRow("fixed text, not a pattern") << "a.n" << QStringList {} << QStringList {};
}

void TstContactsTreeSortFilterProxyModel::search()
{
    QFETCH(QString, text);
    QFETCH(QStringList, groups);
    QFETCH(QStringList, contacts);
    setSearch(text);
    QCOMPARE(visibleGroups(), groups);
    QCOMPARE(visibleContacts(), contacts);
    QCOMPARE(listedContacts(), contacts);
}

void TstContactsTreeSortFilterProxyModel::clearingTheSearchShowsEveryGroupAgain()
{
    setSearch(QStringLiteral("zzz"));
    QCOMPARE(treeProxy->rowCount(), 0);
    QCOMPARE(listProxy->rowCount(), 0);
    setSearch(QString());
    QCOMPARE(visibleGroups(), (QStringList { "Family", "Golf", "Work" }));
    QCOMPARE(listProxy->rowCount(), 4);
}

void TstContactsTreeSortFilterProxyModel::rowsKeepTheBookOrder()
{
    // "Dora Ann" sorts after "Cyd Ng" by nick although a name sort would differ in the other group.
    setSearch(QStringLiteral("a"));
    QCOMPARE(visibleContacts(), (QStringList { "Ann Lee", "Bob Ray", "Dora Ann" }));
    QCOMPARE(listedContacts(), (QStringList { "Ann Lee", "Bob Ray", "Dora Ann" }));
    QCOMPARE(treeProxy->sortColumn(), -1);
}

void TstContactsTreeSortFilterProxyModel::rolesPassThrough()
{
    setSearch(QStringLiteral("dora"));
    const QModelIndex work = treeProxy->index(0, 0);
    QCOMPARE(work.data(GroupRowRole).toInt(), 2);
    const QModelIndex dora = treeProxy->index(0, 0, work);
    QCOMPARE(dora.data(GroupIndexRole).toInt(), 2);
    QCOMPARE(dora.data(ContactIndexRole).toInt(), 1);
    const QModelIndex listed = listProxy->index(0, 0);
    QCOMPARE(listed.data(GroupIndexRole).toInt(), 2);
    QCOMPARE(listed.data(ContactIndexRole).toInt(), 1);
}

void TstContactsTreeSortFilterProxyModel::newSearchIsOneLayoutChangeThatKeepsTheRowsFound()
{
    const QModelIndex family = treeProxy->index(0, 0);
    const QModelIndex work = treeProxy->index(2, 0);
    QCOMPARE(work.data().toString(), QStringLiteral("Work"));
    // A view keeps its open groups and its current row as persistent indexes.
    const QPersistentModelIndex keptFamily(family);
    const QPersistentModelIndex keptWork(work);
    const QPersistentModelIndex dora(treeProxy->index(1, 0, work));
    QCOMPARE(dora.data().toString(), QStringLiteral("Dora Ann"));
    QSignalSpy removed(treeProxy.get(), &QAbstractItemModel::rowsRemoved);
    QSignalSpy inserted(treeProxy.get(), &QAbstractItemModel::rowsInserted);
    QSignalSpy layout(treeProxy.get(), &QAbstractItemModel::layoutChanged);

    treeProxy->setSearchText(QStringLiteral("ann"));
    QCOMPARE(layout.count(), 1);
    QCOMPARE(removed.count() + inserted.count(), 0);
    QVERIFY(keptWork.isValid());
    QCOMPARE(keptWork.row(), 1);
    QCOMPARE(dora.row(), 0);
    QCOMPARE(dora.parent(), QModelIndex(keptWork));
    QCOMPARE(dora.data().toString(), QStringLiteral("Dora Ann"));

    treeProxy->setSearchText(QStringLiteral("ray"));
    QCOMPARE(layout.count(), 2);
    QVERIFY(!keptWork.isValid());
    QVERIFY(!dora.isValid());
    QCOMPARE(keptFamily.data().toString(), QStringLiteral("Family"));
    treeProxy->setSearchText(QStringLiteral("ray"));
    QCOMPARE(layout.count(), 2);
    QCOMPARE(removed.count() + inserted.count(), 0);
}

void TstContactsTreeSortFilterProxyModel::ordinaryFilterStillApplies_data()
{
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("groups");
    QTest::addColumn<QStringList>("contacts");
    QTest::newRow("filter alone") << "ann"
                                  << "" << QStringList { "Family", "Work" }
                                  << QStringList { "Ann Lee", "Dora Ann" };
    QTest::newRow("search narrows the filter")
        << "ann"
        << "lee" << QStringList { "Family" } << QStringList { "Ann Lee" };
    QTest::newRow("nothing both match") << "bob"
                                        << "ng" << QStringList {} << QStringList {};
}

void TstContactsTreeSortFilterProxyModel::ordinaryFilterStillApplies()
{
    QFETCH(QString, filter);
    QFETCH(QString, text);
    QFETCH(QStringList, groups);
    QFETCH(QStringList, contacts);
    treeProxy->setFilterFixedString(filter);
    treeProxy->setSearchText(text);
    QCOMPARE(visibleGroups(), groups);
    QCOMPARE(visibleContacts(), contacts);
}

QTEST_MAIN(TstContactsTreeSortFilterProxyModel)
#include "tst_contactstreesortfilterproxymodel.moc"
