#pragma once

#include <QObject>
#include <QString>

#include <memory>

class QLocalServer;
class QLockFile;

// Keeps one running instance per user and data folder. The primary instance holds a lock file and
// listens on a local socket; a later instance finds the lock taken and can hand the primary a short
// text message (such as "--show") before it ends. A lock left by a crashed process is taken over.
class InstanceGuard : public QObject
{
    Q_OBJECT
public:
    // key: anything that tells installations apart (the executable's path); folder: where the lock
    // file lives (the per-user data folder).
    InstanceGuard(const QString &key, const QString &folder, QObject *parent = nullptr);
    ~InstanceGuard() override;

    // True while another live process is the primary instance. When none is, this process becomes
    // the primary one (takes the lock, starts listening) and false is returned.
    bool isRunning();
    bool isPrimary() const;
    // Sends message to the primary instance; false when it cannot be delivered within timeout ms.
    bool sendMessage(const QString &message, int timeout);

    QString serverName() const { return name; }
    QString lockFilePath() const { return lockPath; }

signals:
    void messageReceived(const QString &message);

private:
    void becomePrimary();
    void onNewConnection();

    QString name;
    QString lockPath;
    std::unique_ptr<QLockFile> lock;
    QLocalServer *server = nullptr;
    bool primary = false;
};
