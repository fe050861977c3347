#pragma once

#include <QDebug>
#include <QList>
#include <QMetaType>
#include <QString>

namespace vesk {
class IConnectionInfo;
class IList;
} // namespace vesk

namespace talk {

// The figures of one call's media connection at one moment, copied out of the engine.
class ConnectionInfo
{
public:
    ConnectionInfo() = default;
    explicit ConnectionInfo(const vesk::IConnectionInfo *info);

    // Every entry of an engine list whose items are connection infos; an absent list gives none.
    static QList<ConnectionInfo> fromList(const vesk::IList *list);

    QString codec;
    QString localAddress;
    QString remoteAddress;
    int roundTripTimeMs = -1;
    int jitterMs = -1;
    qint64 packetsSent = 0;
    qint64 packetsReceived = 0;
    qint64 packetsLost = 0;
    qint64 bytesSent = 0;
    qint64 bytesReceived = 0;
};

QDebug operator<<(QDebug debug, const ConnectionInfo &info);

} // namespace talk

Q_DECLARE_METATYPE(talk::ConnectionInfo)
Q_DECLARE_METATYPE(QList<talk::ConnectionInfo>)
