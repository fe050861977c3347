#include "voicemailpage.h"
#include "ui_voicemailpage.h"

#include <QDesktopServices>
#include <QMenu>

#include "homeurls.h"
#include "phone/phone.h"
#include "ui/voicemailitemdelegate.h"
#include "ui/voicemailmodel.h"
#include "util/log.h"

VoicemailPage::VoicemailPage(QWidget *parent)
    : QWidget(parent)
    , ui(new Ui::VoicemailPage)
    , voicemails(new VoicemailModel(this))
    , proxy(new HistoryFilterModel(this))
    , menu(new QMenu(this))
{
    ui->setupUi(this);
    proxy->setSourceModel(voicemails);
    ui->voicemailListView->setModel(proxy);
    ui->voicemailListView->setItemDelegate(new VoicemailItemDelegate(this));
    ui->voicemailListView->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(ui->voicemailListView, &QListView::clicked, this, &VoicemailPage::onItemClicked);
    connect(ui->voicemailListView, &QWidget::customContextMenuRequested, this,
        &VoicemailPage::onContextMenuRequested);
    connect(ui->playbackSlider, &QSlider::sliderMoved, this, &VoicemailPage::onPlaybackSliderMoved);
    connect(ui->configureVoicemailButton, &QPushButton::clicked, this,
        &VoicemailPage::onConfigureVoicemailClicked);
    connect(ui->muteButton, &QPushButton::toggled, this, &VoicemailPage::onMuteToggled);
    connect(ui->volDownButton, &QPushButton::clicked, this,
        [this]() { ui->volumeSlider->setValue(ui->volumeSlider->value() - volumeStep); });
    connect(ui->volUpButton, &QPushButton::clicked, this,
        [this]() { ui->volumeSlider->setValue(ui->volumeSlider->value() + volumeStep); });

    playbackTimer.setInterval(playbackTick);
    connect(&playbackTimer, &QTimer::timeout, this, &VoicemailPage::onPlaybackTimerTimeout);

    const struct {
        QString text;
        void (VoicemailPage::*slot)();
    } actions[] = {
        { tr("Pause"), &VoicemailPage::onPauseTriggered },
        { tr("Play"), &VoicemailPage::onPlayTriggered },
        { tr("Play from start"), &VoicemailPage::onPlayFromStartTriggered },
        { tr("Play Previous Voicemail"), &VoicemailPage::onPlayPrevTriggered },
        { tr("Play Next Voicemail"), &VoicemailPage::onPlayNextTriggered },
        { tr("Add Contact"), &VoicemailPage::onAddContactTriggered },
        { tr("Call back"), &VoicemailPage::onCallBackTriggered },
        { tr("Delete"), &VoicemailPage::onDeleteTriggered },
    };
    for (const auto &action : actions)
        connect(menu->addAction(action.text), &QAction::triggered, this, action.slot);

    showPlayback();
}

VoicemailPage::~VoicemailPage()
{
    delete ui;
}

void VoicemailPage::setPhone(Phone *controller)
{
    if (phone)
        disconnect(phone, nullptr, this, nullptr);
    phone = controller;
    if (!phone)
        return;
    connect(phone, &Phone::loginSuccessful, this, &VoicemailPage::onLoginSuccedeed, Qt::UniqueConnection);
    connect(phone, &Phone::logoutSuccessful, voicemails, &VoicemailModel::clear, Qt::UniqueConnection);
}

void VoicemailPage::setHomeUrls(const HomeUrls *urls)
{
    homeUrls = urls;
}

QString VoicemailPage::playedText(qint64 msecs)
{
    return QTime(0, 0).addMSecs(int(qMax<qint64>(0, msecs))).toString(QStringLiteral("mm:ss"));
}

QString VoicemailPage::leftText(qint64 msecs)
{
    return QLatin1Char('-') + playedText(msecs);
}

QString VoicemailPage::playedTimeText() const
{
    return ui->playedTimeLabel->text();
}

QString VoicemailPage::leftTimeText() const
{
    return ui->leftPlabackTimeLabel->text();
}

void VoicemailPage::setCurrentRow(int row)
{
    ui->voicemailListView->setCurrentIndex(proxy->index(row, 0));
}

void VoicemailPage::setVoicemailHistoryFilter(HistoryFilter filter)
{
    setVoicemailHistoryFilter(int(filter));
}

void VoicemailPage::setVoicemailHistoryFilter(int filter)
{
    proxy->setFilterMode(filter);
    proxy->sort(0, Qt::DescendingOrder);
}

void VoicemailPage::onLoginSuccedeed()
{
    proxy->sort(0, Qt::DescendingOrder);
}

qint64 VoicemailPage::currentLength() const
{
    const QModelIndex current = ui->voicemailListView->currentIndex();
    const QTime length = current.data(VoicemailModel::LengthRole).toTime();
    return length.isValid() ? QTime(0, 0).msecsTo(length) : 0;
}

qint64 VoicemailPage::playedNow() const
{
    return playedMsecs + (playbackTimer.isActive() ? sincePlay.elapsed() : 0);
}

void VoicemailPage::showPlayback()
{
    const qint64 length = currentLength();
    const qint64 played = qMin(playedNow(), length);
    ui->playedTimeLabel->setText(playedText(played));
    ui->leftPlabackTimeLabel->setText(leftText(length - played));
    ui->playbackSlider->setMaximum(int(length / 1000));
    ui->playbackSlider->setValue(int(played / 1000));
}

void VoicemailPage::onPlaybackTimerTimeout()
{
    if (playedNow() >= currentLength()) {
        playedMsecs = currentLength();
        playbackTimer.stop();
    }
    showPlayback();
}

void VoicemailPage::onContextMenuRequested(const QPoint &position)
{
    const QModelIndex index = ui->voicemailListView->indexAt(position);
    if (!index.isValid())
        return;
    ui->voicemailListView->setCurrentIndex(index);
    menu->popup(ui->voicemailListView->viewport()->mapToGlobal(position));
}

void VoicemailPage::onPauseTriggered()
{
    if (!playbackTimer.isActive())
        return;
    playedMsecs += sincePlay.elapsed();
    playbackTimer.stop();
    showPlayback();
}

void VoicemailPage::onPlayFromStartTriggered()
{
    if (!ui->voicemailListView->currentIndex().isValid())
        return;
    playedMsecs = 0;
    sincePlay.start();
    playbackTimer.start();
    showPlayback();
}

void VoicemailPage::onConfigureVoicemailClicked()
{
    const QUrl url = (homeUrls ? *homeUrls : HomeUrls::instance()).enableVoiceMailURL;
    LOG_TRACE << "Configuring voicemail on" << url.toString();
    QDesktopServices::openUrl(url);
}

void VoicemailPage::onMuteToggled(bool muted)
{
    ui->volumeSlider->setEnabled(!muted);
    ui->volDownButton->setEnabled(!muted);
    ui->volUpButton->setEnabled(!muted);
}

// Not there until the service delivers voicemail messages.

void VoicemailPage::onItemClicked(const QModelIndex &index)
{
    Q_UNUSED(index)
    LOG_NOTIMPL << "onItemClicked";
}

void VoicemailPage::onPlaybackSliderMoved(int position)
{
    Q_UNUSED(position)
    LOG_NOTIMPL << "onPlaybackSliderMoved";
}

void VoicemailPage::onPlayTriggered()
{
    LOG_NOTIMPL << "onPlayTriggered";
}

void VoicemailPage::onPlayPrevTriggered()
{
    LOG_NOTIMPL << "onPlayPrevTriggered";
}

void VoicemailPage::onPlayNextTriggered()
{
    LOG_NOTIMPL << "onPlayNextTriggered";
}

void VoicemailPage::onAddContactTriggered()
{
    LOG_NOTIMPL << "onAddContactTriggered";
}

void VoicemailPage::onCallBackTriggered()
{
    LOG_NOTIMPL << "onCallBackTriggered";
}

void VoicemailPage::onDeleteTriggered()
{
    LOG_NOTIMPL << "onDeleteTriggered";
}
