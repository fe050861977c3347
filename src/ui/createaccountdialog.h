#pragma once

#include <QStringList>

#include "ui/dialogbase.h"

namespace Ui {
class CreateAccountDialog;
}
class QLabel;

// Asks for the details of a new account and checks them before it closes.
class CreateAccountDialog : public DialogBase
{
    Q_OBJECT
public:
    explicit CreateAccountDialog(QWidget *parent = nullptr);
    ~CreateAccountDialog() override;

    QString email() const;
    QString password() const;
    QString firstName() const;
    QString lastName() const;
    QString errorText() const;

    static bool isValidEmail(const QString &email);

private slots:
    void onCreateClicked();
    // The translated names of the fields that fail, in form order.
    QStringList validateData();
    void validateField(bool condition, QStringList &list, QLabel *label, QString &textLabel);

private:
    Ui::CreateAccountDialog *ui;
};
