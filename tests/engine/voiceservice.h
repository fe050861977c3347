#pragma once

#include <QCoreApplication>
#include <QFile>
#include <QHash>
#include <QProcess>
#include <QString>
#include <QTemporaryDir>
#include <QTextStream>

// Starts the local voice service (a private Prosody) for one test and stops it again.
class VoiceService
{
public:
    explicit VoiceService(const QStringList &extraArgs = {})
    {
        if (!m_dir.isValid())
            return;
        const QString script = qEnvironmentVariable("TALKVANE_SOURCE_DIR") + "/tools/voiceservice/start.sh";
        QProcess p;
        p.setProcessChannelMode(QProcess::MergedChannels);
        p.start(script,
            QStringList { m_dir.path(), "--watch", QString::number(QCoreApplication::applicationPid()) } + extraArgs);
        if (!p.waitForFinished(120000) || p.exitCode() != 0) {
            m_error = QString::fromLocal8Bit(p.readAll());
            return;
        }
        QFile env(m_dir.path() + "/voiceservice.env");
        if (!env.open(QIODevice::ReadOnly)) {
            m_error = "no env file";
            return;
        }
        QTextStream in(&env);
        while (!in.atEnd()) {
            const QString line = in.readLine();
            const int eq = line.indexOf('=');
            if (eq > 0) {
                QString value = line.mid(eq + 1);
                if (value.startsWith('"') && value.endsWith('"'))
                    value = value.mid(1, value.size() - 2);
                m_env.insert(line.left(eq), value);
            }
        }
        m_running = true;
        qputenv("TALKVANE_CA_FILE", value("TALKVANE_CA_FILE").toUtf8());
    }

    ~VoiceService() { stop(); }

    void stop()
    {
        if (!m_running)
            return;
        m_running = false;
        QProcess::execute(
            qEnvironmentVariable("TALKVANE_SOURCE_DIR") + "/tools/voiceservice/stop.sh", { m_dir.path() });
    }

    bool isRunning() const { return m_running; }
    QString error() const { return m_error; }
    QString value(const QString &key) const { return m_env.value(key); }
    int port() const { return value("VOICE_PORT").toInt(); }
    qint64 pid() const { return value("VOICE_PROSODY_PID").toLongLong(); }
    QString dir() const { return m_dir.path(); }

private:
    QTemporaryDir m_dir;
    QHash<QString, QString> m_env;
    QString m_error;
    bool m_running = false;
};
