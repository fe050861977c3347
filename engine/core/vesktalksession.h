#pragma once

#include <QByteArray>
#include <QObject>

#include "proxysettings.h"
#include "vesk/interfaces.h"

namespace engine {

class AudioDevices;
class JingleManager;
class MediaEngine;
class XmppDump;
class XmppJingleWire;
class XmppSession;
} // namespace engine

class QXmppClient;

namespace engine {

// The engine session behind CreateVeskTalk: signs in to the voice server, keeps the two log
// files, and owns the media engine with its calls. Lives on the thread that created it.
class VeskTalkSession : public QObject, public vesk::IVeskTalk, public vesk::IFactory
{
    Q_OBJECT
public:
    explicit VeskTalkSession(QObject *parent = nullptr);
    ~VeskTalkSession() override;

    void SetServer(const char *host, int port) override;
    bool Login(const char *userName, const char *password, bool useTLS) override;
    void Logout() override;
    bool IsLoggedIn() const override;
    bool SendPresence(const vesk::IPresence *presence) override;
    vesk::IFactory *GetFactory() override { return this; }
    bool SetXMPPDumpFile(const char *path) override;
    bool SetLogFile(const char *path) override;
    vesk::IMediaEngine *GetMediaEngine(int index) override;
    const char *GetVersion(int what) const override;
    bool SetProxy(const vesk::IProxySettings *proxy) override;
    vesk::IProxySettings *GetProxy() const override;
    void Release() override;

    vesk::IPresence *CreatePresence() override;
    vesk::IProxySettings *CreateProxySettings() override;

    XmppSession *xmpp() const { return m_xmpp; }
    JingleManager *jingle() const { return m_jingle; }

private:
    void setUpClient(QXmppClient *client);
    void onLoggedIn();
    void onLoginFailed(vesk::VESK_TALK_ERROR_CODE code);
    void onConnectionLost(vesk::VESK_DISCONNECT_REASON reason);
    void onRosterReceived();

    XmppDump *m_dump;
    XmppSession *m_xmpp;
    JingleManager *m_jingle;
    AudioDevices *m_devices = nullptr;
    MediaEngine *m_media = nullptr;
    ProxySettings m_proxy;
};

} // namespace engine
