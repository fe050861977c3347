#include <QtTest>

#include "contactitemdelegate.h"
#include "contactstreemodel.h"
#include "contactstreeview.h"
#include "modeltesting.h"
#include "paintrecorder.h"

class TstContactsTreeView : public QObject
{
    Q_OBJECT

private slots:
    void setUp();
    void paintingLeavesTheDelegateUnsuppressed();
    void contactRowsGetNoBranchArrow();
};

void TstContactsTreeView::setUp()
{
    ContactsTreeView view;
    auto *delegate = qobject_cast<ContactItemDelegate *>(view.itemDelegate());
    QVERIFY(delegate);
    QCOMPARE(view.contactDelegate(), delegate);
    QVERIFY(delegate->isTreeMode());
    QCOMPARE(view.indentation(), 11);
    QCOMPARE(view.contextMenuPolicy(), Qt::CustomContextMenu);
    QVERIFY(view.testAttribute(Qt::WA_Hover));
    QVERIFY(view.testAttribute(Qt::WA_MouseTracking));
    QVERIFY(view.viewport()->testAttribute(Qt::WA_Hover));
}

void TstContactsTreeView::paintingLeavesTheDelegateUnsuppressed()
{
    auto book = ModelBook::sample();
    ContactsTreeModel model;
    model.setGroups(book->list());
    ContactsTreeView view;
    view.setModel(&model);
    view.resize(300, 300);
    view.expandAll();
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    PaintRecorder painted(view.viewport()->size());
    view.viewport()->render(&painted);
    QVERIFY(!view.contactDelegate()->suppressPainting());
    // Each row's texts once: the second pass over a row draws no text.
    QCOMPARE(painted.textList().count(QStringLiteral("Work")), 1);
    QCOMPARE(painted.textList().count(QStringLiteral("Cyd Ng")), 1);
}

void TstContactsTreeView::contactRowsGetNoBranchArrow()
{
    auto book = ModelBook::sample();
    ContactsTreeModel model;
    model.setGroups(book->list());
    ContactsTreeView view;
    view.setModel(&model);
    view.setStyleSheet(
        QStringLiteral("QTreeView::branch { background: transparent; }"
                       "QTreeView::branch:has-children:closed { image: url(:/gfx/contactlist/arrow.png); }"
                       "QTreeView::branch:has-children:open { image: url(:/gfx/contactlist/arrow-open.png); }"
                       "QTreeView::branch:!has-children { image: url(:/gfx/contactlist/arrow.png); }"));
    view.resize(300, 300);
    view.expandAll();
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    PaintRecorder painted(view.viewport()->size());
    view.viewport()->render(&painted);
    // Every image drawn in the indentation belongs to a group row.
    QList<int> groupTops;
    for (int row = 0; row < model.rowCount(); ++row)
        groupTops << view.visualRect(model.index(row, 0)).top();
    int arrows = 0;
    for (const QRectF &image : qAsConst(painted.pixmaps)) {
        if (image.right() > 2 * view.indentation())
            continue;
        const int rowTop = int(image.center().y()) / 30 * 30;
        QVERIFY2(groupTops.contains(rowTop), qPrintable(QString::number(rowTop)));
        ++arrows;
    }
    QVERIFY(arrows >= model.rowCount());
}

QTEST_MAIN(TstContactsTreeView)
#include "tst_contactstreeview.moc"
