#include "vesktalksession.h"

#include <QXmppRosterManager.h>
#include <QXmppUtils.h>

#include "enginelog.h"
#include "jingle/jinglemanager.h"
#include "jingle/jinglesession.h"
#include "mediaengine.h"
#include "presence.h"
#include "roster.h"
#include "xmpp/xmppdump.h"
#include "xmpp/xmppjinglewire.h"
#include "xmpp/xmppsession.h"
#if VESK_HAVE_MEDIA
#include "media/audiodevices.h"
#include "media/mediawarmup.h"
#include "media/webrtccallmedia.h"
#endif

namespace engine {

VeskTalkSession::VeskTalkSession(QObject *parent)
    : QObject(parent), m_dump(new XmppDump(this)), m_xmpp(new XmppSession(this))
{
    m_xmpp->setLogger(m_dump->logger());
#if VESK_HAVE_MEDIA
    m_devices = new AudioDevices(this);
    // The program shows its window meanwhile; the devices are first needed once signed in.
    m_devices->startInBackground();
    AudioDevices *devices = m_devices;
    // Headless machines (CI) replace the sound card through the environment.
    MediaOptions options;
    options.sourceOverride = qEnvironmentVariable("VESKTALK_AUDIO_SOURCE");
    options.sinkOverride = qEnvironmentVariable("VESKTALK_AUDIO_SINK");
    auto factory = [devices, options](QObject *parent) -> CallMedia * {
        return new WebRtcCallMedia(options, devices, parent);
    };
#else
    auto factory = [](QObject *) -> CallMedia * { return nullptr; };
#endif
    m_jingle = new JingleManager(nullptr, factory, this);
    // How long an unanswered call rings may be shortened (tests, or a service that wants less).
    const int ringMs = qEnvironmentVariableIntValue("VESKTALK_RING_TIMEOUT_MS");
    if (ringMs > 0) {
        JingleTimeouts timeouts = m_jingle->timeouts();
        timeouts.ringing = ringMs;
        m_jingle->setTimeouts(timeouts);
    }
    setUpClient(m_xmpp->client());
    connect(m_xmpp, &XmppSession::clientReplaced, this, &VeskTalkSession::setUpClient);
    m_media = new MediaEngine(m_jingle, m_devices, this);
    connect(m_xmpp, &XmppSession::loggedIn, this, &VeskTalkSession::onLoggedIn);
    connect(m_xmpp, &XmppSession::loginFailed, this, &VeskTalkSession::onLoginFailed);
    connect(m_xmpp, &XmppSession::connectionLost, this, &VeskTalkSession::onConnectionLost);
    VLOG_TRACE(QStringLiteral("Engine session created"));
}

// Every connection carries Jingle (first among the handlers) and the roster.
void VeskTalkSession::setUpClient(QXmppClient *client)
{
    auto *wire = new XmppJingleWire(client);
    wire->setManager(m_jingle);
    client->insertExtension(0, wire);
    m_jingle->setWire(wire);
    auto *roster = client->findExtension<QXmppRosterManager>();
    if (!roster)
        return;
    connect(roster, &QXmppRosterManager::rosterReceived, this, &VeskTalkSession::onRosterReceived);
    m_jingle->setResolver([roster](const QString &bareJid) {
        QString best;
        int bestPriority = INT_MIN;
        const auto presences = roster->getAllPresencesForBareJid(bareJid);
        for (auto it = presences.cbegin(); it != presences.cend(); ++it) {
            if (it->type() == QXmppPresence::Available && it->priority() > bestPriority) {
                bestPriority = it->priority();
                best = bareJid + QLatin1Char('/') + it.key();
            }
        }
        return best;
    });
}

VeskTalkSession::~VeskTalkSession()
{
    VLOG_TRACE(QStringLiteral("Engine session destroyed"));
    // Calls go first: their last stanzas still need the connection.
    delete m_media;
    m_media = nullptr;
    m_xmpp->logout();
}

void VeskTalkSession::SetServer(const char *host, int port)
{
    m_xmpp->setServer(QString::fromUtf8(host ? host : ""), port);
}

bool VeskTalkSession::Login(const char *userName, const char *password, bool useTLS)
{
    const QString jid = QString::fromUtf8(userName ? userName : "");
    // The password is never written anywhere.
    VLOG_TRACE(QStringLiteral("Login userName=\"%1\" password=********").arg(jid));
    if (QXmppUtils::jidToUser(jid).isEmpty() || QXmppUtils::jidToDomain(jid).isEmpty()) {
        VLOG_WARNING(QStringLiteral("Login refused: the user name is not user@domain"));
        return false;
    }
    m_jingle->abandonAll();
    m_jingle->setOwnJid(QString());
    m_xmpp->setProxy(m_proxy.toNetworkProxy());
    m_xmpp->login(jid, QString::fromUtf8(password ? password : ""), useTLS);
    return true;
}

void VeskTalkSession::Logout()
{
    m_media->abandonCalls();
    m_jingle->setOwnJid(QString());
    m_xmpp->logout();
}

bool VeskTalkSession::IsLoggedIn() const
{
    return m_xmpp->isLoggedIn();
}

bool VeskTalkSession::SendPresence(const vesk::IPresence *presence)
{
    if (!presence || !m_xmpp->isLoggedIn())
        return false;
    return m_xmpp->client()->sendPacket(Presence::toXmpp(*presence));
}

bool VeskTalkSession::SetXMPPDumpFile(const char *path)
{
    return m_dump->setFile(QString::fromUtf8(path ? path : ""));
}

bool VeskTalkSession::SetLogFile(const char *path)
{
    return EngineLog::instance().setFile(QString::fromUtf8(path ? path : ""));
}

vesk::IMediaEngine *VeskTalkSession::GetMediaEngine(int index)
{
    return index == 0 ? m_media : nullptr;
}

const char *VeskTalkSession::GetVersion(int) const
{
    return "vesktalk " VESKTALK_VERSION;
}

bool VeskTalkSession::SetProxy(const vesk::IProxySettings *proxy)
{
    if (!proxy)
        return false;
    const int type = proxy->GetType();
    const bool direct = type != 1 && type != 2;
    if (!direct
        && (!proxy->GetHost() || !*proxy->GetHost() || proxy->GetPort() <= 0 || proxy->GetPort() > 65535)) {
        VLOG_WARNING(QStringLiteral("Proxy refused: type %1 needs a host and a port").arg(type));
        return false;
    }
    m_proxy = ProxySettings(*proxy);
    VLOG_TRACE(QStringLiteral("Proxy type %1 host %2 port %3 user \"%4\" password ********")
                   .arg(type)
                   .arg(QString::fromUtf8(m_proxy.GetHost()))
                   .arg(m_proxy.GetPort())
                   .arg(QString::fromUtf8(m_proxy.GetUserName())));
    // Takes effect at the next login.
    m_xmpp->setProxy(m_proxy.toNetworkProxy());
    return true;
}

vesk::IProxySettings *VeskTalkSession::GetProxy() const
{
    return new ProxySettings(m_proxy);
}

void VeskTalkSession::Release()
{
    delete this;
}

vesk::IPresence *VeskTalkSession::CreatePresence()
{
    return new Presence;
}

vesk::IProxySettings *VeskTalkSession::CreateProxySettings()
{
    return new ProxySettings;
}

void VeskTalkSession::onLoggedIn()
{
    m_jingle->setOwnJid(m_xmpp->client()->configuration().jid());
#if VESK_HAVE_MEDIA
    // Calls come after sign-in: what the first one would wait for is done now, meanwhile.
    warmUpCallMedia();
#endif
    SignalLoginCompleted();
}

void VeskTalkSession::onLoginFailed(vesk::VESK_TALK_ERROR_CODE code)
{
    SignalLoginFailed(code);
}

void VeskTalkSession::onConnectionLost(vesk::VESK_DISCONNECT_REASON reason)
{
    m_media->abandonCalls();
    m_jingle->setOwnJid(QString());
    SignalConnectionLost(reason);
}

void VeskTalkSession::onRosterReceived()
{
    auto *manager = m_xmpp->client()->findExtension<QXmppRosterManager>();
    if (!manager)
        return;
    Roster roster;
    for (const QString &jid : manager->getRosterBareJids())
        roster.add(jid, manager->getRosterEntry(jid).name());
    SignalRosterReceived(&roster);
}

} // namespace engine
