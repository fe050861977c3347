#include "ui/contactwidget.h"
#include "ui_contactwidget.h"

ContactWidget::ContactWidget(QWidget *parent) : QWidget(parent), ui(new Ui::ContactWidget)
{
    ui->setupUi(this);
    connect(ui->addRemoveButton, &QPushButton::toggled, this, &ContactWidget::onAddRemoveClicked);
    onAddRemoveClicked(false);
}

ContactWidget::~ContactWidget()
{
    delete ui;
}

void ContactWidget::setName(const QString &name)
{
    ui->nameLabel->setText(name);
    ui->nameLabel->setToolTip(name);
    ui->addRemoveButton->setAccessibleName(name);
}

QString ContactWidget::name() const
{
    return ui->nameLabel->text();
}

void ContactWidget::setGroup(const QString &group)
{
    ui->groupLabel->setText(QStringLiteral("(%1)").arg(group));
}

QString ContactWidget::group() const
{
    return ui->groupLabel->text();
}

void ContactWidget::setChecked(bool checked)
{
    ui->addRemoveButton->setChecked(checked);
    onAddRemoveClicked(checked);
}

bool ContactWidget::isChecked() const
{
    return ui->addRemoveButton->isChecked();
}

void ContactWidget::onAddRemoveClicked(bool checked)
{
    ui->addRemoveButton->setText(checked ? tr("REMOVE") : tr("ADD"));
}
