#include <QSignalSpy>
#include <QtTest>

#include "captureserver.h"
#include "logcapture.h"
#include "requesttesting.h"
#include "rest/contactrequest.h"

namespace {

const QByteArray contactObject = R"({"class":"com.zorvanglobe.phone.integration.Contact","nick":"Ada1",
"groupName":"Work","firstName":"Ada","lastName":"Lovelace","emails":[],
"phones":[{"class":"com.zorvanglobe.phone.integration.PhoneNumber","type":"HOME","number":"+442079460000"}]})";

Contact someContact(const QString &nick)
{
    Contact contact;
    contact.setNick(nick);
    contact.setFirstName(QStringLiteral("Ada"));
    contact.setGroupName(QStringLiteral("Work"));
    PhoneNumber phone;
    phone.setType(PhoneNumber::Cell);
    phone.setNumber(QStringLiteral("+4915112345671"));
    contact.setPhones({ phone });
    return contact;
}

// The signals of one ContactRequest, counted.
struct ContactSignals
{
    explicit ContactSignals(ContactRequest &request)
        : one(&request, qOverload<const Contact &>(&ContactRequest::finished))
        , list(&request, qOverload<const QList<Contact> &>(&ContactRequest::finished))
        , deleted(&request, &ContactRequest::contactDeleted)
        , updated(&request, &ContactRequest::contactUpdated)
        , error(&request, &RestRequest::requestError)
    { }
    QString summary() const
    {
        return QStringLiteral("one=%1 list=%2 deleted=%3 updated=%4 error=%5")
            .arg(one.count())
            .arg(list.count())
            .arg(deleted.count())
            .arg(updated.count())
            .arg(error.count());
    }
    QSignalSpy one;
    QSignalSpy list;
    QSignalSpy deleted;
    QSignalSpy updated;
    QSignalSpy error;
};

} // namespace

class TestContactRequest : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void operationsSendTheirMethodUrlAndBody_data();
    void operationsSendTheirMethodUrlAndBody();
    void listModeFollowsTheOperation();
    void replyHandling_data();
    void replyHandling();
    void listRepliesKeepTheirOrder();
    void emptyListIsTraced();
    void listReplyArrivingAfterACreateIsStillAList();
};

void TestContactRequest::initTestCase()
{
    qRegisterMetaType<Contact>();
    qRegisterMetaType<QList<Contact>>();
}

void TestContactRequest::operationsSendTheirMethodUrlAndBody_data()
{
    addOperationColumns();
    QTest::newRow("fetch list") << "list" << QByteArray("GET") << QByteArray("/webservice-5.0/contact/demo")
                                << false;
    QTest::newRow("fetch one") << "one" << QByteArray("GET")
                               << QByteArray("/webservice-5.0/contact/demo/Tom%20%232%2FQ%26A") << false;
    QTest::newRow("create") << "create" << QByteArray("PUT")
                            << QByteArray("/webservice-5.0/contact/demo/Tom%20%232%2FQ%26A") << true;
    QTest::newRow("update") << "update" << QByteArray("POST")
                            << QByteArray("/webservice-5.0/contact/demo/Tom%20%232%2FQ%26A") << true;
    QTest::newRow("delete") << "delete" << QByteArray("DELETE")
                            << QByteArray("/webservice-5.0/contact/demo/Tom%20%232%2FQ%26A") << false;
}

void TestContactRequest::operationsSendTheirMethodUrlAndBody()
{
    QFETCH(QString, operation);
    QFETCH(QByteArray, method);
    QFETCH(QByteArray, path);
    QFETCH(bool, withBody);
    CaptureServer server;
    ContactRequest request;
    pointAt(request, server);
    ReplyCounter replies(request);
    const Contact contact = someContact(QStringLiteral("Tom #2/Q&A"));
    if (operation == QLatin1String("list"))
        request.getContacts();
    else if (operation == QLatin1String("one"))
        request.getContact(contact.nick());
    else if (operation == QLatin1String("create"))
        request.addContact(contact);
    else if (operation == QLatin1String("update"))
        request.updateContact(contact);
    else
        request.deleteContact(contact);
    checkSent(replies, server, method, path, withBody ? jsonBody(contact.toVariant()) : QByteArray());
}

void TestContactRequest::listModeFollowsTheOperation()
{
    CaptureServer server;
    server.setMode(CaptureServer::NeverAnswer);
    ContactRequest request;
    pointAt(request, server);
    QVERIFY(!request.listMode());
    request.getContacts();
    QVERIFY(request.listMode());
    QCOMPARE(request.verb(), int(RestRequest::Get));
    request.addContact(someContact(QStringLiteral("a")));
    QVERIFY(!request.listMode());
    QCOMPARE(request.verb(), int(RestRequest::Put));
    request.getContacts();
    request.getContact(QStringLiteral("a"));
    QVERIFY(!request.listMode());
}

void TestContactRequest::replyHandling_data()
{
    addReplyColumns();
    const int get = RestRequest::Get, put = RestRequest::Put, post = RestRequest::Post;
    const int del = RestRequest::Delete;
    QTest::newRow("list") << true << get << "[" + contactObject + "]" << 200
                          << "one=0 list=1 deleted=0 updated=0 error=0";
    QTest::newRow("empty list") << true << get << QByteArray("[]") << 200
                                << "one=0 list=1 deleted=0 updated=0 error=0";
    QTest::newRow("list answered with an object")
        << true << get << contactObject << 200 << "one=0 list=1 deleted=0 updated=0 error=0";
    QTest::newRow("fetch one") << false << get << contactObject << 200
                               << "one=1 list=0 deleted=0 updated=0 error=0";
    QTest::newRow("create answered with the contact")
        << false << put << contactObject << 200 << "one=0 list=0 deleted=0 updated=1 error=0";
    QTest::newRow("update answered with the contact")
        << false << post << contactObject << 200 << "one=1 list=0 deleted=0 updated=0 error=0";
    QTest::newRow("delete answered 204")
        << false << del << QByteArray() << 204 << "one=0 list=0 deleted=1 updated=0 error=0";
    QTest::newRow("delete answered 200 null")
        << false << del << QByteArray("null") << 200 << "one=0 list=0 deleted=1 updated=0 error=0";
    QTest::newRow("empty redirect") << false << del << QByteArray() << 302
                                    << "one=0 list=0 deleted=0 updated=0 error=1";
    QTest::newRow("HTML page on a fetch")
        << false << get << QByteArray("<html/>") << 200 << "one=0 list=0 deleted=1 updated=0 error=0";
    QTest::newRow("service error on a create")
        << false << put << QByteArray(R"({"errorMessage":"Contact already exists."})") << 200
        << "one=0 list=0 deleted=0 updated=1 error=0";
}

void TestContactRequest::replyHandling()
{
    QFETCH(QString, expected);
    QCOMPARE((handleReply<ContactRequest, ContactSignals>(&ContactSignals::summary)), expected);
}

void TestContactRequest::listRepliesKeepTheirOrder()
{
    ContactRequest request;
    request.setListMode(true);
    ContactSignals seen(request);
    request.onFinish(R"([{"nick":"b","firstName":"B"},{"nick":"a","firstName":"A"},{"nick":"c"}])", 200);
    QCOMPARE(seen.list.count(), 1);
    const QList<Contact> contacts = seen.list.first().first().value<QList<Contact>>();
    QCOMPARE(contacts.size(), 3);
    QCOMPARE(contacts.at(0).nick(), QStringLiteral("b"));
    QCOMPARE(contacts.at(1).nick(), QStringLiteral("a"));
    QCOMPARE(contacts.at(2).nick(), QStringLiteral("c"));
}

void TestContactRequest::emptyListIsTraced()
{
    LogCapture log;
    ContactRequest request;
    request.setListMode(true);
    ContactSignals seen(request);
    request.onFinish("[]", 200);
    QCOMPARE(seen.list.count(), 1);
    QVERIFY(seen.list.first().first().value<QList<Contact>>().isEmpty());
    QVERIFY(log.contains(QStringLiteral("List size is < 0")));
}

// The list fetch after sign-in is still on its way when the user adds a contact: the create's reply
// comes first and the list reply after it, and each is read as what it is.
void TestContactRequest::listReplyArrivingAfterACreateIsStillAList()
{
    CaptureServer server;
    server.setMode(CaptureServer::HoldFirstAnswer);
    server.setAnswer([](const CaptureServer::Request &r) {
        return CaptureServer::Answer { 200, r.method == "GET" ? "[" + contactObject + "]" : contactObject };
    });
    ContactRequest request;
    pointAt(request, server);
    ContactSignals seen(request);
    request.getContacts();
    QVERIFY(QSignalSpy(&server, &CaptureServer::requestReceived).wait(10000));
    request.addContact(someContact(QStringLiteral("Ada1")));
    QVERIFY(seen.updated.wait(10000));
    QCOMPARE(seen.list.count(), 0);
    server.release();
    QVERIFY(seen.list.wait(10000));
    QCOMPARE(seen.summary(), QStringLiteral("one=0 list=1 deleted=0 updated=1 error=0"));
    QCOMPARE(seen.list.first().first().value<QList<Contact>>().size(), 1);
}

QTEST_GUILESS_MAIN(TestContactRequest)
#include "tst_contactrequest.moc"
