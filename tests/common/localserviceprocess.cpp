#include "localserviceprocess.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>

namespace {
const int startTimeoutMs = 60000; // the first start creates RSA keys for the CA
const int adminTimeoutMs = 30000;
} // namespace

LocalServiceProcess::LocalServiceProcess(const QString &tempPrefix, QObject *parent)
    : QObject(parent), prefix(tempPrefix)
{ }

LocalServiceProcess::~LocalServiceProcess()
{
    stop();
}

bool LocalServiceProcess::startScript(
    const QString &script, const QStringList &extraArgs, const QString &caDir)
{
    stop();
    lastError.clear();
    tempDir = std::make_unique<QTemporaryDir>(
        QDir::tempPath() + QLatin1Char('/') + prefix + QStringLiteral("-XXXXXX"));
    if (!tempDir->isValid())
        return fail(QStringLiteral("cannot create a state folder: ") + tempDir->errorString());
    caPath = QDir(caDir.isEmpty() ? stateDir() : caDir).absoluteFilePath(QStringLiteral("ca.pem"));

    QStringList args { script, QStringLiteral("--state"), stateDir(), QStringLiteral("--port"),
        QStringLiteral("0"), QStringLiteral("--port-file"), tempDir->filePath(QStringLiteral("port")),
        QStringLiteral("--exit-with-parent") };
    if (!caDir.isEmpty())
        args << QStringLiteral("--ca-dir") << caDir;
    args << extraArgs;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.setStandardOutputFile(tempDir->filePath(QStringLiteral("emulator.log")), QIODevice::Append);
    process.setStandardInputFile(QProcess::nullDevice());
    process.start(QStringLiteral("python3"), args);
    if (!process.waitForStarted())
        return fail(QStringLiteral("cannot start python3: ") + process.errorString());
    return waitUntilListening();
}

bool LocalServiceProcess::waitUntilListening()
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

void LocalServiceProcess::stop()
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

bool LocalServiceProcess::isRunning() const
{
    return process.state() == QProcess::Running && listenPort != 0;
}

QUrl LocalServiceProcess::rootUrl() const
{
    QUrl url;
    url.setScheme(QStringLiteral("https"));
    url.setHost(QStringLiteral("127.0.0.1"));
    url.setPort(listenPort);
    return url;
}

QString LocalServiceProcess::stateDir() const
{
    return tempDir ? tempDir->filePath(QStringLiteral("state")) : QString();
}

QSslConfiguration LocalServiceProcess::sslConfiguration() const
{
    QSslConfiguration config = QSslConfiguration::defaultConfiguration();
    config.addCaCertificates(caPath, QSsl::Pem);
    return config;
}

bool LocalServiceProcess::adminRequest(
    const QByteArray &method, const QString &what, const QByteArray &body, QByteArray *reply)
{
    if (!isRunning())
        return fail(QStringLiteral("the emulator is not running"));
    QUrl url = rootUrl();
    url.setPath(QStringLiteral("/_admin/") + what);
    QNetworkRequest request(url);
    request.setSslConfiguration(sslConfiguration());
    request.setHeader(QNetworkRequest::ContentTypeHeader, QStringLiteral("application/json"));

    QNetworkAccessManager manager; // owns the reply
    QNetworkReply *answer = manager.sendCustomRequest(request, method, body);
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
    if (!ok)
        return fail(QStringLiteral("admin %1 %2 failed: %3 %4")
                        .arg(QString::fromLatin1(method), what, error, QString::fromUtf8(bytes)));
    if (reply)
        *reply = bytes;
    return true;
}

bool LocalServiceProcess::fail(const QString &message)
{
    lastError = message;
    return false;
}

QString LocalServiceProcess::logTail() const
{
    QFile log(tempDir ? tempDir->filePath(QStringLiteral("emulator.log")) : QString());
    if (!log.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromUtf8(log.readAll().right(2000));
}
