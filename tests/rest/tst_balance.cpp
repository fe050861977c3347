#include <QtTest>

#include "rest/balance.h"
#include "replytext.h"

class TestBalance : public QObject
{
    Q_OBJECT

private slots:
    void credit_data();
    void credit();
    void currencyIsUtf8();
    void writesEveryKey();
    void errorOnlyReply();
};

void TestBalance::credit_data()
{
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<double>("credit");

    QTest::newRow("with point") << QByteArray("{\"credit\":12.75}") << 12.75;
    QTest::newRow("integer") << QByteArray("{\"credit\":12}") << 12.0;
    QTest::newRow("negative integer") << QByteArray("{\"credit\":-3}") << -3.0;
    QTest::newRow("as text") << QByteArray("{\"credit\":\"4.5\"}") << 4.5;
    QTest::newRow("missing") << QByteArray("{}") << 0.0;
}

void TestBalance::credit()
{
    QFETCH(QByteArray, reply);
    QFETCH(double, credit);
    QCOMPARE(Balance(parseReply(reply)).credit(), credit);
}

void TestBalance::currencyIsUtf8()
{
    const Balance balance(parseReply("{\"currency\":\"EUR\",\"currencySymbol\":\"\xe2\x82\xac\"}"));
    QCOMPARE(balance.currency(), QStringLiteral("EUR"));
    QCOMPARE(balance.currencySymbol(), QString::fromUtf8("€"));
}

void TestBalance::writesEveryKey()
{
    Balance balance;
    balance.setCredit(1);
    balance.setCurrencySymbol(QString::fromUtf8("€"));
    QCOMPARE(jsonOf(balance.toVariant()),
        QByteArray("{ \"class\" : \"com.zorvanglobe.phone.integration.Balance\", \"credit\" : 1.0, "
                   "\"currency\" : \"\", \"currencySymbol\" : \"\xe2\x82\xac\" }"));
}

void TestBalance::errorOnlyReply()
{
    const Balance balance(parseReply("{\"errorMessage\":\"Account locked\"}"));
    QCOMPARE(balance.errorMessage(), QStringLiteral("Account locked"));
    QCOMPARE(balance.credit(), 0.0);
}

QTEST_APPLESS_MAIN(TestBalance)
#include "tst_balance.moc"
