#include "ui/callswitchlistitemwidget.h"
#include "ui_callswitchlistitemwidget.h"

#include <QStyle>

namespace {

void repolish(QWidget *widget)
{
    widget->style()->unpolish(widget);
    widget->style()->polish(widget);
}

} // namespace

CallSwitchListItemWidget::CallSwitchListItemWidget(QWidget *parent)
    : QWidget(parent), ui(new Ui::CallSwitchListItemWidget)
{
    ui->setupUi(this);
    // The style sheet gives the row a background of its own.
    setAttribute(Qt::WA_StyledBackground);
    setContactName(QString());
    setActive(false);
    setSelected(false);
    setDurationSeconds(0);
}

CallSwitchListItemWidget::~CallSwitchListItemWidget()
{
    delete ui;
}

QString CallSwitchListItemWidget::formatDuration(qint64 seconds)
{
    seconds = qMax<qint64>(0, seconds);
    const qint64 hours = seconds / 3600;
    const QString minutesAndSeconds = QStringLiteral("%1:%2")
                                          .arg((seconds / 60) % 60, 2, 10, QLatin1Char('0'))
                                          .arg(seconds % 60, 2, 10, QLatin1Char('0'));
    if (hours == 0)
        return minutesAndSeconds;
    return QStringLiteral("%1:").arg(hours) + minutesAndSeconds;
}

void CallSwitchListItemWidget::setContactName(const QString &name)
{
    ui->contactLabel->setText(name.isEmpty() ? tr("Unknown") : name);
    updateAccessibleName();
}

void CallSwitchListItemWidget::setNumber(const QString &number)
{
    ui->numberLabel->setText(number);
    updateAccessibleName();
}

void CallSwitchListItemWidget::setActive(bool active)
{
    ui->callStateLabel->setText(active ? tr("ACTIVE") : tr("ON HOLD"));
    ui->callStateLabel->setProperty("_active", active);
    repolish(ui->callStateLabel);
    updateAccessibleName();
}

void CallSwitchListItemWidget::setSelected(bool selected)
{
    ui->backgroundFrame->setProperty("_selected", selected);
    repolish(ui->backgroundFrame);
}

void CallSwitchListItemWidget::setDurationSeconds(qint64 seconds)
{
    ui->callDurationLabel->setText(formatDuration(seconds));
}

QString CallSwitchListItemWidget::contactText() const
{
    return ui->contactLabel->text();
}

QString CallSwitchListItemWidget::numberText() const
{
    return ui->numberLabel->text();
}

QString CallSwitchListItemWidget::stateText() const
{
    return ui->callStateLabel->text();
}

QString CallSwitchListItemWidget::durationText() const
{
    return ui->callDurationLabel->text();
}

bool CallSwitchListItemWidget::isActive() const
{
    return ui->callStateLabel->property("_active").toBool();
}

bool CallSwitchListItemWidget::isSelected() const
{
    return ui->backgroundFrame->property("_selected").toBool();
}

void CallSwitchListItemWidget::updateAccessibleName()
{
    // One line for a screen reader, e.g. "Anna Berg, +15550100, ON HOLD".
    setAccessibleName(
        QStringLiteral("%1, %2, %3").arg(contactText(), numberText(), ui->callStateLabel->text()));
}
