#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

#include "talk/delayedcall.h"
#include "talk/proxysettings.h"
#include "talk/veskmetatypes.h"

namespace talk {

class MediaEngine;

// The Qt face of the engine session: loads the engine library, signs in to the voice service and
// out again, reconnects by itself after a lost connection, applies proxy settings to the engine and
// to the whole application, keeps the engine's two log files in the data folder and creates the
// media engine after the first completed login.
//
// Without an engine (library, entry point or creation missing) every operation that needs one does
// nothing and returns false, an empty text or null, and no login signal ever comes.
class VeskTalk : public QObject
{
    Q_OBJECT
public:
    // Loads the engine from the first of librarySearchPath() that loads.
    explicit VeskTalk(QObject *parent = nullptr);
    // Loads exactly this library file (tests, tools).
    explicit VeskTalk(const QString &libraryFile, QObject *parent = nullptr);
    ~VeskTalk() override;

    // libvesktalk.so beside the executable, then in the build tree's library folder beside it.
    static QStringList librarySearchPath();
    static QString libraryName() { return QStringLiteral("libvesktalk.so"); }
    // Maps the first of the candidates that loads, and the many libraries it needs, into the
    // process without creating an engine, so that a talk connection made later finds it in memory.
    // Slow (tens of milliseconds): meant for a worker thread while the program waits.
    static bool preloadLibrary(const QStringList &candidates = librarySearchPath());

    bool hasEngine() const;
    // The file the engine was loaded from; empty without an engine.
    QString loadedLibrary() const;

    // The voice server; by default the one of the service URL configuration (port 443 when it
    // names none).
    void setVoiceServer(const QString &host, int port);
    QString voiceHost() const;
    int voicePort() const;

    // Reconnect state: negative means no automatic reconnect, 0 a reconnect is scheduled after a
    // lost connection, 1 or more counts the attempts.
    int reconnectCount() const;
    bool userChanged() const;
    bool presenceSent() const;
    // Stops any scheduled or polling reconnect (signing out must never be undone by one).
    void cancelReconnect();

    // Hooks for tests: the check a reconnect asks before it signs in, and how delays are run.
    void setConnectivityCheck(std::function<bool()> check);
    void setDelayedCall(DelayedCall delayedCall);

    virtual ProxySettings proxySettings() const;
    virtual MediaEngine *mediaEngine();
    virtual QString version() const;
    virtual bool isLoggedIn() const;
    virtual bool openDefaultLogFiles();
    virtual bool closeLogFiles();
    virtual bool autoReconnect() const;
    virtual void setAutoReconnect(bool on);
    virtual QString xmppDumpFile() const;
    virtual QString logFile() const;

public slots:
    virtual void login(bool forceReconnects);
    void login() { login(false); }
    virtual void login(QString userName, QString password, bool useTLS);
    virtual void logout();
    virtual bool setProxySettings(talk::ProxySettings proxy);
    virtual bool setXMPPDumpToFile(QString filename);
    virtual bool setLogToFile(QString filename);

signals:
    void connectionLost(vesk::VESK_DISCONNECT_REASON reason);
    void loginCompleted();
    void loginFailed(vesk::VESK_TALK_ERROR_CODE errorCode);

private slots:
    void reconnect();

private:
    void setServer();
    void scheduleReconnect(int msecs);

    class Private;
    std::unique_ptr<Private> d;
};

} // namespace talk
