#pragma once

// Stand-ins for the XMPP connection and the call media, for tests of the Jingle layer.

#include <QDomDocument>
#include <QXmlStreamWriter>

#include <QXmppJingleIq.h>

#include "jingle/jinglewire.h"
#include "media/callmedia.h"

namespace jinglefakes {

inline const QString ownJid = QStringLiteral("alice@localhost/talkvane");
inline const QString peerBare = QStringLiteral("+15550100@localhost");
inline const QString peerJid = QStringLiteral("+15550100@localhost/talkvane");

inline QDomElement toElement(const QXmppStanza &stanza)
{
    QByteArray xml;
    QXmlStreamWriter writer(&xml);
    stanza.toXml(&writer);
    QDomDocument doc;
    doc.setContent(xml, true);
    return doc.documentElement();
}

inline QXmppJinglePayloadType payload(int id, const QString &name, int clock, int channels = 1)
{
    QXmppJinglePayloadType p;
    p.setId(id);
    p.setName(name);
    p.setClockrate(clock);
    p.setChannels(channels);
    return p;
}

inline QXmppJingleIq::Content content(const QList<QXmppJinglePayloadType> &payloads, bool fingerprint = true)
{
    QXmppJingleIq::Content c;
    c.setCreator("initiator");
    c.setName("voice");
    c.setDescriptionMedia("audio");
    c.setTransportUser("ufrag");
    c.setTransportPassword("icepassword0123456789");
    if (fingerprint) {
        c.setTransportFingerprintHash("sha-256");
        c.setTransportFingerprint(QByteArray::fromHex("0102030405060708090a0b0c0d0e0f10"));
        c.setTransportFingerprintSetup("actpass");
    }
    for (const auto &p : payloads)
        c.addPayloadType(p);
    return c;
}

inline QXmppJingleCandidate candidate(quint16 port)
{
    QXmppJingleCandidate c;
    c.setComponent(1);
    c.setFoundation("1");
    c.setHost(QHostAddress::LocalHost);
    c.setPort(port);
    c.setProtocol("udp");
    c.setType(QXmppJingleCandidate::HostType);
    c.setPriority(2130706431);
    c.setId(QString::number(port));
    return c;
}

class FakeWire : public engine::JingleWire
{
public:
    QList<QDomElement> sent;
    bool sendStanza(const QXmppStanza &stanza) override
    {
        sent.append(toElement(stanza));
        return true;
    }
    QDomElement jingle(int i) const { return sent.at(i).firstChildElement("jingle"); }
    QString action(int i) const { return jingle(i).attribute("action"); }
    QList<QDomElement> withAction(const QString &action) const
    {
        QList<QDomElement> out;
        for (int i = 0; i < sent.size(); ++i) {
            if (this->action(i) == action)
                out.append(sent.at(i));
        }
        return out;
    }
    QString reason(const QDomElement &iq) const
    {
        return iq.firstChildElement("jingle").firstChildElement("reason").firstChildElement().tagName();
    }
};

class FakeMedia : public engine::CallMedia
{
public:
    QList<QXmppJinglePayloadType> answerPayloads { payload(111, "opus", 48000, 2), payload(0, "PCMU", 8000),
        payload(101, "telephone-event", 48000) };
    bool acceptRemote = true;
    QList<QXmppJingleIq::Content> remote;
    QList<QXmppJingleCandidate> remoteCandidates;
    QList<int> dtmf;
    bool muted = false;
    int offers = 0;
    int answers = 0;

    void createOffer() override
    {
        ++offers;
        emit localContentReady(content({ payload(111, "opus", 48000, 2), payload(0, "PCMU", 8000),
            payload(101, "telephone-event", 48000) }));
    }
    void createAnswer() override
    {
        ++answers;
        QXmppJingleIq::Content c = content(answerPayloads);
        c.setTransportFingerprintSetup("active");
        emit localContentReady(c);
    }
    bool setRemoteContent(const QXmppJingleIq::Content &c) override
    {
        remote.append(c);
        return acceptRemote;
    }
    void addRemoteCandidate(const QXmppJingleCandidate &c) override { remoteCandidates.append(c); }
    void sendDtmf(int event) override { dtmf.append(event); }
    void setMicrophoneMuted(bool m) override { muted = m; }
    void setHold(bool) override { }
    engine::MediaStats stats() const override { return {}; }

    void fireConnected() { emit connected(); }
    void fireFailed() { emit failed("ice failed"); }
    void fireCandidate(quint16 port) { emit localCandidate(candidate(port)); }
};

} // namespace jinglefakes
