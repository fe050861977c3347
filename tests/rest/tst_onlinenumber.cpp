#include <ctime>

#include <QtTest>

#include "rest/onlinenumber.h"
#include "replytext.h"

namespace {

// POSIX zone strings need no time-zone database on the machine.
void useTimeZone(const QByteArray &zone)
{
    qputenv("TZ", zone);
    tzset();
}

} // namespace

class TestOnlineNumber : public QObject
{
    Q_OBJECT

private slots:
    void cleanup();
    void readDate_data();
    void readDate();
    void writeDate_data();
    void writeDate();
    void nullDateIsWrittenAsNull();
    void readsOtherMembers();
};

void TestOnlineNumber::cleanup()
{
    useTimeZone("UTC0");
}

void TestOnlineNumber::readDate_data()
{
    QTest::addColumn<QByteArray>("zone");
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<QDate>("date");

    QTest::newRow("missing date, UTC")
        << QByteArray("UTC0") << QByteArray("{\"number\":\"1\"}") << QDate(1970, 1, 1);
    QTest::newRow("missing date, west of UTC")
        << QByteArray("EST5") << QByteArray("{}") << QDate(1969, 12, 31);
    QTest::newRow("missing date, east of UTC")
        << QByteArray("JST-9") << QByteArray("{}") << QDate(1970, 1, 1);
    QTest::newRow("null date, west of UTC")
        << QByteArray("EST5") << QByteArray("{\"expirationDate\":null}") << QDate(1969, 12, 31);
    QTest::newRow("evening UTC, west")
        << QByteArray("EST5") << QByteArray("{\"expirationDate\":1700000000000}") << QDate(2023, 11, 14);
    QTest::newRow("evening UTC, east")
        << QByteArray("JST-9") << QByteArray("{\"expirationDate\":1700000000000}") << QDate(2023, 11, 15);
    QTest::newRow("before the epoch")
        << QByteArray("UTC0") << QByteArray("{\"expirationDate\":-86400000}") << QDate(1969, 12, 31);
    QTest::newRow("sent with a point")
        << QByteArray("UTC0") << QByteArray("{\"expirationDate\":1700000000000.0}") << QDate(2023, 11, 14);
}

void TestOnlineNumber::readDate()
{
    QFETCH(QByteArray, zone);
    QFETCH(QByteArray, reply);
    QFETCH(QDate, date);

    useTimeZone(zone);
    QCOMPARE(OnlineNumber(parseReply(reply)).expirationDate(), date);
}

void TestOnlineNumber::writeDate_data()
{
    QTest::addColumn<QByteArray>("zone");
    QTest::addColumn<QDate>("date");
    QTest::addColumn<qlonglong>("msecs");

    QTest::newRow("UTC") << QByteArray("UTC0") << QDate(2024, 3, 1) << qlonglong(1709251200000);
    QTest::newRow("west of UTC") << QByteArray("EST5") << QDate(2024, 3, 1) << qlonglong(1709269200000);
    QTest::newRow("east of UTC") << QByteArray("JST-9") << QDate(2024, 3, 1) << qlonglong(1709218800000);
    QTest::newRow("epoch") << QByteArray("UTC0") << QDate(1970, 1, 1) << qlonglong(0);
}

void TestOnlineNumber::writeDate()
{
    QFETCH(QByteArray, zone);
    QFETCH(QDate, date);
    QFETCH(qlonglong, msecs);

    useTimeZone(zone);
    OnlineNumber number;
    number.setExpirationDate(date);
    const QVariant written = number.toVariant().toMap().value(QStringLiteral("expirationDate"));
    QCOMPARE(written.userType(), int(QMetaType::LongLong));
    QCOMPARE(written.toLongLong(), msecs);
    // And it reads back as the same date.
    QCOMPARE(OnlineNumber(parseReply(jsonOf(number.toVariant()))).expirationDate(), date);
}

// A midnight-based count of a date that does not exist would be arbitrary; null says "no date".
void TestOnlineNumber::nullDateIsWrittenAsNull()
{
    const OnlineNumber number;
    QVERIFY(number.expirationDate().isNull());
    QVERIFY(jsonOf(number.toVariant()).contains("\"expirationDate\" : null"));
}

void TestOnlineNumber::readsOtherMembers()
{
    const OnlineNumber number(
        parseReply("{\"number\":4930123456,\"status\":\"ACTIVE\",\"errorMessage\":\"\"}"));
    QCOMPARE(number.className(), QStringLiteral("com.zorvanglobe.phone.integration.OnlineNumber"));
    QCOMPARE(number.number(), QStringLiteral("4930123456"));
    QCOMPARE(number.status(), QStringLiteral("ACTIVE"));
    QVERIFY(jsonOf(number.toVariant())
                .startsWith("{ \"class\" : \"com.zorvanglobe.phone.integration.OnlineNumber\", "));
}

QTEST_APPLESS_MAIN(TestOnlineNumber)
#include "tst_onlinenumber.moc"
