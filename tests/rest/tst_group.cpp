#include <QtTest>

#include "rest/group.h"
#include "replytext.h"

class TestGroup : public QObject
{
    Q_OBJECT

private slots:
    void constructors();
    void nameIsUtf8_data();
    void nameIsUtf8();
    void writesClassAndName();
    void errorMembersReadWithRecord();
};

void TestGroup::constructors()
{
    QCOMPARE(Group().name(), QString());
    QCOMPARE(Group("Friends").name(), QStringLiteral("Friends"));
    QCOMPARE(Group(QStringLiteral("Work")).name(), QStringLiteral("Work"));
    QCOMPARE(Group().className(), QStringLiteral("com.zorvanglobe.phone.integration.Group"));
}

void TestGroup::nameIsUtf8_data()
{
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<QString>("name");

    QTest::newRow("accented") << QByteArray("{\"name\":\"Caf\xc3\xa9\"}") << QString::fromUtf8("Café");
    QTest::newRow("cyrillic") << QByteArray("{\"name\":\"\xd0\x94\xd1\x80\xd1\x83\xd0\xb7\xd1\x8c\xd1\x8f\"}")
                              << QString::fromUtf8("Друзья");
    QTest::newRow("escaped in reply")
        << QByteArray("{\"name\":\"Caf\\u00c3\\u00a9\"}") << QString::fromUtf8("Café");
    QTest::newRow("number") << QByteArray("{\"name\":2024}") << QStringLiteral("2024");
    QTest::newRow("missing") << QByteArray("{}") << QString();
}

void TestGroup::nameIsUtf8()
{
    QFETCH(QByteArray, reply);
    QFETCH(QString, name);

    const Group group(parseReply(reply));
    QCOMPARE(group.name(), name);
}

void TestGroup::writesClassAndName()
{
    QCOMPARE(jsonOf(Group(QString::fromUtf8("Café")).toVariant()),
        QByteArray(
            "{ \"class\" : \"com.zorvanglobe.phone.integration.Group\", \"name\" : \"Caf\xc3\xa9\" }"));
}

void TestGroup::errorMembersReadWithRecord()
{
    const Group group(parseReply("{\"name\":\"Family\",\"errorMessage\":\"Group exists\"}"));
    QCOMPARE(group.name(), QStringLiteral("Family"));
    QCOMPARE(group.errorMessage(), QStringLiteral("Group exists"));
}

QTEST_APPLESS_MAIN(TestGroup)
#include "tst_group.moc"
