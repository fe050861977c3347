#include <QtTest>

#include "homeurls.h"
#include "serviceurls.h"

namespace {

QList<QUrl> fields(const HomeUrls &urls)
{
    return { urls.buyCreditURL, urls.enableVoiceMailURL, urls.forgotPasswordURL, urls.homePageURL,
        urls.contactURL, urls.onlineNumberURL, urls.callForwardingURL, urls.viewRatesURL,
        urls.viewSMSRatesURL };
}

// Path with the fragment, as the INI holds it after the host.
QString pathAndFragment(const QUrl &url)
{
    return url.toString(QUrl::RemoveScheme | QUrl::RemoveAuthority);
}

} // namespace

class TstHomeUrls : public QObject
{
    Q_OBJECT

private slots:
    void init();

    void tellmarshRatesPage();
    void pages_data();
    void pages();
    void localBrandPointsAtLoopback();
    void instanceHoldsTheSameValues();
};

void TstHomeUrls::init()
{
    qunsetenv("TALKVANE_BRAND");
    qunsetenv("TALKVANE_URLS_FILE");
}

void TstHomeUrls::tellmarshRatesPage()
{
    const HomeUrls urls = HomeUrls::load();
    QVERIFY(
        urls.viewRatesURL.toString().endsWith(QStringLiteral("/eshop/talkvane/viewTalkvaneRatesPopup.htm")));
    QCOMPARE(urls.buyCreditURL.fragment(), QStringLiteral("buy"));
}

void TstHomeUrls::pages_data()
{
    QTest::addColumn<QString>("brand");
    QTest::addColumn<int>("field");
    QTest::addColumn<QString>("scheme");
    QTest::addColumn<QString>("path");
    QTest::newRow("Quillfare buyCreditURL") << "Quillfare" << 0 << "http"
                                            << "/recharge/rechargeProduct.htm";
    QTest::newRow("Quillfare enableVoiceMailURL")
        << "Quillfare" << 1 << "http"
        << "/eshop/inventory/callingcard/voicemail/viewVoiceMail.htm";
    QTest::newRow("Quillfare forgotPasswordURL") << "Quillfare" << 2 << "http"
                                                 << "/myaccount/login.htm";
    QTest::newRow("Quillfare homePageURL") << "Quillfare" << 3 << "http"
                                           << "/eshop/talkvane/viewTalkvaneProduct.htm";
    QTest::newRow("Quillfare contactURL") << "Quillfare" << 4 << "http"
                                          << "/contact.html";
    QTest::newRow("Quillfare onlineNumberURL")
        << "Quillfare" << 5 << "http"
        << "/eshop/inventory/callingcard/virtualnumber/viewVirtualNumbers.htm";
    QTest::newRow("Quillfare callForwardingURL")
        << "Quillfare" << 6 << "http"
        << "/eshop/inventory/callingcard/callforward/enableCallForward.htm";
    QTest::newRow("Quillfare viewRatesURL") << "Quillfare" << 7 << "http"
                                            << "/rates-and-plans.html";
    QTest::newRow("Quillfare viewSMSRatesURL") << "Quillfare" << 8 << "http"
                                               << "/sms-rates.html";
    QTest::newRow("Tellmarsh buyCreditURL") << "Tellmarsh" << 0 << "http"
                                            << "/eshop/talkvane/viewTalkvaneProduct.htm#buy";
    QTest::newRow("Tellmarsh enableVoiceMailURL")
        << "Tellmarsh" << 1 << "https"
        << "/eshop/inventory/callingcard/voicemail/checkPrerequisitesVoiceMail.htm";
    QTest::newRow("Tellmarsh forgotPasswordURL") << "Tellmarsh" << 2 << "http"
                                                 << "/myaccount/forgotPassword.htm";
    QTest::newRow("Tellmarsh homePageURL") << "Tellmarsh" << 3 << "http"
                                           << "/eshop/talkvane/viewTalkvaneProduct.htm";
    QTest::newRow("Tellmarsh contactURL") << "Tellmarsh" << 4 << "http"
                                          << "/contact.htm";
    QTest::newRow("Tellmarsh onlineNumberURL")
        << "Tellmarsh" << 5 << "https"
        << "/eshop/inventory/callingcard/virtualnumber/checkPrerequisitesVirtualNumber.htm";
    QTest::newRow("Tellmarsh callForwardingURL")
        << "Tellmarsh" << 6 << "https"
        << "/eshop/inventory/callingcard/callforward/checkPrerequisitesEnableCallForward.htm";
    QTest::newRow("Tellmarsh viewRatesURL") << "Tellmarsh" << 7 << "http"
                                            << "/eshop/talkvane/viewTalkvaneRatesPopup.htm";
    QTest::newRow("Tellmarsh viewSMSRatesURL") << "Tellmarsh" << 8 << "http"
                                               << "/eshop/product/viewSmsProductRatesPopup.htm";
    QTest::newRow("Pomrick buyCreditURL") << "Pomrick" << 0 << "http"
                                          << "/recharge/rechargeProduct.htm";
    QTest::newRow("Pomrick enableVoiceMailURL")
        << "Pomrick" << 1 << "https"
        << "/eshop/inventory/callingcard/voicemail/checkPrerequisitesVoiceMail.htm";
    QTest::newRow("Pomrick forgotPasswordURL") << "Pomrick" << 2 << "http"
                                               << "/myaccount/forgotPassword.htm";
    QTest::newRow("Pomrick homePageURL") << "Pomrick" << 3 << "http"
                                         << "/eshop/talkvane/viewTalkvaneProduct.htm";
    QTest::newRow("Pomrick contactURL") << "Pomrick" << 4 << "http"
                                        << "/contact.htm";
    QTest::newRow("Pomrick onlineNumberURL")
        << "Pomrick" << 5 << "https"
        << "/eshop/inventory/callingcard/virtualnumber/checkPrerequisitesVirtualNumber.htm";
    QTest::newRow("Pomrick callForwardingURL")
        << "Pomrick" << 6 << "https"
        << "/eshop/inventory/callingcard/callforward/checkPrerequisitesEnableCallForward.htm";
    QTest::newRow("Pomrick viewRatesURL") << "Pomrick" << 7 << "http"
                                          << "/eshop/inventory/callingcard/viewCurrentProductRatesPopup.htm";
    QTest::newRow("Pomrick viewSMSRatesURL") << "Pomrick" << 8 << "http"
                                             << "/eshop/product/viewSmsProductRatesPopup.htm";
    QTest::newRow("ZorvanCom buyCreditURL") << "ZorvanCom" << 0 << "https"
                                            << "/myaccount/viewInventoryItemsLastRecharge.htm";
    QTest::newRow("ZorvanCom enableVoiceMailURL")
        << "ZorvanCom" << 1 << "https"
        << "/eshop/inventory/callingcard/voicemail/enableVoiceMail.htm";
    QTest::newRow("ZorvanCom forgotPasswordURL") << "ZorvanCom" << 2 << "https"
                                                 << "/myaccount/login.htm";
    QTest::newRow("ZorvanCom homePageURL") << "ZorvanCom" << 3 << "http"
                                           << "/talkvane.html";
    QTest::newRow("ZorvanCom contactURL") << "ZorvanCom" << 4 << "http"
                                          << "/contact-zorvan.html";
    QTest::newRow("ZorvanCom onlineNumberURL")
        << "ZorvanCom" << 5 << "https"
        << "/eshop/inventory/callingcard/virtualnumber/addVirtualNumber.htm";
    QTest::newRow("ZorvanCom callForwardingURL")
        << "ZorvanCom" << 6 << "https"
        << "/eshop/inventory/callingcard/callforward/enableCallForward.htm";
    QTest::newRow("ZorvanCom viewRatesURL") << "ZorvanCom" << 7 << ""
                                            << "";
    QTest::newRow("ZorvanCom viewSMSRatesURL") << "ZorvanCom" << 8 << "http"
                                               << "/eshop/product/viewSmsProductRatesPopup.htm";
}

void TstHomeUrls::pages()
{
    QFETCH(QString, brand);
    QFETCH(int, field);
    QFETCH(QString, scheme);
    QFETCH(QString, path);
    const QUrl url = fields(HomeUrls::load(brand, ServiceUrls::resourceFile())).at(field);
    if (path.isEmpty()) {
        QVERIFY(url.isEmpty());
        return;
    }
    QCOMPARE(url.scheme(), scheme);
    QVERIFY(url.host().endsWith(QStringLiteral(".example")));
    QCOMPARE(pathAndFragment(url), path);
}

void TstHomeUrls::localBrandPointsAtLoopback()
{
    for (const QUrl &url : fields(HomeUrls::load(QStringLiteral("Local"), ServiceUrls::resourceFile())))
        QVERIFY2(
            url.toString().startsWith(QStringLiteral("https://127.0.0.1:8443/")), qPrintable(url.toString()));
}

void TstHomeUrls::instanceHoldsTheSameValues()
{
    const HomeUrls &shared = HomeUrls::instance();
    QCOMPARE(&HomeUrls::instance(), &shared);
    QCOMPARE(fields(shared), fields(HomeUrls::load()));
}

QTEST_GUILESS_MAIN(TstHomeUrls)
#include "tst_homeurls.moc"
