#include "serviceurls.h"

#include <QFileInfo>
#include <QSettings>

#include "util/log.h"

QString ServiceUrls::brand()
{
    const QString chosen = qEnvironmentVariable("TALKVANE_BRAND").trimmed();
    return chosen.isEmpty() ? defaultBrand() : chosen;
}

QString ServiceUrls::configurationFile()
{
    const QString file = qEnvironmentVariable("TALKVANE_URLS_FILE");
    if (!file.isEmpty()) {
        const QFileInfo info(file);
        if (info.isFile() && info.isReadable())
            return file;
        LOG_WARNING << "TALKVANE_URLS_FILE is not a readable file, using the built-in URLs:" << file;
    }
    return resourceFile();
}

ServiceUrls ServiceUrls::load(const QString &brand, const QString &file)
{
    QSettings ini(file, QSettings::IniFormat);
    ini.beginGroup(brand + QStringLiteral(".Webservices"));
    if (ini.childKeys().isEmpty())
        LOG_WARNING << "No web-service URLs for brand" << brand << "in" << file;
    auto text = [&ini](const char *key) { return ini.value(QLatin1String(key), QVariant()).toString(); };
    ServiceUrls urls;
    urls.accountBalanceServiceBaseURL = text("accountBalanceServiceBaseURL");
    urls.accountLiveBalanceServiceBaseURL = text("accountLiveBalanceServiceBaseURL");
    urls.accountCallForwardServiceBaseURL = text("accountCallForwardServiceBaseURL");
    urls.accountServiceBaseURL = text("accountServiceBaseURL");
    urls.accountVirtualNumberServiceBaseURL = text("accountVirtualNumberServiceBaseURL");
    urls.adressBookContactServiceBaseURL = text("adressBookContactServiceBaseURL");
    urls.adressBookGroupServiceBaseURL = text("adressBookGroupServiceBaseURL");
    urls.accountCDRsServiceBaseURL = text("accountCDRsServiceBaseURL");
    urls.accountVoiceMailServiceBaseURL = text("accountVoiceMailServiceBaseURL");
    urls.accountInviteServiceBaseURL = text("accountInviteServiceBaseURL");
    urls.accountSMSServiceBaseURL = text("accountSMSServiceBaseURL");
    urls.bugReportURL = text("bugReportURL");
    urls.voiceHost = text("voiceHost");
    bool ok = false;
    const int port = text("voicePort").toInt(&ok);
    urls.voicePort = ok && port > 0 && port <= 65535 ? port : 0;
    urls.googleAccountsBaseURL = text("googleAccountsBaseURL");
    urls.googleContactsBaseURL = text("googleContactsBaseURL");
    urls.yahooOAuthBaseURL = text("yahooOAuthBaseURL");
    urls.yahooContactsBaseURL = text("yahooContactsBaseURL");
    ini.endGroup();
    return urls;
}
