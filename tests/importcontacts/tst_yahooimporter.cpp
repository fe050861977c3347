#include <QJsonArray>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QStandardPaths>
#include <QtTest>

#include "importcontacts/oauthsigner.h"
#include "importcontacts/yahooimporter.h"
#include "importertesting.h"
#include "rest/restrequest.h"

class TstYahooImporter : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();

    void registration();
    void parseContacts_data();
    void parseContacts();
    void realmFor_data();
    void realmFor();

    void importsTheAddressBook();
    void formsAreSubmittedAsABrowserWould();
    void wrongPasswordIsALoginError_data();
    void wrongPasswordIsALoginError();
    void passwordWithFormCharactersSignsIn();
    void networkFailuresAreReported_data();
    void networkFailuresAreReported();
    void stalledTransferIsReported();

    void signedRequestIsCheckedByTheService_data();
    void signedRequestIsCheckedByTheService();

private:
    YahooImporter *newImporter();
    QPair<int, QByteArray> send(const QNetworkRequest &request);
    importertesting::Bench<YahooImporter> bench { QStringLiteral("kari.nordmann"),
        QStringLiteral("hemmelig-passord") };
    ImporterEmulator &emulator = bench.emulator;
};

void TstYahooImporter::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
    QVERIFY2(bench.start(), qPrintable(emulator.errorString()));
}

void TstYahooImporter::init()
{
    QVERIFY2(emulator.reset(), qPrintable(emulator.errorString()));
}

YahooImporter *TstYahooImporter::newImporter()
{
    return bench.newImporter(this);
}

void TstYahooImporter::registration()
{
    const QString key = QString::fromLatin1(YahooImporter::consumerKey);
    const QString secret = QString::fromLatin1(YahooImporter::consumerSecret);
    QCOMPARE(key.size(), 100);
    QVERIFY(QRegularExpression(QStringLiteral("^[A-Za-z0-9]{100}$")).match(key).hasMatch());
    QVERIFY(QRegularExpression(QStringLiteral("^[0-9a-f]{40}$")).match(secret).hasMatch());
}

void TstYahooImporter::parseContacts_data()
{
    QTest::addColumn<QString>("json");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QStringList>("names"); // first|middle|last|nick per entry
    QTest::addColumn<QStringList>("emails");
    QTest::addColumn<QStringList>("phones");

    QTest::newRow("all field types") << QStringLiteral(
        R"({"contacts":{"start":0,"count":1,"contact":[{"id":1,"fields":[
            {"type":"name","value":{"givenName":"K\u00e5re","middleName":"M","familyName":"\u00d8deg\u00e5rd"}},
            {"type":"nickname","value":"Kari"},
            {"type":"email","value":"k@mail.example"},
            {"type":"yahooid","value":"kare_o"},
            {"type":"phone","value":"+47 22 33 44 55","flags":["MOBILE"]},
            {"type":"phone","value":"+47 912 34 567"},
            {"type":"address","value":{"street":"Storgata 1","city":"Oslo"}},
            {"type":"notes","value":"ignored"}]}]}})")
                                     << true << QStringList { QString::fromUtf8("Kåre|M|Ødegård|Kari") }
                                     << QStringList { "k@mail.example,kare_o@yahoo.com" }
                                     << QStringList { "+47 22 33 44 55,+47 912 34 567" };
    QTest::newRow("yahoo id with a domain")
        << QStringLiteral(
               R"({"contacts":{"contact":[{"fields":[{"type":"yahooid","value":"x@ymail.example"}]}]}})")
        << true << QStringList { "|||" } << QStringList { "x@ymail.example" } << QStringList { "" };
    QTest::newRow("contact without fields")
        << QStringLiteral(R"({"contacts":{"contact":[{"id":3}]}})") << true << QStringList { "|||" }
        << QStringList { "" } << QStringList { "" };
    QTest::newRow("no contacts") << QStringLiteral(R"({"contacts":{"start":0,"count":0,"total":0}})") << true
                                 << QStringList() << QStringList() << QStringList();
    QTest::newRow("error object") << QStringLiteral(
        R"({"error":{"description":"Please provide valid credentials"}})")
                                  << false << QStringList() << QStringList() << QStringList();
    QTest::newRow("xml") << QStringLiteral("<?xml version='1.0'?><contacts/>") << false << QStringList()
                         << QStringList() << QStringList();
}

void TstYahooImporter::parseContacts()
{
    QFETCH(QString, json);
    QFETCH(bool, ok);
    QFETCH(QStringList, names);
    QFETCH(QStringList, emails);
    QFETCH(QStringList, phones);
    bool parsed = !ok;
    const QList<ImportedContact> entries = YahooImporter::parseContacts(json, &parsed);
    QCOMPARE(parsed, ok);
    QCOMPARE(entries.size(), names.size());
    for (int i = 0; i < entries.size(); ++i) {
        const ImportedContact &e = entries.at(i);
        QCOMPARE(QStringList({ e.firstName, e.middleName, e.lastName, e.nickname }).join(QLatin1Char('|')),
            names.at(i));
        QCOMPARE(e.emails.join(QLatin1Char(',')), emails.at(i));
        QCOMPARE(e.phones.join(QLatin1Char(',')), phones.at(i));
    }
}

void TstYahooImporter::realmFor_data()
{
    QTest::addColumn<QString>("url");
    QTest::addColumn<QString>("realm");
    QTest::newRow("service host") << "https://social.yahooapis.com/v1/user"
                                  << "yahooapis.com";
    QTest::newRow("two labels") << "https://yahooapis.com"
                                << "yahooapis.com";
    QTest::newRow("address") << "https://127.0.0.1:8444"
                             << "127.0.0.1";
    QTest::newRow("IPv6") << "https://[::1]:8444"
                          << "::1";
}

void TstYahooImporter::realmFor()
{
    QFETCH(QString, url);
    QFETCH(QString, realm);
    QCOMPARE(YahooImporter::realmFor(QUrl(url)), realm);
}

void TstYahooImporter::importsTheAddressBook()
{
    YahooImporter *importer = newImporter();
    const ImportRun run = bench.importBook(*importer);
    QCOMPARE(run.outcome, QStringLiteral("finished"));
    QCOMPARE(run.outcomes, 1);
    QCOMPARE(run.progress, (QList<int> { 10, 20, 40, 50, 60, 70, 80, 90, 100 }));

    const QList<ImportedContact> &entries = importer->contacts();
    QCOMPARE(entries.size(), 4);
    QCOMPARE(entries.at(0).firstName, QString::fromUtf8("Kåre"));
    QCOMPARE(entries.at(0).lastName, QString::fromUtf8("Ødegård"));
    QCOMPARE(entries.at(0).nickname, QString::fromUtf8("Kåre Ø"));
    QCOMPARE(entries.at(0).emails, (QStringList { "kare@mail.example", "kare_o@yahoo.com" }));
    QCOMPARE(entries.at(0).phones, (QStringList { "+47 22 33 44 55", "+47 912 34 567" }));
    QCOMPARE(entries.at(1).firstName, QString::fromUtf8("Šárka"));
    QCOMPARE(entries.at(1).middleName, QStringLiteral("Marie"));
    QCOMPARE(entries.at(1).lastName, QString::fromUtf8("Nováková"));
    QVERIFY(entries.at(2).firstName.isEmpty());
    QCOMPARE(entries.at(2).emails, QStringList { "only.mail@mail.example" });
    QCOMPARE(entries.at(3).emails.size(), 2);

    QCOMPARE(emulator.requestPaths(),
        (QStringList { "/oauth/v2/get_request_token", "/oauth/v2/request_auth", "/login", "/login",
            "/oauth/v2/request_auth", "/oauth/v2/request_auth", "/oauth/v2/get_token",
            "/v1/user/KNX7Q2ZL4T6WEXAMPLE/contacts;count=max" }));
    const QJsonObject contactsRequest = emulator.requests().last().toObject();
    QVERIFY(contactsRequest.value(QStringLiteral("signatureValid")).toBool());
    QCOMPARE(contactsRequest.value(QStringLiteral("status")).toInt(), 200);

    QStringList sorted;
    for (const ImportedContact &entry : importer->sortedContacts())
        sorted << entry.firstName;
    QCOMPARE(
        sorted, (QStringList { QString(), "Amal", QString::fromUtf8("Kåre"), QString::fromUtf8("Šárka") }));
}

void TstYahooImporter::formsAreSubmittedAsABrowserWould()
{
    YahooImporter *importer = newImporter();
    QCOMPARE(bench.importBook(*importer).outcome, QStringLiteral("finished"));
    QJsonArray loginFields;
    QJsonArray consentFields;
    for (const QJsonValue &value : emulator.requests()) {
        const QJsonObject request = value.toObject();
        if (request.value(QStringLiteral("method")).toString() != QLatin1String("POST"))
            continue;
        if (request.value(QStringLiteral("path")).toString() == QLatin1String("/login"))
            loginFields = request.value(QStringLiteral("params")).toArray();
        if (request.value(QStringLiteral("path")).toString() == QLatin1String("/oauth/v2/request_auth"))
            consentFields = request.value(QStringLiteral("params")).toArray();
    }
    const QVariantList login = loginFields.toVariantList();
    for (const char *field :
        { ".challenge", ".done", ".tries", ".u", ".persistent", "login", "passwd", ".save" })
        QVERIFY2(login.contains(QString::fromLatin1(field)), field);
    QVERIFY(!login.contains(QStringLiteral("offers"))); // an unchecked box
    QVERIFY(!login.contains(QStringLiteral("p"))); // the search form's field
    const QVariantList consent = consentFields.toVariantList();
    QVERIFY(consent.contains(QStringLiteral("agree")));
    QVERIFY(!consent.contains(QStringLiteral("cancel")));
    QVERIFY(consent.contains(QStringLiteral("crumb")));
}

void TstYahooImporter::wrongPasswordIsALoginError_data()
{
    QTest::addColumn<QString>("user");
    QTest::addColumn<QString>("password");
    QTest::newRow("wrong password") << "kari.nordmann"
                                    << "Hemmelig-passord";
    QTest::newRow("unknown account") << "nobody"
                                     << "hemmelig-passord";
    QTest::newRow("empty password") << "kari.nordmann" << QString();
}

void TstYahooImporter::wrongPasswordIsALoginError()
{
    QFETCH(QString, user);
    QFETCH(QString, password);
    YahooImporter *importer = newImporter();
    const ImportRun run = runImport(*importer, user, password);
    QCOMPARE(run.outcome, QStringLiteral("errorLoggingIn"));
    QCOMPARE(run.outcomes, 1);
    QCOMPARE(run.progress, (QList<int> { 10, 20, 40, 50 }));
    QVERIFY(!emulator.requestPaths().contains(QStringLiteral("/oauth/v2/get_token")));
}

void TstYahooImporter::passwordWithFormCharactersSignsIn()
{
    YahooImporter *importer = newImporter();
    const ImportRun run
        = runImport(*importer, QStringLiteral("tricky"), QStringLiteral("p&ss=w+rd %20\"<x>"));
    QCOMPARE(run.outcome, QStringLiteral("finished"));
    QVERIFY(importer->contacts().isEmpty());
}

void TstYahooImporter::networkFailuresAreReported_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("method");
    QTest::addColumn<QList<int>>("progress");
    QTest::newRow("request token dropped") << "drop"
                                           << "/oauth/v2/get_request_token" << QString() << QList<int> { 10 };
    QTest::newRow("request token refused") << "500"
                                           << "/oauth/v2/get_request_token" << QString() << QList<int> { 10 };
    QTest::newRow("request token unreadable")
        << "malformed"
        << "/oauth/v2/get_request_token" << QString() << QList<int> { 10 };
    QTest::newRow("authorisation page dropped") << "drop"
                                                << "/oauth/v2/request_auth"
                                                << "GET" << QList<int> { 10, 20 };
    QTest::newRow("login page without form") << "malformed"
                                             << "/login"
                                             << "GET" << QList<int> { 10, 20, 40 };
    QTest::newRow("login post dropped") << "drop"
                                        << "/login"
                                        << "POST" << QList<int> { 10, 20, 40, 50, 0 };
    QTest::newRow("consent post dropped") << "drop"
                                          << "/oauth/v2/request_auth"
                                          << "POST" << QList<int> { 10, 20, 40, 50, 60, 70 };
    QTest::newRow("access token dropped")
        << "drop"
        << "/oauth/v2/get_token" << QString() << QList<int> { 10, 20, 40, 50, 60, 70, 80 };
    QTest::newRow("contacts dropped")
        << "drop"
        << "/v1/user/" << QString() << QList<int> { 10, 20, 40, 50, 60, 70, 80, 90 };
    QTest::newRow("contacts server error")
        << "500"
        << "/v1/user/" << QString() << QList<int> { 10, 20, 40, 50, 60, 70, 80, 90 };
    QTest::newRow("contacts not JSON")
        << "malformed"
        << "/v1/user/" << QString() << QList<int> { 10, 20, 40, 50, 60, 70, 80, 90 };
}

void TstYahooImporter::networkFailuresAreReported()
{
    QFETCH(QString, kind);
    QFETCH(QString, path);
    QFETCH(QString, method);
    QFETCH(QList<int>, progress);
    QVERIFY(emulator.injectFault(kind, path, -1, 0, QString(), method));
    bench.checkNetworkError(this, progress);
}

void TstYahooImporter::stalledTransferIsReported()
{
    QVERIFY(emulator.injectFault(QStringLiteral("delay"), QStringLiteral("/oauth/v2/get_token"), -1, 20));
    const ImportRun run = bench.importBook(*newImporter(), 300);
    QCOMPARE(run.outcome, QStringLiteral("networkError"));
    QCOMPARE(run.progress.last(), 80);
    QVERIFY(emulator.clearFaults());
}

QPair<int, QByteArray> TstYahooImporter::send(const QNetworkRequest &signedRequest)
{
    QNetworkRequest request = signedRequest;
    request.setSslConfiguration(RestRequest::sslConfiguration());
    QNetworkAccessManager manager;
    QNetworkReply *reply = manager.get(request);
    QSignalSpy done(reply, &QNetworkReply::finished);
    if (!reply->isFinished() && !done.wait(30000))
        return { -1, QByteArray() };
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    const QByteArray body = reply->readAll();
    delete reply;
    return { status, body };
}

void TstYahooImporter::signedRequestIsCheckedByTheService_data()
{
    QTest::addColumn<QString>("tamper");
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("problem");
    QTest::newRow("untouched") << "" << 200 << QByteArray();
    QTest::newRow("signature changed") << "signature" << 401 << QByteArray("signature_invalid");
    QTest::newRow("wrong token secret") << "secret" << 401 << QByteArray("signature_invalid");
    QTest::newRow("path changed after signing") << "path" << 401 << QByteArray("signature_invalid");
    QTest::newRow("query added after signing") << "query" << 401 << QByteArray("signature_invalid");
    QTest::newRow("unknown token") << "token" << 401 << QByteArray("token_rejected");
    QTest::newRow("stale timestamp") << "timestamp" << 401 << QByteArray("timestamp_refused");
    QTest::newRow("replayed nonce") << "replay" << 401 << QByteArray("nonce_used");
}

void TstYahooImporter::signedRequestIsCheckedByTheService()
{
    QFETCH(QString, tamper);
    QFETCH(int, status);
    QFETCH(QByteArray, problem);
    const QJsonObject grant = emulator.yahooAccessToken(QStringLiteral("kari.nordmann"));
    QVERIFY2(!grant.isEmpty(), qPrintable(emulator.errorString()));
    const QString guid = grant.value(QStringLiteral("guid")).toString();
    QString token = grant.value(QStringLiteral("token")).toString();
    QString secret = grant.value(QStringLiteral("secret")).toString();
    // The service's tokens hold '=', '+' and '/', which must be encoded in the header.
    QVERIFY(token.startsWith(QStringLiteral("A=")));
    QString timestamp = OAuthSigner::timestamp();
    if (tamper == QLatin1String("secret"))
        secret = QStringLiteral("0") + secret.mid(1);
    if (tamper == QLatin1String("token"))
        token += QStringLiteral("x");
    if (tamper == QLatin1String("timestamp"))
        timestamp = QString::number(timestamp.toLongLong() - 3600);

    QNetworkRequest request = YahooImporter::contactListRequest(
        emulator.baseUrl(), guid, token, secret, OAuthSigner::nonce(), timestamp);
    QVERIFY(request.rawHeader("Authorization").startsWith("OAuth realm=\"127.0.0.1\",oauth_consumer_key=\""));
    if (tamper == QLatin1String("signature")) {
        QByteArray header = request.rawHeader("Authorization");
        const int at = header.indexOf("oauth_signature=\"") + int(qstrlen("oauth_signature=\""));
        header[at] = header.at(at) == 'A' ? 'B' : 'A';
        request.setRawHeader("Authorization", header);
    }
    if (tamper == QLatin1String("path")) {
        QUrl url = request.url();
        url.setPath(url.path().replace(QLatin1String("count=max"), QLatin1String("count=10")));
        request.setUrl(url);
    }
    if (tamper == QLatin1String("query")) {
        QUrl url = request.url();
        url.setQuery(url.query() + QStringLiteral("&view=tinyusercard"));
        request.setUrl(url);
    }
    if (tamper == QLatin1String("replay"))
        QCOMPARE(send(request).first, 200);

    const QPair<int, QByteArray> answer = send(request);
    QCOMPARE(answer.first, status);
    if (status == 200)
        QVERIFY(answer.second.contains("\"contacts\""));
    else
        QVERIFY2(answer.second.contains(problem), answer.second.constData());
}

QTEST_MAIN(TstYahooImporter)
#include "tst_yahooimporter.moc"
