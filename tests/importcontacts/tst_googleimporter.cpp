#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonObject>
#include <QStandardPaths>
#include <QTcpServer>
#include <QtTest>

#include "importcontacts/googleimporter.h"
#include "importcontacts/oauthsigner.h"
#include "importertesting.h"

class TstGoogleImporter : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();

    void clientLoginBody_data();
    void clientLoginBody();
    void parseClientLoginReply_data();
    void parseClientLoginReply();
    void parseFeed_data();
    void parseFeed();

    void importsTheAddressBook();
    void sortedContactsByFirstThenLastName();
    void emptyAddressBookFinishes();
    void wrongPasswordIsALoginError_data();
    void wrongPasswordIsALoginError();
    void passwordWithFormCharactersSignsIn();
    void networkFailuresAreReported_data();
    void networkFailuresAreReported();
    void stalledTransferIsReported();
    void refusedConnectionIsReported();
    void untrustedCertificateIsReported();
    void slotWithoutReplyReportsNetworkError();
    void importerCanBeReused();

private:
    GoogleImporter *newImporter();
    importertesting::Bench<GoogleImporter> bench { QStringLiteral("ana.lima@gmail.example"),
        QStringLiteral("correct horse") };
    ImporterEmulator &emulator = bench.emulator;
};

void TstGoogleImporter::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
    QCoreApplication::setApplicationName(QStringLiteral("Talkvane"));
    QVERIFY2(bench.start(), qPrintable(emulator.errorString()));
}

void TstGoogleImporter::init()
{
    emulator.exportCaFile();
    QVERIFY2(emulator.reset(), qPrintable(emulator.errorString()));
}

GoogleImporter *TstGoogleImporter::newImporter()
{
    return bench.newImporter(this);
}

void TstGoogleImporter::clientLoginBody_data()
{
    QTest::addColumn<QString>("email");
    QTest::addColumn<QString>("password");
    QTest::addColumn<QByteArray>("body");
    QTest::newRow("plain") << "ana@gmail.example"
                           << "secret"
                           << QByteArray(
                                  "Email=ana%40gmail.example&Passwd=secret&accountType=HOSTED_OR_GOOGLE"
                                  "&source=Talkvane&service=cp");
    QTest::newRow("form characters")
        << "a+b@gmail.example"
        << "x&service=other+%41 ="
        << QByteArray("Email=a%2Bb%40gmail.example&Passwd=x%26service%3Dother%2B%2541%20%3D"
                      "&accountType=HOSTED_OR_GOOGLE&source=Talkvane&service=cp");
    QTest::newRow("non-ASCII") << QString::fromUtf8("jöns@gmail.example") << QString::fromUtf8("pässwörd€")
                               << QByteArray(
                                      "Email=j%C3%B6ns%40gmail.example&Passwd=p%C3%A4ssw%C3%B6rd%E2%82%AC"
                                      "&accountType=HOSTED_OR_GOOGLE&source=Talkvane&service=cp");
}

void TstGoogleImporter::clientLoginBody()
{
    QFETCH(QString, email);
    QFETCH(QString, password);
    QFETCH(QByteArray, body);
    const QByteArray made = GoogleImporter::clientLoginBody(email, password,
        QStringLiteral("HOSTED_OR_GOOGLE"), QStringLiteral("Talkvane"), QStringLiteral("cp"));
    QCOMPARE(made, body);
    // Whatever the password holds, the service reads back exactly five fields with the values given.
    const OAuthSigner::Parameters fields = OAuthSigner::formDecode(made);
    QCOMPARE(fields.size(), 5);
    QCOMPARE(fields.at(0).second, email);
    QCOMPARE(fields.at(1).second, password);
    QCOMPARE(fields.at(4).second, QStringLiteral("cp"));
}

void TstGoogleImporter::parseClientLoginReply_data()
{
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<int>("answer");
    QTest::addColumn<QString>("value");
    using A = GoogleImporter::LoginAnswer;
    QTest::newRow("token") << QByteArray("SID=s\nLSID=l\nAuth=tok123\n") << int(A::Token) << "tok123";
    QTest::newRow("CRLF token") << QByteArray("SID=s\r\nAuth=tok123\r\n") << int(A::Token) << "tok123";
    QTest::newRow("bad authentication")
        << QByteArray("Error=BadAuthentication\n") << int(A::BadAuthentication) << "BadAuthentication";
    QTest::newRow("error before auth") << QByteArray("Error=BadAuthentication\nAuth=x\n")
                                       << int(A::BadAuthentication) << "BadAuthentication";
    QTest::newRow("captcha") << QByteArray("Url=https://x\nError=CaptchaRequired\nCaptchaToken=t\n")
                             << int(A::OtherError) << "CaptchaRequired";
    QTest::newRow("empty") << QByteArray() << int(A::NoAnswer) << QString();
    QTest::newRow("html") << QByteArray("<html><body>Authentication service down</body></html>")
                          << int(A::NoAnswer) << QString();
    QTest::newRow("empty token") << QByteArray("Auth=\n") << int(A::NoAnswer) << QString();
}

void TstGoogleImporter::parseClientLoginReply()
{
    QFETCH(QByteArray, body);
    QFETCH(int, answer);
    QFETCH(QString, value);
    QString got;
    QCOMPARE(int(GoogleImporter::parseClientLoginReply(body, &got)), answer);
    QCOMPARE(got, value);
}

void TstGoogleImporter::parseFeed_data()
{
    QTest::addColumn<QString>("json");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QStringList>("firstNames");
    QTest::addColumn<QStringList>("lastNames");
    QTest::addColumn<QStringList>("emails"); // of every entry, joined by ','
    QTest::addColumn<QStringList>("phones");

    QTest::newRow("two entries") << QString::fromUtf8(R"({"feed":{"entry":[
            {"gd$name":{"gd$givenName":{"$t":"Ann"},"gd$familyName":{"$t":"Lee"}},
             "gd$email":[{"address":"a@x.example","primary":"true"},{"address":"b@x.example"}],
             "gd$phoneNumber":[{"$t":"+1 555 0100","rel":"m"},{"$t":"+1 555 0101"}]},
            {"gd$name":{"gd$givenName":{"$t":"Bo"}},"gd$email":[{"address":"bo@x.example"}]}]}})")
                                 << true << QStringList { "Ann", "Bo" } << QStringList { "Lee", "" }
                                 << QStringList { "a@x.example,b@x.example", "bo@x.example" }
                                 << QStringList { "+1 555 0100,+1 555 0101", "" };
    QTest::newRow("entry without name") << QStringLiteral(
        R"({"feed":{"entry":[{"gd$email":[{"address":"n@x.example"}],"gd$phoneNumber":[{"$t":"123"}]}]}})")
                                        << true << QStringList { "" } << QStringList { "" }
                                        << QStringList { "n@x.example" } << QStringList { "123" };
    QTest::newRow("escaped non-ASCII") << QStringLiteral(
        R"({"feed":{"entry":[{"gd$name":{"gd$givenName":{"$t":"Jo\u00e3o"},"gd$familyName":{"$t":"\u674e"}}}]}})")
                                       << true << QStringList { QString::fromUtf8("João") }
                                       << QStringList { QString::fromUtf8("李") } << QStringList { "" }
                                       << QStringList { "" };
    QTest::newRow("raw non-ASCII") << QString::fromUtf8(
        R"({"feed":{"entry":[{"gd$name":{"gd$givenName":{"$t":"Zoë"},"gd$familyName":{"$t":"Ångström"}}}]}})")
                                   << true << QStringList { QString::fromUtf8("Zoë") }
                                   << QStringList { QString::fromUtf8("Ångström") } << QStringList { "" }
                                   << QStringList { "" };
    QTest::newRow("feed without entries")
        << QStringLiteral(R"({"version":"1.0","feed":{"title":{"$t":"x"}}})") << true << QStringList()
        << QStringList() << QStringList() << QStringList();
    QTest::newRow("no feed") << QStringLiteral(R"({"error":"x"})") << false << QStringList() << QStringList()
                             << QStringList() << QStringList();
    QTest::newRow("html page") << QStringLiteral("<html><body>Token invalid</body></html>") << false
                               << QStringList() << QStringList() << QStringList() << QStringList();
    QTest::newRow("cut short") << QStringLiteral(R"({"feed":{"entry":[{"gd$name":)") << false << QStringList()
                               << QStringList() << QStringList() << QStringList();
    QTest::newRow("empty") << QString(QLatin1String("")) << false << QStringList() << QStringList()
                           << QStringList() << QStringList();
}

void TstGoogleImporter::parseFeed()
{
    QFETCH(QString, json);
    QFETCH(bool, ok);
    QFETCH(QStringList, firstNames);
    QFETCH(QStringList, lastNames);
    QFETCH(QStringList, emails);
    QFETCH(QStringList, phones);
    bool parsed = !ok;
    const QList<ImportedContact> entries = GoogleImporter::parseFeed(json, &parsed);
    QCOMPARE(parsed, ok);
    QCOMPARE(entries.size(), firstNames.size());
    for (int i = 0; i < entries.size(); ++i) {
        QCOMPARE(entries.at(i).firstName, firstNames.at(i));
        QCOMPARE(entries.at(i).lastName, lastNames.at(i));
        QCOMPARE(entries.at(i).emails.join(QLatin1Char(',')), emails.at(i));
        QCOMPARE(entries.at(i).phones.join(QLatin1Char(',')), phones.at(i));
    }
}

void TstGoogleImporter::importsTheAddressBook()
{
    GoogleImporter *importer = newImporter();
    const ImportRun run = bench.importBook(*importer);
    QCOMPARE(run.outcome, QStringLiteral("finished"));
    QCOMPARE(run.outcomes, 1);
    QCOMPARE(run.progress, (QList<int> { 10, 20, 30, 70, 100 }));

    const QList<ImportedContact> &entries = importer->contacts();
    QCOMPARE(entries.size(), 5);
    QCOMPARE(entries.at(0).firstName, QString::fromUtf8("João"));
    QCOMPARE(entries.at(0).lastName, QString::fromUtf8("Gonçalves"));
    QCOMPARE(entries.at(0).emails, (QStringList { "joao@mail.example", "j.goncalves@work.example" }));
    QCOMPARE(entries.at(0).phones, (QStringList { "+351 21 123 4567", "+351 91 765 4321" }));
    QCOMPARE(entries.at(1).firstName, QString::fromUtf8("Zoë"));
    QCOMPARE(entries.at(1).middleName, QStringLiteral("Maria"));
    QCOMPARE(entries.at(1).lastName, QString::fromUtf8("Ångström"));
    // The entry without a name keeps its addresses and numbers.
    QVERIFY(entries.at(2).firstName.isEmpty());
    QVERIFY(entries.at(2).lastName.isEmpty());
    QCOMPARE(entries.at(2).emails, (QStringList { "noname@mail.example", "other@mail.example" }));
    QCOMPARE(entries.at(2).phones, QStringList { "+44 20 7946 0000" });
    QCOMPARE(entries.at(2).displayName(), QStringLiteral("noname@mail.example"));
    QCOMPARE(entries.at(3).firstName, QString::fromUtf8("小龙"));
    QCOMPARE(entries.at(3).lastName, QString::fromUtf8("李"));
    QVERIFY(entries.at(4).phones.isEmpty());

    // The client login went out as a proper form, and the feed was asked for in full.
    const QJsonArray requests = emulator.requests();
    QCOMPARE(requests.size(), 2);
    const QJsonObject login = requests.at(0).toObject();
    QCOMPARE(login.value(QStringLiteral("path")).toString(), QStringLiteral("/accounts/ClientLogin"));
    QCOMPARE(login.value(QStringLiteral("params")).toArray().size(), 5);
    QCOMPARE(requests.at(1).toObject().value(QStringLiteral("path")).toString(),
        QStringLiteral("/m8/feeds/contacts/default/full"));
    QCOMPARE(requests.at(1).toObject().value(QStringLiteral("entries")).toInt(), 5);
}

void TstGoogleImporter::sortedContactsByFirstThenLastName()
{
    GoogleImporter *importer = newImporter();
    QCOMPARE(bench.importBook(*importer).outcome, QStringLiteral("finished"));
    QStringList names;
    for (const ImportedContact &entry : importer->sortedContacts())
        names << entry.firstName + QLatin1Char('/') + entry.lastName;
    QCOMPARE(names,
        (QStringList { QStringLiteral("/"), QString::fromUtf8("Björk/"), QString::fromUtf8("João/Gonçalves"),
            QString::fromUtf8("Zoë/Ångström"), QString::fromUtf8("小龙/李") }));
    // The service order is kept beside the sorted copy.
    QCOMPARE(importer->contacts().first().firstName, QString::fromUtf8("João"));
}

void TstGoogleImporter::emptyAddressBookFinishes()
{
    GoogleImporter *importer = newImporter();
    const ImportRun run
        = runImport(*importer, QStringLiteral("empty@gmail.example"), QStringLiteral("empty"));
    QCOMPARE(run.outcome, QStringLiteral("finished"));
    QVERIFY(importer->contacts().isEmpty());
}

void TstGoogleImporter::wrongPasswordIsALoginError_data()
{
    QTest::addColumn<QString>("user");
    QTest::addColumn<QString>("password");
    QTest::newRow("wrong password") << "ana.lima@gmail.example"
                                    << "Correct Horse";
    QTest::newRow("unknown account") << "nobody@gmail.example"
                                     << "correct horse";
    QTest::newRow("empty password") << "ana.lima@gmail.example" << QString();
    QTest::newRow("password cut at '&'") << "bob@gmail.example"
                                         << "b";
}

void TstGoogleImporter::wrongPasswordIsALoginError()
{
    QFETCH(QString, user);
    QFETCH(QString, password);
    GoogleImporter *importer = newImporter();
    const ImportRun run = runImport(*importer, user, password);
    QCOMPARE(run.outcome, QStringLiteral("errorLoggingIn"));
    QCOMPARE(run.outcomes, 1);
    QCOMPARE(run.progress, QList<int> { 10 });
    // No contact request follows a refused sign-in.
    QCOMPARE(emulator.requestPaths(), QStringList { QStringLiteral("/accounts/ClientLogin") });
    QVERIFY(importer->contacts().isEmpty());
}

void TstGoogleImporter::passwordWithFormCharactersSignsIn()
{
    GoogleImporter *importer = newImporter();
    const ImportRun run = runImport(
        *importer, QStringLiteral("bob@gmail.example"), QStringLiteral("b&b #1+%41 x=y&service=mail"));
    QCOMPARE(run.outcome, QStringLiteral("finished"));
    QCOMPARE(importer->contacts().size(), 1);
    const QJsonObject login = emulator.requests().at(0).toObject();
    QVERIFY(login.value(QStringLiteral("passwordMatched")).toBool());
    QCOMPARE(login.value(QStringLiteral("params")).toArray().size(), 5);
}

void TstGoogleImporter::networkFailuresAreReported_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("path");
    QTest::addColumn<QList<int>>("progress");
    const QList<int> atLogin { 10 };
    const QList<int> atFeed { 10, 20, 30 };
    QTest::newRow("login dropped") << "drop"
                                   << "/accounts/ClientLogin" << atLogin;
    QTest::newRow("login server error") << "500"
                                        << "/accounts/ClientLogin" << atLogin;
    QTest::newRow("login answer without token") << "malformed"
                                                << "/accounts/ClientLogin" << atLogin;
    QTest::newRow("feed dropped") << "drop"
                                  << "/m8/feeds/" << atFeed;
    QTest::newRow("feed server error") << "500"
                                       << "/m8/feeds/" << atFeed;
    QTest::newRow("feed not JSON") << "malformed"
                                   << "/m8/feeds/" << QList<int> { 10, 20, 30, 70 };
}

void TstGoogleImporter::networkFailuresAreReported()
{
    QFETCH(QString, kind);
    QFETCH(QString, path);
    QFETCH(QList<int>, progress);
    QVERIFY(emulator.injectFault(kind, path));
    bench.checkNetworkError(this, progress);
}

void TstGoogleImporter::stalledTransferIsReported()
{
    QVERIFY(emulator.injectFault(QStringLiteral("delay"), QStringLiteral("/m8/feeds/"), -1, 20));
    const ImportRun run = bench.importBook(*newImporter(), 300);
    QCOMPARE(run.outcome, QStringLiteral("networkError"));
    QCOMPARE(run.progress, (QList<int> { 10, 20, 30 }));
    QVERIFY(emulator.clearFaults());
}

void TstGoogleImporter::refusedConnectionIsReported()
{
    QTcpServer probe;
    QVERIFY(probe.listen(QHostAddress::LocalHost));
    const quint16 closedPort = probe.serverPort();
    probe.close();
    ServiceUrls urls;
    urls.googleAccountsBaseURL = QStringLiteral("https://127.0.0.1:%1").arg(closedPort);
    urls.googleContactsBaseURL = urls.googleAccountsBaseURL;
    GoogleImporter importer;
    importer.setServiceUrls(urls);
    const ImportRun run = bench.importBook(importer);
    QCOMPARE(run.outcome, QStringLiteral("networkError"));
    QCOMPARE(run.progress, QList<int> { 10 });
}

void TstGoogleImporter::untrustedCertificateIsReported()
{
    qunsetenv("TALKVANE_CA_FILE");
    GoogleImporter *importer = newImporter();
    const ImportRun run = bench.importBook(*importer);
    emulator.exportCaFile();
    QCOMPARE(run.outcome, QStringLiteral("networkError"));
    QVERIFY(!emulator.requestPaths().contains(QStringLiteral("/accounts/ClientLogin")));
}

void TstGoogleImporter::slotWithoutReplyReportsNetworkError()
{
    GoogleImporter importer;
    QSignalSpy errors(&importer, &ContactImporter::networkError);
    QTest::ignoreMessage(QtDebugMsg, QRegularExpression(QStringLiteral("Reply is NULL")));
    importer.finishedAccessTokensRequest();
    QCOMPARE(errors.count(), 1);
}

void TstGoogleImporter::importerCanBeReused()
{
    GoogleImporter *importer = newImporter();
    QCOMPARE(runImport(*importer, QStringLiteral("ana.lima@gmail.example"), QStringLiteral("wrong")).outcome,
        QStringLiteral("errorLoggingIn"));
    const ImportRun run = bench.importBook(*importer);
    QCOMPARE(run.outcome, QStringLiteral("finished"));
    QCOMPARE(importer->contacts().size(), 5);
}

QTEST_MAIN(TstGoogleImporter)
#include "tst_googleimporter.moc"
