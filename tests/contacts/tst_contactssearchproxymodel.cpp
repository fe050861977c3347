#include <QAbstractItemModelTester>
#include <QItemSelectionModel>
#include <QSignalSpy>
#include <QtTest>

#include "contactslistmodel.h"
#include "contactssearchproxymodel.h"
#include "contactsmodels.h"
#include "contactstreemodel.h"
#include "modeltesting.h"

using namespace ContactsModels;

// The search on the flat list: which contacts it shows, and that a new text re-filters the list as
// one layout change that keeps the rows still found.
class TstContactsSearchProxyModel : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void modelTester();
    void search_data();
    void search();
    void newTextIsOneLayoutChange();
    void sameTextChangesNothing();
    void currentAndSelectedRowsThatStillMatchStay();
    void rowsThatNoLongerMatchLeaveTheSelection();
    void bookChangeKeepsTheSearch();
    void refreshOfARowKeepsTheSearch();
    void ordinaryFilterStillApplies();

private:
    QStringList listed() const;

    std::unique_ptr<ModelBook> book;
    std::unique_ptr<ContactsTreeModel> tree;
    std::unique_ptr<ContactsListModel> list;
    std::unique_ptr<ContactsSearchProxyModel> proxy;
};

void TstContactsSearchProxyModel::init()
{
    book = ModelBook::sample();
    tree = std::make_unique<ContactsTreeModel>();
    list = std::make_unique<ContactsListModel>();
    proxy = std::make_unique<ContactsSearchProxyModel>();
    proxy->setSourceModel(list.get());
    tree->setGroups(book->list());
    list->setSourceModel(tree.get());
}

void TstContactsSearchProxyModel::cleanup()
{
    proxy.reset();
    list.reset();
    tree.reset();
    book.reset();
}

QStringList TstContactsSearchProxyModel::listed() const
{
    QStringList names;
    for (int row = 0; row < proxy->rowCount(); ++row)
        names << proxy->index(row, 0).data().toString();
    return names;
}

void TstContactsSearchProxyModel::modelTester()
{
    QAbstractItemModelTester tester(proxy.get(), QAbstractItemModelTester::FailureReportingMode::QtTest);
    proxy->setSearchText(QStringLiteral("ann"));
    proxy->setSearchText(QStringLiteral("zzz"));
    proxy->setSearchText(QString());
    tree->setGroups(book->list().mid(1));
    list->setSourceModel(tree.get());
    proxy->setSearchText(QStringLiteral("n"));
    tree->setGroups(book->list());
    list->setSourceModel(tree.get());
    QCOMPARE(listed(), (QStringList { "Ann Lee", "Cyd Ng", "Dora Ann" }));
}

void TstContactsSearchProxyModel::search_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("contacts");
    QTest::newRow("no search") << "" << QStringList { "Ann Lee", "Bob Ray", "Cyd Ng", "Dora Ann" };
    QTest::newRow("first and last names") << "ann" << QStringList { "Ann Lee", "Dora Ann" };
    QTest::newRow("case-insensitive") << "RAY" << QStringList { "Bob Ray" };
    QTest::newRow("across the space") << "n l" << QStringList { "Ann Lee" };
    QTest::newRow("whole name") << "Dora Ann" << QStringList { "Dora Ann" };
    QTest::newRow("one letter more than a name") << "Dora Anna" << QStringList {};
    QTest::newRow("group names are not searched") << "golf" << QStringList {};
    QTest::newRow("fixed text, not a pattern") << "a.n" << QStringList {};
    QTest::newRow("a space alone") << " " << QStringList { "Ann Lee", "Bob Ray", "Cyd Ng", "Dora Ann" };
}

void TstContactsSearchProxyModel::search()
{
    QFETCH(QString, text);
    QFETCH(QStringList, contacts);
    proxy->setSearchText(text);
    QCOMPARE(proxy->searchText(), text);
    QCOMPARE(listed(), contacts);
    // The rows still address their contacts in the book.
    for (int row = 0; row < proxy->rowCount(); ++row) {
        const QModelIndex index = proxy->index(row, 0);
        const QModelIndex source = list->mapToSource(proxy->mapToSource(index));
        QCOMPARE(source.data().toString(), index.data().toString());
        QCOMPARE(index.data(GroupIndexRole).toInt(), source.parent().row());
        QCOMPARE(index.data(ContactIndexRole).toInt(), source.row());
    }
}

void TstContactsSearchProxyModel::newTextIsOneLayoutChange()
{
    QCOMPARE(proxy->rowCount(), 4);
    QSignalSpy removed(proxy.get(), &QAbstractItemModel::rowsRemoved);
    QSignalSpy inserted(proxy.get(), &QAbstractItemModel::rowsInserted);
    QSignalSpy reset(proxy.get(), &QAbstractItemModel::modelReset);
    QSignalSpy layout(proxy.get(), &QAbstractItemModel::layoutChanged);
    // "n" leaves out Bob Ray in the middle of the list, "ann" then Cyd Ng: runs of rows either side.
    for (const char *text : { "n", "ann", "", "zzz" })
        proxy->setSearchText(QString::fromLatin1(text));
    QCOMPARE(layout.count(), 4);
    QCOMPARE(removed.count(), 0);
    QCOMPARE(inserted.count(), 0);
    QCOMPARE(reset.count(), 0);
    QCOMPARE(proxy->rowCount(), 0);
}

void TstContactsSearchProxyModel::sameTextChangesNothing()
{
    proxy->setSearchText(QStringLiteral("ann"));
    QSignalSpy layout(proxy.get(), &QAbstractItemModel::layoutChanged);
    proxy->setSearchText(QStringLiteral("ann"));
    QCOMPARE(layout.count(), 0);
    // Another case is another text, even though it finds the same rows.
    proxy->setSearchText(QStringLiteral("ANN"));
    QCOMPARE(layout.count(), 1);
    QCOMPARE(listed(), (QStringList { "Ann Lee", "Dora Ann" }));
}

void TstContactsSearchProxyModel::currentAndSelectedRowsThatStillMatchStay()
{
    QItemSelectionModel selection(proxy.get());
    const QModelIndex dora = proxy->index(3, 0);
    QCOMPARE(dora.data().toString(), QStringLiteral("Dora Ann"));
    selection.setCurrentIndex(dora, QItemSelectionModel::ClearAndSelect);
    const QPersistentModelIndex kept(dora);

    proxy->setSearchText(QStringLiteral("ann"));
    QVERIFY(kept.isValid());
    QCOMPARE(kept.row(), 1);
    QCOMPARE(kept.data().toString(), QStringLiteral("Dora Ann"));
    QCOMPARE(selection.currentIndex().data().toString(), QStringLiteral("Dora Ann"));
    QCOMPARE(selection.selectedIndexes().size(), 1);
    QCOMPARE(selection.selectedIndexes().first().data().toString(), QStringLiteral("Dora Ann"));

    proxy->setSearchText(QString());
    QCOMPARE(kept.row(), 3);
    QCOMPARE(selection.currentIndex().row(), 3);
}

void TstContactsSearchProxyModel::rowsThatNoLongerMatchLeaveTheSelection()
{
    QItemSelectionModel selection(proxy.get());
    const QModelIndex bob = proxy->index(1, 0);
    QCOMPARE(bob.data().toString(), QStringLiteral("Bob Ray"));
    selection.setCurrentIndex(bob, QItemSelectionModel::ClearAndSelect);
    const QPersistentModelIndex gone(bob);

    proxy->setSearchText(QStringLiteral("ann"));
    QVERIFY(!gone.isValid());
    QVERIFY(!selection.currentIndex().isValid());
    QVERIFY(selection.selectedIndexes().isEmpty());
    QCOMPARE(proxy->rowCount(), 2);
}

void TstContactsSearchProxyModel::bookChangeKeepsTheSearch()
{
    proxy->setSearchText(QStringLiteral("ann"));
    ContactGroup *golf = book->list().at(1);
    book->add(golf, contacttesting::contact("eve", "", "Eve", "Annan"));
    tree->setGroups(book->list());
    list->setSourceModel(tree.get());
    QCOMPARE(listed(), (QStringList { "Ann Lee", "Eve Annan", "Dora Ann" }));
    QCOMPARE(proxy->searchText(), QStringLiteral("ann"));
}

void TstContactsSearchProxyModel::refreshOfARowKeepsTheSearch()
{
    proxy->setSearchText(QStringLiteral("lee"));
    QCOMPARE(listed(), QStringList { "Ann Lee" });
    // A contact renamed in place, then announced through the refresh role, leaves or joins the list.
    Contact *cyd = book->list().at(2)->contacts().at(0);
    cyd->setLastName(QStringLiteral("Lee"));
    QVERIFY(list->setData(list->index(2, 0), QVariant(), RefreshRole));
    QCOMPARE(listed(), (QStringList { "Ann Lee", "Cyd Lee" }));
    Contact *ann = book->list().at(0)->contacts().at(0);
    ann->setLastName(QStringLiteral("Ray"));
    QVERIFY(list->setData(list->index(0, 0), QVariant(), RefreshRole));
    QCOMPARE(listed(), QStringList { "Cyd Lee" });
}

void TstContactsSearchProxyModel::ordinaryFilterStillApplies()
{
    proxy->setFilterFixedString(QStringLiteral("a"));
    QCOMPARE(listed(), (QStringList { "Ann Lee", "Bob Ray", "Dora Ann" }));
    proxy->setSearchText(QStringLiteral("r"));
    QCOMPARE(listed(), (QStringList { "Bob Ray", "Dora Ann" }));
    proxy->setFilterFixedString(QString());
    QCOMPARE(listed(), (QStringList { "Bob Ray", "Dora Ann" }));
}

QTEST_MAIN(TstContactsSearchProxyModel)
#include "tst_contactssearchproxymodel.moc"
