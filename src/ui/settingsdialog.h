#pragma once

#include <QKeySequence>
#include <QList>
#include <QPointer>

#include "ui/devicetrial.h"
#include "ui/dialogbase.h"

namespace Ui {
class SettingsDialogContent;
}
namespace talk {
class MediaEngine;
class VeskTalk;
} // namespace talk
class QCheckBox;
class Settings;
class ShortcutButton;

// "Preferences": general options, audio devices and processing, hot keys and the custom proxy.
// Devices are handed to the media engine as soon as they are chosen (so they can be tried); Save
// stores everything, Cancel puts the devices in use before back.
class SettingsDialog : public DialogBase
{
    Q_OBJECT
public:
    // One hot-key row: its settings keys' stem and default key.
    struct HotKeyRow
    {
        QCheckBox *enabled;
        ShortcutButton *button;
        QString defaultKey;
    };

    SettingsDialog(talk::VeskTalk *talk, Settings *settings, QWidget *parent = nullptr);
    // Without a talk connection: devices of this media engine, proxy only stored.
    SettingsDialog(talk::MediaEngine *media, Settings *settings, QWidget *parent = nullptr);
    ~SettingsDialog() override;

    // The hot-key defaults, in row order.
    static QStringList defaultHotKeys();

    Ui::SettingsDialogContent *form() const { return ui; }
    QList<ShortcutButton *> shortcutButtons() const;

public slots:
    void accept() override;
    void reject() override;

private slots:
    void inputDeviceChanged(int index);
    void outputDeviceChanged(int index);
    void onDeviceChange();
    void onTabButtonClicked();
    void onHotKeyChanged(QKeySequence sequence);
    void onResetToDefaultsClicked();
    void onCustomInternetProxyClicked();

private:
    void setUp();
    void loadSettings();
    QList<HotKeyRow> hotKeyRows() const;

    Ui::SettingsDialogContent *ui;
    QPointer<talk::VeskTalk> talk;
    QPointer<talk::MediaEngine> media;
    QPointer<Settings> settings;
    // Tried devices are put back on Cancel.
    DeviceTrial devices;
};
