#include "jingleiq.h"

#include <QDomDocument>
#include <QXmlStreamWriter>

namespace engine {

namespace {

const QString iceNs = QStringLiteral("urn:xmpp:jingle:transports:ice-udp:1");
const QString dtlsNs = QStringLiteral("urn:xmpp:jingle:apps:dtls:0");

void writeElement(QXmlStreamWriter *writer, const QDomElement &element, const QString &parentNs)
{
    writer->writeStartElement(element.tagName());
    if (element.namespaceURI() != parentNs)
        writer->writeDefaultNamespace(element.namespaceURI());
    const QDomNamedNodeMap attributes = element.attributes();
    for (int i = 0; i < attributes.count(); ++i) {
        const QDomAttr a = attributes.item(i).toAttr();
        writer->writeAttribute(a.name(), a.value());
    }
    for (QDomNode n = element.firstChild(); !n.isNull(); n = n.nextSibling()) {
        if (n.isElement())
            writeElement(writer, n.toElement(), element.namespaceURI());
        else if (n.isText())
            writer->writeCharacters(n.toText().data());
    }
    writer->writeEndElement();
}

QString fingerprintText(const QByteArray &fingerprint)
{
    QStringList parts;
    for (char byte : fingerprint)
        parts << QStringLiteral("%1").arg(quint8(byte), 2, 16, QLatin1Char('0')).toUpper();
    return parts.join(QLatin1Char(':'));
}

void addMissingTransport(QDomDocument &doc, QDomElement contentElement, const QXmppJingleIq::Content &content)
{
    if (!contentElement.firstChildElement(QStringLiteral("transport")).isNull())
        return;
    if (content.transportUser().isEmpty() && content.transportFingerprint().isEmpty())
        return;
    QDomElement transport = doc.createElementNS(iceNs, QStringLiteral("transport"));
    if (!content.transportUser().isEmpty())
        transport.setAttribute(QStringLiteral("ufrag"), content.transportUser());
    if (!content.transportPassword().isEmpty())
        transport.setAttribute(QStringLiteral("pwd"), content.transportPassword());
    if (!content.transportFingerprint().isEmpty()) {
        QDomElement fp = doc.createElementNS(dtlsNs, QStringLiteral("fingerprint"));
        fp.setAttribute(QStringLiteral("hash"), content.transportFingerprintHash());
        if (!content.transportFingerprintSetup().isEmpty())
            fp.setAttribute(QStringLiteral("setup"), content.transportFingerprintSetup());
        fp.appendChild(doc.createTextNode(fingerprintText(content.transportFingerprint())));
        transport.appendChild(fp);
    }
    contentElement.appendChild(transport);
}

} // namespace

void JingleIq::toXmlElementFromChild(QXmlStreamWriter *writer) const
{
    QByteArray xml;
    {
        QXmlStreamWriter scratch(&xml);
        scratch.writeStartElement(QStringLiteral("root"));
        scratch.writeDefaultNamespace(QStringLiteral("jabber:client"));
        QXmppJingleIq::toXmlElementFromChild(&scratch);
        scratch.writeEndElement();
    }
    QDomDocument doc;
    if (!doc.setContent(xml, true)) {
        QXmppJingleIq::toXmlElementFromChild(writer);
        return;
    }
    const QDomElement root = doc.documentElement();
    const QDomElement jingle = root.firstChildElement(QStringLiteral("jingle"));
    const QList<Content> all = contents();
    int index = 0;
    for (QDomElement c = jingle.firstChildElement(QStringLiteral("content"));
         !c.isNull() && index < all.size(); c = c.nextSiblingElement(QStringLiteral("content")), ++index)
        addMissingTransport(doc, c, all.at(index));
    for (QDomElement e = root.firstChildElement(); !e.isNull(); e = e.nextSiblingElement())
        writeElement(writer, e, QStringLiteral("jabber:client"));
}

} // namespace engine
