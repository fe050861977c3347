#include <QtTest>

#include <gst/gst.h>

#include "gstrelay.h"
#include "rtpsessionstats.h"

using engine::MediaStats;

namespace {

// One SSRC as rtpsession reports it; only the fields the figures come from.
struct Source
{
    bool internal;
    quint64 packets;
    quint64 octets;
    int lost = 0;
    bool sender = true;
    guint jitter = 0; // clock units
    int clockRate = 48000;
    bool haveRb = false;
    guint roundTrip = 0; // 1/65536 s
};

GstStructure *sourceStats(const Source &src)
{
    GstStructure *s = gst_structure_new("application/x-rtp-source-stats", "internal", G_TYPE_BOOLEAN,
        gboolean(src.internal), "is-sender", G_TYPE_BOOLEAN, gboolean(src.sender), "clock-rate", G_TYPE_INT,
        src.clockRate, "have-rb", G_TYPE_BOOLEAN, gboolean(src.haveRb), "rb-round-trip", G_TYPE_UINT,
        src.roundTrip, nullptr);
    if (src.internal) {
        gst_structure_set(
            s, "packets-sent", G_TYPE_UINT64, src.packets, "octets-sent", G_TYPE_UINT64, src.octets, nullptr);
    } else {
        gst_structure_set(s, "packets-received", G_TYPE_UINT64, src.packets, "octets-received", G_TYPE_UINT64,
            src.octets, "packets-lost", G_TYPE_INT, src.lost, "jitter", G_TYPE_UINT, src.jitter, nullptr);
    }
    return s;
}

GstStructure *sessionStats(const QVector<Source> &sources)
{
    G_GNUC_BEGIN_IGNORE_DEPRECATIONS
    GValueArray *list = g_value_array_new(sources.size());
    for (const Source &src : sources) {
        GValue v = G_VALUE_INIT;
        g_value_init(&v, GST_TYPE_STRUCTURE);
        GstStructure *entry = sourceStats(src);
        gst_value_set_structure(&v, entry);
        gst_structure_free(entry);
        g_value_array_append(list, &v);
        g_value_unset(&v);
    }
    GValue arr = G_VALUE_INIT;
    g_value_init(&arr, g_value_array_get_type());
    g_value_take_boxed(&arr, list);
    G_GNUC_END_IGNORE_DEPRECATIONS
    GstStructure *s = gst_structure_new_empty("application/x-rtp-session-stats");
    gst_structure_take_value(s, "source-stats", &arr);
    return s;
}

} // namespace

Q_DECLARE_METATYPE(QVector<Source>)

class TestRtpSessionStats : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { QVERIFY(engine::ensureGstreamer()); }
    void noSessionGivesNoFigures();
    void figures_data();
    void figures();
};

void TestRtpSessionStats::noSessionGivesNoFigures()
{
    const MediaStats none = engine::statsFromRtpSession(nullptr);
    GstStructure *empty = gst_structure_new_empty("application/x-rtp-session-stats");
    const MediaStats nothing = engine::statsFromRtpSession(empty);
    gst_structure_free(empty);
    for (const MediaStats &st : { none, nothing }) {
        QCOMPARE(st.packetsSent, 0);
        QCOMPARE(st.packetsReceived, 0);
        QCOMPARE(st.roundTripTime, -1.0);
        QCOMPARE(st.jitter, -1.0);
    }
}

void TestRtpSessionStats::figures_data()
{
    QTest::addColumn<QVector<Source>>("sources");
    QTest::addColumn<qint64>("sent");
    QTest::addColumn<qint64>("bytesSent");
    QTest::addColumn<qint64>("received");
    QTest::addColumn<qint64>("bytesReceived");
    QTest::addColumn<qint64>("lost");
    QTest::addColumn<double>("jitter");
    QTest::addColumn<double>("roundTrip");

    Source ours { true, 250, 15000 };
    Source peer { false, 240, 14400, 3, true, 480 };
    QTest::newRow("before the peer sends") << QVector<Source> { ours } << qint64(250) << qint64(15000)
                                           << qint64(0) << qint64(0) << qint64(0) << -1.0 << -1.0;
    QTest::newRow("both ways, jitter in clock units")
        << QVector<Source> { ours, peer } << qint64(250) << qint64(15000) << qint64(240) << qint64(14400)
        << qint64(3) << 0.01 << -1.0;
    Source reported = peer;
    reported.haveRb = true;
    reported.roundTrip = 65536 / 8;
    QTest::newRow("round trip from the peer's report")
        << QVector<Source> { ours, reported } << qint64(250) << qint64(15000) << qint64(240) << qint64(14400)
        << qint64(3) << 0.01 << 0.125;
    Source stale = peer;
    stale.roundTrip = 65536;
    QTest::newRow("no report, no round trip") << QVector<Source> { stale } << qint64(0) << qint64(0)
                                              << qint64(240) << qint64(14400) << qint64(3) << 0.01 << -1.0;
    Source narrow = peer;
    narrow.clockRate = 8000;
    narrow.jitter = 40;
    QTest::newRow("jitter at 8 kHz") << QVector<Source> { narrow } << qint64(0) << qint64(0) << qint64(240)
                                     << qint64(14400) << qint64(3) << 0.005 << -1.0;
    Source listener = peer;
    listener.sender = false;
    listener.packets = 0;
    listener.octets = 0;
    listener.lost = 0;
    QTest::newRow("a peer that only reports has no jitter")
        << QVector<Source> { listener } << qint64(0) << qint64(0) << qint64(0) << qint64(0) << qint64(0)
        << -1.0 << -1.0;
    Source duplicated = peer;
    duplicated.lost = -2; // more arrived than expected: duplicates
    QTest::newRow("duplicates are no loss") << QVector<Source> { duplicated } << qint64(0) << qint64(0)
                                            << qint64(240) << qint64(14400) << qint64(0) << 0.01 << -1.0;
    Source second { false, 10, 600, 1, true, 960 };
    QTest::newRow("two peer sources add up, the worse jitter counts")
        << QVector<Source> { ours, peer, second } << qint64(250) << qint64(15000) << qint64(250)
        << qint64(15000) << qint64(4) << 0.02 << -1.0;
}

void TestRtpSessionStats::figures()
{
    QFETCH(QVector<Source>, sources);
    GstStructure *session = sessionStats(sources);
    const MediaStats st = engine::statsFromRtpSession(session);
    gst_structure_free(session);
    QTEST(st.packetsSent, "sent");
    QTEST(st.bytesSent, "bytesSent");
    QTEST(st.packetsReceived, "received");
    QTEST(st.bytesReceived, "bytesReceived");
    QTEST(st.packetsLost, "lost");
    QFETCH(double, jitter);
    QFETCH(double, roundTrip);
    QVERIFY2(qAbs(st.jitter - jitter) < 1e-9, qPrintable(QString::number(st.jitter)));
    QVERIFY2(qAbs(st.roundTripTime - roundTrip) < 1e-9, qPrintable(QString::number(st.roundTripTime)));
    QVERIFY(st.codec.isEmpty());
    QVERIFY(st.localAddress.isEmpty());
}

QTEST_GUILESS_MAIN(TestRtpSessionStats)
#include "tst_rtpsessionstats.moc"
