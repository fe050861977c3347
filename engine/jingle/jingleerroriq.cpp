#include "jingleerroriq.h"

#include <QXmlStreamWriter>

namespace engine {

JingleErrorIq::JingleErrorIq(const QXmppIq &request, const QString &errorType, const QString &condition,
    const QString &jingleCondition)
    : QXmppIq(QXmppIq::Error)
    , m_errorType(errorType)
    , m_condition(condition)
    , m_jingleCondition(jingleCondition)
{
    setId(request.id());
    setTo(request.from());
}

void JingleErrorIq::toXml(QXmlStreamWriter *writer) const
{
    writer->writeStartElement(QStringLiteral("iq"));
    if (!id().isEmpty())
        writer->writeAttribute(QStringLiteral("id"), id());
    if (!to().isEmpty())
        writer->writeAttribute(QStringLiteral("to"), to());
    writer->writeAttribute(QStringLiteral("type"), QStringLiteral("error"));
    writer->writeStartElement(QStringLiteral("error"));
    writer->writeAttribute(QStringLiteral("type"), m_errorType);
    writer->writeStartElement(m_condition);
    writer->writeDefaultNamespace(QStringLiteral("urn:ietf:params:xml:ns:xmpp-stanzas"));
    writer->writeEndElement();
    if (!m_jingleCondition.isEmpty()) {
        writer->writeStartElement(m_jingleCondition);
        writer->writeDefaultNamespace(QStringLiteral("urn:xmpp:jingle:errors:1"));
        writer->writeEndElement();
    }
    writer->writeEndElement();
    writer->writeEndElement();
}

} // namespace engine
