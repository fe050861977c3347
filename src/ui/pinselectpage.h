#pragma once

#include <QPointer>
#include <QStringList>
#include <QWidget>

namespace Ui {
class PINSelectPage;
}
class Phone;
class QMovie;
class Settings;

// Lets the user pick which of the account's PINs the calls use, and whether to skip this step next
// time.
class PINSelectPage : public QWidget
{
    Q_OBJECT
public:
    explicit PINSelectPage(QWidget *parent = nullptr);
    ~PINSelectPage() override;

    void setPhone(Phone *phone);
    void setSettings(Settings *settings);
    // The name greeted on the page.
    void setName(const QString &name);

    QStringList pins() const;
    // The chosen PIN's position; 0 while there are none.
    int selectedPIN() const;
    QString selectedPINText() const;
    bool inProgress() const { return progress; }
    void setInProgress(bool on);

public slots:
    void setPINs(QStringList pins);
    void setDefaultPIN(int defaultPinIndex);

signals:
    void PINSelected(QString pin);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private slots:
    void onConfirmClicked();
    void onLoginSuccedeed();
    void onSkipToggled(bool checked);

private:
    void setUpSkipCheckBox();

    Ui::PINSelectPage *ui;
    QPointer<Phone> phone;
    QPointer<Settings> settings;
    QMovie *spinner;
    bool progress = false;
};
