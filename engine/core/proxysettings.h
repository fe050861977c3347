#pragma once

#include <QByteArray>
#include <QNetworkProxy>

#include "vesk/interfaces.h"

namespace engine {

// The proxy of the XMPP connection as the interface carries it.
class ProxySettings : public vesk::IProxySettings
{
public:
    ProxySettings() = default;
    explicit ProxySettings(const vesk::IProxySettings &other);

    void SetType(int type) override { m_type = type; }
    int GetType() const override { return m_type; }
    void SetHost(const char *host) override { m_host = host; }
    const char *GetHost() const override { return m_host.constData(); }
    void SetPort(int port) override { m_port = port; }
    int GetPort() const override { return m_port; }
    void SetUserName(const char *userName) override { m_user = userName; }
    const char *GetUserName() const override { return m_user.constData(); }
    void SetPassword(const char *password) override { m_password = password; }
    const char *GetPassword() const override { return m_password.constData(); }
    void Release() override { delete this; }

    // Type 1 HTTP CONNECT, 2 SOCKS 5, anything else (or no host) a direct connection.
    QNetworkProxy toNetworkProxy() const;

    ~ProxySettings() override = default;

private:
    int m_type = 0;
    QByteArray m_host;
    int m_port = 0;
    QByteArray m_user;
    QByteArray m_password;
};

} // namespace engine
