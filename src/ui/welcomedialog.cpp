#include "ui/welcomedialog.h"
#include "ui_welcomedialog.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTimer>

#include "settings/settings.h"
#include "talk/mediaengine.h"
#include "ui/devicecombos.h"
#include "util/log.h"

namespace {

const char testSoundResource[] = ":/sounds/ring1.wav";
const int levelIntervalMs = 100;
// The microphone question comes once the meter has moved, or after three seconds of silence.
const int micHeardLevel = 10;
const int micQuestionTicks = 30;

} // namespace

WelcomeDialog::WelcomeDialog(talk::MediaEngine *media, Settings *settings, QWidget *parent)
    : DialogBase(parent)
    , ui(new Ui::WelcomeDialogContent)
    , media(media)
    , settings(settings)
    , devices(media, settings)
    , levelTimer(new QTimer(this))
{
    ui->setupUi(dialogContentWidget());
    setTitle(tr("Welcome"));
    ui->speakerSuggestionLabel->hide();
    ui->micSuggestionLabel->hide();
    ui->showOnStartupCheckBox->setChecked(settings ? settings->showWelcome(true) : true);

    devices.open(ui->microphoneDeviceCombo, ui->speakerDeviceCombo);

    levelTimer->setInterval(levelIntervalMs);
    connect(levelTimer, &QTimer::timeout, this, &WelcomeDialog::onTimeout);
    connect(ui->testButton, &QPushButton::clicked, this, &WelcomeDialog::onTestButtonClicked);
    connect(ui->speakerDeviceCombo, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
        &WelcomeDialog::onOutputDeviceIndexChanged);
    connect(ui->microphoneDeviceCombo, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
        &WelcomeDialog::onInputDeviceIndexChanged);
    for (QPushButton *button : { ui->speakerYesButton, ui->micYesButton })
        connect(button, &QPushButton::clicked, this, &WelcomeDialog::onYesClicked);
    for (QPushButton *button : { ui->speakerNoButton, ui->micNoButton })
        connect(button, &QPushButton::clicked, this, &WelcomeDialog::onNoClicked);
    connect(ui->saveButton, &QPushButton::clicked, this, &WelcomeDialog::accept);
    if (media)
        connect(media, &talk::MediaEngine::deviceChanged, this, &WelcomeDialog::onDeviceChange);
    ui->saveButton->setDefault(true);
}

WelcomeDialog::~WelcomeDialog()
{
    stopAudioLevels();
    delete ui;
}

bool WelcomeDialog::levelsRunning() const
{
    return levelTimer->isActive();
}

QString WelcomeDialog::testSoundFile()
{
    return QStandardPaths::writableLocation(QStandardPaths::CacheLocation) + QStringLiteral("/ring1.wav");
}

void WelcomeDialog::showEvent(QShowEvent *event)
{
    DialogBase::showEvent(event);
    if (!levelsRunning())
        startAudioLevels();
}

void WelcomeDialog::startAudioLevels()
{
    if (!media || !media->setLocalMonitor(true))
        LOG_WARNING << "MediaEngine: unable to activate audio level monitor.";
    micTicks = 0;
    levelTimer->start();
}

void WelcomeDialog::stopAudioLevels()
{
    if (!levelTimer->isActive())
        return;
    levelTimer->stop();
    if (!media || !media->setLocalMonitor(false))
        LOG_WARNING << "MediaEngine: unable to deactivate audio level monitor.";
    ui->micProgressBar->setValue(0);
    ui->speakerProgressBar->setValue(0);
}

void WelcomeDialog::onTimeout()
{
    const int input = media ? media->inputLevel() : -1;
    const int output = media ? media->playbackLevel() : -1;
    ui->micProgressBar->setValue(qBound(0, input, 100));
    ui->speakerProgressBar->setValue(qBound(0, output, 100));
    ++micTicks;
    if (ui->micStackedWidget->currentIndex() == StartPage
        && (input >= micHeardLevel || micTicks >= micQuestionTicks))
        ui->micStackedWidget->setCurrentIndex(SuggestionPage);
}

void WelcomeDialog::onTestButtonClicked()
{
    playTestSound();
    ui->speakerSuggestionLabel->hide();
    ui->speakerStackedWidget->setCurrentIndex(SuggestionPage);
}

void WelcomeDialog::playTestSound()
{
    const QString file = testSoundFile();
    QFile resource(QString::fromLatin1(testSoundResource));
    if (!resource.exists()) {
        LOG_ERROR << "resource does not exist!" << testSoundResource;
        return;
    }
    const QFileInfo copy(file);
    if (copy.exists() && copy.size() == resource.size()) {
        LOG_TRACE << "File for ring.wav already exists!" << file;
    } else {
        // A stale or foreign file of that name is replaced.
        QFile::remove(file);
        QDir().mkpath(copy.absolutePath());
        if (!resource.copy(file)) {
            LOG_ERROR << "Unable to copy the test sound to" << file << resource.errorString();
            return;
        }
    }
    setError(QString());
    if (!media) {
        LOG_ERROR << "Mediaengine was unable to play" << file << "(no media engine)";
        setError(tr("The test sound could not be played."));
        return;
    }
    media->setSpeakerVolume(int(settings ? settings->audioOutputVolume(25) : 25));
    if (!media->playFile(file)) {
        LOG_ERROR << "Mediaengine was unable to play" << file;
        setError(tr("The test sound could not be played."));
    }
}

void WelcomeDialog::onOutputDeviceIndexChanged(int index)
{
    if (!devices.choose(DeviceCombos::Output, index))
        return;
    ui->speakerStackedWidget->setCurrentIndex(StartPage);
}

void WelcomeDialog::onInputDeviceIndexChanged(int index)
{
    if (!devices.choose(DeviceCombos::Input, index))
        return;
    ui->micStackedWidget->setCurrentIndex(StartPage);
    ui->micSuggestionLabel->hide();
    micTicks = 0;
}

void WelcomeDialog::onDeviceChange()
{
    devices.refresh();
}

void WelcomeDialog::onYesClicked()
{
    if (sender() == ui->speakerYesButton)
        ui->speakerStackedWidget->setCurrentIndex(SuccessPage);
    else if (sender() == ui->micYesButton)
        ui->micStackedWidget->setCurrentIndex(SuccessPage);
}

void WelcomeDialog::onNoClicked()
{
    if (sender() == ui->speakerNoButton)
        ui->speakerSuggestionLabel->show();
    else if (sender() == ui->micNoButton)
        ui->micSuggestionLabel->show();
}

void WelcomeDialog::accept()
{
    stopAudioLevels();
    if (settings)
        settings->setShowWelcome(ui->showOnStartupCheckBox->isChecked());
    devices.save();
    DialogBase::accept();
}

void WelcomeDialog::done(int result)
{
    // However the dialog ends, the monitor and the test sound must not outlive it.
    stopAudioLevels();
    if (media && media->isPlaying())
        media->stopPlaying();
    if (result != QDialog::Accepted)
        devices.restore();
    DialogBase::done(result);
}
