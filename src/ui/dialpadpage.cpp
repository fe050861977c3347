#include "ui/dialpadpage.h"
#include "ui_dialpadpage.h"

#include <QDateTime>
#include <QMessageBox>
#include <QStyle>
#include <QTemporaryFile>
#include <QTimer>
#include <QTimerEvent>

#include "contactmanager.h"
#include "history/callhistory.h"
#include "history/history.h"
#include "numbers/numberhistory.h"
#include "phone/phone.h"
#include "rest/contact.h"
#include "settings/settings.h"
#include "talk/call.h"
#include "talk/mediaengine.h"
#include "ui/callswitchdialog.h"
#include "ui/numberedit.h"
#include "util/log.h"

DialPadPage::DialPadPage(QWidget *parent)
    : QWidget(parent), ui(new Ui::DialPadPage), messageTimer(new QTimer(this)),
      callSwitch(new CallSwitchDialog(this))
{
    ui->setupUi(this);
    messageTimer->setSingleShot(true);
    connect(messageTimer, &QTimer::timeout, this, &DialPadPage::onCallEndedTimerRefresh);

    for (QPushButton *key : { ui->num0, ui->num1, ui->num2, ui->num3, ui->num4, ui->num5, ui->num6, ui->num7,
             ui->num8, ui->num9, ui->numStar, ui->numHash }) {
        key->setProperty("_num_button", true);
        connect(key, &QPushButton::clicked, this, &DialPadPage::onDialKeyPressed);
    }
    connect(ui->callHungUpButton, &QPushButton::clicked, this, &DialPadPage::onCallHangupClicked);
    connect(ui->creditButton, &QPushButton::clicked, this, &DialPadPage::onBuyCreditClicked);
    connect(ui->smsButton, &QPushButton::clicked, this, &DialPadPage::smsClicked);
    connect(ui->volDownButton, &QPushButton::clicked, this, &DialPadPage::onVolDownClicked);
    connect(ui->volUpButton, &QPushButton::clicked, this, &DialPadPage::onVolUpClicked);
    connect(ui->muteButton, &QPushButton::clicked, this, &DialPadPage::onMuteClicked);
    connect(ui->volumeSlider, &QSlider::valueChanged, this, &DialPadPage::onVolumeChanged);
    connect(ui->numberEdit, &NumberEdit::returnPressed, this, &DialPadPage::doCall);
    connect(ui->numberEdit, &NumberEdit::saveNumberClicked, this, &DialPadPage::saveNumber);
    connect(callSwitch, &CallSwitchDialog::callCountChanged, this, &DialPadPage::onParallelCallsChanged);

    setCallLook(true);
    updateBalance(Balance());
    showSpeakerVolumePanel();
}

DialPadPage::~DialPadPage()
{
    qDeleteAll(toneFiles);
    delete ui;
}

void DialPadPage::setPhone(Phone *controller)
{
    if (phone)
        disconnect(phone, nullptr, this, nullptr);
    phone = controller;
    ui->numberEdit->setPhone(controller);
    callSwitch->setPhone(controller);
    if (!phone)
        return;
    const auto unique = Qt::UniqueConnection;
    connect(phone, &Phone::connecting, this, &DialPadPage::onCallConnecting, unique);
    connect(phone, &Phone::callStarted, this, &DialPadPage::onCallStarted, unique);
    connect(phone, &Phone::callEnded, this, &DialPadPage::onCallEnded, unique);
    connect(phone, &Phone::callFailed, this, &DialPadPage::onCallFailed, unique);
    connect(phone, &Phone::callHangupIsBusy, this, &DialPadPage::onCallHangupIsBusy, unique);
    connect(phone, &Phone::callHungupDecline, this, &DialPadPage::onCallHangupDecline, unique);
    connect(phone, &Phone::callHangupNotFound, this, &DialPadPage::onCallHangupNotFound, unique);
    connect(phone, &Phone::callHangupTimeout, this, &DialPadPage::onCallHangupTimeout, unique);
    connect(phone, &Phone::callHangupUnreachable, this, &DialPadPage::onCallHangupUnreachable, unique);
    connect(phone, &Phone::incomingCallHangupDecline, this, &DialPadPage::onCallEndedCleanup, unique);
    // Known from the first ring, so that an unanswered call still lands in the history.
    connect(phone, &Phone::incomingCall, this, &DialPadPage::onIncomingCall, unique);
    connect(phone, &Phone::callInstanceDestroyed, this, &DialPadPage::onCallDestroyed, unique);
    connect(phone, &Phone::focusCallChanged, this, &DialPadPage::onFocusCallChanged, unique);
    connect(phone, &Phone::balanceUpdate, this, &DialPadPage::updateBalance, unique);
    connect(this, &DialPadPage::micVolumeChanged, phone, &Phone::onMicVolumeChanged, unique);
    connect(this, &DialPadPage::speakerVolumeChanged, phone, &Phone::onSpeakerVolumeChanged, unique);
    connect(this, &DialPadPage::micMuted, phone, &Phone::onMicMuted, unique);
    connect(this, &DialPadPage::speakerMuted, phone, &Phone::onSpeakerMuted, unique);
}

void DialPadPage::setSettings(Settings *store)
{
    settings = store;
    if (isMicPanel())
        showMicVolumePanel();
    else
        showSpeakerVolumePanel();
}

void DialPadPage::setHistory(History *store)
{
    history = store;
    ui->numberEdit->setNumberHistory(history ? history->numberHistory() : nullptr);
}

void DialPadPage::setContactManager(ContactManager *manager)
{
    contactManager = manager;
    ui->numberEdit->setContactManager(manager);
    callSwitch->setContactManager(manager);
}

void DialPadPage::setPrefixProvider(const PrefixProvider *provider)
{
    ui->numberEdit->setPrefixProvider(provider);
}

NumberEdit *DialPadPage::numberEdit() const
{
    return ui->numberEdit;
}

QString DialPadPage::stateText() const
{
    return ui->callStateLabel->text();
}

bool DialPadPage::offersCall() const
{
    return ui->callHungUpButton->property("_is_call").toBool();
}

bool DialPadPage::isMicPanel() const
{
    return ui->volumePanel->property("_is_mic").toBool();
}

int DialPadPage::volume() const
{
    return ui->volumeSlider->value();
}

QString DialPadPage::formatDuration(qint64 msecs)
{
    const qint64 seconds = qMax<qint64>(0, msecs / 1000);
    return QStringLiteral("%1:%2:%3")
        .arg(seconds / 3600, 2, 10, QLatin1Char('0'))
        .arg((seconds / 60) % 60, 2, 10, QLatin1Char('0'))
        .arg(seconds % 60, 2, 10, QLatin1Char('0'));
}

QString DialPadPage::creditText(const Balance &balance)
{
    if (balance.credit() > 0)
        return QStringLiteral("%1%2").arg(balance.currencySymbol()).arg(balance.credit(), 0, 'f', 2);
    return QStringLiteral("<font color=red><b>BUY</b></font>");
}

bool DialPadPage::inCall() const
{
    return phone && phone->isInCall();
}

void DialPadPage::setCallLook(bool offers)
{
    QPushButton *button = ui->callHungUpButton;
    button->setProperty("_is_call", offers);
    button->setToolTip(offers ? tr("Call") : tr("Hang up"));
    button->setAccessibleName(offers ? tr("Call") : tr("Hang up"));
    button->style()->unpolish(button);
    button->style()->polish(button);
}

void DialPadPage::setHangupButton()
{
    setCallLook(false);
}

void DialPadPage::setCallButton()
{
    setCallLook(true);
}

void DialPadPage::onCallHangupClicked()
{
    if (inCall()) {
        LOG_TRACE << "Hanging up call.";
        setCallButton();
        if (durationTimerId != -1) {
            killTimer(durationTimerId);
            durationTimerId = -1;
        }
        // The idle text first: the end of the call may be reported before hangup() returns.
        showMessage(idleText(), 0);
        phone->hangup();
        return;
    }
    if (!phone) {
        LOG_WARNING << "No phone to call with";
        return;
    }
    const QString typed = ui->numberEdit->text();
    if (!Phone::validateNumber(typed, this))
        return;
    if (balance.credit() < minimumCredit) {
        QMessageBox::critical(this, tr("Error"), tr("You don't have any more credit!<br/>Buy some credit!"));
        return;
    }
    if (!phone->isLoggedIn()) {
        QMessageBox::critical(this, tr("Error"), tr("Could not call!<br/>Connection failed!"));
        return;
    }
    const QString number = Phone::normalizeNumber(typed);
    setHangupButton();
    phone->call(number, false);
    LOG_TRACE << "Calling..." << number;
    if (history)
        history->numberHistory()->addNumber(typed);
    callHistoryEventType = CallHistoryEvent::OutgoingCall;
}

void DialPadPage::doCall()
{
    if (!inCall())
        onCallHangupClicked();
}

void DialPadPage::hangup()
{
    if (inCall())
        onCallHangupClicked();
}

void DialPadPage::setActiveCall(const talk::Call *call)
{
    activeCall = call;
    activeGuard = call;
}

DialPadPage::CallRecord &DialPadPage::recordFor(const talk::Call *call)
{
    auto found = calls.find(call);
    if (found == calls.end()) {
        CallRecord record;
        record.number = Phone::remoteNumber(call);
        record.incoming = call->isIncoming();
        found = calls.insert(call, record);
    }
    return *found;
}

void DialPadPage::onCallConnecting(const talk::Call *call)
{
    if (!call)
        return;
    recordFor(call);
    setActiveCall(call);
    const QString number = Phone::remoteNumber(call);
    const Contact *contact = contactManager ? contactManager->findContactByNumber(number) : nullptr;
    showMessage(tr("Calling %1").arg(contact ? contact->displayName() : number), 0);
    setCallLook(false);
    emit callProgressChanged();
}

void DialPadPage::onIncomingCall(const talk::Call *call)
{
    if (call)
        recordFor(call);
}

void DialPadPage::onCallStarted(const talk::Call *call)
{
    if (!call)
        return;
    CallRecord &record = recordFor(call);
    if (record.started && durationTimerId != -1 && shownCall() == call)
        return;
    if (!record.started) {
        record.started = true;
        record.start = QDateTime::currentMSecsSinceEpoch();
    }
    // An incoming call shows here once it is answered; one that is not answered stays off the pad.
    if (record.incoming && shownCall() != call)
        return;
    setActiveCall(call);
    callStart = record.start;
    showMessage(QStringLiteral("00:00:00"), 0);
    if (durationTimerId != -1)
        killTimer(durationTimerId);
    durationTimerId = startTimer(1000);
    setCallLook(false);
    emit callProgressChanged();
}

void DialPadPage::showAnsweredCall(const talk::Call *call)
{
    if (!call)
        return;
    CallRecord &record = recordFor(call);
    setActiveCall(call);
    callHistoryEventType = CallHistoryEvent::IncomingCall;
    // Answered: the call runs from now (unless the engine already said it did).
    if (!record.started) {
        record.started = true;
        record.start = QDateTime::currentMSecsSinceEpoch();
    }
    callStart = record.start;
    setCallLook(false);
    showMessage(formatDuration(QDateTime::currentMSecsSinceEpoch() - callStart), 0);
    if (durationTimerId == -1)
        durationTimerId = startTimer(1000);
    emit callProgressChanged();
}

void DialPadPage::timerEvent(QTimerEvent *event)
{
    if (event->timerId() != durationTimerId) {
        QWidget::timerEvent(event);
        return;
    }
    const QString text = formatDuration(QDateTime::currentMSecsSinceEpoch() - callStart);
    setStateText(text);
    emit callInfoChanged(text);
}

void DialPadPage::recordInHistory(const talk::Call *call)
{
    auto found = calls.find(call);
    if (found == calls.end() || found->recorded)
        return;
    found->recorded = true;
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    CallHistoryEvent::EventType type = CallHistoryEvent::OutgoingCall;
    if (found->incoming)
        type = found->started ? CallHistoryEvent::IncomingCall : CallHistoryEvent::MissedCall;
    // A call that never connected lasted no time at all.
    const QTime duration
        = found->started ? QTime(0, 0).addSecs(int((now - found->start) / 1000)) : QTime(0, 0);
    if (!history) {
        LOG_WARNING << "No call history to record the call in";
        return;
    }
    LOG_TRACE << "Recording call" << found->number << type << duration.toString(QStringLiteral("HH:mm:ss"));
    history->callHistory()->addEvent(found->number, duration, type);
}

bool DialPadPage::endShownCall(const talk::Call *call)
{
    recordInHistory(call);
    const talk::Call *shown = shownCall();
    // A second end report of the call just ended (rejected, then hung up with its reason) may still
    // say why it ended.
    if (!shown && call && call == lastEndedCall)
        return true;
    if (!shown || shown != call) {
        // Not the call on the pad (an unanswered incoming one, say): its end changes nothing here.
        if (shown)
            return false;
        if (call && call->isIncoming())
            return false;
    }
    if (durationTimerId != -1) {
        killTimer(durationTimerId);
        durationTimerId = -1;
    }
    emit callInfoChanged(QString());
    callEnd = QDateTime::currentMSecsSinceEpoch();
    setCallLook(true);
    lastEndedCall = call;
    setActiveCall(nullptr);
    emit callProgressChanged();
    return true;
}

void DialPadPage::onCallEndedCleanup(const talk::Call *call)
{
    endShownCall(call);
}

void DialPadPage::onCallEnded(const talk::Call *call)
{
    if (endShownCall(call))
        showMessage(tr("call ended"), endMessageDuration);
}

void DialPadPage::onCallHangupIsBusy(const talk::Call *call)
{
    if (endShownCall(call))
        showMessage(tr("Busy"), endMessageDuration);
}

void DialPadPage::onCallHangupDecline(const talk::Call *call)
{
    if (endShownCall(call))
        showMessage(tr("Call Rejected"), endMessageDuration);
}

void DialPadPage::onCallHangupUnreachable(const talk::Call *call)
{
    if (endShownCall(call))
        showMessage(tr("Number unreachable"), endMessageDuration);
}

void DialPadPage::onCallHangupTimeout(const talk::Call *call)
{
    if (endShownCall(call))
        showMessage(tr("Timeout"), endMessageDuration);
}

void DialPadPage::onCallFailed(const talk::Call *call)
{
    if (!endShownCall(call))
        return;
    showMessage(idleText(), 0);
    QMessageBox::warning(
        this, tr("Call Failed"), tr("The number you have dialed is not valid. Please try again."));
}

void DialPadPage::onCallHangupNotFound(const talk::Call *call)
{
    if (!endShownCall(call))
        return;
    showMessage(idleText(), 0);
    QMessageBox::warning(this, tr("Call Failed"), tr("Number is not in service"));
}

void DialPadPage::onCallDestroyed(const talk::Call *call)
{
    endShownCall(call);
    calls.remove(call);
    if (lastEndedCall == call)
        lastEndedCall = nullptr;
}

void DialPadPage::onCallEndedTimerRefresh()
{
    setStateText(idleText());
}

void DialPadPage::onParallelCallsChanged(int count)
{
    if (count > 1) {
        callSwitch->show();
        callSwitch->raise();
    } else {
        callSwitch->hide();
    }
}

void DialPadPage::onFocusCallChanged(const talk::Call *call)
{
    // Between parallel calls the pad shows the one being talked on; a call that has not begun (or
    // a pad showing no call) is left alone.
    const auto found = calls.constFind(call);
    if (!call || found == calls.constEnd() || !found->started || !shownCall() || shownCall() == call)
        return;
    setActiveCall(call);
    callStart = found->start;
    if (durationTimerId == -1)
        durationTimerId = startTimer(1000);
    const QString text = formatDuration(QDateTime::currentMSecsSinceEpoch() - callStart);
    showMessage(text, 0);
    emit callInfoChanged(text);
    emit callProgressChanged();
}

void DialPadPage::setStateText(const QString &text)
{
    if (ui->callStateLabel->text() == text)
        return;
    ui->callStateLabel->setText(text);
    emit stateTextChanged(text);
}

void DialPadPage::showMessage(const QString &message, int duration)
{
    messageTimer->stop();
    setStateText(message);
    if (duration != 0)
        messageTimer->start(duration);
}

void DialPadPage::showMessage(const QString &message)
{
    showMessage(message, 0);
}

void DialPadPage::updateBalance(const Balance &value)
{
    balance = value;
    ui->creditButton->setText(creditText(value));
    ui->creditButton->setToolTip(value.credit() > 0 ? tr("Your credit") : tr("Click to buy credit"));
    ui->creditButton->setAccessibleName(
        value.credit() > 0 ? tr("Credit %1").arg(creditText(value)) : tr("Buy credit"));
}

void DialPadPage::onBuyCreditClicked()
{
    emit buyCreditClicked();
}

void DialPadPage::setCallHistoryEventType(CallHistoryEvent::EventType eventType)
{
    callHistoryEventType = eventType;
}

void DialPadPage::showSpeakerVolumePanel()
{
    ui->volumePanel->show();
    ui->volumePanel->setProperty("_is_mic", false);
    ui->volumePanel->style()->unpolish(ui->volumePanel);
    ui->volumePanel->style()->polish(ui->volumePanel);
    ui->muteButton->style()->unpolish(ui->muteButton);
    ui->muteButton->style()->polish(ui->muteButton);
    const QSignalBlocker blocker(ui->volumeSlider);
    ui->volumeSlider->setValue(settings ? int(settings->audioOutputVolume()) : 25);
    ui->volumePanel->setAccessibleName(tr("Speaker volume"));
}

void DialPadPage::showMicVolumePanel()
{
    ui->volumePanel->show();
    ui->volumePanel->setProperty("_is_mic", true);
    ui->volumePanel->style()->unpolish(ui->volumePanel);
    ui->volumePanel->style()->polish(ui->volumePanel);
    ui->muteButton->style()->unpolish(ui->muteButton);
    ui->muteButton->style()->polish(ui->muteButton);
    const QSignalBlocker blocker(ui->volumeSlider);
    ui->volumeSlider->setValue(settings ? int(settings->audioInputVolume()) : 25);
    ui->volumePanel->setAccessibleName(tr("Microphone volume"));
}

void DialPadPage::hideVolumePanel()
{
    ui->volumePanel->hide();
}

void DialPadPage::stepVolume(int steps)
{
    QSlider *slider = ui->volumeSlider;
    slider->setValue(
        qBound(slider->minimum(), slider->value() + steps * slider->pageStep(), slider->maximum()));
}

void DialPadPage::onVolDownClicked()
{
    stepVolume(-1);
}

void DialPadPage::onVolUpClicked()
{
    stepVolume(1);
}

void DialPadPage::onVolumeChanged(int value)
{
    LOG_TRACE << "Volume changed:" << value;
    if (value > ui->volumeSlider->minimum() && ui->muteButton->isChecked())
        ui->muteButton->setChecked(false);
    if (isMicPanel()) {
        if (settings)
            settings->setAudioInputVolume(uint(value));
        emit micVolumeChanged(value);
    } else {
        if (settings)
            settings->setAudioOutputVolume(uint(value));
        emit speakerVolumeChanged(value);
    }
}

void DialPadPage::onMuteClicked(bool checked)
{
    LOG_TRACE << "Mute clicked:" << checked;
    const bool mic = isMicPanel();
    {
        const QSignalBlocker blocker(ui->volumeSlider);
        if (checked)
            ui->volumeSlider->setValue(ui->volumeSlider->minimum());
        else if (settings)
            ui->volumeSlider->setValue(
                int(mic ? settings->audioInputVolume() : settings->audioOutputVolume()));
    }
    if (mic)
        emit micMuted(checked);
    else
        emit speakerMuted(checked);
}

void DialPadPage::onDialKeyPressed()
{
    auto *key = qobject_cast<QPushButton *>(sender());
    if (!key || key->text().isEmpty())
        return;
    const QString text = key->text();
    if (inCall()) {
        talk::Call *call = phone->currentCall();
        // The engine may report a call before one has the focus: no tone to send then.
        if (call) {
            LOG_TRACE << "Calling key:" << text.left(1);
            call->sendDTMF(text.at(0));
        }
        return;
    }
    ui->numberEdit->setText(ui->numberEdit->text() + text);
    playKeyTone(text);
}

void DialPadPage::playKeyTone(const QString &key)
{
    talk::MediaEngine *engine = phone ? phone->mediaEngine() : nullptr;
    if (!engine || (settings && settings->muteAllSounds()))
        return;
    QTemporaryFile *file = toneFiles.value(key);
    if (!file) {
        file = QTemporaryFile::createNativeFile(QStringLiteral(":/sounds/dialup-") + key);
        if (!file) {
            LOG_WARNING << "No key tone for" << key;
            return;
        }
        toneFiles.insert(key, file);
    }
    engine->playFile(file->fileName());
}

void DialPadPage::clearNumber()
{
    ui->numberEdit->clearNumber();
}

void DialPadPage::reset()
{
    clearNumber();
    if (durationTimerId != -1) {
        killTimer(durationTimerId);
        durationTimerId = -1;
    }
    setActiveCall(nullptr);
    lastEndedCall = nullptr;
    calls.clear();
    updateBalance(Balance());
    setCallLook(true);
    showMessage(idleText(), 0);
    emit callInfoChanged(QString());
}

QString DialPadPage::creditButtonText() const
{
    return ui->creditButton->text();
}
