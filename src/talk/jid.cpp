#include "jid.h"

namespace talk {

Jid::Jid(const QString &user, const QString &domain, const QString &resource)
    : jidUser(user), jidDomain(domain), jidResource(resource)
{ }

Jid Jid::fromString(const QString &jid)
{
    QString rest = jid;
    QString resource;
    const int slash = rest.indexOf(QLatin1Char('/'));
    if (slash >= 0) {
        resource = rest.mid(slash + 1);
        rest.truncate(slash);
    }
    const int at = rest.indexOf(QLatin1Char('@'));
    if (at < 0)
        return Jid(QString(), rest, resource);
    return Jid(rest.left(at), rest.mid(at + 1), resource);
}

QString Jid::bare() const
{
    return jidUser.isEmpty() ? jidDomain : jidUser + QLatin1Char('@') + jidDomain;
}

QString Jid::toString() const
{
    return jidResource.isEmpty() ? bare() : bare() + QLatin1Char('/') + jidResource;
}

bool Jid::operator==(const Jid &other) const
{
    return jidUser == other.jidUser && jidDomain == other.jidDomain && jidResource == other.jidResource;
}

QDebug operator<<(QDebug debug, const Jid &jid)
{
    QDebugStateSaver saver(debug);
    debug.nospace() << "Jid(" << jid.toString() << ')';
    return debug;
}

} // namespace talk
