#pragma once

#include <QFile>
#include <QObject>

#include <QXmppLogger.h>

namespace engine {

// The XMPP dump ("veskxmpp.log"): every stanza sent and received, with SASL payloads and
// passwords masked, so the file can be handed to support as it is.
class XmppDump : public QObject
{
    Q_OBJECT
public:
    explicit XmppDump(QObject *parent = nullptr);

    // The logger to give every QXmppClient whose traffic belongs in the dump.
    QXmppLogger *logger() { return &m_logger; }

    // Empty path closes the file. False when the file cannot be opened.
    bool setFile(const QString &path);
    QString file() const;

    // The text with the content of SASL elements (auth, response, challenge, success) and of any
    // password element replaced by "********".
    static QString mask(const QString &text);

private:
    void onMessage(QXmppLogger::MessageType type, const QString &text);

    QXmppLogger m_logger;
    QFile m_file;
};

} // namespace engine
