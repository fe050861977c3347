#include <QtTest>

#include <gst/gst.h>

#include "audiodevices.h"
#include "privatepulse.h"

using engine::AudioDevice;
using engine::AudioDevices;

Q_DECLARE_METATYPE(QList<AudioDevice>)

class TestAudioDevices : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void keepOrDefault_data();
    void keepOrDefault();
    void volumesAreClamped_data();
    void volumesAreClamped();
    void muteSignalsOnlyOnChange();
    void listsPulseDevicesWithoutMonitors();
    void backgroundStartListsTheDevices_data();
    void backgroundStartListsTheDevices();
    void unknownDeviceIsRefused();
    void localMonitorHearsTheMicrophone();
    void vanishedSpeakerFallsBackToDefault();

private:
    PrivatePulse m_pulse;
    bool m_pulseUp = false;
};

void TestAudioDevices::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
    m_pulseUp = m_pulse.start();
    gst_init(nullptr, nullptr);
}

void TestAudioDevices::cleanupTestCase()
{
    m_pulse.stop();
}

void TestAudioDevices::keepOrDefault_data()
{
    QTest::addColumn<QString>("selected");
    QTest::addColumn<QList<AudioDevice>>("devices");
    QTest::addColumn<QString>("kept");
    const QList<AudioDevice> two { { "spk", "Speaker" }, { "hdmi", "HDMI" } };
    QTest::newRow("still there") << "hdmi" << two << "hdmi";
    QTest::newRow("vanished") << "usb" << two << "";
    QTest::newRow("default stays default") << "" << two << "";
    QTest::newRow("empty list") << "spk" << QList<AudioDevice> {} << "";
    QTest::newRow("ids compare exactly") << "SPK" << two << "";
}

void TestAudioDevices::keepOrDefault()
{
    QFETCH(QString, selected);
    QFETCH(QList<AudioDevice>, devices);
    QFETCH(QString, kept);
    QCOMPARE(AudioDevices::keepOrDefault(selected, devices), kept);
}

void TestAudioDevices::volumesAreClamped_data()
{
    QTest::addColumn<int>("asked");
    QTest::addColumn<int>("kept");
    QTest::newRow("inside") << 40 << 40;
    QTest::newRow("zero") << 0 << 0;
    QTest::newRow("below") << -5 << 0;
    QTest::newRow("full") << 100 << 100;
    QTest::newRow("above") << 250 << 100;
}

void TestAudioDevices::volumesAreClamped()
{
    QFETCH(int, asked);
    QFETCH(int, kept);
    AudioDevices devices;
    devices.setInputVolume(asked);
    devices.setOutputVolume(asked);
    QCOMPARE(devices.inputVolume(), kept);
    QCOMPARE(devices.outputVolume(), kept);
}

void TestAudioDevices::muteSignalsOnlyOnChange()
{
    AudioDevices devices;
    QSignalSpy spy(&devices, &AudioDevices::inputMutedChanged);
    devices.setInputMuted(false);
    devices.setInputMuted(true);
    devices.setInputMuted(true);
    QCOMPARE(spy.size(), 1);
    QVERIFY(devices.isInputMuted());
    QCOMPARE(devices.inputLevel(), -1.0); // no monitor running
}

void TestAudioDevices::listsPulseDevicesWithoutMonitors()
{
    QVERIFY2(m_pulseUp, "no private PulseAudio could be started (tools/audio/start-pulse.sh)");
    AudioDevices devices;
    QVERIFY(devices.start());
    QStringList inputs, outputs;
    for (const auto &d : devices.inputDevices())
        inputs << d.id;
    for (const auto &d : devices.outputDevices())
        outputs << d.id;
    QVERIFY2(inputs.contains("mic"), qPrintable(inputs.join(',')));
    for (const QString &id : inputs)
        QVERIFY2(!id.endsWith(".monitor"), qPrintable(id));
    QVERIFY2(outputs.contains("spk"), qPrintable(outputs.join(',')));
    for (const auto &d : devices.inputDevices()) {
        if (d.id == "mic")
            QCOMPARE(d.name, QStringLiteral("TestMic"));
    }
    QCOMPARE(devices.defaultOutputId(), QStringLiteral("spk"));
    QCOMPARE(devices.defaultInputId(), QStringLiteral("mic"));
}

void TestAudioDevices::backgroundStartListsTheDevices_data()
{
    QTest::addColumn<bool>("askAtOnce");
    QTest::newRow("asked before the start ended") << true;
    QTest::newRow("announced when nobody asked") << false;
}

void TestAudioDevices::backgroundStartListsTheDevices()
{
    QFETCH(bool, askAtOnce);
    QVERIFY2(m_pulseUp, "no private PulseAudio could be started (tools/audio/start-pulse.sh)");
    AudioDevices devices;
    QSignalSpy listChanged(&devices, &AudioDevices::devicesChanged);
    devices.startInBackground();
    if (askAtOnce) {
        // The first question waits for the worker and answers with the full list.
        QVERIFY(!devices.inputDevices().isEmpty());
        QCOMPARE(listChanged.size(), 1);
    } else {
        QVERIFY(listChanged.wait(10000));
    }
    QStringList inputs;
    for (const auto &d : devices.inputDevices())
        inputs << d.id;
    QVERIFY2(inputs.contains("mic"), qPrintable(inputs.join(',')));
    QCOMPARE(devices.defaultOutputId(), QStringLiteral("spk"));
    // A later start() takes over the running monitor instead of starting another one.
    QVERIFY(devices.start());
    QTest::qWait(100);
    QCOMPARE(listChanged.size(), 1);
}

void TestAudioDevices::unknownDeviceIsRefused()
{
    QVERIFY2(m_pulseUp, "no private PulseAudio could be started (tools/audio/start-pulse.sh)");
    AudioDevices devices;
    QVERIFY(devices.start());
    QSignalSpy spy(&devices, &AudioDevices::inputDeviceChanged);
    QVERIFY(!devices.setInputDevice("no-such-mic"));
    QVERIFY(!devices.setInputDevice("spk.monitor")); // monitors are not microphones
    QCOMPARE(devices.inputDevice(), QString());
    QVERIFY(devices.setInputDevice("mic"));
    QVERIFY(devices.setInputDevice("mic"));
    QVERIFY(devices.setInputDevice(QString()));
    QCOMPARE(spy.size(), 2);
}

void TestAudioDevices::localMonitorHearsTheMicrophone()
{
    QVERIFY2(m_pulseUp, "no private PulseAudio could be started (tools/audio/start-pulse.sh)");
    AudioDevices devices;
    QVERIFY(devices.start());
    QVERIFY(devices.setInputDevice("mic"));
    QVERIFY(devices.setLocalMonitor(true));
    QVERIFY(devices.isLocalMonitorOn());
    QTest::qWait(300);
    QVERIFY(devices.inputLevel() >= 0);
    QVERIFY2(devices.inputLevel() < 0.01, "silence should read near zero");

    GstElement *feed = gst_parse_launch("audiotestsrc is-live=true freq=1000 volume=0.5 ! "
                                        "pulsesink device=micfeed",
        nullptr);
    gst_element_set_state(feed, GST_STATE_PLAYING);
    QTRY_VERIFY_WITH_TIMEOUT(devices.inputLevel() > 0.3, 10000);
    QVERIFY(devices.inputLevel() <= 1.0);
    gst_element_set_state(feed, GST_STATE_NULL);
    gst_object_unref(feed);

    QVERIFY(devices.setLocalMonitor(false));
    QCOMPARE(devices.inputLevel(), -1.0);
}

void TestAudioDevices::vanishedSpeakerFallsBackToDefault()
{
    QVERIFY2(m_pulseUp, "no private PulseAudio could be started (tools/audio/start-pulse.sh)");
    AudioDevices devices;
    QVERIFY(devices.start());
    QSignalSpy listChanged(&devices, &AudioDevices::devicesChanged);
    const QString module = m_pulse
                               .pactl({ "load-module", "module-null-sink", "sink_name=usbspk", "rate=48000",
                                   "channels=1", "sink_properties=device.description=UsbSpeaker" })
                               .trimmed();
    QVERIFY(!module.isEmpty());
    QTRY_VERIFY_WITH_TIMEOUT(devices.setOutputDevice("usbspk"), 10000);
    QVERIFY(listChanged.size() >= 1);
    QSignalSpy moved(&devices, &AudioDevices::outputDeviceChanged);
    m_pulse.pactl({ "unload-module", module });
    QTRY_COMPARE_WITH_TIMEOUT(moved.size(), 1, 10000);
    QCOMPARE(moved.first().first().toString(), QString());
    QCOMPARE(devices.outputDevice(), QString());
}

QTEST_GUILESS_MAIN(TestAudioDevices)
#include "tst_audiodevices.moc"
