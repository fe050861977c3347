#pragma once

#include <QList>
#include <QPointer>
#include <QString>
#include <QStringList>

#include <functional>

#include "importcontacts/contactimporter.h"
#include "importcontacts/importedcontact.h"
#include "rest/contact.h"
#include "rest/invite.h"
#include "serviceurls.h"
#include "ui/dialogbase.h"

namespace Ui {
class ImportContactsDialog;
}
class ContactManager;
class QListWidgetItem;

// The wizard that fetches an address book (Google, Yahoo or a vCard file), adds the chosen entries
// with phone numbers to the address book, in an existing or a new group, and has the service invite
// the chosen entries with e-mail addresses.
//
// Steps: choose the source, sign in (web mail only), choose the contacts to import, choose the people
// to invite, done. "Another" starts over with the same dialog.
//
// A new group is created on the service first; the chosen contacts are added only once the service
// has confirmed it. Meanwhile the import page waits, and a group the service does not create is
// reported with the selection kept, so that the user can try again.
class ImportContactsDialog : public DialogBase
{
    Q_OBJECT
public:
    enum Step {
        SelectProviderStep,
        LoginStep,
        ImportStep,
        InviteStep,
        FinalStep,
    };
    Q_ENUM(Step)

    // Shows a warning: title and text. The default opens a modal message box.
    using WarningHandler = std::function<void(const QString &title, const QString &text)>;
    // Asks for the vCard file to read; an empty path cancels.
    using FileChooser = std::function<QString()>;

    explicit ImportContactsDialog(QWidget *parent = nullptr);
    ~ImportContactsDialog() override;

    void setContactManager(ContactManager *manager);
    // The web-mail services to sign in to; without it the importers use the brand's configuration.
    void setImporterUrls(const ServiceUrls &urls);
    void setWarningHandler(WarningHandler handler);
    void setFileChooser(FileChooser chooser);

    Step step() const { return currentStep; }
    QString provider() const;
    // Contacts this round actually added to the address book, and the entries it could not add.
    int importedCount() const { return imported; }
    QStringList skippedContacts() const { return skipped; }
    ContactImporter *importer() const { return contactImporter; }
    // Whether a new group is on its way to the service (the import page waits for it).
    bool isCreatingGroup() const { return !pendingGroup.isEmpty(); }

    // The product the invitations name.
    static QString productName();
    // An imported entry as an address-book contact in `groupName` (nick still empty).
    static Contact toContact(const ImportedContact &entry, const QString &groupName);

signals:
    void requestAddGroup(const QString &groupName);
    void requestSendInvitations(const Invite &invite);

private slots:
    void onSelectProviderClicked();
    void onVCardClicked();
    void onImportButtonClicked();
    void onBackButtonClicked();
    void onSkipButtonClicked();
    void onConfirmAddGroupClicked();
    void onCancelAddGroupClicked();
    void onAddGroupClicked();
    void onAnotherClicked();
    void onSelectAllToggled(bool checked);
    void onImporterNetworkError();
    void onImporterErrorLoggingIn();
    void onImporterFileError(const QString &message);
    void onImporterFinished();
    void onGroupCreated(const QString &groupName);
    void onGroupCreationFailed(const QString &groupName, const QString &message);
    void importContacts();

private:
    void setStep(Step step);
    void setProvider(const QString &provider);
    void startImporter(ContactImporter *importer, const QString &user, const QString &password);
    void dropImporter();
    void showProcessing(bool shown);
    void warn(const QString &title, const QString &text);

    void loginStepImport();
    void importStepImport();
    void sendEmailStep();
    // The new group typed on the import page, or empty (after a warning) when it cannot be created.
    QString newGroupName();
    // Asks the service for the group; the import goes on when it is confirmed, if `thenImport`.
    void createGroup(const QString &name, bool thenImport);
    void setWaitingForGroup(bool waiting);
    // False (after a warning) when nothing is checked.
    bool checkSomethingChosen(const QList<ImportedContact> &entries);
    // False (after a warning that lists them) when chosen entries are already in the book.
    bool checkNotPresent(const QList<ImportedContact> &entries, const QString &groupName);
    QString chosenGroup() const;
    void fillGroups(const QString &selected = QString());

    void showImportList();
    void showInviteList();
    void showFinal();
    void addListItem(const QString &text, int entry);
    // The entries behind the checked items of the list.
    QList<ImportedContact> checkedEntries() const;

    Ui::ImportContactsDialog *ui;
    QPointer<ContactManager> contactManager;
    QPointer<ContactImporter> contactImporter;
    ServiceUrls importerUrls;
    bool importerUrlsSet = false;
    WarningHandler warningHandler;
    FileChooser fileChooser;
    Step currentStep = SelectProviderStep;
    // What the list shows: the entries with numbers (import) or with addresses (invitations).
    QList<ImportedContact> allEntries;
    QList<ImportedContact> listedEntries;
    int imported = 0;
    QStringList skipped;
    // The new group asked of the service and whether the import waits for it.
    QString pendingGroup;
    bool importWhenGroupCreated = false;
};
