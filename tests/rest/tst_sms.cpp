#include <QtTest>

#include "rest/sms.h"
#include "replytext.h"

class TestSMS : public QObject
{
    Q_OBJECT

private slots:
    void readsMembers();
    void writesEveryKey();
};

void TestSMS::readsMembers()
{
    const SMS sms(parseReply("{\"destinationNumbers\":[\"+1\",\"+2\"],\"text\":\"Gr\xc3\xbc\xc3\x9f"
                             "e\"}"));
    QCOMPARE(sms.className(), QStringLiteral("com.zorvanglobe.phone.integration.SMS"));
    QCOMPARE(sms.destinationNumbers(), QStringList({ QStringLiteral("+1"), QStringLiteral("+2") }));
    QCOMPARE(sms.text(), QString::fromUtf8("Grüße"));
}

void TestSMS::writesEveryKey()
{
    SMS sms;
    sms.setDestinationNumbers({ QStringLiteral("+1") });
    sms.setText(QStringLiteral("line\nbreak \"quoted\""));
    QCOMPARE(jsonOf(sms.toVariant()),
        QByteArray(
            "{ \"class\" : \"com.zorvanglobe.phone.integration.SMS\", \"destinationNumbers\" : [ \"+1\" ], "
            "\"text\" : \"line\\nbreak \\\"quoted\\\"\" }"));
}

QTEST_APPLESS_MAIN(TestSMS)
#include "tst_sms.moc"
