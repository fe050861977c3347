#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

#include "fakeengine.h"
#include "scratchsettings.h"
#include "talk/callinstance.h"
#include "talk/mediaengineimpl.h"

using talk::Device;
using talk::MediaEngineImpl;

class TstMediaEngineImpl : public QObject, private ScratchSettings
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void constructionForbidsMultipleCalls();
    void displayNamesNumbered_data();
    void displayNamesNumbered();
    void devicesListedWithNumberedNames();
    void currentDevicesCopied();
    void storedDeviceChosenWhenPresent();
    void vanishedDeviceFallsBackToFirstAndIsWrittenOnlyWhenAsked_data();
    void vanishedDeviceFallsBackToFirstAndIsWrittenOnlyWhenAsked();
    void withoutStoredDeviceCurrentIsKept();
    void emptyListsGiveNullDevices();
    void failedDeviceChangeReportsFalse();
    void devicesChangedPicksWithoutTouchingSettings();
    void currentDeviceChangedRelayed();
    void audioOptionsStoredOnlyOnSuccess();
    void audioOptionBit1();
    void passThroughSetters();
    void placeCallSendsJidString();
    void playbackAndLooping();
    void callLifeRelayedWithOneWrapper();
    void focusChangeWrapsBothCalls();
    void withoutEngineEverythingIsInert();
    void destructionDropsWrappersOfLiveCalls();

private:
    std::unique_ptr<fake::MediaEngine> engine;
};

void TstMediaEngineImpl::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
    qRegisterMetaType<talk::Device>();
    qRegisterMetaType<vesk::MEDIA_DEVICE_TYPE>();
}

void TstMediaEngineImpl::init()
{
    fake::clearCalls();
    openSettings();
    if (QTest::currentTestFailed())
        return;
    engine = std::make_unique<fake::MediaEngine>();
    engine->microphones = { { "mic-a", "Microphone" }, { "mic-b", "Headset" } };
    engine->speakers = { { "spk-a", "Speakers" }, { "spk-b", "Speakers" }, { "spk-c", "Headset" } };
    engine->currentMicrophone = "mic-a";
    engine->currentSpeaker = "spk-a";
}

void TstMediaEngineImpl::cleanup()
{
    engine.reset();
    closeSettings();
}

void TstMediaEngineImpl::constructionForbidsMultipleCalls()
{
    MediaEngineImpl media(engine.get());
    QVERIFY(fake::hasCall("SetAllowsMultipleCalls 0"));
    QCOMPARE(media.audioOptions(), 15);
    QVERIFY(media.isInitialized());
}

void TstMediaEngineImpl::displayNamesNumbered_data()
{
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<QStringList>("displayNames");
    QTest::newRow("two alike and one of its own") << QStringList { "Speakers", "Speakers",
        "Headset" } << QStringList { "Speakers (1)", "Speakers (2)", "Headset" };
    QTest::newRow("interleaved") << QStringList { "A", "B", "A", "B", "A" }
                                 << QStringList { "A (1)", "B (1)", "A (2)", "B (2)", "A (3)" };
    QTest::newRow("all distinct") << QStringList { "A", "B" } << QStringList { "A", "B" };
    QTest::newRow("none") << QStringList() << QStringList();
    QTest::newRow("case matters") << QStringList { "Mic", "mic" } << QStringList { "Mic", "mic" };
}

void TstMediaEngineImpl::displayNamesNumbered()
{
    QFETCH(QStringList, names);
    QFETCH(QStringList, displayNames);
    QList<Device> devices;
    for (int i = 0; i < names.size(); ++i)
        devices.append(Device(QString::number(i), names.at(i)));
    MediaEngineImpl::numberDisplayNames(devices);
    QStringList result;
    for (const Device &device : devices)
        result.append(device.dname());
    QCOMPARE(result, displayNames);
    for (int i = 0; i < names.size(); ++i)
        QCOMPARE(devices.at(i).name(), names.at(i));
}

void TstMediaEngineImpl::devicesListedWithNumberedNames()
{
    MediaEngineImpl media(engine.get());
    const QList<Device> speakers = media.speakerDevices();
    QCOMPARE(speakers.size(), 3);
    QCOMPARE(speakers.at(0).dname(), QStringLiteral("Speakers (1)"));
    QCOMPARE(speakers.at(1).dname(), QStringLiteral("Speakers (2)"));
    QCOMPARE(speakers.at(2).dname(), QStringLiteral("Headset"));
    QCOMPARE(speakers.at(1).id(), QStringLiteral("spk-b"));
    const QList<Device> mics = media.microphoneDevices();
    QCOMPARE(mics.size(), 2);
    QCOMPARE(mics.at(0).dname(), QStringLiteral("Microphone"));
    QVERIFY(!mics.at(0).isNull());
}

void TstMediaEngineImpl::currentDevicesCopied()
{
    MediaEngineImpl media(engine.get());
    QCOMPARE(media.currentMicrophoneDevice().id(), QStringLiteral("mic-a"));
    QCOMPARE(media.currentSpeakerDevice().name(), QStringLiteral("Speakers"));
    engine->currentSpeaker = "gone";
    QVERIFY(media.currentSpeakerDevice().isNull());
}

void TstMediaEngineImpl::storedDeviceChosenWhenPresent()
{
    settings->setAudioInputDevice(Device(QStringLiteral("mic-b"), QStringLiteral("Headset")));
    settings->setAudioOutputDevice(Device(QStringLiteral("spk-b"), QStringLiteral("Speakers")));
    MediaEngineImpl media(engine.get());
    media.setSettings(settings.get());
    QSignalSpy input(&media, &MediaEngineImpl::updatedAudioInputDevice);
    QSignalSpy output(&media, &MediaEngineImpl::updatedAudioOutputDevice);
    QVERIFY(media.pickDefaultDevices(true));
    QVERIFY(fake::hasCall("SetMicrophoneDevice mic-b"));
    QVERIFY(fake::hasCall("SetSpeakerDevice spk-b"));
    QCOMPARE(output.size(), 1);
    QCOMPARE(output.at(0).at(0).value<Device>().dname(), QStringLiteral("Speakers (2)"));
    QCOMPARE(input.size(), 1);
}

void TstMediaEngineImpl::vanishedDeviceFallsBackToFirstAndIsWrittenOnlyWhenAsked_data()
{
    QTest::addColumn<bool>("updateSettings");
    QTest::newRow("with update") << true;
    QTest::newRow("without update") << false;
}

void TstMediaEngineImpl::vanishedDeviceFallsBackToFirstAndIsWrittenOnlyWhenAsked()
{
    QFETCH(bool, updateSettings);
    const Device unplugged(QStringLiteral("usb-gone"), QStringLiteral("USB Headset"));
    settings->setAudioInputDevice(unplugged);
    settings->setAudioOutputDevice(unplugged);
    engine->currentMicrophone = "mic-b";
    MediaEngineImpl media(engine.get());
    media.setSettings(settings.get());
    QSignalSpy input(&media, &MediaEngineImpl::updatedAudioInputDevice);
    QSignalSpy output(&media, &MediaEngineImpl::updatedAudioOutputDevice);
    QSignalSpy inputSetting(settings.get(), &Settings::audioInputDeviceChanged);

    QVERIFY(media.pickDefaultDevices(updateSettings));
    QVERIFY(fake::hasCall("SetMicrophoneDevice mic-a"));
    QVERIFY(fake::hasCall("SetSpeakerDevice spk-a"));
    if (updateSettings) {
        QCOMPARE(settings->audioInputDevice().id(), QStringLiteral("mic-a"));
        QCOMPARE(settings->audioOutputDevice().id(), QStringLiteral("spk-a"));
        QCOMPARE(input.size(), 1);
        QCOMPARE(output.size(), 1);
        QCOMPARE(inputSetting.size(), 1);
    } else {
        QCOMPARE(settings->audioInputDevice().id(), QStringLiteral("usb-gone"));
        QCOMPARE(settings->audioOutputDevice().id(), QStringLiteral("usb-gone"));
        QVERIFY(input.isEmpty());
        QVERIFY(output.isEmpty());
        QVERIFY(inputSetting.isEmpty());
    }
}

void TstMediaEngineImpl::withoutStoredDeviceCurrentIsKept()
{
    engine->currentMicrophone = "mic-b";
    engine->currentSpeaker = "spk-c";
    MediaEngineImpl media(engine.get());
    media.setSettings(settings.get());
    QVERIFY(media.pickDefaultDevices());
    QVERIFY(fake::hasCall("SetMicrophoneDevice mic-b"));
    QVERIFY(fake::hasCall("SetSpeakerDevice spk-c"));
}

void TstMediaEngineImpl::emptyListsGiveNullDevices()
{
    engine->microphones.clear();
    engine->speakers.clear();
    MediaEngineImpl media(engine.get());
    media.setSettings(settings.get());
    QSignalSpy input(&media, &MediaEngineImpl::updatedAudioInputDevice);
    QVERIFY(media.pickDefaultDevices(true));
    // The engine is still asked, with no id: its own default.
    QVERIFY(fake::hasCall("SetMicrophoneDevice "));
    QVERIFY(fake::hasCall("SetSpeakerDevice "));
    QCOMPARE(input.size(), 1);
    QVERIFY(input.at(0).at(0).value<Device>().isNull());
}

void TstMediaEngineImpl::failedDeviceChangeReportsFalse()
{
    engine->setDeviceResult = false;
    MediaEngineImpl media(engine.get());
    media.setSettings(settings.get());
    QSignalSpy input(&media, &MediaEngineImpl::updatedAudioInputDevice);
    QVERIFY(!media.pickDefaultDevices(true));
    QVERIFY(input.isEmpty());
    QVERIFY(settings->audioInputDevice().isNull());
}

void TstMediaEngineImpl::devicesChangedPicksWithoutTouchingSettings()
{
    settings->setAudioOutputDevice(Device(QStringLiteral("usb-gone"), QStringLiteral("USB")));
    MediaEngineImpl media(engine.get());
    media.setSettings(settings.get());
    QSignalSpy changed(&media, &MediaEngineImpl::deviceChanged);
    QSignalSpy output(&media, &MediaEngineImpl::updatedAudioOutputDevice);
    fake::clearCalls();
    engine->SignalDevicesChanged();
    QCOMPARE(changed.size(), 1);
    QVERIFY(output.isEmpty());
    QVERIFY(fake::hasCall("SetSpeakerDevice spk-a"));
    QCOMPARE(settings->audioOutputDevice().id(), QStringLiteral("usb-gone"));
}

void TstMediaEngineImpl::currentDeviceChangedRelayed()
{
    MediaEngineImpl media(engine.get());
    QSignalSpy spy(&media, &MediaEngineImpl::currentDeviceChanged);
    fake::Device device("spk-c", "Headset");
    engine->SignalCurrentDeviceChanged(&device, vesk::MEDIA_DEVICE_SPEAKER, true);
    QCOMPARE(spy.size(), 1);
    QCOMPARE(spy.at(0).at(0).value<Device>().id(), QStringLiteral("spk-c"));
    QCOMPARE(spy.at(0).at(1).value<vesk::MEDIA_DEVICE_TYPE>(), vesk::MEDIA_DEVICE_SPEAKER);
    QCOMPARE(spy.at(0).at(2).toBool(), true);
}

void TstMediaEngineImpl::audioOptionsStoredOnlyOnSuccess()
{
    MediaEngineImpl media(engine.get());
    QSignalSpy spy(&media, &MediaEngineImpl::audioOptionsChanged);
    QVERIFY(media.setAudioOptions(5));
    QCOMPARE(media.audioOptions(), 5);
    QCOMPARE(spy.size(), 1);
    engine->setOptionsResult = false;
    QVERIFY(!media.setAudioOptions(1));
    QCOMPARE(media.audioOptions(), 5);
    QCOMPARE(spy.size(), 1);
}

void TstMediaEngineImpl::audioOptionBit1()
{
    MediaEngineImpl media(engine.get());
    QVERIFY(media.audioOptionBit1());
    QVERIFY(media.setAudioOptionBit1(false));
    QCOMPARE(media.audioOptions(), 13);
    QVERIFY(!media.audioOptionBit1());
    QVERIFY(media.setAudioOptionBit1(true));
    QCOMPARE(media.audioOptions(), 15);
}

void TstMediaEngineImpl::passThroughSetters()
{
    MediaEngineImpl media(engine.get());
    QVERIFY(media.setSpeakerVolume(70));
    QVERIFY(media.setMicVolume(0));
    QVERIFY(media.setLocalMonitor(true));
    QVERIFY(media.setEchoMetricStatus(true));
    QVERIFY(media.setPreferredAudioCodec(talk::AudioCodec(talk::AudioCodec::Pcmu)));
    media.setAllowsMultipleCalls(true);
    QVERIFY(fake::hasCall("SetSpeakerVolume 70"));
    QVERIFY(fake::hasCall("SetMicVolume 0"));
    QVERIFY(fake::hasCall("SetLocalMonitor 1"));
    QVERIFY(fake::hasCall("SetEchoMetricStatus 1"));
    QVERIFY(fake::hasCall("SetPreferredAudioCodec 1"));
    QVERIFY(fake::hasCall("SetAllowsMultipleCalls 1"));
    QCOMPARE(media.speakerVolume(), 70);
    QCOMPARE(media.micVolume(), 0);
    QVERIFY(media.localMonitor());
    QCOMPARE(media.inputLevel(), 30);
    QCOMPARE(media.preferredAudioCodec(), 1);
    int sent = 0, received = 0, lost = 0, rtt = 0;
    media.callFigures(&sent, &received, &lost, &rtt);
    QCOMPARE(QList<int>({ sent, received, lost, rtt }), QList<int>({ -1, -1, -1, -1 }));
}

void TstMediaEngineImpl::placeCallSendsJidString()
{
    MediaEngineImpl media(engine.get());
    engine->placeCallCreatesCall = false;
    QVERIFY(media.placeCall(talk::Jid(QStringLiteral("+15550100"), QStringLiteral("localhost")), false));
    QVERIFY(fake::hasCall("PlaceCall +15550100@localhost video=0"));
    engine->placeCallResult = false;
    QVERIFY(!media.placeCall(talk::Jid(QStringLiteral("+1"), QStringLiteral("localhost")), true));
}

void TstMediaEngineImpl::playbackAndLooping()
{
    MediaEngineImpl media(engine.get());
    QSignalSpy finished(&media, &MediaEngineImpl::playingFinished);
    QVERIFY(media.loopFile(QStringLiteral("/tmp/ring.wav")));
    QVERIFY(fake::hasCall("Play /tmp/ring.wav loop=1"));
    QVERIFY(media.isLooping());
    QVERIFY(media.isPlaying());
    QCOMPARE(media.playbackLevel(), 40);
    media.stopPlaying();
    QVERIFY(!media.isLooping());
    QVERIFY(!media.isPlaying());
    QVERIFY(media.playFile(QStringLiteral("/tmp/beep.wav")));
    QVERIFY(fake::hasCall("Play /tmp/beep.wav loop=0"));
    QVERIFY(!media.isLooping());
    engine->player.SignalPlayingFinished();
    QCOMPARE(finished.size(), 1);
}

void TstMediaEngineImpl::callLifeRelayedWithOneWrapper()
{
    MediaEngineImpl media(engine.get());
    QSignalSpy created(&media, &MediaEngineImpl::callCreated);
    QSignalSpy destroyed(&media, &MediaEngineImpl::callDestroyed);
    fake::Call *call = engine->createCall("+15550100@localhost", true);
    QCOMPARE(created.size(), 1);
    auto *wrapper = created.at(0).at(0).value<const talk::Call *>();
    QVERIFY(wrapper);
    QCOMPARE(talk::CallInstance::find(call), wrapper);
    QVERIFY(wrapper->isIncoming());
    QCOMPARE(media.focusedCall(), wrapper);
    QCOMPARE(media.calls().size(), 1);
    QVERIFY(media.isInCall());

    QPointer<const talk::Call> guard(wrapper);
    engine->destroyCall(call);
    QCOMPARE(destroyed.size(), 1);
    QCOMPARE(destroyed.at(0).at(0).value<const talk::Call *>(), wrapper);
    QVERIFY(!talk::CallInstance::find(call));
    QTRY_VERIFY(guard.isNull());
    QVERIFY(!media.isInCall());
}

void TstMediaEngineImpl::focusChangeWrapsBothCalls()
{
    MediaEngineImpl media(engine.get());
    fake::Call *first = engine->createCall("+15550100@localhost", false);
    fake::Call *second = engine->createCall("+15550101@localhost", true);
    QSignalSpy focus(&media, &MediaEngineImpl::callFocusChanged);
    engine->changeFocus(second);
    QCOMPARE(focus.size(), 1);
    QCOMPARE(focus.at(0).at(0).value<const talk::Call *>(), talk::CallInstance::find(second));
    QCOMPARE(focus.at(0).at(1).value<const talk::Call *>(), talk::CallInstance::find(first));
    engine->destroyCall(first);
    engine->destroyCall(second);
    QCOMPARE(focus.size(), 2);
    QVERIFY(!focus.last().at(0).value<const talk::Call *>());
}

void TstMediaEngineImpl::withoutEngineEverythingIsInert()
{
    MediaEngineImpl media(nullptr);
    QVERIFY(!media.isInitialized());
    QVERIFY(!media.isInCall());
    QVERIFY(!media.focusedCall());
    QVERIFY(media.microphoneDevices().isEmpty());
    QVERIFY(media.currentSpeakerDevice().isNull());
    QCOMPARE(media.speakerVolume(), -1);
    QCOMPARE(media.playbackLevel(), -1);
    QVERIFY(!media.setMicVolume(3));
    QVERIFY(!media.placeCall(talk::Jid(QStringLiteral("+1"), QStringLiteral("x")), false));
    QVERIFY(!media.playFile(QStringLiteral("/tmp/x.wav")));
    QVERIFY(!media.setAudioOptions(3));
    QCOMPARE(media.audioOptions(), 15);
    QVERIFY(!media.pickDefaultDevices());
}

void TstMediaEngineImpl::destructionDropsWrappersOfLiveCalls()
{
    auto media = std::make_unique<MediaEngineImpl>(engine.get());
    fake::Call *call = engine->createCall("+15550100@localhost", false);
    QVERIFY(talk::CallInstance::find(call));
    media.reset();
    QVERIFY(!talk::CallInstance::find(call));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCOMPARE(talk::CallInstance::wrapperCount(), 0);
}

QTEST_GUILESS_MAIN(TstMediaEngineImpl)
#include "tst_mediaengineimpl.moc"
