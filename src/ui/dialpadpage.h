#pragma once

#include <QHash>
#include <QPointer>
#include <QWidget>

#include "history/callhistoryevent.h"
#include "rest/balance.h"

namespace Ui {
class DialPadPage;
}
namespace talk {
class Call;
}
class CallSwitchDialog;
class ContactManager;
class History;
class NumberEdit;
class Phone;
class PrefixProvider;
class QTemporaryFile;
class QTimer;
class Settings;

// The dial pad: number entry, keypad with key tones (keypad tones go to the call as DTMF while one
// runs), the call / hang-up button, the call state line with the running duration, the volume and
// mute panel and the credit button. Every call it sees ends up once in the call history.
class DialPadPage : public QWidget
{
    Q_OBJECT
public:
    explicit DialPadPage(QWidget *parent = nullptr);
    ~DialPadPage() override;

    void setPhone(Phone *phone);
    void setSettings(Settings *settings);
    void setHistory(History *history);
    void setContactManager(ContactManager *manager);
    void setPrefixProvider(const PrefixProvider *provider);

    NumberEdit *numberEdit() const;
    QString stateText() const;
    QString creditButtonText() const;
    bool offersCall() const;
    bool isMicPanel() const;
    int volume() const;
    // The call the page shows (placed here or answered), or null.
    const talk::Call *shownCall() const { return activeGuard ? activeCall : nullptr; }
    // Lists the calls while more than one runs, to switch between them.
    CallSwitchDialog *callSwitchDialog() const { return callSwitch; }

    static QString idleText() { return tr("Enter Phone Number"); }
    // "hh:mm:ss" of a duration in milliseconds.
    static QString formatDuration(qint64 msecs);
    // The credit as the credit button shows it.
    static QString creditText(const Balance &balance);
    static constexpr double minimumCredit = 0.0001;
    static constexpr int endMessageDuration = 5000;

public slots:
    void showSpeakerVolumePanel();
    void showMicVolumePanel();
    void hideVolumePanel();
    void stepVolume(int steps);
    void clearNumber();
    void setHangupButton();
    void setCallButton();
    void doCall();
    void hangup();
    void updateBalance(const Balance &balance);
    void setCallHistoryEventType(CallHistoryEvent::EventType eventType);
    // An incoming call the user answered: shown here from now on.
    void showAnsweredCall(const talk::Call *call);
    // Forgets the state of a signed-in session.
    void reset();

signals:
    void saveNumber(QString number);
    void speakerVolumeChanged(int volume);
    void micVolumeChanged(int volume);
    void speakerMuted(bool muted);
    void micMuted(bool muted);
    void smsClicked();
    void buyCreditClicked();
    void callProgressChanged();
    void callInfoChanged(QString info);
    void stateTextChanged(QString text);

protected:
    void timerEvent(QTimerEvent *event) override;

private slots:
    void onCallHangupClicked();
    void onCallConnecting(const talk::Call *call);
    void onIncomingCall(const talk::Call *call);
    void onCallStarted(const talk::Call *call);
    void onCallEnded(const talk::Call *call);
    void onCallEndedCleanup(const talk::Call *call);
    void onCallFailed(const talk::Call *call);
    void onCallHangupIsBusy(const talk::Call *call);
    void onCallHangupDecline(const talk::Call *call);
    void onCallHangupNotFound(const talk::Call *call);
    void onCallHangupUnreachable(const talk::Call *call);
    void onCallHangupTimeout(const talk::Call *call);
    void onCallDestroyed(const talk::Call *call);
    void onVolDownClicked();
    void onVolUpClicked();
    void onMuteClicked(bool checked);
    void onVolumeChanged(int value);
    void onDialKeyPressed();
    void onBuyCreditClicked();
    void onCallEndedTimerRefresh();
    void onParallelCallsChanged(int count);
    void onFocusCallChanged(const talk::Call *call);
    void showMessage(const QString &message, int duration);
    void showMessage(const QString &message);

private:
    struct CallRecord
    {
        QString number;
        bool incoming = false;
        bool started = false;
        bool recorded = false;
        qint64 start = 0;
    };

    CallRecord &recordFor(const talk::Call *call);
    void setActiveCall(const talk::Call *call);
    void setStateText(const QString &text);
    void recordInHistory(const talk::Call *call);
    // End handling shared by the end handlers; false when the call is not the one shown here.
    bool endShownCall(const talk::Call *call);
    void setCallLook(bool offersCall);
    void playKeyTone(const QString &key);
    bool inCall() const;

    Ui::DialPadPage *ui;
    QPointer<Phone> phone;
    QPointer<Settings> settings;
    QPointer<History> history;
    QPointer<ContactManager> contactManager;
    int durationTimerId = -1;
    qint64 callStart = 0;
    qint64 callEnd = 0;
    CallHistoryEvent::EventType callHistoryEventType = CallHistoryEvent::OutgoingCall;
    QTimer *messageTimer;
    CallSwitchDialog *callSwitch;
    Balance balance;
    // The call shown; the guard turns null when the engine deletes it.
    const talk::Call *activeCall = nullptr;
    QPointer<const QObject> activeGuard;
    // Compared by address only, never used: the call whose end the state line shows.
    const talk::Call *lastEndedCall = nullptr;
    QHash<const talk::Call *, CallRecord> calls;
    QHash<QString, QTemporaryFile *> toneFiles;
};
