#include <QComboBox>
#include <QFile>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

#include "privatepulse.h"
#include "settings/settings.h"
#include "talk/mediaengine.h"
#include "talk/vesktalk.h"
#include "tonecheck.h"
#include "ui/welcomedialog.h"
#include "ui_welcomedialog.h"
#include "util/dbstore.h"

// The welcome dialog against the real talk engine and a private PulseAudio: its microphone meter
// rises when the test microphone carries a tone (tools/audio/feed-mic.sh), Test is heard on the
// speaker, and speakers that appear or go away show up in the list at once.
class TstWelcomeDialogAudio : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void cleanup();

    void microphoneMeterRisesWithATone();
    void testSoundIsHeardOnTheSpeaker();
    void speakerPluggedInAndOutWhileOpen();

private:
    // A STATE_DIR for the tools/audio scripts, naming this process's private server.
    bool writePulseEnv();
    static int selectByText(QComboBox *combo, const QString &text);

    PrivatePulse pulse;
    bool pulseUp = false;
    QTemporaryDir scriptState;
    std::unique_ptr<QTemporaryDir> dir;
    std::unique_ptr<DbStore> store;
    std::unique_ptr<Settings> settings;
    std::unique_ptr<talk::VeskTalk> talk;
};

void TstWelcomeDialogAudio::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
    qRegisterMetaType<talk::Device>();
    pulseUp = pulse.start();
    QVERIFY2(pulseUp, "no private PulseAudio could be started (tools/audio/start-pulse.sh)");
    QVERIFY(writePulseEnv());
}

void TstWelcomeDialogAudio::cleanupTestCase()
{
    pulse.stop();
}

void TstWelcomeDialogAudio::init()
{
    dir = std::make_unique<QTemporaryDir>();
    store = std::make_unique<DbStore>();
    store->setDataFolder(dir->path());
    store->loadDatabases();
    QVERIFY(store->isOpen());
    settings = std::make_unique<Settings>(store.get());
    const QString library
        = qEnvironmentVariable("TALKVANE_BINARY_DIR") + QStringLiteral("/lib/libvesktalk.so");
    talk = std::make_unique<talk::VeskTalk>(library);
    QVERIFY2(talk->hasEngine(), qPrintable(library));
    QVERIFY(talk->mediaEngine());
    QVERIFY(talk->mediaEngine()->isInitialized());
    talk->mediaEngine()->setSettings(settings.get());
}

void TstWelcomeDialogAudio::cleanup()
{
    talk.reset();
    settings.reset();
    store.reset();
    dir.reset();
}

bool TstWelcomeDialogAudio::writePulseEnv()
{
    QFile env(scriptState.filePath(QStringLiteral("pulse.env")));
    if (!env.open(QIODevice::WriteOnly))
        return false;
    for (const char *name : { "XDG_RUNTIME_DIR", "PULSE_RUNTIME_PATH", "PULSE_SERVER" })
        env.write(QByteArray(name) + '=' + qgetenv(name) + '\n');
    return true;
}

int TstWelcomeDialogAudio::selectByText(QComboBox *combo, const QString &text)
{
    const int index = combo->findText(text);
    if (index >= 0)
        combo->setCurrentIndex(index);
    return index;
}

void TstWelcomeDialogAudio::microphoneMeterRisesWithATone()
{
    WelcomeDialog dialog(talk->mediaEngine(), settings.get());
    Ui::WelcomeDialogContent *ui = dialog.form();
    QVERIFY2(selectByText(ui->microphoneDeviceCombo, QStringLiteral("TestMic")) >= 0,
        qPrintable(QStringLiteral("microphones listed: %1").arg(ui->microphoneDeviceCombo->count())));
    // Already the first entry, the engine stays on the system default, which is that microphone.
    QVERIFY(QStringList({ QStringLiteral("mic"), QString() })
                .contains(talk->mediaEngine()->currentMicrophoneDevice().id()));
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QVERIFY(dialog.levelsRunning());
    QVERIFY(talk->mediaEngine()->localMonitor());

    // Silence first: the meter stays near the bottom.
    QTest::qWait(600);
    const int silent = ui->micProgressBar->value();
    QVERIFY2(silent < 5, qPrintable(QString::number(silent)));

    QProcess feed;
    feed.setProcessChannelMode(QProcess::ForwardedChannels);
    feed.start(QStringLiteral("bash"),
        { PrivatePulse::scriptDir() + QStringLiteral("/feed-mic.sh"), scriptState.path(),
            QStringLiteral("--tone"), QStringLiteral("1000"), QStringLiteral("6") });
    QVERIFY(feed.waitForStarted());
    int highest = 0;
    QTRY_VERIFY_WITH_TIMEOUT((highest = qMax(highest, ui->micProgressBar->value())) > 20, 15000);
    // The tone was heard, so the question follows.
    QTRY_COMPARE(ui->micStackedWidget->currentIndex(), int(WelcomeDialog::SuggestionPage));
    qInfo("microphone meter: %d in silence, %d with a 1 kHz tone at half scale", silent, highest);
    feed.kill();
    feed.waitForFinished();

    QTest::mouseClick(ui->saveButton, Qt::LeftButton);
    QVERIFY(!talk->mediaEngine()->localMonitor());
    QCOMPARE(settings->audioInputDevice().id(), QStringLiteral("mic"));
}

void TstWelcomeDialogAudio::testSoundIsHeardOnTheSpeaker()
{
    WelcomeDialog dialog(talk->mediaEngine(), settings.get());
    Ui::WelcomeDialogContent *ui = dialog.form();
    QVERIFY(selectByText(ui->speakerDeviceCombo, QStringLiteral("TestSpeaker")) >= 0);
    QVERIFY(QStringList({ QStringLiteral("spk"), QString() })
                .contains(talk->mediaEngine()->currentSpeakerDevice().id()));
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));

    QProcess record;
    record.start(QStringLiteral("parec"),
        { QStringLiteral("--device=spk.monitor"), QStringLiteral("--raw"), QStringLiteral("--format=s16le"),
            QStringLiteral("--rate=48000"), QStringLiteral("--channels=1"),
            QStringLiteral("--latency-msec=20") });
    QVERIFY(record.waitForStarted());
    QTest::qWait(300);
    QTest::mouseClick(ui->testButton, Qt::LeftButton);
    QVERIFY(!dialog.isErrorShown());
    int highest = 0;
    QTRY_VERIFY_WITH_TIMEOUT((highest = qMax(highest, ui->speakerProgressBar->value())) > 0, 10000);
    QTRY_VERIFY_WITH_TIMEOUT(!talk->mediaEngine()->isPlaying(), 15000);
    record.terminate();
    QVERIFY(record.waitForFinished(5000));
    const double level = tonecheck::rms(tonecheck::fromS16le(record.readAllStandardOutput()));
    qInfo("speaker: meter up to %d, %.3f RMS recorded on the speaker", highest, level);
    QVERIFY2(level > 0.01, qPrintable(QString::number(level)));
}

void TstWelcomeDialogAudio::speakerPluggedInAndOutWhileOpen()
{
    WelcomeDialog dialog(talk->mediaEngine(), settings.get());
    Ui::WelcomeDialogContent *ui = dialog.form();
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QCOMPARE(ui->speakerDeviceCombo->findText(QStringLiteral("UsbSpeaker")), -1);
    const QString module = pulse
                               .pactl({ QStringLiteral("load-module"), QStringLiteral("module-null-sink"),
                                   QStringLiteral("sink_name=usbspk"), QStringLiteral("rate=48000"),
                                   QStringLiteral("channels=1"),
                                   QStringLiteral("sink_properties=device.description=UsbSpeaker") })
                               .trimmed();
    QVERIFY(!module.isEmpty());
    QTRY_VERIFY_WITH_TIMEOUT(ui->speakerDeviceCombo->findText(QStringLiteral("UsbSpeaker")) >= 0, 10000);
    QVERIFY(selectByText(ui->speakerDeviceCombo, QStringLiteral("UsbSpeaker")) >= 0);
    QCOMPARE(talk->mediaEngine()->currentSpeakerDevice().id(), QStringLiteral("usbspk"));
    pulse.pactl({ QStringLiteral("unload-module"), module });
    QTRY_COMPARE_WITH_TIMEOUT(ui->speakerDeviceCombo->findText(QStringLiteral("UsbSpeaker")), -1, 10000);
    QVERIFY(ui->speakerDeviceCombo->count() > 0);
    QVERIFY(!ui->speakerDeviceCombo->currentText().isEmpty());
    dialog.reject();
}

QTEST_MAIN(TstWelcomeDialogAudio)
#include "tst_welcomedialogaudio.moc"
