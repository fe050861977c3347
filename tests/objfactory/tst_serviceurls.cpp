#include <QFile>
#include <QTemporaryDir>
#include <QUrl>
#include <QtTest>

#include "serviceurls.h"

namespace {

const char *const resources[] = {
    "balance",
    "realTimeBalance",
    "callForward",
    "account",
    "onlineNumber",
    "contact",
    "group",
    "call",
    "voiceMail",
    "invite",
    "sms",
    "bugReport",
};

QStringList fields(const ServiceUrls &urls)
{
    return { urls.accountBalanceServiceBaseURL, urls.accountLiveBalanceServiceBaseURL,
        urls.accountCallForwardServiceBaseURL, urls.accountServiceBaseURL,
        urls.accountVirtualNumberServiceBaseURL, urls.adressBookContactServiceBaseURL,
        urls.adressBookGroupServiceBaseURL, urls.accountCDRsServiceBaseURL,
        urls.accountVoiceMailServiceBaseURL, urls.accountInviteServiceBaseURL, urls.accountSMSServiceBaseURL,
        urls.bugReportURL };
}

} // namespace

class TstServiceUrls : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void tellmarshIsTheDefaultBrand();
    void tellmarshBalanceUrl();
    void everyBrandHasEveryPath_data();
    void everyBrandHasEveryPath();
    void localBrandPointsAtLoopback();
    void brandsInFileOrder();
    void zorvanHasItsExtraKeys();
    void brandFromEnvironment();
    void urlsFileFromEnvironment();
    void unreadableUrlsFileFallsBackToResource();
    void unknownBrandGivesEmptyUrls();
};

void TstServiceUrls::init()
{
    qunsetenv("TALKVANE_BRAND");
    qunsetenv("TALKVANE_URLS_FILE");
}

void TstServiceUrls::cleanup()
{
    init();
}

void TstServiceUrls::tellmarshIsTheDefaultBrand()
{
    QCOMPARE(ServiceUrls::brand(), QStringLiteral("Tellmarsh"));
    QCOMPARE(ServiceUrls::configurationFile(), QStringLiteral(":/urls/urls.ini"));
    QVERIFY(QFile::exists(ServiceUrls::resourceFile()));
}

void TstServiceUrls::tellmarshBalanceUrl()
{
    const ServiceUrls urls = ServiceUrls::load();
    QVERIFY(urls.accountBalanceServiceBaseURL.endsWith(QStringLiteral("/webservice-5.0/balance")));
    QVERIFY(urls.accountBalanceServiceBaseURL.startsWith(QStringLiteral("https://")));
    QVERIFY(QUrl(urls.accountBalanceServiceBaseURL).host().endsWith(QStringLiteral(".example")));
    QVERIFY(urls.voiceHost.endsWith(QStringLiteral(".example")));
    QCOMPARE(urls.voicePort, 443);
}

void TstServiceUrls::everyBrandHasEveryPath_data()
{
    QTest::addColumn<QString>("brand");
    for (const char *brand : { "Quillfare", "Tellmarsh", "Pomrick", "ZorvanCom", "Local" })
        QTest::newRow(brand) << QString::fromLatin1(brand);
}

void TstServiceUrls::everyBrandHasEveryPath()
{
    QFETCH(QString, brand);
    const ServiceUrls urls = ServiceUrls::load(brand, ServiceUrls::resourceFile());
    const QStringList values = fields(urls);
    QCOMPARE(values.size(), int(std::size(resources)));
    const QString host = QUrl(values.first()).authority();
    QVERIFY(!host.isEmpty());
    for (int i = 0; i < values.size(); ++i) {
        const QString expected = QStringLiteral("https://") + host + QStringLiteral("/webservice-5.0/")
            + QLatin1String(resources[i]);
        QCOMPARE(values.at(i), expected);
    }
    QVERIFY(!urls.voiceHost.isEmpty());
    QVERIFY(urls.voicePort > 0);
}

void TstServiceUrls::localBrandPointsAtLoopback()
{
    const ServiceUrls urls = ServiceUrls::load(QStringLiteral("Local"), ServiceUrls::resourceFile());
    for (const QString &value : fields(urls))
        QVERIFY2(
            value.startsWith(QStringLiteral("https://127.0.0.1:8443/webservice-5.0/")), qPrintable(value));
    QCOMPARE(urls.voiceHost, QStringLiteral("127.0.0.1"));
    QCOMPARE(urls.voicePort, 5223);
}

void TstServiceUrls::brandsInFileOrder()
{
    QFile file(ServiceUrls::resourceFile());
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray text = file.readAll();
    int last = -1;
    for (const char *section : { "[Quillfare.", "[Tellmarsh.", "[Pomrick.", "[ZorvanCom.", "[Local." }) {
        const int at = text.indexOf(section);
        QVERIFY2(at > last, section);
        last = at;
    }
}

void TstServiceUrls::zorvanHasItsExtraKeys()
{
    QSettings ini(ServiceUrls::resourceFile(), QSettings::IniFormat);
    ini.beginGroup(QStringLiteral("ZorvanCom.Webservices"));
    QVERIFY(ini.value(QStringLiteral("defaultCallingCardServiceBaseURL"))
                .toString()
                .endsWith(QStringLiteral("/webservice-5.0/defaultCallingCard")));
    QVERIFY(ini.value(QStringLiteral("callingCardServiceBaseURL"))
                .toString()
                .endsWith(QStringLiteral("/webservice-5.0/callingCard")));
}

void TstServiceUrls::brandFromEnvironment()
{
    qputenv("TALKVANE_BRAND", "Local");
    QCOMPARE(ServiceUrls::brand(), QStringLiteral("Local"));
    QVERIFY(ServiceUrls::load().accountServiceBaseURL.startsWith(QStringLiteral("https://127.0.0.1:8443/")));
    qputenv("TALKVANE_BRAND", "Pomrick");
    QCOMPARE(QUrl(ServiceUrls::load().accountServiceBaseURL).host(), QStringLiteral("ws.pomrick.example"));
    qputenv("TALKVANE_BRAND", "  ");
    QCOMPARE(ServiceUrls::brand(), QStringLiteral("Tellmarsh"));
}

void TstServiceUrls::urlsFileFromEnvironment()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("urls.ini"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("[Tellmarsh.Webservices]\n"
               "accountBalanceServiceBaseURL=\"https://127.0.0.1:9443/webservice-5.0/balance\"\n"
               "voiceHost=\"::1\"\n"
               "voicePort=15223\n");
    file.close();
    qputenv("TALKVANE_URLS_FILE", path.toLocal8Bit());
    QCOMPARE(ServiceUrls::configurationFile(), path);
    const ServiceUrls urls = ServiceUrls::load();
    QCOMPARE(
        urls.accountBalanceServiceBaseURL, QStringLiteral("https://127.0.0.1:9443/webservice-5.0/balance"));
    QVERIFY(urls.accountServiceBaseURL.isEmpty());
    QCOMPARE(urls.voiceHost, QStringLiteral("::1"));
    QCOMPARE(urls.voicePort, 15223);
}

void TstServiceUrls::unreadableUrlsFileFallsBackToResource()
{
    QTemporaryDir dir;
    qputenv("TALKVANE_URLS_FILE", dir.filePath(QStringLiteral("missing.ini")).toLocal8Bit());
    QCOMPARE(ServiceUrls::configurationFile(), ServiceUrls::resourceFile());
    qputenv("TALKVANE_URLS_FILE", dir.path().toLocal8Bit());
    QCOMPARE(ServiceUrls::configurationFile(), ServiceUrls::resourceFile());
    QVERIFY(
        ServiceUrls::load().accountBalanceServiceBaseURL.endsWith(QStringLiteral("/webservice-5.0/balance")));
}

void TstServiceUrls::unknownBrandGivesEmptyUrls()
{
    const ServiceUrls urls = ServiceUrls::load(QStringLiteral("Nobody"), ServiceUrls::resourceFile());
    for (const QString &value : fields(urls))
        QVERIFY(value.isEmpty());
    QVERIFY(urls.voiceHost.isEmpty());
    QCOMPARE(urls.voicePort, 0);
}

QTEST_GUILESS_MAIN(TstServiceUrls)
#include "tst_serviceurls.moc"
