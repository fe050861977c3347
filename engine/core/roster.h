#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>

#include "vesk/interfaces.h"

namespace engine {

// A snapshot of the roster: bare JIDs and names.
class Roster : public vesk::IRoster
{
public:
    void add(const QString &jid, const QString &name) { m_items.append({ jid.toUtf8(), name.toUtf8() }); }
    int GetCount() const override { return m_items.size(); }
    const char *GetJid(int index) const override
    {
        return index >= 0 && index < m_items.size() ? m_items.at(index).first.constData() : nullptr;
    }
    const char *GetName(int index) const override
    {
        return index >= 0 && index < m_items.size() ? m_items.at(index).second.constData() : nullptr;
    }
    ~Roster() override = default;

private:
    QList<QPair<QByteArray, QByteArray>> m_items;
};

} // namespace engine
