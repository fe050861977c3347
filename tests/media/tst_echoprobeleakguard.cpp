#include <QtTest>

#include <gst/gst.h>

#include "echoprobeleakguard.h"
#include "gstrelay.h"

using engine::EchoProbeLeakGuard;

namespace {

// Live GstQuery objects as GStreamer's leak tracer counts them; -1 without the tracer.
int liveQueries()
{
    int count = -1;
    GList *tracers = gst_tracing_get_active_tracers();
    for (GList *l = tracers; l; l = l->next) {
        GstTracer *tracer = GST_TRACER(l->data);
        if (g_strcmp0(G_OBJECT_TYPE_NAME(tracer), "GstLeaksTracer") != 0)
            continue;
        GstStructure *live = nullptr;
        g_signal_emit_by_name(tracer, "get-live-objects", &live);
        count = 0;
        const GValue *list = live ? gst_structure_get_value(live, "live-objects-list") : nullptr;
        for (guint i = 0; list && i < gst_value_list_get_size(list); ++i) {
            const GstStructure *info = gst_value_get_structure(gst_value_list_get_value(list, i));
            if (gst_structure_has_field_typed(info, "object", GST_TYPE_QUERY))
                ++count;
        }
        if (live)
            gst_structure_free(live);
    }
    g_list_free_full(tracers, gst_object_unref);
    return count;
}

// A live tone through `element` into a clock-synced sink: the playout tail of a call, in small.
struct Tail
{
    explicit Tail(const char *element)
    {
        const QString desc = QStringLiteral("audiotestsrc is-live=true ! audio/x-raw,rate=48000,channels=1 ! "
                                            "%1 name=watched ! fakesink sync=true")
                                 .arg(QLatin1String(element));
        pipeline = gst_parse_launch(desc.toUtf8().constData(), nullptr);
        if (pipeline)
            watched = gst_bin_get_by_name(GST_BIN(pipeline), "watched");
    }
    ~Tail()
    {
        if (watched)
            gst_object_unref(watched);
        if (pipeline) {
            gst_element_set_state(pipeline, GST_STATE_NULL);
            gst_object_unref(pipeline);
        }
    }
    bool play()
    {
        if (gst_element_set_state(pipeline, GST_STATE_PLAYING) == GST_STATE_CHANGE_FAILURE)
            return false;
        return gst_element_get_state(pipeline, nullptr, nullptr, 10 * GST_SECOND) == GST_STATE_CHANGE_SUCCESS;
    }
    // What a call does whenever a latency changes.
    void recalculate(int times)
    {
        for (int i = 0; i < times; ++i)
            gst_bin_recalculate_latency(GST_BIN(pipeline));
    }
    void stop() { gst_element_set_state(pipeline, GST_STATE_NULL); }

    GstElement *pipeline = nullptr;
    GstElement *watched = nullptr;
};

} // namespace

class TestEchoProbeLeakGuard : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void theTracerSeesALeakedQuery();
    void noQueryOutlivesTheCall_data();
    void noQueryOutlivesTheCall();
    void anElementThatFreesItsQueriesLosesNothing();
};

void TestEchoProbeLeakGuard::initTestCase()
{
    // The tracer has to be chosen before GStreamer starts.
    qputenv("GST_TRACERS", "leaks(filters=GstQuery)");
    qputenv("GST_LEAKS_TRACER_STACK_TRACE", "0");
    QVERIFY(engine::ensureGstreamer());
    if (!engine::hasGstElement("webrtcechoprobe"))
        QSKIP("webrtcechoprobe (gst-plugins-bad webrtcdsp) is not installed");
    QVERIFY2(liveQueries() >= 0, "GStreamer's leak tracer (coretracers) is not available");
}

void TestEchoProbeLeakGuard::theTracerSeesALeakedQuery()
{
    const int before = liveQueries();
    GstQuery *kept = gst_query_new_latency();
    QCOMPARE(liveQueries(), before + 1);
    gst_query_unref(kept);
    QCOMPARE(liveQueries(), before);
}

void TestEchoProbeLeakGuard::noQueryOutlivesTheCall_data()
{
    QTest::addColumn<int>("changes");
    QTest::newRow("only the start") << 0;
    QTest::newRow("one latency change") << 1;
    QTest::newRow("a dozen latency changes") << 12;
}

void TestEchoProbeLeakGuard::noQueryOutlivesTheCall()
{
    QFETCH(int, changes);
    const int before = liveQueries();
    EchoProbeLeakGuard guard;
    {
        Tail tail("webrtcechoprobe");
        QVERIFY(tail.pipeline && tail.watched);
        guard.attach(tail.watched);
        QVERIFY(tail.play());
        tail.recalculate(changes);
        // Every latency change reached the probe, and the guard holds the query each one made.
        QVERIFY2(guard.held() >= changes, qPrintable(QString::number(guard.held())));
        tail.stop();
        guard.release();
        QCOMPARE(guard.held(), 0);
    }
    QCOMPARE(liveQueries(), before);
}

void TestEchoProbeLeakGuard::anElementThatFreesItsQueriesLosesNothing()
{
    // identity stands for a probe that frees its own queries: the guard may pick up someone
    // else's query after an event, and must then neither free it twice nor keep it.
    const int before = liveQueries();
    EchoProbeLeakGuard guard;
    {
        Tail tail("identity");
        QVERIFY(tail.pipeline && tail.watched);
        guard.attach(tail.watched);
        QVERIFY(tail.play());
        tail.recalculate(5);
        tail.stop();
        guard.release();
        QCOMPARE(guard.leaksFreed(), 0);
    }
    QCOMPARE(liveQueries(), before);
}

QTEST_GUILESS_MAIN(TestEchoProbeLeakGuard)
#include "tst_echoprobeleakguard.moc"
