#include "ui/missedcallsdialog.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

#include "contactmanager.h"
#include "rest/contact.h"
#include "ui/missedcallwidget.h"
#include "util/log.h"

MissedCallsDialog::MissedCallsDialog(const ContactManager *contactManager, QWidget *parent)
    : QDialog(parent), contacts(contactManager), headingLabel(new QLabel(this)), listLayout(new QVBoxLayout)
{
    setObjectName(QStringLiteral("MissedCallsDialog"));
    setWindowTitle(tr("Missed calls"));
    setAccessibleName(tr("Missed calls"));
    headingLabel->setObjectName(QStringLiteral("headingLabel"));
    auto *listWidget = new QWidget;
    listWidget->setObjectName(QStringLiteral("missedCallsListWidget"));
    listWidget->setLayout(listLayout);
    listWidget->setStyleSheet(QStringLiteral("#missedCallsListWidget { background: #FFFFFF; }"
                                             "#callButton { background: #2E9D4E; }"
                                             "#callButton:hover { background: #36B55A; }"));
    listLayout->setContentsMargins(0, 0, 0, 0);
    listLayout->setSpacing(0);
    listLayout->addStretch();
    auto *scroll = new QScrollArea(this);
    scroll->setObjectName(QStringLiteral("missedCallsScrollArea"));
    scroll->setWidgetResizable(true);
    scroll->setWidget(listWidget);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(14, 14, 14, 14);
    layout->addWidget(headingLabel);
    layout->addWidget(scroll, 1);
    layout->addWidget(buttons);
    resize(320, 260);
}

QString MissedCallsDialog::headingText() const
{
    return headingLabel->text();
}

void MissedCallsDialog::setMissedCallsNumbers(QStringList calls)
{
    LOG_TRACE << "Got Missed Calls List:" << calls;
    headingLabel->setText(
        calls.size() == 1 ? tr("You have one missed call:") : tr("You have the following missed calls:"));
    qDeleteAll(widgets);
    widgets.clear();
    QStringList order;
    QHash<QString, int> counts;
    for (const QString &number : calls) {
        if (!counts.contains(number))
            order << number;
        ++counts[number];
    }
    for (const QString &number : order) {
        const Contact *contact = contacts ? contacts->findContactByNumber(number) : nullptr;
        auto *row = new MissedCallWidget(
            number, counts.value(number), contact ? contact->displayName() : QString());
        connect(row, &MissedCallWidget::call, this, [this](const QString &phoneNumber) {
            LOG_TRACE << "Emitting call number from MissedCallsDialog";
            emit callNumber(phoneNumber);
        });
        connect(row, &MissedCallWidget::sms, this, [this](const QString &phoneNumber) {
            LOG_TRACE << "Emitting send sms from MissedCallsDialog";
            emit sendSMSToNumber(phoneNumber);
        });
        listLayout->insertWidget(listLayout->count() - 1, row);
        widgets << row;
    }
}
