#include "virtualnumberitemwidget.h"
#include "ui_virtualnumberitemwidget.h"

#include <QStyle>

#include "ui/virtualnumber.h"

VirtualNumberItemWidget::VirtualNumberItemWidget(QWidget *parent)
    : QWidget(parent)
    , ui(new Ui::VirtualNumberItemWidget)
{
    ui->setupUi(this);
    connect(ui->renewButton, &QPushButton::clicked, this, &VirtualNumberItemWidget::renewClicked);
}

VirtualNumberItemWidget::~VirtualNumberItemWidget()
{
    delete ui;
}

bool VirtualNumberItemWidget::isExpired(const QDate &date, const QDate &today)
{
    // A number is good up to the day before its expiration date.
    return date.isValid() && !(date > today);
}

QString VirtualNumberItemWidget::expirationText(const QDate &date, const QDate &today)
{
    // The service sends no date for some numbers; "expired on" with nothing after it would be wrong.
    if (!date.isValid())
        return QString();
    const QString shown = date.toString(Qt::TextDate);
    return isExpired(date, today) ? tr("expired on %1").arg(shown) : tr("expires on %1").arg(shown);
}

void VirtualNumberItemWidget::setVirtualNumber(const VirtualNumber &number, const QDate &today)
{
    ui->numberLabel->setText(number.number);
    ui->flagLabel->setPixmap(number.flag);
    ui->flagLabel->setVisible(!number.flag.isNull());
    ui->expirationLabel->setText(expirationText(number.expirationDate, today));
    const bool expired = isExpired(number.expirationDate, today);
    ui->expirationLabel->setProperty("expired", expired ? "true" : "false");
    ui->expirationLabel->style()->unpolish(ui->expirationLabel);
    ui->expirationLabel->style()->polish(ui->expirationLabel);
    ui->renewButton->setAccessibleName(tr("Renew %1").arg(number.number));
}

QString VirtualNumberItemWidget::numberText() const
{
    return ui->numberLabel->text();
}

QString VirtualNumberItemWidget::expirationText() const
{
    return ui->expirationLabel->text();
}

bool VirtualNumberItemWidget::isExpired() const
{
    return ui->expirationLabel->property("expired").toString() == QLatin1String("true");
}
