#include "virtualnumberspage.h"
#include "ui_virtualnumberspage.h"

#include <QDesktopServices>
#include <QListWidgetItem>
#include <QStyle>

#include "homeurls.h"
#include "rest/onlinenumber.h"
#include "ui/virtualnumberitemwidget.h"
#include "util/log.h"

VirtualNumbersPage::VirtualNumbersPage(QWidget *parent)
    : QWidget(parent)
    , ui(new Ui::VirtualNumbersPage)
{
    ui->setupUi(this);
    connect(ui->getNumberButton, &QPushButton::clicked, this, &VirtualNumbersPage::onGetNumberClicked);
    setVirtualNumbers({});
}

VirtualNumbersPage::~VirtualNumbersPage()
{
    delete ui;
}

void VirtualNumbersPage::setHomeUrls(const HomeUrls *urls)
{
    homeUrls = urls;
}

void VirtualNumbersPage::setPrefixProvider(const PrefixProvider *provider)
{
    prefixes = provider;
}

int VirtualNumbersPage::rowCount() const
{
    return ui->numbersListWidget->count();
}

VirtualNumberItemWidget *VirtualNumbersPage::row(int index) const
{
    return qobject_cast<VirtualNumberItemWidget *>(
        ui->numbersListWidget->itemWidget(ui->numbersListWidget->item(index)));
}

void VirtualNumbersPage::setOnlineNumbers(const QList<OnlineNumber> &numbers)
{
    setVirtualNumbers(VirtualNumber::fromOnlineNumbers(numbers, prefixes));
}

void VirtualNumbersPage::setVirtualNumbers(const QList<VirtualNumber> &numbers)
{
    const bool any = !numbers.isEmpty();
    ui->infoLabel->setText(any
            ? tr("Your existing numbers:")
            : tr("You don't have any existing numbers.<br/>Click button below to buy one."));
    ui->topBackground->setProperty("_styled", any);
    ui->topBackground->style()->unpolish(ui->topBackground);
    ui->topBackground->style()->polish(ui->topBackground);
    ui->numbersListWidget->setVisible(any);

    ui->numbersListWidget->clear();
    const QDate today = now().date();
    for (const VirtualNumber &number : numbers) {
        auto *item = new QListWidgetItem(ui->numbersListWidget);
        item->setSizeHint(QSize(0, rowHeight));
        // The row's text lets screen readers and keyboard search find the number.
        item->setData(Qt::AccessibleTextRole, number.number);
        auto *widget = new VirtualNumberItemWidget(ui->numbersListWidget);
        widget->setVirtualNumber(number, today);
        ui->numbersListWidget->setItemWidget(item, widget);
        connect(widget, &VirtualNumberItemWidget::renewClicked, this,
            &VirtualNumbersPage::onNumberRenewClicked);
    }
}

QUrl VirtualNumbersPage::onlineNumberUrl() const
{
    return (homeUrls ? *homeUrls : HomeUrls::instance()).onlineNumberURL;
}

void VirtualNumbersPage::onNumberRenewClicked()
{
    LOG_TRACE << "Renewing a virtual number on" << onlineNumberUrl().toString();
    QDesktopServices::openUrl(onlineNumberUrl());
}

void VirtualNumbersPage::onGetNumberClicked()
{
    LOG_TRACE << "Buying a virtual number on" << onlineNumberUrl().toString();
    QDesktopServices::openUrl(onlineNumberUrl());
}
