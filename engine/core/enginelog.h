#pragma once

#include <QFile>
#include <QMutex>
#include <QString>

namespace engine {

// The engine's own log ("vesktalk.log"): one line per event, time-stamped. Process-wide, because
// every engine object writes to it; a file can be set, changed or closed at any time.
class EngineLog
{
public:
    enum Level { Trace, Warning, Error };

    static EngineLog &instance();

    // Empty path closes the file. False when the file cannot be opened (the old one is closed).
    bool setFile(const QString &path);
    QString file() const;
    void write(Level level, const QString &where, const QString &text);

private:
    EngineLog() = default;
    mutable QMutex m_mutex;
    QFile m_file;
};

} // namespace engine

#define VLOG_AT(level, text)                                                                                 \
    ::engine::EngineLog::instance().write(level, QString::fromLatin1(Q_FUNC_INFO), text)
#define VLOG_TRACE(text) VLOG_AT(::engine::EngineLog::Trace, text)
#define VLOG_WARNING(text) VLOG_AT(::engine::EngineLog::Warning, text)
#define VLOG_ERROR(text) VLOG_AT(::engine::EngineLog::Error, text)
