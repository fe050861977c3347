#include "ui/minimizetotraydialog.h"
#include "ui_minimizetotraydialog.h"

#include <QPainter>
#include <QStyleOption>

#include "settings/settings.h"

MinimizeToTrayDialog::MinimizeToTrayDialog(Settings *settings, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint)
    , ui(new Ui::MinimizeToTrayDialog)
    , settings(settings)
{
    ui->setupUi(this);
    setAttribute(Qt::WA_TranslucentBackground);
    connect(ui->closeButton, &QPushButton::clicked, this, &MinimizeToTrayDialog::onOkClicked);
}

MinimizeToTrayDialog::~MinimizeToTrayDialog()
{
    delete ui;
}

void MinimizeToTrayDialog::onOkClicked()
{
    if (settings)
        settings->setMinimizeToTrayHint(!ui->dontShowAgainCheckBox->isChecked());
    accept();
}

void MinimizeToTrayDialog::paintEvent(QPaintEvent *)
{
    QStyleOption option;
    option.initFrom(this);
    QPainter painter(this);
    style()->drawPrimitive(QStyle::PE_Widget, &option, &painter, this);
}
