#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QStackedWidget>
#include <QStandardPaths>
#include <QtTest>

#include <memory>

#include "contactmanager.h"
#include "ui/addeditcontactdialog.h"
#include "ui/phonenumberwidget.h"
#include "contactscreenstesting.h"

using namespace contactscreenstesting;

class TstAddEditContactDialog : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void validation_data();
    void validation();
    void rowButtonsFollowTheRowCount();
    void removingRowTwoOfThreeMovesTheThirdUp();
    void phoneTypeMenuSetsTheType();
    void duplicateEmailIsRefusedAndMarked();
    void duplicatePhoneIsRefusedAndMarked();
    void twoContactsWithoutEmailAreNoDuplicates();
    void newContactInNewGroupIsFiledThere();
    void editAppliesFieldChangesAndTheNewGroup();
    void editKeepsOtherEmailsAndPhonesBeyondTheRows();
    void editDialogClosesWhenTheContactLeavesTheBook();
    void editOfMissingContactIsRefused();

private:
    template <class T> T *child(const QString &name) const { return dialog->findChild<T *>(name); }
    void setPhones(const QStringList &numbers);
    void save() { child<QPushButton>(QStringLiteral("addSaveContactButton"))->click(); }
    bool marked(const QString &name) const
    {
        return dialog->findChild<QWidget *>(name)->property("_invalid").toBool();
    }

    std::unique_ptr<ContactManager> book;
    std::unique_ptr<AddEditContactDialog> dialog;
};

void TstAddEditContactDialog::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
}

void TstAddEditContactDialog::init()
{
    book = std::make_unique<ContactManager>();
    book->loadGroups({});
    book->loadContacts({
        contact("ada", "Work", "Ada", "Lovelace", { "442079460000" }, { "ada@example.org" }),
    });
    dialog = std::make_unique<AddEditContactDialog>();
    dialog->setContactManager(book.get());
    dialog->setAddContact(book->groupList());
}

void TstAddEditContactDialog::cleanup()
{
    dialog.reset();
    book.reset();
}

void TstAddEditContactDialog::setPhones(const QStringList &numbers)
{
    while (dialog->phoneRowCount() < numbers.size())
        emit dialog->phoneRow(dialog->phoneRowCount() - 1)->addClicked();
    for (int row = 0; row < numbers.size(); ++row)
        dialog->phoneRow(row)->setText(numbers.at(row));
}

void TstAddEditContactDialog::validation_data()
{
    QTest::addColumn<QString>("firstName");
    QTest::addColumn<QString>("email");
    QTest::addColumn<QStringList>("phones");
    QTest::addColumn<QString>("newGroup");
    QTest::addColumn<QStringList>("invalid");
    QTest::addColumn<QString>("error");

    QTest::newRow("first name and a 1- number, no e-mail")
        << "Grace"
        << "" << QStringList { "1-20-25550100" } << "" << QStringList() << "";
    QTest::newRow("country code number and e-mail")
        << "Grace"
        << "grace@navy.mil" << QStringList { "+49-301-23456" } << "" << QStringList() << "";
    QTest::newRow("empty second phone row")
        << "Grace"
        << "" << QStringList { "4930123456", "" } << "" << QStringList { "Phone 2" }
        << "The following fields are invalid: Phone 2";
    QTest::newRow("blank first name")
        << "  "
        << "" << QStringList { "4930123456" } << "" << QStringList { "First Name" }
        << "The following fields are invalid: First Name";
    QTest::newRow("e-mail without a dot after the at")
        << "Grace"
        << "grace@navy" << QStringList { "4930123456" } << "" << QStringList { "Email" }
        << "The following fields are invalid: Email";
    QTest::newRow("everything wrong, in form order")
        << ""
        << "x" << QStringList { "12", "4930123456", "1-2" } << ""
        << QStringList { "First Name", "Email", "Phone 1", "Phone 3" }
        << "The following fields are invalid: First Name, Email, Phone 1, Phone 3";
    QTest::newRow("new group with a space")
        << "Grace"
        << "" << QStringList { "4930123456" } << "Book club" << QStringList { "Group" }
        << "The following field is invalid or contains spaces: Group";
    QTest::newRow("new group that exists in another case")
        << "Grace"
        << "" << QStringList { "4930123456" } << "wORK" << QStringList { "Group" }
        << "The following group already exists: wORK";
    QTest::newRow("bad new group and bad phone")
        << "Grace"
        << "" << QStringList { "1" } << "a-b" << QStringList { "Group", "Phone 1" }
        << "The following fields are invalid: Group, Phone 1";
    QTest::newRow("valid new group") << "Grace"
                                     << "" << QStringList { "4930123456" } << "Navy" << QStringList() << "";
}

void TstAddEditContactDialog::validation()
{
    QFETCH(QString, firstName);
    QFETCH(QString, email);
    QFETCH(QStringList, phones);
    QFETCH(QString, newGroup);
    QFETCH(QStringList, invalid);
    QFETCH(QString, error);

    const int contactsBefore = book->contactCount();
    child<QLineEdit>(QStringLiteral("firstNameLineEdit"))->setText(firstName);
    child<QLineEdit>(QStringLiteral("emailLineEdit"))->setText(email);
    setPhones(phones);
    if (!newGroup.isEmpty()) {
        child<QPushButton>(QStringLiteral("addGroupButton"))->click();
        child<QLineEdit>(QStringLiteral("groupLineEdit"))->setText(newGroup);
    }
    save();

    QCOMPARE(dialog->invalidFields(), invalid);
    QCOMPARE(dialog->error(), error);
    QCOMPARE(dialog->result(), invalid.isEmpty() ? int(QDialog::Accepted) : int(QDialog::Rejected));
    QCOMPARE(book->contactCount(), contactsBefore + (invalid.isEmpty() ? 1 : 0));
    QCOMPARE(marked(QStringLiteral("firstNameLineEdit")), invalid.contains("First Name"));
    QCOMPARE(marked(QStringLiteral("emailLineEdit")), invalid.contains("Email"));
    QCOMPARE(marked(QStringLiteral("groupLineEdit")), invalid.contains("Group"));
    for (int row = 0; row < phones.size(); ++row)
        QCOMPARE(marked(QStringLiteral("phone_%1").arg(row + 1)),
            invalid.contains(QStringLiteral("Phone %1").arg(row + 1)));
}

void TstAddEditContactDialog::rowButtonsFollowTheRowCount()
{
    auto modeOf = [this](int row) {
        const PhoneNumberWidget *widget = dialog->phoneRow(row);
        const bool add = widget->findChild<QWidget *>(QStringLiteral("addButton"))->isVisibleTo(dialog.get());
        const bool remove
            = widget->findChild<QWidget *>(QStringLiteral("removeButton"))->isVisibleTo(dialog.get());
        return add && remove ? 2 : (add ? 0 : (remove ? 1 : -1));
    };
    QCOMPARE(dialog->phoneRowCount(), 1);
    QCOMPARE(modeOf(0), 0);
    setPhones({ "1", "2", "3" });
    QCOMPARE(modeOf(0), 1);
    QCOMPARE(modeOf(1), 1);
    QCOMPARE(modeOf(2), 2);
    QVERIFY(!dialog->phoneRow(3)->isVisibleTo(dialog.get()));
    setPhones({ "1", "2", "3", "4", "5" });
    QCOMPARE(dialog->phoneRowCount(), 5);
    QCOMPARE(modeOf(4), 1);
    // The added rows kept what was typed before.
    QCOMPARE(dialog->phoneRow(2)->text(), QStringLiteral("3"));
}

void TstAddEditContactDialog::removingRowTwoOfThreeMovesTheThirdUp()
{
    setPhones({ "4930111111", "4930222222", "4930333333" });
    dialog->phoneRow(2)->setType(2);
    emit dialog->phoneRow(1)->removeClicked();
    QCOMPARE(dialog->phoneRowCount(), 2);
    QCOMPARE(dialog->phoneRow(0)->text(), QStringLiteral("4930111111"));
    QCOMPARE(dialog->phoneRow(1)->text(), QStringLiteral("4930333333"));
    QCOMPARE(dialog->phoneRow(1)->type(), 2);
    QCOMPARE(dialog->phoneRow(2)->text(), QString());
}

void TstAddEditContactDialog::phoneTypeMenuSetsTheType()
{
    PhoneNumberWidget *row = dialog->phoneRow(0);
    QMenu *menu = row->findChild<QMenu *>(QStringLiteral("phoneTypePopup"));
    QVERIFY(menu);
    QStringList texts;
    for (QAction *action : menu->actions())
        texts << action->text();
    QCOMPARE(texts, QStringList({ "Home", "Work", "Mobile" }));
    auto *button = row->findChild<QPushButton *>(QStringLiteral("choosePhoneTypeButton"));
    QCOMPARE(button->property("_phone_type").toString(), QStringLiteral("home"));
    menu->actions().at(2)->trigger();
    QCOMPARE(row->type(), 2);
    QCOMPARE(button->property("_phone_type").toString(), QStringLiteral("mobile"));
    row->setType(7);
    QCOMPARE(button->property("_phone_type").toString(), QString());
}

void TstAddEditContactDialog::duplicateEmailIsRefusedAndMarked()
{
    child<QLineEdit>(QStringLiteral("firstNameLineEdit"))->setText(QStringLiteral("Augusta"));
    child<QLineEdit>(QStringLiteral("emailLineEdit"))->setText(QStringLiteral("ada@example.org"));
    setPhones({ "4930123456" });
    save();
    QCOMPARE(dialog->error(), QStringLiteral("Contact exist with the same fields: Email"));
    QVERIFY(marked(QStringLiteral("emailLineEdit")));
    QCOMPARE(dialog->result(), int(QDialog::Rejected));
    QCOMPARE(book->contactCount(), 1);
}

void TstAddEditContactDialog::duplicatePhoneIsRefusedAndMarked()
{
    child<QLineEdit>(QStringLiteral("firstNameLineEdit"))->setText(QStringLiteral("Ada"));
    child<QLineEdit>(QStringLiteral("lastNameLineEdit"))->setText(QStringLiteral("LOVELACE"));
    setPhones({ "4930123456", "+44-207-9460000" });
    save();
    QCOMPARE(dialog->error(), QStringLiteral("Contact exist with the same fields: First/Last name, Phone 2"));
    QVERIFY(marked(QStringLiteral("firstNameLineEdit")));
    QVERIFY(marked(QStringLiteral("lastNameLineEdit")));
    QVERIFY(!marked(QStringLiteral("phone_1")));
    QVERIFY(marked(QStringLiteral("phone_2")));
    QCOMPARE(book->contactCount(), 1);
}

void TstAddEditContactDialog::twoContactsWithoutEmailAreNoDuplicates()
{
    for (const QString &name : { QStringLiteral("Grace"), QStringLiteral("Alan") }) {
        dialog->setAddContact(book->groupList());
        child<QLineEdit>(QStringLiteral("firstNameLineEdit"))->setText(name);
        setPhones({ QStringLiteral("49301234%1").arg(name.size()) });
        save();
        QCOMPARE(dialog->error(), QString());
    }
    QCOMPARE(book->contactCount(), 3);
    for (const Contact *c : book->allContacts()) {
        if (c->nick() != QStringLiteral("ada"))
            QVERIFY(c->emails().isEmpty());
    }
}

void TstAddEditContactDialog::newContactInNewGroupIsFiledThere()
{
    child<QComboBox>(QStringLiteral("groupCombo"))->setCurrentText(QStringLiteral("Family"));
    child<QLineEdit>(QStringLiteral("firstNameLineEdit"))->setText(QStringLiteral("Grace"));
    setPhones({ "+1-202-5550100" });
    child<QPushButton>(QStringLiteral("addGroupButton"))->click();
    QCOMPARE(child<QStackedWidget>(QStringLiteral("groupStackedWidget"))->currentWidget()->objectName(),
        QStringLiteral("groupAddPage"));
    child<QLineEdit>(QStringLiteral("groupLineEdit"))->setText(QStringLiteral("Navy"));
    save();
    QCOMPARE(dialog->result(), int(QDialog::Accepted));
    const ContactGroup *navy = book->contactGroup(QStringLiteral("Navy"));
    QVERIFY(navy);
    QCOMPARE(navy->contactCount(), 1);
    QCOMPARE(navy->contacts().first()->groupName(), QStringLiteral("Navy"));
    QCOMPARE(navy->contacts().first()->phoneNumbers(), QStringList({ "12025550100" }));
    QCOMPARE(book->contactGroup(QStringLiteral("Family"))->contactCount(), 0);
}

void TstAddEditContactDialog::editAppliesFieldChangesAndTheNewGroup()
{
    QVERIFY(dialog->setEditContact(QStringLiteral("ada")));
    QCOMPARE(dialog->windowTitle(), QStringLiteral("Edit contact"));
    QCOMPARE(
        child<QPushButton>(QStringLiteral("addSaveContactButton"))->text(), QStringLiteral("Save contact"));
    QCOMPARE(child<QComboBox>(QStringLiteral("groupCombo"))->currentText(), QStringLiteral("Work"));
    QCOMPARE(child<QLineEdit>(QStringLiteral("emailLineEdit"))->text(), QStringLiteral("ada@example.org"));
    QCOMPARE(dialog->phoneRow(0)->text(), QStringLiteral("442079460000"));

    child<QLineEdit>(QStringLiteral("lastNameLineEdit"))->setText(QStringLiteral("King"));
    dialog->phoneRow(0)->setText(QStringLiteral("442079460099"));
    child<QPushButton>(QStringLiteral("addGroupButton"))->click();
    child<QLineEdit>(QStringLiteral("groupLineEdit"))->setText(QStringLiteral("Analysts"));
    save();
    QCOMPARE(dialog->result(), int(QDialog::Accepted));
    const Contact *ada = book->contactPresent(QStringLiteral("ada"));
    QVERIFY(ada);
    QCOMPARE(ada->lastName(), QStringLiteral("King"));
    QCOMPARE(ada->phoneNumbers(), QStringList({ "442079460099" }));
    QCOMPARE(ada->groupName(), QStringLiteral("Analysts"));
    QVERIFY(book->contactGroup(QStringLiteral("Analysts"))->hasContact(QStringLiteral("ada")));
    QVERIFY(!book->contactGroup(QStringLiteral("Work"))->hasContact(QStringLiteral("ada")));
}

void TstAddEditContactDialog::editKeepsOtherEmailsAndPhonesBeyondTheRows()
{
    QStringList numbers;
    for (int i = 1; i <= 7; ++i)
        numbers << QStringLiteral("4930555000%1").arg(i);
    Contact many
        = contact("many", "Friends", "Manny", "Numbers", numbers, { "m1@example.org", "m2@example.org" });
    many.setCity(QStringLiteral("Berlin"));
    book->addOldContact(many);
    QVERIFY(dialog->setEditContact(QStringLiteral("many")));
    QCOMPARE(dialog->phoneRowCount(), 5);
    child<QLineEdit>(QStringLiteral("emailLineEdit"))->setText(QStringLiteral("m0@example.org"));
    child<QLineEdit>(QStringLiteral("addressLineEdit"))->setText(QStringLiteral("Unter den Linden 1"));
    save();
    QCOMPARE(dialog->result(), int(QDialog::Accepted));
    const Contact *stored = book->contactPresent(QStringLiteral("many"));
    QCOMPARE(stored->emails(), QStringList({ "m0@example.org", "m2@example.org" }));
    QCOMPARE(stored->phoneNumbers(), numbers);
    QCOMPARE(stored->addressLine1(), QStringLiteral("Unter den Linden 1"));
    QCOMPARE(stored->city(), QStringLiteral("Berlin"));
}

void TstAddEditContactDialog::editDialogClosesWhenTheContactLeavesTheBook()
{
    QVERIFY(dialog->setEditContact(QStringLiteral("ada")));
    dialog->show();
    QVERIFY(QTest::qWaitForWindowExposed(dialog.get()));
    // Signing out empties the book while the dialog is open.
    book->clear();
    QVERIFY(!dialog->isVisible());
    QCOMPARE(dialog->result(), int(QDialog::Rejected));
    save();
    QCOMPARE(book->contactCount(), 0);
    QCOMPARE(book->groupCount(), 0);
}

void TstAddEditContactDialog::editOfMissingContactIsRefused()
{
    QVERIFY(!dialog->setEditContact(QStringLiteral("nobody")));
    QVERIFY(dialog->isAdding());
}

QTEST_MAIN(TstAddEditContactDialog)
#include "tst_addeditcontactdialog.moc"
