#pragma once

#include <QXmppPresence.h>

#include "vesk/interfaces.h"

namespace engine {

// Own presence as the interface carries it.
class Presence : public vesk::IPresence
{
public:
    void SetAvailable(bool available) override { m_available = available; }
    void SetPriority(int priority) override { m_priority = priority; }
    void SetShow(int show) override { m_show = show; }
    bool IsAvailable() const override { return m_available; }
    int GetPriority() const override { return m_priority; }
    int GetShow() const override { return m_show; }
    void Release() override { delete this; }

    static QXmppPresence toXmpp(const vesk::IPresence &presence);

    ~Presence() override = default;

private:
    bool m_available = true;
    int m_priority = 0;
    int m_show = 0;
};

} // namespace engine
