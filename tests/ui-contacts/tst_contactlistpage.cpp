#include <QAction>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>
#include <QSortFilterProxyModel>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTreeView>
#include <QtTest>

#include <memory>

#include "contactmanager.h"
#include "contactsmodels.h"
#include "contactssearchproxymodel.h"
#include "contactstreesortfilterproxymodel.h"
#include "settings/settings.h"
#include "ui/contactlistpage.h"
#include "util/dbstore.h"
#include "contactscreenstesting.h"

using namespace contactscreenstesting;

class TstContactListPage : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void searchNarrowsAsTypedAndHidesEmptyGroups();
    void searchIsCaseInsensitiveInBothViews();
    void switchingViewsShowsTheSearchTypedInTheOther_data();
    void switchingViewsShowsTheSearchTypedInTheOther();
    void clearButtonSitsInsideTheSearchField();
    void emptyAreaShowsNoMenu();
    void defaultGroupsShowNoMenu_data();
    void defaultGroupsShowNoMenu();
    void otherGroupShowsTheThreeGroupEntries();
    void contactMenuListsEveryNumberInOrder();
    void groupMenuRequestsCarryTheGroupName();
    void contactRequestsNameTheMenuContactAfterTheBookChanged();
    void doubleClickCallsFirstNumber();
    void doubleClickShowsDetailsWhenCallingIsOff();
    void doubleClickOnGroupOnlyExpands();
    void placeCallKeyCallsTheSelectedContact();

private:
    QStringList visibleGroups() const;
    QStringList visibleContacts() const;
    QModelIndex treeRow(const QString &groupName, const QString &contactName = QString()) const;
    QPoint pointOf(const QModelIndex &index) const;
    QTreeView *tree() const { return page->findChild<QTreeView *>(QStringLiteral("contactsTreeView")); }

    std::unique_ptr<ContactManager> book;
    std::unique_ptr<ContactListPage> page;
    QTemporaryDir dir;
};

void TstContactListPage::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
}

void TstContactListPage::init()
{
    book = std::make_unique<ContactManager>();
    book->loadGroups({ Group(QStringLiteral("Climbing")) });
    book->loadContacts({
        contact("ada", "Work", "Ada", "Lovelace", { "442079460000", "442079460001", "447700900000" }),
        contact("alan", "Work", "Alan", "Turing", { "441619460000" }),
        contact("rene", "Friends", "René", "Müller", { "4915112345671" }),
        contact("grace", "Climbing", "Grace", "Hopper", { "12025550100" }),
    });
    page = std::make_unique<ContactListPage>();
    page->resize(320, 480);
    page->setGroups(book->groupList());
    connect(book.get(), &ContactManager::refreshContactListUI, page.get(),
        [this]() { page->setGroups(book->groupList()); });
    page->show();
    QVERIFY(QTest::qWaitForWindowExposed(page.get()));
}

void TstContactListPage::cleanup()
{
    page.reset();
    book.reset();
}

QStringList TstContactListPage::visibleGroups() const
{
    QStringList names;
    const QAbstractItemModel *model = tree()->model();
    for (int row = 0; row < model->rowCount(); ++row)
        names << model->index(row, 0).data().toString();
    return names;
}

// The flat list as the user sees it on switching to it; the page is left showing what it showed.
QStringList TstContactListPage::visibleContacts() const
{
    const bool showedGroups = page->showGroups();
    page->setShowGroups(false);
    QStringList names;
    const QAbstractItemModel *model = page->currentView()->model();
    for (int row = 0; row < model->rowCount(); ++row)
        names << model->index(row, 0).data().toString();
    page->setShowGroups(showedGroups);
    return names;
}

QModelIndex TstContactListPage::treeRow(const QString &groupName, const QString &contactName) const
{
    const QAbstractItemModel *model = tree()->model();
    for (int row = 0; row < model->rowCount(); ++row) {
        const QModelIndex group = model->index(row, 0);
        if (group.data().toString() != groupName)
            continue;
        if (contactName.isEmpty())
            return group;
        for (int c = 0; c < model->rowCount(group); ++c) {
            if (model->index(c, 0, group).data().toString() == contactName)
                return model->index(c, 0, group);
        }
    }
    return {};
}

QPoint TstContactListPage::pointOf(const QModelIndex &index) const
{
    tree()->scrollTo(index);
    return tree()->visualRect(index).center();
}

void TstContactListPage::searchNarrowsAsTypedAndHidesEmptyGroups()
{
    QCOMPARE(visibleGroups(), QStringList({ "Climbing", "Family", "Friends", "Work" }));
    QCOMPARE(visibleContacts().size(), 4);

    auto *search = page->findChild<QLineEdit *>(QStringLiteral("searchLineEdit"));
    search->setFocus();
    QTest::keyClick(search, Qt::Key_A);
    // "a" is in every name but René Müller's; the empty Family group is hidden during a search.
    QCOMPARE(visibleGroups(), QStringList({ "Climbing", "Work" }));
    QVERIFY(tree()->isExpanded(treeRow("Work")));
    QVERIFY(tree()->isExpanded(treeRow("Climbing")));
    QCOMPARE(visibleContacts(), QStringList({ "Grace Hopper", "Ada Lovelace", "Alan Turing" }));

    QTest::keyClick(search, Qt::Key_L);
    QCOMPARE(visibleGroups(), QStringList({ "Work" }));
    QCOMPARE(visibleContacts(), QStringList({ "Alan Turing" }));

    QTest::keyClick(search, Qt::Key_X);
    QCOMPARE(visibleGroups(), QStringList());
    QCOMPARE(visibleContacts(), QStringList());

    QTest::keyClick(search, Qt::Key_Backspace);
    QCOMPARE(visibleContacts(), QStringList({ "Alan Turing" }));

    QTest::mouseClick(page->findChild<QPushButton *>(QStringLiteral("searchClearButton")), Qt::LeftButton);
    QCOMPARE(search->text(), QString());
    QCOMPARE(visibleGroups(), QStringList({ "Climbing", "Family", "Friends", "Work" }));
    QCOMPARE(visibleContacts().size(), 4);
    // Clearing leaves the groups as the search expanded them.
    QVERIFY(tree()->isExpanded(treeRow("Work")));
}

void TstContactListPage::searchIsCaseInsensitiveInBothViews()
{
    auto *search = page->findChild<QLineEdit *>(QStringLiteral("searchLineEdit"));
    QTest::keyClicks(search, QStringLiteral("MÜL"));
    QCOMPARE(visibleGroups(), QStringList({ "Friends" }));
    page->setShowGroups(false);
    QCOMPARE(page->currentView()->objectName(), QStringLiteral("contactsListView"));
    QCOMPARE(visibleContacts(), QStringList({ "René Müller" }));
    // A change of the book keeps the search applied and the found groups open.
    book->addOldContact(contact("mary", "Family", "Mary", "Mülheim", { "353123456" }));
    QCOMPARE(visibleContacts(), QStringList({ "Mary Mülheim", "René Müller" }));
    page->setShowGroups(true);
    QVERIFY(tree()->isExpanded(treeRow("Family")));
}

void TstContactListPage::switchingViewsShowsTheSearchTypedInTheOther_data()
{
    QTest::addColumn<bool>("typeInTree");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("erased");
    QTest::addColumn<QStringList>("groups");
    QTest::addColumn<QStringList>("contacts");
    const QStringList allGroups { "Climbing", "Family", "Friends", "Work" };
    const QStringList allContacts { "Grace Hopper", "René Müller", "Ada Lovelace", "Alan Turing" };
    const QStringList withA { "Grace Hopper", "Ada Lovelace", "Alan Turing" };
    QTest::newRow("tree to list") << true << "a" << 0 << QStringList { "Climbing", "Work" } << withA;
    QTest::newRow("list to tree") << false << "a" << 0 << QStringList { "Climbing", "Work" } << withA;
    QTest::newRow("list to tree, one match")
        << false << "TUR" << 0 << QStringList { "Work" } << QStringList { "Alan Turing" };
    QTest::newRow("tree to list, no match") << true << "ax" << 0 << QStringList {} << QStringList {};
    QTest::newRow("list to tree, no match") << false << "ax" << 0 << QStringList {} << QStringList {};
    QTest::newRow("tree to list, erased") << true << "al" << 2 << allGroups << allContacts;
    QTest::newRow("list to tree, erased") << false << "al" << 2 << allGroups << allContacts;
    QTest::newRow("list to tree, erased to one letter")
        << false << "ax" << 1 << QStringList { "Climbing", "Work" } << withA;
}

void TstContactListPage::switchingViewsShowsTheSearchTypedInTheOther()
{
    QFETCH(bool, typeInTree);
    QFETCH(QString, typed);
    QFETCH(int, erased);
    QFETCH(QStringList, groups);
    QFETCH(QStringList, contacts);
    auto *search = page->findChild<QLineEdit *>(QStringLiteral("searchLineEdit"));
    const auto rowsOfList = [this]() {
        QStringList names;
        const QAbstractItemModel *model = page->listProxy();
        for (int row = 0; row < model->rowCount(); ++row)
            names << model->index(row, 0).data().toString();
        return names;
    };
    // Both views show everything before the search, so that the switch has rows to take away.
    page->setShowGroups(typeInTree);
    QCOMPARE(visibleGroups().size(), 4);
    QCOMPARE(rowsOfList().size(), 4);

    QTest::keyClicks(search, typed);
    for (int i = 0; i < erased; ++i)
        QTest::keyClick(search, Qt::Key_Backspace);
    page->setShowGroups(!typeInTree);
    QCOMPARE(page->showGroups(), !typeInTree);
    if (typeInTree) {
        QCOMPARE(rowsOfList(), contacts);
    } else {
        QCOMPARE(visibleGroups(), groups);
        // A search opens every group it finds, also in the view that was hidden while typing.
        for (const QString &group : groups)
            QCOMPARE(tree()->isExpanded(treeRow(group)), !search->text().isEmpty());
    }
    // And the view typed in still shows the same.
    page->setShowGroups(typeInTree);
    QCOMPARE(visibleGroups(), groups);
    QCOMPARE(rowsOfList(), contacts);
}

void TstContactListPage::clearButtonSitsInsideTheSearchField()
{
    auto *search = page->findChild<QLineEdit *>(QStringLiteral("searchLineEdit"));
    auto *clear = page->findChild<QPushButton *>(QStringLiteral("searchClearButton"));
    QCOMPARE(clear->geometry().right(), search->geometry().right() - 3);
    QVERIFY(qAbs(clear->geometry().center().y() - search->geometry().center().y()) <= 1);
    page->resize(400, 480);
    QTRY_COMPARE(clear->geometry().right(), search->geometry().right() - 3);
    QVERIFY(tree()->hasFocus());
}

void TstContactListPage::emptyAreaShowsNoMenu()
{
    const QPoint below(20, tree()->viewport()->height() - 5);
    QVERIFY(!tree()->indexAt(below).isValid());
    QCOMPARE(page->showContextMenu(tree(), below), nullptr);
}

void TstContactListPage::defaultGroupsShowNoMenu_data()
{
    QTest::addColumn<QString>("group");
    QTest::newRow("Work") << "Work";
    QTest::newRow("Family") << "Family";
    QTest::newRow("Friends") << "Friends";
}

void TstContactListPage::defaultGroupsShowNoMenu()
{
    QFETCH(QString, group);
    const QModelIndex index = treeRow(group);
    QVERIFY(index.isValid());
    QCOMPARE(page->showContextMenu(tree(), pointOf(index)), nullptr);
}

void TstContactListPage::otherGroupShowsTheThreeGroupEntries()
{
    QMenu *menu = page->showContextMenu(tree(), pointOf(treeRow("Climbing")));
    QVERIFY(menu);
    QStringList texts;
    for (QAction *action : menu->actions())
        texts << action->text();
    QCOMPARE(texts, QStringList({ "Edit", "Delete group, move contacts", "Delete group and contacts" }));
    menu->close();
}

void TstContactListPage::contactMenuListsEveryNumberInOrder()
{
    tree()->expandAll();
    QMenu *menu = page->showContextMenu(tree(), pointOf(treeRow("Work", "Ada Lovelace")));
    QVERIFY(menu);
    QStringList texts;
    for (QAction *action : menu->actions())
        texts << (action->isSeparator() ? QStringLiteral("-") : action->text());
    QCOMPARE(texts, QStringList({ "Call", "Send SMS", "-", "Details", "Edit", "-", "Delete" }));
    const QStringList numbers { "442079460000", "442079460001", "447700900000" };
    for (const QString &name : { QStringLiteral("callMenu"), QStringLiteral("sendSMSMenu") }) {
        auto *sub = menu->findChild<QMenu *>(name);
        QVERIFY(sub);
        QStringList entries;
        for (QAction *action : sub->actions()) {
            entries << action->data().toString();
            QVERIFY(!action->icon().isNull());
        }
        QCOMPARE(entries, numbers);
    }

    QSignalSpy calls(page.get(), &ContactListPage::callContact);
    QSignalSpy sms(page.get(), &ContactListPage::sendSMS);
    menu->findChild<QMenu *>(QStringLiteral("callMenu"))->actions().at(2)->trigger();
    menu->findChild<QMenu *>(QStringLiteral("sendSMSMenu"))->actions().at(1)->trigger();
    QCOMPARE(calls.count(), 1);
    QCOMPARE(calls.first(), QVariantList({ "Ada Lovelace", "447700900000" }));
    QCOMPARE(sms.first(), QVariantList({ "Ada Lovelace", "442079460001" }));
    menu->close();
}

void TstContactListPage::groupMenuRequestsCarryTheGroupName()
{
    QSignalSpy edit(page.get(), &ContactListPage::editGroupRequested);
    QSignalSpy remove(page.get(), &ContactListPage::deleteGroupRequested);
    QMenu *menu = page->showContextMenu(tree(), pointOf(treeRow("Climbing")));
    QVERIFY(menu);
    // A group added before the action is picked moves Climbing's row; the request still names it.
    book->addOldGroup(QStringLiteral("Archery"));
    menu->actions().at(0)->trigger();
    menu->actions().at(1)->trigger();
    menu->actions().at(2)->trigger();
    QCOMPARE(edit.first(), QVariantList({ "Climbing" }));
    QCOMPARE(remove.at(0), QVariantList({ "Climbing", true }));
    QCOMPARE(remove.at(1), QVariantList({ "Climbing", false }));
}

void TstContactListPage::contactRequestsNameTheMenuContactAfterTheBookChanged()
{
    tree()->expandAll();
    QMenu *menu = page->showContextMenu(tree(), pointOf(treeRow("Work", "Alan Turing")));
    QVERIFY(menu);
    // Rows shift while the menu is open: a contact lands before Alan in his group.
    book->addOldContact(contact("aaron", "Work", "Aaron", "Swartz", { "16175550100" }));
    QSignalSpy details(page.get(), &ContactListPage::viewContactDetailsRequested);
    QSignalSpy edit(page.get(), &ContactListPage::editContactRequested);
    QSignalSpy remove(page.get(), &ContactListPage::deleteContactRequested);
    for (QAction *action : menu->actions()) {
        if (!action->isSeparator() && !action->menu())
            action->trigger();
    }
    QCOMPARE(details.first(), QVariantList({ "alan" }));
    QCOMPARE(edit.first(), QVariantList({ "alan" }));
    QCOMPARE(remove.first(), QVariantList({ "alan" }));
}

void TstContactListPage::doubleClickCallsFirstNumber()
{
    tree()->expandAll();
    QSignalSpy calls(page.get(), &ContactListPage::callContact);
    const QPoint point = pointOf(treeRow("Work", "Ada Lovelace"));
    QTest::mouseClick(tree()->viewport(), Qt::LeftButton, {}, point);
    QTest::mouseDClick(tree()->viewport(), Qt::LeftButton, {}, point);
    QCOMPARE(calls.count(), 1);
    QCOMPARE(calls.first(), QVariantList({ "Ada Lovelace", "442079460000" }));
}

void TstContactListPage::doubleClickShowsDetailsWhenCallingIsOff()
{
    QVERIFY(dir.isValid());
    DbStore store;
    store.setDataFolder(dir.path());
    store.loadDatabases();
    Settings settings(&store);
    settings.setCallStartDblClick(false);
    page->setSettings(&settings);
    page->setShowGroups(false);
    QSignalSpy calls(page.get(), &ContactListPage::callContact);
    QSignalSpy details(page.get(), &ContactListPage::viewContactDetailsRequested);
    auto *list = page->currentView();
    const QModelIndex grace = page->listProxy()->index(0, 0);
    QCOMPARE(grace.data().toString(), QStringLiteral("Grace Hopper"));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(grace).center());
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(grace).center());
    QCOMPARE(calls.count(), 0);
    QCOMPARE(details.count(), 1);
    QCOMPARE(details.first(), QVariantList({ "grace" }));
    page->setSettings(nullptr);
}

void TstContactListPage::doubleClickOnGroupOnlyExpands()
{
    QSignalSpy calls(page.get(), &ContactListPage::callContact);
    QSignalSpy details(page.get(), &ContactListPage::viewContactDetailsRequested);
    const QModelIndex work = treeRow("Work");
    QVERIFY(!tree()->isExpanded(work));
    QTest::mouseClick(tree()->viewport(), Qt::LeftButton, {}, pointOf(work));
    QTest::mouseDClick(tree()->viewport(), Qt::LeftButton, {}, pointOf(work));
    QVERIFY(tree()->isExpanded(work));
    QCOMPARE(calls.count(), 0);
    QCOMPARE(details.count(), 0);
}

void TstContactListPage::placeCallKeyCallsTheSelectedContact()
{
    tree()->expandAll();
    QSignalSpy calls(page.get(), &ContactListPage::callContact);
    tree()->setCurrentIndex(treeRow("Work"));
    page->callSelected();
    QCOMPARE(calls.count(), 0);
    tree()->setCurrentIndex(treeRow("Friends", "René Müller"));
    page->callSelected();
    QCOMPARE(calls.first(), QVariantList({ "René Müller", "4915112345671" }));
}

QTEST_MAIN(TstContactListPage)
#include "tst_contactlistpage.moc"
