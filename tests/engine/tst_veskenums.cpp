#include <QtTest>

#include "vesk/interfaces.h"

// The numeric values cross the library boundary and are stored by the program: they must not move.
class tst_VeskEnums : public QObject
{
    Q_OBJECT
private slots:
    void hangupReasons_data()
    {
        QTest::addColumn<int>("value");
        QTest::addColumn<int>("expected");
        QTest::newRow("success") << int(vesk::HANGUP_SUCCESS) << 0;
        QTest::newRow("decline") << int(vesk::HANGUP_DECLINE) << 1;
        QTest::newRow("busy") << int(vesk::HANGUP_BUSY) << 2;
        QTest::newRow("not found") << int(vesk::HANGUP_NOT_FOUND) << 3;
        QTest::newRow("unreachable") << int(vesk::HANGUP_UNREACHABLE) << 4;
        QTest::newRow("timeout") << int(vesk::HANGUP_TIMEOUT) << 5;
        QTest::newRow("unknown") << int(vesk::HANGUP_UNKNOWN) << 9;
        QTest::newRow("connection failure") << int(vesk::VESK_TALK_ERROR_CONNECTION) << 4;
        QTest::newRow("rejected credentials") << int(vesk::VESK_TALK_ERROR_CREDENTIALS) << 6;
        QTest::newRow("connection missed") << int(vesk::VESK_DISCONNECT_MISSED) << 0;
        QTest::newRow("replaced") << int(vesk::VESK_DISCONNECT_REPLACED) << 1;
    }
    void hangupReasons()
    {
        QFETCH(int, value);
        QFETCH(int, expected);
        QCOMPARE(value, expected);
    }
};

QTEST_APPLESS_MAIN(tst_VeskEnums)
#include "tst_veskenums.moc"
