#pragma once

#include <QPointer>
#include <QTimer>
#include <QWidget>

#include "rest/sms.h"

namespace Ui {
class SMSPage;
}
class ContactManager;
class History;
class NumberEdit;
class NumberHistory;
class Phone;
class PrefixProvider;

// Writes and sends a text message: number entry, text with a running count of 160-character parts,
// and a state line that follows the sending until the service answers.
class SMSPage : public QWidget
{
    Q_OBJECT
public:
    static constexpr int smsPartLength = 160;
    static constexpr int animationInterval = 500;
    static constexpr int sendTimeout = 10000;
    static constexpr int afterOutcomeDelay = 2100;
    static constexpr double minimumCredit = 0.0001;

    explicit SMSPage(QWidget *parent = nullptr);
    ~SMSPage() override;

    void setPhone(Phone *phone);
    // The recent numbers and the names shown beside them in the number entry.
    void setHistory(History *history);
    void setNumberHistory(NumberHistory *history);
    void setContactManager(const ContactManager *manager);
    void setPrefixProvider(const PrefixProvider *provider);

    void setNumber(const QString &number);
    QString number() const;
    void setText(const QString &text);
    QString text() const;
    QString stateText() const;
    QString counterText() const;
    bool isPlaceholderShown() const;
    bool isSending() const;
    NumberEdit *numberEdit() const;

    // The parts a text of `length` characters needs and the characters left in the last one.
    struct Counter
    {
        int remaining;
        int messages;
    };
    static Counter countFor(int length);
    // "+" in front, dashes and parentheses removed; blanks stay.
    static QString normalizedNumber(const QString &number);
    // The next frame of the "Sending SMS" animation; other texts stay as they are.
    static QString nextSendingFrame(const QString &text);

public slots:
    void clearNumber();

signals:
    void saveNumber(QString number);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;

private slots:
    void onNumberChanged(QString number);
    void updateSMSCounter();
    void doSendSms();
    void updateSmsStateLabel();
    void onSuccessSentSms(SMS sms);
    void onErrorSendingSms(QString smsError);
    void onAfterSuccesErrorSmsSent();
    void smsMessageReset();

private:
    void updatePlaceholder();
    void endSending();

    Ui::SMSPage *ui;
    QPointer<Phone> phone;
    QTimer animationTimer;
    QTimer sendTimeoutTimer;
    bool sending = false;
};
