#include "ui/contactscreens.h"

#include <QInputDialog>
#include <QMessageBox>

#include "contactgroup.h"
#include "contactmanager.h"
#include "settings/settings.h"
#include "ui/addeditcontactdialog.h"
#include "ui/addeditgroupdialog.h"
#include "ui/contactdetailspage.h"
#include "ui/contactlistpage.h"
#include "util/log.h"

ContactScreens::ContactScreens(QWidget *parent)
    : QObject(parent)
    , parentWidget(parent)
    , list(new ContactListPage(parent))
    , details(new ContactDetailsPage(parent))
{
    list->setObjectName(QStringLiteral("contactListPage"));
    details->setObjectName(QStringLiteral("contactDetailsPage"));
    list->hide();
    details->hide();

    askQuestion = [this](const QString &question, const QString &extra) {
        QMessageBox box(QMessageBox::Question, tr("Contacts"), question, QMessageBox::Yes | QMessageBox::No,
            dialogParent());
        box.setInformativeText(extra);
        return box.exec() == QMessageBox::Yes;
    };
    chooseGroup = [this](const QStringList &groups) {
        bool ok = false;
        const QString chosen
            = QInputDialog::getItem(dialogParent(), tr("Select Group"), tr("Group:"), groups, 0, false, &ok);
        return ok ? chosen : QString();
    };
    runDialog = [](QDialog *dialog) { return dialog->exec(); };

    connect(list, &ContactListPage::callContact, this, &ContactScreens::callContact);
    connect(list, &ContactListPage::sendSMS, this, &ContactScreens::sendSMS);
    connect(list, &ContactListPage::viewContactDetailsRequested, this, &ContactScreens::showContactDetails);
    connect(list, &ContactListPage::editContactRequested, this, &ContactScreens::editContact);
    connect(list, &ContactListPage::deleteContactRequested, this, &ContactScreens::deleteContact);
    connect(list, &ContactListPage::editGroupRequested, this, &ContactScreens::editGroup);
    connect(list, &ContactListPage::deleteGroupRequested, this, &ContactScreens::deleteGroup);
    connect(details, &ContactDetailsPage::callContact, this, &ContactScreens::callContact);
    connect(details, &ContactDetailsPage::sendSMS, this, &ContactScreens::sendSMS);
    connect(details, &ContactDetailsPage::editContactRequested, this, &ContactScreens::editContact);
    connect(details, &ContactDetailsPage::deleteContactRequested, this, &ContactScreens::deleteContact);
}

ContactScreens::~ContactScreens() = default;

QWidget *ContactScreens::dialogParent() const
{
    return parentWidget ? parentWidget->window() : nullptr;
}

void ContactScreens::setContactManager(ContactManager *manager)
{
    if (contactManager)
        disconnect(contactManager, nullptr, this, nullptr);
    contactManager = manager;
    details->setContactManager(manager);
    if (manager)
        connect(manager, &ContactManager::refreshContactListUI, this, &ContactScreens::contactListRefresh);
    contactListRefresh();
}

void ContactScreens::setSettings(Settings *store)
{
    settings = store;
    list->setSettings(store);
}

void ContactScreens::contactListRefresh()
{
    LOG_TRACE << "Refreshing contact list";
    list->setGroups(contactManager ? contactManager->groupList() : QList<ContactGroup *>());
    if (details->contactNick().isEmpty())
        return;
    if (!contactManager || !contactManager->contactPresent(details->contactNick())) {
        // The shown contact was deleted or the user signed out: back to the list.
        details->clear();
        if (details->isVisible())
            emit showViewRequested(contactListView);
        return;
    }
    details->updateContact();
}

void ContactScreens::setShowGroups(bool show)
{
    list->setShowGroups(show);
}

void ContactScreens::toggleShowGroups()
{
    list->setShowGroups(!list->showGroups());
}

int ContactScreens::exec(QDialog *dialog)
{
    return runDialog(dialog);
}

void ContactScreens::showContactDetails(const QString &nick)
{
    if (details->showContact(nick))
        emit showViewRequested(contactDetailsView);
}

void ContactScreens::showAddContact()
{
    if (!contactManager)
        return;
    AddEditContactDialog dialog(dialogParent());
    openContactDialog = &dialog;
    dialog.setContactManager(contactManager);
    dialog.setAddContact(contactManager->groupList());
    exec(&dialog);
    LOG_TRACE << "Contact added..?";
}

void ContactScreens::editContact(const QString &nick)
{
    LOG_TRACE << "contact nick:" << nick;
    if (!contactManager)
        return;
    AddEditContactDialog dialog(dialogParent());
    openContactDialog = &dialog;
    dialog.setContactManager(contactManager);
    if (!dialog.setEditContact(nick))
        return;
    exec(&dialog);
}

void ContactScreens::showAddGroup()
{
    if (!contactManager)
        return;
    AddEditGroupDialog dialog(dialogParent());
    openGroupDialog = &dialog;
    dialog.setContactManager(contactManager);
    dialog.setAddGroup();
    exec(&dialog);
    LOG_TRACE << "Group operation done, refreshing...";
}

void ContactScreens::editGroup(const QString &groupName)
{
    if (!contactManager)
        return;
    AddEditGroupDialog dialog(dialogParent());
    openGroupDialog = &dialog;
    dialog.setContactManager(contactManager);
    if (!dialog.setEditGroup(groupName))
        return;
    exec(&dialog);
    LOG_TRACE << "Group operation done, refreshing...";
}

void ContactScreens::deleteContact(const QString &nick)
{
    if (!contactManager || !contactManager->contactPresent(nick))
        return;
    if (!askQuestion(tr("Do you want to delete this contact?"), QString()))
        return;
    // Looked up again: the book may have changed while the question was open.
    if (!contactManager || !contactManager->contactPresent(nick)) {
        LOG_WARNING << "WARNING: NULL POINTER" << nick;
        return;
    }
    contactManager->deleteContact(nick);
}

void ContactScreens::deleteGroup(const QString &groupName, bool moveContacts)
{
    const ContactGroup *group = contactManager ? contactManager->contactGroup(groupName) : nullptr;
    // The default groups stay.
    if (!group || group->isDefault())
        return;
    QString target;
    if (moveContacts) {
        if (!askQuestion(tr("Delete group, move contacts?"), QString()))
            return;
        QStringList others;
        for (const ContactGroup *group : contactManager->groupList()) {
            if (group->name() != groupName)
                others.append(group->name());
        }
        target = chooseGroup(others);
        if (target.isEmpty())
            return;
    } else if (!askQuestion(tr("Delete group and contacts?"), QString())) {
        return;
    }
    if (!contactManager || !contactManager->contactGroup(groupName)
        || (moveContacts && !contactManager->contactGroup(target))) {
        LOG_WARNING << "group" << groupName << "or" << target << "left the address book; nothing deleted";
        return;
    }
    if (moveContacts)
        contactManager->deleteGroupMoveContacts(groupName, target);
    else
        contactManager->deleteGroupAndContacts(groupName);
}
