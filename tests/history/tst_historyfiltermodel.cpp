#include <QtTest>

#include "history/callhistorymodel.h"
#include "history/historyfiltermodel.h"

namespace {

const QDateTime start(QDate(2024, 6, 10), QTime(12, 0, 0));

CallHistoryEvent agedEvent(const QString &number, qint64 ageSeconds)
{
    CallHistoryEvent e;
    e.type = CallHistoryEvent::OutgoingCall;
    e.number = number;
    e.timestamp = start.addSecs(-ageSeconds);
    return e;
}

} // namespace

class TstHistoryFilterModel : public QObject
{
    Q_OBJECT

private slots:
    void init();

    void filterByAge_data();
    void filterByAge();
    void sortsByTimestamp();
    void refreshesEveryMinute();
    void rowAgesOutAtNextRefresh();
    void rowAgesOutOnTimer();
    void changingModeAppliesAtOnce();

private:
    QDateTime now;
};

void TstHistoryFilterModel::init()
{
    now = start;
}

void TstHistoryFilterModel::filterByAge_data()
{
    QTest::addColumn<qint64>("age");
    QTest::addColumn<int>("mode");
    QTest::addColumn<bool>("shown");
    const qint64 hour = 3600;
    QTest::newRow("1 h, all") << hour << 0 << true;
    QTest::newRow("1 h, day") << hour << 1 << true;
    QTest::newRow("1 h, week") << hour << 2 << true;
    QTest::newRow("24 h exactly, day") << 24 * hour << 1 << true;
    QTest::newRow("24 h + 1 s, day") << 24 * hour + 1 << 1 << false;
    QTest::newRow("25 h, all") << 25 * hour << 0 << true;
    QTest::newRow("25 h, day") << 25 * hour << 1 << false;
    QTest::newRow("25 h, week") << 25 * hour << 2 << true;
    QTest::newRow("7 days exactly, week") << 7 * 24 * hour << 2 << true;
    QTest::newRow("7 days + 1 s, week") << 7 * 24 * hour + 1 << 2 << false;
    QTest::newRow("8 days, all") << 8 * 24 * hour << 0 << true;
    QTest::newRow("future, day") << -hour << 1 << true;
}

void TstHistoryFilterModel::filterByAge()
{
    QFETCH(qint64, age);
    QFETCH(int, mode);
    QFETCH(bool, shown);
    CallHistoryModel source({ agedEvent(QStringLiteral("1"), age) });
    HistoryFilterModel filter;
    filter.setClock([this] { return now; });
    filter.setSourceModel(&source);
    filter.setFilterMode(mode);
    QCOMPARE(filter.filterMode(), mode);
    QCOMPARE(filter.rowCount(), shown ? 1 : 0);
}

void TstHistoryFilterModel::sortsByTimestamp()
{
    CallHistoryModel source({ agedEvent(QStringLiteral("middle"), 200),
        agedEvent(QStringLiteral("newest"), 100), agedEvent(QStringLiteral("oldest"), 300) });
    HistoryFilterModel filter;
    filter.setSourceModel(&source);
    QCOMPARE(filter.sortRole(), 1032);
    filter.sort(0, Qt::DescendingOrder);
    QCOMPARE(filter.index(0, 0).data().toString(), QStringLiteral("newest"));
    QCOMPARE(filter.index(1, 0).data().toString(), QStringLiteral("middle"));
    QCOMPARE(filter.index(2, 0).data().toString(), QStringLiteral("oldest"));
}

void TstHistoryFilterModel::refreshesEveryMinute()
{
    HistoryFilterModel filter;
    QCOMPARE(filter.refreshInterval(), 60000);
}

void TstHistoryFilterModel::rowAgesOutAtNextRefresh()
{
    // 23 h 59 min old: shown in the day view until a minute later.
    CallHistoryModel source(
        { agedEvent(QStringLiteral("1"), 24 * 3600 - 60), agedEvent(QStringLiteral("2"), 60) });
    HistoryFilterModel filter;
    filter.setClock([this] { return now; });
    filter.setSourceModel(&source);
    filter.setFilterMode(HistoryFilterModel::LastDay);
    QCOMPARE(filter.rowCount(), 2);

    now = now.addSecs(61);
    filter.refresh();
    QCOMPARE(filter.rowCount(), 1);
    QCOMPARE(filter.index(0, 0).data().toString(), QStringLiteral("2"));
}

void TstHistoryFilterModel::rowAgesOutOnTimer()
{
    CallHistoryModel source({ agedEvent(QStringLiteral("1"), 24 * 3600 - 60) });
    HistoryFilterModel filter;
    filter.setClock([this] { return now; });
    filter.setSourceModel(&source);
    filter.setFilterMode(HistoryFilterModel::LastDay);
    QCOMPARE(filter.rowCount(), 1);
    // The same repeating timer, shortened so the test does not wait a minute.
    filter.setRefreshInterval(5);
    now = now.addSecs(61);
    QTRY_COMPARE_WITH_TIMEOUT(filter.rowCount(), 0, 30000);
}

void TstHistoryFilterModel::changingModeAppliesAtOnce()
{
    CallHistoryModel source(
        { agedEvent(QStringLiteral("1"), 25 * 3600), agedEvent(QStringLiteral("2"), 8 * 24 * 3600) });
    HistoryFilterModel filter;
    filter.setClock([this] { return now; });
    filter.setSourceModel(&source);
    QCOMPARE(filter.rowCount(), 2);
    filter.setFilterMode(HistoryFilterModel::LastSevenDays);
    QCOMPARE(filter.rowCount(), 1);
    filter.setFilterMode(HistoryFilterModel::LastDay);
    QCOMPARE(filter.rowCount(), 0);
    filter.setFilterMode(HistoryFilterModel::AllTime);
    QCOMPARE(filter.rowCount(), 2);
}

QTEST_GUILESS_MAIN(TstHistoryFilterModel)
#include "tst_historyfiltermodel.moc"
