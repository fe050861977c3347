#include <cmath>
#include <limits>

#include <QDate>
#include <QPoint>
#include <QRandomGenerator>
#include <QStringList>
#include <QUrl>
#include <QVariantHash>
#include <QtTest>

#include "rest/jsoncodec.h"
#include "samevariant.h"

namespace {

QVariantMap map(std::initializer_list<std::pair<QString, QVariant>> members)
{
    QVariantMap m;
    for (const auto &member : members)
        m.insert(member.first, member.second);
    return m;
}

QVariant u(qulonglong v)
{
    return QVariant(v);
}

QVariant s(qlonglong v)
{
    return QVariant(v);
}

QString describe(const QVariant &value)
{
    bool ok = false;
    const QByteArray text = JsonCodec::serialize(value, ok);
    return QString::fromUtf8(text) + QLatin1String(" <") + QLatin1String(value.typeName()) + QLatin1Char('>');
}

QString nested(int depth, const QString &open, const QString &inner, const QString &close)
{
    return open.repeated(depth) + inner + close.repeated(depth);
}

// Values of exactly the kinds the parser produces, for the round trip.
class VariantGenerator
{
public:
    explicit VariantGenerator(quint32 seed) : random(seed) { }

    QVariant value(int depth)
    {
        const int kind = int(random.bounded(depth > 3 ? 6 : 8));
        switch (kind) {
        case 0:
            return QVariant();
        case 1:
            return random.bounded(2) == 1;
        case 2:
            return text();
        case 3:
            return unsignedNumber();
        case 4:
            return signedNumber();
        case 5:
            return doubleNumber();
        case 6: {
            QVariantList list;
            const int n = int(random.bounded(5));
            for (int i = 0; i < n; ++i)
                list.append(value(depth + 1));
            return list;
        }
        default: {
            QVariantMap m;
            const int n = int(random.bounded(5));
            for (int i = 0; i < n; ++i)
                m.insert(text(), value(depth + 1));
            return m;
        }
        }
    }

private:
    QString text()
    {
        static const ushort pool[] = { 'a', 'Z', '0', ' ', '"', '\\', '/', '\b', '\f', '\n', '\r', '\t', 0x01,
            0x1f, 0x7f, 0xe9, 0xff, 0x100, 0x416, 0x20ac, 0xfeff, 0xfffd };
        QString t = QStringLiteral("");
        const int n = int(random.bounded(12));
        for (int i = 0; i < n; ++i) {
            const quint32 pick = random.bounded(30);
            if (pick < sizeof pool / sizeof pool[0]) {
                t.append(QChar(pool[pick]));
            } else if (pick < 27) {
                t.append(QChar(ushort(0x20 + random.bounded(0x5f))));
            } else if (pick < 29) {
                t.append(QChar(ushort(0xd83d)));
                t.append(QChar(ushort(0xde00 + random.bounded(0x40))));
            } else {
                // A lone surrogate, as a \u escape in a reply can produce.
                t.append(QChar(ushort(0xd800 + random.bounded(0x800))));
            }
        }
        return t;
    }

    QVariant unsignedNumber()
    {
        switch (random.bounded(3)) {
        case 0:
            return qulonglong(random.bounded(1000));
        case 1:
            return qulonglong(random.generate64());
        default:
            return std::numeric_limits<qulonglong>::max();
        }
    }

    // The parser makes a qlonglong only from text starting with '-'.
    QVariant signedNumber()
    {
        switch (random.bounded(3)) {
        case 0:
            return -qlonglong(random.bounded(1000)) - 1;
        case 1:
            return -qlonglong(random.generate64() >> 1) - 1;
        default:
            return std::numeric_limits<qlonglong>::min();
        }
    }

    QVariant doubleNumber()
    {
        switch (random.bounded(5)) {
        case 0:
            return double(qint32(random.generate())) / 64.0;
        case 1:
            return std::pow(10.0, double(int(random.bounded(60)) - 30)) * double(random.bounded(10) + 1);
        case 2:
            return random.generateDouble() * 1000.0;
        case 3:
            return std::ldexp(1.0, int(random.bounded(2100)) - 1074);
        default: {
            double d = 0;
            do {
                const quint64 bits = random.generate64();
                std::memcpy(&d, &bits, sizeof d);
            } while (!std::isfinite(d));
            return d;
        }
        }
    }

    QRandomGenerator random;
};

} // namespace

class TestJsonCodec : public QObject
{
    Q_OBJECT

private slots:
    void parse_data();
    void parse();
    void parseNullText();
    void parseKeepsKeysInCodeUnitOrder();
    void parseEmptyStringIsNotNull();
    void parseSkipsTrailingText();
    void nestingLimit_data();
    void nestingLimit();
    void serialize_data();
    void serialize();
    void serializeWithoutFlag();
    void roundTripRandomValues();
    void roundTripThroughReplyBytes();
};

void TestJsonCodec::parse_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QVariant>("expected");

    // Whole text
    QTest::newRow("empty text fails") << QStringLiteral("") << false << QVariant();
    QTest::newRow("blank text fails") << QStringLiteral(" \t\r\n") << false << QVariant();
    QTest::newRow("trailing text ignored")
        << QStringLiteral("{\"a\":1} trailing text") << true << QVariant(map({ { "a", u(1) } }));
    QTest::newRow("second value ignored")
        << QStringLiteral("[1] [2]") << true << QVariant(QVariantList { u(1) });
    QTest::newRow("closing bracket first") << QStringLiteral("]") << false << QVariant();
    QTest::newRow("comma first") << QStringLiteral(",1") << false << QVariant();
    QTest::newRow("colon first") << QStringLiteral(":") << false << QVariant();
    QTest::newRow("plus does not start a number") << QStringLiteral("+1") << false << QVariant();
    QTest::newRow("point does not start a number") << QStringLiteral(".5") << false << QVariant();
    QTest::newRow("bare word") << QStringLiteral("hello") << false << QVariant();

    // Literals
    QTest::newRow("true") << QStringLiteral("true") << true << QVariant(true);
    QTest::newRow("false") << QStringLiteral(" false ") << true << QVariant(false);
    QTest::newRow("null") << QStringLiteral("null") << true << QVariant();
    QTest::newRow("tru") << QStringLiteral("tru") << false << QVariant();
    QTest::newRow("fals") << QStringLiteral("fals") << false << QVariant();
    QTest::newRow("nul") << QStringLiteral("nul") << false << QVariant();
    QTest::newRow("truex") << QStringLiteral("truex") << true << QVariant(true);
    QTest::newRow("True") << QStringLiteral("True") << false << QVariant();
    QTest::newRow("null in array") << QStringLiteral("[null,true]") << true
                                   << QVariant(QVariantList { QVariant(), true });

    // Objects
    QTest::newRow("empty object") << QStringLiteral("{}") << true << QVariant(QVariantMap());
    QTest::newRow("empty object spaced") << QStringLiteral("{  }") << true << QVariant(QVariantMap());
    QTest::newRow("duplicate key keeps the last")
        << QStringLiteral("{\"a\":1,\"a\":2}") << true << QVariant(map({ { "a", u(2) } }));
    QTest::newRow("members without comma")
        << QStringLiteral("{\"a\":1 \"b\":2}") << true << QVariant(map({ { "a", u(1) }, { "b", u(2) } }));
    QTest::newRow("stray commas") << QStringLiteral("{,\"a\":1,,}") << true
                                  << QVariant(map({ { "a", u(1) } }));
    QTest::newRow("spaces everywhere")
        << QStringLiteral(" { \"a\" : [ 1 , 2 ] , \"b\" : { } } ") << true
        << QVariant(map({ { "a", QVariantList { u(1), u(2) } }, { "b", QVariantMap() } }));
    QTest::newRow("unterminated object") << QStringLiteral("{\"a\":1") << false << QVariant(QVariantMap());
    QTest::newRow("missing colon") << QStringLiteral("{\"a\" 1}") << false << QVariant(QVariantMap());
    QTest::newRow("missing value") << QStringLiteral("{\"a\":}") << false << QVariant(QVariantMap());
    QTest::newRow("unquoted key") << QStringLiteral("{a:1}") << false << QVariant(QVariantMap());
    QTest::newRow("number key") << QStringLiteral("{1:2}") << false << QVariant(QVariantMap());
    QTest::newRow("failed member empties the object")
        << QStringLiteral("{\"a\":1,\"b\":tru}") << false << QVariant(QVariantMap());
    QTest::newRow("empty key") << QStringLiteral("{\"\":1}") << true << QVariant(map({ { "", u(1) } }));

    // Arrays
    QTest::newRow("empty array") << QStringLiteral("[]") << true << QVariant(QVariantList());
    QTest::newRow("empty array spaced") << QStringLiteral("[  ]") << true << QVariant(QVariantList());
    QTest::newRow("stray commas in array")
        << QStringLiteral("[,1,,2,]") << true << QVariant(QVariantList { u(1), u(2) });
    QTest::newRow("unterminated array") << QStringLiteral("[1,2") << false << QVariant(QVariantList());
    QTest::newRow("colon in array") << QStringLiteral("[1:2]") << false << QVariant(QVariantList());
    QTest::newRow("object close in array") << QStringLiteral("[1}") << false << QVariant(QVariantList());
    QTest::newRow("mixed") << QStringLiteral("[1, -2, 3.5, 1e5]") << true
                           << QVariant(QVariantList { u(1), s(-2), 3.5, u(0) });

    // Strings
    QTest::newRow("plain string") << QStringLiteral("\"abc\"") << true << QVariant(QStringLiteral("abc"));
    QTest::newRow("escapes") << QStringLiteral("\"a\\\"b\\\\c\\/d\\b\\f\\n\\r\\t\"") << true
                             << QVariant(QStringLiteral("a\"b\\c/d\b\f\n\r\t"));
    QTest::newRow("u escape") << QStringLiteral("\"\\u00e9\"") << true << QVariant(QString(QChar(0xe9)));
    QTest::newRow("u escape upper case")
        << QStringLiteral("\"\\u00E9x\"") << true << QVariant(QString(QChar(0xe9)) + QLatin1Char('x'));
    QTest::newRow("u escape surrogate pair")
        << QStringLiteral("\"\\ud83d\\ude00\"") << true << QVariant(QString::fromUtf8("\xf0\x9f\x98\x80"));
    QTest::newRow("u escape not hex gives U+0000")
        << QStringLiteral("\"\\uzzzz\"") << true << QVariant(QString(QChar(0)));
    QTest::newRow("u escape eats the quote")
        << QStringLiteral("\"\\u12\" ab\"") << true << QVariant(QString(QChar(0)) + QLatin1String("ab"));
    QTest::newRow("u escape too short") << QStringLiteral("\"\\u12\"") << false << QVariant();
    QTest::newRow("u escape at end") << QStringLiteral("\"\\u") << false << QVariant();
    QTest::newRow("unknown escape dropped")
        << QStringLiteral("\"\\x\"") << true << QVariant(QStringLiteral(""));
    QTest::newRow("unknown escape between text")
        << QStringLiteral("\"a\\qb\"") << true << QVariant(QStringLiteral("ab"));
    QTest::newRow("backslash at end") << QStringLiteral("\"ab\\") << false << QVariant();
    QTest::newRow("unterminated string") << QStringLiteral("\"abc") << false << QVariant();
    QTest::newRow("unterminated in array") << QStringLiteral("[\"abc]") << false << QVariant(QVariantList());
    QTest::newRow("non-ASCII kept") << QString::fromUtf8("\"Zoë Ünal 中文\"") << true
                                    << QVariant(QString::fromUtf8("Zoë Ünal 中文"));
    QTest::newRow("raw control characters kept")
        << QString::fromUtf8("\"a\x01\tb\"") << true << QVariant(QString::fromUtf8("a\x01\tb"));

    // Number runs
    QTest::newRow("zero") << QStringLiteral("0") << true << u(0);
    QTest::newRow("leading zeros") << QStringLiteral("007") << true << u(7);
    QTest::newRow("minus zero") << QStringLiteral("-0") << true << s(0);
    QTest::newRow("minus alone") << QStringLiteral("-") << true << s(0);
    QTest::newRow("1-2") << QStringLiteral("1-2") << true << u(0);
    QTest::newRow("-1-2") << QStringLiteral("-1-2") << true << s(0);
    QTest::newRow("1e5") << QStringLiteral("1e5") << true << u(0);
    QTest::newRow("1e+5e") << QStringLiteral("1e+5e") << true << u(0);
    QTest::newRow("1.0e5") << QStringLiteral("1.0e5") << true << QVariant(100000.0);
    QTest::newRow("-1.5E-2") << QStringLiteral("-1.5E-2") << true << QVariant(-0.015);
    QTest::newRow("1.5.5") << QStringLiteral("1.5.5") << true << QVariant(0.0);
    QTest::newRow("1.") << QStringLiteral("1.") << true << QVariant(1.0);
    QTest::newRow("-0.0") << QStringLiteral("-0.0") << true << QVariant(-0.0);
    QTest::newRow("overflowing double") << QStringLiteral("1.0e999") << true << QVariant(0.0);
    QTest::newRow("largest unsigned")
        << QStringLiteral("18446744073709551615") << true << u(std::numeric_limits<qulonglong>::max());
    QTest::newRow("unsigned overflow") << QStringLiteral("18446744073709551616") << true << u(0);
    QTest::newRow("19 digits") << QStringLiteral("9999999999999999999") << true << u(9999999999999999999ull);
    QTest::newRow("smallest signed") << QStringLiteral("-9223372036854775808") << true
                                     << s(std::numeric_limits<qlonglong>::min());
    QTest::newRow("signed overflow") << QStringLiteral("-9223372036854775809") << true << s(0);
    QTest::newRow("18 digits negative")
        << QStringLiteral("-999999999999999999") << true << s(-999999999999999999ll);
    QTest::newRow("number then letters") << QStringLiteral("12abc") << true << u(12);
    QTest::newRow("number ends at comma")
        << QStringLiteral("[12,3]") << true << QVariant(QVariantList { u(12), u(3) });
}

void TestJsonCodec::parse()
{
    QFETCH(QString, text);
    QFETCH(bool, ok);
    QFETCH(QVariant, expected);

    bool parsedOk = !ok;
    const QVariant value = JsonCodec::parse(text, parsedOk);
    QCOMPARE(parsedOk, ok);
    QVERIFY2(sameVariant(value, expected),
        qPrintable(describe(value) + QLatin1String(" != ") + describe(expected)));
}

void TestJsonCodec::parseNullText()
{
    bool ok = false;
    const QVariant value = JsonCodec::parse(QString(), ok);
    QVERIFY(ok);
    QVERIFY(!value.isValid());
}

void TestJsonCodec::parseKeepsKeysInCodeUnitOrder()
{
    bool ok = false;
    const QVariant value = JsonCodec::parse(QString::fromUtf8("{\"b\":1,\"é\":2,\"a\":3,\"B\":4}"), ok);
    QVERIFY(ok);
    QCOMPARE(value.toMap().keys(),
        QStringList(
            { QStringLiteral("B"), QStringLiteral("a"), QStringLiteral("b"), QString::fromUtf8("é") }));
}

void TestJsonCodec::parseEmptyStringIsNotNull()
{
    bool ok = false;
    const QVariant value = JsonCodec::parse(QStringLiteral("\"\""), ok);
    QVERIFY(ok);
    QCOMPARE(value.userType(), int(QMetaType::QString));
    QVERIFY(!value.toString().isNull());
    QVERIFY(!value.isNull());
}

void TestJsonCodec::parseSkipsTrailingText()
{
    bool ok = false;
    const QVariant value = JsonCodec::parse(QStringLiteral("\"a\" , \"b\""), ok);
    QVERIFY(ok);
    QCOMPARE(value.toString(), QStringLiteral("a"));
}

void TestJsonCodec::nestingLimit_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("ok");

    const int limit = JsonCodec::maxDepth;
    QTest::newRow("arrays at the limit") << nested(limit, "[", "1", "]") << true;
    QTest::newRow("arrays past the limit") << nested(limit + 1, "[", "1", "]") << false;
    QTest::newRow("objects at the limit") << nested(limit, "{\"a\":", "1", "}") << true;
    QTest::newRow("objects past the limit") << nested(limit + 1, "{\"a\":", "1", "}") << false;
    QTest::newRow("mixed past the limit") << nested(limit / 2 + 1, "[{\"k\":", "1", "}]") << false;
    QTest::newRow("100000 open brackets") << QString(100000, QLatin1Char('[')) << false;
    QTest::newRow("100000 open objects") << QStringLiteral("{\"a\":").repeated(100000) << false;
    QTest::newRow("siblings are not depth")
        << QStringLiteral("[[]") + QStringLiteral(",[]").repeated(5000) + QStringLiteral("]") << true;
}

void TestJsonCodec::nestingLimit()
{
    QFETCH(QString, text);
    QFETCH(bool, ok);

    bool parsedOk = !ok;
    const QVariant value = JsonCodec::parse(text, parsedOk);
    QCOMPARE(parsedOk, ok);
    if (!ok)
        QVERIFY(value.toList().isEmpty() && value.toMap().isEmpty());
}

void TestJsonCodec::serialize_data()
{
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QByteArray>("expected");

    QTest::newRow("invalid is null") << QVariant() << true << QByteArray("null");
    QTest::newRow("empty list") << QVariant(QVariantList()) << true << QByteArray("[  ]");
    QTest::newRow("empty string list") << QVariant(QStringList()) << true << QByteArray("[  ]");
    QTest::newRow("empty map") << QVariant(QVariantMap()) << true << QByteArray("{  }");
    QTest::newRow("keys in order") << QVariant(map({ { "b", 2 }, { "a", 1 } })) << true
                                   << QByteArray("{ \"a\" : 1, \"b\" : 2 }");
    QTest::newRow("upper case first") << QVariant(map({ { "a", true }, { "B", false } })) << true
                                      << QByteArray("{ \"B\" : false, \"a\" : true }");
    QTest::newRow("list") << QVariant(QVariantList { 1, QStringLiteral("x"), true, QVariant() }) << true
                          << QByteArray("[ 1, \"x\", true, null ]");
    QTest::newRow("string list") << QVariant(QStringList { QStringLiteral("a"), QStringLiteral("b\"") })
                                 << true << QByteArray("[ \"a\", \"b\\\"\" ]");
    QTest::newRow("nested") << QVariant(map({ { "l", QVariantList { QVariantMap(), QVariantList() } } }))
                            << true << QByteArray("{ \"l\" : [ {  }, [  ] ] }");

    QTest::newRow("quote backslash line feed")
        << QVariant(QStringLiteral("\"\\\n/")) << true << QByteArray("\"\\\"\\\\\\n/\"");
    QTest::newRow("control escapes") << QVariant(QStringLiteral("\b\f\r\t")) << true
                                     << QByteArray("\"\\b\\f\\r\\t\"");
    QTest::newRow("other controls raw")
        << QVariant(QString(QChar(1)) + QChar(0x1f)) << true << QByteArray("\"\x01\x1f\"");
    QTest::newRow("non-ASCII as UTF-8") << QVariant(QString::fromUtf8("é€😀")) << true
                                        << QByteArray("\"\xc3\xa9\xe2\x82\xac\xf0\x9f\x98\x80\"");
    QTest::newRow("lone surrogate escaped")
        << QVariant(QString(QChar(0xd800)) + QLatin1Char('a')) << true << QByteArray("\"\\ud800a\"");
    QTest::newRow("reversed surrogates escaped")
        << QVariant(QString(QChar(0xde00)) + QChar(0xd83d)) << true << QByteArray("\"\\ude00\\ud83d\"");
    QTest::newRow("empty string") << QVariant(QStringLiteral("")) << true << QByteArray("\"\"");
    QTest::newRow("null string") << QVariant(QString()) << true << QByteArray("\"\"");
    QTest::newRow("byte array") << QVariant(QByteArray("a\"b")) << true << QByteArray("\"a\\\"b\"");

    QTest::newRow("double 1") << QVariant(1.0) << true << QByteArray("1.0");
    QTest::newRow("double 0") << QVariant(0.0) << true << QByteArray("0.0");
    // QByteArray::number drops the sign of zero; -0.0 and 0.0 compare equal anyway.
    QTest::newRow("double -0") << QVariant(-0.0) << true << QByteArray("0.0");
    QTest::newRow("double 0.1") << QVariant(0.1) << true << QByteArray("0.10000000000000000555");
    QTest::newRow("double 3.5") << QVariant(3.5) << true << QByteArray("3.5");
    QTest::newRow("double 100") << QVariant(100.0) << true << QByteArray("100.0");
    QTest::newRow("double 1e19") << QVariant(1e19) << true << QByteArray("10000000000000000000.0");
    QTest::newRow("double 1e20 keeps a point") << QVariant(1e20) << true << QByteArray("1.0e+20");
    QTest::newRow("double 1.5e300") << QVariant(1.5e300) << true << QByteArray("1.5000000000000000788e+300");
    QTest::newRow("double infinity") << QVariant(std::numeric_limits<double>::infinity()) << false
                                     << QByteArray();
    QTest::newRow("double NaN") << QVariant(std::numeric_limits<double>::quiet_NaN()) << false
                                << QByteArray();
    QTest::newRow("float") << QVariant(1.5f) << true << QByteArray("1.5");

    QTest::newRow("true") << QVariant(true) << true << QByteArray("true");
    QTest::newRow("false") << QVariant(false) << true << QByteArray("false");
    QTest::newRow("largest unsigned")
        << QVariant(std::numeric_limits<qulonglong>::max()) << true << QByteArray("18446744073709551615");
    QTest::newRow("smallest signed") << QVariant(std::numeric_limits<qlonglong>::min()) << true
                                     << QByteArray("-9223372036854775808");
    QTest::newRow("int") << QVariant(-42) << true << QByteArray("-42");
    QTest::newRow("uint") << QVariant(42u) << true << QByteArray("42");
    QTest::newRow("short") << QVariant::fromValue<short>(-7) << true << QByteArray("-7");
    QTest::newRow("date") << QVariant(QDate(2001, 2, 3)) << true << QByteArray("\"2001-02-03\"");
    QTest::newRow("null date") << QVariant(QDate()) << true << QByteArray("\"\"");
    QTest::newRow("url as text") << QVariant(QUrl(QStringLiteral("https://x.test/a"))) << true
                                 << QByteArray("\"https://x.test/a\"");

    QTest::newRow("hash fails") << QVariant(QVariantHash { { QStringLiteral("a"), 1 } }) << false
                                << QByteArray();
    QTest::newRow("point fails") << QVariant(QPoint(1, 2)) << false << QByteArray();
    QTest::newRow("failing element fails the list")
        << QVariant(QVariantList { 1, QVariantHash() }) << false << QByteArray();
    QTest::newRow("failing member fails the map")
        << QVariant(map({ { "a", 1 }, { "b", QVariant(qInf()) } })) << false << QByteArray();
}

void TestJsonCodec::serialize()
{
    QFETCH(QVariant, value);
    QFETCH(bool, ok);
    QFETCH(QByteArray, expected);

    bool serializedOk = !ok;
    const QByteArray text = JsonCodec::serialize(value, serializedOk);
    QCOMPARE(serializedOk, ok);
    QCOMPARE(text, expected);
    QCOMPARE(text.isNull(), !ok);
}

void TestJsonCodec::serializeWithoutFlag()
{
    QCOMPARE(JsonCodec::serialize(QVariant()), QByteArray("null"));
    QVERIFY(!JsonCodec::serialize(QVariant()).isNull());
    QVERIFY(JsonCodec::serialize(QVariant(QVariantHash())).isNull());
}

void TestJsonCodec::roundTripRandomValues()
{
    VariantGenerator generator(20240611);
    for (int i = 0; i < 4000; ++i) {
        const QVariant value = generator.value(0);
        bool ok = false;
        const QByteArray text = JsonCodec::serialize(value, ok);
        QVERIFY2(ok, qPrintable(QString::number(i)));
        const QVariant back = JsonCodec::parse(QString::fromUtf8(text), ok);
        QVERIFY2(ok, text.constData());
        QVERIFY2(sameVariant(value, back), text.constData());
    }
}

// Replies reach the parser one character per byte; ASCII text and numbers must come back the same way.
void TestJsonCodec::roundTripThroughReplyBytes()
{
    const QVariant value
        = map({ { "credit", 12.75 }, { "list", QVariantList { u(1), s(-2), QVariant(), false } },
            { "name", QStringLiteral("a \"quoted\" \\ name\n") } });
    bool ok = false;
    const QByteArray text = JsonCodec::serialize(value, ok);
    QVERIFY(ok);
    const QVariant back = JsonCodec::parse(QString::fromLatin1(text), ok);
    QVERIFY(ok);
    QVERIFY(sameVariant(value, back));
}

QTEST_APPLESS_MAIN(TestJsonCodec)
#include "tst_jsoncodec.moc"
