#include "smspage.h"
#include "ui_smspage.h"

#include <QEvent>
#include <QMessageBox>

#include "history/history.h"
#include "numbers/numberhistory.h"
#include "phone/phone.h"
#include "ui/numberedit.h"
#include "util/log.h"

namespace {

const QString sendingFrames[] = {
    QStringLiteral("Sending SMS    "),
    QStringLiteral("Sending SMS .  "),
    QStringLiteral("Sending SMS .. "),
    QStringLiteral("Sending SMS ..."),
};

} // namespace

SMSPage::SMSPage(QWidget *parent)
    : QWidget(parent)
    , ui(new Ui::SMSPage)
{
    ui->setupUi(this);

    // The placeholder lies over the text edit instead of taking a place in the layout.
    ui->placeHolderLabel->parentWidget()->layout()->removeWidget(ui->placeHolderLabel);
    ui->placeHolderLabel->setParent(ui->smsTextEdit);
    ui->placeHolderLabel->setAttribute(Qt::WA_TransparentForMouseEvents);
    ui->smsTextEdit->installEventFilter(this);

    animationTimer.setInterval(animationInterval);
    sendTimeoutTimer.setInterval(sendTimeout);
    sendTimeoutTimer.setSingleShot(true);
    connect(&animationTimer, &QTimer::timeout, this, &SMSPage::updateSmsStateLabel);
    connect(&sendTimeoutTimer, &QTimer::timeout, this, &SMSPage::smsMessageReset);

    connect(ui->smsTextEdit, &QTextEdit::textChanged, this, &SMSPage::updateSMSCounter);
    connect(ui->numberEdit, &NumberEdit::numberChanged, this, &SMSPage::onNumberChanged);
    connect(ui->numberEdit, &NumberEdit::saveNumberClicked, this, &SMSPage::saveNumber);
    connect(ui->sendSMSButton, &QPushButton::clicked, this, &SMSPage::doSendSms);

    ui->smsStateLabel->setText(tr("Enter SMS Number"));
    updateSMSCounter();
    updatePlaceholder();
}

SMSPage::~SMSPage()
{
    delete ui;
}

void SMSPage::setPhone(Phone *controller)
{
    if (phone)
        disconnect(phone, nullptr, this, nullptr);
    phone = controller;
    ui->numberEdit->setPhone(controller);
    if (!phone)
        return;
    connect(phone, &Phone::successSendingSMS, this, &SMSPage::onSuccessSentSms, Qt::UniqueConnection);
    connect(phone, &Phone::errorSendingSMS, this, &SMSPage::onErrorSendingSms, Qt::UniqueConnection);
}

void SMSPage::setHistory(History *history)
{
    setNumberHistory(history ? history->numberHistory() : nullptr);
}

void SMSPage::setNumberHistory(NumberHistory *history)
{
    ui->numberEdit->setNumberHistory(history);
}

void SMSPage::setContactManager(const ContactManager *manager)
{
    ui->numberEdit->setContactManager(manager);
}

void SMSPage::setPrefixProvider(const PrefixProvider *provider)
{
    ui->numberEdit->setPrefixProvider(provider);
}

void SMSPage::setNumber(const QString &number)
{
    ui->numberEdit->setText(number);
}

QString SMSPage::number() const
{
    return ui->numberEdit->text();
}

void SMSPage::setText(const QString &text)
{
    ui->smsTextEdit->setPlainText(text);
    updatePlaceholder();
}

QString SMSPage::text() const
{
    return ui->smsTextEdit->toPlainText();
}

QString SMSPage::stateText() const
{
    return ui->smsStateLabel->text();
}

QString SMSPage::counterText() const
{
    return ui->smsCounterLabel->text();
}

bool SMSPage::isPlaceholderShown() const
{
    return ui->placeHolderLabel->isVisibleTo(ui->smsTextEdit);
}

bool SMSPage::isSending() const
{
    return sending;
}

NumberEdit *SMSPage::numberEdit() const
{
    return ui->numberEdit;
}

SMSPage::Counter SMSPage::countFor(int length)
{
    Counter counter { (length / smsPartLength + 1) * smsPartLength - length, length / smsPartLength + 1 };
    // A text that fills its last part exactly needs no further, empty part.
    if (counter.messages >= 2 && counter.remaining == smsPartLength) {
        --counter.messages;
        counter.remaining = 0;
    }
    return counter;
}

QString SMSPage::normalizedNumber(const QString &number)
{
    return Phone::normalizeNumber(number);
}

QString SMSPage::nextSendingFrame(const QString &text)
{
    if (text == sendingFrames[0] || text == sendingFrames[3])
        return sendingFrames[1];
    if (text == sendingFrames[1])
        return sendingFrames[2];
    if (text == sendingFrames[2])
        return sendingFrames[3];
    return text;
}

void SMSPage::updateSMSCounter()
{
    const Counter counter = countFor(ui->smsTextEdit->toPlainText().size());
    ui->smsCounterLabel->setText(tr("SMS Counter %1(%2)").arg(counter.remaining).arg(counter.messages));
}

void SMSPage::onNumberChanged(QString number)
{
    if (sending)
        return;
    ui->smsStateLabel->setText(number.isEmpty() ? tr("Enter SMS Number") : tr("Enter SMS Text"));
}

void SMSPage::clearNumber()
{
    ui->numberEdit->clearNumber();
    ui->smsStateLabel->setText(tr("Enter SMS Number"));
    ui->smsTextEdit->clear();
    updateSMSCounter();
    updatePlaceholder();
}

void SMSPage::doSendSms()
{
    if (sending)
        return;
    const QString number = ui->numberEdit->text();
    if (!Phone::validateNumber(number, this))
        return;
    const QString text = ui->smsTextEdit->toPlainText();
    if (text.isEmpty()) {
        QMessageBox::critical(this, tr("Error"), tr("Please insert SMS text."));
        return;
    }
    if (!phone) {
        LOG_WARNING << "No phone controller to send the SMS with";
        return;
    }
    if (phone->balance().credit() < minimumCredit) {
        QMessageBox::critical(this, tr("Error"), tr("You don't have any more credit!<br/>Buy some credit!"));
        return;
    }

    SMS sms;
    sms.setDestinationNumbers({ normalizedNumber(number) });
    sms.setText(text);
    LOG_TRACE << "Sending an SMS of" << text.size() << "characters";
    sending = true;
    ui->sendSMSButton->setEnabled(false);
    ui->smsStateLabel->setText(sendingFrames[0]);
    animationTimer.start();
    sendTimeoutTimer.start();
    phone->sendSMS(sms);
}

void SMSPage::updateSmsStateLabel()
{
    ui->smsStateLabel->setText(nextSendingFrame(ui->smsStateLabel->text()));
}

void SMSPage::endSending()
{
    animationTimer.stop();
    sendTimeoutTimer.stop();
    QTimer::singleShot(afterOutcomeDelay, this, &SMSPage::onAfterSuccesErrorSmsSent);
}

void SMSPage::onSuccessSentSms(SMS sms)
{
    Q_UNUSED(sms)
    endSending();
    ui->smsStateLabel->setText(QStringLiteral("SMS Sent"));
    ui->smsTextEdit->clear();
    updatePlaceholder();
}

void SMSPage::onErrorSendingSms(QString smsError)
{
    LOG_TRACE << "SMS not sent:" << smsError;
    endSending();
    ui->smsStateLabel->setText(QStringLiteral("Error: SMS not sent."));
    if (smsError == QLatin1String("Max length exceeded")) {
        QMessageBox::warning(this, tr("Error: Text too long"), tr("Your SMS message is too long. Keep it shorter."));
    } else if (smsError == QLatin1String("Maximum number of messages per day reached")) {
        QMessageBox::warning(this, tr("Error: Maximum messages reached"),
            tr("You cannot send more SMS messages today. You've reached your maximum."));
    }
}

void SMSPage::smsMessageReset()
{
    LOG_TRACE << "No answer to the SMS within" << sendTimeout << "ms";
    endSending();
}

void SMSPage::onAfterSuccesErrorSmsSent()
{
    sending = false;
    ui->sendSMSButton->setEnabled(true);
    ui->smsStateLabel->setText(QStringLiteral("Enter SMS Text"));
}

void SMSPage::updatePlaceholder()
{
    QLabel *label = ui->placeHolderLabel;
    const bool show = ui->smsTextEdit->toPlainText().isEmpty() && !ui->smsTextEdit->hasFocus();
    if (show)
        label->setGeometry(ui->smsTextEdit->viewport()->geometry());
    label->setVisible(show);
}

bool SMSPage::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == ui->smsTextEdit) {
        switch (event->type()) {
        case QEvent::FocusIn:
            ui->placeHolderLabel->hide();
            break;
        case QEvent::FocusOut:
        case QEvent::Resize:
            updatePlaceholder();
            break;
        default:
            break;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void SMSPage::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    updatePlaceholder();
}
