#include <QtTest>

#include "rest/restfields.h"

class TestRestFields : public QObject
{
    Q_OBJECT

private slots:
    void decodeUtf8Bytes_data();
    void decodeUtf8Bytes();
    void asIsTakesNumbersAsText_data();
    void asIsTakesNumbersAsText();
    void missingMembers();
    void stringList();
};

void TestRestFields::decodeUtf8Bytes_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");

    QTest::newRow("ASCII") << QStringLiteral("Anna") << QStringLiteral("Anna");
    QTest::newRow("empty") << QString() << QString();
    QTest::newRow("two-byte letter") << QString::fromLatin1("Ren\xc3\xa9") << QString::fromUtf8("René");
    QTest::newRow("three-byte sign") << QString::fromLatin1("\xe2\x82\xac") << QString::fromUtf8("€");
    QTest::newRow("four-byte emoji") << QString::fromLatin1("\xf0\x9f\x98\x80") << QString::fromUtf8("😀");
    QTest::newRow("wide character becomes ?") << QString::fromUtf8("a€b") << QStringLiteral("a?b");
    QTest::newRow("invalid UTF-8 replaced")
        << QString::fromLatin1("a\xe9z") << QString::fromUtf8("a\xef\xbf\xbdz");
}

void TestRestFields::decodeUtf8Bytes()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QCOMPARE(restfields::decodeUtf8Bytes(text), expected);
}

void TestRestFields::asIsTakesNumbersAsText_data()
{
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<QString>("expected");

    QTest::newRow("unsigned") << QVariant(qulonglong(4915112345678ull)) << QStringLiteral("4915112345678");
    QTest::newRow("signed") << QVariant(qlonglong(-12)) << QStringLiteral("-12");
    QTest::newRow("double") << QVariant(2.5) << QStringLiteral("2.5");
    QTest::newRow("text") << QVariant(QStringLiteral("x")) << QStringLiteral("x");
    QTest::newRow("null") << QVariant() << QString();
}

void TestRestFields::asIsTakesNumbersAsText()
{
    QFETCH(QVariant, value);
    QFETCH(QString, expected);
    QVariantMap map;
    map.insert(QStringLiteral("k"), value);
    QCOMPARE(restfields::asIs(map, QStringLiteral("k")), expected);
}

void TestRestFields::missingMembers()
{
    const QVariantMap empty;
    QVERIFY(restfields::asIs(empty, QStringLiteral("k")).isEmpty());
    QVERIFY(restfields::utf8(empty, QStringLiteral("k")).isEmpty());
    QVERIFY(restfields::stringList(empty, QStringLiteral("k")).isEmpty());
}

void TestRestFields::stringList()
{
    QVariantMap map;
    map.insert(QStringLiteral("k"), QVariantList { QStringLiteral("a"), qulonglong(5) });
    QCOMPARE(restfields::stringList(map, QStringLiteral("k")),
        QStringList({ QStringLiteral("a"), QStringLiteral("5") }));
}

QTEST_APPLESS_MAIN(TestRestFields)
#include "tst_restfields.moc"
