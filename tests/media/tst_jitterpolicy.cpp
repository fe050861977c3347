#include <QtTest>

#include <cmath>

#include "jitterpolicy.h"

using engine::JitterPolicy;

// One statistics period as the call media reports it.
struct Period
{
    double jitterMs;
    quint64 late;
};
Q_DECLARE_METATYPE(QVector<Period>)
Q_DECLARE_METATYPE(QVector<unsigned>)

class TestJitterPolicy : public QObject
{
    Q_OBJECT
private slots:
    void startsAtTheGivenDepth_data();
    void startsAtTheGivenDepth();
    void followsTheLink_data();
    void followsTheLink();
};

void TestJitterPolicy::startsAtTheGivenDepth_data()
{
    QTest::addColumn<unsigned>("start");
    QTest::addColumn<unsigned>("max");
    QTest::addColumn<unsigned>("expected");
    QTest::newRow("below the maximum") << 20u << 200u << 20u;
    QTest::newRow("at the maximum") << 200u << 200u << 200u;
    QTest::newRow("above the maximum is cut to it") << 300u << 200u << 200u;
}

void TestJitterPolicy::startsAtTheGivenDepth()
{
    QFETCH(unsigned, start);
    QFETCH(unsigned, max);
    QFETCH(unsigned, expected);
    const JitterPolicy policy(start, max);
    QCOMPARE(policy.latencyMs(), expected);
    QCOMPARE(policy.maxMs(), max);
}

void TestJitterPolicy::followsTheLink_data()
{
    QTest::addColumn<QVector<Period>>("periods");
    QTest::addColumn<QVector<unsigned>>("depths");
    const double nan = std::nan("");
    // Starting at 20 ms, at most 200 ms; room is 4 times the jitter in whole 10 ms.
    QTest::newRow("a quiet link keeps the shallow buffer")
        << QVector<Period> { { 0.2, 0 }, { 1.7, 0 }, { 5.0, 0 } } << QVector<unsigned> { 20, 20, 20 };
    QTest::newRow("jitter just past the depth rounds up")
        << QVector<Period> { { 5.01, 0 } } << QVector<unsigned> { 30 };
    QTest::newRow("more jitter, more room")
        << QVector<Period> { { 10, 0 }, { 12.5, 0 }, { 12.6, 0 } } << QVector<unsigned> { 40, 50, 60 };
    QTest::newRow("late packets add a step each period")
        << QVector<Period> { { 0.5, 1 }, { 0.5, 0 }, { 0.5, 7 } } << QVector<unsigned> { 40, 40, 60 };
    QTest::newRow("late packets on top of what the jitter asks")
        << QVector<Period> { { 10, 0 }, { 10, 3 } } << QVector<unsigned> { 40, 60 };
    QTest::newRow("the jitter wins when it asks for more than a step")
        << QVector<Period> { { 20, 2 } } << QVector<unsigned> { 80 };
    QTest::newRow("never shrinks once the link calms down")
        << QVector<Period> { { 15, 0 }, { 0.1, 0 }, { 0, 0 } } << QVector<unsigned> { 60, 60, 60 };
    QTest::newRow("stops at the maximum")
        << QVector<Period> { { 49.9, 0 }, { 50.1, 0 }, { 500, 9 } } << QVector<unsigned> { 200, 200, 200 };
    QTest::newRow("steps stop at the maximum")
        << QVector<Period> { { 45, 0 }, { 0, 1 }, { 0, 1 } } << QVector<unsigned> { 180, 200, 200 };
    QTest::newRow("no figure changes nothing")
        << QVector<Period> { { nan, 0 }, { -3, 0 }, { INFINITY, 0 } } << QVector<unsigned> { 20, 20, 20 };
}

void TestJitterPolicy::followsTheLink()
{
    QFETCH(QVector<Period>, periods);
    QFETCH(QVector<unsigned>, depths);
    QCOMPARE(periods.size(), depths.size());
    JitterPolicy policy(20, 200);
    for (int i = 0; i < periods.size(); ++i) {
        const unsigned depth = policy.update(periods[i].jitterMs, periods[i].late);
        QCOMPARE(depth, depths[i]);
        QCOMPARE(policy.latencyMs(), depth);
    }
}

QTEST_GUILESS_MAIN(TestJitterPolicy)
#include "tst_jitterpolicy.moc"
