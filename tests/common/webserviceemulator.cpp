#include "webserviceemulator.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QSettings>
#include <QTimer>

namespace {

const int startTimeoutMs = 60000; // the first start creates RSA keys for the CA
const int adminTimeoutMs = 30000;
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

WebServiceEmulator::WebServiceEmulator(QObject *parent) : QObject(parent) { }

WebServiceEmulator::~WebServiceEmulator()
{
    stop();
}

QString WebServiceEmulator::emulatorScript()
{
    const QByteArray fromEnv = qgetenv("TALKVANE_WEBSERVICE_EMULATOR");
    if (!fromEnv.isEmpty())
        return QString::fromLocal8Bit(fromEnv);
    return QStringLiteral(TALKVANE_EMULATOR_SCRIPT);
}

bool WebServiceEmulator::start(const QString &caDir, const QString &seedFile)
{
    stop();
    lastError.clear();
    tempDir = std::make_unique<QTemporaryDir>(QDir::tempPath() + QStringLiteral("/talkvane-ws-XXXXXX"));
    if (!tempDir->isValid())
        return fail(QStringLiteral("cannot create a state folder: ") + tempDir->errorString());

    QStringList args { emulatorScript(), QStringLiteral("--state"), stateDir(), QStringLiteral("--port"),
        QStringLiteral("0"), QStringLiteral("--port-file"), tempDir->filePath(QStringLiteral("port")),
        QStringLiteral("--exit-with-parent") };
    if (!caDir.isEmpty())
        args << QStringLiteral("--ca-dir") << caDir;
    if (!seedFile.isEmpty())
        args << QStringLiteral("--seed") << seedFile;
    caPath = QDir(caDir.isEmpty() ? stateDir() : caDir).absoluteFilePath(QStringLiteral("ca.pem"));

    process.setProcessChannelMode(QProcess::MergedChannels);
    process.setStandardOutputFile(tempDir->filePath(QStringLiteral("emulator.log")), QIODevice::Append);
    process.setStandardInputFile(QProcess::nullDevice());
    process.start(QStringLiteral("python3"), args);
    if (!process.waitForStarted())
        return fail(QStringLiteral("cannot start python3: ") + process.errorString());
    return waitUntilListening();
}

bool WebServiceEmulator::waitUntilListening()
{
    QFile portFile(tempDir->filePath(QStringLiteral("port")));
    QDeadlineTimer deadline(startTimeoutMs);
    while (!portFile.exists()) {
        if (process.state() == QProcess::NotRunning)
            return fail(QStringLiteral("the emulator exited: ") + logTail());
        if (deadline.hasExpired()) {
            stop();
            return fail(QStringLiteral("the emulator did not listen: ") + logTail());
        }
        process.waitForFinished(50); // a short sleep that also notices an early exit
    }
    if (!portFile.open(QIODevice::ReadOnly))
        return fail(QStringLiteral("cannot read the port file"));
    bool ok = false;
    const uint value = QString::fromLatin1(portFile.readAll()).trimmed().toUInt(&ok);
    if (!ok || value == 0 || value > 65535) {
        stop();
        return fail(QStringLiteral("bad port file"));
    }
    listenPort = quint16(value);
    return true;
}

void WebServiceEmulator::stop()
{
    if (process.state() != QProcess::NotRunning) {
        process.terminate();
        if (!process.waitForFinished(10000)) {
            process.kill();
            process.waitForFinished(5000);
        }
    }
    listenPort = 0;
}

bool WebServiceEmulator::isRunning() const
{
    return process.state() == QProcess::Running && listenPort != 0;
}

QUrl WebServiceEmulator::baseUrl() const
{
    QUrl url;
    url.setScheme(QStringLiteral("https"));
    url.setHost(QStringLiteral("127.0.0.1"));
    url.setPort(listenPort);
    return url;
}

QString WebServiceEmulator::serviceUrl(const QString &resource) const
{
    return rootText(baseUrl()) + QLatin1String(serviceRootPath) + resource;
}

QString WebServiceEmulator::stateDir() const
{
    return tempDir ? tempDir->filePath(QStringLiteral("state")) : QString();
}

QSslConfiguration WebServiceEmulator::sslConfiguration() const
{
    QSslConfiguration config = QSslConfiguration::defaultConfiguration();
    config.addCaCertificates(caPath, QSsl::Pem);
    return config;
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
    return listenPort != 0 && writeLocalUrlConfig(filePath, baseUrl(), voiceHost, voicePort);
}

bool WebServiceEmulator::exportEnvironment(
    const QString &urlsFile, const QString &voiceHost, int voicePort) const
{
    if (listenPort == 0)
        return false;
    qputenv("TALKVANE_CA_FILE", QFile::encodeName(caPath));
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
    if (!isRunning())
        return fail(QStringLiteral("the emulator is not running"));
    QUrl url = baseUrl();
    url.setPath(QStringLiteral("/_admin/") + what);
    QNetworkRequest request(url);
    request.setSslConfiguration(sslConfiguration());
    request.setHeader(QNetworkRequest::ContentTypeHeader, QStringLiteral("application/json"));
    const QByteArray data = body.isNull() ? QByteArray() : body.toJson(QJsonDocument::Compact);

    QNetworkAccessManager manager;
    QNetworkReply *answer = manager.sendCustomRequest(request, method, data);
    QEventLoop loop;
    QTimer timer;
    timer.setSingleShot(true);
    connect(answer, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    connect(&timer, &QTimer::timeout, answer, &QNetworkReply::abort);
    timer.start(adminTimeoutMs);
    if (!answer->isFinished())
        loop.exec(QEventLoop::ExcludeUserInputEvents);

    const QByteArray bytes = answer->readAll();
    const bool ok = answer->error() == QNetworkReply::NoError;
    const QString error = answer->errorString();
    delete answer;
    if (!ok)
        return fail(QStringLiteral("admin %1 %2 failed: %3 %4")
                        .arg(QString::fromLatin1(method), what, error, QString::fromUtf8(bytes)));
    if (reply) {
        QJsonParseError parseError;
        *reply = QJsonDocument::fromJson(bytes, &parseError);
        if (parseError.error != QJsonParseError::NoError)
            return fail(QStringLiteral("admin %1: bad JSON: %2").arg(what, parseError.errorString()));
    }
    return true;
}

bool WebServiceEmulator::fail(const QString &message)
{
    lastError = message;
    return false;
}

QString WebServiceEmulator::logTail() const
{
    QFile log(tempDir ? tempDir->filePath(QStringLiteral("emulator.log")) : QString());
    if (!log.open(QIODevice::ReadOnly))
        return QString();
    const QByteArray text = log.readAll();
    return QString::fromUtf8(text.right(2000));
}
