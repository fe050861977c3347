#pragma once

#include <QXmppIq.h>

namespace engine {

// An IQ error reply with the standard condition and, optionally, a Jingle-specific one
// (urn:xmpp:jingle:errors:1, e.g. "unknown-session", "out-of-order").
class JingleErrorIq : public QXmppIq
{
public:
    JingleErrorIq(const QXmppIq &request, const QString &errorType, const QString &condition,
        const QString &jingleCondition = QString());

    void toXml(QXmlStreamWriter *writer) const override;

private:
    QString m_errorType;
    QString m_condition;
    QString m_jingleCondition;
};

} // namespace engine
