#pragma once

#include <QList>
#include <QPointer>

#include "ui/dialogbase.h"

namespace Ui {
class CallSwitchDialog;
}
namespace talk {
class Call;
}
class CallSwitchListItemWidget;
class ContactManager;
class Phone;
class QTimer;

// The calls running side by side, one row each: the focus call is marked active, the others on hold.
// Selecting a row makes its call the phone's focus call, so that hang-up, keypad and mute act on it.
class CallSwitchDialog : public DialogBase
{
    Q_OBJECT
public:
    explicit CallSwitchDialog(QWidget *parent = nullptr);
    ~CallSwitchDialog() override;

    // Follows the phone's calls (through its media engine, once signed in) and its focus call.
    void setPhone(Phone *phone);
    void setContactManager(const ContactManager *manager);

    int callCount() const { return calls.size(); }
    QList<const talk::Call *> listedCalls() const { return calls; }
    // The call marked active, or null.
    const talk::Call *activeCall() const { return focusCall; }
    const talk::Call *selectedCall() const;
    CallSwitchListItemWidget *itemWidget(const talk::Call *call) const;

    static constexpr int durationRefreshMs = 1000;

signals:
    void callCountChanged(int count);

private slots:
    void addCall(const talk::Call *call);
    void removeCall(const talk::Call *call);
    void callFocusChanged(const talk::Call *newCallInstance, const talk::Call *oldCallInstance);
    void onItemSelectionChanged();
    void onMediaEngineCreated();
    void refreshDurations();

private:
    CallSwitchListItemWidget *itemAt(int row) const;
    void selectRow(int row);
    void markSelection();

    Ui::CallSwitchDialog *ui;
    QPointer<Phone> phone;
    QPointer<const ContactManager> contacts;
    // In list order; a call leaves the list before the engine deletes it.
    QList<const talk::Call *> calls;
    const talk::Call *focusCall = nullptr;
    QTimer *durationTimer;
};
