#pragma once

#include <QPointer>

#include "ui/devicetrial.h"
#include "ui/dialogbase.h"

namespace Ui {
class WelcomeDialogContent;
}
namespace talk {
class MediaEngine;
}
class QTimer;
class Settings;

// "Welcome": lets a new user pick speakers and microphone and try them: Test plays a sound on the
// speakers, and two meters show the speaker's and the microphone's levels while the dialog is open.
class WelcomeDialog : public DialogBase
{
    Q_OBJECT
public:
    // The pages of each device's stacked widget.
    enum Page {
        StartPage = 0,
        SuggestionPage = 1,
        SuccessPage = 2,
    };

    WelcomeDialog(talk::MediaEngine *media, Settings *settings, QWidget *parent = nullptr);
    ~WelcomeDialog() override;

    Ui::WelcomeDialogContent *form() const { return ui; }
    bool levelsRunning() const;
    // Where the test sound is copied to so that the engine can play it.
    static QString testSoundFile();

public slots:
    void accept() override;
    void done(int result) override;
    // Turns the engine's local monitor on and starts the meters.
    void startAudioLevels();
    void stopAudioLevels();

protected:
    void showEvent(QShowEvent *event) override;

private slots:
    void onTestButtonClicked();
    void onInputDeviceIndexChanged(int index);
    void onOutputDeviceIndexChanged(int index);
    void playTestSound();
    void onDeviceChange();
    void onTimeout();
    void onYesClicked();
    void onNoClicked();

private:
    Ui::WelcomeDialogContent *ui;
    QPointer<talk::MediaEngine> media;
    QPointer<Settings> settings;
    // Tried devices are put back unless saved.
    DeviceTrial devices;
    QTimer *levelTimer;
    // Ticks of the level timer since the microphone was chosen; the question comes after a while.
    int micTicks = 0;
};
