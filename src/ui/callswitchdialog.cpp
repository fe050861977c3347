#include "ui/callswitchdialog.h"
#include "ui_callswitchdialog.h"

#include <QListWidgetItem>
#include <QTimer>

#include "contactmanager.h"
#include "phone/phone.h"
#include "rest/contact.h"
#include "talk/call.h"
#include "talk/mediaengine.h"
#include "ui/callswitchlistitemwidget.h"
#include "util/log.h"

CallSwitchDialog::CallSwitchDialog(QWidget *parent)
    : DialogBase(parent), ui(new Ui::CallSwitchDialog), durationTimer(new QTimer(this))
{
    ui->setupUi(dialogContentWidget());
    setObjectName(QStringLiteral("CallSwitchDialog"));
    setTitle(tr("Calls"));
    setAccessibleName(tr("Calls in progress"));
    durationTimer->setInterval(durationRefreshMs);
    connect(durationTimer, &QTimer::timeout, this, &CallSwitchDialog::refreshDurations);
    connect(ui->callListWidget, &QListWidget::itemSelectionChanged, this,
        &CallSwitchDialog::onItemSelectionChanged);
}

CallSwitchDialog::~CallSwitchDialog()
{
    delete ui;
}

void CallSwitchDialog::setPhone(Phone *controller)
{
    if (phone)
        disconnect(phone, nullptr, this, nullptr);
    phone = controller;
    if (!phone)
        return;
    const auto unique = Qt::UniqueConnection;
    connect(phone, &Phone::mediaEngineCreated, this, &CallSwitchDialog::onMediaEngineCreated, unique);
    connect(phone, &Phone::focusCallChanged, this, &CallSwitchDialog::callFocusChanged, unique);
    onMediaEngineCreated();
    // Calls that began before the dialog existed.
    for (const talk::Call *call : phone->calls())
        addCall(call);
    const talk::Call *focus = phone->currentCall();
    if (focus)
        callFocusChanged(focus, focusCall);
}

void CallSwitchDialog::setContactManager(const ContactManager *manager)
{
    contacts = manager;
}

void CallSwitchDialog::onMediaEngineCreated()
{
    talk::MediaEngine *engine = phone ? phone->mediaEngine() : nullptr;
    if (!engine)
        return;
    const auto unique = Qt::UniqueConnection;
    connect(engine, &talk::MediaEngine::callCreated, this, &CallSwitchDialog::addCall, unique);
    connect(engine, &talk::MediaEngine::callDestroyed, this, &CallSwitchDialog::removeCall, unique);
}

CallSwitchListItemWidget *CallSwitchDialog::itemAt(int row) const
{
    return qobject_cast<CallSwitchListItemWidget *>(ui->callListWidget->itemWidget(ui->callListWidget->item(row)));
}

CallSwitchListItemWidget *CallSwitchDialog::itemWidget(const talk::Call *call) const
{
    const int row = calls.indexOf(call);
    return row < 0 ? nullptr : itemAt(row);
}

const talk::Call *CallSwitchDialog::selectedCall() const
{
    const QList<QListWidgetItem *> selected = ui->callListWidget->selectedItems();
    return selected.isEmpty() ? nullptr : calls.value(ui->callListWidget->row(selected.first()));
}

void CallSwitchDialog::addCall(const talk::Call *call)
{
    if (!call || calls.contains(call))
        return;
    const QString number = Phone::remoteNumber(call);
    const Contact *contact = contacts ? contacts->findContactByNumber(number) : nullptr;
    LOG_TRACE << "Listing call" << call->id() << number;

    auto *item = new CallSwitchListItemWidget;
    item->setContactName(contact ? contact->displayName() : QString());
    item->setNumber(number);
    item->setActive(call == focusCall);
    item->setDurationSeconds(call->durationSeconds());
    auto *row = new QListWidgetItem(ui->callListWidget);
    row->setSizeHint(item->sizeHint());
    ui->callListWidget->setItemWidget(row, item);
    calls.append(call);
    // Should the engine drop a call without announcing it, the row must still go.
    connect(call, &QObject::destroyed, this, [this, call] { removeCall(call); });

    if (call == focusCall)
        selectRow(calls.size() - 1);
    if (!durationTimer->isActive())
        durationTimer->start();
    emit callCountChanged(calls.size());
}

void CallSwitchDialog::removeCall(const talk::Call *call)
{
    // Never dereferences call: it may be on its way out.
    const int row = calls.indexOf(call);
    if (row < 0)
        return;
    disconnect(call, &QObject::destroyed, this, nullptr);
    calls.removeAt(row);
    {
        const QSignalBlocker blocker(ui->callListWidget);
        delete ui->callListWidget->takeItem(row);
    }
    if (focusCall == call)
        focusCall = nullptr;
    markSelection();
    if (calls.isEmpty())
        durationTimer->stop();
    emit callCountChanged(calls.size());
}

void CallSwitchDialog::callFocusChanged(const talk::Call *newCallInstance, const talk::Call *oldCallInstance)
{
    Q_UNUSED(oldCallInstance)
    focusCall = newCallInstance;
    for (int row = 0; row < calls.size(); ++row) {
        if (CallSwitchListItemWidget *item = itemAt(row))
            item->setActive(calls.at(row) == focusCall);
    }
    // The highlighted row is the call being talked on.
    selectRow(calls.indexOf(focusCall));
}

void CallSwitchDialog::selectRow(int row)
{
    {
        const QSignalBlocker blocker(ui->callListWidget);
        if (row < 0)
            ui->callListWidget->clearSelection();
        else
            ui->callListWidget->setCurrentRow(row, QItemSelectionModel::ClearAndSelect);
    }
    markSelection();
}

void CallSwitchDialog::markSelection()
{
    for (int row = 0; row < calls.size(); ++row) {
        if (CallSwitchListItemWidget *item = itemAt(row))
            item->setSelected(ui->callListWidget->item(row)->isSelected());
    }
}

void CallSwitchDialog::onItemSelectionChanged()
{
    markSelection();
    const talk::Call *chosen = selectedCall();
    if (!chosen || chosen == focusCall)
        return;
    if (!phone) {
        LOG_WARNING << "No phone to switch calls with";
        selectRow(calls.indexOf(focusCall));
        return;
    }
    LOG_TRACE << "Switching to call" << chosen->id();
    phone->callFocusChanged(chosen, focusCall);
}

void CallSwitchDialog::refreshDurations()
{
    for (int row = 0; row < calls.size(); ++row) {
        if (CallSwitchListItemWidget *item = itemAt(row))
            item->setDurationSeconds(calls.at(row)->durationSeconds());
    }
}
