#pragma once

#include <QDebug>
#include <QMetaType>
#include <QString>

namespace talk {

// An audio device as the media engine names it: a stable identifier, the engine's name and the name
// shown to the user (numbered when two devices share a name).
class Device
{
public:
    // A null device: no device at all.
    Device() = default;
    // A real device; the display name starts equal to the name.
    Device(const QString &id, const QString &name);

    QString id() const { return deviceId; }
    QString name() const { return deviceName; }
    QString dname() const { return displayName; }
    void setDname(const QString &dname) { displayName = dname; }
    bool isNull() const { return null; }
    // Usable for the engine: identifier and name both present.
    bool isValid() const { return !deviceId.isEmpty() && !deviceName.isEmpty(); }

    // Two null devices are equal; otherwise devices are equal when their identifiers are.
    bool operator==(const Device &other) const;
    bool operator!=(const Device &other) const { return !(*this == other); }

private:
    QString deviceId;
    QString deviceName;
    QString displayName;
    bool null = true;
};

QDebug operator<<(QDebug debug, const Device &device);

} // namespace talk

Q_DECLARE_METATYPE(talk::Device)
