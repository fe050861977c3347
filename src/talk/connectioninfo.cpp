#include "connectioninfo.h"

#include "vesk/interfaces.h"

namespace talk {

namespace {
QString text(const char *utf8)
{
    return utf8 ? QString::fromUtf8(utf8) : QString();
}
} // namespace

ConnectionInfo::ConnectionInfo(const vesk::IConnectionInfo *info)
{
    if (!info)
        return;
    codec = text(info->GetCodec());
    localAddress = text(info->GetLocalAddress());
    remoteAddress = text(info->GetRemoteAddress());
    roundTripTimeMs = info->GetRoundTripTimeMs();
    jitterMs = info->GetJitterMs();
    packetsSent = info->GetPacketsSent();
    packetsReceived = info->GetPacketsReceived();
    packetsLost = info->GetPacketsLost();
    bytesSent = info->GetBytesSent();
    bytesReceived = info->GetBytesReceived();
}

QList<ConnectionInfo> ConnectionInfo::fromList(const vesk::IList *list)
{
    QList<ConnectionInfo> infos;
    if (!list)
        return infos;
    for (int i = 0; i < list->GetCount(); ++i) {
        if (const auto *info = vesk::ListItem<const vesk::IConnectionInfo>(list, i))
            infos.append(ConnectionInfo(info));
    }
    return infos;
}

QDebug operator<<(QDebug debug, const ConnectionInfo &info)
{
    QDebugStateSaver saver(debug);
    debug.nospace() << "ConnectionInfo(codec:" << info.codec << " local:" << info.localAddress
                    << " remote:" << info.remoteAddress << " rtt:" << info.roundTripTimeMs
                    << " jitter:" << info.jitterMs << " sent:" << info.packetsSent
                    << " received:" << info.packetsReceived << " lost:" << info.packetsLost << ')';
    return debug;
}

} // namespace talk
