#include <QSignalSpy>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QtTest>

#include "numbers/numberhistory.h"
#include "util/dbstore.h"

class TstNumberHistory : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void seventeenNumbersKeepNewestSixteen();
    void sameNumberTwiceKeepsOneRowWithLaterNick();
    void addNumberStoresTextTimestamp();
    void numberAddedSignal();
    void listIsCachedUntilChange();

private:
    QDateTime now;
    std::unique_ptr<QTemporaryDir> dir;
    std::unique_ptr<DbStore> store;
    std::unique_ptr<NumberHistory> numbers;
};

void TstNumberHistory::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
}

void TstNumberHistory::init()
{
    dir = std::make_unique<QTemporaryDir>();
    store = std::make_unique<DbStore>();
    store->setDataFolder(dir->path());
    store->loadDatabases();
    QVERIFY(store->isOpen());
    now = QDateTime(QDate(2024, 12, 31), QTime(23, 59, 50));
    numbers = std::make_unique<NumberHistory>();
    numbers->setClock([this] { return now; });
}

void TstNumberHistory::cleanup()
{
    numbers.reset();
    while (store->isOpen())
        store->closeDatabases();
    store.reset();
    dir.reset();
}

void TstNumberHistory::seventeenNumbersKeepNewestSixteen()
{
    // Crossing midnight and the new year on the way: the text timestamps still sort.
    for (int i = 1; i <= 17; ++i) {
        numbers->addNumber(QStringLiteral("+100%1").arg(i, 2, 10, QLatin1Char('0')));
        now = now.addSecs(1);
    }
    const QStringList recent = numbers->lastFewNumbers();
    QCOMPARE(recent.size(), 16);
    QCOMPARE(recent.first(), QStringLiteral("+10017"));
    QCOMPARE(recent.last(), QStringLiteral("+10002"));
    QVERIFY(!recent.contains(QStringLiteral("+10001")));
    const QList<NumberRecord> records = numbers->lastFewNumbersOrderedDescendingByTimestamp();
    for (int i = 1; i < records.size(); ++i)
        QVERIFY(records.at(i - 1).timestamp > records.at(i).timestamp);
}

void TstNumberHistory::sameNumberTwiceKeepsOneRowWithLaterNick()
{
    numbers->addNumber(QStringLiteral("+4930123"), QStringLiteral("Anna"));
    now = now.addSecs(30);
    numbers->addNumber(QStringLiteral("+4930999"), QStringLiteral("Bert"));
    now = now.addSecs(30);
    numbers->addNumber(QStringLiteral("+4930123"), QStringLiteral("Anna Work"));

    const QList<NumberRecord> records = numbers->lastFewNumbersOrderedDescendingByTimestamp();
    QCOMPARE(records.size(), 2);
    QCOMPARE(records.first().number, QStringLiteral("+4930123"));
    QCOMPARE(records.first().nick, QStringLiteral("Anna Work"));
    QCOMPARE(records.first().timestamp, now);
    QSqlQuery query(QStringLiteral("select count(*) from number_history where phone_number = '+4930123'"));
    QVERIFY(query.next());
    QCOMPARE(query.value(0).toInt(), 1);
}

void TstNumberHistory::addNumberStoresTextTimestamp()
{
    numbers->addNumber(QStringLiteral("777"));
    QSqlQuery query(QStringLiteral("select phone_number, contact_nick, timestamp from number_history"));
    QVERIFY(query.next());
    QCOMPARE(query.value(0).toString(), QStringLiteral("777"));
    QVERIFY(query.value(1).toString().isEmpty());
    QCOMPARE(query.value(2).toString(), QStringLiteral("2024-12-31 23:59:50"));
}

void TstNumberHistory::numberAddedSignal()
{
    QSignalSpy spy(numbers.get(), &NumberHistory::numberAdded);
    numbers->addNumber(QStringLiteral("123"), QStringLiteral("X"));
    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.first().first().toString(), QStringLiteral("123"));

    store->closeDatabases();
    numbers->addNumber(QStringLiteral("456"));
    QCOMPARE(spy.count(), 1);
}

void TstNumberHistory::listIsCachedUntilChange()
{
    numbers->addNumber(QStringLiteral("1"));
    QCOMPARE(numbers->lastFewNumbers().size(), 1);
    QSqlQuery query;
    QVERIFY(query.exec(QStringLiteral("insert into number_history values ('2', '', '2030-01-01 00:00:00')")));
    QCOMPARE(numbers->lastFewNumbers().size(), 1);
    now = now.addSecs(1);
    numbers->addNumber(QStringLiteral("3"));
    QCOMPARE(numbers->lastFewNumbers(),
        QStringList({ QStringLiteral("2"), QStringLiteral("3"), QStringLiteral("1") }));
}

QTEST_GUILESS_MAIN(TstNumberHistory)
#include "tst_numberhistory.moc"
