#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QStandardPaths>
#include <QtTest>

#include "application.h"
#include "contactgroup.h"
#include "ui/importcontactsdialog.h"
#include "importtesting.h"
#include "screenshots.h"

using namespace importtesting;

namespace {

// Three entries with numbers: a full name, a last name only, no name at all; two have addresses.
const QByteArray threeCards = "BEGIN:VCARD\r\nVERSION:3.0\r\nN:Lovelace;Ada;;;\r\nFN:Ada Lovelace\r\n"
                              "TEL;TYPE=CELL:+44 20 7946 0811\r\nEMAIL:ada@engine.example\r\nEND:VCARD\r\n"
                              "BEGIN:VCARD\r\nVERSION:3.0\r\nN:Turing;;;;\r\nFN:Turing\r\n"
                              "TEL:+44 161 496 0722\r\nEMAIL:alan@bletchley.example\r\nEND:VCARD\r\n"
                              "BEGIN:VCARD\r\nVERSION:3.0\r\nN:;;;;\r\nTEL:+1 202 555 0133\r\nEND:VCARD\r\n";

// Nameless entries only: every one needs a nick of its own.
const QByteArray namelessCards = "BEGIN:VCARD\r\nVERSION:3.0\r\nTEL:+31 20 555 0101\r\nEND:VCARD\r\n"
                                 "BEGIN:VCARD\r\nVERSION:3.0\r\nTEL:+31 20 555 0102\r\nEND:VCARD\r\n"
                                 "BEGIN:VCARD\r\nVERSION:3.0\r\nTEL:+31 20 555 0103\r\nEND:VCARD\r\n";

// The same person twice (one number).
const QByteArray twinCards
    = "BEGIN:VCARD\r\nVERSION:3.0\r\nN:Hopper;Grace;;;\r\nTEL:+1 202 555 0177\r\nEND:VCARD\r\n"
      "BEGIN:VCARD\r\nVERSION:3.0\r\nN:Hopper;G.;;;\r\nTEL:+1-202-555-0177\r\nEND:VCARD\r\n";

} // namespace

// The wizard end to end: what the user chooses reaches the web-service emulator, and a fresh fetch
// from it shows the contacts and the invitations.
class TstImportContactsDialog : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void vCardEntriesReachTheServiceWithAnInvitation();
    void namelessEntriesAreAllAdded();
    void sameEntryTwiceIsCountedOnce();
    void secondRoundInvitesOnce();
    void contactsAlreadyInTheBookAreRefused();
    void sendEmailIsValidated_data();
    void sendEmailIsValidated();
    void newGroupIsValidated_data();
    void newGroupIsValidated();
    void nothingCheckedIsRefused();
    void loginFieldsAreRequired_data();
    void loginFieldsAreRequired();
    void unreadableFileReturnsToTheSources();
    void googleEntriesReachTheService();
    void yahooEntriesReachTheService();
    void wrongPasswordKeepsTheLoginPage_data();
    void wrongPasswordKeepsTheLoginPage();
    void contactsWaitForTheNewGroup();
    void groupTheServiceDoesNotCreateKeepsTheSelection_data();
    void groupTheServiceDoesNotCreateKeepsTheSelection();
    void confirmedGroupIsOfferedForTheImport();
    void skipWalksToTheEnd();
    void selectAllChecksEveryItem();

private:
    template <typename T> T *child(const char *name) const
    {
        T *found = dialog->findChild<T *>(QLatin1String(name));
        if (!found)
            qWarning("no child %s", name);
        return found;
    }
    void click(const char *button) const { child<QPushButton>(button)->click(); }
    QListWidget *list() const { return child<QListWidget>("contactsWidget"); }
    // The row whose text holds `text`; -1 when none does. The list is in name order.
    int rowOf(const QString &text) const
    {
        for (int row = 0; row < list()->count(); ++row) {
            if (list()->item(row)->text().contains(text))
                return row;
        }
        return -1;
    }
    // Opens the vCard of that content; true when the import page shows.
    bool openVCard(const QByteArray &cards);
    void checkRows(const QList<int> &rows) const;
    QList<int> checkedRows() const;
    // Imports the checked rows into a new group of that name, once the service has answered about it.
    void importIntoNewGroup(const QString &group);
    // Signs in to a web-mail service on the login page.
    void signInTo(const char *providerButton, const QString &user, const QString &password);
    void invite(const QList<int> &rows, const QString &name = QStringLiteral("Demo User"),
        const QString &email = QStringLiteral("demo@example.org"));
    QString lastWarning() const { return warnings.isEmpty() ? QString() : warnings.last().second; }

    Services services;
    ImportContactsDialog *dialog = nullptr;
    QList<QPair<QString, QString>> warnings;
    QString chosenFile;
    int fileCounter = 0;
};

void TstImportContactsDialog::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
    // The program's look, as the application object sets it up.
    Application::loadFonts();
    qApp->setStyleSheet(Application::loadStyleSheet());
    QVERIFY2(services.start(), qPrintable(services.mail.errorString() + services.web.errorString()));
}

void TstImportContactsDialog::init()
{
    QVERIFY2(services.web.reset(), qPrintable(services.web.errorString()));
    QVERIFY(services.mail.reset());
    QVERIFY(services.signIn());
    dialog = new ImportContactsDialog;
    dialog->setContactManager(services.book.get());
    dialog->setImporterUrls(services.mail.serviceUrls());
    warnings.clear();
    dialog->setWarningHandler([this](const QString &title, const QString &text) {
        warnings.append({ title, text });
    });
    dialog->setFileChooser([this]() { return chosenFile; });
}

void TstImportContactsDialog::cleanup()
{
    delete dialog;
    dialog = nullptr;
}

bool TstImportContactsDialog::openVCard(const QByteArray &cards)
{
    chosenFile = services.writeFile(QStringLiteral("cards%1.vcf").arg(++fileCounter), cards);
    click("importVCardButton");
    return dialog->step() == ImportContactsDialog::ImportStep;
}

void TstImportContactsDialog::checkRows(const QList<int> &rows) const
{
    for (int row = 0; row < list()->count(); ++row)
        list()->item(row)->setCheckState(rows.contains(row) ? Qt::Checked : Qt::Unchecked);
}

QList<int> TstImportContactsDialog::checkedRows() const
{
    QList<int> rows;
    for (int row = 0; row < list()->count(); ++row) {
        if (list()->item(row)->checkState() == Qt::Checked)
            rows << row;
    }
    return rows;
}

void TstImportContactsDialog::importIntoNewGroup(const QString &group)
{
    click("addGroupButton");
    child<QLineEdit>("addGroupLineEdit")->setText(group);
    click("importButton");
    QTRY_VERIFY_WITH_TIMEOUT(!dialog->isCreatingGroup(), waitMs);
}

void TstImportContactsDialog::signInTo(
    const char *providerButton, const QString &user, const QString &password)
{
    click(providerButton);
    QCOMPARE(dialog->step(), ImportContactsDialog::LoginStep);
    child<QLineEdit>("serviceLoginLineEdit")->setText(user);
    child<QLineEdit>("servicePasswordLineEdit")->setText(password);
    saveScreenshot(dialog, QStringLiteral("import-wizard-login-") + dialog->provider());
    click("importButton");
}

void TstImportContactsDialog::invite(const QList<int> &rows, const QString &name, const QString &email)
{
    checkRows(rows);
    child<QLineEdit>("senderNameLineEdit")->setText(name);
    child<QLineEdit>("senderEmailLineEdit")->setText(email);
    click("importButton");
}

void TstImportContactsDialog::vCardEntriesReachTheServiceWithAnInvitation()
{
    QVERIFY(openVCard(threeCards));
    QCOMPARE(dialog->provider(), QStringLiteral("vcard"));
    QCOMPARE(list()->count(), 3);
    QCOMPARE(child<QLabel>("foundImportContactsLabel")->text(),
        QStringLiteral(
            "We have found 3 contacts that have phone numbers.<br>Choose the ones you want to import."));
    checkRows({ 0, 1, 2 });
    importIntoNewGroup(QStringLiteral("Imported"));
    QVERIFY2(warnings.isEmpty(), qPrintable(lastWarning()));
    QCOMPARE(dialog->step(), ImportContactsDialog::InviteStep);
    QCOMPARE(dialog->importedCount(), 3);
    QCOMPARE(child<QPushButton>("importButton")->text(), QStringLiteral("Send Email"));

    // Ada and Alan have addresses; Alan is invited.
    QCOMPARE(list()->count(), 2);
    const int alan = rowOf(QStringLiteral("alan@bletchley.example"));
    QVERIFY(alan >= 0);
    invite({ alan });
    QVERIFY2(warnings.isEmpty(), qPrintable(lastWarning()));
    QCOMPARE(dialog->step(), ImportContactsDialog::FinalStep);
    QCOMPARE(child<QLabel>("importResultLabel")->text(),
        QStringLiteral("You have successfully added 3 contacts."));
    QCOMPARE(child<QPushButton>("importButton")->text(), QStringLiteral("Done"));

    QTRY_COMPARE_WITH_TIMEOUT(services.fetchContactsIn(QStringLiteral("Imported")).size(), 3, waitMs);
    QVERIFY(services.fetchGroupNames().contains(QStringLiteral("Imported")));
    QStringList nicks;
    QStringList numbers;
    for (const Contact &c : services.fetchContactsIn(QStringLiteral("Imported"))) {
        QVERIFY(!c.nick().isEmpty());
        nicks << c.nick();
        numbers << c.phoneNumbers();
        if (c.lastName() == QLatin1String("Lovelace")) {
            QCOMPARE(c.firstName(), QStringLiteral("Ada"));
            QCOMPARE(c.emails(), QStringList { QStringLiteral("ada@engine.example") });
        }
    }
    nicks.removeDuplicates();
    QCOMPARE(nicks.size(), 3);
    numbers.sort();
    QCOMPARE(numbers, QStringList({ "12025550133", "441614960722", "442079460811" }));

    QTRY_COMPARE_WITH_TIMEOUT(services.invites().size(), 1, waitMs);
    const QJsonObject sent = services.invites().first().toObject();
    QCOMPARE(sent.value("toEmails").toArray(), QJsonArray { "alan@bletchley.example" });
    QCOMPARE(sent.value("fullName").toString(), QStringLiteral("Demo User"));
    QCOMPARE(sent.value("fromEmail").toString(), QStringLiteral("demo@example.org"));
    QCOMPARE(sent.value("userMessage").toString(),
        QStringLiteral("has invited you to %1.").arg(ImportContactsDialog::productName()));

    click("importButton");
    QCOMPARE(dialog->result(), int(QDialog::Accepted));
}

void TstImportContactsDialog::namelessEntriesAreAllAdded()
{
    const int before = services.book->contactCount();
    QVERIFY(openVCard(namelessCards));
    checkRows({ 0, 1, 2 });
    importIntoNewGroup(QStringLiteral("Nameless"));
    QCOMPARE(dialog->importedCount(), 3);
    QVERIFY(dialog->skippedContacts().isEmpty());
    QCOMPARE(services.book->contactCount(), before + 3);
    QTRY_COMPARE_WITH_TIMEOUT(services.fetchContactsIn(QStringLiteral("Nameless")).size(), 3, waitMs);
    QSet<QString> nicks;
    for (const Contact &c : services.fetchContactsIn(QStringLiteral("Nameless"))) {
        QVERIFY(!c.nick().isEmpty());
        nicks.insert(c.nick());
    }
    QCOMPARE(nicks.size(), 3);
}

void TstImportContactsDialog::sameEntryTwiceIsCountedOnce()
{
    QVERIFY(openVCard(twinCards));
    checkRows({ 0, 1 });
    importIntoNewGroup(QStringLiteral("Twins"));
    QCOMPARE(dialog->step(), ImportContactsDialog::InviteStep);
    QCOMPARE(dialog->importedCount(), 1);
    QCOMPARE(dialog->skippedContacts().size(), 1);
    click("skipButton");
    const QString result = child<QLabel>("importResultLabel")->text();
    QVERIFY2(
        result.startsWith(QStringLiteral("You have successfully added 1 contacts.")), qPrintable(result));
    QVERIFY2(result.contains(dialog->skippedContacts().first()), qPrintable(result));
    QTRY_COMPARE_WITH_TIMEOUT(services.fetchContactsIn(QStringLiteral("Twins")).size(), 1, waitMs);
}

void TstImportContactsDialog::secondRoundInvitesOnce()
{
    const QStringList invited = { QStringLiteral("ada@engine.example"),
        QStringLiteral("alan@bletchley.example"), QStringLiteral("ada@engine.example") };
    for (int round = 0; round < invited.size(); ++round) {
        QVERIFY(openVCard(threeCards));
        click("skipButton");
        QCOMPARE(dialog->step(), ImportContactsDialog::InviteStep);
        invite({ rowOf(invited.at(round)) });
        QCOMPARE(dialog->step(), ImportContactsDialog::FinalStep);
        // Each round hands its invitation over once.
        QCOMPARE(services.rest->invitesSent, round + 1);
        QTRY_COMPARE_WITH_TIMEOUT(services.invites().size(), round + 1, waitMs);
        QCOMPARE(services.invites().last().toObject().value("toEmails").toArray(),
            QJsonArray { invited.at(round) });
        click("anotherButton");
        QCOMPARE(dialog->step(), ImportContactsDialog::SelectProviderStep);
    }
}

void TstImportContactsDialog::contactsAlreadyInTheBookAreRefused()
{
    QVERIFY(openVCard(threeCards));
    checkRows({ rowOf(QStringLiteral("Ada Lovelace")) });
    importIntoNewGroup(QStringLiteral("First"));
    QCOMPARE(dialog->importedCount(), 1);
    click("anotherButton");

    // Ada again, into the same group.
    QVERIFY(openVCard(threeCards));
    const int index = child<QComboBox>("groupComboBox")->findText(QStringLiteral("First"));
    QVERIFY(index >= 0);
    child<QComboBox>("groupComboBox")->setCurrentIndex(index);
    checkRows({ rowOf(QStringLiteral("Ada Lovelace")), rowOf(QStringLiteral("Turing")) });
    click("importButton");
    QCOMPARE(dialog->step(), ImportContactsDialog::ImportStep);
    QCOMPARE(warnings.size(), 1);
    QCOMPARE(warnings.first().first, QStringLiteral("Error"));
    QCOMPARE(warnings.first().second,
        QStringLiteral("Contacts below are already in your list\nPlease deselect them:\nAda Lovelace"));
    QCOMPARE(dialog->importedCount(), 0);
}

void TstImportContactsDialog::sendEmailIsValidated_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("email");
    QTest::addColumn<bool>("checked");
    QTest::addColumn<QString>("warning");
    QTest::newRow("no name") << ""
                             << "demo@example.org" << true << "You must enter your name";
    QTest::newRow("blank name") << "   "
                                << "demo@example.org" << true << "You must enter your name";
    QTest::newRow("no e-mail") << "Demo"
                               << "" << true << "You must enter a valid email address";
    QTest::newRow("no domain") << "Demo"
                               << "demo@" << true << "You must enter a valid email address";
    QTest::newRow("no at") << "Demo"
                           << "demo.example.org" << true << "You must enter a valid email address";
    QTest::newRow("nobody chosen") << "Demo"
                                   << "demo@example.org" << false
                                   << "You must select at least one contact to invite";
}

void TstImportContactsDialog::sendEmailIsValidated()
{
    QFETCH(QString, name);
    QFETCH(QString, email);
    QFETCH(bool, checked);
    QFETCH(QString, warning);
    QVERIFY(openVCard(threeCards));
    click("skipButton");
    invite(checked ? QList<int> { 0 } : QList<int> {}, name, email);
    QCOMPARE(dialog->step(), ImportContactsDialog::InviteStep);
    QCOMPARE(warnings.size(), 1);
    QCOMPARE(warnings.first(), qMakePair(QStringLiteral("Error"), warning));
    QCOMPARE(services.invites().size(), 0);
}

void TstImportContactsDialog::newGroupIsValidated_data()
{
    QTest::addColumn<QString>("group");
    QTest::addColumn<QString>("warning");
    QTest::newRow("empty") << ""
                           << "Group name cannot be empty";
    QTest::newRow("existing") << "Work"
                              << "Group Work already exists";
}

void TstImportContactsDialog::newGroupIsValidated()
{
    QFETCH(QString, group);
    QFETCH(QString, warning);
    QVERIFY(openVCard(threeCards));
    checkRows({ 0 });
    importIntoNewGroup(group);
    QCOMPARE(dialog->step(), ImportContactsDialog::ImportStep);
    QCOMPARE(lastWarning(), warning);
    QCOMPARE(dialog->importedCount(), 0);
}

void TstImportContactsDialog::nothingCheckedIsRefused()
{
    QVERIFY(openVCard(threeCards));
    checkRows({});
    click("importButton");
    QCOMPARE(dialog->step(), ImportContactsDialog::ImportStep);
    QCOMPARE(lastWarning(), QStringLiteral("You must select at least one contact to import"));
}

void TstImportContactsDialog::loginFieldsAreRequired_data()
{
    QTest::addColumn<QString>("user");
    QTest::addColumn<QString>("password");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("warning");
    QTest::newRow("no user") << ""
                             << "secret"
                             << "Insert username"
                             << "Please insert your username";
    QTest::newRow("blank user") << "  "
                                << "secret"
                                << "Insert username"
                                << "Please insert your username";
    QTest::newRow("no password") << "ana"
                                 << ""
                                 << "Insert password"
                                 << "Please insert your password";
}

void TstImportContactsDialog::loginFieldsAreRequired()
{
    QFETCH(QString, user);
    QFETCH(QString, password);
    QFETCH(QString, title);
    QFETCH(QString, warning);
    click("importYahooButton");
    QCOMPARE(dialog->step(), ImportContactsDialog::LoginStep);
    QCOMPARE(child<QLabel>("serviceLoginLabel")->text(), QStringLiteral("Yahoo Username:"));
    QCOMPARE(child<QLabel>("servicePasswordLabel")->text(), QStringLiteral("Yahoo Password:"));
    child<QLineEdit>("serviceLoginLineEdit")->setText(user);
    child<QLineEdit>("servicePasswordLineEdit")->setText(password);
    click("importButton");
    QCOMPARE(warnings.size(), 1);
    QCOMPARE(warnings.first(), qMakePair(title, warning));
    QVERIFY(!dialog->importer());
    QCOMPARE(dialog->step(), ImportContactsDialog::LoginStep);
}

void TstImportContactsDialog::unreadableFileReturnsToTheSources()
{
    QVERIFY(!openVCard("this is no address book\n"));
    QCOMPARE(dialog->step(), ImportContactsDialog::SelectProviderStep);
    QCOMPARE(warnings.size(), 1);
    QCOMPARE(warnings.first().first, QStringLiteral("File error"));
    QVERIFY(!warnings.first().second.isEmpty());
    // Cancelling the file choice does nothing.
    chosenFile.clear();
    click("importVCardButton");
    QCOMPARE(dialog->step(), ImportContactsDialog::SelectProviderStep);
    QCOMPARE(warnings.size(), 1);
}

void TstImportContactsDialog::googleEntriesReachTheService()
{
    click("importGmailButton");
    QCOMPARE(dialog->provider(), QStringLiteral("google"));
    QCOMPARE(child<QLabel>("serviceLoginLabel")->text(), QStringLiteral("Google Username:"));
    child<QLineEdit>("serviceLoginLineEdit")->setText(QStringLiteral("ana.lima@gmail.example"));
    child<QLineEdit>("servicePasswordLineEdit")->setText(QStringLiteral("correct horse"));
    click("importButton");
    QTRY_COMPARE_WITH_TIMEOUT(dialog->step(), ImportContactsDialog::ImportStep, waitMs);
    QVERIFY2(warnings.isEmpty(), qPrintable(lastWarning()));
    const int found = list()->count();
    QVERIFY(found >= 3);
    // The first three, whatever their names (one of the seed's entries has none).
    checkRows({ 0, 1, 2 });
    importIntoNewGroup(QStringLiteral("Gmail"));
    QVERIFY2(warnings.isEmpty(), qPrintable(lastWarning()));
    QCOMPARE(dialog->importedCount(), 3);
    QVERIFY(list()->count() >= 1);
    invite({ 0 });
    QCOMPARE(dialog->step(), ImportContactsDialog::FinalStep);
    QTRY_COMPARE_WITH_TIMEOUT(services.fetchContactsIn(QStringLiteral("Gmail")).size(), 3, waitMs);
    QTRY_COMPARE_WITH_TIMEOUT(services.invites().size(), 1, waitMs);
    QCOMPARE(services.invites().first().toObject().value("toEmails").toArray().size(), 1);
}

void TstImportContactsDialog::yahooEntriesReachTheService()
{
    QSignalSpy progress(child<QProgressBar>("loginProgressBar"), &QProgressBar::valueChanged);
    signInTo("importYahooButton", QStringLiteral("kari.nordmann"), QStringLiteral("hemmelig-passord"));
    QCOMPARE(dialog->provider(), QStringLiteral("yahoo"));
    QTRY_COMPARE_WITH_TIMEOUT(dialog->step(), ImportContactsDialog::ImportStep, waitMs);
    QVERIFY2(warnings.isEmpty(), qPrintable(lastWarning()));

    // The whole authorisation went through the service's pages: token, login form, consent, code,
    // access token, then the signed contacts request; the bar showed every step and was then hidden.
    QStringList walk;
    for (const QJsonValue &request : services.mail.requests()) {
        const QJsonObject r = request.toObject();
        walk << r.value("method").toString() + ' ' + r.value("path").toString().section('?', 0, 0);
    }
    const QStringList steps { "POST /oauth/v2/get_request_token", "GET /login", "POST /login",
        "POST /oauth/v2/request_auth", "POST /oauth/v2/get_token",
        "GET /v1/user/KNX7Q2ZL4T6WEXAMPLE/contacts" };
    int at = 0;
    for (const QString &step : steps) {
        while (at < walk.size() && !walk.at(at).startsWith(step))
            ++at;
        QVERIFY2(at < walk.size(), qPrintable(step + QStringLiteral(" missing from ") + walk.join(", ")));
    }
    QList<int> shown;
    for (const QList<QVariant> &value : qAsConst(progress))
        shown << value.first().toInt();
    QCOMPARE(shown, (QList<int> { 10, 20, 40, 50, 60, 70, 80, 90, 100, 0 }));

    // Four entries, three with numbers, in name order.
    QCOMPARE(list()->count(), 3);
    QVERIFY(list()->item(0)->text().startsWith(QStringLiteral("Amal Haddad")));
    QVERIFY(list()->item(1)->text().startsWith(QString::fromUtf8("Kåre")));
    QVERIFY(list()->item(2)->text().startsWith(QString::fromUtf8("Šárka")));
    checkRows({ 0, 1, 2 });
    saveScreenshot(dialog, QStringLiteral("import-wizard-entries"));
    importIntoNewGroup(QStringLiteral("Yahoo"));
    QVERIFY2(warnings.isEmpty(), qPrintable(lastWarning()));
    QCOMPARE(dialog->step(), ImportContactsDialog::InviteStep);
    QCOMPARE(dialog->importedCount(), 3);

    // Amal, Kåre and the nameless entry have addresses.
    QCOMPARE(list()->count(), 3);
    const int kare = rowOf(QStringLiteral("kare@mail.example"));
    QVERIFY(kare >= 0);
    saveScreenshot(dialog, QStringLiteral("import-wizard-invite"));
    invite({ kare });
    QCOMPARE(dialog->step(), ImportContactsDialog::FinalStep);
    saveScreenshot(dialog, QStringLiteral("import-wizard-done"));

    QTRY_COMPARE_WITH_TIMEOUT(services.fetchContactsIn(QStringLiteral("Yahoo")).size(), 3, waitMs);
    QVERIFY(services.fetchGroupNames().contains(QStringLiteral("Yahoo")));
    QMap<QString, QStringList> numbersByLastName;
    for (const Contact &c : services.fetchContactsIn(QStringLiteral("Yahoo"))) {
        numbersByLastName.insert(c.lastName(), c.phoneNumbers());
        if (c.firstName() == QString::fromUtf8("Kåre"))
            QCOMPARE(c.emails(), (QStringList { "kare@mail.example", "kare_o@yahoo.com" }));
    }
    QCOMPARE(numbersByLastName.value(QStringLiteral("Haddad")), QStringList { "9611555123" });
    QCOMPARE(
        numbersByLastName.value(QString::fromUtf8("Ødegård")), (QStringList { "4722334455", "4791234567" }));
    QCOMPARE(numbersByLastName.value(QString::fromUtf8("Nováková")), QStringList { "420222333444" });
    // The contacts went out only after the service had stored their group.
    QCOMPARE(services.rest->sentWith(QStringLiteral("addGroup")), QStringList { "addGroup Yahoo after 0" });
    const QStringList contactsSent = services.rest->sentWith(QStringLiteral("addContact"));
    QCOMPARE(contactsSent.size(), 3);
    for (const QString &line : contactsSent)
        QVERIFY2(line.endsWith(QStringLiteral(" after 1")), qPrintable(line));

    QTRY_COMPARE_WITH_TIMEOUT(services.invites().size(), 1, waitMs);
    QCOMPARE(services.invites().first().toObject().value("toEmails").toArray(),
        QJsonArray { "kare@mail.example" });
}

void TstImportContactsDialog::wrongPasswordKeepsTheLoginPage_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("user");
    QTest::newRow("google") << "importGmailButton"
                            << "ana.lima@gmail.example";
    QTest::newRow("yahoo") << "importYahooButton"
                           << "kari.nordmann";
}

void TstImportContactsDialog::wrongPasswordKeepsTheLoginPage()
{
    QFETCH(QString, button);
    QFETCH(QString, user);
    signInTo(qPrintable(button), user, QStringLiteral("wrong horse"));
    QTRY_COMPARE_WITH_TIMEOUT(warnings.size(), 1, waitMs);
    QCOMPARE(warnings.first(),
        qMakePair(
            QStringLiteral("Login error"), QStringLiteral("Please check your credentials and try again!")));
    QCOMPARE(dialog->step(), ImportContactsDialog::LoginStep);
    QVERIFY(child<QPushButton>("importButton")->isEnabled());
}

void TstImportContactsDialog::contactsWaitForTheNewGroup()
{
    QVERIFY(services.web.injectFault(QStringLiteral("delay"), 1, QStringLiteral("group"), 2));
    QVERIFY(openVCard(threeCards));
    checkRows({ 0, 2 });
    click("addGroupButton");
    child<QLineEdit>("addGroupLineEdit")->setText(QStringLiteral("Later"));
    click("importButton");

    // The group request is out and the service sits on it: nothing else is sent, the book is unchanged,
    // and the page waits without letting the choice change.
    QVERIFY(dialog->isCreatingGroup());
    QCOMPARE(services.rest->sent, QStringList { "addGroup Later after 0" });
    QCOMPARE(dialog->step(), ImportContactsDialog::ImportStep);
    QVERIFY(!services.book->groupPresent(QStringLiteral("Later")));
    QVERIFY(!child<QPushButton>("importButton")->isEnabled());
    QVERIFY(!list()->isEnabled());
    QVERIFY(child<QLabel>("groupStatusLabel")->isVisibleTo(dialog));
    QCOMPARE(child<QLabel>("groupStatusLabel")->text(), QStringLiteral("Creating the group Later..."));
    click("importButton");
    QCOMPARE(services.rest->sent.size(), 1);

    QTRY_COMPARE_WITH_TIMEOUT(dialog->step(), ImportContactsDialog::InviteStep, waitMs);
    QVERIFY2(warnings.isEmpty(), qPrintable(lastWarning()));
    QCOMPARE(dialog->importedCount(), 2);
    QVERIFY(services.book->groupPresent(QStringLiteral("Later")));
    QVERIFY(!child<QLabel>("groupStatusLabel")->isVisibleTo(dialog));
    QVERIFY(child<QPushButton>("importButton")->isEnabled());
    const QStringList contactsSent = services.rest->sentWith(QStringLiteral("addContact"));
    QCOMPARE(contactsSent.size(), 2);
    for (const QString &line : contactsSent)
        QVERIFY2(line.endsWith(QStringLiteral(" after 1")), qPrintable(line));
    QTRY_COMPARE_WITH_TIMEOUT(services.fetchContactsIn(QStringLiteral("Later")).size(), 2, waitMs);
}

void TstImportContactsDialog::groupTheServiceDoesNotCreateKeepsTheSelection_data()
{
    QTest::addColumn<QString>("cause"); // "exists": the service has the group already; else a fault
    QTest::addColumn<QString>("serviceMessage");
    QTest::newRow("server error") << "500"
                                  << "";
    QTest::newRow("connection dropped") << "drop"
                                        << "";
    QTest::newRow("already on the service") << "exists"
                                            << "Group already exists.";
}

void TstImportContactsDialog::groupTheServiceDoesNotCreateKeepsTheSelection()
{
    QFETCH(QString, cause);
    QFETCH(QString, serviceMessage);
    const QString group = QStringLiteral("Refused");
    if (cause == QLatin1String("exists")) {
        // Made by another session: the service has it, this book does not.
        auto other = services.newRestManager();
        QSignalSpy added(other.get(), &RestManager::groupAdded);
        other->addGroup(Group(group));
        QVERIFY(added.wait(waitMs));
    } else {
        const int count = cause == QLatin1String("drop") ? WebServiceEmulator::dropsSeenByQt : 1;
        QVERIFY(services.web.injectFault(cause, count, QStringLiteral("group")));
    }
    QVERIFY(openVCard(threeCards));
    checkRows({ 0, 2 });
    importIntoNewGroup(group);

    QCOMPARE(warnings.size(), 1);
    QCOMPARE(warnings.first().first, QStringLiteral("Error"));
    const QString text = warnings.first().second;
    QVERIFY2(text.startsWith(QStringLiteral("The group Refused could not be created")), qPrintable(text));
    QVERIFY2(text.contains(QStringLiteral("your selection is kept")), qPrintable(text));
    if (!serviceMessage.isEmpty())
        QVERIFY2(text.contains(serviceMessage), qPrintable(text));
    // Nothing was added, and the choice and the typed group are there for another try.
    QCOMPARE(dialog->step(), ImportContactsDialog::ImportStep);
    QCOMPARE(dialog->importedCount(), 0);
    QVERIFY(!services.book->groupPresent(group));
    QVERIFY(services.rest->sentWith(QStringLiteral("addContact")).isEmpty());
    QCOMPARE(checkedRows(), (QList<int> { 0, 2 }));
    QVERIFY(list()->isEnabled());
    QVERIFY(child<QLineEdit>("addGroupLineEdit")->isVisibleTo(dialog));
    QCOMPARE(child<QLineEdit>("addGroupLineEdit")->text(), group);
    QVERIFY(child<QPushButton>("importButton")->isEnabled());
    QVERIFY(services.fetchContactsIn(group).isEmpty());

    if (cause == QLatin1String("exists"))
        return;
    // The service works again: the same click imports the same choice.
    click("importButton");
    QTRY_COMPARE_WITH_TIMEOUT(dialog->step(), ImportContactsDialog::InviteStep, waitMs);
    QCOMPARE(warnings.size(), 1);
    QCOMPARE(dialog->importedCount(), 2);
    QTRY_COMPARE_WITH_TIMEOUT(services.fetchContactsIn(group).size(), 2, waitMs);
}

void TstImportContactsDialog::confirmedGroupIsOfferedForTheImport()
{
    QVERIFY(openVCard(threeCards));
    click("addGroupButton");
    child<QLineEdit>("addGroupLineEdit")->setText(QStringLiteral("Picked"));
    click("confirmAddGroupButton");
    QTRY_VERIFY_WITH_TIMEOUT(!dialog->isCreatingGroup(), waitMs);
    QVERIFY2(warnings.isEmpty(), qPrintable(lastWarning()));
    // The group line is closed and the new group is the one chosen; nothing was imported yet.
    QVERIFY(!child<QLineEdit>("addGroupLineEdit")->isVisibleTo(dialog));
    QCOMPARE(child<QComboBox>("groupComboBox")->currentText(), QStringLiteral("Picked"));
    QCOMPARE(dialog->step(), ImportContactsDialog::ImportStep);
    QVERIFY(services.fetchGroupNames().contains(QStringLiteral("Picked")));
    checkRows({ 1 });
    click("importButton");
    QCOMPARE(dialog->step(), ImportContactsDialog::InviteStep);
    QCOMPARE(dialog->importedCount(), 1);
    QTRY_COMPARE_WITH_TIMEOUT(services.fetchContactsIn(QStringLiteral("Picked")).size(), 1, waitMs);
}

void TstImportContactsDialog::skipWalksToTheEnd()
{
    QVERIFY(openVCard(threeCards));
    click("skipButton");
    QCOMPARE(dialog->step(), ImportContactsDialog::InviteStep);
    click("skipButton");
    QCOMPARE(dialog->step(), ImportContactsDialog::FinalStep);
    QCOMPARE(
        child<QLabel>("importResultLabel")->text(), QStringLiteral("You haven't imported any contacts."));
    QCOMPARE(dialog->importedCount(), 0);
}

void TstImportContactsDialog::selectAllChecksEveryItem()
{
    QVERIFY(openVCard(threeCards));
    auto *all = child<QCheckBox>("selectAllCheckBox");
    all->setChecked(true);
    for (int row = 0; row < list()->count(); ++row)
        QCOMPARE(list()->item(row)->checkState(), Qt::Checked);
    all->setChecked(false);
    for (int row = 0; row < list()->count(); ++row)
        QCOMPARE(list()->item(row)->checkState(), Qt::Unchecked);
    // The invitation list takes the box's state.
    all->setChecked(true);
    click("skipButton");
    QCOMPARE(list()->count(), 2);
    for (int row = 0; row < list()->count(); ++row)
        QCOMPARE(list()->item(row)->checkState(), Qt::Checked);
}

QTEST_MAIN(TstImportContactsDialog)
#include "tst_importcontactsdialog.moc"
