#pragma once

#include <QList>
#include <QSslCertificate>
#include <QString>

#include <functional>

class QObject;

namespace engine {

// The CA certificates every XMPP connection trusts: the system's and those of the PEM file
// TALKVANE_CA_FILE names. Reading the system store takes a quarter of a second or more, so it is
// read once per process, on a worker thread started ahead of the first sign-in; the extra file is
// read again only when its path, size or time stamp changes. Thread-safe.
class TrustStore
{
public:
    // Starts reading the system store in the background, if nobody has yet.
    static void preload();
    static bool isReady();
    // Runs done on context's thread once the system store is read: at once when it already is,
    // never when context is destroyed first.
    static void whenReady(QObject *context, const std::function<void()> &done);
    // The system's CA certificates; waits for the background read if it is still running.
    static QList<QSslCertificate> systemCertificates();
    // The certificates of a PEM file (empty path: none); a warning is logged when it has none.
    static QList<QSslCertificate> fileCertificates(const QString &path);
    // System certificates followed by TALKVANE_CA_FILE's.
    static QList<QSslCertificate> trusted();
    // How many times the system store has been read in this process (for tests).
    static int systemLoads();
};

} // namespace engine
