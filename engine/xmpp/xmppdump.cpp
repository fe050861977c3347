#include "xmppdump.h"

#include <QDateTime>
#include <QRegularExpression>

namespace engine {

XmppDump::XmppDump(QObject *parent) : QObject(parent)
{
    m_logger.setLoggingType(QXmppLogger::SignalLogging);
    m_logger.setMessageTypes(QXmppLogger::AnyMessage);
    connect(&m_logger, &QXmppLogger::message, this, &XmppDump::onMessage);
}

bool XmppDump::setFile(const QString &path)
{
    if (m_file.isOpen())
        m_file.close();
    if (path.isEmpty())
        return true;
    m_file.setFileName(path);
    return m_file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Text);
}

QString XmppDump::file() const
{
    return m_file.isOpen() ? m_file.fileName() : QString();
}

QString XmppDump::mask(const QString &text)
{
    // Element names with an optional prefix, their attributes kept, their content masked. A
    // self-closing element has no content to hide.
    static const QRegularExpression sensitive(
        QStringLiteral("<((?:[\\w-]+:)?(?:auth|response|challenge|success|password))(\\s[^>]*)?(?<!/)>"
                       "([^<]*)</\\1\\s*>"),
        QRegularExpression::CaseInsensitiveOption);
    QString out;
    int last = 0;
    auto it = sensitive.globalMatch(text);
    while (it.hasNext()) {
        const QRegularExpressionMatch m = it.next();
        out += text.midRef(last, m.capturedStart(3) - last);
        if (m.capturedLength(3) > 0)
            out += QLatin1String("********");
        last = m.capturedEnd(3);
    }
    out += text.midRef(last);
    return out;
}

void XmppDump::onMessage(QXmppLogger::MessageType type, const QString &text)
{
    if (!m_file.isOpen())
        return;
    const char *tag = "DEBUG";
    switch (type) {
    case QXmppLogger::SentMessage:
        tag = "SENT";
        break;
    case QXmppLogger::ReceivedMessage:
        tag = "RECV";
        break;
    case QXmppLogger::WarningMessage:
        tag = "WARNING";
        break;
    case QXmppLogger::InformationMessage:
        tag = "INFO";
        break;
    default:
        break;
    }
    const QString line
        = QStringLiteral("%1 %2 %3\n")
              .arg(QDateTime::currentDateTime().toString(Qt::ISODateWithMs), QLatin1String(tag), mask(text));
    m_file.write(line.toUtf8());
    m_file.flush();
}

} // namespace engine
