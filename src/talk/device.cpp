#include "device.h"

namespace talk {

Device::Device(const QString &id, const QString &name)
    : deviceId(id), deviceName(name), displayName(name), null(false)
{ }

bool Device::operator==(const Device &other) const
{
    if (null || other.null)
        return null == other.null;
    return deviceId == other.deviceId;
}

QDebug operator<<(QDebug debug, const Device &device)
{
    QDebugStateSaver saver(debug);
    debug << "Device(id:" << device.id() << "name:" << device.name() << "dname:" << device.dname() << ")";
    return debug;
}

} // namespace talk
