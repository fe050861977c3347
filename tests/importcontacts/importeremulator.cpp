#include "importeremulator.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QJsonDocument>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QSslConfiguration>
#include <QTimer>

namespace {
const int startTimeoutMs = 60000; // the first start creates RSA keys for the CA
const int adminTimeoutMs = 30000;
} // namespace

ImporterEmulator::ImporterEmulator(QObject *parent) : QObject(parent) { }

ImporterEmulator::~ImporterEmulator()
{
    stop();
}

QString ImporterEmulator::emulatorScript()
{
    const QByteArray fromEnv = qgetenv("TALKVANE_IMPORTER_EMULATOR");
    if (!fromEnv.isEmpty())
        return QString::fromLocal8Bit(fromEnv);
    return QStringLiteral(TALKVANE_IMPORTER_EMULATOR_SCRIPT);
}

bool ImporterEmulator::start()
{
    stop();
    lastError.clear();
    tempDir = std::make_unique<QTemporaryDir>(QDir::tempPath() + QStringLiteral("/talkvane-imp-XXXXXX"));
    if (!tempDir->isValid())
        return fail(QStringLiteral("cannot create a state folder: ") + tempDir->errorString());
    const QString state = tempDir->filePath(QStringLiteral("state"));
    caPath = state + QStringLiteral("/ca.pem");
    const QStringList args { emulatorScript(), QStringLiteral("--state"), state, QStringLiteral("--port"),
        QStringLiteral("0"), QStringLiteral("--port-file"), tempDir->filePath(QStringLiteral("port")),
        QStringLiteral("--exit-with-parent") };
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.setStandardOutputFile(tempDir->filePath(QStringLiteral("emulator.log")), QIODevice::Append);
    process.setStandardInputFile(QProcess::nullDevice());
    process.start(QStringLiteral("python3"), args);
    if (!process.waitForStarted())
        return fail(QStringLiteral("cannot start python3: ") + process.errorString());
    return waitUntilListening();
}

bool ImporterEmulator::waitUntilListening()
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

void ImporterEmulator::stop()
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

bool ImporterEmulator::isRunning() const
{
    return process.state() == QProcess::Running && listenPort != 0;
}

QString ImporterEmulator::baseUrl() const
{
    return QStringLiteral("https://127.0.0.1:%1").arg(listenPort);
}

ServiceUrls ImporterEmulator::serviceUrls() const
{
    ServiceUrls urls;
    urls.googleAccountsBaseURL = baseUrl();
    urls.googleContactsBaseURL = baseUrl();
    urls.yahooOAuthBaseURL = baseUrl();
    urls.yahooContactsBaseURL = baseUrl();
    return urls;
}

void ImporterEmulator::exportCaFile() const
{
    qputenv("TALKVANE_CA_FILE", QFile::encodeName(caPath));
}

bool ImporterEmulator::injectFault(const QString &kind, const QString &path, int count, double seconds,
    const QString &body, const QString &method)
{
    QJsonObject fault { { QStringLiteral("kind"), kind }, { QStringLiteral("path"), path },
        { QStringLiteral("count"), count }, { QStringLiteral("seconds"), seconds } };
    if (!body.isNull())
        fault.insert(QStringLiteral("body"), body);
    if (!method.isEmpty())
        fault.insert(QStringLiteral("method"), method);
    return admin("POST", QStringLiteral("faults"), fault);
}

bool ImporterEmulator::clearFaults()
{
    return admin("DELETE", QStringLiteral("faults"), QJsonObject());
}

bool ImporterEmulator::reset()
{
    return admin("POST", QStringLiteral("reset"), QJsonObject());
}

QJsonArray ImporterEmulator::requests()
{
    QByteArray reply;
    if (!admin("GET", QStringLiteral("requests"), QJsonObject(), &reply))
        return QJsonArray();
    return QJsonDocument::fromJson(reply).array();
}

QStringList ImporterEmulator::requestPaths()
{
    QStringList paths;
    for (const QJsonValue &entry : requests())
        paths << entry.toObject().value(QStringLiteral("path")).toString();
    return paths;
}

QJsonObject ImporterEmulator::yahooAccessToken(const QString &login)
{
    QByteArray reply;
    if (!admin("POST", QStringLiteral("yahoo/token"), QJsonObject { { QStringLiteral("login"), login } },
            &reply))
        return QJsonObject();
    return QJsonDocument::fromJson(reply).object();
}

bool ImporterEmulator::admin(
    const QByteArray &method, const QString &what, const QJsonObject &body, QByteArray *reply)
{
    if (!isRunning())
        return fail(QStringLiteral("the emulator is not running"));
    QNetworkRequest request(QUrl(baseUrl() + QStringLiteral("/_admin/") + what));
    QSslConfiguration config = QSslConfiguration::defaultConfiguration();
    config.addCaCertificates(caPath, QSsl::Pem);
    request.setSslConfiguration(config);
    request.setHeader(QNetworkRequest::ContentTypeHeader, QStringLiteral("application/json"));
    const QByteArray data
        = body.isEmpty() ? QByteArray() : QJsonDocument(body).toJson(QJsonDocument::Compact);

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
        return fail(QStringLiteral("admin %1 failed: %2 %3").arg(what, error, QString::fromUtf8(bytes)));
    if (reply)
        *reply = bytes;
    return true;
}

bool ImporterEmulator::fail(const QString &message)
{
    lastError = message;
    return false;
}

QString ImporterEmulator::logTail() const
{
    QFile log(tempDir ? tempDir->filePath(QStringLiteral("emulator.log")) : QString());
    if (!log.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromUtf8(log.readAll().right(2000));
}
