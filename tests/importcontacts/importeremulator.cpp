#include "importeremulator.h"

#include <QFile>
#include <QJsonDocument>

ImporterEmulator::ImporterEmulator(QObject *parent)
    : LocalServiceProcess(QStringLiteral("talkvane-imp"), parent)
{ }

QString ImporterEmulator::emulatorScript()
{
    const QByteArray fromEnv = qgetenv("TALKVANE_IMPORTER_EMULATOR");
    if (!fromEnv.isEmpty())
        return QString::fromLocal8Bit(fromEnv);
    return QStringLiteral(TALKVANE_IMPORTER_EMULATOR_SCRIPT);
}

bool ImporterEmulator::start()
{
    return startScript(emulatorScript(), QStringList());
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
    qputenv("TALKVANE_CA_FILE", QFile::encodeName(caFile()));
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
    return adminRequest(method, what,
        body.isEmpty() ? QByteArray() : QJsonDocument(body).toJson(QJsonDocument::Compact), reply);
}
