#include <QtTest>

#include "contactitemdelegate.h"
#include "contactslistmodel.h"
#include "contactslistview.h"
#include "contactstreemodel.h"
#include "modeltesting.h"
#include "paintrecorder.h"

class TstContactsListView : public QObject
{
    Q_OBJECT

private slots:
    void setUp();
    void showsEveryContactInThirtyPixelRows();
};

void TstContactsListView::setUp()
{
    ContactsListView view;
    auto *delegate = qobject_cast<ContactItemDelegate *>(view.itemDelegate());
    QVERIFY(delegate);
    QCOMPARE(view.contactDelegate(), delegate);
    QVERIFY(!delegate->isTreeMode());
    QCOMPARE(view.contextMenuPolicy(), Qt::CustomContextMenu);
    QVERIFY(view.testAttribute(Qt::WA_Hover));
    QVERIFY(view.testAttribute(Qt::WA_MouseTracking));
}

void TstContactsListView::showsEveryContactInThirtyPixelRows()
{
    auto book = ModelBook::sample();
    ContactsTreeModel tree;
    tree.setGroups(book->list());
    ContactsListModel list;
    list.setSourceModel(&tree);
    ContactsListView view;
    view.setModel(&list);
    view.resize(300, 300);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    for (int row = 0; row < list.rowCount(); ++row)
        QCOMPARE(view.visualRect(list.index(row, 0)), QRect(0, 30 * row, view.viewport()->width(), 30));
    PaintRecorder painted(view.viewport()->size());
    view.viewport()->render(&painted);
    const QStringList texts = painted.textList();
    QVERIFY(texts.contains(QStringLiteral("Dora Ann")));
    QVERIFY(texts.contains(QStringLiteral("+ 2 more")));
    QVERIFY(!texts.contains(QStringLiteral("Golf")));
}

QTEST_MAIN(TstContactsListView)
#include "tst_contactslistview.moc"
