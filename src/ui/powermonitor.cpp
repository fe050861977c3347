#include "ui/powermonitor.h"

#include <QDBusError>

#include "util/log.h"

PowerMonitor::PowerMonitor(QObject *parent) : QObject(parent)
{
    listen(QDBusConnection::systemBus());
}

PowerMonitor::PowerMonitor(const QDBusConnection &bus, QObject *parent) : QObject(parent)
{
    listen(bus);
}

void PowerMonitor::listen(QDBusConnection bus)
{
    if (!bus.isConnected()) {
        LOG_TRACE << "No system bus, suspend and resume go unnoticed:" << bus.lastError().message();
        return;
    }
    // Any sender: logind's unique name is not known in advance and a private test bus has no logind.
    listening = bus.connect(QString(), path(), interface(), QStringLiteral("PrepareForSleep"), this,
        SLOT(onPrepareForSleep(bool)));
    if (!listening)
        LOG_WARNING << "Cannot listen for PrepareForSleep:" << bus.lastError().message();
}

void PowerMonitor::onPrepareForSleep(bool sleeping)
{
    LOG_TRACE << (sleeping ? "System suspended" : "System resumed");
    emit powerStateChanged(sleeping ? Suspended : Resumed);
}
