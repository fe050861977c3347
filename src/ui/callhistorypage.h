#pragma once

#include <QPointer>
#include <QWidget>

#include "history/historyfiltermodel.h"

namespace Ui {
class CallHistoryPage;
}
class CallHistoryEventItemDelegate;
class ContactManager;
class Phone;
class QAbstractItemModel;
class QButtonGroup;
class QMenu;
class QModelIndex;

// The call history, newest first, limited to the last day, the last week or all time. A double click
// (or Enter) calls the row's number back; the context menu also offers an SMS to it.
class CallHistoryPage : public QWidget
{
    Q_OBJECT
public:
    using HistoryFilter = HistoryFilterModel::FilterMode;

    explicit CallHistoryPage(QWidget *parent = nullptr);
    ~CallHistoryPage() override;

    // Shows the phone controller's call history and follows its sign-ins.
    void setPhone(Phone *phone);
    void setContactManager(const ContactManager *manager);
    // The history rows; the phone controller's model unless set.
    void setCallHistoryModel(QAbstractItemModel *model);

    HistoryFilterModel *proxyModel() const { return proxy; }
    CallHistoryEventItemDelegate *itemDelegate() const { return delegate; }
    QMenu *contextMenu() const { return menu; }
    int callHistoryFilter() const { return filter; }
    // The number of the selected row; empty when none is selected.
    QString selectedNumber() const;

public slots:
    void setCallHistoryFilter(HistoryFilter filter);
    void setCallHistoryFilter(int filter);
    void refresh();
    // Calls the selected row back (the place-call key on this page).
    void callSelected();
    void sendSmsToSelected();

signals:
    void callContact(QString name, QString number);
    void sendSMS(QString name, QString number);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private slots:
    void onLoginSuccedeed();
    void onDoubleClicked(const QModelIndex &index);
    void onContextMenuRequested(const QPoint &position);

private:
    void applyFilter(int filter);
    void updateEmptyState();

    Ui::CallHistoryPage *ui;
    HistoryFilterModel *proxy;
    CallHistoryEventItemDelegate *delegate;
    QButtonGroup *filterButtons;
    QMenu *menu;
    QPointer<Phone> phone;
    int filter = HistoryFilterModel::AllTime;
};
