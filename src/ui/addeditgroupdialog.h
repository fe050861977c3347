#pragma once

#include <QPointer>
#include <QStringList>

#include "ui/dialogbase.h"

namespace Ui {
class AddEditGroupDialog;
}
class ContactGroup;
class ContactManager;
class ContactWidget;

// Creates a group or renames one, and puts contacts into it. The edited group is held by name and
// looked up again on save, so a book that changed meanwhile is never read through a stale pointer.
class AddEditGroupDialog : public DialogBase
{
    Q_OBJECT
public:
    explicit AddEditGroupDialog(QWidget *parent = nullptr);
    ~AddEditGroupDialog() override;

    void setContactManager(ContactManager *manager);
    void setAddGroup();
    void setEditGroup(ContactGroup *group);
    // false when the book has no group of that name.
    bool setEditGroup(const QString &groupName);
    // The name field's text, trimmed.
    QString groupName() const;
    bool isAdding() const { return editedGroup.isEmpty(); }
    QString editedGroupName() const { return editedGroup; }
    // Nicks of the contacts whose button is checked, in list order; contacts gone from the book are
    // left out.
    QStringList selectedContacts() const;
    ContactWidget *contactWidget(int row) const;
    int contactRowCount() const;

public slots:
    void showExpanded(bool expanded);

protected:
    void showEvent(QShowEvent *event) override;

private slots:
    void onSaveCreateGroupClicked();
    void onBookChanged();

private:
    // The error line, with the dialog grown to fit it.
    void showMessage(const QString &text);
    void fillContactList();
    void applyExpanded();
    void updateExpandIcon();
    bool nameTaken(const QString &name) const;
    static void setMarked(QWidget *widget, bool invalid);

    Ui::AddEditGroupDialog *ui;
    QPointer<ContactManager> contactManager;
    QString editedGroup;
    bool expanded = false;
    bool shownOnce = false;
};
