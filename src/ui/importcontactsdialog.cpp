#include "ui/importcontactsdialog.h"
#include "ui_importcontactsdialog.h"

#include <QCoreApplication>
#include <QFileDialog>
#include <QListWidgetItem>
#include <QMessageBox>
#include <QRegExpValidator>
#include <QStandardPaths>
#include <QStyle>

#include "contactgroup.h"
#include "contactmanager.h"
#include "groupaddeditdeletetask.h"
#include "importcontacts/googleimporter.h"
#include "importcontacts/vcardimporter.h"
#include "importcontacts/yahooimporter.h"
#include "rest/phonenumber.h"
#include "ui/contactformrules.h"
#include "util/log.h"

namespace {

const char providerProperty[] = "_provider";
const QString google = QStringLiteral("google");
const QString yahoo = QStringLiteral("yahoo");
const QString vcard = QStringLiteral("vcard");

// Where a list item's entry sits in the list of entries it was made from.
constexpr int entryRole = Qt::UserRole + 1;

QString providerDisplayName(const QString &provider)
{
    if (provider == google)
        return QStringLiteral("Google");
    if (provider == yahoo)
        return QStringLiteral("Yahoo");
    return QStringLiteral("vCard");
}

void repolish(QWidget *widget)
{
    widget->style()->unpolish(widget);
    widget->style()->polish(widget);
    widget->update();
}

} // namespace

ImportContactsDialog::ImportContactsDialog(QWidget *parent)
    : DialogBase(parent), ui(new Ui::ImportContactsDialog)
{
    setObjectName(QStringLiteral("ImportContactsDialog"));
    ui->setupUi(dialogContentWidget());
    setTitle(tr("Import contacts"));
    // The style sheet draws the provider's mark on every label of this name.
    ui->importProviderIconLabel->setObjectName(QStringLiteral("providerIconLabel"));
    ui->addGroupLineEdit->setValidator(
        new QRegExpValidator(ContactFormRules::groupInputExpression(), ui->addGroupLineEdit));
    ui->importLiveButton->setEnabled(false);
    ui->importLiveButton->setToolTip(tr("Importing from Windows Live is not available"));
    ui->loginProgressBar->setRange(0, 100);

    connect(
        ui->importGmailButton, &QPushButton::clicked, this, &ImportContactsDialog::onSelectProviderClicked);
    connect(
        ui->importYahooButton, &QPushButton::clicked, this, &ImportContactsDialog::onSelectProviderClicked);
    connect(ui->importVCardButton, &QPushButton::clicked, this, &ImportContactsDialog::onVCardClicked);
    connect(ui->importButton, &QPushButton::clicked, this, &ImportContactsDialog::onImportButtonClicked);
    connect(ui->backButton, &QPushButton::clicked, this, &ImportContactsDialog::onBackButtonClicked);
    connect(ui->skipButton, &QPushButton::clicked, this, &ImportContactsDialog::onSkipButtonClicked);
    connect(ui->anotherButton, &QPushButton::clicked, this, &ImportContactsDialog::onAnotherClicked);
    connect(ui->addGroupButton, &QPushButton::clicked, this, &ImportContactsDialog::onAddGroupClicked);
    connect(ui->confirmAddGroupButton, &QPushButton::clicked, this,
        &ImportContactsDialog::onConfirmAddGroupClicked);
    connect(ui->cancelAddGroupButton, &QPushButton::clicked, this,
        &ImportContactsDialog::onCancelAddGroupClicked);
    connect(ui->selectAllCheckBox, &QCheckBox::toggled, this, &ImportContactsDialog::onSelectAllToggled);

    warningHandler
        = [this](const QString &title, const QString &text) { QMessageBox::warning(this, title, text); };
    fileChooser = [this]() {
        return QFileDialog::getOpenFileName(this, tr("Choose a vCard file"),
            QStandardPaths::writableLocation(QStandardPaths::HomeLocation),
            tr("vCard files (*.vcf *.vcard);;All files (*)"));
    };
    setProvider(QString());
    showProcessing(false);
    ui->groupStatusLabel->hide();
    onCancelAddGroupClicked();
    setStep(SelectProviderStep);
}

ImportContactsDialog::~ImportContactsDialog()
{
    delete ui;
}

void ImportContactsDialog::setContactManager(ContactManager *manager)
{
    if (contactManager) {
        disconnect(this, nullptr, contactManager, nullptr);
        disconnect(this, nullptr, contactManager->groupTask(), nullptr);
        disconnect(contactManager->groupTask(), nullptr, this, nullptr);
    }
    if (isCreatingGroup()) {
        pendingGroup.clear();
        setWaitingForGroup(false);
    }
    contactManager = manager;
    // Connected once per manager: a later round of invitations must reach the service once, not once
    // per round that came before.
    if (manager) {
        GroupAddEditDeleteTask *task = manager->groupTask();
        connect(this, &ImportContactsDialog::requestAddGroup, task, &GroupAddEditDeleteTask::startCreateGroup,
            Qt::UniqueConnection);
        connect(this, &ImportContactsDialog::requestSendInvitations, manager,
            &ContactManager::sendInvitations, Qt::UniqueConnection);
        connect(task, &GroupAddEditDeleteTask::groupCreated, this, &ImportContactsDialog::onGroupCreated,
            Qt::UniqueConnection);
        connect(task, &GroupAddEditDeleteTask::groupCreationFailed, this,
            &ImportContactsDialog::onGroupCreationFailed, Qt::UniqueConnection);
    }
    fillGroups();
}

void ImportContactsDialog::setImporterUrls(const ServiceUrls &urls)
{
    importerUrls = urls;
    importerUrlsSet = true;
}

void ImportContactsDialog::setWarningHandler(WarningHandler handler)
{
    warningHandler = std::move(handler);
}

void ImportContactsDialog::setFileChooser(FileChooser chooser)
{
    fileChooser = std::move(chooser);
}

QString ImportContactsDialog::provider() const
{
    return property(providerProperty).toString();
}

QString ImportContactsDialog::productName()
{
    const QString name = QCoreApplication::applicationName();
    return name.isEmpty() ? QStringLiteral("Talkvane") : name;
}

Contact ImportContactsDialog::toContact(const ImportedContact &entry, const QString &groupName)
{
    Contact contact;
    contact.setFirstName(entry.firstName.trimmed());
    contact.setLastName(entry.lastName.trimmed());
    contact.setGroupName(groupName);
    contact.setEmails(entry.emails);
    QList<PhoneNumber> phones;
    for (const QString &number : entry.phones) {
        // Stored as the service keeps numbers: digits only.
        const QString digits = ContactManager::digitsOf(number);
        if (digits.isEmpty())
            continue;
        PhoneNumber phone;
        phone.setType(PhoneNumber::Home);
        phone.setNumber(digits);
        phones.append(phone);
    }
    contact.setPhones(phones);
    return contact;
}

void ImportContactsDialog::warn(const QString &title, const QString &text)
{
    if (warningHandler)
        warningHandler(title, text);
}

// ---- steps -----------------------------------------------------------------------------------------

void ImportContactsDialog::setStep(Step step)
{
    currentStep = step;
    switch (step) {
    case SelectProviderStep:
        ui->stackedWidget->setCurrentWidget(ui->pageSelectProvider);
        break;
    case LoginStep:
        ui->stackedWidget->setCurrentWidget(ui->pageLogin);
        ui->importButton->setText(tr("Import"));
        break;
    case ImportStep:
    case InviteStep:
        ui->stackedWidget->setCurrentWidget(ui->pageImport);
        ui->importButton->setText(step == ImportStep ? tr("Import") : tr("Send Email"));
        ui->groupWidget->setVisible(step == ImportStep);
        ui->inviteWidget->setVisible(step == InviteStep);
        break;
    case FinalStep:
        ui->stackedWidget->setCurrentWidget(ui->pageDone);
        ui->importButton->setText(tr("Done"));
        break;
    }
    ui->importButton->setVisible(step != SelectProviderStep);
    ui->importButton->setEnabled(true);
    ui->backButton->setVisible(step == LoginStep || step == ImportStep || step == InviteStep);
    ui->skipButton->setVisible(step == ImportStep || step == InviteStep);
    ui->anotherButton->setVisible(step == FinalStep);
}

void ImportContactsDialog::setProvider(const QString &name)
{
    setProperty(providerProperty, name);
    repolish(this);
    for (QLabel *label : findChildren<QLabel *>(QStringLiteral("providerIconLabel"))) {
        label->setVisible(name == google || name == yahoo || name == vcard);
        repolish(label);
    }
}

void ImportContactsDialog::showProcessing(bool shown)
{
    ui->processingLabel->setVisible(shown);
    ui->loginProgressBar->setVisible(shown);
    if (!shown)
        ui->loginProgressBar->setValue(0);
}

void ImportContactsDialog::onSelectProviderClicked()
{
    const QString chosen = sender() == ui->importYahooButton ? yahoo : google;
    dropImporter();
    setProvider(chosen);
    const QString name = providerDisplayName(chosen);
    ui->serviceLoginLabel->setText(tr("%1 Username:").arg(name));
    ui->servicePasswordLabel->setText(tr("%1 Password:").arg(name));
    ui->servicePasswordLineEdit->clear();
    showProcessing(false);
    setStep(LoginStep);
    ui->serviceLoginLineEdit->setFocus();
}

void ImportContactsDialog::onVCardClicked()
{
    const QString path = fileChooser ? fileChooser() : QString();
    if (path.isEmpty())
        return;
    dropImporter();
    setProvider(vcard);
    auto *importer = new VCardImporter(this);
    connect(importer, &VCardImporter::fileError, this, &ImportContactsDialog::onImporterFileError);
    startImporter(importer, path, QString());
}

void ImportContactsDialog::startImporter(
    ContactImporter *importer, const QString &user, const QString &password)
{
    contactImporter = importer;
    connect(importer, &ContactImporter::progressUpdate, ui->loginProgressBar, &QProgressBar::setValue);
    connect(
        importer, &ContactImporter::errorLoggingIn, this, &ImportContactsDialog::onImporterErrorLoggingIn);
    connect(importer, &ContactImporter::networkError, this, &ImportContactsDialog::onImporterNetworkError);
    connect(importer, &ContactImporter::finished, this, &ImportContactsDialog::onImporterFinished);
    showProcessing(true);
    ui->importButton->setEnabled(false);
    importer->startImportingContacts(user, password);
}

void ImportContactsDialog::dropImporter()
{
    if (!contactImporter)
        return;
    disconnect(contactImporter, nullptr, this, nullptr);
    disconnect(contactImporter, nullptr, ui->loginProgressBar, nullptr);
    contactImporter->deleteLater();
    contactImporter = nullptr;
}

// ---- the Import / Send Email / Done button ---------------------------------------------------------

void ImportContactsDialog::onImportButtonClicked()
{
    switch (currentStep) {
    case LoginStep:
        loginStepImport();
        break;
    case ImportStep:
        importStepImport();
        break;
    case InviteStep:
        sendEmailStep();
        break;
    case FinalStep:
        accept();
        break;
    case SelectProviderStep:
        LOG_TRACE << "Unhandled step!";
        break;
    }
}

void ImportContactsDialog::loginStepImport()
{
    const QString user = ui->serviceLoginLineEdit->text().trimmed();
    const QString password = ui->servicePasswordLineEdit->text();
    if (user.isEmpty()) {
        warn(tr("Insert username"), tr("Please insert your username"));
        return;
    }
    if (password.isEmpty()) {
        warn(tr("Insert password"), tr("Please insert your password"));
        return;
    }
    dropImporter();
    ContactImporter *importer = nullptr;
    if (provider() == yahoo) {
        auto *yahooImporter = new YahooImporter(this);
        if (importerUrlsSet)
            yahooImporter->setServiceUrls(importerUrls);
        importer = yahooImporter;
    } else {
        auto *googleImporter = new GoogleImporter(this);
        if (importerUrlsSet)
            googleImporter->setServiceUrls(importerUrls);
        importer = googleImporter;
    }
    startImporter(importer, user, password);
}

// ---- importer outcomes -----------------------------------------------------------------------------

void ImportContactsDialog::onImporterErrorLoggingIn()
{
    showProcessing(false);
    ui->importButton->setEnabled(true);
    dropImporter();
    warn(tr("Login error"), tr("Please check your credentials and try again!"));
}

void ImportContactsDialog::onImporterNetworkError()
{
    showProcessing(false);
    dropImporter();
    setStep(SelectProviderStep);
    warn(tr("Network error"), tr("An error occured while importing contacts"));
}

void ImportContactsDialog::onImporterFileError(const QString &message)
{
    showProcessing(false);
    dropImporter();
    setStep(SelectProviderStep);
    warn(tr("File error"), message);
}

void ImportContactsDialog::onImporterFinished()
{
    if (!contactImporter || sender() != contactImporter)
        return;
    showProcessing(false);
    allEntries = contactImporter->sortedContacts();
    imported = 0;
    skipped.clear();
    fillGroups();
    onCancelAddGroupClicked();
    showImportList();
}

void ImportContactsDialog::showImportList()
{
    listedEntries.clear();
    for (const ImportedContact &entry : qAsConst(allEntries)) {
        if (!toContact(entry, QString()).phones().isEmpty())
            listedEntries.append(entry);
    }
    ui->contactsWidget->clear();
    for (int i = 0; i < listedEntries.size(); ++i) {
        const ImportedContact &entry = listedEntries.at(i);
        const QString numbers = entry.phones.join(QStringLiteral(", "));
        const QString name = entry.displayName();
        // A nameless entry is labelled by its number already.
        addListItem(entry.phones.contains(name) ? numbers : name + QStringLiteral(" (") + numbers + ')', i);
    }
    if (listedEntries.isEmpty()) {
        ui->foundImportContactsLabel->setText(tr(
            "We have found no contacts that have a phone number.\nClick skip and invite your friends to %1.")
                                                  .arg(productName()));
    } else {
        ui->foundImportContactsLabel->setText(
            tr("We have found %1 contacts that have phone numbers.<br>Choose the ones you want to import.")
                .arg(listedEntries.size()));
    }
    setStep(ImportStep);
}

void ImportContactsDialog::showInviteList()
{
    listedEntries.clear();
    for (const ImportedContact &entry : qAsConst(allEntries)) {
        if (!entry.emails.isEmpty())
            listedEntries.append(entry);
    }
    ui->contactsWidget->clear();
    for (int i = 0; i < listedEntries.size(); ++i) {
        const ImportedContact &entry = listedEntries.at(i);
        addListItem(entry.displayName() + QStringLiteral(" <") + entry.emails.first() + '>', i);
    }
    if (listedEntries.isEmpty()) {
        ui->foundImportContactsLabel->setText(tr("We have found no contacts that have an email.\nClick skip "
                                                 "and try to import another addressbook."));
    } else {
        ui->foundImportContactsLabel->setText(
            tr("We have found %1 contacts that have an email.<br>Choose the ones you want to invite to %2.")
                .arg(listedEntries.size())
                .arg(productName()));
    }
    setStep(InviteStep);
}

void ImportContactsDialog::showFinal()
{
    QString text = imported > 0 ? tr("You have successfully added %1 contacts.").arg(imported)
                                : tr("You haven't imported any contacts.");
    if (!skipped.isEmpty()) {
        text += QLatin1Char('\n')
            + tr("Not added, because they are already in your list: %1")
                  .arg(skipped.join(QStringLiteral(", ")));
    }
    ui->importResultLabel->setText(text);
    setStep(FinalStep);
}

void ImportContactsDialog::addListItem(const QString &text, int entry)
{
    auto *item = new QListWidgetItem(text, ui->contactsWidget);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
    item->setCheckState(ui->selectAllCheckBox->isChecked() ? Qt::Checked : Qt::Unchecked);
    item->setData(entryRole, entry);
}

QList<ImportedContact> ImportContactsDialog::checkedEntries() const
{
    QList<ImportedContact> entries;
    for (int row = 0; row < ui->contactsWidget->count(); ++row) {
        const QListWidgetItem *item = ui->contactsWidget->item(row);
        const int entry = item->data(entryRole).toInt();
        if (item->checkState() == Qt::Checked && entry >= 0 && entry < listedEntries.size())
            entries.append(listedEntries.at(entry));
    }
    return entries;
}

void ImportContactsDialog::onSelectAllToggled(bool checked)
{
    for (int row = 0; row < ui->contactsWidget->count(); ++row)
        ui->contactsWidget->item(row)->setCheckState(checked ? Qt::Checked : Qt::Unchecked);
}

// ---- groups ----------------------------------------------------------------------------------------

void ImportContactsDialog::fillGroups(const QString &selected)
{
    const QString keep = selected.isEmpty() ? ui->groupComboBox->currentText() : selected;
    ui->groupComboBox->clear();
    if (!contactManager)
        return;
    for (const ContactGroup *group : contactManager->groupList())
        ui->groupComboBox->addItem(group->name());
    const int index = ui->groupComboBox->findText(keep);
    if (index >= 0)
        ui->groupComboBox->setCurrentIndex(index);
}

QString ImportContactsDialog::chosenGroup() const
{
    return ui->groupComboBox->currentText();
}

void ImportContactsDialog::onAddGroupClicked()
{
    ui->addGroupLabel->show();
    ui->addGroupLineEdit->show();
    ui->confirmAddGroupButton->show();
    ui->cancelAddGroupButton->show();
    ui->addGroupButton->setEnabled(false);
    ui->addGroupLineEdit->setFocus();
}

void ImportContactsDialog::onCancelAddGroupClicked()
{
    ui->addGroupLineEdit->clear();
    ui->addGroupLabel->hide();
    ui->addGroupLineEdit->hide();
    ui->confirmAddGroupButton->hide();
    ui->cancelAddGroupButton->hide();
    ui->addGroupButton->setEnabled(true);
}

void ImportContactsDialog::onConfirmAddGroupClicked()
{
    if (isCreatingGroup())
        return;
    const QString name = newGroupName();
    if (!name.isEmpty())
        createGroup(name, false);
}

QString ImportContactsDialog::newGroupName()
{
    const QString name = ui->addGroupLineEdit->text().trimmed();
    if (name.isEmpty()) {
        warn(tr("Error"), tr("Group name cannot be empty"));
        return QString();
    }
    if (!contactManager) {
        LOG_WARNING << "no address book to add the group to";
        return QString();
    }
    if (contactManager->groupPresent(name)) {
        warn(tr("Error"), tr("Group %1 already exists").arg(name));
        return QString();
    }
    return name;
}

void ImportContactsDialog::createGroup(const QString &name, bool thenImport)
{
    LOG_TRACE << "creating group" << name << "on the service" << (thenImport ? "before importing" : "");
    pendingGroup = name;
    importWhenGroupCreated = thenImport;
    setWaitingForGroup(true);
    // The answer may come at once (no service to ask): the state above is set before.
    emit requestAddGroup(name);
}

void ImportContactsDialog::setWaitingForGroup(bool waiting)
{
    // What the import will take is fixed while it waits.
    const QList<QWidget *> frozen { ui->contactsWidget, ui->selectAllCheckBox, ui->groupComboBox,
        ui->addGroupLineEdit, ui->confirmAddGroupButton, ui->cancelAddGroupButton, ui->importButton,
        ui->backButton, ui->skipButton };
    for (QWidget *widget : frozen)
        widget->setEnabled(!waiting);
    ui->groupStatusLabel->setText(waiting ? tr("Creating the group %1...").arg(pendingGroup) : QString());
    ui->groupStatusLabel->setVisible(waiting);
}

void ImportContactsDialog::onGroupCreated(const QString &groupName)
{
    if (!isCreatingGroup() || groupName != pendingGroup)
        return;
    const bool thenImport = importWhenGroupCreated;
    pendingGroup.clear();
    importWhenGroupCreated = false;
    setWaitingForGroup(false);
    fillGroups(groupName);
    onCancelAddGroupClicked();
    if (thenImport)
        importContacts();
    else
        ui->groupComboBox->setFocus();
}

void ImportContactsDialog::onGroupCreationFailed(const QString &groupName, const QString &message)
{
    if (!isCreatingGroup() || groupName != pendingGroup)
        return;
    pendingGroup.clear();
    importWhenGroupCreated = false;
    setWaitingForGroup(false);
    // The typed name and the checked entries stay as they were, for another try.
    warn(tr("Error"),
        message.isEmpty() ? tr(
            "The group %1 could not be created.\nNothing was imported; your selection is kept, so you can "
            "try again.")
                                .arg(groupName)
                          : tr("The group %1 could not be created: %2\nNothing was imported; your selection "
                               "is kept, so you "
                               "can try again.")
                                .arg(groupName, message));
    ui->addGroupLineEdit->setFocus();
}

// ---- importing -------------------------------------------------------------------------------------

void ImportContactsDialog::importStepImport()
{
    if (isCreatingGroup())
        return;
    const bool typedGroup
        = !ui->addGroupLineEdit->isHidden() || !ui->addGroupLineEdit->text().trimmed().isEmpty();
    const QString group = typedGroup ? newGroupName() : chosenGroup();
    if (typedGroup && group.isEmpty())
        return;
    if (!contactManager) {
        LOG_WARNING << "no address book to import into";
        return;
    }
    const QList<ImportedContact> entries = checkedEntries();
    LOG_TRACE << "Items checked:" << entries.size();
    // Checked before a new group is made, so that a refused choice leaves no empty group behind.
    if (!checkSomethingChosen(entries) || !checkNotPresent(entries, group))
        return;
    if (typedGroup)
        createGroup(group, true);
    else
        importContacts();
}

bool ImportContactsDialog::checkSomethingChosen(const QList<ImportedContact> &entries)
{
    if (!entries.isEmpty())
        return true;
    warn(tr("Error"), tr("You must select at least one contact to import"));
    return false;
}

bool ImportContactsDialog::checkNotPresent(const QList<ImportedContact> &entries, const QString &groupName)
{
    QStringList present;
    for (const ImportedContact &entry : entries) {
        if (contactManager->contactPresent(toContact(entry, groupName)))
            present.append(entry.displayName());
    }
    if (present.isEmpty())
        return true;
    warn(tr("Error"),
        tr("Contacts below are already in your list\nPlease deselect them:\n%1")
            .arg(present.join(QLatin1Char('\n'))));
    return false;
}

void ImportContactsDialog::importContacts()
{
    const QList<ImportedContact> entries = checkedEntries();
    if (!checkSomethingChosen(entries) || !contactManager)
        return;
    const QString group = chosenGroup();
    for (const ImportedContact &entry : entries) {
        Contact contact = toContact(entry, group);
        // A nick of its own for every entry, nameless ones included; the book never holds an empty one.
        contact.setNick(contact.generateNick());
        LOG_TRACE << "addNewContact called:" << contact.nick();
        // Two chosen entries may be one person (same number): the book refuses the second, and only
        // what it took is counted.
        if (contactManager->addNewContact(contact))
            ++imported;
        else
            skipped.append(entry.displayName());
    }
    LOG_TRACE << "Final imported count:" << imported;
    showInviteList();
}

void ImportContactsDialog::sendEmailStep()
{
    const QString name = ui->senderNameLineEdit->text().trimmed();
    const QString email = ui->senderEmailLineEdit->text().trimmed();
    if (name.isEmpty()) {
        warn(tr("Error"), tr("You must enter your name"));
        return;
    }
    if (!ContactFormRules::isValidEmail(email)) {
        warn(tr("Error"), tr("You must enter a valid email address"));
        return;
    }
    QStringList addresses;
    for (const ImportedContact &entry : checkedEntries())
        addresses.append(entry.emails.first());
    if (addresses.isEmpty()) {
        warn(tr("Error"), tr("You must select at least one contact to invite"));
        return;
    }
    Invite invite;
    invite.setFullName(name);
    invite.setFromEmail(email);
    invite.setToEmails(addresses);
    invite.setUserMessage(tr("has invited you to %1.").arg(productName()));
    LOG_TRACE << "Sending invite to:" << addresses << "with text:" << invite.userMessage();
    emit requestSendInvitations(invite);
    showFinal();
}

// ---- navigation ------------------------------------------------------------------------------------

void ImportContactsDialog::onSkipButtonClicked()
{
    switch (currentStep) {
    case ImportStep:
        showInviteList();
        break;
    case InviteStep:
        showFinal();
        break;
    default:
        LOG_TRACE << "Unhandled step!";
        break;
    }
}

void ImportContactsDialog::onBackButtonClicked()
{
    dropImporter();
    showProcessing(false);
    setStep(SelectProviderStep);
}

void ImportContactsDialog::onAnotherClicked()
{
    dropImporter();
    allEntries.clear();
    listedEntries.clear();
    ui->contactsWidget->clear();
    imported = 0;
    skipped.clear();
    setProvider(QString());
    setStep(SelectProviderStep);
}
