#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTest>

#include "ui/callforwardpage.h"

class TestCallForwardPage : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void showsTheSampleRow();
    void editOnlyTraces();
};

void TestCallForwardPage::showsTheSampleRow()
{
    CallForwardPage page;
    QCOMPARE(page.rowCount(), 1);
    QWidget *row = page.row(0);
    QVERIFY(row);
    QCOMPARE(row->findChild<QLabel *>(QStringLiteral("fromLabel"))->text(), QStringLiteral("Calls from..."));
    QCOMPARE(row->findChild<QLabel *>(QStringLiteral("fromNumberLabel"))->text(), QStringLiteral("40726 751"));
    QCOMPARE(row->findChild<QLabel *>(QStringLiteral("toLabel"))->text(), QStringLiteral("...forwarded to"));
    QCOMPARE(row->findChild<QLabel *>(QStringLiteral("toNumberLabel"))->text(), QStringLiteral("40726 751 700"));
    QVERIFY(!row->findChild<QLabel *>(QStringLiteral("flagLabel"))->pixmap(Qt::ReturnByValue).isNull());
    QVERIFY(!row->findChild<QLabel *>(QStringLiteral("arrowLabel"))->pixmap(Qt::ReturnByValue).isNull());
}

void TestCallForwardPage::editOnlyTraces()
{
    CallForwardPage page;
    auto *edit = page.findChild<QPushButton *>(QStringLiteral("editCallForwardingButton"));
    QCOMPARE(edit->text(), QStringLiteral("Edit Call Forwarding"));
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("NOTIMPL: CallForwardPage::onEditCallForwardingClicked"));
    edit->click();
    QCOMPARE(page.rowCount(), 1);
}

QTEST_MAIN(TestCallForwardPage)
#include "tst_callforwardpage.moc"
