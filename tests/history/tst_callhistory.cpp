#include <QSignalSpy>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QtTest>

#include "history/callhistory.h"
#include "history/contactnamelookup.h"
#include "util/dbstore.h"

namespace {

class FixedNames : public ContactNameLookup
{
public:
    QString nickForNumber(const QString &number) const override
    {
        return number == QLatin1String("+441632960001") ? QStringLiteral("Anna") : QString();
    }
};

struct Row
{
    QString timestamp;
    QString number;
    QString type;
    QString duration;
};

QList<Row> rows()
{
    QList<Row> result;
    QSqlQuery query(QStringLiteral("select timestamp, phone_number, type, duration from call_history"));
    while (query.next())
        result.append({ query.value(0).toString(), query.value(1).toString(), query.value(2).toString(),
            query.value(3).toString() });
    return result;
}

} // namespace

class TstCallHistory : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void addEventStoresTextFormats();
    void sameSecondKeepsLaterEvent();
    void addEventRecordUsesNowNotItsTimestamp();
    void isTypeOne_data();
    void isTypeOne();
    void namesComeFromLookup();
    void listIsCachedUntilChange();
    void clearHistory();
    void unparsableRowGivesNullValues();
    void failedInsertEmitsNothing();

private:
    QDateTime now;
    std::unique_ptr<QTemporaryDir> dir;
    std::unique_ptr<DbStore> store;
    std::unique_ptr<CallHistory> history;
};

void TstCallHistory::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
}

void TstCallHistory::init()
{
    dir = std::make_unique<QTemporaryDir>();
    store = std::make_unique<DbStore>();
    store->setDataFolder(dir->path());
    store->loadDatabases();
    QVERIFY(store->isOpen());
    now = QDateTime(QDate(2024, 5, 6), QTime(7, 8, 9));
    history = std::make_unique<CallHistory>();
    history->setClock([this] { return now; });
}

void TstCallHistory::cleanup()
{
    history.reset();
    while (store->isOpen())
        store->closeDatabases();
    store.reset();
    dir.reset();
}

void TstCallHistory::addEventStoresTextFormats()
{
    QSignalSpy spy(history.get(), &CallHistory::newEventOccurred);
    history->addEvent(QStringLiteral("+441632960001"), QTime(0, 1, 30), CallHistoryEvent::OutgoingCall);
    QCOMPARE(spy.count(), 1);

    const QList<Row> stored = rows();
    QCOMPARE(stored.size(), 1);
    QCOMPARE(stored.first().timestamp, QStringLiteral("2024-05-06 07:08:09"));
    QCOMPARE(stored.first().number, QStringLiteral("+441632960001"));
    QCOMPARE(stored.first().type, QStringLiteral("1"));
    QCOMPARE(stored.first().duration, QStringLiteral("00:01:30"));

    const QList<CallHistoryEvent> events = history->events();
    QCOMPARE(events.size(), 1);
    QCOMPARE(events.first().timestamp, now);
    QCOMPARE(events.first().number, QStringLiteral("+441632960001"));
    QCOMPARE(events.first().type, int(CallHistoryEvent::OutgoingCall));
    QCOMPARE(events.first().duration, QTime(0, 1, 30));
    QVERIFY(events.first().isTypeOne);
}

void TstCallHistory::sameSecondKeepsLaterEvent()
{
    history->addEvent(QStringLiteral("111"), QTime(0, 0, 5), CallHistoryEvent::OutgoingCall);
    history->addEvent(QStringLiteral("222"), QTime(0, 0, 7), CallHistoryEvent::IncomingCall);
    QList<CallHistoryEvent> events = history->events();
    QCOMPARE(events.size(), 1);
    QCOMPARE(events.first().number, QStringLiteral("222"));

    now = now.addSecs(1);
    history->addEvent(QStringLiteral("333"), QTime(0, 0, 1), CallHistoryEvent::MissedCall);
    QCOMPARE(history->events().size(), 2);
}

void TstCallHistory::addEventRecordUsesNowNotItsTimestamp()
{
    CallHistoryEvent event;
    event.type = CallHistoryEvent::Sms;
    event.number = QStringLiteral("555");
    event.timestamp = QDateTime(QDate(2001, 1, 1), QTime(1, 1, 1));
    event.duration = QTime(0, 0, 0);
    history->addEvent(event);
    const QList<CallHistoryEvent> events = history->events();
    QCOMPARE(events.size(), 1);
    QCOMPARE(events.first().timestamp, now);
    QCOMPARE(events.first().type, int(CallHistoryEvent::Sms));
}

void TstCallHistory::isTypeOne_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<bool>("typeOne");
    QTest::newRow("incoming") << 0 << false;
    QTest::newRow("outgoing") << 1 << true;
    QTest::newRow("missed") << 2 << false;
    QTest::newRow("sms") << 3 << false;
}

void TstCallHistory::isTypeOne()
{
    QFETCH(int, type);
    QFETCH(bool, typeOne);
    history->addEvent(QStringLiteral("123"), QTime(0, 0, 1), CallHistoryEvent::EventType(type));
    QCOMPARE(history->events().first().isTypeOne, typeOne);
    QCOMPARE(history->events().first().type, type);
}

void TstCallHistory::namesComeFromLookup()
{
    history->addEvent(QStringLiteral("+441632960001"), QTime(0, 0, 1), CallHistoryEvent::OutgoingCall);
    now = now.addSecs(1);
    history->addEvent(QStringLiteral("+441632960002"), QTime(0, 0, 1), CallHistoryEvent::OutgoingCall);
    for (const CallHistoryEvent &event : history->events())
        QVERIFY(event.name.isEmpty());

    FixedNames names;
    history->setContactNameLookup(&names);
    const QList<CallHistoryEvent> events = history->events();
    QCOMPARE(events.size(), 2);
    for (const CallHistoryEvent &event : events)
        QCOMPARE(event.name, event.number.endsWith(QLatin1Char('1')) ? QStringLiteral("Anna") : QString());
    history->setContactNameLookup(nullptr);
}

void TstCallHistory::listIsCachedUntilChange()
{
    history->addEvent(QStringLiteral("111"), QTime(0, 0, 1), CallHistoryEvent::OutgoingCall);
    QCOMPARE(history->events().size(), 1);
    QSqlQuery query;
    QVERIFY(query.exec(QStringLiteral("insert into call_history (timestamp, phone_number, type, duration) "
                                      "values ('2020-01-01 00:00:00', '999', '0', '00:00:01')")));
    QCOMPARE(history->events().size(), 1);
    history->markStale();
    QCOMPARE(history->events().size(), 2);
}

void TstCallHistory::clearHistory()
{
    history->addEvent(QStringLiteral("111"), QTime(0, 0, 1), CallHistoryEvent::OutgoingCall);
    QCOMPARE(history->events().size(), 1);
    QSignalSpy spy(history.get(), &CallHistory::newEventOccurred);
    history->clearHistory();
    QCOMPARE(spy.count(), 1);
    QVERIFY(history->events().isEmpty());
    QVERIFY(rows().isEmpty());
}

void TstCallHistory::unparsableRowGivesNullValues()
{
    QSqlQuery query;
    QVERIFY(query.exec(QStringLiteral("insert into call_history (timestamp, phone_number, type, duration) "
                                      "values ('yesterday', '999', '1', 'long')")));
    const QList<CallHistoryEvent> events = history->events();
    QCOMPARE(events.size(), 1);
    QVERIFY(events.first().timestamp.isNull());
    QVERIFY(events.first().duration.isNull());
    QCOMPARE(events.first().number, QStringLiteral("999"));
}

void TstCallHistory::failedInsertEmitsNothing()
{
    history->addEvent(QStringLiteral("111"), QTime(0, 0, 1), CallHistoryEvent::OutgoingCall);
    QCOMPARE(history->events().size(), 1);
    store->closeDatabases();
    QSignalSpy spy(history.get(), &CallHistory::newEventOccurred);
    history->addEvent(QStringLiteral("222"), QTime(0, 0, 1), CallHistoryEvent::OutgoingCall);
    QCOMPARE(spy.count(), 0);
    // The cache stays as it was.
    QCOMPARE(history->events().size(), 1);
}

QTEST_GUILESS_MAIN(TstCallHistory)
#include "tst_callhistory.moc"
