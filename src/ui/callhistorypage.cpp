#include "callhistorypage.h"
#include "ui_callhistorypage.h"

#include <QButtonGroup>
#include <QKeyEvent>
#include <QMenu>

#include "history/callhistorymodel.h"
#include "phone/phone.h"
#include "ui/callhistoryeventitemdelegate.h"
#include "util/log.h"

CallHistoryPage::CallHistoryPage(QWidget *parent)
    : QWidget(parent)
    , ui(new Ui::CallHistoryPage)
    , proxy(new HistoryFilterModel(this))
    , delegate(new CallHistoryEventItemDelegate(this))
    , filterButtons(new QButtonGroup(this))
    , menu(new QMenu(this))
{
    ui->setupUi(this);
    ui->historyListView->setModel(proxy);
    ui->historyListView->setItemDelegate(delegate);
    ui->historyListView->setContextMenuPolicy(Qt::CustomContextMenu);
    ui->historyListView->installEventFilter(this);
    connect(ui->historyListView, &QListView::doubleClicked, this, &CallHistoryPage::onDoubleClicked);
    connect(ui->historyListView, &QWidget::customContextMenuRequested, this,
        &CallHistoryPage::onContextMenuRequested);

    filterButtons->addButton(ui->allFilterButton, HistoryFilterModel::AllTime);
    filterButtons->addButton(ui->dayFilterButton, HistoryFilterModel::LastDay);
    filterButtons->addButton(ui->weekFilterButton, HistoryFilterModel::LastSevenDays);
    connect(filterButtons, &QButtonGroup::idClicked, this,
        qOverload<int>(&CallHistoryPage::setCallHistoryFilter));

    QAction *callBack = menu->addAction(QIcon(QStringLiteral(":/gfx/common/call-small.png")), tr("Call back"));
    connect(callBack, &QAction::triggered, this, &CallHistoryPage::callSelected);
    QAction *sms = menu->addAction(QIcon(QStringLiteral(":/gfx/common/sms-small.png")), tr("Send SMS"));
    connect(sms, &QAction::triggered, this, &CallHistoryPage::sendSmsToSelected);

    connect(proxy, &QAbstractItemModel::rowsInserted, this, &CallHistoryPage::updateEmptyState);
    connect(proxy, &QAbstractItemModel::rowsRemoved, this, &CallHistoryPage::updateEmptyState);
    connect(proxy, &QAbstractItemModel::modelReset, this, &CallHistoryPage::updateEmptyState);
    connect(proxy, &QAbstractItemModel::layoutChanged, this, &CallHistoryPage::updateEmptyState);
    applyFilter(filter);
}

CallHistoryPage::~CallHistoryPage()
{
    delete ui;
}

void CallHistoryPage::setPhone(Phone *controller)
{
    if (phone)
        disconnect(phone, nullptr, this, nullptr);
    phone = controller;
    if (!phone)
        return;
    connect(phone, &Phone::loginSuccessful, this, &CallHistoryPage::onLoginSuccedeed,
        Qt::UniqueConnection);
    if (phone->callHistoryModel())
        setCallHistoryModel(phone->callHistoryModel());
}

void CallHistoryPage::setContactManager(const ContactManager *manager)
{
    delegate->setContactManager(manager);
}

void CallHistoryPage::setCallHistoryModel(QAbstractItemModel *model)
{
    if (proxy->sourceModel() == model)
        return;
    proxy->setSourceModel(model);
    refresh();
}

void CallHistoryPage::onLoginSuccedeed()
{
    // The controller builds its model when it gets the history store, which may be after setPhone.
    if (phone && phone->callHistoryModel())
        setCallHistoryModel(phone->callHistoryModel());
    refresh();
}

void CallHistoryPage::setCallHistoryFilter(HistoryFilter value)
{
    setCallHistoryFilter(int(value));
}

void CallHistoryPage::setCallHistoryFilter(int value)
{
    if (value < HistoryFilterModel::AllTime || value > HistoryFilterModel::LastSevenDays) {
        LOG_WARNING << "Unknown call history filter" << value;
        return;
    }
    filter = value;
    applyFilter(filter);
}

void CallHistoryPage::refresh()
{
    applyFilter(filter);
}

void CallHistoryPage::applyFilter(int value)
{
    if (QAbstractButton *button = filterButtons->button(value))
        button->setChecked(true);
    proxy->setFilterMode(value);
    proxy->sort(0, Qt::DescendingOrder);
    updateEmptyState();
}

void CallHistoryPage::updateEmptyState()
{
    ui->emptyLabel->setVisible(proxy->rowCount() == 0);
}

QString CallHistoryPage::selectedNumber() const
{
    const QModelIndex current = ui->historyListView->currentIndex();
    if (!current.isValid() || !ui->historyListView->selectionModel()->isSelected(current))
        return QString();
    return current.data(CallHistoryModel::NumberRole).toString();
}

void CallHistoryPage::onDoubleClicked(const QModelIndex &index)
{
    if (!index.isValid())
        return;
    const QString number = index.data(CallHistoryModel::NumberRole).toString();
    if (number.isEmpty())
        return;
    emit callContact(index.data(Qt::DisplayRole).toString(), number);
}

void CallHistoryPage::callSelected()
{
    if (!selectedNumber().isEmpty())
        onDoubleClicked(ui->historyListView->currentIndex());
}

void CallHistoryPage::sendSmsToSelected()
{
    const QString number = selectedNumber();
    if (number.isEmpty())
        return;
    emit sendSMS(delegate->nameFor(ui->historyListView->currentIndex()), number);
}

void CallHistoryPage::onContextMenuRequested(const QPoint &position)
{
    const QModelIndex index = ui->historyListView->indexAt(position);
    if (!index.isValid())
        return;
    ui->historyListView->setCurrentIndex(index);
    menu->popup(ui->historyListView->viewport()->mapToGlobal(position));
}

bool CallHistoryPage::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == ui->historyListView && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            callSelected();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}
