#pragma once

#include <QPointer>
#include <QWidget>

namespace Ui {
class ContactDetailsPage;
}
class ContactManager;
class QLabel;

// One contact: its name, up to five numbers with call and SMS buttons, its group, e-mail and address.
class ContactDetailsPage : public QWidget
{
    Q_OBJECT
public:
    static constexpr int numberRows = 5;

    explicit ContactDetailsPage(QWidget *parent = nullptr);
    ~ContactDetailsPage() override;

    void setContactManager(ContactManager *manager);
    // Shows the contact of that nick; false (and nothing changed) when the book has no such contact.
    bool showContact(const QString &nick);
    // Forgets the shown contact.
    void clear();
    QString contactNick() const { return nick; }
    QString displayName() const { return name; }
    // The type caption of a phone type: "Home", "Work", "Mobile", or empty.
    static QString phoneTypeName(int type);

public slots:
    // Shows the remembered contact again, after it was edited.
    void updateContact();

signals:
    void callContact(QString name, QString number);
    void sendSMS(QString name, QString number);
    void editContactRequested(QString contactNick);
    void deleteContactRequested(QString contactNick);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private slots:
    void onCallNumberClicked();
    void onSendSMSClicked();

private:
    QString numberOfSender() const;
    void elideName();
    QLabel *numberLabel(int row) const;

    Ui::ContactDetailsPage *ui;
    QPointer<ContactManager> contactManager;
    QString name;
    QString nick;
};
