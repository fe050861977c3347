#include "ui/settingsdialog.h"
#include "ui_settingsdialogcontent.h"

#include <QMessageBox>

#include "settings/settings.h"
#include "talk/mediaengine.h"
#include "talk/vesktalk.h"
#include "ui/devicecombos.h"
#include "ui/proxysettingsdialog.h"
#include "ui/shortcutbutton.h"
#include "util/log.h"

namespace {

QKeySequence keyFromText(const QString &text)
{
    return QKeySequence::fromString(text, QKeySequence::PortableText);
}

QString keyToText(const QKeySequence &sequence)
{
    return sequence.toString(QKeySequence::PortableText);
}

} // namespace

SettingsDialog::SettingsDialog(talk::VeskTalk *talk, Settings *settings, QWidget *parent)
    : DialogBase(parent)
    , ui(new Ui::SettingsDialogContent)
    , talk(talk)
    , media(talk ? talk->mediaEngine() : nullptr)
    , settings(settings)
    , devices(media, settings)
{
    setUp();
}

SettingsDialog::SettingsDialog(talk::MediaEngine *media, Settings *settings, QWidget *parent)
    : DialogBase(parent)
    , ui(new Ui::SettingsDialogContent)
    , media(media)
    , settings(settings)
    , devices(media, settings)
{
    setUp();
}

SettingsDialog::~SettingsDialog()
{
    delete ui;
}

QStringList SettingsDialog::defaultHotKeys()
{
    return { QStringLiteral("Enter"), QStringLiteral("Esc"), QStringLiteral("Ctrl+Right"),
        QStringLiteral("Ctrl+Left"), QStringLiteral("Alt+Right"), QStringLiteral("Alt+Left"),
        QStringLiteral("Ctrl+H") };
}

QList<SettingsDialog::HotKeyRow> SettingsDialog::hotKeyRows() const
{
    const QStringList defaults = defaultHotKeys();
    return {
        { ui->placeCallCheckBox, ui->placeCallShortcutButton, defaults.at(0) },
        { ui->cancelCallCheckBox, ui->cancelCallShortcutButton, defaults.at(1) },
        { ui->increaseSpeakerVolCheckBox, ui->increaseSpeakerVolShortcutButton, defaults.at(2) },
        { ui->decreaseSpeakerVolCheckBox, ui->decreaseSpeakerVolShortcutButton, defaults.at(3) },
        { ui->increaseMicVolCheckBox, ui->increaseMicVolShortcutButton, defaults.at(4) },
        { ui->decreaseMicVolCheckBox, ui->decreaseMicVolShortcutButton, defaults.at(5) },
        { ui->showHideGroupsCheckBox, ui->showHideGroupsShortcutButton, defaults.at(6) },
    };
}

QList<ShortcutButton *> SettingsDialog::shortcutButtons() const
{
    QList<ShortcutButton *> buttons;
    for (const HotKeyRow &row : hotKeyRows())
        buttons << row.button;
    return buttons;
}

void SettingsDialog::setUp()
{
    ui->setupUi(dialogContentWidget());
    setTitle(tr("Preferences"));
    ui->generalSettingsButton->setChecked(true);
    ui->settingsStackedWidget->setCurrentWidget(ui->generalPage);

    for (const HotKeyRow &row : hotKeyRows())
        row.button->setResetValue(keyFromText(row.defaultKey));
    // Return is what the call key falls back to; the hot keys treat Enter and Return alike.
    ui->placeCallShortcutButton->setResetValue(QKeySequence(Qt::Key_Return));

    loadSettings();
    devices.open(ui->microphoneComboBox, ui->speakersComboBox);

    connect(ui->microphoneComboBox, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
        &SettingsDialog::inputDeviceChanged);
    connect(ui->speakersComboBox, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
        &SettingsDialog::outputDeviceChanged);
    if (media)
        connect(media, &talk::MediaEngine::deviceChanged, this, &SettingsDialog::onDeviceChange);
    for (const HotKeyRow &row : hotKeyRows())
        connect(row.button, &ShortcutButton::hotKeyChanged, this, &SettingsDialog::onHotKeyChanged);
    connect(ui->customInternetProxyCheckBox, &QCheckBox::clicked, this,
        &SettingsDialog::onCustomInternetProxyClicked);
    for (QPushButton *tab : { ui->generalSettingsButton, ui->audioSettingsButton, ui->hotKeysButton })
        connect(tab, &QPushButton::clicked, this, &SettingsDialog::onTabButtonClicked);
    connect(
        ui->resetToDefaultsButton, &QPushButton::clicked, this, &SettingsDialog::onResetToDefaultsClicked);
    connect(ui->saveButton, &QPushButton::clicked, this, &SettingsDialog::accept);
    connect(ui->cancelButton, &QPushButton::clicked, this, &SettingsDialog::reject);
}

void SettingsDialog::loadSettings()
{
    if (!settings)
        return;
    ui->autoStartCheckBox->setChecked(settings->autoStart(true));
    ui->minimizeToTrayOnCloseCheckBox->setChecked(settings->minimizeToTrayOnClose(true));
    ui->autoUpdateCheckBox->setChecked(settings->autoUpdate(false));
    ui->skipPinConfirmationCheckBox->setChecked(settings->skipPinSelection(false));
    ui->douleClickToCallCheckBox->setChecked(settings->callStartDblClick(true));
    ui->autoAnswerCheckBox->setChecked(settings->autoAnswerCalls(false));
    ui->customInternetProxyCheckBox->setChecked(settings->customProxy(false));

    ui->muteAllCheckBox->setChecked(settings->muteAllSounds(false));
    ui->noiseSuppresionCheckBox->setChecked(settings->noiseSuppression(true));
    ui->automaticGainControlCheckBox->setChecked(settings->automaticGainControl(true));
    ui->echoCancelationCheckBox->setChecked(settings->echoCancellation(true));

    const QList<HotKeyRow> rows = hotKeyRows();
    const QStringList keys
        = { settings->placeCallHotkey(), settings->cancelCallHotkey(), settings->increaseSpeakerVolHotkey(),
              settings->decreaseSpeakerVolHotkey(), settings->increaseMicVolHotkey(),
              settings->decreaseMicVolHotkey(), settings->showHideGroupsHotkey() };
    const QList<bool> enabled = { settings->placeCallHotkeyEnabled(), settings->cancelCallHotkeyEnabled(),
        settings->increaseSpeakerVolHotkeyEnabled(), settings->decreaseSpeakerVolHotkeyEnabled(),
        settings->increaseMicVolHotkeyEnabled(), settings->decreaseMicVolHotkeyEnabled(),
        settings->showHideGroupsHotkeyEnabled() };
    for (int i = 0; i < rows.size(); ++i) {
        rows[i].enabled->setChecked(enabled.at(i));
        rows[i].button->setKeySequence(keyFromText(keys.at(i)));
    }
}

void SettingsDialog::inputDeviceChanged(int index)
{
    devices.choose(DeviceCombos::Input, index);
}

void SettingsDialog::outputDeviceChanged(int index)
{
    devices.choose(DeviceCombos::Output, index);
}

void SettingsDialog::onDeviceChange()
{
    devices.refresh();
}

void SettingsDialog::onTabButtonClicked()
{
    QWidget *page = nullptr;
    if (sender() == ui->generalSettingsButton)
        page = ui->generalPage;
    else if (sender() == ui->audioSettingsButton)
        page = ui->audioPage;
    else if (sender() == ui->hotKeysButton)
        page = ui->hotKeysPage;
    if (!page)
        return;
    static_cast<QPushButton *>(sender())->setChecked(true);
    ui->settingsStackedWidget->setCurrentWidget(page);
}

void SettingsDialog::onHotKeyChanged(QKeySequence sequence)
{
    auto *changed = qobject_cast<ShortcutButton *>(sender());
    if (!changed || sequence.isEmpty())
        return;
    for (ShortcutButton *other : shortcutButtons()) {
        if (other == changed || other->keySequence() != sequence)
            continue;
        LOG_TRACE << "Hot key already taken:" << sequence.toString(QKeySequence::PortableText);
        QMessageBox::warning(this, tr("Warning"), tr("Selected key is not available!"));
        const QSignalBlocker blocker(changed);
        changed->setKeySequence(changed->previousKeySequence());
        return;
    }
}

void SettingsDialog::onResetToDefaultsClicked()
{
    ui->autoStartCheckBox->setChecked(true);
    ui->minimizeToTrayOnCloseCheckBox->setChecked(true);
    ui->autoUpdateCheckBox->setChecked(true);
    ui->douleClickToCallCheckBox->setChecked(true);
    ui->skipPinConfirmationCheckBox->setChecked(false);
    ui->autoAnswerCheckBox->setChecked(false);
    ui->customInternetProxyCheckBox->setChecked(false);
    ui->muteAllCheckBox->setChecked(false);
    ui->noiseSuppresionCheckBox->setChecked(true);
    ui->automaticGainControlCheckBox->setChecked(true);
    ui->echoCancelationCheckBox->setChecked(true);
    // Set quietly: mid-way two rows may briefly hold the same key.
    for (const HotKeyRow &row : hotKeyRows()) {
        row.enabled->setChecked(true);
        const QSignalBlocker blocker(row.button);
        row.button->setKeySequence(keyFromText(row.defaultKey));
    }
}

void SettingsDialog::onCustomInternetProxyClicked()
{
    if (!settings)
        return;
    if (!ui->customInternetProxyCheckBox->isChecked()) {
        settings->setCustomProxy(false);
        // Back to the system's proxy.
        if (talk)
            talk->setProxySettings(talk::ProxySettings());
        return;
    }
    talk::ProxySettings proxy = settings->proxySettings();
    const bool accepted
        = ProxySettingsDialog::run(proxy, tr("Please provide your proxy settings below."), this);
    const bool valid = accepted && proxy.isValid();
    ui->customInternetProxyCheckBox->setChecked(valid);
    if (!valid)
        return;
    settings->setCustomProxy(true);
    settings->setProxySettings(proxy);
    if (talk)
        talk->setProxySettings(proxy);
}

void SettingsDialog::accept()
{
    if (settings) {
        settings->setAutoStart(ui->autoStartCheckBox->isChecked());
        settings->setMinimizeToTrayOnClose(ui->minimizeToTrayOnCloseCheckBox->isChecked());
        settings->setAutoUpdate(ui->autoUpdateCheckBox->isChecked());
        settings->setSkipPinSelection(ui->skipPinConfirmationCheckBox->isChecked());
        settings->setCallStartDblClick(ui->douleClickToCallCheckBox->isChecked());
        settings->setAutoAnswerCalls(ui->autoAnswerCheckBox->isChecked());

        devices.save();

        settings->setMuteAllSounds(ui->muteAllCheckBox->isChecked());
        settings->setNoiseSuppression(ui->noiseSuppresionCheckBox->isChecked());
        settings->setAutomaticGainControl(ui->automaticGainControlCheckBox->isChecked());
        settings->setEchoCancellation(ui->echoCancelationCheckBox->isChecked());

        settings->setPlaceCallHotkeyEnabled(ui->placeCallCheckBox->isChecked());
        settings->setCancelCallHotkeyEnabled(ui->cancelCallCheckBox->isChecked());
        settings->setIncreaseSpeakerVolHotkeyEnabled(ui->increaseSpeakerVolCheckBox->isChecked());
        settings->setDecreaseSpeakerVolHotkeyEnabled(ui->decreaseSpeakerVolCheckBox->isChecked());
        settings->setIncreaseMicVolHotkeyEnabled(ui->increaseMicVolCheckBox->isChecked());
        settings->setDecreaseMicVolHotkeyEnabled(ui->decreaseMicVolCheckBox->isChecked());
        settings->setShowHideGroupsHotkeyEnabled(ui->showHideGroupsCheckBox->isChecked());

        settings->setPlaceCallHotkey(keyToText(ui->placeCallShortcutButton->keySequence()));
        settings->setCancelCallHotkey(keyToText(ui->cancelCallShortcutButton->keySequence()));
        settings->setIncreaseSpeakerVolHotkey(keyToText(ui->increaseSpeakerVolShortcutButton->keySequence()));
        settings->setDecreaseSpeakerVolHotkey(keyToText(ui->decreaseSpeakerVolShortcutButton->keySequence()));
        settings->setIncreaseMicVolHotkey(keyToText(ui->increaseMicVolShortcutButton->keySequence()));
        settings->setDecreaseMicVolHotkey(keyToText(ui->decreaseMicVolShortcutButton->keySequence()));
        settings->setShowHideGroupsHotkey(keyToText(ui->showHideGroupsShortcutButton->keySequence()));
        LOG_TRACE << "Preferences saved";
    }
    DialogBase::accept();
}

void SettingsDialog::reject()
{
    devices.restore();
    DialogBase::reject();
}
