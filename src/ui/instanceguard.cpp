#include "ui/instanceguard.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>

#include "util/log.h"

namespace {
constexpr int maxMessageLength = 4096;
}

InstanceGuard::InstanceGuard(const QString &key, const QString &folder, QObject *parent) : QObject(parent)
{
    const QByteArray digest = QCryptographicHash::hash(
        (key + QLatin1Char('\n') + QDir(folder).absolutePath()).toUtf8(), QCryptographicHash::Sha1)
                                  .toHex()
                                  .left(16);
    name = QStringLiteral("talkvane-") + QString::fromLatin1(digest);
    lockPath = QDir(folder).filePath(QStringLiteral("instance.lock"));
}

InstanceGuard::~InstanceGuard()
{
    if (server)
        server->close();
}

bool InstanceGuard::isPrimary() const
{
    return primary;
}

bool InstanceGuard::isRunning()
{
    if (primary)
        return false;
    if (!QDir().mkpath(QFileInfo(lockPath).absolutePath())) {
        // Without a folder for the lock there is no way to tell; run rather than refuse to start.
        LOG_WARNING << "No folder for the instance lock, running unguarded:" << lockPath;
        primary = true;
        return false;
    }
    lock = std::make_unique<QLockFile>(lockPath);
    // Age never makes the lock stale; a lock whose process has died is taken over.
    lock->setStaleLockTime(0);
    if (lock->tryLock(0)) {
        becomePrimary();
        return false;
    }
    if (lock->error() != QLockFile::LockFailedError) {
        LOG_WARNING << "Instance lock unusable, running unguarded:" << lockPath << int(lock->error());
        lock.reset();
        primary = true;
        return false;
    }
    lock.reset();
    return true;
}

void InstanceGuard::becomePrimary()
{
    primary = true;
    // A socket file left by a crashed primary would block listen().
    QLocalServer::removeServer(name);
    server = new QLocalServer(this);
    server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!server->listen(name)) {
        LOG_WARNING << "Cannot listen for other instances on" << name << server->errorString();
        return;
    }
    connect(server, &QLocalServer::newConnection, this, &InstanceGuard::onNewConnection);
    LOG_TRACE << "Primary instance, listening on" << name;
}

void InstanceGuard::onNewConnection()
{
    while (QLocalSocket *socket = server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket]() {
            while (socket->canReadLine()) {
                const QString message = QString::fromUtf8(socket->readLine()).trimmed();
                LOG_TRACE << "Message from another instance:" << message;
                emit messageReceived(message);
            }
            if (socket->bytesAvailable() > maxMessageLength)
                socket->abort();
        });
    }
}

bool InstanceGuard::sendMessage(const QString &message, int timeout)
{
    QLocalSocket socket;
    socket.connectToServer(name);
    if (!socket.waitForConnected(timeout)) {
        LOG_WARNING << "Cannot reach the running instance:" << socket.errorString();
        return false;
    }
    socket.write(message.toUtf8() + '\n');
    const bool written = socket.waitForBytesWritten(timeout);
    socket.disconnectFromServer();
    if (socket.state() != QLocalSocket::UnconnectedState)
        socket.waitForDisconnected(timeout);
    return written;
}
