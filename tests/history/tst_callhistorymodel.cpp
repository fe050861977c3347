#include <QSignalSpy>
#include <QtTest>

#include "history/callhistorymodel.h"

namespace {

CallHistoryEvent makeEvent(const QString &number, int type)
{
    CallHistoryEvent e;
    e.type = type;
    e.number = number;
    e.name = QStringLiteral("Nick ") + number;
    e.timestamp = QDateTime(QDate(2024, 1, 2), QTime(3, 4, 5));
    e.duration = QTime(0, 2, 3);
    e.isTypeOne = type == CallHistoryEvent::OutgoingCall;
    return e;
}

} // namespace

class TstCallHistoryModel : public QObject
{
    Q_OBJECT

private slots:
    void roles_data();
    void roles();
    void invalidIndexAndUnknownRole();
    void setEventsResets();
};

void TstCallHistoryModel::roles_data()
{
    QTest::addColumn<int>("role");
    QTest::addColumn<QVariant>("value");
    const CallHistoryEvent e = makeEvent(QStringLiteral("123"), CallHistoryEvent::OutgoingCall);
    QTest::newRow("display") << int(Qt::DisplayRole) << QVariant(e.number);
    QTest::newRow("33 number") << 33 << QVariant(e.number);
    QTest::newRow("34 name") << 34 << QVariant(e.name);
    QTest::newRow("35 isTypeOne") << 35 << QVariant(true);
    QTest::newRow("36 duration") << 36 << QVariant(e.duration);
    QTest::newRow("37 type") << 37 << QVariant(1);
    QTest::newRow("1032 timestamp") << 1032 << QVariant(e.timestamp);
    QTest::newRow("other") << int(Qt::ToolTipRole) << QVariant();
}

void TstCallHistoryModel::roles()
{
    QFETCH(int, role);
    QFETCH(QVariant, value);
    CallHistoryModel model({ makeEvent(QStringLiteral("123"), CallHistoryEvent::OutgoingCall) });
    QCOMPARE(model.rowCount(), 1);
    QCOMPARE(model.data(model.index(0, 0), role), value);
}

void TstCallHistoryModel::invalidIndexAndUnknownRole()
{
    CallHistoryModel model({ makeEvent(QStringLiteral("1"), 0) });
    QVERIFY(!model.data(model.index(1, 0), Qt::DisplayRole).isValid());
    QVERIFY(!model.data(QModelIndex(), Qt::DisplayRole).isValid());
    QCOMPARE(model.rowCount(model.index(0, 0)), 0);
}

void TstCallHistoryModel::setEventsResets()
{
    CallHistoryModel model;
    QCOMPARE(model.rowCount(), 0);
    QSignalSpy reset(&model, &QAbstractItemModel::modelReset);
    model.setEvents({ makeEvent(QStringLiteral("1"), 0), makeEvent(QStringLiteral("2"), 2) });
    QCOMPARE(reset.count(), 1);
    QCOMPARE(model.rowCount(), 2);
    QCOMPARE(model.data(model.index(1, 0), CallHistoryModel::NumberRole).toString(), QStringLiteral("2"));
    QCOMPARE(model.events().size(), 2);
}

QTEST_GUILESS_MAIN(TstCallHistoryModel)
#include "tst_callhistorymodel.moc"
