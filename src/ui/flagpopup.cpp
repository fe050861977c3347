#include "ui/flagpopup.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QListWidget>
#include <QTimer>

#include "prefixprovider.h"

FlagPopup::FlagPopup(const PrefixProvider *prefixes, QWidget *parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint), list(new QListWidget(this))
{
    setObjectName(QStringLiteral("flagPopup"));
    setAccessibleName(tr("Countries"));
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(list);
    setFixedSize(190, 170);
    list->setIconSize(QSize(24, 16));
    if (prefixes) {
        for (QListWidgetItem *item : prefixes->countryItems())
            list->addItem(item);
    }
    connect(list, &QListWidget::clicked, this,
        [this](const QModelIndex &index) { onPrefixSelected(index, true); });
}

void FlagPopup::ensureCurrent()
{
    if (list->currentRow() < 0 && list->count() > 0)
        list->setCurrentRow(0);
}

int FlagPopup::currentRow()
{
    ensureCurrent();
    return list->currentRow();
}

QPixmap FlagPopup::currentFlag()
{
    ensureCurrent();
    return PrefixProvider::flagOfItem(list->currentItem());
}

QString FlagPopup::currentName()
{
    ensureCurrent();
    return PrefixProvider::nameOfItem(list->currentItem());
}

void FlagPopup::selectCountry(int row)
{
    ensureCurrent();
    if (row < 0 || row >= list->count())
        return;
    if (row != list->currentRow()) {
        list->setCurrentRow(row);
        list->item(row)->setSelected(true);
        onPrefixSelected(list->currentIndex(), false);
    } else {
        emit formatNumber(row);
    }
}

void FlagPopup::onPrefixSelected(const QModelIndex &index, bool byClick)
{
    if (index.isValid()) {
        QListWidgetItem *item = list->item(index.row());
        const QStringList prefixes = PrefixProvider::prefixesOfItem(item);
        list->setCurrentItem(item);
        item->setSelected(true);
        emit prefixSelected(PrefixProvider::flagOfItem(item), PrefixProvider::nameOfItem(item),
            prefixes.isEmpty() ? QString() : prefixes.first(), byClick);
    }
    onClosePicker();
}

void FlagPopup::onClosePicker()
{
    emit closed();
    close();
}

bool FlagPopup::event(QEvent *event)
{
    if (event->type() == QEvent::WindowDeactivate && isVisible())
        QTimer::singleShot(0, this, &FlagPopup::onClosePicker);
    return QWidget::event(event);
}
