#include <QtTest>

#include "importcontacts/googleimporter.h"
#include "importcontacts/yahooimporter.h"
#include "serviceurls.h"

// The importers take their service addresses from the brand's URL configuration.
class TstImporterUrls : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void everyBrandNamesTheServices_data();
    void everyBrandNamesTheServices();
    void importersReadTheBrand();
};

void TstImporterUrls::init()
{
    qunsetenv("TALKVANE_BRAND");
    qunsetenv("TALKVANE_URLS_FILE");
}

void TstImporterUrls::cleanup()
{
    init();
}

void TstImporterUrls::everyBrandNamesTheServices_data()
{
    QTest::addColumn<QString>("brand");
    QTest::addColumn<QStringList>("expected");
    const QStringList real { "https://www.google.com", "https://www.google.com",
        "https://api.login.yahoo.com", "https://social.yahooapis.com" };
    for (const char *brand : { "Quillfare", "Tellmarsh", "Pomrick", "ZorvanCom" })
        QTest::newRow(brand) << QString::fromLatin1(brand) << real;
    QTest::newRow("Local") << "Local"
                           << QStringList { "https://127.0.0.1:8444", "https://127.0.0.1:8444",
                                  "https://127.0.0.1:8444", "https://127.0.0.1:8444" };
}

void TstImporterUrls::everyBrandNamesTheServices()
{
    QFETCH(QString, brand);
    QFETCH(QStringList, expected);
    const ServiceUrls urls = ServiceUrls::load(brand, ServiceUrls::resourceFile());
    QCOMPARE((QStringList { urls.googleAccountsBaseURL, urls.googleContactsBaseURL, urls.yahooOAuthBaseURL,
                 urls.yahooContactsBaseURL }),
        expected);
}

void TstImporterUrls::importersReadTheBrand()
{
    qputenv("TALKVANE_BRAND", "Local");
    GoogleImporter google;
    YahooImporter yahoo;
    QCOMPARE(google.accountsBaseUrl(), QStringLiteral("https://127.0.0.1:8444"));
    QCOMPARE(google.contactsBaseUrl(), QStringLiteral("https://127.0.0.1:8444"));
    QCOMPARE(yahoo.oauthBaseUrl(), QStringLiteral("https://127.0.0.1:8444"));
    qunsetenv("TALKVANE_BRAND");
    YahooImporter production;
    QCOMPARE(production.contactsBaseUrl(), QStringLiteral("https://social.yahooapis.com"));
    QCOMPARE(YahooImporter::realmFor(QUrl(production.contactsBaseUrl())), QStringLiteral("yahooapis.com"));
}

QTEST_GUILESS_MAIN(TstImporterUrls)
#include "tst_importerurls.moc"
