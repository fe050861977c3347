#include "jinglesdp.h"

#include <QHostAddress>
#include <QMap>
#include <QStringList>

namespace engine {

namespace {

const QString kCrLf = QStringLiteral("\r\n");

bool isTelephoneEvent(const QString &name)
{
    return name.compare(QLatin1String("telephone-event"), Qt::CaseInsensitive) == 0;
}

// Static payload types a peer may list in m= without an rtpmap (RFC 3551).
bool staticPayload(int id, QString *name, unsigned *clock)
{
    switch (id) {
    case 0:
        *name = QStringLiteral("PCMU");
        *clock = 8000;
        return true;
    case 8:
        *name = QStringLiteral("PCMA");
        *clock = 8000;
        return true;
    case 9:
        *name = QStringLiteral("G722");
        *clock = 8000;
        return true;
    default:
        return false;
    }
}

QString fmtpLine(const QXmppJinglePayloadType &p)
{
    const auto params = p.parameters();
    if (params.isEmpty())
        return QString();
    QStringList parts;
    for (auto it = params.cbegin(); it != params.cend(); ++it) {
        // A bare fmtp value ("0-15" for telephone-event) travels as the "events" parameter.
        if (it.key().isEmpty() || (it.key() == QLatin1String("events") && isTelephoneEvent(p.name())))
            parts << it.value();
        else
            parts << it.key() + QLatin1Char('=') + it.value();
    }
    return QStringLiteral("a=fmtp:%1 %2").arg(p.id()).arg(parts.join(QLatin1Char(';')));
}

QMap<QString, QString> parseFmtp(const QString &text)
{
    QMap<QString, QString> params;
    for (const QString &raw : text.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        const QString part = raw.trimmed();
        const int eq = part.indexOf(QLatin1Char('='));
        if (eq < 0)
            params.insert(QStringLiteral("events"), part);
        else
            params.insert(part.left(eq).trimmed(), part.mid(eq + 1).trimmed());
    }
    return params;
}

struct SectionAttrs
{
    QString ufrag, pwd, fingerprintHash, fingerprint, setup;
};

void takeTransportAttr(const QString &name, const QString &value, SectionAttrs *a)
{
    if (name == QLatin1String("ice-ufrag")) {
        a->ufrag = value;
    } else if (name == QLatin1String("ice-pwd")) {
        a->pwd = value;
    } else if (name == QLatin1String("fingerprint")) {
        const int sp = value.indexOf(QLatin1Char(' '));
        if (sp > 0) {
            a->fingerprintHash = value.left(sp).toLower();
            a->fingerprint = value.mid(sp + 1).trimmed();
        }
    } else if (name == QLatin1String("setup")) {
        a->setup = value;
    }
}

} // namespace

QString JingleSdp::formatFingerprint(const QByteArray &digest)
{
    const QByteArray hex = digest.toHex().toUpper();
    QStringList pairs;
    for (int i = 0; i + 1 < hex.size(); i += 2)
        pairs << QString::fromLatin1(hex.mid(i, 2));
    return pairs.join(QLatin1Char(':'));
}

QByteArray JingleSdp::parseFingerprint(const QString &text)
{
    QString hex = text.trimmed();
    hex.remove(QLatin1Char(':'));
    return QByteArray::fromHex(hex.toLatin1());
}

QString JingleSdp::candidateToSdp(const QXmppJingleCandidate &c)
{
    const QString protocol = c.protocol().isEmpty() ? QStringLiteral("UDP") : c.protocol().toUpper();
    return QStringLiteral("candidate:%1 %2 %3 %4 %5 %6 typ %7 generation %8")
        .arg(c.foundation().isEmpty() ? QStringLiteral("1") : c.foundation())
        .arg(c.component() > 0 ? c.component() : 1)
        .arg(protocol)
        .arg(quint32(c.priority()))
        .arg(c.host().toString())
        .arg(c.port())
        .arg(QXmppJingleCandidate::typeToString(c.type()))
        .arg(c.generation());
}

QXmppJingleCandidate JingleSdp::candidateFromSdp(const QString &line, bool *ok)
{
    QXmppJingleCandidate c;
    if (ok)
        *ok = false;
    QString text = line.trimmed();
    if (text.startsWith(QLatin1String("a=")))
        text = text.mid(2);
    if (!text.startsWith(QLatin1String("candidate:")))
        return c;
    const QStringList bits = text.mid(10).split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (bits.size() < 8 || bits[6] != QLatin1String("typ"))
        return c;
    bool numOk = false;
    const int component = bits[1].toInt(&numOk);
    if (!numOk || component < 1)
        return c;
    const quint32 priority = bits[3].toUInt(&numOk);
    if (!numOk)
        return c;
    const QHostAddress host(bits[4]);
    const uint port = bits[5].toUInt(&numOk);
    if (host.isNull() || !numOk || port == 0 || port > 65535)
        return c;
    bool typeOk = false;
    const auto type = QXmppJingleCandidate::typeFromString(bits[7], &typeOk);
    if (!typeOk)
        return c;
    int generation = 0;
    for (int i = 8; i + 1 < bits.size(); i += 2) {
        if (bits[i] == QLatin1String("generation"))
            generation = bits[i + 1].toInt();
    }
    c.setFoundation(bits[0]);
    c.setComponent(component);
    c.setProtocol(bits[2].toLower());
    c.setPriority(int(priority));
    c.setHost(host);
    c.setPort(quint16(port));
    c.setType(type);
    c.setGeneration(generation);
    c.setNetwork(0);
    c.setId(QStringLiteral("%1-%2-%3").arg(bits[0]).arg(component).arg(port));
    if (ok)
        *ok = true;
    return c;
}

QString JingleSdp::toSdp(const QXmppJingleIq::Content &content, const QList<int> &keepPayloads)
{
    QList<QXmppJinglePayloadType> payloads;
    for (const auto &p : content.payloadTypes()) {
        if (keepPayloads.isEmpty() || keepPayloads.contains(p.id()))
            payloads << p;
    }
    const QString mid = content.name().isEmpty() ? QStringLiteral("audio") : content.name();
    QStringList ids;
    for (const auto &p : payloads)
        ids << QString::number(p.id());

    QStringList l;
    l << QStringLiteral("v=0") << QStringLiteral("o=- 1 0 IN IP4 0.0.0.0") << QStringLiteral("s=-")
      << QStringLiteral("t=0 0") << QStringLiteral("a=group:BUNDLE %1").arg(mid);
    l << QStringLiteral("m=audio 9 UDP/TLS/RTP/SAVPF %1").arg(ids.join(QLatin1Char(' ')));
    l << QStringLiteral("c=IN IP4 0.0.0.0") << QStringLiteral("a=mid:%1").arg(mid);
    l << (content.senders() == QLatin1String("none") ? QStringLiteral("a=inactive")
                                                     : QStringLiteral("a=sendrecv"));
    l << QStringLiteral("a=rtcp-mux");
    if (!content.transportUser().isEmpty())
        l << QStringLiteral("a=ice-ufrag:%1").arg(content.transportUser());
    if (!content.transportPassword().isEmpty())
        l << QStringLiteral("a=ice-pwd:%1").arg(content.transportPassword());
    if (!content.transportFingerprint().isEmpty()) {
        const QString hash = content.transportFingerprintHash().isEmpty()
            ? QStringLiteral("sha-256")
            : content.transportFingerprintHash();
        l << QStringLiteral("a=fingerprint:%1 %2")
                 .arg(hash, formatFingerprint(content.transportFingerprint()));
        const QString setup = content.transportFingerprintSetup().isEmpty()
            ? QStringLiteral("actpass")
            : content.transportFingerprintSetup();
        l << QStringLiteral("a=setup:%1").arg(setup);
    }
    unsigned ptime = 0, maxptime = 0;
    for (const auto &p : payloads) {
        QString map = QStringLiteral("a=rtpmap:%1 %2/%3").arg(p.id()).arg(p.name()).arg(p.clockrate());
        if (p.channels() > 1)
            map += QStringLiteral("/%1").arg(p.channels());
        l << map;
        const QString fmtp = fmtpLine(p);
        if (!fmtp.isEmpty())
            l << fmtp;
        if (!ptime)
            ptime = p.ptime();
        if (!maxptime)
            maxptime = p.maxptime();
    }
    if (ptime)
        l << QStringLiteral("a=ptime:%1").arg(ptime);
    if (maxptime)
        l << QStringLiteral("a=maxptime:%1").arg(maxptime);
    for (const auto &c : content.transportCandidates())
        l << QStringLiteral("a=") + candidateToSdp(c);
    return l.join(kCrLf) + kCrLf;
}

QXmppJingleIq::Content JingleSdp::fromSdp(const QString &sdp, bool *ok)
{
    QXmppJingleIq::Content content;
    if (ok)
        *ok = false;
    SectionAttrs session, media;
    bool inAudio = false, seenAudio = false, malformed = false;
    QList<int> order;
    QMap<int, QXmppJinglePayloadType> byId;
    QList<QXmppJingleCandidate> candidates;
    unsigned ptime = 0, maxptime = 0;
    QString mid, direction;
    quint32 ssrc = 0;

    for (QString line : sdp.split(QLatin1Char('\n'))) {
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        if (line.startsWith(QLatin1String("m="))) {
            if (seenAudio) {
                inAudio = false;
                continue;
            }
            const QStringList bits = line.mid(2).split(QLatin1Char(' '), Qt::SkipEmptyParts);
            inAudio = bits.value(0) == QLatin1String("audio");
            if (!inAudio)
                continue;
            seenAudio = true;
            for (int i = 3; i < bits.size(); ++i) {
                bool numOk = false;
                const int id = bits[i].toInt(&numOk);
                if (!numOk || id < 0 || id > 127) {
                    malformed = true;
                    continue;
                }
                order << id;
                QXmppJinglePayloadType p;
                p.setId(quint8(id));
                QString name;
                unsigned clock = 0;
                if (staticPayload(id, &name, &clock)) {
                    p.setName(name);
                    p.setClockrate(clock);
                }
                byId.insert(id, p);
            }
            continue;
        }
        if (!line.startsWith(QLatin1String("a=")))
            continue;
        const int colon = line.indexOf(QLatin1Char(':'));
        const QString name = colon < 0 ? line.mid(2) : line.mid(2, colon - 2);
        const QString value = colon < 0 ? QString() : line.mid(colon + 1).trimmed();
        if (!seenAudio) {
            takeTransportAttr(name, value, &session);
            continue;
        }
        if (!inAudio)
            continue;
        takeTransportAttr(name, value, &media);
        if (name == QLatin1String("rtpmap")) {
            const int sp = value.indexOf(QLatin1Char(' '));
            const int id = value.left(sp).toInt();
            const QStringList enc = value.mid(sp + 1).split(QLatin1Char('/'));
            if (sp < 0 || !byId.contains(id) || enc.size() < 2) {
                malformed = true;
                continue;
            }
            byId[id].setName(enc[0]);
            byId[id].setClockrate(enc[1].toUInt());
            if (enc.size() > 2)
                byId[id].setChannels(quint8(enc[2].toUInt()));
        } else if (name == QLatin1String("fmtp")) {
            const int sp = value.indexOf(QLatin1Char(' '));
            const int id = value.left(sp).toInt();
            if (sp < 0 || !byId.contains(id)) {
                malformed = true;
                continue;
            }
            byId[id].setParameters(parseFmtp(value.mid(sp + 1)));
        } else if (name == QLatin1String("ptime")) {
            ptime = value.toUInt();
        } else if (name == QLatin1String("maxptime")) {
            maxptime = value.toUInt();
        } else if (name == QLatin1String("mid")) {
            mid = value;
        } else if (name == QLatin1String("ssrc")) {
            if (!ssrc)
                ssrc = value.section(QLatin1Char(' '), 0, 0).toUInt();
        } else if (name == QLatin1String("candidate")) {
            bool candOk = false;
            const auto c = candidateFromSdp(line, &candOk);
            // ICE-UDP carries UDP candidates only; TCP ones are left out, not an error.
            if (candOk && c.protocol() == QLatin1String("udp"))
                candidates << c;
        } else if (name == QLatin1String("sendrecv") || name == QLatin1String("sendonly")
            || name == QLatin1String("recvonly") || name == QLatin1String("inactive")) {
            direction = name;
        }
    }
    if (!seenAudio)
        return content;

    auto pick = [](const QString &m, const QString &s) { return m.isEmpty() ? s : m; };
    content.setName(mid);
    content.setDescriptionMedia(QStringLiteral("audio"));
    content.setSenders(
        direction == QLatin1String("inactive") ? QStringLiteral("none") : QStringLiteral("both"));
    if (ssrc)
        content.setDescriptionSsrc(ssrc);
    for (int id : order) {
        auto p = byId.value(id);
        if (p.name().isEmpty()) {
            malformed = true; // dynamic type without rtpmap: nothing to play it with
            continue;
        }
        if (ptime)
            p.setPtime(ptime);
        if (maxptime)
            p.setMaxptime(maxptime);
        content.addPayloadType(p);
    }
    content.setTransportUser(pick(media.ufrag, session.ufrag));
    content.setTransportPassword(pick(media.pwd, session.pwd));
    const QString fp = pick(media.fingerprint, session.fingerprint);
    if (!fp.isEmpty()) {
        content.setTransportFingerprint(parseFingerprint(fp));
        content.setTransportFingerprintHash(pick(media.fingerprintHash, session.fingerprintHash));
        content.setTransportFingerprintSetup(pick(media.setup, session.setup));
    }
    content.setTransportCandidates(candidates);
    if (ok)
        *ok = !malformed;
    return content;
}

CodecChoice JingleSdp::chooseCodec(const QList<QXmppJinglePayloadType> &payloads)
{
    CodecChoice choice;
    auto find = [&](const char *name, unsigned clock) -> const QXmppJinglePayloadType * {
        for (const auto &p : payloads) {
            if (p.name().compare(QLatin1String(name), Qt::CaseInsensitive) == 0 && p.clockrate() == clock)
                return &p;
        }
        return nullptr;
    };
    const QXmppJinglePayloadType *p = find("opus", 48000);
    if (!p)
        p = find("PCMU", 8000);
    if (!p)
        return choice;
    choice.name = p->name();
    choice.payloadType = p->id();
    choice.clockRate = int(p->clockrate());
    choice.channels = p->channels() > 0 ? p->channels() : 1;
    if (const auto *te = find("telephone-event", p->clockrate()))
        choice.dtmfPayloadType = te->id();
    return choice;
}

QString JingleSdp::withTelephoneEvent(const QString &sdp, int payloadType, int clockRate)
{
    QStringList lines = sdp.split(kCrLf);
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    int mline = -1;
    for (int i = 0; i < lines.size(); ++i) {
        if (lines[i].startsWith(QLatin1String("m=audio "))) {
            mline = i;
            break;
        }
    }
    if (mline < 0)
        return sdp;
    QStringList fmts = lines[mline].split(QLatin1Char(' '));
    if (fmts.mid(3).contains(QString::number(payloadType)))
        return sdp;
    fmts << QString::number(payloadType);
    lines[mline] = fmts.join(QLatin1Char(' '));
    // Keep the new lines inside the audio section: before the next m= line, if any.
    int end = lines.size();
    for (int i = mline + 1; i < lines.size(); ++i) {
        if (lines[i].startsWith(QLatin1String("m="))) {
            end = i;
            break;
        }
    }
    lines.insert(end, QStringLiteral("a=fmtp:%1 0-15").arg(payloadType));
    lines.insert(end, QStringLiteral("a=rtpmap:%1 telephone-event/%2").arg(payloadType).arg(clockRate));
    return lines.join(kCrLf) + kCrLf;
}

} // namespace engine
