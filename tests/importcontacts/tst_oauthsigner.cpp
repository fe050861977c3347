#include <QtTest>

#include "importcontacts/oauthsigner.h"

class TstOAuthSigner : public QObject
{
    Q_OBJECT

private slots:
    void percentEncode_data();
    void percentEncode();
    void formDecode_data();
    void formDecode();
    void formRoundTrip();
    void plaintextSignature_data();
    void plaintextSignature();
    void baseStringUri_data();
    void baseStringUri();
    void referenceSignature();
    void authorizationHeader();
    void nonceAndTimestampAreDecimal();
};

void TstOAuthSigner::percentEncode_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("encoded");
    QTest::newRow("unreserved") << "AZaz09-._~" << QByteArray("AZaz09-._~");
    QTest::newRow("plus and blank") << "Ladies + Gentlemen" << QByteArray("Ladies%20%2B%20Gentlemen");
    QTest::newRow("punctuation") << "An encoded string!" << QByteArray("An%20encoded%20string%21");
    QTest::newRow("comma ampersand") << "Dogs, Cats & Mice" << QByteArray("Dogs%2C%20Cats%20%26%20Mice");
    QTest::newRow("reserved") << "=/?:;@%*" << QByteArray("%3D%2F%3F%3A%3B%40%25%2A");
    QTest::newRow("UTF-8") << QString::fromUtf8("☃å") << QByteArray("%E2%98%83%C3%A5");
    QTest::newRow("empty") << QString() << QByteArray();
}

void TstOAuthSigner::percentEncode()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, encoded);
    QCOMPARE(OAuthSigner::percentEncode(text), encoded);
}

void TstOAuthSigner::formDecode_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QStringList>("pairs"); // name=value, decoded
    QTest::newRow("token reply") << QByteArray(
        "oauth_token=rt1&oauth_token_secret=s%3D&xoauth_request_auth_url=https%3A%2F%2Fh%2Fa%3Fb%3Dc")
                                 << QStringList { "oauth_token=rt1",
                                        "oauth_token_secret=s=", "xoauth_request_auth_url=https://h/a?b=c" };
    QTest::newRow("plus is a blank") << QByteArray("a=x+y&b=x%2By") << QStringList { "a=x y", "b=x+y" };
    QTest::newRow("empty items and values") << QByteArray("&a=&&b\n") << QStringList { "a=", "b=" };
    QTest::newRow("UTF-8") << QByteArray("n=%C3%B8") << QStringList { QString::fromUtf8("n=ø") };
    QTest::newRow("empty") << QByteArray() << QStringList();
}

void TstOAuthSigner::formDecode()
{
    QFETCH(QByteArray, text);
    QFETCH(QStringList, pairs);
    QStringList got;
    for (const auto &pair : OAuthSigner::formDecode(text))
        got << pair.first + QLatin1Char('=') + pair.second;
    QCOMPARE(got, pairs);
}

void TstOAuthSigner::formRoundTrip()
{
    const OAuthSigner::Parameters pairs { { QStringLiteral("passwd"), QStringLiteral("p&ss=w+rd %20\"<x>") },
        { QStringLiteral(".done"), QStringLiteral("https://h/x?a=1&b=2") },
        { QStringLiteral("name"), QString::fromUtf8("Šárka") } };
    QCOMPARE(OAuthSigner::formDecode(OAuthSigner::formEncode(pairs)), pairs);
}

void TstOAuthSigner::plaintextSignature_data()
{
    QTest::addColumn<QString>("consumerSecret");
    QTest::addColumn<QString>("tokenSecret");
    QTest::addColumn<QString>("signature");
    QTest::newRow("no token") << "kd94hf93k423kf44" << QString() << "kd94hf93k423kf44&";
    QTest::newRow("with token") << "kd94hf93k423kf44"
                                << "pfkkdhi9sl3r4s00"
                                << "kd94hf93k423kf44&pfkkdhi9sl3r4s00";
    QTest::newRow("encoded parts") << "a&b"
                                   << "c d"
                                   << "a%26b&c%20d";
}

void TstOAuthSigner::plaintextSignature()
{
    QFETCH(QString, consumerSecret);
    QFETCH(QString, tokenSecret);
    QFETCH(QString, signature);
    QCOMPARE(OAuthSigner::plaintextSignature(consumerSecret, tokenSecret), signature);
}

void TstOAuthSigner::baseStringUri_data()
{
    QTest::addColumn<QString>("url");
    QTest::addColumn<QString>("uri");
    QTest::newRow("default https port")
        << "https://Social.YahooAPIs.com:443/v1/user/G/contacts;count=max?format=json"
        << "https://social.yahooapis.com/v1/user/G/contacts;count=max";
    QTest::newRow("default http port") << "HTTP://example.com:80/r%20v/X?id=123"
                                       << "http://example.com/r%20v/X";
    QTest::newRow("other port") << "https://127.0.0.1:8444/a#frag"
                                << "https://127.0.0.1:8444/a";
    QTest::newRow("no path") << "https://example.com"
                             << "https://example.com/";
}

void TstOAuthSigner::baseStringUri()
{
    QFETCH(QString, url);
    QFETCH(QString, uri);
    QCOMPARE(OAuthSigner::baseStringUri(QUrl(url)), uri);
}

// The worked example of the OAuth 1.0 protocol (photos.example.net).
void TstOAuthSigner::referenceSignature()
{
    const QUrl url(QStringLiteral("http://photos.example.net/photos?file=vacation.jpg&size=original"));
    const OAuthSigner::Parameters parameters {
        { QStringLiteral("file"), QStringLiteral("vacation.jpg") },
        { QStringLiteral("size"), QStringLiteral("original") },
        { QStringLiteral("oauth_consumer_key"), QStringLiteral("dpf43f3p2l4k3l03") },
        { QStringLiteral("oauth_token"), QStringLiteral("nnch734d00sl2jdk") },
        { QStringLiteral("oauth_signature_method"), QStringLiteral("HMAC-SHA1") },
        { QStringLiteral("oauth_timestamp"), QStringLiteral("1191242096") },
        { QStringLiteral("oauth_nonce"), QStringLiteral("kllo9940pd9333jh") },
        { QStringLiteral("oauth_version"), QStringLiteral("1.0") },
    };
    const QByteArray base = OAuthSigner::signatureBaseString("GET", url, parameters);
    QCOMPARE(base,
        QByteArray("GET&http%3A%2F%2Fphotos.example.net%2Fphotos&file%3Dvacation.jpg%26oauth_consumer_key%"
                   "3Ddpf43f3p2l"
                   "4k3l03%26oauth_nonce%3Dkllo9940pd9333jh%26oauth_signature_method%3DHMAC-SHA1%26oauth_"
                   "timestamp%3D11"
                   "91242096%26oauth_token%3Dnnch734d00sl2jdk%26oauth_version%3D1.0%26size%3Doriginal"));
    QCOMPARE(OAuthSigner::hmacSha1Signature(
                 base, QStringLiteral("kd94hf93k423kf44"), QStringLiteral("pfkkdhi9sl3r4s00")),
        QByteArray("tR3+Ty81lMeYAr/Fid0kMTYa/WM="));
}

void TstOAuthSigner::authorizationHeader()
{
    const QByteArray header = OAuthSigner::authorizationHeader(QStringLiteral("yahooapis.com"),
        { { QStringLiteral("oauth_consumer_key"), QStringLiteral("key") },
            { QStringLiteral("oauth_token"), QStringLiteral("A=b+c/d") } },
        QByteArray("tR3+Ty81lMeYAr/Fid0kMTYa/WM="));
    QCOMPARE(header,
        QByteArray("OAuth realm=\"yahooapis.com\",oauth_consumer_key=\"key\",oauth_token=\"A%3Db%2Bc%2Fd\","
                   "oauth_signature=\"tR3%2BTy81lMeYAr%2FFid0kMTYa%2FWM%3D\""));
}

void TstOAuthSigner::nonceAndTimestampAreDecimal()
{
    bool ok = false;
    const qint64 seconds = OAuthSigner::timestamp().toLongLong(&ok);
    QVERIFY(ok);
    const qint64 millis = OAuthSigner::nonce().toLongLong(&ok);
    QVERIFY(ok);
    QVERIFY(millis / 1000 >= seconds);
}

QTEST_GUILESS_MAIN(TstOAuthSigner)
#include "tst_oauthsigner.moc"
