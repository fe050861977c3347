#pragma once

#include <QByteArray>
#include <QHostAddress>
#include <QList>
#include <QtEndian>

// The UDP datagrams of a classic pcap capture (what "tcpdump -w" writes): Ethernet (how Linux
// shows loopback), Linux cooked (SLL, "-i any") and BSD loopback link types; IPv4 and IPv6
// without extension headers. Anything else, or a truncated record, is skipped.
namespace pcap {

struct Datagram
{
    QHostAddress source;
    QHostAddress destination;
    quint16 sourcePort = 0;
    quint16 destinationPort = 0;
    QByteArray payload;
};

enum LinkType : quint32 {
    LinkNull = 0,
    LinkEthernet = 1,
    LinkLinuxSll = 113,
};

namespace detail {

inline bool readUdp(const char *p, int len, Datagram *d)
{
    if (len < 8)
        return false;
    d->sourcePort = qFromBigEndian<quint16>(p);
    d->destinationPort = qFromBigEndian<quint16>(p + 2);
    const int udpLen = qFromBigEndian<quint16>(p + 4);
    if (udpLen < 8 || udpLen > len)
        return false;
    d->payload = QByteArray(p + 8, udpLen - 8);
    return true;
}

inline bool readIp(const char *p, int len, Datagram *d)
{
    if (len < 1)
        return false;
    const int version = quint8(p[0]) >> 4;
    if (version == 4) {
        const int headerLen = (quint8(p[0]) & 0x0f) * 4;
        if (len < 20 || headerLen < 20 || headerLen > len || quint8(p[9]) != 17)
            return false;
        const int total = qMin<int>(len, qFromBigEndian<quint16>(p + 2));
        d->source = QHostAddress(qFromBigEndian<quint32>(p + 12));
        d->destination = QHostAddress(qFromBigEndian<quint32>(p + 16));
        return readUdp(p + headerLen, total - headerLen, d);
    }
    if (version == 6) {
        if (len < 40 || quint8(p[6]) != 17)
            return false;
        const int payloadLen = qMin<int>(len - 40, qFromBigEndian<quint16>(p + 4));
        d->source = QHostAddress(reinterpret_cast<const quint8 *>(p + 8));
        d->destination = QHostAddress(reinterpret_cast<const quint8 *>(p + 24));
        return readUdp(p + 40, payloadLen, d);
    }
    return false;
}

inline bool readFrame(quint32 link, const char *p, int len, Datagram *d)
{
    switch (link) {
    case LinkEthernet: {
        if (len < 14)
            return false;
        const quint16 type = qFromBigEndian<quint16>(p + 12);
        return (type == 0x0800 || type == 0x86dd) && readIp(p + 14, len - 14, d);
    }
    case LinkLinuxSll: {
        if (len < 16)
            return false;
        const quint16 type = qFromBigEndian<quint16>(p + 14);
        return (type == 0x0800 || type == 0x86dd) && readIp(p + 16, len - 16, d);
    }
    case LinkNull:
        return len > 4 && readIp(p + 4, len - 4, d);
    default:
        return false;
    }
}

} // namespace detail

// Every UDP datagram of the capture, in order. ok (if given) says whether the file header was
// one of the classic pcap headers.
inline QList<Datagram> udpDatagrams(const QByteArray &file, bool *ok = nullptr)
{
    QList<Datagram> out;
    if (ok)
        *ok = false;
    if (file.size() < 24)
        return out;
    const quint32 magic = qFromLittleEndian<quint32>(file.constData());
    bool bigEndian = false;
    if (magic == 0xa1b2c3d4 || magic == 0xa1b23c4d)
        bigEndian = false;
    else if (magic == 0xd4c3b2a1 || magic == 0x4d3cb2a1)
        bigEndian = true;
    else
        return out;
    auto u32 = [&](int at) {
        return bigEndian ? qFromBigEndian<quint32>(file.constData() + at)
                         : qFromLittleEndian<quint32>(file.constData() + at);
    };
    if (ok)
        *ok = true;
    const quint32 link = u32(20) & 0x0fffffff;
    int pos = 24;
    while (pos + 16 <= file.size()) {
        const quint32 captured = u32(pos + 8);
        pos += 16;
        if (captured > quint32(file.size() - pos))
            break; // the last record was cut short by the end of the capture
        Datagram d;
        if (detail::readFrame(link, file.constData() + pos, int(captured), &d))
            out.append(d);
        pos += int(captured);
    }
    return out;
}

} // namespace pcap
