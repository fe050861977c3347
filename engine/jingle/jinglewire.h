#pragma once

class QXmppStanza;

namespace engine {

// Where the Jingle layer's stanzas go: the XMPP connection, or a test's recorder.
class JingleWire
{
public:
    virtual ~JingleWire() = default;
    virtual bool sendStanza(const QXmppStanza &stanza) = 0;
};

} // namespace engine
