#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

#include "contactmanager.h"
#include "fakeengine.h"
#include "history/history.h"
#include "modalwatcher.h"
#include "phone/phone.h"
#include "settings/settings.h"
#include "talk/vesktalk.h"
#include "ui/contentwidget.h"
#include "ui/hotkeys.h"
#include "application.h"
#include "ui/importcontactsdialog.h"
#include "ui/mainwindow.h"
#include "ui/settingsdialog.h"
#include "ui/shortcutbutton.h"
#include "ui/welcomedialog.h"
#include "ui_settingsdialogcontent.h"
#include "ui_welcomedialog.h"
#include "util/dbstore.h"
#include "screenshots.h"

// How the main window opens the preferences, the welcome dialog and the proxy dialog, and what it
// does with their results: the content widget's hot keys follow the saved preferences.
class TstMainWindowDialogs : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void preferencesReachTheHotKeysAndTheEngine();
    void welcomeDialogOpensWithTheEngineDevices();
    void proxyQuestionOpensTheProxyDialog();
    void importActionOpensTheWizardOnTheAddressBook();

private:
    std::unique_ptr<QTemporaryDir> folder;
    std::unique_ptr<DbStore> store;
    std::unique_ptr<Settings> settings;
    std::unique_ptr<History> history;
    std::unique_ptr<talk::VeskTalk> talk;
    Phone *phone = nullptr;
    MainWindow *window = nullptr;
};

void TstMainWindowDialogs::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
    qRegisterMetaType<talk::Device>();
    // The program's look, as the application object sets it up.
    Application::loadFonts();
    qApp->setStyleSheet(Application::loadStyleSheet());
}

void TstMainWindowDialogs::init()
{
    folder = std::make_unique<QTemporaryDir>();
    store = std::make_unique<DbStore>();
    store->setDataFolder(folder->path());
    store->loadDatabases();
    QVERIFY(store->isOpen());
    settings = std::make_unique<Settings>(store.get());
    settings->setShowWelcome(false);
    history = std::make_unique<History>();
    talk = std::make_unique<talk::VeskTalk>(QStringLiteral(FAKE_ENGINE_LIBRARY));
    fake::MediaEngine &engine = fake::session()->media;
    engine.microphones = { { "mic-a", "Microphone" }, { "mic-b", "Headset" } };
    engine.speakers = { { "spk-a", "Speakers" }, { "spk-b", "Headset" } };
    engine.currentMicrophone = "mic-a";
    engine.currentSpeaker = "spk-a";
    phone = new Phone;
    phone->setSettings(settings.get());
    phone->setTalk(talk.get());
    window = new MainWindow;
    window->setSettings(settings.get());
    window->setPhone(phone);
    window->setHistory(history.get());
    window->showLogIn();
}

void TstMainWindowDialogs::cleanup()
{
    delete window;
    delete phone;
    talk.reset();
    history.reset();
    settings.reset();
    store.reset();
    folder.reset();
    QNetworkProxy::setApplicationProxy(QNetworkProxy(QNetworkProxy::NoProxy));
}

void TstMainWindowDialogs::preferencesReachTheHotKeysAndTheEngine()
{
    bool seen = false;
    ModalWatcher watcher([&seen](QWidget *modal) {
        auto *dialog = qobject_cast<SettingsDialog *>(modal);
        if (!dialog)
            return;
        seen = true;
        Ui::SettingsDialogContent *ui = dialog->form();
        const QList<QPushButton *> tabs { ui->generalSettingsButton, ui->audioSettingsButton, ui->hotKeysButton };
        for (QPushButton *tab : tabs) {
            tab->click();
            saveScreenshot(dialog, QStringLiteral("settings-") + tab->objectName());
        }
        ui->cancelCallShortcutButton->setKeySequence(QKeySequence(QStringLiteral("Ctrl+Q")));
        ui->microphoneComboBox->setCurrentIndex(1);
        ui->saveButton->click();
    });
    window->onSettingsActionTriggered();
    QVERIFY(seen);
    QCOMPARE(settings->cancelCallHotkey(), QStringLiteral("Ctrl+Q"));
    QCOMPARE(settings->audioInputDevice().id(), QStringLiteral("mic-b"));
    QCOMPARE(fake::session()->media.currentMicrophone, std::string("mic-b"));
    // The dial pad's keys were configured again from the saved preferences.
    QCOMPARE(window->contentWidget()->hotKeys()->cancelCall->key(), QKeySequence(QStringLiteral("Ctrl+Q")));
}

void TstMainWindowDialogs::welcomeDialogOpensWithTheEngineDevices()
{
    int speakers = -1;
    ModalWatcher watcher([&speakers](QWidget *modal) {
        auto *dialog = qobject_cast<WelcomeDialog *>(modal);
        if (!dialog)
            return;
        speakers = dialog->form()->speakerDeviceCombo->count();
        saveScreenshot(dialog, QStringLiteral("welcome"));
        dialog->form()->showOnStartupCheckBox->setChecked(false);
        dialog->form()->saveButton->click();
    });
    settings->setShowWelcome(true);
    window->showWelcomeDialog();
    QCOMPARE(speakers, 2);
    QVERIFY(!settings->showWelcome());
    QVERIFY(!fake::session()->media.localMonitor);
}

void TstMainWindowDialogs::proxyQuestionOpensTheProxyDialog()
{
    QString message;
    ModalWatcher watcher([&message](QWidget *modal) {
        if (modal->objectName() != QLatin1String("ProxySettingsDialog")
            && !modal->inherits("ProxySettingsDialog"))
            return;
        message = modal->findChild<QLabel *>(QStringLiteral("messageLabel"))->text();
        saveScreenshot(modal, QStringLiteral("proxy-settings"));
        modal->findChild<QLineEdit *>(QStringLiteral("hostnameLineEdit"))
            ->setText(QStringLiteral("127.0.0.1"));
        modal->findChild<QLineEdit *>(QStringLiteral("portLineEdit"))->setText(QStringLiteral("3128"));
        modal->findChild<QPushButton *>(QStringLiteral("okButton"))->click();
    });
    watcher.answer = QMessageBox::Yes;
    window->onLoginFailed(Phone::ConnectionFailed);
    QCOMPARE(message,
        QStringLiteral("There seems to be a problem with your internet connection.\n"
                       "If you use a proxy to connect to the internet, enter the details below."));
    QVERIFY(settings->customProxy());
    QCOMPARE(settings->proxySettings().host(), QStringLiteral("127.0.0.1"));
    QCOMPARE(settings->proxySettings().port(), 3128);
    QCOMPARE(fake::session()->proxy.host, std::string("127.0.0.1"));
}


void TstMainWindowDialogs::importActionOpensTheWizardOnTheAddressBook()
{
    int opened = 0;
    ImportContactsDialog::Step firstStep = ImportContactsDialog::FinalStep;
    ModalWatcher watcher([&](QWidget *modal) {
        auto *dialog = qobject_cast<ImportContactsDialog *>(modal);
        if (!dialog)
            return;
        ++opened;
        firstStep = dialog->step();
        saveScreenshot(dialog, QStringLiteral("import-wizard-start"));
        dialog->reject();
    });
    // Without an address book there is nothing to import into: no wizard.
    window->onImportContactsActionTriggered();
    QCOMPARE(opened, 0);

    ContactManager book;
    window->setContactManager(&book);
    window->onImportContactsActionTriggered();
    QCOMPARE(opened, 1);
    QCOMPARE(firstStep, ImportContactsDialog::SelectProviderStep);
}

QTEST_MAIN(TstMainWindowDialogs)
#include "tst_mainwindowdialogs.moc"
