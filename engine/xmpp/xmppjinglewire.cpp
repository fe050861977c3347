#include "xmppjinglewire.h"

#include <QXmppClient.h>

#include "jingle/jinglemanager.h"

namespace engine {

XmppJingleWire::XmppJingleWire(QObject *parent) : QXmppClientExtension()
{
    setParent(parent);
}

bool XmppJingleWire::sendStanza(const QXmppStanza &stanza)
{
    return client() && client()->sendPacket(stanza);
}

bool XmppJingleWire::handleStanza(const QDomElement &stanza)
{
    return m_manager && m_manager->handleElement(stanza);
}

QStringList XmppJingleWire::discoveryFeatures() const
{
    return {
        QStringLiteral("urn:xmpp:jingle:1"),
        QStringLiteral("urn:xmpp:jingle:apps:rtp:1"),
        QStringLiteral("urn:xmpp:jingle:apps:rtp:audio"),
        QStringLiteral("urn:xmpp:jingle:transports:ice-udp:1"),
        QStringLiteral("urn:xmpp:jingle:apps:dtls:0"),
    };
}

} // namespace engine
