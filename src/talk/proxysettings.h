#pragma once

#include <QDebug>
#include <QMetaType>
#include <QString>

namespace talk {

// The proxy the talk connection goes through. Type 1 is an HTTP(S) proxy, 2 a SOCKS 5 proxy, 3 no
// proxy and 0 unset (nothing chosen yet).
class ProxySettings
{
public:
    enum Type {
        Unset = 0,
        Https = 1,
        Socks = 2,
        NoProxy = 3,
    };

    ProxySettings() = default;
    ProxySettings(int type, const QString &host, int port, bool auth = false, const QString &user = QString(),
        const QString &password = QString());

    int type() const { return proxyType; }
    void setType(int type) { proxyType = type; }
    QString host() const { return proxyHost; }
    void setHost(const QString &host) { proxyHost = host; }
    int port() const { return proxyPort; }
    void setPort(int port) { proxyPort = port; }
    bool auth() const { return authEnabled; }
    void setAuth(bool auth) { authEnabled = auth; }
    QString user() const { return userName; }
    void setUser(const QString &user) { userName = user; }
    QString password() const { return proxyPassword; }
    void setPassword(const QString &password) { proxyPassword = password; }

    // False without host and port, or for "no proxy"; with authentication on, user and password are
    // both needed.
    bool isValid() const;

    bool operator==(const ProxySettings &other) const;
    bool operator!=(const ProxySettings &other) const { return !(*this == other); }

private:
    int proxyType = Unset;
    QString proxyHost;
    int proxyPort = 0;
    bool authEnabled = false;
    QString userName;
    QString proxyPassword;
};

// Debug form for the logs. The password is never written, only whether there is one.
QDebug operator<<(QDebug debug, const ProxySettings &proxy);

} // namespace talk

Q_DECLARE_METATYPE(talk::ProxySettings)
