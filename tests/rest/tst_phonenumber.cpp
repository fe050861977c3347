#include <QtTest>

#include "rest/phonenumber.h"
#include "replytext.h"

class TestPhoneNumber : public QObject
{
    Q_OBJECT

private slots:
    void defaults();
    void readType_data();
    void readType();
    void setType_data();
    void setType();
    void setTypeNameDerivesType();
    void writesOnlyClassTypeAndNumber();
    void numberSentAsNumberIsText();
};

void TestPhoneNumber::defaults()
{
    const PhoneNumber phone;
    QCOMPARE(phone.className(), QStringLiteral("com.zorvanglobe.phone.integration.PhoneNumber"));
    QCOMPARE(phone.type(), PhoneNumber::Home);
    QCOMPARE(phone.typeName(), QStringLiteral("HOME"));
    QVERIFY(phone.number().isEmpty());
}

void TestPhoneNumber::readType_data()
{
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("typeName");

    QTest::newRow("CELL") << QByteArray("{\"type\":\"CELL\"}") << int(PhoneNumber::Cell)
                          << QStringLiteral("CELL");
    QTest::newRow("WORK") << QByteArray("{\"type\":\"WORK\"}") << int(PhoneNumber::Work)
                          << QStringLiteral("WORK");
    QTest::newRow("HOME") << QByteArray("{\"type\":\"HOME\"}") << int(PhoneNumber::Home)
                          << QStringLiteral("HOME");
    QTest::newRow("cell in lower case")
        << QByteArray("{\"type\":\"cell\"}") << int(PhoneNumber::Home) << QStringLiteral("cell");
    QTest::newRow("FAX") << QByteArray("{\"type\":\"FAX\"}") << int(PhoneNumber::Home)
                         << QStringLiteral("FAX");
    QTest::newRow("CELL with blank") << QByteArray("{\"type\":\"CELL \"}") << int(PhoneNumber::Home)
                                     << QStringLiteral("CELL ");
    QTest::newRow("missing") << QByteArray("{\"number\":\"1\"}") << int(PhoneNumber::Home) << QString();
}

void TestPhoneNumber::readType()
{
    QFETCH(QByteArray, reply);
    QFETCH(int, type);
    QFETCH(QString, typeName);

    const PhoneNumber phone(parseReply(reply));
    QCOMPARE(int(phone.type()), type);
    QCOMPARE(phone.typeName(), typeName);
    // Whatever was received goes back unchanged.
    QCOMPARE(phone.toVariant().toMap().value(QStringLiteral("type")).toString(), typeName);
}

void TestPhoneNumber::setType_data()
{
    QTest::addColumn<int>("value");
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("typeName");

    QTest::newRow("0") << 0 << int(PhoneNumber::Home) << QStringLiteral("HOME");
    QTest::newRow("1") << 1 << int(PhoneNumber::Work) << QStringLiteral("WORK");
    QTest::newRow("2") << 2 << int(PhoneNumber::Cell) << QStringLiteral("CELL");
    QTest::newRow("3") << 3 << int(PhoneNumber::Home) << QStringLiteral("HOME");
    QTest::newRow("-1") << -1 << int(PhoneNumber::Home) << QStringLiteral("HOME");
}

void TestPhoneNumber::setType()
{
    QFETCH(int, value);
    QFETCH(int, type);
    QFETCH(QString, typeName);

    PhoneNumber phone(parseReply("{\"type\":\"FAX\"}"));
    phone.setType(value);
    QCOMPARE(int(phone.type()), type);
    QCOMPARE(phone.typeName(), typeName);
}

void TestPhoneNumber::setTypeNameDerivesType()
{
    PhoneNumber phone;
    phone.setTypeName(QStringLiteral("WORK"));
    QCOMPARE(phone.type(), PhoneNumber::Work);
    phone.setTypeName(QStringLiteral("Pager"));
    QCOMPARE(phone.type(), PhoneNumber::Home);
    QCOMPARE(phone.typeName(), QStringLiteral("Pager"));
}

void TestPhoneNumber::writesOnlyClassTypeAndNumber()
{
    PhoneNumber phone(parseReply("{\"type\":\"CELL\",\"number\":\"+4915112345678\",\"errorMessage\":\"x\"}"));
    QCOMPARE(phone.errorMessage(), QStringLiteral("x"));
    QCOMPARE(jsonOf(phone.toVariant()),
        QByteArray("{ \"class\" : \"com.zorvanglobe.phone.integration.PhoneNumber\", \"number\" : "
                   "\"+4915112345678\", "
                   "\"type\" : \"CELL\" }"));
}

void TestPhoneNumber::numberSentAsNumberIsText()
{
    const PhoneNumber phone(parseReply("{\"number\":4915112345678}"));
    QCOMPARE(phone.number(), QStringLiteral("4915112345678"));
}

QTEST_APPLESS_MAIN(TestPhoneNumber)
#include "tst_phonenumber.moc"
