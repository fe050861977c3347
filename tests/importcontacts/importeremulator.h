#pragma once

#include <QJsonArray>
#include <QJsonObject>
#include <QString>

#include "localserviceprocess.h"
#include "serviceurls.h"

// Runs tools/importers/emulator.py (the local Google and Yahoo address-book services) for a test: a fresh
// state folder, a free port on 127.0.0.1, its own local CA. Stopped by stop() or the destructor; it also
// ends by itself when the test process dies.
class ImporterEmulator : public LocalServiceProcess
{
    Q_OBJECT
public:
    explicit ImporterEmulator(QObject *parent = nullptr);

    // Starts and waits until the emulator listens.
    bool start();

    // https://127.0.0.1:PORT
    QString baseUrl() const { return rootUrl().toString(); }
    // The importers' four base URLs pointing at this emulator (the web-service URLs stay empty).
    ServiceUrls serviceUrls() const;
    // Sets TALKVANE_CA_FILE to the emulator's CA, so the importers trust it.
    void exportCaFile() const;

    // kind: "drop", "500", "delay" or "malformed"; the fault hits requests whose path starts with
    // `path`, `count` times (-1: every time).
    // `method` empty: any method.
    bool injectFault(const QString &kind, const QString &path, int count = -1, double seconds = 0,
        const QString &body = QString(), const QString &method = QString());
    bool clearFaults();
    bool reset();
    // The requests served so far: method, path, status and what the service noted (passwords never).
    QJsonArray requests();
    // Paths of the requests served so far, in order.
    QStringList requestPaths();
    // An access token of a Yahoo account for signing tests: token, secret, guid, consumerKey.
    QJsonObject yahooAccessToken(const QString &login);

    static QString emulatorScript();

private:
    bool admin(
        const QByteArray &method, const QString &what, const QJsonObject &body, QByteArray *reply = nullptr);
};
