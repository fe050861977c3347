#pragma once

#include <QXmppJingleIq.h>

namespace engine {

// A Jingle IQ as we send it. QXmpp 1.4 leaves out a content's <transport> (ICE credentials and
// DTLS fingerprint) when the content carries no candidate yet, which is the normal case with
// trickled candidates; this writes the transport whenever there is something to put in it.
class JingleIq : public QXmppJingleIq
{
public:
    JingleIq() = default;
    explicit JingleIq(const QXmppJingleIq &other) : QXmppJingleIq(other) { }

protected:
    void toXmlElementFromChild(QXmlStreamWriter *writer) const override;
};

} // namespace engine
