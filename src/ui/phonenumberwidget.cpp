#include "ui/phonenumberwidget.h"
#include "ui_phonenumberwidget.h"

#include <QKeyEvent>
#include <QMenu>
#include <QRegExpValidator>
#include <QStyle>

#include "ui/contactformrules.h"
#include "util/log.h"

PhoneNumberWidget::PhoneNumberWidget(QWidget *parent)
    : QWidget(parent), ui(new Ui::PhoneNumberWidget), typePopup(new QMenu(this))
{
    ui->setupUi(this);
    ui->phoneLineEdit->setValidator(
        new QRegExpValidator(ContactFormRules::phoneInputExpression(), ui->phoneLineEdit));
    ui->phoneLineEdit->installEventFilter(this);
    // Rows keep their buttons' room when a button is hidden, so the number fields line up.
    for (QWidget *button :
        { static_cast<QWidget *>(ui->addButton), static_cast<QWidget *>(ui->removeButton) }) {
        QSizePolicy policy = button->sizePolicy();
        policy.setRetainSizeWhenHidden(true);
        button->setSizePolicy(policy);
    }

    typePopup->setObjectName(QStringLiteral("phoneTypePopup"));
    const struct
    {
        QString text;
        const char *icon;
        int type;
    } entries[] = {
        { tr("Home"), ":/gfx/addcontact/phone-type-home.png", 0 },
        { tr("Work"), ":/gfx/addcontact/phone-type-work.png", 1 },
        { tr("Mobile"), ":/gfx/addcontact/phone-type-mobile.png", 2 },
    };
    for (const auto &entry : entries) {
        QAction *action = typePopup->addAction(QIcon(QString::fromLatin1(entry.icon)), entry.text);
        action->setData(entry.type);
        connect(action, &QAction::triggered, this, &PhoneNumberWidget::onPhoneTypeChosen);
    }

    connect(
        ui->choosePhoneTypeButton, &QPushButton::clicked, this, &PhoneNumberWidget::onChoosePhoneTypeClicked);
    connect(ui->addButton, &QPushButton::clicked, this, &PhoneNumberWidget::addClicked);
    connect(ui->removeButton, &QPushButton::clicked, this, &PhoneNumberWidget::removeClicked);
    setType(0);
}

PhoneNumberWidget::~PhoneNumberWidget()
{
    delete ui;
}

QString PhoneNumberWidget::text() const
{
    return ui->phoneLineEdit->text();
}

void PhoneNumberWidget::setText(const QString &text)
{
    ui->phoneLineEdit->setText(text);
}

QString PhoneNumberWidget::phoneTypeKey(int type)
{
    switch (type) {
    case 0:
        return QStringLiteral("home");
    case 1:
        return QStringLiteral("work");
    case 2:
        return QStringLiteral("mobile");
    default:
        return QString();
    }
}

void PhoneNumberWidget::setType(int type)
{
    phoneType = type;
    QPushButton *button = ui->choosePhoneTypeButton;
    button->setProperty("_phone_type", phoneTypeKey(type));
    button->style()->unpolish(button);
    button->style()->polish(button);
    button->update();
}

void PhoneNumberWidget::setButtonsVisible(int mode)
{
    switch (mode) {
    case AddOnly:
        ui->addButton->show();
        ui->removeButton->hide();
        break;
    case RemoveOnly:
        ui->addButton->hide();
        ui->removeButton->show();
        break;
    case AddAndRemove:
        ui->addButton->show();
        ui->removeButton->show();
        break;
    default:
        LOG_TRACE << "unknown buttons mode" << mode;
        break;
    }
}

void PhoneNumberWidget::onChoosePhoneTypeClicked()
{
    QPushButton *button = ui->choosePhoneTypeButton;
    typePopup->popup(button->mapToGlobal(QPoint(0, button->height())));
}

void PhoneNumberWidget::onPhoneTypeChosen()
{
    auto *action = qobject_cast<QAction *>(sender());
    bool ok = false;
    const int type = action ? action->data().toInt(&ok) : -1;
    if (!ok) {
        LOG_TRACE << "Can't convert??";
        return;
    }
    LOG_TRACE << "Chosen..." << type;
    setType(type);
}

bool PhoneNumberWidget::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == ui->phoneLineEdit && event->type() == QEvent::KeyPress
        && static_cast<QKeyEvent *>(event)->key() == Qt::Key_Down) {
        onChoosePhoneTypeClicked();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}
