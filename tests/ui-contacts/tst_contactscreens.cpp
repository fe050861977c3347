#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStandardPaths>
#include <QtTest>

#include "contactgroup.h"
#include "ui/addeditcontactdialog.h"
#include "ui/addeditgroupdialog.h"
#include "ui/contactdetailspage.h"
#include "ui/contactlistpage.h"
#include "ui/contactscreens.h"
#include "ui/contactwidget.h"
#include "ui/phonenumberwidget.h"
#include "contactscreenstesting.h"

using namespace contactscreenstesting;

// The address-book flows end to end: what the user does in the pages and dialogs reaches the
// web-service emulator, and a fresh fetch from it shows every change.
class TstContactScreens : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void addEditMoveAndDeleteReachTheService();
    void duplicateContactIsRefused();
    void deletionAfterTheBookChangedDeletesTheConfirmedContact();
    void deletionOfAContactThatLeftMeanwhileDoesNothing();
    void groupDeletionMovesTheContactsOnTheService();
    void defaultGroupsAreNeverDeleted();
    void newGroupWithSelectedContactReachesTheService();
    void renamedGroupReachesTheService();
    void detailsPageFollowsTheBook();

private:
    // Runs the next dialog through `fill`, which edits and saves it.
    void onNextDialog(std::function<void(QDialog *)> fill);
    QString nickOf(const QString &firstName) const;

    ServiceBook service;
    QWidget *host = nullptr;
    ContactScreens *screens = nullptr;
    QStringList questions;
    std::function<void()> whileAsking;
    int shownViews = 0;
};

void TstContactScreens::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
    QVERIFY2(service.start(), qPrintable(service.emu.errorString()));
}

void TstContactScreens::init()
{
    QVERIFY2(service.emu.reset(), qPrintable(service.emu.errorString()));
    QVERIFY(service.signIn());
    host = new QWidget;
    screens = new ContactScreens(host);
    screens->setContactManager(service.book.get());
    questions.clear();
    whileAsking = nullptr;
    screens->setQuestionHandler([this](const QString &question, const QString &) {
        questions << question;
        if (whileAsking)
            whileAsking();
        return true;
    });
    connect(screens, &ContactScreens::showViewRequested, this, [this](int) { ++shownViews; });
}

void TstContactScreens::cleanup()
{
    delete host;
    host = nullptr;
    screens = nullptr;
}

void TstContactScreens::onNextDialog(std::function<void(QDialog *)> fill)
{
    screens->setDialogRunner([fill](QDialog *dialog) {
        fill(dialog);
        return dialog->result();
    });
}

QString TstContactScreens::nickOf(const QString &firstName) const
{
    for (const Contact *c : service.book->allContacts()) {
        if (c->firstName() == firstName)
            return c->nick();
    }
    return QString();
}

void TstContactScreens::addEditMoveAndDeleteReachTheService()
{
    // Add: two numbers, in a group that is created on the way.
    onNextDialog([](QDialog *d) {
        auto *dialog = static_cast<AddEditContactDialog *>(d);
        dialog->findChild<QLineEdit *>("firstNameLineEdit")->setText("Grace");
        dialog->findChild<QLineEdit *>("lastNameLineEdit")->setText("Hopper");
        dialog->phoneRow(0)->setText("+1-202-5550100");
        emit dialog->phoneRow(0)->addClicked();
        dialog->phoneRow(1)->setText("+442079460123");
        dialog->phoneRow(1)->setType(2);
        dialog->findChild<QPushButton *>("addGroupButton")->click();
        dialog->findChild<QLineEdit *>("groupLineEdit")->setText("Navy");
        dialog->findChild<QPushButton *>("addSaveContactButton")->click();
    });
    screens->showAddContact();
    const QString nick = nickOf(QStringLiteral("Grace"));
    QVERIFY(!nick.isEmpty());
    QTRY_VERIFY_WITH_TIMEOUT(service.fetchContact(nick).groupName() == QLatin1String("Navy"), waitMs);
    Contact stored = service.fetchContact(nick);
    QCOMPARE(stored.lastName(), QStringLiteral("Hopper"));
    QCOMPARE(stored.phoneNumbers(), QStringList({ "12025550100", "442079460123" }));
    QCOMPARE(stored.phones().at(1).type(), PhoneNumber::Cell);
    QVERIFY(stored.emails().isEmpty());
    QVERIFY(service.fetchGroupNames().contains(QStringLiteral("Navy")));

    // Edit.
    onNextDialog([](QDialog *d) {
        auto *dialog = static_cast<AddEditContactDialog *>(d);
        dialog->findChild<QLineEdit *>("lastNameLineEdit")->setText("Hopper-Murray");
        dialog->findChild<QLineEdit *>("emailLineEdit")->setText("grace@navy.mil");
        dialog->findChild<QPushButton *>("addSaveContactButton")->click();
    });
    screens->editContact(nick);
    QTRY_VERIFY_WITH_TIMEOUT(service.fetchContact(nick).lastName() == QLatin1String("Hopper-Murray"), waitMs);
    stored = service.fetchContact(nick);
    QCOMPARE(stored.emails(), QStringList({ "grace@navy.mil" }));
    QCOMPARE(stored.groupName(), QStringLiteral("Navy"));
    QCOMPARE(stored.phoneNumbers().size(), 2);

    // Move to another group.
    onNextDialog([](QDialog *d) {
        d->findChild<QComboBox *>("groupCombo")->setCurrentText("Work");
        d->findChild<QPushButton *>("addSaveContactButton")->click();
    });
    screens->editContact(nick);
    QTRY_VERIFY_WITH_TIMEOUT(service.fetchContact(nick).groupName() == QLatin1String("Work"), waitMs);
    QCOMPARE(service.fetchContact(nick).lastName(), QStringLiteral("Hopper-Murray"));
    QVERIFY(service.book->contactGroup(QStringLiteral("Work"))->hasContact(nick));

    // Delete.
    screens->deleteContact(nick);
    QCOMPARE(questions, QStringList({ "Do you want to delete this contact?" }));
    QTRY_VERIFY_WITH_TIMEOUT(service.fetchContact(nick).nick().isEmpty(), waitMs);
    QVERIFY(!service.book->contactPresent(nick));
}

void TstContactScreens::duplicateContactIsRefused()
{
    auto addContact = [this](const QString &name, const QString &number) {
        QString error;
        onNextDialog([&](QDialog *d) {
            auto *dialog = static_cast<AddEditContactDialog *>(d);
            dialog->findChild<QLineEdit *>("firstNameLineEdit")->setText(name);
            dialog->phoneRow(0)->setText(number);
            dialog->findChild<QPushButton *>("addSaveContactButton")->click();
            error = dialog->error();
        });
        screens->showAddContact();
        return error;
    };
    QCOMPARE(addContact(QStringLiteral("Someone"), QStringLiteral("12025550199")), QString());
    const QString nick = nickOf(QStringLiteral("Someone"));
    QTRY_VERIFY_WITH_TIMEOUT(!service.fetchContact(nick).nick().isEmpty(), waitMs);
    const int before = service.fetchContacts().size();

    // The same number in another spelling.
    QCOMPARE(addContact(QStringLiteral("Another"), QStringLiteral("+1-202-5550199")),
        QStringLiteral("Contact exist with the same fields: Phone 1"));
    QVERIFY(nickOf(QStringLiteral("Another")).isEmpty());
    QTest::qWait(200);
    QCOMPARE(service.fetchContacts().size(), before);
}

void TstContactScreens::deletionAfterTheBookChangedDeletesTheConfirmedContact()
{
    const QList<Contact *> before = service.book->allContacts();
    QVERIFY(before.size() >= 2);
    const QString target = before.last()->nick();
    // While the question is open, a reload brings a contact that sorts first and shifts every row.
    whileAsking = [this]() {
        QList<Contact> records;
        for (const Contact *c : service.book->allContacts())
            records << *c;
        records << contact("0first", "Work", "Aaron", "First", { "16175550100" });
        service.book->loadContacts(records);
    };
    screens->deleteContact(target);
    QVERIFY(!service.book->contactPresent(target));
    QCOMPARE(service.book->contactCount(), before.size());
    QVERIFY(service.book->contactPresent(QStringLiteral("0first")));
    QTRY_VERIFY_WITH_TIMEOUT(service.fetchContact(target).nick().isEmpty(), waitMs);
    QCOMPARE(service.fetchContacts().size(), before.size() - 1);
}

void TstContactScreens::deletionOfAContactThatLeftMeanwhileDoesNothing()
{
    const int before = service.book->contactCount();
    const QString target = service.book->allContacts().first()->nick();
    whileAsking = [this, target]() {
        QList<Contact> records;
        for (const Contact *c : service.book->allContacts()) {
            if (c->nick() != target)
                records << *c;
        }
        service.book->loadContacts(records);
    };
    screens->deleteContact(target);
    QCOMPARE(service.book->contactCount(), before - 1);
    QTest::qWait(200);
    // Nothing was sent: the service still has every contact.
    QCOMPARE(service.fetchContacts().size(), before);
}

void TstContactScreens::groupDeletionMovesTheContactsOnTheService()
{
    service.book->addNewGroup(QStringLiteral("Climbing"));
    QTRY_VERIFY_WITH_TIMEOUT(service.fetchGroupNames().contains(QStringLiteral("Climbing")), waitMs);
    const QString nick = service.book->allContacts().first()->nick();
    service.book->moveContact(service.book->contactPresent(nick), QStringLiteral("Climbing"), true);
    QTRY_VERIFY_WITH_TIMEOUT(service.fetchContact(nick).groupName() == QLatin1String("Climbing"), waitMs);

    QStringList offered;
    screens->setGroupChooser([&offered](const QStringList &groups) {
        offered = groups;
        return QStringLiteral("Family");
    });
    screens->deleteGroup(QStringLiteral("Climbing"), true);
    QCOMPARE(questions, QStringList({ "Delete group, move contacts?" }));
    QVERIFY(!offered.contains(QStringLiteral("Climbing")));
    QVERIFY(offered.contains(QStringLiteral("Family")));
    QTRY_VERIFY_WITH_TIMEOUT(!service.fetchGroupNames().contains(QStringLiteral("Climbing")), waitMs);
    QCOMPARE(service.fetchContact(nick).groupName(), QStringLiteral("Family"));
}

void TstContactScreens::defaultGroupsAreNeverDeleted()
{
    screens->deleteGroup(QStringLiteral("Work"), false);
    QVERIFY(questions.isEmpty());
    QVERIFY(service.book->contactGroup(QStringLiteral("Work")));
}

void TstContactScreens::newGroupWithSelectedContactReachesTheService()
{
    const QString nick = service.book->allContacts().first()->nick();
    onNextDialog([nick](QDialog *d) {
        auto *dialog = static_cast<AddEditGroupDialog *>(d);
        QCOMPARE(dialog->windowTitle(), QStringLiteral("Add new group"));
        dialog->findChild<QLineEdit *>("groupNameLineEdit")->setText("Choir");
        for (int row = 0; row < dialog->contactRowCount(); ++row) {
            if (dialog->contactWidget(row)->nick() == nick)
                dialog->contactWidget(row)->setChecked(true);
        }
        dialog->findChild<QPushButton *>("saveCreateGroupButton")->click();
    });
    screens->showAddGroup();
    QTRY_VERIFY_WITH_TIMEOUT(service.fetchContact(nick).groupName() == QLatin1String("Choir"), waitMs);
    QVERIFY(service.fetchGroupNames().contains(QStringLiteral("Choir")));
    QVERIFY(service.book->contactGroup(QStringLiteral("Choir"))->hasContact(nick));
}

void TstContactScreens::renamedGroupReachesTheService()
{
    service.book->addNewGroup(QStringLiteral("Climbing"));
    QTRY_VERIFY_WITH_TIMEOUT(service.fetchGroupNames().contains(QStringLiteral("Climbing")), waitMs);
    const QString nick = service.book->allContacts().first()->nick();
    QString refused;
    onNextDialog([nick, &refused](QDialog *d) {
        auto *dialog = static_cast<AddEditGroupDialog *>(d);
        QCOMPARE(dialog->windowTitle(), QStringLiteral("Edit group"));
        QCOMPARE(dialog->groupName(), QStringLiteral("Climbing"));
        auto *name = dialog->findChild<QLineEdit *>("groupNameLineEdit");
        auto *save = dialog->findChild<QPushButton *>("saveCreateGroupButton");
        name->setText("work");
        save->click();
        refused = dialog->error();
        name->setText("Bouldering");
        for (int row = 0; row < dialog->contactRowCount(); ++row) {
            if (dialog->contactWidget(row)->nick() == nick)
                dialog->contactWidget(row)->setChecked(true);
        }
        save->click();
    });
    screens->editGroup(QStringLiteral("Climbing"));
    QCOMPARE(refused, QStringLiteral("The following group already exists: work"));
    QTRY_VERIFY_WITH_TIMEOUT(service.fetchGroupNames().contains(QStringLiteral("Bouldering")), waitMs);
    QVERIFY(!service.fetchGroupNames().contains(QStringLiteral("Climbing")));
    QTRY_VERIFY_WITH_TIMEOUT(service.fetchContact(nick).groupName() == QLatin1String("Bouldering"), waitMs);
    QVERIFY(!service.book->contactGroup(QStringLiteral("Climbing")));
}

void TstContactScreens::detailsPageFollowsTheBook()
{
    const Contact *first = service.book->allContacts().first();
    const QString nick = first->nick();
    screens->showContactDetails(nick);
    QCOMPARE(shownViews, 1);
    ContactDetailsPage *details = screens->detailsPage();
    QCOMPARE(details->contactNick(), nick);
    QCOMPARE(details->findChild<QLabel *>("numberLabel_1")->text(), first->phoneNumbers().value(0));
    QSignalSpy calls(details, &ContactDetailsPage::callContact);
    details->findChild<QPushButton *>("callNumberButton_1")->click();
    QCOMPARE(calls.first(), QVariantList({ details->displayName(), first->phoneNumbers().value(0) }));
    QVERIFY(!details->findChild<QWidget *>("numberLabel_5")->isVisibleTo(details));

    Contact changed = *first;
    changed.setEmails({ QStringLiteral("new@example.org") });
    service.book->updateContact(changed, changed.groupName());
    QCOMPARE(details->findChild<QLabel *>("emailLabel")->text(), QStringLiteral("new@example.org"));

    // Signing out empties the book: the page forgets the contact.
    service.book->clear();
    QVERIFY(details->contactNick().isEmpty());
}

QTEST_MAIN(TstContactScreens)
#include "tst_contactscreens.moc"
