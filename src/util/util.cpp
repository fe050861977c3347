#include "util.h"

#include "util/log.h"

bool Util::isUsableInterface(QNetworkInterface::InterfaceFlags flags, int addressCount, bool loopbackCounts)
{
    if (!flags.testFlag(QNetworkInterface::IsUp) || !flags.testFlag(QNetworkInterface::IsRunning))
        return false;
    if (flags.testFlag(QNetworkInterface::IsLoopBack) && !loopbackCounts)
        return false;
    return addressCount > 0;
}

bool Util::hasNetworkConnectivity()
{
    const bool loopbackCounts = qEnvironmentVariableIntValue("TALKVANE_LOOPBACK_IS_NETWORK") == 1;
    const QList<QNetworkInterface> interfaces = QNetworkInterface::allInterfaces();
    for (const QNetworkInterface &interface : interfaces) {
        if (isUsableInterface(interface.flags(), interface.addressEntries().size(), loopbackCounts)) {
            LOG_TRACE << "network connectivity: true, through" << interface.name();
            return true;
        }
    }
    LOG_TRACE << "network connectivity: false," << interfaces.size() << "interfaces, none usable";
    return false;
}
