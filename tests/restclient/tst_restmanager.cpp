#include <QFile>
#include <QJsonArray>
#include <QJsonObject>
#include <QNetworkProxy>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QtTest>

#include "objfactory.h"
#include "rest/accountrequest.h"
#include "rest/balancerequest.h"
#include "rest/contactrequest.h"
#include "rest/grouprequest.h"
#include "rest/livebalancerequest.h"
#include "rest/restmanager.h"
#include "serviceurls.h"
#include "util/dbstore.h"
#include "util/tracelog.h"
#include "webserviceemulator.h"

// The real RestManager against the local web-service emulator, over HTTPS with verification on.
class TestRestManager : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void factoryHandsOutOneConfiguredManager();
    void signInFetch_data();
    void signInFetch();
    void passwordWithAmpersandAndHashSignsIn();
    void balanceAndLiveBalance();
    void contactRoundTrip();
    void groupRoundTrip();
    void onlineNumbersWithDates();
    void smsSentAndRefused();
    void invitationIsStored();
    void untrustedCertificateFailsTheSignIn();
    void connectingAheadSavesTheSignInItsHandshake_data();
    void connectingAheadSavesTheSignInItsHandshake();
    void connectingAheadToAnUntrustedServiceIsNoSignIn();
    void connectingAheadNeedsAnHttpsService_data();
    void connectingAheadNeedsAnHttpsService();
    void unreachableProxyRaisesProxyError();
    void backgroundProxyFailureIsNoSignInFailure();
    void injectedFaultsEndInTheErrorPath_data();
    void injectedFaultsEndInTheErrorPath();
    void twoContactRequestsInFlightAreEachReadCorrectly();
    void twoGroupRequestsInFlightAreEachReadCorrectly();
    void traceLogHoldsNoPassword();

private:
    void signInAs(RestManager &manager, const QString &username, const QString &password);
    Account fetchAccount(RestManager &manager);
    QList<Contact> fetchContacts(RestManager &manager);
    QList<Group> fetchGroups(RestManager &manager);
    QJsonObject emulatorAccount(const QString &username);
    bool waitForConnectionAhead(RestManager &target);

    WebServiceEmulator emu;
    QTemporaryDir dir;
    QString urlsFile;
    ServiceUrls urls;
    std::unique_ptr<RestManager> manager;
};

namespace {

const int waitMs = 20000;

quint16 closedPort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();
}

Contact trickyContact()
{
    Contact contact;
    contact.setNick(QStringLiteral("Tom #2/Q&A+%41 x?"));
    contact.setFirstName(QStringLiteral("Tom"));
    contact.setLastName(QStringLiteral("Two"));
    contact.setGroupName(QStringLiteral("Friends"));
    contact.setEmails({ QStringLiteral("tom@example.org") });
    PhoneNumber phone;
    phone.setType(PhoneNumber::Cell);
    phone.setNumber(QStringLiteral("+4915100000002"));
    contact.setPhones({ phone });
    return contact;
}

} // namespace

void TestRestManager::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
    qRegisterMetaType<Account>();
    qRegisterMetaType<Balance>();
    qRegisterMetaType<Contact>();
    qRegisterMetaType<QList<Contact>>();
    qRegisterMetaType<Group>();
    qRegisterMetaType<QList<Group>>();
    qRegisterMetaType<QList<OnlineNumber>>();
    qRegisterMetaType<SMS>();
    qRegisterMetaType<Invite>();
    qRegisterMetaType<QList<QSslError>>();
    QVERIFY(dir.isValid());
    QVERIFY2(emu.start(), qPrintable(emu.errorString()));
    urlsFile = dir.filePath(QStringLiteral("urls.ini"));
    QVERIFY(emu.exportEnvironment(urlsFile));
    qputenv("TALKVANE_BRAND", "Local");
    urls = ServiceUrls::load();
    QCOMPARE(urls.accountServiceBaseURL, emu.serviceUrl(QStringLiteral("account")));
}

void TestRestManager::init()
{
    QVERIFY2(emu.reset(), qPrintable(emu.errorString()));
    manager = std::make_unique<RestManager>();
    manager->setServiceUrls(urls);
}

void TestRestManager::cleanup()
{
    manager.reset();
    QNetworkProxy::setApplicationProxy(QNetworkProxy(QNetworkProxy::DefaultProxy));
    QVERIFY(emu.exportEnvironment());
}

void TestRestManager::signInAs(RestManager &target, const QString &username, const QString &password)
{
    target.onUsernameChanged(username);
    target.onPasswordChanged(password);
}

Account TestRestManager::fetchAccount(RestManager &target)
{
    QSignalSpy finished(&target, qOverload<const Account &>(&RestManager::requestFinished));
    target.getAccount();
    if (!finished.wait(waitMs))
        return Account();
    return finished.first().first().value<Account>();
}

QList<Contact> TestRestManager::fetchContacts(RestManager &target)
{
    QSignalSpy finished(&target, qOverload<const QList<Contact> &>(&RestManager::requestFinished));
    target.getContacts();
    if (!finished.wait(waitMs))
        return {};
    return finished.first().first().value<QList<Contact>>();
}

QList<Group> TestRestManager::fetchGroups(RestManager &target)
{
    QSignalSpy finished(&target, qOverload<const QList<Group> &>(&RestManager::requestFinished));
    target.getGroups();
    if (!finished.wait(waitMs))
        return {};
    return finished.first().first().value<QList<Group>>();
}

QJsonObject TestRestManager::emulatorAccount(const QString &username)
{
    return emu.state().object().value(QStringLiteral("accounts")).toObject().value(username).toObject();
}

// The reply Qt gives a connection opened ahead comes when the connection is up or has failed.
bool TestRestManager::waitForConnectionAhead(RestManager &target)
{
    QSignalSpy done(target.accountRequest()->networkManager(), &QNetworkAccessManager::finished);
    return target.connectAheadForSignIn() && done.wait(waitMs);
}

void TestRestManager::factoryHandsOutOneConfiguredManager()
{
    ObjFactory factory;
    RestManager *fromFactory = factory.restManager();
    QVERIFY(fromFactory);
    QCOMPARE(factory.restManager(), fromFactory);
    QCOMPARE(fromFactory->accountRequest()->serviceUrls().accountServiceBaseURL,
        emu.serviceUrl(QStringLiteral("account")));
    signInAs(*fromFactory, QStringLiteral("demo"), QStringLiteral("demo"));
    QCOMPARE(fetchAccount(*fromFactory).sipUser(), QStringLiteral("demo"));
}

void TestRestManager::signInFetch_data()
{
    QTest::addColumn<QString>("username");
    QTest::addColumn<QString>("password");
    QTest::addColumn<QString>("sipUser");
    QTest::addColumn<QString>("errorMessage");
    QTest::newRow("good") << "demo"
                          << "demo"
                          << "demo" << QString();
    QTest::newRow("wrong password") << "demo"
                                    << "wrong" << QString() << "User not found!";
    QTest::newRow("unknown user") << "nobody"
                                  << "demo" << QString() << "User not found!";
    // A user name shaped to point the request at another account's data gets nothing of it.
    QTest::newRow("foreign user by query") << "alice?username=alice&password=alice-secret#"
                                           << "x" << QString() << "User not found!";
    QTest::newRow("foreign user by path") << "nobody/../alice"
                                          << "alice-secret" << QString() << "User not found!";
}

void TestRestManager::signInFetch()
{
    QFETCH(QString, username);
    QFETCH(QString, password);
    QFETCH(QString, sipUser);
    QFETCH(QString, errorMessage);
    signInAs(*manager, username, password);
    QSignalSpy failed(manager.get(), &RestManager::accountRequestFailed);
    const Account account = fetchAccount(*manager);
    QCOMPARE(failed.count(), 0);
    QCOMPARE(account.errorMessage(), errorMessage);
    QCOMPARE(account.sipUser(), sipUser);
    if (errorMessage.isEmpty()) {
        QCOMPARE(account.username(), username);
        QCOMPARE(account.sipDomain(), QStringLiteral("localhost"));
        QCOMPARE(account.sipPassword(), QStringLiteral("demo-voice-secret"));
        QCOMPARE(emulatorAccount(username).value(QStringLiteral("lastAppId")).toString(),
            AccountRequest::currentApplicationId());
    }
}

void TestRestManager::passwordWithAmpersandAndHashSignsIn()
{
    signInAs(*manager, QStringLiteral("bob"), QStringLiteral("b&b #1+%41 x"));
    const Account account = fetchAccount(*manager);
    QCOMPARE(account.errorMessage(), QString());
    QCOMPARE(account.sipUser(), QStringLiteral("bob"));
}

void TestRestManager::balanceAndLiveBalance()
{
    signInAs(*manager, QStringLiteral("demo"), QStringLiteral("demo"));
    QSignalSpy finished(manager.get(), qOverload<const Balance &>(&RestManager::requestFinished));
    manager->getBalance();
    QVERIFY(finished.wait(waitMs));
    manager->getLiveBalance();
    QVERIFY(finished.wait(waitMs));
    QCOMPARE(finished.count(), 2);
    for (const QList<QVariant> &args : finished) {
        const Balance balance = args.first().value<Balance>();
        QCOMPARE(balance.credit(), 12.5);
        QCOMPARE(balance.currency(), QStringLiteral("EUR"));
        QCOMPARE(balance.currencySymbol(), QString(QChar(0x20ac)));
    }
}

void TestRestManager::contactRoundTrip()
{
    signInAs(*manager, QStringLiteral("demo"), QStringLiteral("demo"));
    const int seeded = fetchContacts(*manager).size();
    QCOMPARE(seeded, 2);

    Contact contact = trickyContact();
    QSignalSpy updated(manager.get(), &RestManager::contactUpdated);
    QSignalSpy one(manager.get(), qOverload<const Contact &>(&RestManager::requestFinished));
    manager->addContact(contact);
    QVERIFY(updated.wait(waitMs));
    QCOMPARE(one.count(), 0);

    QList<Contact> contacts = fetchContacts(*manager);
    QCOMPARE(contacts.size(), seeded + 1);
    QCOMPARE(contacts.last().nick(), contact.nick());
    QCOMPARE(contacts.last().phoneNumbers(), contact.phoneNumbers());

    manager->getContact(contact.nick());
    QVERIFY(one.wait(waitMs));
    QCOMPARE(one.takeFirst().first().value<Contact>().lastName(), QStringLiteral("Two"));

    contact.setLastName(QStringLiteral("Second"));
    manager->updateContact(contact);
    QVERIFY(one.wait(waitMs));
    QCOMPARE(one.takeFirst().first().value<Contact>().lastName(), QStringLiteral("Second"));
    QCOMPARE(updated.count(), 1);
    contacts = fetchContacts(*manager);
    QCOMPARE(contacts.last().lastName(), QStringLiteral("Second"));

    QSignalSpy deleted(manager.get(), &RestManager::contactDeleted);
    manager->deleteContact(contact);
    QVERIFY(deleted.wait(waitMs));
    contacts = fetchContacts(*manager);
    QCOMPARE(contacts.size(), seeded);
    for (const Contact &left : contacts)
        QVERIFY(left.nick() != contact.nick());
}

void TestRestManager::groupRoundTrip()
{
    signInAs(*manager, QStringLiteral("demo"), QStringLiteral("demo"));
    QCOMPARE(fetchGroups(*manager).size(), 3);

    const QString name = QStringLiteral("Q&A #1/2 +%41");
    QStringList order;
    connect(manager.get(), &RestManager::groupAdded, this, [&]() { order << QStringLiteral("added"); });
    connect(manager.get(), qOverload<const Group &>(&RestManager::requestFinished), this,
        [&](const Group &group) { order << group.name(); });
    manager->addGroup(Group(name));
    QVERIFY(QTest::qWaitFor([&]() { return order.size() == 2; }, waitMs));
    QCOMPARE(order, (QStringList { QStringLiteral("added"), name }));
    QCOMPARE(fetchGroups(*manager).last().name(), name);

    const QString renamed = QStringLiteral("Answers & more");
    manager->renameGroup(name, Group(renamed));
    QVERIFY(QTest::qWaitFor([&]() { return order.size() == 3; }, waitMs));
    QCOMPARE(order.last(), renamed);
    QCOMPARE(fetchGroups(*manager).last().name(), renamed);

    // A delete is answered with an empty reply that the group request takes without a signal.
    QSignalSpy answered(manager->groupRequest(), &RestRequest::finishedRequest);
    QSignalSpy errors(manager->groupRequest(), &RestRequest::requestError);
    manager->deleteGroup(Group(renamed));
    QVERIFY(answered.wait(waitMs));
    QCOMPARE(answered.first().at(1).toInt(), 204);
    QCOMPARE(errors.count(), 0);
    const QList<Group> groups = fetchGroups(*manager);
    QCOMPARE(groups.size(), 3);
    for (const Group &group : groups)
        QVERIFY(group.name() != renamed);
}

void TestRestManager::onlineNumbersWithDates()
{
    signInAs(*manager, QStringLiteral("demo"), QStringLiteral("demo"));
    QSignalSpy finished(manager.get(), qOverload<const QList<OnlineNumber> &>(&RestManager::requestFinished));
    manager->getOnlineNumbers();
    QVERIFY(finished.wait(waitMs));
    const QList<OnlineNumber> numbers = finished.first().first().value<QList<OnlineNumber>>();
    QCOMPARE(numbers.size(), 2);
    QCOMPARE(numbers.at(0).number(), QStringLiteral("+493012345678"));
    QCOMPARE(numbers.at(0).expirationDate(), QDate(2031, 6, 30));
    QCOMPARE(numbers.at(0).status(), QStringLiteral("ACTIVE"));
    QCOMPARE(numbers.at(1).number(), QStringLiteral("+442071234567"));
    QCOMPARE(numbers.at(1).expirationDate(), QDate(2024, 1, 15));
    QCOMPARE(numbers.at(1).status(), QStringLiteral("EXPIRED"));
}

void TestRestManager::smsSentAndRefused()
{
    signInAs(*manager, QStringLiteral("demo"), QStringLiteral("demo"));
    QSignalSpy finished(manager.get(), qOverload<const SMS &>(&RestManager::requestFinished));
    SMS sms;
    sms.setDestinationNumbers({ QStringLiteral("+4915112345671") });
    sms.setText(QStringLiteral("Hello & good bye"));
    manager->sendSMS(sms);
    QVERIFY(finished.wait(waitMs));
    SMS reply = finished.takeFirst().first().value<SMS>();
    QCOMPARE(reply.errorMessage(), QString());
    QCOMPARE(reply.text(), sms.text());
    QCOMPARE(emulatorAccount(QStringLiteral("demo")).value(QStringLiteral("sms")).toArray().size(), 1);

    SMS tooLong = sms;
    tooLong.setText(QString(481, QLatin1Char('x')));
    manager->sendSMS(tooLong);
    QVERIFY(finished.wait(waitMs));
    QCOMPARE(finished.takeFirst().first().value<SMS>().errorMessage(), QStringLiteral("Max length exceeded"));

    QVERIFY(emu.setLimits(QJsonObject { { QStringLiteral("smsPerDay"), 1 } }));
    manager->sendSMS(sms);
    QVERIFY(finished.wait(waitMs));
    QCOMPARE(finished.takeFirst().first().value<SMS>().errorMessage(),
        QStringLiteral("Maximum number of messages per day reached"));
    QCOMPARE(emulatorAccount(QStringLiteral("demo")).value(QStringLiteral("sms")).toArray().size(), 1);
}

void TestRestManager::invitationIsStored()
{
    signInAs(*manager, QStringLiteral("demo"), QStringLiteral("demo"));
    Invite invite;
    invite.setFromEmail(QStringLiteral("demo@example.org"));
    invite.setToEmails({ QStringLiteral("friend@example.org") });
    invite.setFullName(QStringLiteral("Dana Demo"));
    invite.setShowPhoneNumber(true);
    QSignalSpy finished(manager.get(), qOverload<const Invite &>(&RestManager::requestFinished));
    manager->sendInvite(invite);
    QVERIFY(finished.wait(waitMs));
    const Invite reply = finished.first().first().value<Invite>();
    QCOMPARE(reply.errorMessage(), QString());
    QCOMPARE(reply.toEmails(), invite.toEmails());
    const QJsonArray stored
        = emulatorAccount(QStringLiteral("demo")).value(QStringLiteral("invites")).toArray();
    QCOMPARE(stored.size(), 1);
    QCOMPARE(
        stored.first().toObject().value(QStringLiteral("fullName")).toString(), QStringLiteral("Dana Demo"));

    Invite bad = invite;
    bad.setToEmails({});
    manager->sendInvite(bad);
    QVERIFY(finished.wait(waitMs));
    QCOMPARE(finished.last().first().value<Invite>().errorMessage(), QStringLiteral("Invalid parameters."));
}

void TestRestManager::untrustedCertificateFailsTheSignIn()
{
    qunsetenv("TALKVANE_CA_FILE");
    signInAs(*manager, QStringLiteral("demo"), QStringLiteral("demo"));
    QSignalSpy failed(manager.get(), &RestManager::accountRequestFailed);
    QSignalSpy errors(manager->accountRequest(), &RestRequest::requestError);
    QSignalSpy finished(manager.get(), qOverload<const Account &>(&RestManager::requestFinished));
    QSignalSpy sslErrors(manager->accountRequest()->networkManager(), &QNetworkAccessManager::sslErrors);
    manager->getAccount();
    QVERIFY(failed.wait(waitMs));
    QCOMPARE(errors.count(), 1);
    QCOMPARE(finished.count(), 0);
    QVERIFY(sslErrors.count() >= 1); // the error was seen, and not ignored:
    QVERIFY(emu.requests().isEmpty()); // nothing reached the service
}

void TestRestManager::connectingAheadSavesTheSignInItsHandshake_data()
{
    QTest::addColumn<bool>("ahead");
    QTest::addColumn<int>("handshakes");
    QTest::newRow("connected ahead") << true << 0;
    QTest::newRow("not connected ahead") << false << 1;
}

void TestRestManager::connectingAheadSavesTheSignInItsHandshake()
{
    QFETCH(bool, ahead);
    QFETCH(int, handshakes);
    QSignalSpy failed(manager.get(), &RestManager::accountRequestFailed);
    QSignalSpy errors(manager->accountRequest(), &RestRequest::requestError);
    if (ahead)
        QVERIFY(waitForConnectionAhead(*manager));
    // Handshakes done for the request itself (the ahead connection's reply has gone by now).
    int requestHandshakes = 0;
    connect(manager->accountRequest()->networkManager(), &QNetworkAccessManager::encrypted, this,
        [&requestHandshakes](QNetworkReply *reply) {
            if (reply->url().scheme() == QLatin1String("https"))
                ++requestHandshakes;
        });
    signInAs(*manager, QStringLiteral("demo"), QStringLiteral("demo"));
    QCOMPARE(fetchAccount(*manager).sipUser(), QStringLiteral("demo"));
    QCOMPARE(requestHandshakes, handshakes);
    QCOMPARE(failed.count(), 0);
    QCOMPARE(errors.count(), 0);
    QCOMPARE(emu.requests().size(), 1); // opening the connection asked the service nothing
}

void TestRestManager::connectingAheadToAnUntrustedServiceIsNoSignIn()
{
    qunsetenv("TALKVANE_CA_FILE");
    QSignalSpy failed(manager.get(), &RestManager::accountRequestFailed);
    QSignalSpy errors(manager->accountRequest(), &RestRequest::requestError);
    QSignalSpy sslErrors(manager->accountRequest()->networkManager(), &QNetworkAccessManager::sslErrors);
    QVERIFY(waitForConnectionAhead(*manager));
    QVERIFY(sslErrors.count() >= 1); // refused, not ignored
    QCOMPARE(failed.count(), 0);
    QCOMPARE(errors.count(), 0);
    // The sign-in itself still meets the certificate and fails as ever.
    signInAs(*manager, QStringLiteral("demo"), QStringLiteral("demo"));
    manager->getAccount();
    QVERIFY(failed.wait(waitMs));
    QCOMPARE(errors.count(), 1);
    QVERIFY(emu.requests().isEmpty());
}

void TestRestManager::connectingAheadNeedsAnHttpsService_data()
{
    QTest::addColumn<QString>("accountUrl");
    QTest::addColumn<bool>("opened");
    QTest::newRow("https") << QStringLiteral("https://127.0.0.1:1/webservice-5.0/account") << true;
    QTest::newRow("http") << QStringLiteral("http://127.0.0.1:1/webservice-5.0/account") << false;
    QTest::newRow("no host") << QStringLiteral("https:///webservice-5.0/account") << false;
    QTest::newRow("empty") << QString() << false;
}

void TestRestManager::connectingAheadNeedsAnHttpsService()
{
    QFETCH(QString, accountUrl);
    QFETCH(bool, opened);
    ServiceUrls changed = urls;
    changed.accountServiceBaseURL = accountUrl;
    manager->setServiceUrls(changed);
    QSignalSpy failed(manager.get(), &RestManager::accountRequestFailed);
    QSignalSpy errors(manager->accountRequest(), &RestRequest::requestError);
    QSignalSpy done(manager->accountRequest()->networkManager(), &QNetworkAccessManager::finished);
    QCOMPARE(manager->connectAheadForSignIn(), opened);
    // Port 1 refuses: the failed connection is no failed sign-in.
    QCOMPARE(done.wait(opened ? waitMs : 200), opened);
    QCOMPARE(failed.count(), 0);
    QCOMPARE(errors.count(), 0);
}

void TestRestManager::unreachableProxyRaisesProxyError()
{
    QNetworkProxy::setApplicationProxy(
        QNetworkProxy(QNetworkProxy::HttpProxy, QStringLiteral("127.0.0.1"), closedPort()));
    // The service's host is only named to the proxy, never looked up or contacted.
    ServiceUrls remote = urls;
    remote.accountServiceBaseURL = QStringLiteral("https://service.invalid/webservice-5.0/account");
    manager->setServiceUrls(remote);
    signInAs(*manager, QStringLiteral("demo"), QStringLiteral("demo"));
    QSignalSpy proxyErrors(manager.get(), &RestManager::proxyConnectionError);
    QSignalSpy failed(manager.get(), &RestManager::accountRequestFailed);
    manager->getAccount();
    QVERIFY(proxyErrors.wait(waitMs));
    QCOMPARE(proxyErrors.count(), 1);
    QCOMPARE(failed.count(), 0);
}

// A proxy failure of a background request (here the balance refresh) stays that request's own
// error: the manager raises neither of its sign-in failure signals.
void TestRestManager::backgroundProxyFailureIsNoSignInFailure()
{
    QNetworkProxy::setApplicationProxy(
        QNetworkProxy(QNetworkProxy::HttpProxy, QStringLiteral("127.0.0.1"), closedPort()));
    ServiceUrls remote = urls;
    remote.accountBalanceServiceBaseURL = QStringLiteral("https://service.invalid/webservice-5.0/balance");
    remote.adressBookContactServiceBaseURL = QStringLiteral("https://service.invalid/webservice-5.0/contact");
    manager->setServiceUrls(remote);
    signInAs(*manager, QStringLiteral("demo"), QStringLiteral("demo"));
    QSignalSpy proxyErrors(manager.get(), &RestManager::proxyConnectionError);
    QSignalSpy failed(manager.get(), &RestManager::accountRequestFailed);
    QSignalSpy balanceErrors(manager->balanceRequest(), &RestRequest::requestError);
    QSignalSpy contactErrors(manager->contactRequest(), &RestRequest::requestError);
    manager->getBalance();
    manager->addContact(trickyContact());
    QVERIFY(
        QTest::qWaitFor([&]() { return balanceErrors.count() == 1 && contactErrors.count() == 1; }, waitMs));
    QCOMPARE(proxyErrors.count(), 0);
    QCOMPARE(failed.count(), 0);
}

void TestRestManager::injectedFaultsEndInTheErrorPath_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<int>("count");
    QTest::addColumn<double>("seconds");
    QTest::newRow("500") << "500" << 1 << 0.0;
    QTest::newRow("malformed body") << "malformed" << 1 << 0.0;
    QTest::newRow("delay past the timeout") << "delay" << 1 << 4.0;
    // Qt sends a request again after a dropped connection, up to three times.
    QTest::newRow("dropped connection") << "drop" << 4 << 0.0;
}

void TestRestManager::injectedFaultsEndInTheErrorPath()
{
    QFETCH(QString, kind);
    QFETCH(int, count);
    QFETCH(double, seconds);
    manager->setTransferTimeout(1500);
    signInAs(*manager, QStringLiteral("demo"), QStringLiteral("demo"));

    QVERIFY(emu.injectFault(kind, count, QStringLiteral("account"), seconds));
    QSignalSpy failed(manager.get(), &RestManager::accountRequestFailed);
    QSignalSpy accounts(manager.get(), qOverload<const Account &>(&RestManager::requestFinished));
    manager->getAccount();
    QVERIFY(failed.wait(waitMs));
    QCOMPARE(accounts.count(), 0);

    QVERIFY(emu.injectFault(kind, count, QStringLiteral("balance"), seconds));
    QSignalSpy balanceErrors(manager->balanceRequest(), &RestRequest::requestError);
    QSignalSpy balances(manager.get(), qOverload<const Balance &>(&RestManager::requestFinished));
    manager->getBalance();
    QVERIFY(balanceErrors.wait(waitMs));
    QCOMPARE(balances.count(), 0);
    QCOMPARE(failed.count(), 1);

    // Nothing is left broken: the next requests go through.
    QVERIFY(emu.clearFaults());
    QCOMPARE(fetchAccount(*manager).sipUser(), QStringLiteral("demo"));
    manager->getBalance();
    QVERIFY(balances.wait(waitMs));
}

void TestRestManager::twoContactRequestsInFlightAreEachReadCorrectly()
{
    signInAs(*manager, QStringLiteral("demo"), QStringLiteral("demo"));
    QVERIFY(emu.injectFault(QJsonObject { { QStringLiteral("kind"), QStringLiteral("delay") },
        { QStringLiteral("resource"), QStringLiteral("contact") },
        { QStringLiteral("method"), QStringLiteral("GET") }, { QStringLiteral("seconds"), 1.0 } }));
    QStringList order;
    QList<Contact> listed;
    connect(manager.get(), &RestManager::contactUpdated, this, [&]() { order << QStringLiteral("updated"); });
    connect(manager.get(), qOverload<const Contact &>(&RestManager::requestFinished), this,
        [&]() { order << QStringLiteral("contact"); });
    connect(manager.get(), qOverload<const QList<Contact> &>(&RestManager::requestFinished), this,
        [&](const QList<Contact> &contacts) {
            order << QStringLiteral("list");
            listed = contacts;
        });
    manager->getContacts();
    manager->addContact(trickyContact());
    QVERIFY(QTest::qWaitFor([&]() { return order.size() == 2; }, waitMs));
    QCOMPARE(order, (QStringList { QStringLiteral("updated"), QStringLiteral("list") }));
    QVERIFY(listed.size() >= 2);
    QCOMPARE(listed.first().firstName(), QString::fromUtf8("Ren\xc3\xa9"));
}

void TestRestManager::twoGroupRequestsInFlightAreEachReadCorrectly()
{
    signInAs(*manager, QStringLiteral("demo"), QStringLiteral("demo"));
    QVERIFY(emu.injectFault(QJsonObject { { QStringLiteral("kind"), QStringLiteral("delay") },
        { QStringLiteral("resource"), QStringLiteral("group") },
        { QStringLiteral("method"), QStringLiteral("GET") }, { QStringLiteral("seconds"), 1.0 } }));
    QStringList order;
    QList<Group> listed;
    connect(manager.get(), &RestManager::groupAdded, this, [&]() { order << QStringLiteral("added"); });
    connect(manager.get(), qOverload<const Group &>(&RestManager::requestFinished), this,
        [&](const Group &group) { order << group.name(); });
    connect(manager.get(), qOverload<const QList<Group> &>(&RestManager::requestFinished), this,
        [&](const QList<Group> &groups) {
            order << QStringLiteral("list");
            listed = groups;
        });
    manager->getGroups();
    manager->addGroup(Group(QStringLiteral("New")));
    QVERIFY(QTest::qWaitFor([&]() { return order.size() == 3; }, waitMs));
    QCOMPARE(order, (QStringList { QStringLiteral("added"), QStringLiteral("New"), QStringLiteral("list") }));
    QVERIFY(listed.size() >= 3);
    QCOMPARE(listed.first().name(), QStringLiteral("Family"));
}

void TestRestManager::traceLogHoldsNoPassword()
{
    QTemporaryDir logDir;
    QVERIFY(TraceLog::install(logDir.path()));
    const QString logFile = TraceLog::filePath();

    // A wrong password, and an HTTP error whose text quotes the URL with it.
    const QString wrong = QStringLiteral("Wrong&Pass#42 x");
    signInAs(*manager, QStringLiteral("alice"), wrong);
    QCOMPARE(fetchAccount(*manager).errorMessage(), QStringLiteral("User not found!"));
    QVERIFY(emu.injectFault(QStringLiteral("500"), 1, QStringLiteral("account")));
    QSignalSpy failed(manager.get(), &RestManager::accountRequestFailed);
    manager->getAccount();
    QVERIFY(failed.wait(waitMs));

    // The right password: the account reply with both passwords, as a list and as a bare object.
    signInAs(*manager, QStringLiteral("alice"), QStringLiteral("alice-secret"));
    QCOMPARE(fetchAccount(*manager).sipPassword(), QStringLiteral("alice-voice-secret"));
    QVERIFY(emu.injectFault(QJsonObject { { QStringLiteral("kind"), QStringLiteral("malformed") },
        { QStringLiteral("resource"), QStringLiteral("account") },
        { QStringLiteral("body"),
            QStringLiteral("{\"username\":\"alice\",\"password\":\"alice-secret\","
                           "\"sipPassword\":\"alice-voice-secret\"}") } }));
    QCOMPARE(fetchAccount(*manager).sipPassword(), QStringLiteral("alice-voice-secret"));
    QVERIFY(emu.injectFault(QJsonObject { { QStringLiteral("kind"), QStringLiteral("malformed") },
        { QStringLiteral("resource"), QStringLiteral("account") },
        { QStringLiteral("body"),
            QStringLiteral("{\"password\":\"alice-secret\",\"sipPassword\":\"alice-voi") } }));
    manager->getAccount();
    QVERIFY(failed.wait(waitMs));
    TraceLog::uninstall();

    QFile file(logFile);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(file.readAll());
    QVERIFY(text.contains(QLatin1String("Error =")));
    QVERIFY(text.contains(QLatin1String("/webservice-5.0/account/alice")));
    const QString secrets[] = { wrong, QString::fromLatin1(QUrl::toPercentEncoding(wrong)),
        QStringLiteral("Wrong&Pass"), QStringLiteral("alice-secret"), QStringLiteral("alice-voice-secret"),
        QStringLiteral("alice-voi") };
    for (const QString &secret : secrets)
        QVERIFY2(!text.contains(secret), qPrintable(secret));
}

QTEST_GUILESS_MAIN(TestRestManager)
#include "tst_restmanager.moc"
