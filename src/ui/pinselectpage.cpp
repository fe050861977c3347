#include "pinselectpage.h"
#include "ui_pinselectpage.h"

#include <QKeyEvent>
#include <QMovie>

#include "phone/phone.h"
#include "settings/settings.h"
#include "util/log.h"

PINSelectPage::PINSelectPage(QWidget *parent)
    : QWidget(parent)
    , ui(new Ui::PINSelectPage)
    , spinner(new QMovie(QStringLiteral(":/gfx/login/spinner.gif"), QByteArray(), this))
{
    ui->setupUi(this);
    ui->progressLabel->setMovie(spinner);
    ui->pinComobBox->installEventFilter(this);
    connect(ui->confirmButton, &QPushButton::clicked, this, &PINSelectPage::onConfirmClicked);
    connect(ui->skipPinSelectionCheckBox, &QCheckBox::toggled, this, &PINSelectPage::onSkipToggled);
    ui->confirmButton->setEnabled(false);
    setInProgress(false);
}

PINSelectPage::~PINSelectPage()
{
    delete ui;
}

void PINSelectPage::setPhone(Phone *controller)
{
    if (phone)
        disconnect(phone, nullptr, this, nullptr);
    phone = controller;
    if (phone)
        connect(phone, &Phone::loginSuccessful, this, &PINSelectPage::onLoginSuccedeed, Qt::UniqueConnection);
}

void PINSelectPage::setSettings(Settings *store)
{
    settings = store;
    setUpSkipCheckBox();
}

void PINSelectPage::setUpSkipCheckBox()
{
    LOG_TRACE << "Setting up pin selection checkbox";
    const QSignalBlocker blocker(ui->skipPinSelectionCheckBox);
    ui->skipPinSelectionCheckBox->setChecked(settings && settings->skipPinSelection());
}

void PINSelectPage::onSkipToggled(bool checked)
{
    if (settings)
        settings->setSkipPinSelection(checked);
}

void PINSelectPage::setName(const QString &name)
{
    ui->nameLabel->setText(name);
}

void PINSelectPage::setInProgress(bool on)
{
    progress = on;
    ui->pinStackedWidget->setCurrentWidget(on ? ui->pageProgress : ui->pageConfirm);
    if (on)
        spinner->start();
    else
        spinner->stop();
}

QStringList PINSelectPage::pins() const
{
    QStringList list;
    for (int i = 0; i < ui->pinComobBox->count(); ++i)
        list.append(ui->pinComobBox->itemText(i));
    return list;
}

int PINSelectPage::selectedPIN() const
{
    return ui->pinComobBox->count() == 0 ? 0 : ui->pinComobBox->currentIndex();
}

QString PINSelectPage::selectedPINText() const
{
    return ui->pinComobBox->currentText();
}

void PINSelectPage::setPINs(QStringList list)
{
    ui->pinComobBox->clear();
    ui->pinComobBox->addItems(list);
    if (!list.isEmpty())
        ui->pinComobBox->setCurrentIndex(0);
    ui->confirmButton->setEnabled(!list.isEmpty());
    setInProgress(false);
}

void PINSelectPage::setDefaultPIN(int defaultPinIndex)
{
    if (defaultPinIndex >= 0 && defaultPinIndex < ui->pinComobBox->count())
        ui->pinComobBox->setCurrentIndex(defaultPinIndex);
}

void PINSelectPage::onLoginSuccedeed()
{
    if (!phone)
        return;
    const QStringList list = phone->account().phones();
    const QString current = selectedPINText();
    setPINs(list);
    // A reconnect must not throw away the PIN the user already picked.
    setDefaultPIN(list.indexOf(current));
    setUpSkipCheckBox();
}

void PINSelectPage::onConfirmClicked()
{
    if (ui->pinComobBox->count() == 0)
        return;
    LOG_TRACE << "PIN selected at position" << selectedPIN();
    emit PINSelected(selectedPINText());
}

bool PINSelectPage::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == ui->pinComobBox && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter)
            return true;
    }
    return QWidget::eventFilter(watched, event);
}
