#include "vesktalk.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibrary>
#include <QNetworkProxy>
#include <QPointer>
#include <QRandomGenerator>
#include <QStandardPaths>

#include "serviceurls.h"
#include "talk/callinstance.h"
#include "talk/mediaengineimpl.h"
#include "util/log.h"
#include "util/util.h"
#include "vesk/interfaces.h"

namespace talk {

namespace {

// The engine's allocator pair, kept for the whole process: every node the program puts into a
// container of the library is allocated and freed through them.
VeskTalkAllocatorFunction engineAllocator = nullptr;
VeskTalkDeleterFunction engineDeleter = nullptr;

constexpr int defaultVoicePort = 443;
constexpr int reconnectPollMs = 1000;

int reconnectDelayMs()
{
    return 1000 + int(QRandomGenerator::global()->bounded(1000u));
}

QByteArray utf8(const QString &text)
{
    return text.toUtf8();
}

QString text(const char *utf8Text)
{
    return utf8Text ? QString::fromUtf8(utf8Text) : QString();
}

QNetworkProxy::ProxyType qtProxyType(int type)
{
    switch (type) {
    case ProxySettings::Https:
        return QNetworkProxy::HttpProxy;
    case ProxySettings::Socks:
        return QNetworkProxy::Socks5Proxy;
    default:
        return QNetworkProxy::DefaultProxy;
    }
}

} // namespace

class VeskTalk::Private : public sigslot::has_slots<>
{
public:
    explicit Private(VeskTalk *owner) : q(owner) { }
    ~Private() override;

    bool initialize(const QStringList &candidates);
    bool loadLibrary(const QStringList &candidates);

    void onConnectionLost(vesk::VESK_DISCONNECT_REASON reason);
    void onLoginCompleted();
    void onLoginFailed(vesk::VESK_TALK_ERROR_CODE code);
    void onRosterReceived(vesk::IRoster *roster);

    VeskTalk *q;
    vesk::IVeskTalk *engine = nullptr;
    QPointer<MediaEngineImpl> mediaEngine;
    QString xmppDumpFile;
    QString logFile;
    QString userName;
    QString password;
    bool useTLS = true;
    int reconnectCount = -1;
    bool autoReconnect = true;
    bool userChanged = false;
    bool presenceSent = false;

    QLibrary library;
    QString voiceHost;
    int voicePort = defaultVoicePort;
    // Whether the user wants a session: set by a login, cleared by a logout. A lost connection
    // reconnects only while it is set.
    bool wanted = false;
    // Bumped whenever pending reconnects become void; a scheduled reconnect runs only if the
    // generation it was scheduled in is still current.
    quint64 reconnectGeneration = 0;
    std::function<bool()> connectivityCheck = &Util::hasNetworkConnectivity;
    DelayedCall delayedCall = qtDelayedCall();
};

VeskTalk::Private::~Private()
{
    if (!engine)
        return;
    engine->Logout();
    engine->Release();
    engine = nullptr;
    reconnectCount = -1;
}

bool VeskTalk::Private::loadLibrary(const QStringList &candidates)
{
    for (const QString &candidate : candidates) {
        library.setFileName(candidate);
        if (library.load())
            return true;
        LOG_TRACE << "not loaded:" << candidate << library.errorString();
    }
    return false;
}

bool VeskTalk::Private::initialize(const QStringList &candidates)
{
    if (!loadLibrary(candidates)) {
        LOG_ERROR << "Could not load the library.";
        return false;
    }
    LOG_TRACE << "Loaded library:" << QDir::currentPath() << library.fileName();

    auto create = reinterpret_cast<CreateVeskTalkFunction>(library.resolve("CreateVeskTalk"));
    if (!create) {
        LOG_ERROR << "Resolve CreateVeskTalk failed.";
        return false;
    }
    auto allocator = reinterpret_cast<VeskTalkAllocatorFunction>(library.resolve("VeskTalk_EASTLAllocator"));
    if (!allocator) {
        LOG_ERROR << "Resolve VeskTalk_EASTLAllocator failed:" << library.errorString();
        return false;
    }
    auto deleter = reinterpret_cast<VeskTalkDeleterFunction>(library.resolve("VeskTalk_EASTLDeleter"));
    if (!deleter) {
        LOG_ERROR << "Resolve VeskTalk_EASTLDeleter failed:" << library.errorString();
        return false;
    }
    engineAllocator = allocator;
    engineDeleter = deleter;
    sigslot::set_allocator(engineAllocator, engineDeleter);

    if (!create(&engine) || !engine) {
        engine = nullptr;
        LOG_ERROR << "Create IVeskTalk interface failed.";
        return false;
    }
    presenceSent = false;
    engine->SignalConnectionLost.connect(this, &Private::onConnectionLost);
    engine->SignalLoginCompleted.connect(this, &Private::onLoginCompleted);
    engine->SignalLoginFailed.connect(this, &Private::onLoginFailed);
    engine->SignalRosterReceived.connect(this, &Private::onRosterReceived);
    return true;
}

void VeskTalk::Private::onConnectionLost(vesk::VESK_DISCONNECT_REASON reason)
{
    LOG_TRACE << "reason" << int(reason) << "autoReconnect" << autoReconnect << "wanted" << wanted;
    emit q->connectionLost(reason);
    if (!autoReconnect || reason == vesk::VESK_DISCONNECT_REPLACED || !wanted)
        return;
    reconnectCount = 0;
    ++reconnectGeneration;
    q->scheduleReconnect(reconnectDelayMs());
}

void VeskTalk::Private::onLoginCompleted()
{
    LOG_TRACE << "userChanged" << userChanged << "reconnectCount" << reconnectCount;
    if (userChanged) {
        reconnectCount = -1;
        userChanged = false;
    }
    q->mediaEngine();
    emit q->loginCompleted();
}

void VeskTalk::Private::onLoginFailed(vesk::VESK_TALK_ERROR_CODE code)
{
    LOG_TRACE << "code" << int(code) << "reconnectCount" << reconnectCount;
    emit q->loginFailed(code);
    if (reconnectCount >= 1 && code == vesk::VESK_TALK_ERROR_CONNECTION && wanted)
        q->scheduleReconnect(reconnectDelayMs());
}

void VeskTalk::Private::onRosterReceived(vesk::IRoster *roster)
{
    LOG_TRACE << "roster of" << (roster ? roster->GetCount() : 0) << "presenceSent" << presenceSent;
    if (presenceSent || !engine)
        return;
    vesk::IPresence *presence = engine->GetFactory()->CreatePresence();
    if (!presence)
        return;
    presence->SetAvailable(true);
    presence->SetPriority(5);
    presence->SetShow(0);
    engine->SendPresence(presence);
    presence->Release();
    presenceSent = true;
}

VeskTalk::VeskTalk(QObject *parent) : VeskTalk(QString(), parent) { }

VeskTalk::VeskTalk(const QString &libraryFile, QObject *parent)
    : QObject(parent), d(std::make_unique<Private>(this))
{
    const ServiceUrls urls = ServiceUrls::load();
    setVoiceServer(urls.voiceHost, urls.voicePort);
    d->initialize(libraryFile.isEmpty() ? librarySearchPath() : QStringList { libraryFile });
    openDefaultLogFiles();
}

VeskTalk::~VeskTalk()
{
    // The media engine lets go of the engine's signals while the engine still exists.
    delete d->mediaEngine;
    d.reset();
}

QStringList VeskTalk::librarySearchPath()
{
    const QString appDir = QCoreApplication::applicationDirPath();
    return { QDir(appDir).filePath(libraryName()),
        QDir(appDir).filePath(QStringLiteral("../lib/") + libraryName()) };
}

bool VeskTalk::preloadLibrary(const QStringList &candidates)
{
    for (const QString &candidate : candidates) {
        // A QLibrary leaves its library loaded when it goes; the engine's own load() then finds it.
        QLibrary library(candidate);
        if (library.load())
            return true;
    }
    return false;
}

bool VeskTalk::hasEngine() const
{
    return d->engine;
}

QString VeskTalk::loadedLibrary() const
{
    return d->engine ? d->library.fileName() : QString();
}

void VeskTalk::setVoiceServer(const QString &host, int port)
{
    d->voiceHost = host;
    d->voicePort = port > 0 ? port : defaultVoicePort;
}

QString VeskTalk::voiceHost() const
{
    return d->voiceHost;
}

int VeskTalk::voicePort() const
{
    return d->voicePort;
}

int VeskTalk::reconnectCount() const
{
    return d->reconnectCount;
}

bool VeskTalk::userChanged() const
{
    return d->userChanged;
}

bool VeskTalk::presenceSent() const
{
    return d->presenceSent;
}

void VeskTalk::cancelReconnect()
{
    LOG_TRACE << "reconnectCount was" << d->reconnectCount;
    d->reconnectCount = -1;
    ++d->reconnectGeneration;
}

void VeskTalk::setConnectivityCheck(std::function<bool()> check)
{
    d->connectivityCheck = check ? std::move(check) : std::function<bool()>(&Util::hasNetworkConnectivity);
}

void VeskTalk::setDelayedCall(DelayedCall delayedCall)
{
    d->delayedCall = delayedCall ? std::move(delayedCall) : qtDelayedCall();
}

ProxySettings VeskTalk::proxySettings() const
{
    if (!d->engine)
        return ProxySettings();
    vesk::IProxySettings *proxy = d->engine->GetProxy();
    if (!proxy)
        return ProxySettings();
    const ProxySettings copy(proxy->GetType(), text(proxy->GetHost()), proxy->GetPort(), false,
        text(proxy->GetUserName()), text(proxy->GetPassword()));
    proxy->Release();
    return copy;
}

MediaEngine *VeskTalk::mediaEngine()
{
    if (!d->mediaEngine && d->engine) {
        if (vesk::IMediaEngine *engineMedia = d->engine->GetMediaEngine(0))
            d->mediaEngine = new MediaEngineImpl(engineMedia, this);
        else
            LOG_WARNING << "the engine has no media engine";
    }
    return d->mediaEngine;
}

QString VeskTalk::version() const
{
    return d->engine ? text(d->engine->GetVersion(0)) : QString();
}

bool VeskTalk::isLoggedIn() const
{
    return d->engine && d->engine->IsLoggedIn();
}

bool VeskTalk::openDefaultLogFiles()
{
    const QString dir = QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation);
    QDir().mkpath(dir);
    const QString xmpp = QDir(dir).filePath(QStringLiteral("veskxmpp.log"));
    const QString log = QDir(dir).filePath(QStringLiteral("vesktalk.log"));
    LOG_TRACE << "engine logs:" << xmpp << log;
    setXMPPDumpToFile(xmpp);
    setLogToFile(log);
    return true;
}

bool VeskTalk::closeLogFiles()
{
    LOG_TRACE << "closing the engine logs";
    if (!d->engine)
        return false;
    const bool xmpp = setXMPPDumpToFile(QString());
    const bool log = setLogToFile(QString());
    return xmpp && log;
}

bool VeskTalk::autoReconnect() const
{
    return d->autoReconnect;
}

void VeskTalk::setAutoReconnect(bool on)
{
    d->autoReconnect = on;
}

QString VeskTalk::xmppDumpFile() const
{
    return d->xmppDumpFile;
}

QString VeskTalk::logFile() const
{
    return d->logFile;
}

void VeskTalk::setServer()
{
    d->engine->SetServer(utf8(d->voiceHost).constData(), d->voicePort);
}

void VeskTalk::login(bool forceReconnects)
{
    LOG_TRACE << "userName=" << d->userName << "password=********";
    if (!d->engine)
        return;
    d->reconnectCount = forceReconnects ? 1 : 0;
    d->wanted = true;
    setServer();
    if (!d->engine->Login(utf8(d->userName).constData(), utf8(d->password).constData(), d->useTLS))
        d->onLoginFailed(vesk::VESK_TALK_ERROR_SERVER);
}

void VeskTalk::login(QString userName, QString password, bool useTLS)
{
    if (!d->engine) {
        LOG_WARNING << "no engine: cannot sign in" << userName;
        return;
    }
    setServer();
    d->presenceSent = false;
    LOG_TRACE << "userName=" << userName << "password=********"
              << "server" << d->voiceHost << d->voicePort;
    d->userChanged = d->userChanged || userName != d->userName;
    d->userName = userName;
    d->password = password;
    d->useTLS = useTLS;
    d->wanted = true;
    // The engine refuses some names at once, without a signal; report that like any failure.
    if (!d->engine->Login(utf8(userName).constData(), utf8(password).constData(), useTLS)) {
        LOG_WARNING << "the engine refused the login at once";
        d->onLoginFailed(vesk::VESK_TALK_ERROR_SERVER);
    }
}

void VeskTalk::logout()
{
    LOG_TRACE << "logging out";
    d->wanted = false;
    cancelReconnect();
    if (d->engine)
        d->engine->Logout();
}

bool VeskTalk::setProxySettings(ProxySettings proxy)
{
    if (!d->engine)
        return false;
    std::shared_ptr<vesk::IProxySettings> engineProxy(
        d->engine->GetFactory()->CreateProxySettings(), [](vesk::IProxySettings *p) {
            if (p)
                p->Release();
        });
    if (!engineProxy)
        return false;
    engineProxy->SetType(proxy.type());
    engineProxy->SetHost(utf8(proxy.host()).constData());
    engineProxy->SetPort(proxy.port());
    engineProxy->SetUserName(utf8(proxy.user()).constData());
    engineProxy->SetPassword(utf8(proxy.password()).constData());
    const bool ok = d->engine->SetProxy(engineProxy.get());
    // The password never goes into the log.
    LOG_TRACE << "Proxy settings changed" << proxy.host() << proxy.port() << proxy.user()
              << (proxy.password().isEmpty() ? "" : "********") << proxy.type() << "result" << ok;
    if (ok) {
        QNetworkProxy::setApplicationProxy(QNetworkProxy(
            qtProxyType(proxy.type()), proxy.host(), quint16(proxy.port()), proxy.user(), proxy.password()));
    }
    return ok;
}

bool VeskTalk::setXMPPDumpToFile(QString filename)
{
    d->xmppDumpFile = filename;
    if (!d->engine)
        return false;
    return d->engine->SetXMPPDumpFile(filename.isEmpty() ? nullptr : utf8(filename).constData());
}

bool VeskTalk::setLogToFile(QString filename)
{
    d->logFile = filename;
    if (!d->engine)
        return false;
    return d->engine->SetLogFile(filename.isEmpty() ? nullptr : utf8(filename).constData());
}

void VeskTalk::scheduleReconnect(int msecs)
{
    const quint64 generation = d->reconnectGeneration;
    LOG_TRACE << "reconnect in" << msecs << "ms";
    d->delayedCall(msecs, this, [this, generation] {
        if (generation == d->reconnectGeneration)
            reconnect();
    });
}

void VeskTalk::reconnect()
{
    LOG_TRACE << "reconnectCount" << d->reconnectCount;
    if (d->reconnectCount < 0)
        return;
    if (!d->connectivityCheck()) {
        scheduleReconnect(reconnectPollMs);
        return;
    }
    ++d->reconnectCount;
    d->presenceSent = false;
    login(d->userName, d->password, d->useTLS);
}

} // namespace talk
