#include <QAction>
#include <QListView>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTest>

#include "contactmanager.h"
#include "history/callhistorymodel.h"
#include "rest/contact.h"
#include "rest/phonenumber.h"
#include "ui/callhistoryeventitemdelegate.h"
#include "ui/callhistorypage.h"

class TestCallHistoryPage : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void shortName_data();
    void shortName();
    void durationText_data();
    void durationText();
    void dateText();
    void iconPath_data();
    void iconPath();
    void nameFromContactOrStoredOrUnknown();
    void rowsAre53PixelsHigh();

    void newestFirst();
    void filtersByDayAndWeek();
    void filterButtonsSwitchTheFilter();
    void refreshKeepsTheFilter();
    void doubleClickCallsBack();
    void enterCallsTheSelectedRowBack();
    void contextMenuCallsBackOrSendsSms();
    void nothingSelectedDoesNothing();
    void paintsEveryKind();

private:
    CallHistoryEvent event(int type, const QString &number, qint64 secondsAgo, QTime duration = QTime());
    QListView *view() const { return page->findChild<QListView *>(QStringLiteral("historyListView")); }
    QStringList shownNumbers() const;
    void select(int row);

    QDateTime now;
    std::unique_ptr<CallHistoryModel> model;
    std::unique_ptr<CallHistoryPage> page;
};

void TestCallHistoryPage::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
}

CallHistoryEvent TestCallHistoryPage::event(int type, const QString &number, qint64 secondsAgo, QTime duration)
{
    CallHistoryEvent e;
    e.type = type;
    e.number = number;
    e.timestamp = now.addSecs(-secondsAgo);
    e.duration = duration;
    e.isTypeOne = type == CallHistoryEvent::OutgoingCall;
    return e;
}

void TestCallHistoryPage::init()
{
    now = QDateTime::currentDateTime();
    model = std::make_unique<CallHistoryModel>(QList<CallHistoryEvent>({
        event(CallHistoryEvent::OutgoingCall, QStringLiteral("+15550100"), 2 * 3600, QTime(0, 1, 5)),
        event(CallHistoryEvent::IncomingCall, QStringLiteral("+15550101"), 25 * 3600),
        event(CallHistoryEvent::MissedCall, QStringLiteral("+15550102"), 3 * 24 * 3600),
        event(CallHistoryEvent::Sms, QStringLiteral("+15550103"), 10 * 24 * 3600),
        event(CallHistoryEvent::OutgoingCall, QStringLiteral("+15550104"), 60),
    }));
    page = std::make_unique<CallHistoryPage>();
    page->setCallHistoryModel(model.get());
    page->resize(300, 420);
    page->show();
    QVERIFY(QTest::qWaitForWindowExposed(page.get()));
}

void TestCallHistoryPage::cleanup()
{
    page.reset();
    model.reset();
}

QStringList TestCallHistoryPage::shownNumbers() const
{
    QStringList numbers;
    QAbstractItemModel *shown = view()->model();
    for (int row = 0; row < shown->rowCount(); ++row)
        numbers.append(shown->index(row, 0).data(CallHistoryModel::NumberRole).toString());
    return numbers;
}

void TestCallHistoryPage::select(int row)
{
    view()->setCurrentIndex(view()->model()->index(row, 0));
}

void TestCallHistoryPage::shortName_data()
{
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("last");
    QTest::addColumn<QString>("name");
    QTest::newRow("both empty") << "" << "" << "";
    QTest::newRow("short") << "Ann" << "Lee" << "Ann Lee";
    QTest::newRow("exactly 17 together") << "Annabelle" << "Kowalski" << "Annabelle Kowalski";
    QTest::newRow("10 and 8 is too long") << "Maximilian" << "Schuster" << "Maximilian";
    QTest::newRow("first of 20 is cut") << "Bartholomew-Maximus" + QString("X") << "Smith"
                                         << "Bartholomew-Maxim...";
    QTest::newRow("first of 17 stays") << "Abcdefghijklmnopq" << "Lee" << "Abcdefghijklmnopq";
    QTest::newRow("only a long last name") << "" << "Wolfeschlegelsteinhausen" << "Wolfeschlegelstei...";
    QTest::newRow("only a short last name") << "" << "Lee" << "Lee";
    QTest::newRow("only a first name") << "Ann" << "" << "Ann";
}

void TestCallHistoryPage::shortName()
{
    QFETCH(QString, first);
    QFETCH(QString, last);
    QFETCH(QString, name);
    QCOMPARE(CallHistoryEventItemDelegate::shortName(first, last), name);
}

void TestCallHistoryPage::durationText_data()
{
    QTest::addColumn<QTime>("duration");
    QTest::addColumn<QString>("text");
    QTest::newRow("seconds") << QTime(0, 0, 7) << "00:07";
    QTest::newRow("minutes") << QTime(0, 12, 5) << "12:05";
    QTest::newRow("hours") << QTime(1, 2, 3) << "1:02:03";
    QTest::newRow("zero") << QTime(0, 0, 0) << "00:00";
    // A call that never connected has no duration to show.
    QTest::newRow("null") << QTime() << "";
}

void TestCallHistoryPage::durationText()
{
    QFETCH(QTime, duration);
    QFETCH(QString, text);
    QCOMPARE(CallHistoryEventItemDelegate::durationText(duration), text);
}

void TestCallHistoryPage::dateText()
{
    const QDateTime when(QDate(2024, 3, 7), QTime(14, 5));
    QCOMPARE(CallHistoryEventItemDelegate::dateText(when),
        when.toString(QStringLiteral("MMM")) + QStringLiteral(" 7, 2024, 14:05"));
}

void TestCallHistoryPage::iconPath_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("path");
    QTest::newRow("incoming") << 0 << ":/gfx/history/incomming.png";
    QTest::newRow("outgoing") << 1 << ":/gfx/history/outgoing.png";
    QTest::newRow("missed") << 2 << ":/gfx/history/missed.png";
    QTest::newRow("sms") << 3 << ":/gfx/history/sms.png";
    QTest::newRow("unknown") << 4 << "";
    QTest::newRow("negative") << -1 << "";
}

void TestCallHistoryPage::iconPath()
{
    QFETCH(int, kind);
    QFETCH(QString, path);
    QCOMPARE(CallHistoryEventItemDelegate::iconPath(kind), path);
    if (!path.isEmpty())
        QVERIFY(!QPixmap(path).isNull());
}

void TestCallHistoryPage::nameFromContactOrStoredOrUnknown()
{
    ContactManager contacts;
    contacts.addOldGroup(QStringLiteral("Friends"));
    Contact contact;
    contact.setNick(QStringLiteral("max"));
    contact.setFirstName(QStringLiteral("Maximilian"));
    contact.setLastName(QStringLiteral("Schuster"));
    contact.setGroupName(QStringLiteral("Friends"));
    PhoneNumber phone;
    phone.setNumber(QStringLiteral("+1 555 0100"));
    contact.setPhones({ phone });
    QVERIFY(contacts.addOldContact(contact));

    QList<CallHistoryEvent> events = model->events();
    events[1].name = QStringLiteral("stored nick");
    model->setEvents(events);
    CallHistoryEventItemDelegate *delegate = page->itemDelegate();
    page->setContactManager(&contacts);

    QCOMPARE(delegate->nameFor(model->index(0)), QStringLiteral("Maximilian"));
    QCOMPARE(delegate->nameFor(model->index(1)), QStringLiteral("stored nick"));
    QCOMPARE(delegate->nameFor(model->index(2)), QStringLiteral("Unknown"));
    page->setContactManager(nullptr);
    QCOMPARE(delegate->nameFor(model->index(0)), QStringLiteral("Unknown"));
}

void TestCallHistoryPage::rowsAre53PixelsHigh()
{
    QCOMPARE(view()->visualRect(view()->model()->index(0, 0)).height(), 53);
}

void TestCallHistoryPage::newestFirst()
{
    QCOMPARE(page->callHistoryFilter(), int(HistoryFilterModel::AllTime));
    QCOMPARE(shownNumbers(),
        QStringList({ "+15550104", "+15550100", "+15550101", "+15550102", "+15550103" }));
}

void TestCallHistoryPage::filtersByDayAndWeek()
{
    page->setCallHistoryFilter(HistoryFilterModel::LastDay);
    QCOMPARE(shownNumbers(), QStringList({ "+15550104", "+15550100" }));
    page->setCallHistoryFilter(HistoryFilterModel::LastSevenDays);
    QCOMPARE(shownNumbers(), QStringList({ "+15550104", "+15550100", "+15550101", "+15550102" }));
    page->setCallHistoryFilter(HistoryFilterModel::AllTime);
    QCOMPARE(shownNumbers().size(), 5);
    // Out of range: keeps the filter it had.
    page->setCallHistoryFilter(7);
    QCOMPARE(page->callHistoryFilter(), int(HistoryFilterModel::AllTime));
}

void TestCallHistoryPage::filterButtonsSwitchTheFilter()
{
    auto *day = page->findChild<QPushButton *>(QStringLiteral("dayFilterButton"));
    auto *week = page->findChild<QPushButton *>(QStringLiteral("weekFilterButton"));
    auto *all = page->findChild<QPushButton *>(QStringLiteral("allFilterButton"));
    QVERIFY(all->isChecked());
    QTest::mouseClick(day, Qt::LeftButton);
    QCOMPARE(page->callHistoryFilter(), int(HistoryFilterModel::LastDay));
    QCOMPARE(shownNumbers().size(), 2);
    QTest::mouseClick(week, Qt::LeftButton);
    QCOMPARE(shownNumbers().size(), 4);
    QVERIFY(!day->isChecked());
    QTest::mouseClick(all, Qt::LeftButton);
    QCOMPARE(shownNumbers().size(), 5);

    // A filter set from outside shows on the buttons too.
    page->setCallHistoryFilter(HistoryFilterModel::LastSevenDays);
    QVERIFY(week->isChecked());
}

void TestCallHistoryPage::refreshKeepsTheFilter()
{
    page->setCallHistoryFilter(HistoryFilterModel::LastDay);
    QList<CallHistoryEvent> events = model->events();
    events.append(event(CallHistoryEvent::MissedCall, QStringLiteral("+15550105"), 5));
    model->setEvents(events);
    page->refresh();
    QCOMPARE(shownNumbers(), QStringList({ "+15550105", "+15550104", "+15550100" }));
}

void TestCallHistoryPage::doubleClickCallsBack()
{
    QSignalSpy call(page.get(), &CallHistoryPage::callContact);
    const QRect second = view()->visualRect(view()->model()->index(1, 0));
    QTest::mouseClick(view()->viewport(), Qt::LeftButton, {}, second.center());
    QTest::mouseDClick(view()->viewport(), Qt::LeftButton, {}, second.center());
    QCOMPARE(call.size(), 1);
    QCOMPARE(call.first().at(0).toString(), QStringLiteral("+15550100"));
    QCOMPARE(call.first().at(1).toString(), QStringLiteral("+15550100"));
}

void TestCallHistoryPage::enterCallsTheSelectedRowBack()
{
    QSignalSpy call(page.get(), &CallHistoryPage::callContact);
    view()->setFocus();
    select(2);
    QCOMPARE(page->selectedNumber(), QStringLiteral("+15550101"));
    QTest::keyClick(view(), Qt::Key_Return);
    QCOMPARE(call.size(), 1);
    QCOMPARE(call.first().at(1).toString(), QStringLiteral("+15550101"));
    page->callSelected();
    QCOMPARE(call.size(), 2);
}

void TestCallHistoryPage::contextMenuCallsBackOrSendsSms()
{
    QSignalSpy call(page.get(), &CallHistoryPage::callContact);
    QSignalSpy sms(page.get(), &CallHistoryPage::sendSMS);
    const QList<QAction *> actions = page->contextMenu()->actions();
    QCOMPARE(actions.size(), 2);
    QCOMPARE(actions.at(0)->text(), QStringLiteral("Call back"));
    QCOMPARE(actions.at(1)->text(), QStringLiteral("Send SMS"));

    select(3);
    actions.at(1)->trigger();
    QCOMPARE(sms.size(), 1);
    QCOMPARE(sms.first().at(0).toString(), QStringLiteral("Unknown"));
    QCOMPARE(sms.first().at(1).toString(), QStringLiteral("+15550102"));
    actions.at(0)->trigger();
    QCOMPARE(call.size(), 1);
    QCOMPARE(call.first().at(1).toString(), QStringLiteral("+15550102"));
}

void TestCallHistoryPage::nothingSelectedDoesNothing()
{
    QSignalSpy call(page.get(), &CallHistoryPage::callContact);
    QSignalSpy sms(page.get(), &CallHistoryPage::sendSMS);
    view()->clearSelection();
    view()->setCurrentIndex(QModelIndex());
    page->callSelected();
    page->sendSmsToSelected();
    QCOMPARE(call.size(), 0);
    QCOMPARE(sms.size(), 0);
}

void TestCallHistoryPage::paintsEveryKind()
{
    select(1);
    const QImage shot = page->grab().toImage();
    QVERIFY(!shot.isNull());
    // The selected row is filled.
    const QRect selected = view()->visualRect(view()->model()->index(1, 0));
    const QPoint inside = view()->viewport()->mapTo(page.get(), QPoint(selected.right() - 2, selected.center().y()));
    QCOMPARE(QColor(shot.pixel(inside)), QColor(0xE0, 0xF2, 0xF1));
}

QTEST_MAIN(TestCallHistoryPage)
#include "tst_callhistorypage.moc"
