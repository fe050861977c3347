#pragma once

#include <QByteArray>
#include <QObject>
#include <QProcess>
#include <QSslConfiguration>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QUrl>

#include <memory>

// Runs one of the project's local HTTPS stand-ins (a python3 script under tools/) for a test: a fresh
// state folder, a free port on 127.0.0.1 that the script writes into its port file once it listens, a
// local CA, and the script's admin requests. The process is stopped by stop() or the destructor, and
// it also ends by itself when the test process dies.
class LocalServiceProcess : public QObject
{
    Q_OBJECT
public:
    ~LocalServiceProcess() override;

    void stop();
    bool isRunning() const;
    QString errorString() const { return lastError; }

    quint16 port() const { return listenPort; }
    qint64 processId() const { return process.processId(); }
    // https://127.0.0.1:PORT
    QUrl rootUrl() const;
    QString caFile() const { return caPath; }
    QString stateDir() const;
    // The default TLS configuration plus the service's CA; verification stays on.
    QSslConfiguration sslConfiguration() const;

protected:
    // tempPrefix names the state folders ("talkvane-ws" gives /tmp/talkvane-ws-XXXXXX).
    explicit LocalServiceProcess(const QString &tempPrefix, QObject *parent = nullptr);

    // Starts `script` on port 0 with the state folder, the port file, the parent watch and `extraArgs`,
    // and waits until it listens. caDir: the folder of its CA (empty: the state folder).
    bool startScript(const QString &script, const QStringList &extraArgs, const QString &caDir = QString());
    // Sends `body` (JSON text, or nothing) to /_admin/<what>; `reply` receives the answer's bytes.
    bool adminRequest(
        const QByteArray &method, const QString &what, const QByteArray &body, QByteArray *reply = nullptr);
    // Keeps the message for errorString(); returns false.
    bool fail(const QString &message);

private:
    bool waitUntilListening();
    QString logTail() const;

    QString prefix;
    std::unique_ptr<QTemporaryDir> tempDir;
    QProcess process;
    QString lastError;
    QString caPath;
    quint16 listenPort = 0;
};
