#include "truststore.h"

#include <atomic>
#include <mutex>

#include <QDateTime>
#include <QFileInfo>
#include <QFutureWatcher>
#include <QSslConfiguration>
#include <QtConcurrent>

#include "core/enginelog.h"

namespace engine {

namespace {

std::mutex storeMutex;
QFuture<QList<QSslCertificate>> systemStore;
std::atomic<int> systemStoreLoads { 0 };

QList<QSslCertificate> readSystemStore()
{
    ++systemStoreLoads;
    return QSslConfiguration::systemCaCertificates();
}

// The last extra file read, and what it held.
struct FileEntry
{
    QString path;
    qint64 size = -1;
    QDateTime modified;
    QList<QSslCertificate> certificates;
};
FileEntry lastFile;
bool started = false;

QFuture<QList<QSslCertificate>> store()
{
    std::lock_guard<std::mutex> lock(storeMutex);
    if (!started) {
        started = true;
        systemStore = QtConcurrent::run(readSystemStore);
    }
    return systemStore;
}

} // namespace

void TrustStore::preload()
{
    store();
}

bool TrustStore::isReady()
{
    return store().isFinished();
}

void TrustStore::whenReady(QObject *context, const std::function<void()> &done)
{
    const QFuture<QList<QSslCertificate>> future = store();
    if (future.isFinished()) {
        done();
        return;
    }
    // Owned by the context: gone with it, and with it the pending call.
    auto *watcher = new QFutureWatcher<QList<QSslCertificate>>(context);
    QObject::connect(watcher, &QFutureWatcherBase::finished, context, [watcher, done] {
        watcher->deleteLater();
        done();
    });
    watcher->setFuture(future);
}

QList<QSslCertificate> TrustStore::systemCertificates()
{
    return store().result();
}

QList<QSslCertificate> TrustStore::fileCertificates(const QString &path)
{
    if (path.isEmpty())
        return {};
    const QFileInfo info(path);
    const qint64 size = info.exists() ? info.size() : -1;
    const QDateTime modified = info.lastModified();
    {
        std::lock_guard<std::mutex> lock(storeMutex);
        if (lastFile.path == path && lastFile.size == size && lastFile.modified == modified
            && !lastFile.certificates.isEmpty())
            return lastFile.certificates;
    }
    const QList<QSslCertificate> certificates = QSslCertificate::fromPath(path, QSsl::Pem);
    if (certificates.isEmpty()) {
        VLOG_WARNING(QStringLiteral("No CA certificate read from %1").arg(path));
        return {};
    }
    std::lock_guard<std::mutex> lock(storeMutex);
    lastFile = FileEntry { path, size, modified, certificates };
    return certificates;
}

QList<QSslCertificate> TrustStore::trusted()
{
    return systemCertificates() + fileCertificates(qEnvironmentVariable("TALKVANE_CA_FILE"));
}

int TrustStore::systemLoads()
{
    return systemStoreLoads;
}

} // namespace engine
