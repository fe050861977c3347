#pragma once

#include <QByteArray>
#include <QList>

#include "media/callmedia.h"
#include "vesk/interfaces.h"

namespace engine {

// One call's media figures as the interface carries them.
class ConnectionInfo : public vesk::IConnectionInfo
{
public:
    explicit ConnectionInfo(const MediaStats &stats);
    const char *GetCodec() const override { return m_codec.constData(); }
    const char *GetLocalAddress() const override { return m_local.constData(); }
    const char *GetRemoteAddress() const override { return m_remote.constData(); }
    int GetRoundTripTimeMs() const override
    {
        return m_stats.roundTripTime < 0 ? -1 : int(m_stats.roundTripTime * 1000);
    }
    int GetJitterMs() const override { return m_stats.jitter < 0 ? -1 : int(m_stats.jitter * 1000); }
    long long GetPacketsSent() const override { return m_stats.packetsSent; }
    long long GetPacketsReceived() const override { return m_stats.packetsReceived; }
    long long GetPacketsLost() const override { return m_stats.packetsLost; }
    long long GetBytesSent() const override { return m_stats.bytesSent; }
    long long GetBytesReceived() const override { return m_stats.bytesReceived; }
    ~ConnectionInfo() override = default;

private:
    MediaStats m_stats;
    QByteArray m_codec;
    QByteArray m_local;
    QByteArray m_remote;
};

// A list of interface pointers I that owns what it holds (deleted as T) or only points at it.
template <class T, class I> class ObjectList : public vesk::IList
{
public:
    explicit ObjectList(bool owning) : m_owning(owning) { }
    void append(T *item) { m_items.append(item); }
    int GetCount() const override { return m_items.size(); }
    void *GetItem(int index) const override
    {
        return index >= 0 && index < m_items.size() ? static_cast<void *>(static_cast<I *>(m_items.at(index)))
                                                    : nullptr;
    }
    void Release() override { delete this; }
    ~ObjectList() override
    {
        if (m_owning)
            qDeleteAll(m_items);
    }

private:
    bool m_owning;
    QList<T *> m_items;
};

} // namespace engine
