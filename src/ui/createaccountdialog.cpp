#include "createaccountdialog.h"
#include "ui_createaccountdialog.h"

#include <QRegularExpression>
#include <QStyle>

CreateAccountDialog::CreateAccountDialog(QWidget *parent)
    : DialogBase(parent)
    , ui(new Ui::CreateAccountDialog)
{
    ui->setupUi(dialogContentWidget());
    setTitle(tr("Create Account"));
    connect(ui->createButton, &QPushButton::clicked, this, &CreateAccountDialog::onCreateClicked);
    connect(ui->cancelButton, &QPushButton::clicked, this, &QDialog::reject);
}

CreateAccountDialog::~CreateAccountDialog()
{
    delete ui;
}

QString CreateAccountDialog::email() const
{
    return ui->emailLineEdit->text();
}

QString CreateAccountDialog::password() const
{
    return ui->passwordLineEdit->text();
}

QString CreateAccountDialog::firstName() const
{
    return ui->firstNameLineEdit->text().trimmed();
}

QString CreateAccountDialog::lastName() const
{
    return ui->lastNameLineEdit->text().trimmed();
}

QString CreateAccountDialog::errorText() const
{
    return error();
}

bool CreateAccountDialog::isValidEmail(const QString &email)
{
    static const QRegularExpression pattern(
        QRegularExpression::anchoredPattern(QStringLiteral("\\b[A-Z0-9._%+-]+@[A-Z0-9.-]+\\.[A-Z]{2,4}\\b")),
        QRegularExpression::CaseInsensitiveOption);
    return pattern.match(email).hasMatch();
}

void CreateAccountDialog::validateField(bool condition, QStringList &list, QLabel *label, QString &textLabel)
{
    if (condition)
        list.append(textLabel);
    label->setProperty("_invalid", condition);
    label->style()->unpolish(label);
    label->style()->polish(label);
}

QStringList CreateAccountDialog::validateData()
{
    QStringList failed;
    QString name = tr("Email");
    validateField(!isValidEmail(ui->emailLineEdit->text()), failed, ui->emailLabel, name);
    name = tr("Password");
    validateField(ui->passwordLineEdit->text().isEmpty(), failed, ui->passwordLabel, name);
    name = tr("Retype Password");
    validateField(ui->passwordConfirmLineEdit->text().isEmpty()
            || ui->passwordConfirmLineEdit->text() != ui->passwordLineEdit->text(),
        failed, ui->passwordConfirmLabel, name);
    name = tr("First Name");
    validateField(ui->firstNameLineEdit->text().trimmed().isEmpty(), failed, ui->firstNameLabel, name);
    name = tr("Last Name");
    validateField(ui->lastNameLineEdit->text().trimmed().isEmpty(), failed, ui->lastNameLabel, name);
    return failed;
}

void CreateAccountDialog::onCreateClicked()
{
    const QStringList failed = validateData();
    if (failed.isEmpty()) {
        setError(QString());
        accept();
        return;
    }
    setError(tr("The following fields are invalid: %1").arg(failed.join(QStringLiteral(", "))));
}
