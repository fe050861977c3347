#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QStackedWidget>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

#include "fakeengine.h"
#include "faketalkfixture.h"
#include "settings/settings.h"
#include "talk/mediaengine.h"
#include "talk/vesktalk.h"
#include "testhooks.h"
#include "ui/welcomedialog.h"
#include "ui_welcomedialog.h"
#include "util/dbstore.h"

// The welcome dialog over the fake engine library: the test sound, the level meters (the fake
// engine reports a fixed microphone level of 30 while its monitor runs and a playback level of 40
// while it plays), the device lists and what Save stores. The same dialog against the real engine
// and a private PulseAudio is in tst_welcomedialogaudio.
class TstWelcomeDialog : public QObject, private FakeTalkFixture
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void titleAndStartupBoxFromSettings();
    void devicesListedAndHandedToTheEngineAtOnce();
    void testButtonPlaysTheTestSoundAndAsks();
    void testSoundCopiedOnce();
    void failedPlaybackIsShown();
    void metersFollowTheEngineLevels();
    void microphoneQuestionComesWhenTheMeterMoves();
    void yesAndNo();
    void saveStoresAndStopsTheMonitor();
    void closingStopsTheMonitorAndPutsTheDevicesBack();
    void devicesComingAndGoingWhileOpen();
    void withoutEngineNothingBreaks();

private:
    std::unique_ptr<WelcomeDialog> openDialog();
};

void TstWelcomeDialog::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
    qRegisterMetaType<talk::Device>();
}

void TstWelcomeDialog::init()
{
    openStoreAndTalk();
    if (QTest::currentTestFailed())
        return;
    setDevices({ { "mic-a", "Microphone" }, { "mic-b", "Headset" } },
        { { "spk-a", "Speakers" }, { "spk-b", "Headset" } }, "mic-a", "spk-a");
    QFile::remove(WelcomeDialog::testSoundFile());
    fake::clearCalls();
}

void TstWelcomeDialog::cleanup()
{
    closeStoreAndTalk();
}

std::unique_ptr<WelcomeDialog> TstWelcomeDialog::openDialog()
{
    auto dialog = std::make_unique<WelcomeDialog>(media(), settings.get());
    dialog->show();
    if (!QTest::qWaitForWindowExposed(dialog.get()))
        qWarning("dialog not exposed");
    return dialog;
}

void TstWelcomeDialog::titleAndStartupBoxFromSettings()
{
    auto dialog = openDialog();
    QCOMPARE(dialog->windowTitle(), QStringLiteral("Welcome"));
    QVERIFY(dialog->form()->showOnStartupCheckBox->isChecked());
    dialog->reject();
    settings->setShowWelcome(false);
    auto second = openDialog();
    QVERIFY(!second->form()->showOnStartupCheckBox->isChecked());
}

void TstWelcomeDialog::devicesListedAndHandedToTheEngineAtOnce()
{
    auto dialog = openDialog();
    Ui::WelcomeDialogContent *ui = dialog->form();
    QCOMPARE(ui->microphoneDeviceCombo->count(), 2);
    QCOMPARE(ui->speakerDeviceCombo->count(), 2);
    QCOMPARE(ui->microphoneDeviceCombo->currentText(), QStringLiteral("Microphone"));
    QCOMPARE(ui->speakerDeviceCombo->currentText(), QStringLiteral("Speakers"));
    ui->speakerDeviceCombo->setCurrentIndex(1);
    QCOMPARE(fake::session()->media.currentSpeaker, std::string("spk-b"));
    ui->microphoneDeviceCombo->setCurrentIndex(1);
    QCOMPARE(fake::session()->media.currentMicrophone, std::string("mic-b"));
    QVERIFY(settings->audioOutputDevice().isNull());
}

void TstWelcomeDialog::testButtonPlaysTheTestSoundAndAsks()
{
    settings->setAudioOutputVolume(60);
    auto dialog = openDialog();
    Ui::WelcomeDialogContent *ui = dialog->form();
    QCOMPARE(ui->speakerStackedWidget->currentIndex(), int(WelcomeDialog::StartPage));
    QTest::mouseClick(ui->testButton, Qt::LeftButton);
    const QString file = WelcomeDialog::testSoundFile();
    QVERIFY(fake::hasCall("SetSpeakerVolume 60"));
    QVERIFY(fake::hasCall("Play " + file.toStdString() + " loop=0"));
    QFile copy(file);
    QVERIFY(copy.open(QIODevice::ReadOnly));
    QFile resource(QStringLiteral(":/sounds/ring1.wav"));
    QVERIFY(resource.open(QIODevice::ReadOnly));
    QCOMPARE(copy.readAll(), resource.readAll());
    QCOMPARE(ui->speakerStackedWidget->currentIndex(), int(WelcomeDialog::SuggestionPage));
    QVERIFY(!ui->speakerSuggestionLabel->isVisible());
    QVERIFY(!dialog->isErrorShown());
}

void TstWelcomeDialog::testSoundCopiedOnce()
{
    auto dialog = openDialog();
    LogCapture log;
    QTest::mouseClick(dialog->form()->testButton, Qt::LeftButton);
    QVERIFY(!log.contains(QStringLiteral("File for ring.wav already exists!")));
    QTest::mouseClick(dialog->form()->testButton, Qt::LeftButton);
    QVERIFY(log.contains(QStringLiteral("File for ring.wav already exists!")));
    QCOMPARE(fake::countCalls("Play "), 2);
    // A foreign file of that name is replaced, not played.
    QFile foreign(WelcomeDialog::testSoundFile());
    QVERIFY(foreign.open(QIODevice::WriteOnly | QIODevice::Truncate));
    foreign.write("not a sound");
    foreign.close();
    QTest::mouseClick(dialog->form()->testButton, Qt::LeftButton);
    QCOMPARE(QFileInfo(WelcomeDialog::testSoundFile()).size(),
        QFileInfo(QStringLiteral(":/sounds/ring1.wav")).size());
}

void TstWelcomeDialog::failedPlaybackIsShown()
{
    fake::session()->media.player.playResult = false;
    auto dialog = openDialog();
    LogCapture log;
    QTest::mouseClick(dialog->form()->testButton, Qt::LeftButton);
    QVERIFY(log.contains(QStringLiteral("Mediaengine was unable to play")));
    QVERIFY(dialog->isErrorShown());
    fake::session()->media.player.playResult = true;
    QTest::mouseClick(dialog->form()->testButton, Qt::LeftButton);
    QVERIFY(!dialog->isErrorShown());
}

void TstWelcomeDialog::metersFollowTheEngineLevels()
{
    auto dialog = openDialog();
    Ui::WelcomeDialogContent *ui = dialog->form();
    QVERIFY(dialog->levelsRunning());
    QVERIFY(fake::session()->media.localMonitor);
    QTRY_COMPARE(ui->micProgressBar->value(), 30);
    QCOMPARE(ui->speakerProgressBar->value(), 0);
    QTest::mouseClick(ui->testButton, Qt::LeftButton);
    QTRY_COMPARE(ui->speakerProgressBar->value(), 40);
    fake::session()->media.player.playing = false;
    QTRY_COMPARE(ui->speakerProgressBar->value(), 0);
}

void TstWelcomeDialog::microphoneQuestionComesWhenTheMeterMoves()
{
    auto dialog = openDialog();
    Ui::WelcomeDialogContent *ui = dialog->form();
    // The fake microphone hears 30 at once: the question follows.
    QTRY_COMPARE(ui->micStackedWidget->currentIndex(), int(WelcomeDialog::SuggestionPage));
    ui->microphoneDeviceCombo->setCurrentIndex(1);
    QCOMPARE(ui->micStackedWidget->currentIndex(), int(WelcomeDialog::StartPage));
    QTRY_COMPARE(ui->micStackedWidget->currentIndex(), int(WelcomeDialog::SuggestionPage));
}

void TstWelcomeDialog::yesAndNo()
{
    auto dialog = openDialog();
    Ui::WelcomeDialogContent *ui = dialog->form();
    QTest::mouseClick(ui->testButton, Qt::LeftButton);
    QTest::mouseClick(ui->speakerNoButton, Qt::LeftButton);
    QVERIFY(ui->speakerSuggestionLabel->isVisible());
    QCOMPARE(ui->speakerStackedWidget->currentIndex(), int(WelcomeDialog::SuggestionPage));
    QTest::mouseClick(ui->speakerYesButton, Qt::LeftButton);
    QCOMPARE(ui->speakerStackedWidget->currentIndex(), int(WelcomeDialog::SuccessPage));
    QTRY_COMPARE(ui->micStackedWidget->currentIndex(), int(WelcomeDialog::SuggestionPage));
    QTest::mouseClick(ui->micNoButton, Qt::LeftButton);
    QVERIFY(ui->micSuggestionLabel->isVisible());
    QTest::mouseClick(ui->micYesButton, Qt::LeftButton);
    QCOMPARE(ui->micStackedWidget->currentIndex(), int(WelcomeDialog::SuccessPage));
    // A new speaker must be tried again.
    ui->speakerDeviceCombo->setCurrentIndex(1);
    QCOMPARE(ui->speakerStackedWidget->currentIndex(), int(WelcomeDialog::StartPage));
}

void TstWelcomeDialog::saveStoresAndStopsTheMonitor()
{
    auto dialog = openDialog();
    Ui::WelcomeDialogContent *ui = dialog->form();
    ui->speakerDeviceCombo->setCurrentIndex(1);
    ui->microphoneDeviceCombo->setCurrentIndex(1);
    ui->showOnStartupCheckBox->setChecked(false);
    QTest::mouseClick(ui->testButton, Qt::LeftButton);
    QTest::mouseClick(ui->saveButton, Qt::LeftButton);
    QCOMPARE(dialog->result(), int(QDialog::Accepted));
    QVERIFY(!dialog->levelsRunning());
    QVERIFY(!fake::session()->media.localMonitor);
    QVERIFY(!fake::session()->media.player.playing);
    QVERIFY(!settings->showWelcome());
    QCOMPARE(settings->audioOutputDevice().id(), QStringLiteral("spk-b"));
    QCOMPARE(settings->audioInputDevice().id(), QStringLiteral("mic-b"));
    QCOMPARE(fake::session()->media.currentSpeaker, std::string("spk-b"));
}

void TstWelcomeDialog::closingStopsTheMonitorAndPutsTheDevicesBack()
{
    auto dialog = openDialog();
    Ui::WelcomeDialogContent *ui = dialog->form();
    ui->speakerDeviceCombo->setCurrentIndex(1);
    ui->showOnStartupCheckBox->setChecked(false);
    auto *close = dialog->findChild<QPushButton *>(QStringLiteral("closeButton"));
    QVERIFY(close);
    QTest::mouseClick(close, Qt::LeftButton);
    QVERIFY(!dialog->isVisible());
    QVERIFY(!dialog->levelsRunning());
    QVERIFY(!fake::session()->media.localMonitor);
    QCOMPARE(fake::session()->media.currentSpeaker, std::string("spk-a"));
    QVERIFY(settings->showWelcome());
    QVERIFY(settings->audioOutputDevice().isNull());
}

void TstWelcomeDialog::devicesComingAndGoingWhileOpen()
{
    auto dialog = openDialog();
    Ui::WelcomeDialogContent *ui = dialog->form();
    fake::MediaEngine &engine = fake::session()->media;
    engine.speakers.push_back({ "spk-usb", "USB Speakers" });
    engine.SignalDevicesChanged();
    QCOMPARE(ui->speakerDeviceCombo->count(), 3);
    QCOMPARE(ui->speakerDeviceCombo->itemText(2), QStringLiteral("USB Speakers"));
    ui->speakerDeviceCombo->setCurrentIndex(2);
    QCOMPARE(engine.currentSpeaker, std::string("spk-usb"));
    engine.speakers.pop_back();
    engine.SignalDevicesChanged();
    QCOMPARE(ui->speakerDeviceCombo->count(), 2);
    QCOMPARE(ui->speakerDeviceCombo->currentData().value<talk::Device>().id(),
        QString::fromStdString(engine.currentSpeaker));
}

void TstWelcomeDialog::withoutEngineNothingBreaks()
{
    LogCapture log;
    WelcomeDialog dialog(nullptr, settings.get());
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QVERIFY(log.contains(QStringLiteral("MediaEngine not initialized")));
    QVERIFY(log.contains(QStringLiteral("MediaEngine: unable to activate audio level monitor.")));
    QTest::mouseClick(dialog.form()->testButton, Qt::LeftButton);
    QVERIFY(log.contains(QStringLiteral("Mediaengine was unable to play")));
    QTest::mouseClick(dialog.form()->saveButton, Qt::LeftButton);
    QVERIFY(log.contains(QStringLiteral("MediaEngine: unable to deactivate audio level monitor.")));
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
}

QTEST_MAIN(TstWelcomeDialog)
#include "tst_welcomedialog.moc"
