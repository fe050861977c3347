#include "webserviceemulator.h"

#include <QFile>
#include <QFileInfo>
#include <QSettings>

namespace {

const char serviceRootPath[] = "/webservice-5.0/";

// Key and resource of each web-service URL, in the order of the URL configuration.
const char *const serviceKeys[][2] = {
    { "accountBalanceServiceBaseURL", "balance" },
    { "accountLiveBalanceServiceBaseURL", "realTimeBalance" },
    { "accountCallForwardServiceBaseURL", "callForward" },
    { "accountServiceBaseURL", "account" },
    { "accountVirtualNumberServiceBaseURL", "onlineNumber" },
    { "adressBookContactServiceBaseURL", "contact" },
    { "adressBookGroupServiceBaseURL", "group" },
    { "accountCDRsServiceBaseURL", "call" },
    { "accountVoiceMailServiceBaseURL", "voiceMail" },
    { "accountInviteServiceBaseURL", "invite" },
    { "accountSMSServiceBaseURL", "sms" },
    { "bugReportURL", "bugReport" },
};

// The brand's web pages, on the emulator (which answers them with a stub page).
const char *const homeKeys[][2] = {
    { "buyCreditURL", "/eshop/talkvane/viewTalkvaneProduct.htm#buy" },
    { "enableVoiceMailURL", "/eshop/inventory/callingcard/voicemail/checkPrerequisitesVoiceMail.htm" },
    { "forgotPasswordURL", "/myaccount/forgotPassword.htm" },
    { "homePageURL", "/eshop/talkvane/viewTalkvaneProduct.htm" },
    { "contactURL", "/contact.htm" },
    { "onlineNumberURL", "/eshop/inventory/callingcard/virtualnumber/checkPrerequisitesVirtualNumber.htm" },
    { "callForwardingURL",
        "/eshop/inventory/callingcard/callforward/checkPrerequisitesEnableCallForward.htm" },
    { "viewRatesURL", "/eshop/talkvane/viewTalkvaneRatesPopup.htm" },
    { "viewSMSRatesURL", "/eshop/product/viewSmsProductRatesPopup.htm" },
};

QString rootText(const QUrl &serviceRoot)
{
    return serviceRoot.adjusted(QUrl::RemovePath | QUrl::RemoveQuery | QUrl::RemoveFragment)
        .toString(QUrl::FullyEncoded);
}

} // namespace

bool writeLocalUrlConfig(
    const QString &filePath, const QUrl &serviceRoot, const QString &voiceHost, int voicePort)
{
    const QString root = rootText(serviceRoot);
    if (!serviceRoot.isValid() || root.isEmpty())
        return false;
    QFile::remove(filePath);
    QSettings ini(filePath, QSettings::IniFormat);
    ini.beginGroup(QStringLiteral("Local.Webservices"));
    for (const auto &key : serviceKeys)
        ini.setValue(QLatin1String(key[0]), root + QLatin1String(serviceRootPath) + QLatin1String(key[1]));
    ini.setValue(QStringLiteral("voiceHost"), voiceHost);
    ini.setValue(QStringLiteral("voicePort"), voicePort);
    ini.endGroup();
    ini.beginGroup(QStringLiteral("Local.HomeUrls"));
    for (const auto &key : homeKeys)
        ini.setValue(QLatin1String(key[0]), root + QLatin1String(key[1]));
    ini.endGroup();
    ini.sync();
    return ini.status() == QSettings::NoError;
}

WebServiceEmulator::WebServiceEmulator(QObject *parent)
    : LocalServiceProcess(QStringLiteral("talkvane-ws"), parent)
{ }

QString WebServiceEmulator::emulatorScript()
{
    const QByteArray fromEnv = qgetenv("TALKVANE_WEBSERVICE_EMULATOR");
    if (!fromEnv.isEmpty())
        return QString::fromLocal8Bit(fromEnv);
    return QStringLiteral(TALKVANE_EMULATOR_SCRIPT);
}

bool WebServiceEmulator::start(const QString &caDir, const QString &seedFile)
{
    QStringList args;
    if (!seedFile.isEmpty())
        args << QStringLiteral("--seed") << seedFile;
    return startScript(emulatorScript(), args, caDir);
}

QString WebServiceEmulator::serviceUrl(const QString &resource) const
{
    return rootText(baseUrl()) + QLatin1String(serviceRootPath) + resource;
}

bool WebServiceEmulator::injectFault(const QString &kind, int count, const QString &resource, double seconds)
{
    QJsonObject fault { { QStringLiteral("kind"), kind }, { QStringLiteral("count"), count } };
    if (!resource.isEmpty())
        fault.insert(QStringLiteral("resource"), resource);
    if (seconds > 0)
        fault.insert(QStringLiteral("seconds"), seconds);
    return injectFault(fault);
}

bool WebServiceEmulator::injectFault(const QJsonObject &fault)
{
    return admin("POST", QStringLiteral("faults"), QJsonDocument(fault));
}

bool WebServiceEmulator::clearFaults()
{
    return admin("DELETE", QStringLiteral("faults"), QJsonDocument());
}

bool WebServiceEmulator::reset()
{
    return admin("POST", QStringLiteral("reset"), QJsonDocument());
}

QJsonDocument WebServiceEmulator::state()
{
    QJsonDocument reply;
    if (!admin("GET", QStringLiteral("state"), QJsonDocument(), &reply))
        return QJsonDocument();
    return reply;
}

QJsonArray WebServiceEmulator::requests()
{
    return state().object().value(QStringLiteral("requests")).toArray();
}

bool WebServiceEmulator::setLimits(const QJsonObject &limits)
{
    return admin("POST", QStringLiteral("config"), QJsonDocument(limits));
}

bool WebServiceEmulator::patchAccount(const QString &username, const QJsonObject &fields)
{
    QJsonObject body = fields;
    body.insert(QStringLiteral("username"), username);
    return admin("POST", QStringLiteral("account"), QJsonDocument(body));
}

bool WebServiceEmulator::writeUrlsFile(const QString &filePath, const QString &voiceHost, int voicePort) const
{
    return port() != 0 && writeLocalUrlConfig(filePath, baseUrl(), voiceHost, voicePort);
}

bool WebServiceEmulator::exportEnvironment(
    const QString &urlsFile, const QString &voiceHost, int voicePort) const
{
    if (port() == 0)
        return false;
    qputenv("TALKVANE_CA_FILE", QFile::encodeName(caFile()));
    if (urlsFile.isEmpty())
        return true;
    if (!writeUrlsFile(urlsFile, voiceHost, voicePort))
        return false;
    qputenv("TALKVANE_URLS_FILE", QFile::encodeName(QFileInfo(urlsFile).absoluteFilePath()));
    qputenv("TALKVANE_BRAND", "Local");
    return true;
}

bool WebServiceEmulator::admin(
    const QByteArray &method, const QString &what, const QJsonDocument &body, QJsonDocument *reply)
{
    QByteArray bytes;
    if (!adminRequest(
            method, what, body.isNull() ? QByteArray() : body.toJson(QJsonDocument::Compact), &bytes))
        return false;
    if (reply) {
        QJsonParseError parseError;
        *reply = QJsonDocument::fromJson(bytes, &parseError);
        if (parseError.error != QJsonParseError::NoError)
            return fail(QStringLiteral("admin %1: bad JSON: %2").arg(what, parseError.errorString()));
    }
    return true;
}
