#include "proxysettings.h"

namespace engine {

ProxySettings::ProxySettings(const vesk::IProxySettings &other)
    : m_type(other.GetType())
    , m_host(other.GetHost())
    , m_port(other.GetPort())
    , m_user(other.GetUserName())
    , m_password(other.GetPassword())
{ }

QNetworkProxy ProxySettings::toNetworkProxy() const
{
    QNetworkProxy::ProxyType type = QNetworkProxy::NoProxy;
    if (m_type == 1)
        type = QNetworkProxy::HttpProxy;
    else if (m_type == 2)
        type = QNetworkProxy::Socks5Proxy;
    if (type == QNetworkProxy::NoProxy || m_host.isEmpty() || m_port <= 0 || m_port > 65535)
        return QNetworkProxy(QNetworkProxy::NoProxy);
    return QNetworkProxy(type, QString::fromUtf8(m_host), quint16(m_port), QString::fromUtf8(m_user),
        QString::fromUtf8(m_password));
}

} // namespace engine
