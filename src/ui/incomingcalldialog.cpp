#include "ui/incomingcalldialog.h"
#include "ui_incomingcalldialog.h"

#include <QMouseEvent>
#include <QPainter>
#include <QStyleOption>

IncomingCallDialog::IncomingCallDialog(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
    , ui(new Ui::IncomingCallDialog)
{
    ui->setupUi(this);
    setAttribute(Qt::WA_TranslucentBackground);
    ui->voiceMailButton->hide();
    connect(ui->anwserButton, &QPushButton::clicked, this, &IncomingCallDialog::onAcceptCall);
    connect(ui->declineButton, &QPushButton::clicked, this, &IncomingCallDialog::onRejectCall);
    connect(ui->closeButton, &QPushButton::clicked, this, &IncomingCallDialog::close);
    connect(ui->voiceMailButton, &QPushButton::clicked, this, &IncomingCallDialog::voiceMailClicked);
}

IncomingCallDialog::~IncomingCallDialog()
{
    delete ui;
}

void IncomingCallDialog::setCaller(const QString &number, const QString &name)
{
    const QString caller = name.isEmpty() ? number : name;
    ui->infoLabel->setText(tr("%1<br/>is calling...").arg(caller.toHtmlEscaped()));
    ui->infoLabel->setAccessibleName(tr("%1 is calling").arg(caller));
}

QString IncomingCallDialog::infoText() const
{
    return ui->infoLabel->text();
}

void IncomingCallDialog::onAcceptCall()
{
    emit acceptCall();
    accept();
}

void IncomingCallDialog::onRejectCall()
{
    emit rejectCall();
    reject();
}

void IncomingCallDialog::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton) {
        dragging = true;
        dragOffset = event->globalPos() - frameGeometry().topLeft();
    }
    QDialog::mousePressEvent(event);
}

void IncomingCallDialog::mouseMoveEvent(QMouseEvent *event)
{
    if (dragging && (event->buttons() & Qt::LeftButton))
        move(event->globalPos() - dragOffset);
    QDialog::mouseMoveEvent(event);
}

void IncomingCallDialog::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        dragging = false;
    QDialog::mouseReleaseEvent(event);
}

void IncomingCallDialog::paintEvent(QPaintEvent *)
{
    QStyleOption option;
    option.initFrom(this);
    QPainter painter(this);
    style()->drawPrimitive(QStyle::PE_Widget, &option, &painter, this);
}
