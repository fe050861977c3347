#include "ui/recentnumberspopup.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QListWidget>
#include <QTimer>

#include "ui/recentnumberitemdelegate.h"

RecentNumbersPopup::RecentNumbersPopup(QWidget *parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint)
    , list(new QListWidget(this))
    , delegate(new RecentNumberItemDelegate(this))
{
    setObjectName(QStringLiteral("recentNumberPopup"));
    setAccessibleName(tr("Recent numbers"));
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(list);
    setFixedSize(190, 170);
    list->setItemDelegate(delegate);
    connect(list, &QListWidget::clicked, this, &RecentNumbersPopup::onNumberSelected);
}

void RecentNumbersPopup::setContactManager(const ContactManager *manager)
{
    delegate->setContactManager(manager);
}

void RecentNumbersPopup::setNumbers(const QStringList &numbers)
{
    list->clear();
    for (const QString &number : numbers.mid(0, maxNumbers)) {
        auto *item = new QListWidgetItem(number, list);
        item->setSizeHint(QSize(1, 22));
    }
}

void RecentNumbersPopup::onNumberSelected(const QModelIndex &index)
{
    if (index.isValid())
        emit numberSelected(index.data(Qt::DisplayRole).toString());
    onClosePicker();
}

void RecentNumbersPopup::onClosePicker()
{
    emit closed();
    close();
}

bool RecentNumbersPopup::event(QEvent *event)
{
    if (event->type() == QEvent::WindowDeactivate && isVisible())
        QTimer::singleShot(0, this, &RecentNumbersPopup::onClosePicker);
    return QWidget::event(event);
}
