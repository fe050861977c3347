#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QString>
#include <QTemporaryDir>

// A private PulseAudio for one test process (tools/audio/start-pulse.sh): a speaker "spk",
// a microphone "mic" that hears whatever is played into "micfeed". The environment is set
// for this process, so GStreamer's pulse elements find the server.
class PrivatePulse
{
public:
    bool start()
    {
        if (!m_dir.isValid())
            return false;
        const QString script = scriptDir() + QStringLiteral("/start-pulse.sh");
        QProcess p;
        p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        p.start(QStringLiteral("bash"), { script, m_dir.path() });
        if (!p.waitForFinished(30000) || p.exitCode() != 0)
            return false;
        QFile env(m_dir.path() + QStringLiteral("/pulse.env"));
        if (!env.open(QIODevice::ReadOnly))
            return false;
        for (const QByteArray &line : env.readAll().split('\n')) {
            const int eq = line.indexOf('=');
            if (eq > 0)
                qputenv(line.left(eq).constData(), line.mid(eq + 1));
        }
        m_running = true;
        return true;
    }

    void stop()
    {
        if (!m_running)
            return;
        QProcess::execute(
            QStringLiteral("bash"), { scriptDir() + QStringLiteral("/stop-pulse.sh"), m_dir.path() });
        m_running = false;
    }

    // pactl against the private server; returns its standard output.
    QString pactl(const QStringList &args)
    {
        QProcess p;
        p.start(QStringLiteral("pactl"), args);
        p.waitForFinished(10000);
        return QString::fromUtf8(p.readAllStandardOutput());
    }

    ~PrivatePulse() { stop(); }

    static QString scriptDir()
    {
        return QString::fromLocal8Bit(qgetenv("TALKVANE_SOURCE_DIR")) + QStringLiteral("/tools/audio");
    }

private:
    QTemporaryDir m_dir { QDir::tempPath() + QStringLiteral("/talkvane-pulse-XXXXXX") };
    bool m_running = false;
};
