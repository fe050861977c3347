#include "ui/addeditgroupdialog.h"
#include "ui_addeditgroupdialog.h"

#include <QListWidgetItem>
#include <QRegExpValidator>
#include <QStyle>

#include "contactgroup.h"
#include "contactmanager.h"
#include "groupaddeditdeletetask.h"
#include "rest/contact.h"
#include "ui/contactformrules.h"
#include "ui/contactwidget.h"
#include "util/log.h"

namespace {
constexpr int contactRowHeight = 26;
}

AddEditGroupDialog::AddEditGroupDialog(QWidget *parent) : DialogBase(parent), ui(new Ui::AddEditGroupDialog)
{
    setObjectName(QStringLiteral("AddEditGroupDialog"));
    ui->setupUi(dialogContentWidget());
    ui->groupNameLineEdit->setValidator(
        new QRegExpValidator(ContactFormRules::groupInputExpression(), ui->groupNameLineEdit));
    ui->listWidget->setFixedHeight(236);
    connect(ui->expandCollapseButton, &QPushButton::toggled, this, &AddEditGroupDialog::showExpanded);
    connect(ui->saveCreateGroupButton, &QPushButton::clicked, this,
        &AddEditGroupDialog::onSaveCreateGroupClicked);
    setAddGroup();
}

AddEditGroupDialog::~AddEditGroupDialog()
{
    delete ui;
}

void AddEditGroupDialog::setContactManager(ContactManager *manager)
{
    if (contactManager)
        disconnect(contactManager, nullptr, this, nullptr);
    contactManager = manager;
    if (manager)
        connect(manager, &ContactManager::refreshContactListUI, this, &AddEditGroupDialog::onBookChanged);
    fillContactList();
}

void AddEditGroupDialog::setMarked(QWidget *widget, bool invalid)
{
    widget->setProperty("_invalid", invalid);
    widget->style()->unpolish(widget);
    widget->style()->polish(widget);
    widget->update();
}

QString AddEditGroupDialog::groupName() const
{
    return ui->groupNameLineEdit->text().trimmed();
}

void AddEditGroupDialog::setAddGroup()
{
    setTitle(tr("Add new group"));
    ui->groupLabel->setText(tr("New Group:"));
    ui->saveCreateGroupButton->setText(tr("Save Group"));
    ui->groupNameLineEdit->clear();
    editedGroup.clear();
    setMarked(ui->groupLabel, false);
    showMessage(QString());
    fillContactList();
    ui->expandCollapseButton->setChecked(false);
    showExpanded(false);
}

void AddEditGroupDialog::setEditGroup(ContactGroup *group)
{
    if (!group) {
        LOG_WARNING << "group null";
        return;
    }
    setEditGroup(group->name());
}

bool AddEditGroupDialog::setEditGroup(const QString &name)
{
    if (!contactManager || !contactManager->contactGroup(name)) {
        LOG_WARNING << "cannot edit group" << name << ": it is not in the address book";
        return false;
    }
    setTitle(tr("Edit group"));
    ui->groupLabel->setText(tr("Group Name:"));
    ui->saveCreateGroupButton->setText(tr("Save Group"));
    ui->groupNameLineEdit->setText(name);
    editedGroup = name;
    setMarked(ui->groupLabel, false);
    showMessage(QString());
    fillContactList();
    ui->expandCollapseButton->setChecked(false);
    showExpanded(false);
    return true;
}

void AddEditGroupDialog::fillContactList()
{
    ui->listWidget->clear();
    if (!contactManager)
        return;
    const QList<ContactGroup *> groups = contactManager->groupList();
    for (int g = 0; g < groups.size(); ++g) {
        const ContactGroup *group = groups.at(g);
        if (!group) {
            LOG_TRACE << "group null";
            continue;
        }
        const QList<Contact *> members = group->contacts();
        for (int c = 0; c < members.size(); ++c) {
            const Contact *contact = members.at(c);
            if (!contact) {
                LOG_TRACE << "contact null";
                continue;
            }
            const QString name = contact->firstName() + QLatin1Char(' ') + contact->lastName();
            const QStringList emails = contact->emails();
            auto *item = new QListWidgetItem(
                emails.isEmpty() ? name : name + QStringLiteral(" (") + emails.first() + QLatin1Char(')'),
                ui->listWidget);
            // The row widget shows the contact; the item's own text stays for searching and
            // accessibility but must not shine through.
            item->setForeground(Qt::transparent);
            item->setSizeHint(QSize(0, contactRowHeight));
            auto *widget = new ContactWidget(ui->listWidget);
            widget->setName(name);
            widget->setGroup(group->name());
            widget->setGroupIndex(g);
            widget->setContactIndex(c);
            widget->setNick(contact->nick());
            widget->setChecked(!editedGroup.isEmpty() && group->name() == editedGroup);
            ui->listWidget->setItemWidget(item, widget);
        }
    }
}

int AddEditGroupDialog::contactRowCount() const
{
    return ui->listWidget->count();
}

ContactWidget *AddEditGroupDialog::contactWidget(int row) const
{
    return qobject_cast<ContactWidget *>(ui->listWidget->itemWidget(ui->listWidget->item(row)));
}

QStringList AddEditGroupDialog::selectedContacts() const
{
    QStringList nicks;
    for (int row = 0; row < contactRowCount(); ++row) {
        const ContactWidget *widget = contactWidget(row);
        if (!widget || !widget->isChecked())
            continue;
        LOG_TRACE << "Trying contact" << widget->contactIndex() << "of group" << widget->groupIndex();
        if (!contactManager || !contactManager->contactPresent(widget->nick())) {
            LOG_TRACE << "Weird contact index:" << widget->contactIndex() << widget->nick();
            continue;
        }
        nicks.append(widget->nick());
    }
    LOG_TRACE << "returning selected contacts...";
    return nicks;
}

// ---- expanding -------------------------------------------------------------------------------------

void AddEditGroupDialog::showExpanded(bool expand)
{
    expanded = expand;
    if (ui->expandCollapseButton->isChecked() != expand)
        ui->expandCollapseButton->setChecked(expand);
    updateExpandIcon();
    // Before the first show the size is settled by the show event.
    if (shownOnce)
        applyExpanded();
    else
        ui->listWidget->setVisible(expand);
}

void AddEditGroupDialog::applyExpanded()
{
    const int keptWidth = width();
    ui->listWidget->setVisible(expanded);
    setMinimumSize(0, 0);
    adjustSize();
    resize(keptWidth, sizeHint().height());
}

void AddEditGroupDialog::showEvent(QShowEvent *event)
{
    DialogBase::showEvent(event);
    if (!shownOnce) {
        shownOnce = true;
        applyExpanded();
        updateExpandIcon();
        ui->groupNameLineEdit->setFocus();
    }
}

// ---- saving ----------------------------------------------------------------------------------------

bool AddEditGroupDialog::nameTaken(const QString &name) const
{
    for (const ContactGroup *group : contactManager->groupList()) {
        if (group->name() != editedGroup && group->name().compare(name, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

void AddEditGroupDialog::onBookChanged()
{
    if (!contactManager || !isVisible())
        return;
    const bool gone = contactManager->groupCount() == 0
        || (!editedGroup.isEmpty() && !contactManager->contactGroup(editedGroup));
    if (gone) {
        LOG_TRACE << "the address book changed under the open group dialog; closing it";
        reject();
    }
}

void AddEditGroupDialog::onSaveCreateGroupClicked()
{
    const QString name = groupName();
    const bool valid = ContactFormRules::isValidGroupName(name);
    setMarked(ui->groupLabel, !valid);
    if (!valid) {
        showMessage(tr("The following field is invalid or contains spaces: %1").arg(tr("Group")));
        return;
    }
    if (!contactManager) {
        LOG_WARNING << "no address book to save the group in";
        return;
    }
    if (nameTaken(name)) {
        setMarked(ui->groupLabel, true);
        showMessage(tr("The following group already exists: %1").arg(name));
        return;
    }
    const QStringList nicks = selectedContacts();
    if (isAdding()) {
        if (nicks.isEmpty()) {
            contactManager->addNewGroup(name);
        } else {
            // The members are moved on the service only after it has created the group.
            contactManager->addOldGroup(name);
            for (const QString &nick : nicks)
                contactManager->moveContact(contactManager->contactPresent(nick), name, false);
            contactManager->groupTask()->startMoveToNewGroup(nicks, name);
        }
    } else {
        if (!contactManager->contactGroup(editedGroup)) {
            LOG_WARNING << "group" << editedGroup << "left the address book while it was edited";
            reject();
            return;
        }
        // The rename takes the members along, on the service and in the book; the contacts added
        // here then name the new group, whichever of the requests the service handles first.
        if (name != editedGroup)
            contactManager->updateGroup(editedGroup, name);
        for (const QString &nick : nicks)
            contactManager->moveContact(contactManager->contactPresent(nick), name, true);
    }
    showMessage(QString());
    accept();
}

void AddEditGroupDialog::showMessage(const QString &text)
{
    setError(text);
    // The message line takes room: grow rather than squeeze the form.
    if (isVisible())
        resize(size().expandedTo(sizeHint()));
}

// The style sheet sets the icon when the button is polished, not per state: the chevron follows here.
void AddEditGroupDialog::updateExpandIcon()
{
    ui->expandCollapseButton->setIcon(QIcon(expanded ? QStringLiteral(":/gfx/common/chevron-up.png")
                                                     : QStringLiteral(":/gfx/common/chevron-down.png")));
}
