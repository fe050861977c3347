#pragma once

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QString>
#include <QUrl>

#include "localserviceprocess.h"

// Runs tools/webservice/emulator.py for a test: a fresh state folder, a free port on 127.0.0.1, its own
// local CA unless one is shared. The process is stopped by stop() or the destructor, and it also ends by
// itself when the test process dies.
class WebServiceEmulator : public LocalServiceProcess
{
    Q_OBJECT
public:
    explicit WebServiceEmulator(QObject *parent = nullptr);

    // Starts and waits until the emulator listens. caDir: folder of a CA shared with other local
    // services (empty: a CA of its own in the state folder). seedFile: empty for the project's seed.
    bool start(const QString &caDir = QString(), const QString &seedFile = QString());

    // https://127.0.0.1:PORT
    QUrl baseUrl() const { return rootUrl(); }
    // baseUrl + "/webservice-5.0/" + resource, as the URL configuration holds it.
    QString serviceUrl(const QString &resource) const;

    // kind: "500", "malformed", "delay" or "drop"; resource empty for any resource. A dropped
    // connection makes Qt send the request again, up to three times: a drop the client should see
    // needs a count of dropsSeenByQt per request.
    static constexpr int dropsSeenByQt = 4;
    bool injectFault(
        const QString &kind, int count = 1, const QString &resource = QString(), double seconds = 0);
    bool injectFault(const QJsonObject &fault);
    bool clearFaults();
    bool reset();
    // The emulator's whole state: accounts (with groups, contacts, SMS, invitations), limits, pending
    // faults and the request log (passwords redacted). Null document on failure.
    QJsonDocument state();
    QJsonArray requests();
    bool setLimits(const QJsonObject &limits);
    // Changes an account directly (credit, currency, password, profile keys).
    bool patchAccount(const QString &username, const QJsonObject &fields);

    // Writes the URL configuration of the "Local" brand pointing at this emulator (and at the voice
    // server given, by default the local voice service's usual address).
    bool writeUrlsFile(const QString &filePath, const QString &voiceHost = QStringLiteral("127.0.0.1"),
        int voicePort = 5223) const;
    // Sets TALKVANE_CA_FILE and, when urlsFile is given, writes it and sets TALKVANE_URLS_FILE and
    // TALKVANE_BRAND=Local.
    bool exportEnvironment(const QString &urlsFile = QString(),
        const QString &voiceHost = QStringLiteral("127.0.0.1"), int voicePort = 5223) const;

    static QString emulatorScript();

private:
    bool admin(const QByteArray &method, const QString &what, const QJsonDocument &body,
        QJsonDocument *reply = nullptr);
};

// Writes the twelve web-service URLs and the voice server ("Local.Webservices") and the nine home-page
// URLs ("Local.HomeUrls") for a service rooted at serviceRoot (scheme, host and port).
bool writeLocalUrlConfig(const QString &filePath, const QUrl &serviceRoot,
    const QString &voiceHost = QStringLiteral("127.0.0.1"), int voicePort = 5223);
