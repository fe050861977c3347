#pragma once

#include <QObject>
#include <QPointer>
#include <QStringList>

#include <functional>

class AddEditContactDialog;
class AddEditGroupDialog;
class ContactDetailsPage;
class ContactListPage;
class ContactManager;
class Settings;
class QDialog;
class QWidget;

// Runs the address-book flows of the main window's content: it owns the contact list and details
// pages until they are placed, keeps them in step with the book, and carries out their requests -
// details, the contact and group dialogs, and deletions after the user confirmed them.
//
// Every request names its contact by nick or its group by name, and the name is looked up again
// after the confirmation: replies handled while the question was open may have changed the book.
class ContactScreens : public QObject
{
    Q_OBJECT
public:
    // Page numbers of the content widget's stack that the flows switch to.
    static constexpr int contactListView = 4;
    static constexpr int contactDetailsView = 5;

    // Asks a yes/no question (question, extra text); true for yes.
    using QuestionHandler = std::function<bool(const QString &, const QString &)>;
    // Lets the user pick the group that takes the contacts of a deleted group; empty for cancel.
    using GroupChooser = std::function<QString(const QStringList &)>;
    // Runs a dialog that is ready to be shown; returns its result.
    using DialogRunner = std::function<int(QDialog *)>;

    explicit ContactScreens(QWidget *parentWidget);
    ~ContactScreens() override;

    ContactListPage *listPage() const { return list; }
    ContactDetailsPage *detailsPage() const { return details; }
    void setContactManager(ContactManager *manager);
    void setSettings(Settings *settings);
    void setQuestionHandler(QuestionHandler handler) { askQuestion = std::move(handler); }
    void setGroupChooser(GroupChooser chooser) { chooseGroup = std::move(chooser); }
    void setDialogRunner(DialogRunner runner) { runDialog = std::move(runner); }

    // The dialog currently open, if any.
    AddEditContactDialog *contactDialog() const { return openContactDialog; }
    AddEditGroupDialog *groupDialog() const { return openGroupDialog; }

public slots:
    void contactListRefresh();
    void setShowGroups(bool show);
    void toggleShowGroups();
    void showAddContact();
    void showAddGroup();
    void showContactDetails(const QString &nick);
    void editContact(const QString &nick);
    void editGroup(const QString &groupName);
    void deleteContact(const QString &nick);
    // moveContacts: the members go to a group the user picks; otherwise they are deleted too.
    void deleteGroup(const QString &groupName, bool moveContacts);

signals:
    void callContact(QString name, QString number);
    void sendSMS(QString name, QString number);
    void showViewRequested(int view);

private:
    int exec(QDialog *dialog);
    QWidget *dialogParent() const;

    QPointer<QWidget> parentWidget;
    ContactListPage *list;
    ContactDetailsPage *details;
    QPointer<ContactManager> contactManager;
    QPointer<Settings> settings;
    QPointer<AddEditContactDialog> openContactDialog;
    QPointer<AddEditGroupDialog> openGroupDialog;
    QuestionHandler askQuestion;
    GroupChooser chooseGroup;
    DialogRunner runDialog;
};
