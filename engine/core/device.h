#pragma once

#include <QByteArray>
#include <QString>

#include "vesk/interfaces.h"

namespace engine {

// An audio device as the interface carries it: a copy the receiver releases.
class Device : public vesk::IDevice
{
public:
    Device(const QString &id, const QString &name) : m_id(id.toUtf8()), m_name(name.toUtf8()) { }
    const char *GetId() const override { return m_id.constData(); }
    const char *GetName() const override { return m_name.constData(); }
    void Release() override { delete this; }
    ~Device() override = default;

private:
    QByteArray m_id;
    QByteArray m_name;
};

} // namespace engine
