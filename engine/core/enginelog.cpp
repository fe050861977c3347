#include "enginelog.h"

#include <QDateTime>
#include <QMutexLocker>
#include <QTextStream>

#include <cstdio>

namespace engine {

EngineLog &EngineLog::instance()
{
    static EngineLog log;
    return log;
}

bool EngineLog::setFile(const QString &path)
{
    QMutexLocker lock(&m_mutex);
    if (m_file.isOpen())
        m_file.close();
    if (path.isEmpty())
        return true;
    m_file.setFileName(path);
    return m_file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Text);
}

QString EngineLog::file() const
{
    QMutexLocker lock(&m_mutex);
    return m_file.isOpen() ? m_file.fileName() : QString();
}

void EngineLog::write(Level level, const QString &where, const QString &text)
{
    static const char *const names[] = { "TRACE", "WARNING", "ERROR" };
    const QString line = QStringLiteral("%1 [%2] %3: %4\n")
                             .arg(QDateTime::currentDateTime().toString(Qt::ISODateWithMs),
                                 QLatin1String(names[level]), where, text);
    QMutexLocker lock(&m_mutex);
    if (m_file.isOpen()) {
        m_file.write(line.toUtf8());
        m_file.flush();
    }
    if (qEnvironmentVariableIsSet("VESKTALK_LOG_STDERR"))
        std::fputs(line.toUtf8().constData(), stderr);
}

} // namespace engine
