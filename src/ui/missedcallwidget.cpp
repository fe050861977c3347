#include "ui/missedcallwidget.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

#include "util/log.h"

MissedCallWidget::MissedCallWidget(
    const QString &phoneNumber, int count, const QString &name, QWidget *parent)
    : QWidget(parent)
    , number(phoneNumber)
    , countLabel(new QLabel(this))
    , numberLabel(new QLabel(phoneNumber, this))
    , nameLabel(new QLabel(this))
    , callButton(new QPushButton(QIcon(QStringLiteral(":/gfx/call/call.png")), QString(), this))
    , smsButton(new QPushButton(QIcon(QStringLiteral(":/gfx/common/sms-small.png")), QString(), this))
{
    setAttribute(Qt::WA_StyledBackground);
    countLabel->setObjectName(QStringLiteral("countLabel"));
    numberLabel->setObjectName(QStringLiteral("numberLabel"));
    nameLabel->setObjectName(QStringLiteral("nameLabel"));
    callButton->setObjectName(QStringLiteral("callButton"));
    smsButton->setObjectName(QStringLiteral("smsButton"));
    countLabel->setText(count == 1 ? tr("%1 call from").arg(count) : tr("%1 calls from").arg(count));
    if (name.isEmpty())
        nameLabel->hide();
    else
        nameLabel->setText(tr("(%1)").arg(name));
    // White handset on the green call colour, like the dial pad's call button.
    callButton->setIconSize(QSize(16, 16));
    callButton->setToolTip(tr("Click to call this number"));
    callButton->setAccessibleName(tr("Call %1").arg(phoneNumber));
    smsButton->setToolTip(tr("Click to send an SMS"));
    smsButton->setAccessibleName(tr("Send an SMS to %1").arg(phoneNumber));

    auto *texts = new QVBoxLayout;
    texts->setSpacing(0);
    texts->addWidget(countLabel);
    auto *numberRow = new QHBoxLayout;
    numberRow->addWidget(numberLabel);
    numberRow->addWidget(nameLabel);
    numberRow->addStretch();
    texts->addLayout(numberRow);
    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(8, 6, 8, 6);
    row->addLayout(texts, 1);
    row->addWidget(callButton);
    row->addWidget(smsButton);

    connect(callButton, &QPushButton::clicked, this, [this]() {
        LOG_TRACE << "Emitting call signal";
        emit call(number);
    });
    connect(smsButton, &QPushButton::clicked, this, [this]() {
        LOG_TRACE << "Emitting sms signal";
        emit sms(number);
    });
}

QString MissedCallWidget::countText() const
{
    return countLabel->text();
}

QString MissedCallWidget::nameText() const
{
    return nameLabel->text();
}

bool MissedCallWidget::isNameShown() const
{
    return !nameLabel->isHidden();
}
