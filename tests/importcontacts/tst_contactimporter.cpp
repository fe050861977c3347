#include <QtTest>

#include "importcontacts/contactimporter.h"

namespace {

// An importer whose entries and outcomes the test sets by hand.
class FakeImporter : public ContactImporter
{
public:
    using ContactImporter::ContactImporter;
    void startImportingContacts(const QString &username, const QString &password) override
    {
        beginImport();
        setCredentials(username, password);
    }
    using ContactImporter::addContact;
    using ContactImporter::finishWith;
    using ContactImporter::jsonMember;
    using ContactImporter::okReply;
    using ContactImporter::reportFinished;
    using ContactImporter::reportLoginError;
    using ContactImporter::reportNetworkError;
    using ContactImporter::reportProgress;
};

ImportedContact entry(const QString &first, const QString &last, const QString &email = QString())
{
    ImportedContact contact;
    contact.firstName = first;
    contact.lastName = last;
    if (!email.isEmpty())
        contact.emails << email;
    return contact;
}

} // namespace

class TstContactImporter : public QObject
{
    Q_OBJECT

private slots:
    void lessByName_data();
    void lessByName();
    void sortedContactsIsACopyMadeOnce();
    void sortingIsStable();
    void onlyTheFirstOutcomeIsEmitted();
    void newImportForgetsThePrevious();
    void finishWith_data();
    void finishWith();
    void handlerWithoutAReplyIsANetworkError();
    void jsonMember_data();
    void jsonMember();
    void displayName_data();
    void displayName();
    void isEmpty();
};

void TstContactImporter::lessByName_data()
{
    QTest::addColumn<QString>("firstA");
    QTest::addColumn<QString>("lastA");
    QTest::addColumn<QString>("firstB");
    QTest::addColumn<QString>("lastB");
    QTest::addColumn<bool>("less");
    QTest::newRow("first name decides") << "Ann"
                                        << "Zed"
                                        << "Bob"
                                        << "Abe" << true;
    QTest::newRow("then last name") << "Ann"
                                    << "Abe"
                                    << "Ann"
                                    << "Zed" << true;
    QTest::newRow("equal") << "Ann"
                           << "Lee"
                           << "Ann"
                           << "Lee" << false;
    QTest::newRow("upper case first") << "Zed"
                                      << ""
                                      << "ann"
                                      << "" << true;
    QTest::newRow("empty first name first") << ""
                                            << "Zed"
                                            << "Ann"
                                            << "" << true;
    QTest::newRow("plain code units") << QString::fromUtf8("Émile") << ""
                                      << "Zed"
                                      << "" << false;
}

void TstContactImporter::lessByName()
{
    QFETCH(QString, firstA);
    QFETCH(QString, lastA);
    QFETCH(QString, firstB);
    QFETCH(QString, lastB);
    QFETCH(bool, less);
    QCOMPARE(ImportedContact::lessByName(entry(firstA, lastA), entry(firstB, lastB)), less);
}

void TstContactImporter::sortedContactsIsACopyMadeOnce()
{
    FakeImporter importer;
    importer.startImportingContacts(QStringLiteral("u"), QStringLiteral("p"));
    importer.addContact(entry(QStringLiteral("Cleo"), QStringLiteral("A")));
    importer.addContact(entry(QStringLiteral("Ann"), QStringLiteral("Zed")));
    importer.addContact(entry(QStringLiteral("Ann"), QStringLiteral("Abe")));
    const QList<ImportedContact> &sorted = importer.sortedContacts();
    QCOMPARE(sorted.size(), 3);
    QCOMPARE(sorted.at(0).lastName, QStringLiteral("Abe"));
    QCOMPARE(sorted.at(1).lastName, QStringLiteral("Zed"));
    QCOMPARE(sorted.at(2).firstName, QStringLiteral("Cleo"));
    QCOMPARE(importer.contacts().first().firstName, QStringLiteral("Cleo"));
    QCOMPARE(&importer.sortedContacts(), &sorted);
    QCOMPARE(importer.sortedContacts(), sorted);
}

void TstContactImporter::sortingIsStable()
{
    FakeImporter importer;
    importer.startImportingContacts(QString(), QString());
    importer.addContact(entry(QString(), QString(), QStringLiteral("1@x.example")));
    importer.addContact(entry(QString(), QString(), QStringLiteral("2@x.example")));
    importer.addContact(entry(QString(), QString(), QStringLiteral("3@x.example")));
    QStringList order;
    for (const ImportedContact &contact : importer.sortedContacts())
        order << contact.emails.first();
    QCOMPARE(order, (QStringList { "1@x.example", "2@x.example", "3@x.example" }));
}

void TstContactImporter::onlyTheFirstOutcomeIsEmitted()
{
    FakeImporter importer;
    QSignalSpy finished(&importer, &ContactImporter::finished);
    QSignalSpy network(&importer, &ContactImporter::networkError);
    QSignalSpy login(&importer, &ContactImporter::errorLoggingIn);
    QSignalSpy progress(&importer, &ContactImporter::progressUpdate);
    importer.startImportingContacts(QString(), QString());
    importer.reportProgress(10);
    importer.reportNetworkError();
    importer.reportProgress(20);
    importer.reportFinished();
    importer.reportLoginError();
    QCOMPARE(network.count(), 1);
    QCOMPARE(finished.count(), 0);
    QCOMPARE(login.count(), 0);
    QCOMPARE(progress.count(), 1);
    QVERIFY(importer.isDone());
}

void TstContactImporter::newImportForgetsThePrevious()
{
    FakeImporter importer;
    QSignalSpy finished(&importer, &ContactImporter::finished);
    importer.startImportingContacts(QString(), QString());
    importer.addContact(entry(QStringLiteral("A"), QString()));
    importer.reportFinished();
    QCOMPARE(importer.sortedContacts().size(), 1);
    importer.startImportingContacts(QString(), QString());
    QVERIFY(!importer.isDone());
    QVERIFY(importer.contacts().isEmpty());
    QVERIFY(importer.sortedContacts().isEmpty());
    importer.reportFinished();
    QCOMPARE(finished.count(), 2);
}

void TstContactImporter::finishWith_data()
{
    QTest::addColumn<bool>("parsed");
    QTest::addColumn<int>("entries");
    QTest::addColumn<QString>("outcome");
    QTest::newRow("address book") << true << 2 << "finished";
    QTest::newRow("empty address book") << true << 0 << "finished";
    QTest::newRow("unreadable") << false << 2 << "networkError";
}

void TstContactImporter::finishWith()
{
    QFETCH(bool, parsed);
    QFETCH(int, entries);
    QFETCH(QString, outcome);
    FakeImporter importer;
    QSignalSpy finished(&importer, &ContactImporter::finished);
    QSignalSpy network(&importer, &ContactImporter::networkError);
    QSignalSpy progress(&importer, &ContactImporter::progressUpdate);
    importer.startImportingContacts(QString(), QString());
    QList<ImportedContact> book;
    for (int i = 0; i < entries; ++i)
        book << entry(QStringLiteral("N%1").arg(i), QString());
    importer.finishWith(book, parsed);
    QVERIFY(importer.isDone());
    QCOMPARE(finished.count(), outcome == QLatin1String("finished") ? 1 : 0);
    QCOMPARE(network.count(), outcome == QLatin1String("networkError") ? 1 : 0);
    // An unreadable address book keeps nothing of what was read before the failure.
    QCOMPARE(importer.contacts().size(), parsed ? entries : 0);
    QCOMPARE(progress.count(), parsed ? 1 : 0);
    if (parsed)
        QCOMPARE(progress.first().first().toInt(), 100);
}

void TstContactImporter::handlerWithoutAReplyIsANetworkError()
{
    FakeImporter importer;
    QSignalSpy network(&importer, &ContactImporter::networkError);
    importer.startImportingContacts(QString(), QString());
    QObject notAReply;
    QCOMPARE(importer.okReply(&notAReply), nullptr);
    QCOMPARE(network.count(), 1);
    // Only the first outcome counts.
    QCOMPARE(importer.okReply(nullptr), nullptr);
    QCOMPARE(network.count(), 1);
}

void TstContactImporter::jsonMember_data()
{
    QTest::addColumn<QString>("json");
    QTest::addColumn<bool>("found");
    QTest::addColumn<QStringList>("keys");
    QTest::newRow("object member") << R"({"feed":{"entry":[],"id":"x"}})" << true
                                   << QStringList { "entry", "id" };
    QTest::newRow("empty member") << R"({"feed":{}})" << true << QStringList();
    QTest::newRow("member is a list") << R"({"feed":[1,2]})" << false << QStringList();
    QTest::newRow("member is text") << R"({"feed":"x"})" << false << QStringList();
    QTest::newRow("no member") << R"({"other":{"entry":[]}})" << false << QStringList();
    QTest::newRow("top level list") << R"([{"feed":{}}])" << false << QStringList();
    QTest::newRow("not JSON") << "<feed/>" << false << QStringList();
    QTest::newRow("empty text") << "" << false << QStringList();
}

void TstContactImporter::jsonMember()
{
    QFETCH(QString, json);
    QFETCH(bool, found);
    QFETCH(QStringList, keys);
    QVariantMap member { { QStringLiteral("stale"), 1 } };
    QCOMPARE(FakeImporter::jsonMember(json, QStringLiteral("feed"), &member), found);
    QCOMPARE(member.keys(), keys);
}

void TstContactImporter::displayName_data()
{
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("last");
    QTest::addColumn<QString>("nick");
    QTest::addColumn<QString>("email");
    QTest::addColumn<QString>("phone");
    QTest::addColumn<QString>("name");
    QTest::newRow("names") << "Ann"
                           << "Lee"
                           << "al"
                           << "a@x.example"
                           << "1"
                           << "Ann Lee";
    QTest::newRow("last name only") << ""
                                    << "Lee"
                                    << ""
                                    << ""
                                    << ""
                                    << "Lee";
    QTest::newRow("nickname") << " "
                              << ""
                              << "al"
                              << "a@x.example"
                              << ""
                              << "al";
    QTest::newRow("e-mail") << ""
                            << ""
                            << ""
                            << "a@x.example"
                            << "1"
                            << "a@x.example";
    QTest::newRow("phone") << ""
                           << ""
                           << ""
                           << ""
                           << "+1 555"
                           << "+1 555";
    QTest::newRow("nothing") << ""
                             << ""
                             << ""
                             << ""
                             << ""
                             << "";
}

void TstContactImporter::displayName()
{
    QFETCH(QString, first);
    QFETCH(QString, last);
    QFETCH(QString, nick);
    QFETCH(QString, email);
    QFETCH(QString, phone);
    QFETCH(QString, name);
    ImportedContact contact = entry(first, last, email);
    contact.nickname = nick;
    if (!phone.isEmpty())
        contact.phones << phone;
    QCOMPARE(contact.displayName(), name);
}

void TstContactImporter::isEmpty()
{
    QVERIFY(ImportedContact().isEmpty());
    QVERIFY(!entry(QString(), QString(), QStringLiteral("a@x.example")).isEmpty());
    ImportedContact phoneOnly;
    phoneOnly.phones << QStringLiteral("1");
    QVERIFY(!phoneOnly.isEmpty());
}

QTEST_GUILESS_MAIN(TstContactImporter)
#include "tst_contactimporter.moc"
