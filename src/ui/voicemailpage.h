#pragma once

#include <QElapsedTimer>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include "history/historyfiltermodel.h"

namespace Ui {
class VoicemailPage;
}
struct HomeUrls;
class Phone;
class QMenu;
class QModelIndex;
class VoicemailModel;

// The voicemail messages with a small player. The service does not deliver messages yet, so most of
// the actions only say that they are not there.
class VoicemailPage : public QWidget
{
    Q_OBJECT
public:
    using HistoryFilter = HistoryFilterModel::FilterMode;

    static constexpr int playbackTick = 1000;
    static constexpr int volumeStep = 10;

    explicit VoicemailPage(QWidget *parent = nullptr);
    ~VoicemailPage() override;

    void setPhone(Phone *phone);
    void setHomeUrls(const HomeUrls *urls);
    VoicemailModel *model() const { return voicemails; }
    HistoryFilterModel *proxyModel() const { return proxy; }
    QMenu *contextMenu() const { return menu; }

    QString playedTimeText() const;
    QString leftTimeText() const;
    bool isPlaying() const { return playbackTimer.isActive(); }
    // Selects a row of the filtered list.
    void setCurrentRow(int row);

    // "mm:ss" and "-mm:ss" of a count of milliseconds.
    static QString playedText(qint64 msecs);
    static QString leftText(qint64 msecs);

public slots:
    void setVoicemailHistoryFilter(HistoryFilter filter);
    void setVoicemailHistoryFilter(int filter);

private slots:
    void onLoginSuccedeed();
    void onItemClicked(const QModelIndex &index);
    void onPlaybackTimerTimeout();
    void onContextMenuRequested(const QPoint &position);
    void onPlaybackSliderMoved(int position);
    void onPauseTriggered();
    void onPlayTriggered();
    void onPlayFromStartTriggered();
    void onPlayPrevTriggered();
    void onPlayNextTriggered();
    void onAddContactTriggered();
    void onCallBackTriggered();
    void onDeleteTriggered();
    void onConfigureVoicemailClicked();
    void onMuteToggled(bool muted);

private:
    qint64 currentLength() const;
    qint64 playedNow() const;
    void showPlayback();

    Ui::VoicemailPage *ui;
    VoicemailModel *voicemails;
    HistoryFilterModel *proxy;
    QMenu *menu;
    QPointer<Phone> phone;
    const HomeUrls *homeUrls = nullptr;
    QTimer playbackTimer;
    QElapsedTimer sincePlay;
    qint64 playedMsecs = 0;
};
