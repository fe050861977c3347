#pragma once

#include <QDialog>
#include <QList>
#include <QStringList>

class ContactManager;
class MissedCallWidget;
class QLabel;
class QVBoxLayout;

// The calls nobody answered, one row per number with how often it called.
class MissedCallsDialog : public QDialog
{
    Q_OBJECT
public:
    explicit MissedCallsDialog(const ContactManager *contacts, QWidget *parent = nullptr);

    QString headingText() const;
    QList<MissedCallWidget *> rows() const { return widgets; }

public slots:
    void setMissedCallsNumbers(QStringList calls);

signals:
    void callNumber(QString number);
    void sendSMSToNumber(QString number);

private:
    const ContactManager *contacts;
    QLabel *headingLabel;
    QVBoxLayout *listLayout;
    QList<MissedCallWidget *> widgets;
};
