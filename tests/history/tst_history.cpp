#include <QSqlQuery>
#include <QTemporaryDir>
#include <QtTest>

#include "history/callhistory.h"
#include "history/contactnamelookup.h"
#include "history/history.h"
#include "history/loginhistory.h"
#include "numbers/numberhistory.h"
#include "util/dbstore.h"

namespace {

class EveryoneIsBob : public ContactNameLookup
{
public:
    QString nickForNumber(const QString &) const override { return QStringLiteral("Bob"); }
};

} // namespace

class TstHistory : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void storesAreCreatedOnceAndOwned();
    void lookupAndClockReachTheStores();
};

void TstHistory::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
}

void TstHistory::storesAreCreatedOnceAndOwned()
{
    History history;
    QVERIFY(history.findChildren<QObject *>().isEmpty());
    CallHistory *calls = history.callHistory();
    QCOMPARE(history.callHistory(), calls);
    QCOMPARE(calls->parent(), &history);
    QCOMPARE(history.loginHistory(), history.loginHistory());
    QCOMPARE(history.loginHistory()->parent(), &history);
    QCOMPARE(history.numberHistory(), history.numberHistory());
    QCOMPARE(history.numberHistory()->parent(), &history);
    QCOMPARE(history.findChildren<QObject *>().size(), 3);
}

void TstHistory::lookupAndClockReachTheStores()
{
    QTemporaryDir dir;
    DbStore store;
    store.setDataFolder(dir.path());
    store.loadDatabases();
    QVERIFY(store.isOpen());

    History history;
    EveryoneIsBob bob;
    const QDateTime fixed(QDate(2023, 2, 3), QTime(4, 5, 6));
    // Set before and after the stores exist.
    history.setClock([fixed] { return fixed; });
    history.callHistory()->addEvent(QStringLiteral("1"), QTime(0, 0, 1), CallHistoryEvent::OutgoingCall);
    history.setContactNameLookup(&bob);
    const QList<CallHistoryEvent> events = history.callHistory()->events();
    QCOMPARE(events.size(), 1);
    QCOMPARE(events.first().name, QStringLiteral("Bob"));
    QCOMPARE(events.first().timestamp, fixed);

    history.numberHistory()->addNumber(QStringLiteral("42"));
    QCOMPARE(history.numberHistory()->lastFewNumbersOrderedDescendingByTimestamp().first().timestamp, fixed);
    history.setContactNameLookup(nullptr);
    store.closeDatabases();
}

QTEST_GUILESS_MAIN(TstHistory)
#include "tst_history.moc"
