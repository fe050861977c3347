#include <QSignalSpy>
#include <QtTest>

#include "captureserver.h"
#include "logcapture.h"
#include "requesttesting.h"
#include "rest/grouprequest.h"

namespace {

// The signals of one GroupRequest, in the order they came.
class GroupSignals : public QObject
{
public:
    explicit GroupSignals(GroupRequest &request)
    {
        connect(&request, qOverload<const QList<Group> &>(&GroupRequest::finished), this,
            [this](const QList<Group> &groups) {
                order << QStringLiteral("list");
                lists << groups;
            });
        connect(
            &request, qOverload<const Group &>(&GroupRequest::finished), this, [this](const Group &group) {
                order << QStringLiteral("group");
                groups << group;
            });
        connect(&request, &GroupRequest::groupAdded, this, [this]() { order << QStringLiteral("added"); });
        connect(&request, &RestRequest::requestError, this, [this]() { order << QStringLiteral("error"); });
    }
    QString sequence() const { return order.join(QLatin1Char(',')); }

    QStringList order;
    QList<QList<Group>> lists;
    QList<Group> groups;
};

} // namespace

class TestGroupRequest : public QObject
{
    Q_OBJECT
private slots:
    void operationsSendTheirMethodUrlAndBody_data();
    void operationsSendTheirMethodUrlAndBody();
    void replyHandling_data();
    void replyHandling();
    void listIsReadInOrder();
    void emptyListIsTraced();
    void listReplyArrivingAfterACreateIsStillAList();
};

void TestGroupRequest::operationsSendTheirMethodUrlAndBody_data()
{
    addOperationColumns();
    QTest::newRow("fetch list") << "list" << QByteArray("GET") << QByteArray("/webservice-5.0/group/demo")
                                << false;
    QTest::newRow("create") << "create" << QByteArray("PUT") << QByteArray("/webservice-5.0/group/demo")
                            << true;
    QTest::newRow("rename") << "rename" << QByteArray("POST")
                            << QByteArray("/webservice-5.0/group/demo/Q%26A%20%231%2F2") << true;
    QTest::newRow("delete") << "delete" << QByteArray("DELETE")
                            << QByteArray("/webservice-5.0/group/demo/Q%26A%20%231%2F2") << false;
}

void TestGroupRequest::operationsSendTheirMethodUrlAndBody()
{
    QFETCH(QString, operation);
    QFETCH(QByteArray, method);
    QFETCH(QByteArray, path);
    QFETCH(bool, withBody);
    CaptureServer server;
    GroupRequest request;
    pointAt(request, server);
    ReplyCounter replies(request);
    const QString oldName = QStringLiteral("Q&A #1/2");
    const Group group(operation == QLatin1String("rename") ? QStringLiteral("Answers") : oldName);
    if (operation == QLatin1String("list"))
        request.getGroups();
    else if (operation == QLatin1String("create"))
        request.addGroup(group);
    else if (operation == QLatin1String("rename"))
        request.renameGroup(oldName, group);
    else
        request.deleteGroup(group);
    QCOMPARE(request.listMode(), operation == QLatin1String("list"));
    checkSent(replies, server, method, path, withBody ? jsonBody(group.toVariant()) : QByteArray());
}

void TestGroupRequest::replyHandling_data()
{
    addReplyColumns();
    const int get = RestRequest::Get, put = RestRequest::Put, post = RestRequest::Post;
    const int del = RestRequest::Delete;
    const QByteArray group = R"({"class":"com.zorvanglobe.phone.integration.Group","name":"Friends"})";
    QTest::newRow("list") << true << get << "[" + group + "]" << 200 << "list";
    QTest::newRow("empty list") << true << get << QByteArray("[]") << 200 << "list";
    QTest::newRow("create") << false << put << group << 200 << "added,group";
    QTest::newRow("rename") << false << post << group << 200 << "group";
    QTest::newRow("delete answered 204") << false << del << QByteArray() << 204 << "";
    QTest::newRow("not JSON, 200") << false << get << QByteArray("<html/>") << 200 << "";
    QTest::newRow("empty redirect") << false << del << QByteArray() << 302 << "error";
    QTest::newRow("service error on a create")
        << false << put << QByteArray(R"({"errorMessage":"Group already exists."})") << 200 << "added,group";
}

void TestGroupRequest::replyHandling()
{
    QFETCH(QString, expected);
    QCOMPARE((handleReply<GroupRequest, GroupSignals>(&GroupSignals::sequence)), expected);
}

void TestGroupRequest::listIsReadInOrder()
{
    GroupRequest request;
    request.setListMode(true);
    GroupSignals seen(request);
    request.onFinish(R"([{"name":"Work"},{"name":"Family"},{"name":"Q&A #1"}])", 200);
    QCOMPARE(seen.lists.size(), 1);
    const QList<Group> groups = seen.lists.first();
    QCOMPARE(groups.size(), 3);
    QCOMPARE(groups.at(0).name(), QStringLiteral("Work"));
    QCOMPARE(groups.at(1).name(), QStringLiteral("Family"));
    QCOMPARE(groups.at(2).name(), QStringLiteral("Q&A #1"));
}

void TestGroupRequest::emptyListIsTraced()
{
    LogCapture log;
    GroupRequest request;
    request.setListMode(true);
    GroupSignals seen(request);
    request.onFinish("[]", 200);
    QCOMPARE(seen.sequence(), QStringLiteral("list"));
    QVERIFY(seen.lists.first().isEmpty());
    QVERIFY(log.contains(QStringLiteral("List size is < 0")));
}

void TestGroupRequest::listReplyArrivingAfterACreateIsStillAList()
{
    CaptureServer server;
    server.setMode(CaptureServer::HoldFirstAnswer);
    server.setAnswer([](const CaptureServer::Request &r) {
        return CaptureServer::Answer { 200,
            r.method == "GET" ? QByteArray(R"([{"name":"Work"},{"name":"Family"}])")
                              : QByteArray(R"({"name":"New"})") };
    });
    GroupRequest request;
    pointAt(request, server);
    GroupSignals seen(request);
    request.getGroups();
    QVERIFY(QSignalSpy(&server, &CaptureServer::requestReceived).wait(10000));
    request.addGroup(Group(QStringLiteral("New")));
    QVERIFY(QTest::qWaitFor([&]() { return seen.order.size() == 2; }, 10000));
    server.release();
    QVERIFY(QTest::qWaitFor([&]() { return seen.order.size() == 3; }, 10000));
    QCOMPARE(seen.sequence(), QStringLiteral("added,group,list"));
    QCOMPARE(seen.groups.first().name(), QStringLiteral("New"));
    QCOMPARE(seen.lists.first().size(), 2);
}

QTEST_GUILESS_MAIN(TestGroupRequest)
#include "tst_grouprequest.moc"
