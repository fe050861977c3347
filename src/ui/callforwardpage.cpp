#include "callforwardpage.h"
#include "ui_callforwardpage.h"

#include <QGridLayout>
#include <QLabel>
#include <QListWidgetItem>

#include "util/log.h"

CallForwardPage::CallForwardPage(QWidget *parent)
    : QWidget(parent)
    , ui(new Ui::CallForwardPage)
{
    ui->setupUi(this);
    connect(ui->editCallForwardingButton, &QPushButton::clicked, this,
        &CallForwardPage::onEditCallForwardingClicked);
    // The sample is a Romanian number (+40); our flag table numbers Romania's flag 175.
    addRow(QStringLiteral("40726 751"), QStringLiteral(":/gfx/flags/175.jpg"), QStringLiteral("40726 751 700"));
}

CallForwardPage::~CallForwardPage()
{
    delete ui;
}

void CallForwardPage::addRow(const QString &fromNumber, const QString &flag, const QString &toNumber)
{
    auto *widget = new QWidget(ui->callForwardListWidget);
    widget->setObjectName(QStringLiteral("callForwardRow_%1").arg(ui->callForwardListWidget->count() + 1));
    auto *layout = new QGridLayout(widget);
    layout->setContentsMargins(8, 6, 8, 6);
    layout->setHorizontalSpacing(8);
    layout->setVerticalSpacing(2);

    auto *fromLabel = new QLabel(tr("Calls from..."), widget);
    fromLabel->setObjectName(QStringLiteral("fromLabel"));
    auto *flagLabel = new QLabel(widget);
    flagLabel->setObjectName(QStringLiteral("flagLabel"));
    flagLabel->setPixmap(QPixmap(flag));
    auto *fromNumberLabel = new QLabel(fromNumber, widget);
    fromNumberLabel->setObjectName(QStringLiteral("fromNumberLabel"));
    auto *arrowLabel = new QLabel(widget);
    arrowLabel->setObjectName(QStringLiteral("arrowLabel"));
    arrowLabel->setPixmap(QPixmap(QStringLiteral(":/gfx/callforward/call-forward-arrow.png")));
    arrowLabel->setAccessibleName(tr("forwarded to"));
    auto *toLabel = new QLabel(tr("...forwarded to"), widget);
    toLabel->setObjectName(QStringLiteral("toLabel"));
    auto *toNumberLabel = new QLabel(toNumber, widget);
    toNumberLabel->setObjectName(QStringLiteral("toNumberLabel"));

    auto *from = new QHBoxLayout;
    from->setSpacing(6);
    from->addWidget(flagLabel);
    from->addWidget(fromNumberLabel);
    from->addStretch();
    layout->addWidget(fromLabel, 0, 0);
    layout->addLayout(from, 1, 0);
    layout->addWidget(arrowLabel, 0, 1, 2, 1, Qt::AlignCenter);
    layout->addWidget(toLabel, 0, 2);
    layout->addWidget(toNumberLabel, 1, 2);
    layout->setColumnStretch(0, 1);
    layout->setColumnStretch(2, 1);

    auto *item = new QListWidgetItem(ui->callForwardListWidget);
    item->setSizeHint(QSize(0, rowHeight));
    ui->callForwardListWidget->setItemWidget(item, widget);
}

int CallForwardPage::rowCount() const
{
    return ui->callForwardListWidget->count();
}

QWidget *CallForwardPage::row(int index) const
{
    return ui->callForwardListWidget->itemWidget(ui->callForwardListWidget->item(index));
}

void CallForwardPage::onEditCallForwardingClicked()
{
    LOG_NOTIMPL << "onEditCallForwardingClicked";
}
