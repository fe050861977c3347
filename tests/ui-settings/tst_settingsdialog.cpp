#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QStackedWidget>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

#include "fakeengine.h"
#include "faketalkfixture.h"
#include "modalwatcher.h"
#include "settings/settings.h"
#include "talk/mediaengine.h"
#include "talk/vesktalk.h"
#include "testhooks.h"
#include "ui/hotkeys.h"
#include "ui/settingsdialog.h"
#include "ui/shortcutbutton.h"
#include "ui_settingsdialogcontent.h"
#include "util/dbstore.h"

// The preferences dialog against the settings store and the talk connection over the fake engine
// library: what it shows, what the engine sees at once, what Save stores and Cancel puts back.
class TstSettingsDialog : public QObject, private FakeTalkFixture
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void textsAndTitle();
    void tabButtonsSwitchPages();
    void devicesListedWithTheOnesInUseSelected();
    void chosenDevicesReachTheEngineAndAreSaved();
    void cancelPutsTheDevicesBack();
    void closeButtonCancels();
    void withoutEngineTheListsStayEmpty();
    void storedDeviceMissingFallsBack();
    void devicesAppearingWhileOpenKeepTheChoice();
    void chosenDeviceGoingAwayFollowsTheEngine();
    void generalAndAudioOptionsLoadedAndSaved();
    void hotKeysSavedAndSeenByTheHotKeys();
    void hotKeyCapturedThroughTheKeyboard();
    void takenHotKeyRefused_data();
    void takenHotKeyRefused();
    void resetToDefaultsStoresNothingUntilSave();
    void customProxyStoredAndHandedToTheConnection();
    void customProxyDialogCancelledLeavesItOff();
    void uncheckingCustomProxyGoesBackToTheSystemProxy();

private:
    std::unique_ptr<SettingsDialog> openDialog();
};

void TstSettingsDialog::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
    qRegisterMetaType<talk::Device>();
}

void TstSettingsDialog::init()
{
    openStoreAndTalk();
    if (QTest::currentTestFailed())
        return;
    settings->setTalk(talk.get());
    setDevices({ { "mic-a", "Microphone" }, { "mic-b", "Headset" } },
        { { "spk-a", "Speakers" }, { "spk-b", "Speakers" }, { "spk-c", "Headset" } }, "mic-a", "spk-b");
    fake::clearCalls();
}

void TstSettingsDialog::cleanup()
{
    closeStoreAndTalk();
}

std::unique_ptr<SettingsDialog> TstSettingsDialog::openDialog()
{
    auto dialog = std::make_unique<SettingsDialog>(talk.get(), settings.get());
    dialog->show();
    if (!QTest::qWaitForWindowExposed(dialog.get()))
        qWarning("dialog not exposed");
    return dialog;
}

void TstSettingsDialog::textsAndTitle()
{
    auto dialog = openDialog();
    Ui::SettingsDialogContent *ui = dialog->form();
    QCOMPARE(dialog->windowTitle(), QStringLiteral("Preferences"));
    QCOMPARE(ui->autoStartCheckBox->text(), QStringLiteral("Automatically start when Windows starts"));
    QCOMPARE(ui->minimizeToTrayOnCloseCheckBox->text(),
        QStringLiteral("Minimize to tray when I close the application"));
    QCOMPARE(ui->autoUpdateCheckBox->text(), QStringLiteral("Automatically download new versions"));
    QCOMPARE(ui->skipPinConfirmationCheckBox->text(),
        QStringLiteral("Skip pin confirmation step if there is only one PIN for account"));
    QCOMPARE(
        ui->douleClickToCallCheckBox->text(), QStringLiteral("Double click on a contact to initiate a call"));
    QCOMPARE(ui->autoAnswerCheckBox->text(), QStringLiteral("Auto answer"));
    QCOMPARE(ui->customInternetProxyCheckBox->text(), QStringLiteral("Custom internet proxy"));
    QCOMPARE(ui->muteAllCheckBox->text(), QStringLiteral("Mute all sounds"));
    QCOMPARE(ui->noiseSuppresionCheckBox->text(), QStringLiteral("Enable noise suppresion"));
    QCOMPARE(ui->automaticGainControlCheckBox->text(), QStringLiteral("Automatic gain control"));
    QCOMPARE(ui->echoCancelationCheckBox->text(), QStringLiteral("Enable acoustic echo cancelation"));
    QCOMPARE(dialog->shortcutButtons().size(), 7);
    for (ShortcutButton *button : dialog->shortcutButtons())
        QVERIFY(!button->accessibleName().isEmpty());
}

void TstSettingsDialog::tabButtonsSwitchPages()
{
    auto dialog = openDialog();
    Ui::SettingsDialogContent *ui = dialog->form();
    QCOMPARE(ui->settingsStackedWidget->currentWidget(), ui->generalPage);
    QVERIFY(ui->generalSettingsButton->isChecked());
    QTest::mouseClick(ui->hotKeysButton, Qt::LeftButton);
    QCOMPARE(ui->settingsStackedWidget->currentWidget(), ui->hotKeysPage);
    QVERIFY(ui->hotKeysButton->isChecked());
    QVERIFY(!ui->generalSettingsButton->isChecked());
    QTest::mouseClick(ui->audioSettingsButton, Qt::LeftButton);
    QCOMPARE(ui->settingsStackedWidget->currentWidget(), ui->audioPage);
    QTest::mouseClick(ui->generalSettingsButton, Qt::LeftButton);
    QCOMPARE(ui->settingsStackedWidget->currentWidget(), ui->generalPage);
}

void TstSettingsDialog::devicesListedWithTheOnesInUseSelected()
{
    auto dialog = openDialog();
    Ui::SettingsDialogContent *ui = dialog->form();
    QCOMPARE(ui->microphoneComboBox->count(), 2);
    QCOMPARE(ui->microphoneComboBox->itemText(0), QStringLiteral("Microphone"));
    QCOMPARE(ui->microphoneComboBox->itemText(1), QStringLiteral("Headset"));
    QCOMPARE(ui->speakersComboBox->count(), 3);
    QCOMPARE(ui->speakersComboBox->itemText(0), QStringLiteral("Speakers (1)"));
    QCOMPARE(ui->speakersComboBox->itemText(1), QStringLiteral("Speakers (2)"));
    QCOMPARE(ui->speakersComboBox->itemText(2), QStringLiteral("Headset"));
    QCOMPARE(ui->microphoneComboBox->currentIndex(), 0);
    QCOMPARE(ui->speakersComboBox->currentIndex(), 1);
    QCOMPARE(ui->speakersComboBox->currentData().value<talk::Device>().id(), QStringLiteral("spk-b"));
    // Opening hands nothing to the engine.
    QCOMPARE(fake::countCalls("SetMicrophoneDevice"), 0);
    QCOMPARE(fake::countCalls("SetSpeakerDevice"), 0);
}

void TstSettingsDialog::chosenDevicesReachTheEngineAndAreSaved()
{
    auto dialog = openDialog();
    Ui::SettingsDialogContent *ui = dialog->form();
    ui->microphoneComboBox->setCurrentIndex(1);
    QCOMPARE(fake::session()->media.currentMicrophone, std::string("mic-b"));
    ui->speakersComboBox->setCurrentIndex(2);
    QCOMPARE(fake::session()->media.currentSpeaker, std::string("spk-c"));
    QCOMPARE(media()->currentSpeakerDevice().id(), QStringLiteral("spk-c"));
    // Not stored before Save.
    QVERIFY(settings->audioInputDevice().isNull());
    QTest::mouseClick(ui->saveButton, Qt::LeftButton);
    QCOMPARE(dialog->result(), int(QDialog::Accepted));
    QCOMPARE(settings->audioInputDevice().id(), QStringLiteral("mic-b"));
    QCOMPARE(settings->audioInputDevice().name(), QStringLiteral("Headset"));
    QCOMPARE(settings->audioOutputDevice().id(), QStringLiteral("spk-c"));
    QCOMPARE(fake::session()->media.currentMicrophone, std::string("mic-b"));
    QCOMPARE(fake::session()->media.currentSpeaker, std::string("spk-c"));
}

void TstSettingsDialog::cancelPutsTheDevicesBack()
{
    auto dialog = openDialog();
    Ui::SettingsDialogContent *ui = dialog->form();
    ui->microphoneComboBox->setCurrentIndex(1);
    ui->speakersComboBox->setCurrentIndex(0);
    QCOMPARE(fake::session()->media.currentMicrophone, std::string("mic-b"));
    QTest::mouseClick(ui->cancelButton, Qt::LeftButton);
    QCOMPARE(dialog->result(), int(QDialog::Rejected));
    QCOMPARE(fake::session()->media.currentMicrophone, std::string("mic-a"));
    QCOMPARE(fake::session()->media.currentSpeaker, std::string("spk-b"));
    QVERIFY(settings->audioInputDevice().isNull());
    QVERIFY(settings->audioOutputDevice().isNull());
}

void TstSettingsDialog::closeButtonCancels()
{
    auto dialog = openDialog();
    dialog->form()->microphoneComboBox->setCurrentIndex(1);
    auto *close = dialog->findChild<QPushButton *>(QStringLiteral("closeButton"));
    QVERIFY(close);
    QTest::mouseClick(close, Qt::LeftButton);
    QVERIFY(!dialog->isVisible());
    QCOMPARE(fake::session()->media.currentMicrophone, std::string("mic-a"));
    QVERIFY(settings->audioInputDevice().isNull());
}

void TstSettingsDialog::withoutEngineTheListsStayEmpty()
{
    LogCapture log;
    SettingsDialog dialog(static_cast<talk::MediaEngine *>(nullptr), settings.get());
    QCOMPARE(dialog.form()->microphoneComboBox->count(), 0);
    QCOMPARE(dialog.form()->speakersComboBox->count(), 0);
    QVERIFY(log.contains(QStringLiteral("MediaEngine not initialized")));
    QVERIFY(log.contains(QStringLiteral("Unable to set any audio input device:")));
    QVERIFY(log.contains(QStringLiteral("Unable to set any audio output device:")));
    settings->setAudioInputDevice(talk::Device(QStringLiteral("kept"), QStringLiteral("Kept")));
    dialog.accept();
    // An empty list stores nothing over the device the user had.
    QCOMPARE(settings->audioInputDevice().id(), QStringLiteral("kept"));
}

void TstSettingsDialog::storedDeviceMissingFallsBack()
{
    // The engine is on its system default (no named device) and the stored one has gone.
    fake::session()->media.currentMicrophone.clear();
    settings->setAudioInputDevice(talk::Device(QStringLiteral("usb-mic"), QStringLiteral("USB")));
    LogCapture log;
    auto dialog = openDialog();
    QVERIFY(log.contains(QStringLiteral("Input device not found:")));
    QCOMPARE(dialog->form()->microphoneComboBox->currentIndex(), 0);
    // A stored device that is present is shown while the engine names none.
    fake::session()->media.currentSpeaker.clear();
    settings->setAudioOutputDevice(talk::Device(QStringLiteral("spk-c"), QStringLiteral("Headset")));
    auto second = openDialog();
    QCOMPARE(
        second->form()->speakersComboBox->currentData().value<talk::Device>().id(), QStringLiteral("spk-c"));
}

void TstSettingsDialog::devicesAppearingWhileOpenKeepTheChoice()
{
    auto dialog = openDialog();
    Ui::SettingsDialogContent *ui = dialog->form();
    ui->microphoneComboBox->setCurrentIndex(1); // mic-b, tried but not saved
    fake::MediaEngine &engine = fake::session()->media;
    engine.microphones.push_back({ "mic-usb", "USB Microphone" });
    engine.speakers.push_back({ "spk-usb", "USB Speakers" });
    engine.SignalDevicesChanged();
    QCOMPARE(ui->microphoneComboBox->count(), 3);
    QCOMPARE(ui->microphoneComboBox->itemText(2), QStringLiteral("USB Microphone"));
    QCOMPARE(ui->speakersComboBox->count(), 4);
    QCOMPARE(ui->speakersComboBox->itemText(3), QStringLiteral("USB Speakers"));
    // The engine went back to its stored choice on the change; the dialog's choice wins again.
    QCOMPARE(ui->microphoneComboBox->currentData().value<talk::Device>().id(), QStringLiteral("mic-b"));
    QCOMPARE(engine.currentMicrophone, std::string("mic-b"));
    QCOMPARE(ui->speakersComboBox->currentData().value<talk::Device>().id(), QStringLiteral("spk-b"));
    ui->microphoneComboBox->setCurrentIndex(2);
    QCOMPARE(engine.currentMicrophone, std::string("mic-usb"));
}

void TstSettingsDialog::chosenDeviceGoingAwayFollowsTheEngine()
{
    auto dialog = openDialog();
    Ui::SettingsDialogContent *ui = dialog->form();
    ui->speakersComboBox->setCurrentIndex(2); // spk-c
    fake::MediaEngine &engine = fake::session()->media;
    engine.speakers.pop_back();
    engine.SignalDevicesChanged();
    QCOMPARE(ui->speakersComboBox->count(), 2);
    // The engine picked a device by itself; the list shows that one.
    const QString inUse = QString::fromStdString(engine.currentSpeaker);
    QVERIFY(inUse == QStringLiteral("spk-a") || inUse == QStringLiteral("spk-b"));
    QCOMPARE(ui->speakersComboBox->currentData().value<talk::Device>().id(), inUse);
}

void TstSettingsDialog::generalAndAudioOptionsLoadedAndSaved()
{
    settings->setMinimizeToTrayOnClose(false);
    settings->setAutoAnswerCalls(true);
    settings->setSkipPinSelection(true);
    settings->setEchoCancellation(false);
    settings->setMuteAllSounds(true);
    auto dialog = openDialog();
    Ui::SettingsDialogContent *ui = dialog->form();
    QVERIFY(!ui->minimizeToTrayOnCloseCheckBox->isChecked());
    QVERIFY(ui->autoAnswerCheckBox->isChecked());
    QVERIFY(ui->skipPinConfirmationCheckBox->isChecked());
    QVERIFY(ui->douleClickToCallCheckBox->isChecked());
    QVERIFY(ui->autoUpdateCheckBox->isChecked()); // the schema's row
    QVERIFY(!ui->echoCancelationCheckBox->isChecked());
    QVERIFY(ui->muteAllCheckBox->isChecked());
    QVERIFY(ui->noiseSuppresionCheckBox->isChecked());

    ui->minimizeToTrayOnCloseCheckBox->setChecked(true);
    ui->autoAnswerCheckBox->setChecked(false);
    ui->douleClickToCallCheckBox->setChecked(false);
    ui->autoUpdateCheckBox->setChecked(false);
    ui->autoStartCheckBox->setChecked(false);
    ui->echoCancelationCheckBox->setChecked(true);
    ui->noiseSuppresionCheckBox->setChecked(false);
    ui->automaticGainControlCheckBox->setChecked(false);
    ui->muteAllCheckBox->setChecked(false);
    QTest::mouseClick(ui->saveButton, Qt::LeftButton);
    QVERIFY(settings->minimizeToTrayOnClose());
    QVERIFY(!settings->autoAnswerCalls());
    QVERIFY(!settings->callStartDblClick());
    QVERIFY(!settings->autoUpdate());
    QVERIFY(!settings->autoStart());
    QVERIFY(settings->skipPinSelection());
    QVERIFY(settings->echoCancellation());
    QVERIFY(!settings->noiseSuppression());
    QVERIFY(!settings->automaticGainControl());
    QVERIFY(!settings->muteAllSounds());
}

void TstSettingsDialog::hotKeysSavedAndSeenByTheHotKeys()
{
    auto dialog = openDialog();
    Ui::SettingsDialogContent *ui = dialog->form();
    QCOMPARE(ui->placeCallShortcutButton->keySequence(), QKeySequence(Qt::Key_Enter));
    QCOMPARE(ui->cancelCallShortcutButton->keySequence(), QKeySequence(Qt::Key_Escape));
    QCOMPARE(ui->increaseMicVolShortcutButton->keySequence(), QKeySequence(QStringLiteral("Alt+Right")));
    QVERIFY(ui->showHideGroupsCheckBox->isChecked());
    ui->increaseMicVolShortcutButton->setKeySequence(QKeySequence(QStringLiteral("Ctrl+Shift+Up")));
    ui->showHideGroupsCheckBox->setChecked(false);
    ui->placeCallShortcutButton->setKeySequence(QKeySequence(QStringLiteral("Ctrl+Return")));
    QTest::mouseClick(ui->saveButton, Qt::LeftButton);

    QCOMPARE(settings->increaseMicVolHotkey(), QStringLiteral("Ctrl+Shift+Up"));
    QCOMPARE(settings->placeCallHotkey(), QStringLiteral("Ctrl+Return"));
    QVERIFY(!settings->showHideGroupsHotkeyEnabled());
    QCOMPARE(settings->cancelCallHotkey(), QStringLiteral("Esc"));
    QCOMPARE(settings->decreaseSpeakerVolHotkey(), QStringLiteral("Ctrl+Left"));

    QWidget window;
    HotKeys keys(&window);
    keys.configure(settings.get());
    keys.activate(true, true, true);
    QCOMPARE(keys.increaseMicVolume->key(), QKeySequence(QStringLiteral("Ctrl+Shift+Up")));
    QVERIFY(keys.increaseMicVolume->isEnabled());
    QCOMPARE(keys.placeCall->key(), QKeySequence(QStringLiteral("Ctrl+Return")));
    QVERIFY(!keys.showHideGroups->isEnabled());
}

void TstSettingsDialog::hotKeyCapturedThroughTheKeyboard()
{
    auto dialog = openDialog();
    Ui::SettingsDialogContent *ui = dialog->form();
    QTest::mouseClick(ui->hotKeysButton, Qt::LeftButton);
    ShortcutButton *button = ui->decreaseSpeakerVolShortcutButton;
    QTest::mouseClick(button->button(), Qt::LeftButton);
    QVERIFY(button->isCapturing());
    QTest::keyPress(button->lineEdit(), Qt::Key_Down, Qt::ControlModifier);
    QTest::keyRelease(button->lineEdit(), Qt::Key_Down, Qt::ControlModifier);
    QVERIFY(!button->isCapturing());
    QTest::mouseClick(ui->saveButton, Qt::LeftButton);
    QCOMPARE(settings->decreaseSpeakerVolHotkey(), QStringLiteral("Ctrl+Down"));
}

void TstSettingsDialog::takenHotKeyRefused_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<QString>("held");
    // The end-call row holds Escape, the speaker row Ctrl+Right.
    QTest::newRow("end call's Escape") << int(Qt::Key_Escape) << int(Qt::NoModifier) << "Esc";
    QTest::newRow("speaker's Ctrl+Right") << int(Qt::Key_Right) << int(Qt::ControlModifier) << "Ctrl+Right";
}

void TstSettingsDialog::takenHotKeyRefused()
{
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(QString, held);
    auto dialog = openDialog();
    Ui::SettingsDialogContent *ui = dialog->form();
    QTest::mouseClick(ui->hotKeysButton, Qt::LeftButton);
    ShortcutButton *button = ui->increaseMicVolShortcutButton;
    ModalWatcher watcher;
    QTest::mouseClick(button->button(), Qt::LeftButton);
    QTest::keyPress(button->lineEdit(), Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    QTest::keyRelease(button->lineEdit(), Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    QCOMPARE(watcher.messages, QStringList { QStringLiteral("Warning|Selected key is not available!") });
    QCOMPARE(button->keySequence(), QKeySequence(QStringLiteral("Alt+Right")));
    QCOMPARE(button->button()->text(),
        QKeySequence(QStringLiteral("Alt+Right")).toString(QKeySequence::NativeText));
    QTest::mouseClick(ui->saveButton, Qt::LeftButton);
    QCOMPARE(settings->increaseMicVolHotkey(), QStringLiteral("Alt+Right"));
    const QStringList stored = { settings->cancelCallHotkey(), settings->increaseSpeakerVolHotkey() };
    QVERIFY(stored.contains(held));
}

void TstSettingsDialog::resetToDefaultsStoresNothingUntilSave()
{
    settings->setAutoStart(false);
    settings->setMinimizeToTrayOnClose(false);
    settings->setAutoUpdate(false);
    settings->setCallStartDblClick(false);
    settings->setSkipPinSelection(true);
    settings->setAutoAnswerCalls(true);
    settings->setMuteAllSounds(true);
    settings->setNoiseSuppression(false);
    settings->setAutomaticGainControl(false);
    settings->setEchoCancellation(false);
    settings->setCancelCallHotkey(QStringLiteral("Ctrl+E"));
    settings->setShowHideGroupsHotkey(QStringLiteral("Esc"));
    settings->setPlaceCallHotkeyEnabled(false);
    auto dialog = openDialog();
    Ui::SettingsDialogContent *ui = dialog->form();
    ModalWatcher watcher;
    QTest::mouseClick(ui->resetToDefaultsButton, Qt::LeftButton);
    // Escape moves back from the groups row to the end-call row without a complaint.
    QVERIFY(watcher.messages.isEmpty());
    QVERIFY(ui->autoStartCheckBox->isChecked());
    QVERIFY(ui->minimizeToTrayOnCloseCheckBox->isChecked());
    QVERIFY(ui->autoUpdateCheckBox->isChecked());
    QVERIFY(ui->douleClickToCallCheckBox->isChecked());
    QVERIFY(!ui->skipPinConfirmationCheckBox->isChecked());
    QVERIFY(!ui->autoAnswerCheckBox->isChecked());
    QVERIFY(!ui->customInternetProxyCheckBox->isChecked());
    QVERIFY(!ui->muteAllCheckBox->isChecked());
    QVERIFY(ui->noiseSuppresionCheckBox->isChecked());
    QVERIFY(ui->automaticGainControlCheckBox->isChecked());
    QVERIFY(ui->echoCancelationCheckBox->isChecked());
    QStringList keys;
    for (ShortcutButton *button : dialog->shortcutButtons())
        keys << button->keySequence().toString(QKeySequence::PortableText);
    QCOMPARE(keys, SettingsDialog::defaultHotKeys());
    QVERIFY(ui->placeCallCheckBox->isChecked());
    // Nothing stored yet.
    QVERIFY(!settings->autoStart());
    QCOMPARE(settings->cancelCallHotkey(), QStringLiteral("Ctrl+E"));
    QTest::mouseClick(ui->saveButton, Qt::LeftButton);
    QVERIFY(settings->autoStart());
    QVERIFY(settings->autoUpdate());
    QVERIFY(!settings->autoAnswerCalls());
    QVERIFY(settings->echoCancellation());
    QCOMPARE(settings->cancelCallHotkey(), QStringLiteral("Esc"));
    QCOMPARE(settings->showHideGroupsHotkey(), QStringLiteral("Ctrl+H"));
    QVERIFY(settings->placeCallHotkeyEnabled());
}

void TstSettingsDialog::customProxyStoredAndHandedToTheConnection()
{
    auto dialog = openDialog();
    Ui::SettingsDialogContent *ui = dialog->form();
    QString shownMessage;
    ModalWatcher watcher([&shownMessage](QWidget *proxyDialog) {
        shownMessage = proxyDialog->findChild<QLabel *>(QStringLiteral("messageLabel"))->text();
        proxyDialog->findChild<QLineEdit *>(QStringLiteral("hostnameLineEdit"))
            ->setText(QStringLiteral("127.0.0.1"));
        proxyDialog->findChild<QLineEdit *>(QStringLiteral("portLineEdit"))->setText(QStringLiteral("3128"));
        proxyDialog->findChild<QComboBox *>(QStringLiteral("proxyTypeComboBox"))->setCurrentIndex(1);
        proxyDialog->findChild<QCheckBox *>(QStringLiteral("authCheckBox"))->setChecked(true);
        proxyDialog->findChild<QLineEdit *>(QStringLiteral("usernameLineEdit"))
            ->setText(QStringLiteral("ann"));
        proxyDialog->findChild<QLineEdit *>(QStringLiteral("passwordLineEdit"))
            ->setText(QStringLiteral("pw-9"));
        QTest::mouseClick(proxyDialog->findChild<QPushButton *>(QStringLiteral("okButton")), Qt::LeftButton);
    });
    LogCapture log;
    ui->customInternetProxyCheckBox->click();
    QCOMPARE(shownMessage, QStringLiteral("Please provide your proxy settings below."));
    QVERIFY(ui->customInternetProxyCheckBox->isChecked());
    QVERIFY(settings->customProxy());
    const talk::ProxySettings expected(
        2, QStringLiteral("127.0.0.1"), 3128, true, QStringLiteral("ann"), QStringLiteral("pw-9"));
    QCOMPARE(settings->proxySettings(), expected);
    // The talk connection uses it now, not only after a restart.
    const fake::ProxySettings &engineProxy = fake::session()->proxy;
    QCOMPARE(engineProxy.type, 2);
    QCOMPARE(engineProxy.host, std::string("127.0.0.1"));
    QCOMPARE(engineProxy.port, 3128);
    QCOMPARE(engineProxy.user, std::string("ann"));
    QCOMPARE(talk->proxySettings().host(), QStringLiteral("127.0.0.1"));
    QVERIFY(!log.contains(QStringLiteral("pw-9")));
}

void TstSettingsDialog::customProxyDialogCancelledLeavesItOff()
{
    auto dialog = openDialog();
    Ui::SettingsDialogContent *ui = dialog->form();
    ModalWatcher watcher([](QWidget *proxyDialog) {
        QTest::mouseClick(
            proxyDialog->findChild<QPushButton *>(QStringLiteral("cancelButton")), Qt::LeftButton);
    });
    ui->customInternetProxyCheckBox->click();
    QVERIFY(!ui->customInternetProxyCheckBox->isChecked());
    QVERIFY(!settings->customProxy());
    QCOMPARE(fake::countCalls("SetProxy"), 0);
}

void TstSettingsDialog::uncheckingCustomProxyGoesBackToTheSystemProxy()
{
    settings->setCustomProxy(true);
    settings->setProxySettings(talk::ProxySettings(1, QStringLiteral("127.0.0.1"), 8080));
    talk->setProxySettings(settings->proxySettings());
    auto dialog = openDialog();
    Ui::SettingsDialogContent *ui = dialog->form();
    QVERIFY(ui->customInternetProxyCheckBox->isChecked());
    fake::clearCalls();
    ui->customInternetProxyCheckBox->click();
    QVERIFY(!ui->customInternetProxyCheckBox->isChecked());
    QVERIFY(!settings->customProxy());
    QVERIFY(fake::hasCall("SetProxy type=0 host= port=0 user="));
    QCOMPARE(fake::session()->proxy.host, std::string());
}

QTEST_MAIN(TstSettingsDialog)
#include "tst_settingsdialog.moc"
