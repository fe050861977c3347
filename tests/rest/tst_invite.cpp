#include <QtTest>

#include "rest/invite.h"
#include "replytext.h"

class TestInvite : public QObject
{
    Q_OBJECT

private slots:
    void defaults();
    void readsEveryMember();
    void writesEveryKey();
};

void TestInvite::defaults()
{
    const Invite invite;
    QCOMPARE(invite.className(), QStringLiteral("com.zorvanglobe.phone.integration.Invite"));
    QCOMPARE(invite.numberOfContacts(), 0);
    QVERIFY(!invite.showNumberOfContacts());
    QVERIFY(!invite.showVoicemailDetails());
}

void TestInvite::readsEveryMember()
{
    const Invite invite(parseReply(
        "{\"fromEmail\":\"me@x.test\",\"toEmails\":[\"a@x.test\",\"b@x.test\"],\"fullName\":\"Zo\xc3\xab\","
        "\"userSubject\":\"Hi\",\"userMessage\":\"Join \xe2\x82\xac\",\"showNumberOfContacts\":true,"
        "\"numberOfContacts\":12,\"showCityOrCountry\":true,\"showPhoneNumber\":false,"
        "\"showVeskShopDetails\":true,"
        "\"showVeskNumbersDetails\":true,\"showCallForwardingDetails\":true,\"showVoicemailDetails\":true}"));
    QCOMPARE(invite.fromEmail(), QStringLiteral("me@x.test"));
    QCOMPARE(invite.toEmails(), QStringList({ QStringLiteral("a@x.test"), QStringLiteral("b@x.test") }));
    QCOMPARE(invite.fullName(), QString::fromUtf8("Zoë"));
    QCOMPARE(invite.userSubject(), QStringLiteral("Hi"));
    QCOMPARE(invite.userMessage(), QString::fromUtf8("Join €"));
    QVERIFY(invite.showNumberOfContacts());
    QCOMPARE(invite.numberOfContacts(), 12);
    QVERIFY(invite.showCityOrCountry());
    QVERIFY(!invite.showPhoneNumber());
    QVERIFY(invite.showVeskShopDetails());
    QVERIFY(invite.showVeskNumbersDetails());
    QVERIFY(invite.showCallForwardingDetails());
    QVERIFY(invite.showVoicemailDetails());
}

void TestInvite::writesEveryKey()
{
    Invite invite;
    invite.setNumberOfContacts(3);
    invite.setShowPhoneNumber(true);
    const QByteArray text = jsonOf(invite.toVariant());
    QCOMPARE(text,
        QByteArray(
            "{ \"class\" : \"com.zorvanglobe.phone.integration.Invite\", \"fromEmail\" : \"\", "
            "\"fullName\" : \"\", \"numberOfContacts\" : 3, \"showCallForwardingDetails\" : false, "
            "\"showCityOrCountry\" : false, \"showNumberOfContacts\" : false, \"showPhoneNumber\" : true, "
            "\"showVeskNumbersDetails\" : false, \"showVeskShopDetails\" : false, "
            "\"showVoicemailDetails\" : false, \"toEmails\" : [  ], \"userMessage\" : \"\", "
            "\"userSubject\" : \"\" }"));
}

QTEST_APPLESS_MAIN(TestInvite)
#include "tst_invite.moc"
