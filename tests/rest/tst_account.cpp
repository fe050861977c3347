#include <QtTest>

#include "rest/account.h"
#include "replytext.h"

class TestAccount : public QObject
{
    Q_OBJECT

private slots:
    void readsEveryMember();
    void textIsTakenAsIs();
    void writesEveryKey();
    void errorMembersReadWithRecord();
    void missingMembersAreEmpty();
};

void TestAccount::readsEveryMember()
{
    const Account account(parseReply(
        "[{\"companyId\":\"c1\",\"country\":\"DE\",\"emails\":[\"a@x.test\"],\"language\":\"de\","
        "\"lastName\":\"Berg\","
        "\"firstName\":\"Anna\",\"username\":\"anna\",\"password\":\"pw\",\"sipDomain\":\"voice.test\","
        "\"sipUser\":\"4711\",\"sipPassword\":\"sp\",\"phones\":[\"+49301234\",\"+49305678\"]}]")
                              .toList()
                              .first());
    QCOMPARE(account.className(), QStringLiteral("com.zorvanglobe.phone.integration.Account"));
    QCOMPARE(account.companyId(), QStringLiteral("c1"));
    QCOMPARE(account.country(), QStringLiteral("DE"));
    QCOMPARE(account.emails(), QStringList({ QStringLiteral("a@x.test") }));
    QCOMPARE(account.language(), QStringLiteral("de"));
    QCOMPARE(account.lastName(), QStringLiteral("Berg"));
    QCOMPARE(account.firstName(), QStringLiteral("Anna"));
    QCOMPARE(account.username(), QStringLiteral("anna"));
    QCOMPARE(account.password(), QStringLiteral("pw"));
    QCOMPARE(account.sipDomain(), QStringLiteral("voice.test"));
    QCOMPARE(account.sipUser(), QStringLiteral("4711"));
    QCOMPARE(account.sipPassword(), QStringLiteral("sp"));
    QCOMPARE(account.phones(), QStringList({ QStringLiteral("+49301234"), QStringLiteral("+49305678") }));
}

// The UTF-8 bytes of "Café" stay five characters here, unlike in a group name.
void TestAccount::textIsTakenAsIs()
{
    const Account account(parseReply("{\"firstName\":\"Caf\xc3\xa9\",\"sipUser\":4711}"));
    QCOMPARE(account.firstName().size(), 5);
    QCOMPARE(account.firstName(), QString::fromLatin1("Caf\xc3\xa9"));
    QCOMPARE(account.sipUser(), QStringLiteral("4711"));
}

void TestAccount::writesEveryKey()
{
    Account account;
    account.setUsername(QStringLiteral("anna"));
    const QVariantMap map = account.toVariant().toMap();
    QCOMPARE(map.keys(),
        QStringList({ QStringLiteral("class"), QStringLiteral("companyId"), QStringLiteral("country"),
            QStringLiteral("emails"), QStringLiteral("firstName"), QStringLiteral("language"),
            QStringLiteral("lastName"), QStringLiteral("password"), QStringLiteral("phones"),
            QStringLiteral("sipDomain"), QStringLiteral("sipPassword"), QStringLiteral("sipUser"),
            QStringLiteral("username") }));
    const QByteArray text = jsonOf(map);
    QVERIFY(text.contains("\"emails\" : [  ]"));
    QVERIFY(text.contains("\"username\" : \"anna\""));
    QVERIFY(text.contains("\"companyId\" : \"\""));
}

void TestAccount::errorMembersReadWithRecord()
{
    const Account account(
        parseReply("{\"username\":\"anna\",\"errorMessage\":\"Wrong user\","
                   "\"fieldErrors\":[{\"field\":\"password\",\"errorCode\":\"invalid\"}],"
                   "\"fieldHints\":[{\"field\":\"password\",\"code\":\"min\",\"arguments\":[\"8\"]}]}"));
    QCOMPARE(account.username(), QStringLiteral("anna"));
    QCOMPARE(account.errorMessage(), QStringLiteral("Wrong user"));
    QCOMPARE(account.fieldErrors().size(), 1);
    QCOMPARE(account.fieldErrors().at(0).field, QStringLiteral("password"));
    QCOMPARE(account.fieldHints().size(), 1);
    QCOMPARE(account.fieldHints().at(0).arguments, QStringList({ QStringLiteral("8") }));
}

void TestAccount::missingMembersAreEmpty()
{
    const Account account(parseReply("{}"));
    QVERIFY(account.username().isEmpty());
    QVERIFY(account.phones().isEmpty());
    QVERIFY(account.errorMessage().isEmpty());
}

QTEST_APPLESS_MAIN(TestAccount)
#include "tst_account.moc"
