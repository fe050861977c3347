#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QtTest>

#include "contactitemdelegate.h"
#include "contactsmodels.h"
#include "contactstreemodel.h"
#include "contactstreeview.h"
#include "modeltesting.h"
#include "paintrecorder.h"

using namespace ContactsModels;

class TstContactItemDelegate : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void everyRowIsThirtyPixelsHigh();
    void highlightRect_data();
    void highlightRect();
    void moreNumbersText_data();
    void moreNumbersText();
    void phoneTypeIcons_data();
    void phoneTypeIcons();
    void contactWithThreeNumbers();
    void contactWithoutPhone();
    void emptyGroupShowsTheZeroCount();
    void suppressedPaintingDrawsNothing();
    void renderedTreeView();
    void selectedRowIsHighlightedFromTheViewsEdge();

private:
    PaintRecorder *paintRow(
        const QModelIndex &index, bool treeMode, QStyle::State state = QStyle::State_None);

    std::unique_ptr<ModelBook> book;
    std::unique_ptr<ContactsTreeModel> model;
    std::unique_ptr<PaintRecorder> recorder;
};

void TstContactItemDelegate::init()
{
    book = ModelBook::sample();
    model = std::make_unique<ContactsTreeModel>();
    model->setGroups(book->list());
}

void TstContactItemDelegate::cleanup()
{
    recorder.reset();
    model.reset();
    book.reset();
}

PaintRecorder *TstContactItemDelegate::paintRow(const QModelIndex &index, bool treeMode, QStyle::State state)
{
    ContactItemDelegate delegate(treeMode);
    QStyleOptionViewItem option;
    option.rect = QRect(22, 0, 300, 30);
    option.state = state;
    option.font = QApplication::font();
    recorder = std::make_unique<PaintRecorder>(QSize(400, 40));
    QPainter painter(recorder.get());
    delegate.paint(&painter, option, index);
    return recorder.get();
}

void TstContactItemDelegate::everyRowIsThirtyPixelsHigh()
{
    ContactItemDelegate delegate(true);
    QStyleOptionViewItem option;
    QCOMPARE(delegate.sizeHint(option, model->index(0, 0)), QSize(1, 30));
    QCOMPARE(delegate.sizeHint(option, model->index(0, 0, model->index(0, 0))), QSize(1, 30));
    QVERIFY(delegate.isTreeMode());
    QVERIFY(!ContactItemDelegate(false).isTreeMode());
}

void TstContactItemDelegate::highlightRect_data()
{
    QTest::addColumn<bool>("treeMode");
    QTest::addColumn<bool>("groupRow");
    QTest::addColumn<QRect>("expected");
    const QRect row(22, 30, 200, 30);
    QTest::newRow("list") << false << false << QRect(QPoint(23, 31), QPoint(row.right() - 2, 58));
    QTest::newRow("tree group") << true << true << QRect(QPoint(11, 31), QPoint(row.right() - 1, 58));
    QTest::newRow("tree contact") << true << false << QRect(QPoint(0, 31), QPoint(row.right() - 1, 58));
}

void TstContactItemDelegate::highlightRect()
{
    QFETCH(bool, treeMode);
    QFETCH(bool, groupRow);
    QFETCH(QRect, expected);
    QCOMPARE(ContactItemDelegate(treeMode).highlightRect(QRect(22, 30, 200, 30), groupRow), expected);
}

void TstContactItemDelegate::moreNumbersText_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<QString>("text");
    QTest::newRow("none") << 0 << "";
    QTest::newRow("one") << 1 << "";
    QTest::newRow("two") << 2 << "+ 1 more";
    QTest::newRow("three") << 3 << "+ 2 more";
}

void TstContactItemDelegate::moreNumbersText()
{
    QFETCH(int, count);
    QFETCH(QString, text);
    QCOMPARE(ContactItemDelegate::moreNumbersText(count), text);
}

void TstContactItemDelegate::phoneTypeIcons_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("path");
    QTest::newRow("home") << 0 << ":gfx/contactlist/phone-type-home-small.png";
    QTest::newRow("work") << 1 << ":gfx/contactlist/phone-type-work-small.png";
    QTest::newRow("mobile") << 2 << ":gfx/contactlist/phone-type-mobile-small.png";
    QTest::newRow("no phone") << -1 << "";
    QTest::newRow("unknown") << 3 << "";
}

void TstContactItemDelegate::phoneTypeIcons()
{
    QFETCH(int, type);
    QFETCH(QString, path);
    QCOMPARE(phoneTypeIconPath(type), path);
    if (!path.isEmpty())
        QVERIFY2(!QPixmap(path).isNull(), qPrintable(path));
}

void TstContactItemDelegate::contactWithThreeNumbers()
{
    const QModelIndex ann = model->index(0, 0, model->index(0, 0));
    PaintRecorder *painted = paintRow(ann, true);
    QCOMPARE(painted->textList(), (QStringList { "Ann Lee", "+100", "+ 2 more" }));
    QCOMPARE(painted->pixmaps.size(), 1);
    // The icon follows the number, and the count comes 10 pixels after the icon.
    const QRectF icon = painted->pixmaps.first();
    QVERIFY(icon.left() > painted->texts.at(1).position.x());
    QVERIFY(painted->texts.at(2).position.x() >= icon.right() + 10);
    // The name is on the upper line, the number and the count on the lower one.
    QVERIFY(painted->texts.at(0).position.y() < painted->texts.at(1).position.y());
    QCOMPARE(painted->texts.at(2).position.y(), painted->texts.at(1).position.y());
}

void TstContactItemDelegate::contactWithoutPhone()
{
    const QModelIndex bob = model->index(1, 0, model->index(0, 0));
    PaintRecorder *painted = paintRow(bob, true);
    QCOMPARE(painted->textList(), QStringList { "Bob Ray" });
    QVERIFY(painted->pixmaps.isEmpty());
}

void TstContactItemDelegate::emptyGroupShowsTheZeroCount()
{
    PaintRecorder *painted = paintRow(model->index(1, 0), true);
    QCOMPARE(painted->textList(), (QStringList { "Golf", "(0 contacts)" }));
    painted = paintRow(model->index(2, 0), true);
    QCOMPARE(painted->textList(), (QStringList { "Work", "(2 contacts)" }));
}

void TstContactItemDelegate::suppressedPaintingDrawsNothing()
{
    ContactItemDelegate delegate(true);
    delegate.setSuppressPainting(true);
    QVERIFY(delegate.suppressPainting());
    QStyleOptionViewItem option;
    option.rect = QRect(22, 0, 300, 30);
    option.state = QStyle::State_Selected;
    PaintRecorder painted(QSize(400, 40));
    QPainter painter(&painted);
    delegate.paint(&painter, option, model->index(0, 0, model->index(0, 0)));
    painter.end();
    QVERIFY(painted.texts.isEmpty());
    QVERIFY(painted.pixmaps.isEmpty());
}

void TstContactItemDelegate::renderedTreeView()
{
    ContactsTreeView view;
    view.setModel(model.get());
    view.resize(300, 400);
    view.expandAll();
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));

    const QModelIndex ann = model->index(0, 0, model->index(0, 0));
    QCOMPARE(view.visualRect(model->index(0, 0)).height(), 30);
    QCOMPARE(view.visualRect(ann).height(), 30);
    QCOMPARE(view.visualRect(model->index(1, 0, model->index(2, 0))).top(), 6 * 30);

    PaintRecorder painted(view.viewport()->size());
    view.viewport()->render(&painted);
    const QStringList texts = painted.textList();
    QVERIFY2(texts.contains(QStringLiteral("+ 2 more")), qPrintable(texts.join(QLatin1Char('|'))));
    QCOMPARE(texts.count(QStringLiteral("+ 2 more")), 1);
    QVERIFY(texts.contains(QStringLiteral("(0 contacts)")));
    QVERIFY(!view.contactDelegate()->suppressPainting());
}

void TstContactItemDelegate::selectedRowIsHighlightedFromTheViewsEdge()
{
    // The program's style sheet, which leaves the view's own row backgrounds to the delegate.
    QString styleSheet;
    for (const char *name : { ":/css/common-stylesheet.css", ":/css/stylesheet.css" }) {
        QFile file { QString::fromLatin1(name) };
        QVERIFY(file.open(QIODevice::ReadOnly));
        styleSheet += QString::fromUtf8(file.readAll());
    }
    ContactsTreeView view;
    view.setObjectName(QStringLiteral("contactsTreeView"));
    view.setStyleSheet(styleSheet);
    view.setModel(model.get());
    view.resize(300, 400);
    view.expandAll();
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    const QModelIndex ann = model->index(0, 0, model->index(0, 0));
    view.selectionModel()->select(ann, QItemSelectionModel::ClearAndSelect);

    const QImage image = view.viewport()->grab().toImage();
    const QRect row = view.visualRect(ann);
    const QColor fill(QStringLiteral("#dff8ff"));
    // Inside the highlight, left of the contact's own cell (over the indentation) and in its middle.
    QCOMPARE(image.pixelColor(3, row.center().y()), fill);
    QCOMPARE(image.pixelColor(row.right() - 3, row.top() + 3), fill);
    // An unselected row that the mouse is not over has no background.
    const QRect bob = view.visualRect(model->index(1, 0, model->index(0, 0)));
    QVERIFY(image.pixelColor(3, bob.center().y()) != fill);

    // A selected group row: the highlight starts at the view's edge and the branch arrow is drawn over it.
    const QModelIndex family = model->index(0, 0);
    view.selectionModel()->select(family, QItemSelectionModel::ClearAndSelect);
    const QImage groupImage = view.viewport()->grab().toImage();
    const int y = view.visualRect(family).center().y();
    QCOMPARE(groupImage.pixelColor(1, view.visualRect(family).top() + 4), fill);
    int arrowPixels = 0;
    for (int x = 0; x < view.indentation(); ++x) {
        if (groupImage.pixelColor(x, y).lightness() < 128)
            ++arrowPixels;
    }
    QVERIFY(arrowPixels > 0);
}

QTEST_MAIN(TstContactItemDelegate)
#include "tst_contactitemdelegate.moc"
