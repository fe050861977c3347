#include "ui/contactdetailspage.h"
#include "ui_contactdetailspage.h"

#include <QEvent>
#include <QPushButton>

#include "contactmanager.h"
#include "rest/contact.h"
#include "ui/contactformrules.h"
#include "util/log.h"

ContactDetailsPage::ContactDetailsPage(QWidget *parent) : QWidget(parent), ui(new Ui::ContactDetailsPage)
{
    ui->setupUi(this);
    for (int n = 1; n <= numberRows; ++n) {
        auto *call = findChild<QPushButton *>(QStringLiteral("callNumberButton_%1").arg(n));
        auto *sms = findChild<QPushButton *>(QStringLiteral("sendSMSButton_%1").arg(n));
        connect(call, &QPushButton::clicked, this, &ContactDetailsPage::onCallNumberClicked);
        connect(sms, &QPushButton::clicked, this, &ContactDetailsPage::onSendSMSClicked);
    }
    connect(ui->editButton, &QPushButton::clicked, this, [this]() { emit editContactRequested(nick); });
    connect(ui->deleteButton, &QPushButton::clicked, this, [this]() { emit deleteContactRequested(nick); });
    ui->nameLabel->installEventFilter(this);
    clear();
}

ContactDetailsPage::~ContactDetailsPage()
{
    delete ui;
}

void ContactDetailsPage::setContactManager(ContactManager *manager)
{
    contactManager = manager;
}

QString ContactDetailsPage::phoneTypeName(int type)
{
    switch (type) {
    case 0:
        return tr("Home");
    case 1:
        return tr("Work");
    case 2:
        return tr("Mobile");
    default:
        return QString();
    }
}

QLabel *ContactDetailsPage::numberLabel(int row) const
{
    return findChild<QLabel *>(QStringLiteral("numberLabel_%1").arg(row + 1));
}

bool ContactDetailsPage::showContact(const QString &contactNick)
{
    const Contact *contact = contactManager ? contactManager->contactPresent(contactNick) : nullptr;
    if (!contact) {
        LOG_WARNING << "no contact of nick" << contactNick << "in the address book";
        return false;
    }
    name = contact->firstName() + QLatin1Char(' ') + contact->lastName();
    nick = contactNick;
    elideName();
    ui->groupLabel->setText(contact->groupName());
    const QStringList emails = contact->emails();
    ui->emailLabel->setText(emails.isEmpty() ? QString() : emails.first());
    ui->addressLabel->setText(contact->addressLine1());

    const QList<PhoneNumber> phones = contact->phones();
    for (int row = 0; row < numberRows; ++row) {
        const bool shown = row < phones.size();
        const QString suffix = QString::number(row + 1);
        auto *typeLabel = findChild<QLabel *>(QStringLiteral("numberTypeLabel_") + suffix);
        QLabel *number = numberLabel(row);
        typeLabel->setText(shown ? phoneTypeName(phones.at(row).type()) + QLatin1Char(':') : QString());
        number->setText(shown ? phones.at(row).number() : QString());
        for (QWidget *widget : { static_cast<QWidget *>(typeLabel), static_cast<QWidget *>(number),
                 findChild<QWidget *>(QStringLiteral("callNumberButton_") + suffix),
                 findChild<QWidget *>(QStringLiteral("sendSMSButton_") + suffix) })
            widget->setVisible(shown);
    }
    ui->numbersGroupBox->setVisible(!phones.isEmpty());
    return true;
}

void ContactDetailsPage::clear()
{
    name.clear();
    nick.clear();
    ui->nameLabel->clear();
}

void ContactDetailsPage::updateContact()
{
    if (nick.isEmpty()) {
        LOG_WARNING << "contact nick is empty...";
        return;
    }
    showContact(nick);
}

void ContactDetailsPage::elideName()
{
    ui->nameLabel->setToolTip(name);
    ui->nameLabel->setText(
        ui->nameLabel->fontMetrics().elidedText(name, Qt::ElideRight, ui->nameLabel->width()));
}

bool ContactDetailsPage::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == ui->nameLabel && event->type() == QEvent::Resize)
        elideName();
    return QWidget::eventFilter(watched, event);
}

QString ContactDetailsPage::numberOfSender() const
{
    const int row = sender() ? ContactFormRules::widgetRow(sender()->objectName()) : -1;
    if (row < 0 || row >= numberRows)
        return QString();
    return numberLabel(row)->text();
}

void ContactDetailsPage::onCallNumberClicked()
{
    const QString number = numberOfSender();
    if (!number.isEmpty())
        emit callContact(name, number);
}

void ContactDetailsPage::onSendSMSClicked()
{
    const QString number = numberOfSender();
    if (!number.isEmpty())
        emit sendSMS(name, number);
}
