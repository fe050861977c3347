#pragma once

#include <QXmppClientExtension.h>

#include "jingle/jinglewire.h"

namespace engine {

class JingleManager;

// Connects a JingleManager to a QXmppClient: it must sit first among the client's extensions so
// that it sees Jingle IQs before QXmpp's own handlers would refuse them.
class XmppJingleWire : public QXmppClientExtension, public JingleWire
{
    Q_OBJECT
public:
    explicit XmppJingleWire(QObject *parent = nullptr);

    void setManager(JingleManager *manager) { m_manager = manager; }
    bool sendStanza(const QXmppStanza &stanza) override;
    bool handleStanza(const QDomElement &stanza) override;
    QStringList discoveryFeatures() const override;

private:
    JingleManager *m_manager = nullptr;
};

} // namespace engine
