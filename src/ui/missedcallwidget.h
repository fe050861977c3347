#pragma once

#include <QWidget>

class QLabel;
class QPushButton;

// One number in the missed-calls dialog: how often it called, who it is, and call / SMS buttons.
class MissedCallWidget : public QWidget
{
    Q_OBJECT
public:
    MissedCallWidget(const QString &phoneNumber, int count, const QString &name, QWidget *parent = nullptr);

    QString phoneNumber() const { return number; }
    QString countText() const;
    QString nameText() const;
    bool isNameShown() const;

signals:
    void call(QString phoneNumber);
    void sms(QString phoneNumber);

private:
    QString number;
    QLabel *countLabel;
    QLabel *numberLabel;
    QLabel *nameLabel;
    QPushButton *callButton;
    QPushButton *smsButton;
};
