#include "ui/addeditcontactdialog.h"
#include "ui_addeditcontactdialog.h"

#include <QRegExpValidator>
#include <QStyle>

#include "contactgroup.h"
#include "contactmanager.h"
#include "rest/contact.h"
#include "ui/contactformrules.h"
#include "ui/phonenumberwidget.h"
#include "util/log.h"

AddEditContactDialog::AddEditContactDialog(QWidget *parent)
    : DialogBase(parent), ui(new Ui::AddEditContactDialog)
{
    setObjectName(QStringLiteral("AddEditContactDialog"));
    ui->setupUi(dialogContentWidget());
    ui->groupLineEdit->setValidator(
        new QRegExpValidator(ContactFormRules::groupInputExpression(), ui->groupLineEdit));
    ui->groupLineEdit->setPlaceholderText(tr("insert group name..."));
    for (int row = 0; row < maxPhoneRows; ++row) {
        PhoneNumberWidget *widget = phoneRow(row);
        connect(widget, &PhoneNumberWidget::addClicked, this, &AddEditContactDialog::onAddNumberClicked);
        connect(
            widget, &PhoneNumberWidget::removeClicked, this, &AddEditContactDialog::onRemoveNumberClicked);
    }
    connect(ui->addGroupButton, &QPushButton::clicked, this, &AddEditContactDialog::onAddGroupClicked);
    connect(ui->cancelAddGroup, &QPushButton::clicked, this, &AddEditContactDialog::onCancelAddGroupClicked);
    connect(ui->addSaveContactButton, &QPushButton::clicked, this,
        &AddEditContactDialog::onAddSaveContactClicked);
    setTitle(tr("Add new contact"));
    showPhoneRows(1);
}

AddEditContactDialog::~AddEditContactDialog()
{
    delete ui;
}

void AddEditContactDialog::setContactManager(ContactManager *manager)
{
    if (contactManager)
        disconnect(contactManager, nullptr, this, nullptr);
    contactManager = manager;
    if (manager)
        connect(manager, &ContactManager::refreshContactListUI, this, &AddEditContactDialog::onBookChanged);
}

PhoneNumberWidget *AddEditContactDialog::phoneRow(int row) const
{
    return dialogContentWidget()->findChild<PhoneNumberWidget *>(
        QStringLiteral("phoneNumberWidget_%1").arg(row + 1));
}

QLabel *AddEditContactDialog::phoneLabel(int row) const
{
    return dialogContentWidget()->findChild<QLabel *>(QStringLiteral("phone_%1").arg(row + 1));
}

void AddEditContactDialog::setMarked(QWidget *widget, bool invalid)
{
    if (widget->property("_invalid").toBool() == invalid && widget->property("_invalid").isValid())
        return;
    widget->setProperty("_invalid", invalid);
    widget->style()->unpolish(widget);
    widget->style()->polish(widget);
    widget->update();
}

// ---- phone rows ------------------------------------------------------------------------------------

void AddEditContactDialog::showPhoneRows(int count)
{
    visibleRows = qBound(1, count, maxPhoneRows);
    for (int row = 0; row < maxPhoneRows; ++row) {
        const bool shown = row < visibleRows;
        PhoneNumberWidget *widget = phoneRow(row);
        widget->setText(QString());
        widget->setType(0);
        dialogContentWidget()
            ->findChild<QWidget *>(QStringLiteral("phoneLabel_%1").arg(row + 1))
            ->setVisible(shown);
        if (!shown)
            continue;
        if (visibleRows == 1)
            widget->setButtonsVisible(PhoneNumberWidget::AddOnly);
        else if (row < visibleRows - 1 || visibleRows == maxPhoneRows)
            widget->setButtonsVisible(PhoneNumberWidget::RemoveOnly);
        else
            widget->setButtonsVisible(PhoneNumberWidget::AddAndRemove);
    }
    if (isVisible()) {
        setMinimumSize(sizeHint());
        resize(width(), minimumHeight());
    } else {
        fixMinimumSizeOnShow = true;
    }
}

QList<AddEditContactDialog::PhoneRow> AddEditContactDialog::readPhoneRows() const
{
    QList<PhoneRow> rows;
    for (int row = 0; row < visibleRows; ++row)
        rows.append({ phoneRow(row)->text(), phoneRow(row)->type() });
    return rows;
}

void AddEditContactDialog::writePhoneRows(const QList<PhoneRow> &rows)
{
    for (int row = 0; row < visibleRows && row < rows.size(); ++row) {
        phoneRow(row)->setText(rows.at(row).first);
        phoneRow(row)->setType(rows.at(row).second);
    }
}

void AddEditContactDialog::onAddNumberClicked()
{
    const QList<PhoneRow> rows = readPhoneRows();
    showPhoneRows(visibleRows + 1);
    writePhoneRows(rows);
    phoneRow(visibleRows - 1)->setFocus();
}

void AddEditContactDialog::onRemoveNumberClicked()
{
    QList<PhoneRow> rows = readPhoneRows();
    const int removed = sender() ? ContactFormRules::widgetRow(sender()->objectName()) : -1;
    if (removed < 0 || removed >= rows.size() || visibleRows <= 1)
        return;
    showPhoneRows(visibleRows - 1);
    rows.removeAt(removed);
    writePhoneRows(rows);
    // The marks belonged to the rows as they were.
    for (int row = 0; row < maxPhoneRows; ++row)
        setMarked(phoneLabel(row), false);
}

void AddEditContactDialog::showEvent(QShowEvent *event)
{
    DialogBase::showEvent(event);
    if (fixMinimumSizeOnShow) {
        fixMinimumSizeOnShow = false;
        setMinimumSize(sizeHint());
        ui->firstNameLineEdit->setFocus();
    }
}

// ---- group choice ----------------------------------------------------------------------------------

void AddEditContactDialog::onAddGroupClicked()
{
    ui->groupLineEdit->clear();
    ui->groupStackedWidget->setCurrentWidget(ui->groupAddPage);
    ui->groupLineEdit->setFocus();
}

void AddEditContactDialog::onCancelAddGroupClicked()
{
    ui->groupLineEdit->clear();
    setMarked(ui->groupLineEdit, false);
    ui->groupStackedWidget->setCurrentWidget(ui->groupSelectPage);
}

QString AddEditContactDialog::checkGroup()
{
    const QString name = ui->groupLineEdit->text().trimmed();
    if (!ContactFormRules::isValidGroupName(name)) {
        setMarked(ui->groupLineEdit, true);
        showMessage(tr("The following field is invalid or contains spaces: %1").arg(tr("Group")));
        return tr("Group");
    }
    if (ui->groupCombo->findText(name, Qt::MatchFixedString) >= 0) {
        setMarked(ui->groupLineEdit, true);
        showMessage(tr("The following group already exists: %1").arg(name));
        return tr("Group");
    }
    setMarked(ui->groupLineEdit, false);
    showMessage(QString());
    return QString();
}

void AddEditContactDialog::fillGroupCombo(const QStringList &names, const QString &selected)
{
    ui->groupCombo->clear();
    for (const QString &name : names)
        ui->groupCombo->addItem(QIcon(), name);
    const int index = ui->groupCombo->findText(selected, Qt::MatchExactly | Qt::MatchCaseSensitive);
    ui->groupCombo->setCurrentIndex(index >= 0 ? index : (names.isEmpty() ? -1 : 0));
    setMarked(ui->groupCombo, false);
    onCancelAddGroupClicked();
}

// ---- modes -----------------------------------------------------------------------------------------

void AddEditContactDialog::setAddContact(const QList<ContactGroup *> &groups)
{
    LOG_TRACE << "Got groups list of size: " << groups.size();
    setTitle(tr("Add new contact"));
    ui->addSaveContactButton->setText(tr("Add contact"));
    QStringList names;
    for (const ContactGroup *group : groups) {
        if (group)
            names.append(group->name());
    }
    fillGroupCombo(names, names.value(0));
    for (QLineEdit *field :
        { ui->firstNameLineEdit, ui->lastNameLineEdit, ui->emailLineEdit, ui->addressLineEdit }) {
        field->clear();
        setMarked(field, false);
    }
    nick.clear();
    oldGroupName.clear();
    adding = true;
    showPhoneRows(1);
    showMessage(QString());
}

bool AddEditContactDialog::setEditContact(const QString &contactNick)
{
    const Contact *contact = contactManager ? contactManager->contactPresent(contactNick) : nullptr;
    if (!contact || contactManager->groupIndex(contact->groupName()) < 0) {
        LOG_WARNING << "cannot edit contact" << contactNick << ": it is not in the address book";
        return false;
    }
    setTitle(tr("Edit contact"));
    ui->addSaveContactButton->setText(tr("Save contact"));
    nick = contactNick;
    oldGroupName = contact->groupName();
    QStringList names;
    for (const ContactGroup *group : contactManager->groupList())
        names.append(group->name());
    fillGroupCombo(names, oldGroupName);
    ui->firstNameLineEdit->setText(contact->firstName());
    ui->lastNameLineEdit->setText(contact->lastName());
    const QStringList emails = contact->emails();
    ui->emailLineEdit->setText(emails.value(0));
    ui->addressLineEdit->setText(contact->addressLine1());
    for (QLineEdit *field :
        { ui->firstNameLineEdit, ui->lastNameLineEdit, ui->emailLineEdit, ui->addressLineEdit })
        setMarked(field, false);

    const QList<PhoneNumber> phones = contact->phones();
    showPhoneRows(qMin(int(phones.size()), maxPhoneRows));
    QList<PhoneRow> rows;
    for (int i = 0; i < phones.size() && i < maxPhoneRows; ++i)
        rows.append({ phones.at(i).number(), int(phones.at(i).type()) });
    writePhoneRows(rows);
    adding = false;
    showMessage(QString());
    return true;
}

void AddEditContactDialog::onBookChanged()
{
    if (!contactManager || !isVisible())
        return;
    // Signed out (the book is emptied then), or the edited contact is gone.
    const bool gone = contactManager->groupCount() == 0 || (!adding && !contactManager->contactPresent(nick));
    if (gone) {
        LOG_TRACE << "the address book changed under the open contact dialog; closing it";
        reject();
    }
}

// ---- saving ----------------------------------------------------------------------------------------

QStringList AddEditContactDialog::validate()
{
    QStringList invalid;
    const bool noFirstName = ui->firstNameLineEdit->text().trimmed().isEmpty();
    setMarked(ui->firstNameLineEdit, noFirstName);
    if (noFirstName)
        invalid.append(tr("First Name"));

    if (ui->groupStackedWidget->currentWidget() == ui->groupAddPage) {
        const QString groupError = checkGroup();
        if (!groupError.isEmpty())
            invalid.append(groupError);
    } else {
        const bool noGroup = ui->groupCombo->currentIndex() < 0;
        setMarked(ui->groupCombo, noGroup);
        if (noGroup)
            invalid.append(tr("Group"));
    }

    const QString email = ui->emailLineEdit->text().trimmed();
    const bool badEmail = !email.isEmpty() && !ContactFormRules::isValidEmail(email);
    setMarked(ui->emailLineEdit, badEmail);
    if (badEmail)
        invalid.append(tr("Email"));

    for (int row = 0; row < visibleRows; ++row) {
        const bool badPhone = !ContactFormRules::isValidPhone(phoneRow(row)->text());
        setMarked(phoneLabel(row), badPhone);
        if (badPhone)
            invalid.append(tr("Phone") + QStringLiteral(" %1").arg(row + 1));
    }
    for (int row = visibleRows; row < maxPhoneRows; ++row)
        setMarked(phoneLabel(row), false);
    return invalid;
}

void AddEditContactDialog::markConflicts(const QStringList &labels)
{
    setMarked(ui->emailLineEdit, labels.contains(ContactManager::tr("Email")));
    const bool sameName = labels.contains(ContactManager::tr("First/Last name"));
    setMarked(ui->firstNameLineEdit, sameName);
    setMarked(ui->lastNameLineEdit, sameName);
    for (int row = 0; row < maxPhoneRows; ++row)
        setMarked(phoneLabel(row), labels.contains(ContactManager::tr("Phone %1").arg(row + 1)));
}

void AddEditContactDialog::onAddSaveContactClicked()
{
    lastInvalid = validate();
    if (!lastInvalid.isEmpty()) {
        // A bad new group name has already said so in its own words.
        if (lastInvalid != QStringList { tr("Group") })
            showMessage(
                tr("The following fields are invalid: %1").arg(lastInvalid.join(QStringLiteral(", "))));
        return;
    }
    if (!contactManager) {
        LOG_WARNING << "no address book to save the contact in";
        return;
    }
    const bool newGroup = ui->groupStackedWidget->currentWidget() == ui->groupAddPage;
    const QString newGroupName = ui->groupLineEdit->text().trimmed();

    ContactFormRules::ContactForm form;
    form.firstName = ui->firstNameLineEdit->text();
    form.lastName = ui->lastNameLineEdit->text();
    form.email = ui->emailLineEdit->text();
    form.address = ui->addressLineEdit->text();
    form.groupName = ui->groupCombo->currentText();
    for (const PhoneRow &row : readPhoneRows()) {
        PhoneNumber phone;
        phone.setNumber(ContactFormRules::storedNumber(row.first));
        phone.setType(row.second);
        form.phones.append(phone);
    }

    Contact contact;
    if (adding) {
        // The contact belongs where it is created: in the new group when one was typed.
        if (newGroup)
            form.groupName = newGroupName;
        contact = ContactFormRules::newContact(form);
        contact.setNick(contact.generateNick());
    } else {
        const Contact *stored = contactManager->contactPresent(nick);
        if (!stored) {
            LOG_WARNING << "contact" << nick << "left the address book while it was edited";
            reject();
            return;
        }
        // Field changes are saved in the old group; a new group is a move after that.
        if (newGroup)
            form.groupName = oldGroupName;
        contact = ContactFormRules::editedContact(*stored, form);
    }

    const QStringList conflicts = contactManager->conflictingFields(contact);
    if (!conflicts.isEmpty()) {
        markConflicts(conflicts);
        showMessage(tr("Contact exist with the same fields: %1").arg(conflicts.join(QStringLiteral(", "))));
        return;
    }
    showMessage(QString());

    if (adding) {
        if (newGroup)
            contactManager->addNewGroupAndNewContact(contact, newGroupName);
        else
            contactManager->addNewContact(contact);
    } else {
        contactManager->updateContact(contact, oldGroupName);
        if (newGroup)
            contactManager->addNewGroupAndMoveContact(contact, newGroupName);
    }
    accept();
}

void AddEditContactDialog::showMessage(const QString &text)
{
    setError(text);
    // The message line takes room: grow rather than squeeze the form.
    if (isVisible())
        resize(size().expandedTo(sizeHint()));
}
