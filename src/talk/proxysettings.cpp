#include "proxysettings.h"

namespace talk {

ProxySettings::ProxySettings(
    int type, const QString &host, int port, bool auth, const QString &user, const QString &password)
    : proxyType(type)
    , proxyHost(host)
    , proxyPort(port)
    , authEnabled(auth)
    , userName(user)
    , proxyPassword(password)
{ }

bool ProxySettings::isValid() const
{
    if ((proxyHost.isEmpty() && proxyPort == 0) || proxyType == NoProxy)
        return false;
    if (!authEnabled)
        return true;
    return !userName.isEmpty() && !proxyPassword.isEmpty();
}

bool ProxySettings::operator==(const ProxySettings &other) const
{
    return proxyType == other.proxyType && proxyHost == other.proxyHost && proxyPort == other.proxyPort
        && authEnabled == other.authEnabled && userName == other.userName
        && proxyPassword == other.proxyPassword;
}

QDebug operator<<(QDebug debug, const ProxySettings &proxy)
{
    QDebugStateSaver saver(debug);
    debug << "ProxySettings(type:" << proxy.type() << "host:" << proxy.host() << "port:" << proxy.port()
          << "auth:" << proxy.auth() << "user:" << proxy.user()
          << "password:" << (proxy.password().isEmpty() ? "(none)" : "********") << ")";
    return debug;
}

} // namespace talk
