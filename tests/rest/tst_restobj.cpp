#include <QtTest>

#include "rest/restobj.h"
#include "replytext.h"

class TestRestObj : public QObject
{
    Q_OBJECT

private slots:
    void classTag();
    void bareObjectWritesOnlyClass();
    void readsErrorMembers();
    void errorMembersDefaultToEmpty();
    void malformedErrorEntriesStillCount();
    void copyDuplicatesErrors();
};

void TestRestObj::classTag()
{
    QCOMPARE(RestObj::classTag("Contact"), QStringLiteral("com.zorvanglobe.phone.integration.Contact"));
}

void TestRestObj::bareObjectWritesOnlyClass()
{
    RestObj obj(QStringLiteral("tag"));
    obj.setErrorMessage(QStringLiteral("not written"));
    QCOMPARE(jsonOf(obj.toVariant()), QByteArray("{ \"class\" : \"tag\" }"));
}

void TestRestObj::readsErrorMembers()
{
    const QVariant reply = parseReply(
        "{\"errorMessage\":\"Invalid request\","
        "\"fieldErrors\":[{\"field\":\"nick\",\"errorCode\":\"duplicate\"},"
        "{\"field\":\"phones\",\"errorCode\":\"empty\"}],"
        "\"fieldHints\":[{\"field\":\"nick\",\"code\":\"length\",\"arguments\":[\"1\",\"64\"]}]}");
    const RestObj obj(QStringLiteral("tag"), reply);
    QCOMPARE(obj.className(), QStringLiteral("tag"));
    QCOMPARE(obj.errorMessage(), QStringLiteral("Invalid request"));
    QCOMPARE(obj.fieldErrors().size(), 2);
    QCOMPARE(obj.fieldErrors().at(0).field, QStringLiteral("nick"));
    QCOMPARE(obj.fieldErrors().at(0).errorCode, QStringLiteral("duplicate"));
    QCOMPARE(obj.fieldErrors().at(1).field, QStringLiteral("phones"));
    QCOMPARE(obj.fieldHints().size(), 1);
    QCOMPARE(obj.fieldHints().at(0).code, QStringLiteral("length"));
    QCOMPARE(obj.fieldHints().at(0).arguments, QStringList({ QStringLiteral("1"), QStringLiteral("64") }));
}

void TestRestObj::errorMembersDefaultToEmpty()
{
    const RestObj obj(QStringLiteral("tag"), parseReply("{\"other\":1}"));
    QVERIFY(obj.errorMessage().isEmpty());
    QVERIFY(obj.fieldErrors().isEmpty());
    QVERIFY(obj.fieldHints().isEmpty());

    const RestObj fromList(QStringLiteral("tag"), parseReply("[1,2]"));
    QVERIFY(fromList.errorMessage().isEmpty());
}

void TestRestObj::malformedErrorEntriesStillCount()
{
    const RestObj obj(QStringLiteral("tag"), parseReply("{\"fieldErrors\":[3,{\"field\":7}]}"));
    QCOMPARE(obj.fieldErrors().size(), 2);
    QVERIFY(obj.fieldErrors().at(0).field.isEmpty());
    QCOMPARE(obj.fieldErrors().at(1).field, QStringLiteral("7"));
}

void TestRestObj::copyDuplicatesErrors()
{
    RestObj original(
        QStringLiteral("tag"), parseReply("{\"errorMessage\":\"e\",\"fieldErrors\":[{\"field\":\"f\"}]}"));
    RestObj copy = original;
    original.setFieldErrors({});
    original.setErrorMessage(QString());
    QCOMPARE(copy.errorMessage(), QStringLiteral("e"));
    QCOMPARE(copy.fieldErrors().size(), 1);
}

QTEST_APPLESS_MAIN(TestRestObj)
#include "tst_restobj.moc"
