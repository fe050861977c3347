#include "presence.h"

namespace engine {

QXmppPresence Presence::toXmpp(const vesk::IPresence &presence)
{
    QXmppPresence p(presence.IsAvailable() ? QXmppPresence::Available : QXmppPresence::Unavailable);
    p.setPriority(presence.GetPriority());
    switch (presence.GetShow()) {
    case 1:
        p.setAvailableStatusType(QXmppPresence::Away);
        break;
    case 2:
        p.setAvailableStatusType(QXmppPresence::Chat);
        break;
    case 3:
        p.setAvailableStatusType(QXmppPresence::DND);
        break;
    case 4:
        p.setAvailableStatusType(QXmppPresence::XA);
        break;
    default:
        p.setAvailableStatusType(QXmppPresence::Online);
        break;
    }
    return p;
}

} // namespace engine
