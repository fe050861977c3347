#include <QtTest>

#include <gst/gst.h>

#include <QTemporaryDir>

#include "audiodevices.h"
#include "jinglesdp.h"
#include "privatepulse.h"
#include "tonecheck.h"
#include "webrtccallmedia.h"

using engine::AudioDevices;
using engine::MediaOptions;
using engine::WebRtcCallMedia;

namespace {

// CI machines are busy; every wait is generous.
constexpr int kConnectWaitMs = 30000;

MediaOptions toneOptions(int freq)
{
    MediaOptions o;
    o.sourceOverride = QStringLiteral("audiotestsrc is-live=true wave=sine volume=0.5 freq=%1").arg(freq);
    o.sinkOverride = QStringLiteral("fakesink sync=true");
    o.voiceProcessing = false; // noise suppression would fight a steady test tone
    return o;
}

// Two calls wired to each other as the Jingle session would do it, without XMPP.
struct CallPair
{
    CallPair(const MediaOptions &a, const MediaOptions &b, AudioDevices *devA = nullptr,
        AudioDevices *devB = nullptr)
        : caller(a, devA), callee(b, devB)
    {
        QObject::connect(&caller, &engine::CallMedia::localContentReady, &callee,
            [this](const QXmppJingleIq::Content &offer) {
                offerSeen = offer;
                calleeAccepted = callee.setRemoteContent(offer);
                if (calleeAccepted)
                    callee.createAnswer();
            });
        QObject::connect(&callee, &engine::CallMedia::localContentReady, &caller,
            [this](const QXmppJingleIq::Content &answer) {
                answerSeen = answer;
                callerAccepted = caller.setRemoteContent(answer);
            });
        QObject::connect(
            &caller, &engine::CallMedia::localCandidate, &callee, &engine::CallMedia::addRemoteCandidate);
        QObject::connect(
            &callee, &engine::CallMedia::localCandidate, &caller, &engine::CallMedia::addRemoteCandidate);
        QObject::connect(&caller, &engine::CallMedia::failed, [this](const QString &r) { failures << r; });
        QObject::connect(&callee, &engine::CallMedia::failed, [this](const QString &r) { failures << r; });
    }

    bool connectBoth()
    {
        QSignalSpy a(&caller, &engine::CallMedia::connected);
        QSignalSpy b(&callee, &engine::CallMedia::connected);
        caller.createOffer();
        QElapsedTimer t;
        t.start();
        while ((a.isEmpty() || b.isEmpty()) && failures.isEmpty() && t.elapsed() < kConnectWaitMs)
            QTest::qWait(20);
        return a.size() == 1 && b.size() == 1;
    }

    WebRtcCallMedia caller;
    WebRtcCallMedia callee;
    QXmppJingleIq::Content offerSeen, answerSeen;
    bool calleeAccepted = false;
    bool callerAccepted = false;
    QStringList failures;
};

// Records what call plays out for a while and returns the samples.
QVector<double> recordPlayout(WebRtcCallMedia *call, const QString &path, int ms)
{
    if (!call->startRecordingPlayout(path))
        return {};
    QTest::qWait(ms);
    call->stopRecordingPlayout();
    return tonecheck::readWav(path);
}

double peakOfMonitor(const char *device, int ms)
{
    const QString desc = QStringLiteral("pulsesrc device=%1 ! level interval=100000000 ! fakesink sync=false")
                             .arg(QLatin1String(device));
    GstElement *p = gst_parse_launch(desc.toUtf8().constData(), nullptr);
    if (!p)
        return -1;
    GstBus *bus = gst_element_get_bus(p);
    gst_element_set_state(p, GST_STATE_PLAYING);
    double best = 0;
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms) {
        GstMessage *m = gst_bus_timed_pop_filtered(bus, 100 * GST_MSECOND, GST_MESSAGE_ELEMENT);
        if (!m)
            continue;
        const GstStructure *s = gst_message_get_structure(m);
        if (gst_structure_has_name(s, "level")) {
            G_GNUC_BEGIN_IGNORE_DEPRECATIONS
            auto *arr = static_cast<GValueArray *>(g_value_get_boxed(gst_structure_get_value(s, "peak")));
            const double db = g_value_get_double(g_value_array_get_nth(arr, 0));
            G_GNUC_END_IGNORE_DEPRECATIONS
            best = qMax(best, std::pow(10.0, db / 20.0));
        }
        gst_message_unref(m);
    }
    gst_element_set_state(p, GST_STATE_NULL);
    gst_object_unref(bus);
    gst_object_unref(p);
    return best;
}

} // namespace

class TestWebRtcCallMedia : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void toneCrossesBothWays();
    void statsAfterConnecting();
    void dtmfArrivesInOrder();
    void pcmuOnlyOffer();
    void offerWithoutFingerprintIsRefused();
    void answerWithoutFingerprintIsRefused();
    void offerWithoutCommonCodecIsRefused();
    void answerBeforeOfferIsRefused();
    void destroyedWhileConnecting();
    void realDevicesAndDeviceLoss();

private:
    QTemporaryDir m_dir;
    PrivatePulse m_pulse;
    bool m_pulseUp = false;
};

void TestWebRtcCallMedia::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
    QVERIFY(m_dir.isValid());
    m_pulseUp = m_pulse.start();
    gst_init(nullptr, nullptr);
}

void TestWebRtcCallMedia::cleanupTestCase()
{
    m_pulse.stop();
}

void TestWebRtcCallMedia::toneCrossesBothWays()
{
    CallPair pair(toneOptions(1000), toneOptions(440));
    QVERIFY2(pair.connectBoth(), qPrintable(pair.failures.join("; ")));
    QVERIFY(pair.calleeAccepted);
    QVERIFY(pair.callerAccepted);
    QCOMPARE(pair.caller.codec(), QStringLiteral("opus/48000"));
    QCOMPARE(pair.callee.codec(), QStringLiteral("opus/48000"));
    QCOMPARE(pair.offerSeen.transportFingerprintSetup(), QStringLiteral("actpass"));
    QCOMPARE(pair.answerSeen.transportFingerprintSetup(), QStringLiteral("active"));
    QVERIFY(!pair.offerSeen.transportCandidates().isEmpty());

    QTest::qWait(500); // let the jitter buffers fill
    const auto heardByCallee = recordPlayout(&pair.callee, m_dir.filePath("callee.wav"), 2000);
    const auto heardByCaller = recordPlayout(&pair.caller, m_dir.filePath("caller.wav"), 2000);
    QVERIFY2(heardByCallee.size() > 48000, "the callee played out less than a second");
    QVERIFY2(heardByCaller.size() > 48000, "the caller played out less than a second");
    double share = 0;
    const double f1 = tonecheck::dominantFrequency(heardByCallee, 48000, 200, 3000, 2, &share);
    QVERIFY2(qAbs(f1 - 1000) <= 20, qPrintable(QString("callee heard %1 Hz").arg(f1)));
    QVERIFY2(share > 0.5, qPrintable(QString("tone is only %1 of the signal").arg(share)));
    const double f2 = tonecheck::dominantFrequency(heardByCaller, 48000, 200, 3000, 2);
    QVERIFY2(qAbs(f2 - 440) <= 8.8, qPrintable(QString("caller heard %1 Hz").arg(f2)));
    QVERIFY(pair.failures.isEmpty());
}

void TestWebRtcCallMedia::statsAfterConnecting()
{
    CallPair pair(toneOptions(1000), toneOptions(500));
    QVERIFY(pair.connectBoth());
    QTRY_VERIFY_WITH_TIMEOUT(pair.callee.stats().packetsReceived > 20, 15000);
    QTRY_VERIFY_WITH_TIMEOUT(pair.caller.stats().packetsSent > 20, 15000);
    const auto st = pair.callee.stats();
    QCOMPARE(st.codec, QStringLiteral("OPUS/48000"));
    QVERIFY(st.bytesReceived > st.packetsReceived);
    QVERIFY(!st.localAddress.isEmpty());
    QVERIFY(!st.remoteAddress.isEmpty());
}

void TestWebRtcCallMedia::dtmfArrivesInOrder()
{
    CallPair pair(toneOptions(1000), toneOptions(440));
    QVERIFY(pair.connectBoth());
    QList<int> atCallee, atCaller;
    connect(&pair.callee, &engine::CallMedia::dtmfReceived, this, [&](int e) { atCallee << e; });
    connect(&pair.caller, &engine::CallMedia::dtmfReceived, this, [&](int e) { atCaller << e; });
    const QList<int> digits { 1, 2, 3, 11, 0, 10 };
    for (int d : digits)
        pair.caller.sendDtmf(d);
    pair.callee.sendDtmf(9);
    pair.caller.sendDtmf(16); // out of range: ignored
    pair.caller.sendDtmf(-1);
    QTRY_COMPARE_WITH_TIMEOUT(atCallee, digits, 20000);
    QTRY_COMPARE_WITH_TIMEOUT(atCaller, QList<int> { 9 }, 10000);
}

void TestWebRtcCallMedia::pcmuOnlyOffer()
{
    MediaOptions a = toneOptions(1000);
    a.offerPcmuOnly = true;
    CallPair pair(a, toneOptions(440));
    QVERIFY2(pair.connectBoth(), qPrintable(pair.failures.join("; ")));
    const auto offered = pair.offerSeen.payloadTypes();
    for (const auto &p : offered)
        QVERIFY(p.name().compare("opus", Qt::CaseInsensitive) != 0);
    QCOMPARE(pair.callee.codec(), QStringLiteral("pcmu/8000"));
    QCOMPARE(pair.caller.codec(), QStringLiteral("pcmu/8000"));
    QTest::qWait(500);
    const auto heard = recordPlayout(&pair.callee, m_dir.filePath("pcmu.wav"), 2000);
    QVERIFY(heard.size() > 48000);
    const double f = tonecheck::dominantFrequency(heard, 48000, 200, 3000, 2);
    QVERIFY2(qAbs(f - 1000) <= 20, qPrintable(QString("heard %1 Hz").arg(f)));
    QList<int> got;
    connect(&pair.callee, &engine::CallMedia::dtmfReceived, this, [&](int e) { got << e; });
    pair.caller.sendDtmf(5);
    pair.caller.sendDtmf(11);
    QTRY_COMPARE_WITH_TIMEOUT(got, (QList<int> { 5, 11 }), 15000);
}

void TestWebRtcCallMedia::offerWithoutFingerprintIsRefused()
{
    WebRtcCallMedia caller(toneOptions(1000));
    WebRtcCallMedia callee(toneOptions(440));
    QList<QXmppJingleIq::Content> ready;
    connect(&caller, &engine::CallMedia::localContentReady, this,
        [&](const QXmppJingleIq::Content &c) { ready << c; });
    caller.createOffer();
    QTRY_COMPARE_WITH_TIMEOUT(ready.size(), 1, kConnectWaitMs);
    auto offer = ready.first();
    QVERIFY(!offer.transportFingerprint().isEmpty());
    offer.setTransportFingerprint(QByteArray());
    offer.setTransportFingerprintHash(QString());
    QVERIFY(!callee.setRemoteContent(offer));
}

void TestWebRtcCallMedia::answerWithoutFingerprintIsRefused()
{
    WebRtcCallMedia caller(toneOptions(1000));
    WebRtcCallMedia callee(toneOptions(440));
    QList<QXmppJingleIq::Content> offerReady, answerReady;
    connect(&caller, &engine::CallMedia::localContentReady, this,
        [&](const QXmppJingleIq::Content &c) { offerReady << c; });
    connect(&callee, &engine::CallMedia::localContentReady, this,
        [&](const QXmppJingleIq::Content &c) { answerReady << c; });
    caller.createOffer();
    QTRY_COMPARE_WITH_TIMEOUT(offerReady.size(), 1, kConnectWaitMs);
    QVERIFY(callee.setRemoteContent(offerReady.first()));
    callee.createAnswer();
    QTRY_COMPARE_WITH_TIMEOUT(answerReady.size(), 1, kConnectWaitMs);
    auto answer = answerReady.first();
    answer.setTransportFingerprint(QByteArray());
    QVERIFY(!caller.setRemoteContent(answer));
}

void TestWebRtcCallMedia::offerWithoutCommonCodecIsRefused()
{
    WebRtcCallMedia callee(toneOptions(440));
    QXmppJingleIq::Content offer;
    offer.setName("audio");
    QXmppJinglePayloadType g722;
    g722.setId(9);
    g722.setName("G722");
    g722.setClockrate(8000);
    offer.addPayloadType(g722);
    offer.setTransportUser("u");
    offer.setTransportPassword("p");
    offer.setTransportFingerprint(QByteArray(32, '\x11'));
    offer.setTransportFingerprintHash("sha-256");
    offer.setTransportFingerprintSetup("actpass");
    QVERIFY(!callee.setRemoteContent(offer));
}

void TestWebRtcCallMedia::answerBeforeOfferIsRefused()
{
    WebRtcCallMedia callee(toneOptions(440));
    QSignalSpy failed(&callee, &engine::CallMedia::failed);
    callee.createAnswer();
    QCOMPARE(failed.size(), 1);
}

void TestWebRtcCallMedia::destroyedWhileConnecting()
{
    // Deleting a call while GStreamer still works for it must not touch the dead object.
    for (int i = 0; i < 3; ++i) {
        auto *pair = new CallPair(toneOptions(1000), toneOptions(440));
        pair->caller.createOffer();
        QTest::qWait(i * 60);
        delete pair;
    }
    QTest::qWait(200);
}

void TestWebRtcCallMedia::realDevicesAndDeviceLoss()
{
    QVERIFY2(m_pulseUp, "no private PulseAudio could be started (tools/audio/start-pulse.sh)");
    AudioDevices devices;
    QVERIFY(devices.start());
    QTRY_VERIFY_WITH_TIMEOUT(!devices.outputDevices().isEmpty(), 10000);

    // A tone played into micfeed is what the "mic" source hears.
    GstElement *feed = gst_parse_launch("audiotestsrc is-live=true freq=1000 volume=0.5 ! "
                                        "pulsesink device=micfeed",
        nullptr);
    QVERIFY(feed);
    gst_element_set_state(feed, GST_STATE_PLAYING);

    MediaOptions real; // pulsesrc/pulsesink, voice processing on
    MediaOptions silent = toneOptions(440);
    silent.sourceOverride = QStringLiteral("audiotestsrc is-live=true wave=silence");
    silent.sinkOverride.clear(); // the callee plays on the real speaker
    CallPair pair(real, silent, &devices, &devices);
    QVERIFY2(pair.connectBoth(), qPrintable(pair.failures.join("; ")));
    QTest::qWait(800);
    const auto heard = recordPlayout(&pair.callee, m_dir.filePath("real.wav"), 2000);
    QVERIFY(heard.size() > 48000);
    const double f = tonecheck::dominantFrequency(heard, 48000, 200, 3000, 2);
    QVERIFY2(qAbs(f - 1000) <= 20, qPrintable(QString("heard %1 Hz from the microphone").arg(f)));
    QVERIFY2(peakOfMonitor("spk.monitor", 1000) > 0.02, "nothing reached the speaker");

    // A second speaker appears, the call moves there, then it vanishes: back to the default.
    const QString module = m_pulse
                               .pactl({ "load-module", "module-null-sink", "sink_name=spk2", "rate=48000",
                                   "channels=1", "sink_properties=device.description=Second" })
                               .trimmed();
    QVERIFY(!module.isEmpty());
    QTRY_VERIFY_WITH_TIMEOUT(devices.setOutputDevice("spk2"), 10000);
    QTRY_VERIFY_WITH_TIMEOUT(peakOfMonitor("spk2.monitor", 500) > 0.02, 10000);
    QSignalSpy moved(&devices, &AudioDevices::outputDeviceChanged);
    m_pulse.pactl({ "unload-module", module });
    QTRY_COMPARE_WITH_TIMEOUT(moved.size(), 1, 10000);
    QCOMPARE(devices.outputDevice(), QString());
    QTRY_VERIFY_WITH_TIMEOUT(peakOfMonitor("spk.monitor", 500) > 0.02, 10000);
    QVERIFY2(pair.failures.isEmpty(), qPrintable(pair.failures.join("; ")));

    gst_element_set_state(feed, GST_STATE_NULL);
    gst_object_unref(feed);
}

QTEST_GUILESS_MAIN(TestWebRtcCallMedia)
#include "tst_webrtccallmedia.moc"
