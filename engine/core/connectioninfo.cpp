#include "connectioninfo.h"

namespace engine {

ConnectionInfo::ConnectionInfo(const MediaStats &stats)
    : m_stats(stats)
    , m_codec(stats.codec.toUtf8())
    , m_local(stats.localAddress.toUtf8())
    , m_remote(stats.remoteAddress.toUtf8())
{ }

} // namespace engine
