#pragma once

#include <QList>
#include <QPair>
#include <QPointer>
#include <QStringList>

#include "ui/dialogbase.h"

namespace Ui {
class AddEditContactDialog;
}
class ContactGroup;
class ContactManager;
class PhoneNumberWidget;
class QLabel;

// Adds a contact to the address book or edits one: names, e-mail, address, up to five numbers with
// their types, and the group, which may be a new one typed here. Invalid input never reaches the book;
// the dialog stays open with a message and the offending fields marked.
class AddEditContactDialog : public DialogBase
{
    Q_OBJECT
public:
    static constexpr int maxPhoneRows = 5;

    explicit AddEditContactDialog(QWidget *parent = nullptr);
    ~AddEditContactDialog() override;

    void setContactManager(ContactManager *manager);
    void setAddContact(const QList<ContactGroup *> &groups);
    // false when the book has no contact of that nick; the dialog is then not usable.
    bool setEditContact(const QString &nick);

    bool isAdding() const { return adding; }
    QString editedNick() const { return nick; }
    int phoneRowCount() const { return visibleRows; }
    PhoneNumberWidget *phoneRow(int row) const;
    QLabel *phoneLabel(int row) const;
    // The invalid fields of the last save, in form order.
    QStringList invalidFields() const { return lastInvalid; }

signals:
    void groupAddRequested(QString groupName);

protected:
    void showEvent(QShowEvent *event) override;

private slots:
    void onAddSaveContactClicked();
    void onAddNumberClicked();
    void onRemoveNumberClicked();
    void onAddGroupClicked();
    void onCancelAddGroupClicked();
    QString checkGroup();
    // Closes the dialog when what it edits has left the book (sign-out, a reload).
    void onBookChanged();

private:
    // The error line, with the dialog grown to fit it.
    void showMessage(const QString &text);
    using PhoneRow = QPair<QString, int>;

    void showPhoneRows(int count);
    QList<PhoneRow> readPhoneRows() const;
    void writePhoneRows(const QList<PhoneRow> &rows);
    void fillGroupCombo(const QStringList &names, const QString &selected);
    QStringList validate();
    void markConflicts(const QStringList &labels);
    static void setMarked(QWidget *widget, bool invalid);

    Ui::AddEditContactDialog *ui;
    QPointer<ContactManager> contactManager;
    int visibleRows = 1;
    QString nick;
    QString oldGroupName;
    bool adding = true;
    bool fixMinimumSizeOnShow = true;
    QStringList lastInvalid;
};
