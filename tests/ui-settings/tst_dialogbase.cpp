#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <QtTest>

#include "ui/dialogbase.h"

// The frameless dialog base: title, error line, resize borders, close and start size.
class TstDialogBase : public QObject
{
    Q_OBJECT
private slots:
    void titleGoesToWindowAndLabel();
    void errorShownOnlyWithText();
    void edges_data();
    void edges();
    void closeButtonRejects();
    void neverStartsSmallerThanItsContent();
};

void TstDialogBase::titleGoesToWindowAndLabel()
{
    DialogBase dialog;
    dialog.setTitle(QStringLiteral("Preferences"));
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Preferences"));
    QCOMPARE(dialog.findChild<QLabel *>(QStringLiteral("windowTitleLabel"))->text(),
        QStringLiteral("Preferences"));
    QVERIFY(dialog.windowFlags() & Qt::FramelessWindowHint);
    QVERIFY(dialog.testAttribute(Qt::WA_TranslucentBackground));
}

void TstDialogBase::errorShownOnlyWithText()
{
    DialogBase dialog;
    dialog.show();
    QVERIFY(!dialog.isErrorShown());
    dialog.setError(QStringLiteral("Something went wrong"));
    QVERIFY(dialog.isErrorShown());
    QCOMPARE(dialog.error(), QStringLiteral("Something went wrong"));
    dialog.setError(QString());
    QVERIFY(!dialog.isErrorShown());
}

void TstDialogBase::edges_data()
{
    QTest::addColumn<QPoint>("pos");
    QTest::addColumn<int>("edges");
    QTest::newRow("inside") << QPoint(200, 150) << 0;
    QTest::newRow("left") << QPoint(2, 150) << int(Qt::LeftEdge);
    QTest::newRow("right") << QPoint(398, 150) << int(Qt::RightEdge);
    QTest::newRow("top") << QPoint(200, 2) << int(Qt::TopEdge);
    QTest::newRow("bottom") << QPoint(200, 298) << int(Qt::BottomEdge);
    QTest::newRow("top left") << QPoint(1, 1) << int(Qt::TopEdge | Qt::LeftEdge);
    QTest::newRow("bottom right") << QPoint(399, 299) << int(Qt::BottomEdge | Qt::RightEdge);
}

void TstDialogBase::edges()
{
    QFETCH(QPoint, pos);
    QFETCH(int, edges);
    DialogBase dialog;
    dialog.resize(400, 300);
    QCOMPARE(int(dialog.edgesAt(pos)), edges);
}

void TstDialogBase::closeButtonRejects()
{
    DialogBase dialog;
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QTest::mouseClick(dialog.findChild<QPushButton *>(QStringLiteral("closeButton")), Qt::LeftButton);
    QVERIFY(!dialog.isVisible());
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
}

void TstDialogBase::neverStartsSmallerThanItsContent()
{
    DialogBase dialog;
    auto *layout = new QVBoxLayout(dialog.dialogContentWidget());
    auto *tall = new QWidget;
    tall->setMinimumSize(500, 600);
    layout->addWidget(tall);
    dialog.show();
    QVERIFY(dialog.width() >= 500);
    QVERIFY(dialog.height() >= 600);
}

QTEST_MAIN(TstDialogBase)
#include "tst_dialogbase.moc"
