#include "homeurls.h"

#include <QSettings>

#include "serviceurls.h"
#include "util/log.h"

const HomeUrls &HomeUrls::instance()
{
    static const HomeUrls urls = load();
    return urls;
}

HomeUrls HomeUrls::load()
{
    return load(ServiceUrls::brand(), ServiceUrls::configurationFile());
}

HomeUrls HomeUrls::load(const QString &brand, const QString &file)
{
    QSettings ini(file, QSettings::IniFormat);
    ini.beginGroup(brand + QStringLiteral(".HomeUrls"));
    if (ini.childKeys().isEmpty())
        LOG_WARNING << "No web pages for brand" << brand << "in" << file;
    auto url = [&ini](const char *key) { return QUrl(ini.value(QLatin1String(key), QVariant()).toString()); };
    HomeUrls urls;
    urls.buyCreditURL = url("buyCreditURL");
    urls.enableVoiceMailURL = url("enableVoiceMailURL");
    urls.forgotPasswordURL = url("forgotPasswordURL");
    urls.homePageURL = url("homePageURL");
    urls.contactURL = url("contactURL");
    urls.onlineNumberURL = url("onlineNumberURL");
    urls.callForwardingURL = url("callForwardingURL");
    urls.viewRatesURL = url("viewRatesURL");
    urls.viewSMSRatesURL = url("viewSMSRatesURL");
    ini.endGroup();
    return urls;
}
