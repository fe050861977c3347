#pragma once

#include <QDebug>
#include <QMetaType>
#include <QString>

namespace talk {

// An address on the voice service: user@domain, optionally /resource. For a telephone call the user
// part is the dialled number.
class Jid
{
public:
    Jid() = default;
    Jid(const QString &user, const QString &domain, const QString &resource = QString());

    // "user@domain/resource"; a missing "@" leaves the whole text as the domain, as addresses do.
    static Jid fromString(const QString &jid);

    QString user() const { return jidUser; }
    QString domain() const { return jidDomain; }
    QString resource() const { return jidResource; }
    bool isEmpty() const { return jidUser.isEmpty() && jidDomain.isEmpty() && jidResource.isEmpty(); }

    // The form the engine receives.
    QString toString() const;
    // Without the resource.
    QString bare() const;

    bool operator==(const Jid &other) const;
    bool operator!=(const Jid &other) const { return !(*this == other); }

private:
    QString jidUser;
    QString jidDomain;
    QString jidResource;
};

QDebug operator<<(QDebug debug, const Jid &jid);

} // namespace talk

Q_DECLARE_METATYPE(talk::Jid)
