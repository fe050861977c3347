#pragma once

#include <QPixmap>
#include <QPointer>
#include <QWidget>

namespace Ui {
class NumberEdit;
}
class ContactManager;
class FlagPopup;
class NumberHistory;
class Phone;
class PrefixProvider;
class RecentNumbersPopup;

// The telephone number field: a flag button with the country picker, the number itself (only
// dialable characters), a button that saves the number as a contact, and one that clears the field
// or, while it is empty, opens the recently dialled numbers. During a call, digits typed here also
// go to the call as keypad tones.
class NumberEdit : public QWidget
{
    Q_OBJECT
public:
    explicit NumberEdit(QWidget *parent = nullptr);
    ~NumberEdit() override;

    // The country table; the application's unless set (tests).
    void setPrefixProvider(const PrefixProvider *provider);
    void setPhone(Phone *phone);
    void setNumberHistory(NumberHistory *history);
    void setContactManager(const ContactManager *manager);

    QString text() const;
    void setText(const QString &text);
    void setCountryIndex(int index);
    int countryIndex();

    FlagPopup *flagPopup() const { return flags; }
    RecentNumbersPopup *recentNumbersPopup() const { return recent; }

    // The digits a country is recognised from: no dashes, no leading "+", "011" or zeros.
    static QString normalized(const QString &text);

public slots:
    void clearNumber();

signals:
    void saveNumberClicked(QString number);
    void numberChanged(QString number);
    void returnPressed();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private slots:
    void onRecentClearClicked();
    void onSaveNumberClicked();
    void onNumberChanged(const QString &text);
    void onFlagButtonClicked();
    void onFlagPopupClosed();
    void onRecentNumbersPopupClosed();
    void onRecentNumberSelected(QString number);
    void onPrefixSelected(QPixmap flag, QString country, QString prefixNumber, bool byClick);
    void onFormatNumberRequested(int index);
    void on_numberLineEdit_returnPressed();

private:
    const PrefixProvider *prefixes() const;
    void buildPopups();
    void showFlag(const QPixmap &flag, const QString &country);
    void updateRecentButton();

    Ui::NumberEdit *ui;
    FlagPopup *flags = nullptr;
    RecentNumbersPopup *recent = nullptr;
    const PrefixProvider *prefixProvider = nullptr;
    QString lastText;
    QPointer<Phone> phone;
    QPointer<NumberHistory> numberHistory;
    const ContactManager *contactManager = nullptr;
};
