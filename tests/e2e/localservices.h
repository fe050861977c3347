#pragma once

// The local services an end-to-end run needs, started for one test program and stopped with it: the
// web-service emulator and the voice service (Prosody) sharing one local CA, the telephone gateway
// that answers the test numbers, and a private PulseAudio whose microphone can be fed a tone.

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QHash>
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>

#include <cmath>
#include <memory>

#include "webserviceemulator.h"

class LocalServices
{
public:
    LocalServices() = default;
    ~LocalServices() { stop(); }

    // Starts everything and points the environment (CA, URL file, sound server) at it. On failure
    // error() says why.
    bool start()
    {
        if (!dir.isValid())
            return fail(QStringLiteral("no temporary folder"));
        if (!startPulse())
            return false;
        if (!startVoiceService(0))
            return false;
        emulator = std::make_unique<WebServiceEmulator>();
        if (!emulator->start(caDir()))
            return fail(QStringLiteral("emulator: ") + emulator->errorString());
        if (!emulator->exportEnvironment(
                dir.filePath(QStringLiteral("urls.ini")), QStringLiteral("127.0.0.1"), voicePort))
            return fail(QStringLiteral("could not write the URL file"));
        // The reconnect's route check must see a way out on a machine whose services are all on
        // loopback.
        qputenv("TALKVANE_LOOPBACK_IS_NETWORK", "1");
        return startGateway();
    }

    void stop()
    {
        stopTone();
        if (gateway.state() != QProcess::NotRunning) {
            gateway.terminate();
            if (!gateway.waitForFinished(10000))
                gateway.kill();
            gateway.waitForFinished(10000);
        }
        if (emulator)
            emulator->stop();
        stopVoiceService();
        if (pulseStarted) {
            QProcess::execute(script(QStringLiteral("tools/audio/stop-pulse.sh")), { pulseDir() });
            pulseStarted = false;
        }
    }

    // Stops Prosody and starts it again on the same port, with the same accounts.
    bool restartVoiceService()
    {
        const int port = voicePort;
        stopVoiceService();
        return startVoiceService(port);
    }

    // A tone into the microphone (a minute of it, or until stopTone()), played by paplay from
    // pulseaudio-utils.
    bool startTone(int hz = 440)
    {
        stopTone();
        const QString file = dir.filePath(QStringLiteral("tone-%1.wav").arg(hz));
        if (!QFile::exists(file) && !writeTone(file, hz, 60))
            return fail(QStringLiteral("could not write ") + file);
        tone.setProgram(QStringLiteral("paplay"));
        tone.setArguments({ QStringLiteral("--device=micfeed"), file });
        tone.start();
        return tone.waitForStarted(10000);
    }

    void stopTone()
    {
        if (tone.state() == QProcess::NotRunning)
            return;
        tone.terminate();
        if (!tone.waitForFinished(5000))
            tone.kill();
        tone.waitForFinished(5000);
    }

    QString error() const { return lastError; }
    WebServiceEmulator *webService() const { return emulator.get(); }
    int port() const { return voicePort; }
    QString folder() const { return dir.path(); }
    QString caDir() const { return dir.filePath(QStringLiteral("ca")); }
    QString gatewayOutput() { return QString::fromLocal8Bit(gatewayOut += gateway.readAllStandardOutput()); }

private:
    static QString script(const QString &relative)
    {
        return qEnvironmentVariable("TALKVANE_SOURCE_DIR") + QLatin1Char('/') + relative;
    }
    // 48 kHz mono 16-bit PCM sine at half scale.
    static bool writeTone(const QString &path, int hz, int seconds)
    {
        const int rate = 48000;
        const quint32 samples = quint32(rate * seconds);
        QByteArray data;
        data.reserve(int(44 + samples * 2));
        auto put32 = [&data](quint32 v) {
            for (int i = 0; i < 4; ++i)
                data.append(char((v >> (8 * i)) & 0xff));
        };
        auto put16 = [&data](quint16 v) {
            data.append(char(v & 0xff));
            data.append(char(v >> 8));
        };
        data.append("RIFF");
        put32(36 + samples * 2);
        data.append("WAVEfmt ");
        put32(16);
        put16(1);
        put16(1);
        put32(rate);
        put32(rate * 2);
        put16(2);
        put16(16);
        data.append("data");
        put32(samples * 2);
        for (quint32 i = 0; i < samples; ++i)
            put16(quint16(qint16(16000 * std::sin(2 * M_PI * hz * i / rate))));
        QFile file(path);
        return file.open(QIODevice::WriteOnly) && file.write(data) == data.size();
    }

    QString pulseDir() const { return dir.filePath(QStringLiteral("pulse")); }
    QString voiceDir() const { return dir.filePath(QStringLiteral("voice")); }

    bool fail(const QString &why)
    {
        lastError = why;
        return false;
    }

    static QHash<QString, QString> readEnv(const QString &path)
    {
        QHash<QString, QString> env;
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
            return env;
        QTextStream in(&file);
        while (!in.atEnd()) {
            const QString line = in.readLine();
            const int eq = line.indexOf(QLatin1Char('='));
            if (eq <= 0)
                continue;
            QString value = line.mid(eq + 1);
            if (value.size() >= 2 && value.startsWith(QLatin1Char('"')) && value.endsWith(QLatin1Char('"')))
                value = value.mid(1, value.size() - 2);
            env.insert(line.left(eq), value);
        }
        return env;
    }

    bool run(
        const QString &program, const QStringList &arguments, const QProcessEnvironment &env, QString *output)
    {
        QProcess process;
        process.setProcessEnvironment(env);
        process.setProcessChannelMode(QProcess::MergedChannels);
        process.start(program, arguments);
        const bool ok = process.waitForFinished(120000) && process.exitStatus() == QProcess::NormalExit
            && process.exitCode() == 0;
        *output = QString::fromLocal8Bit(process.readAll());
        return ok;
    }

    bool startPulse()
    {
        QString output;
        if (!run(script(QStringLiteral("tools/audio/start-pulse.sh")), { pulseDir() },
                QProcessEnvironment::systemEnvironment(), &output))
            return fail(QStringLiteral("start-pulse.sh: ") + output);
        pulseStarted = true;
        const QHash<QString, QString> env = readEnv(pulseDir() + QStringLiteral("/pulse.env"));
        if (env.isEmpty())
            return fail(QStringLiteral("no pulse.env"));
        for (auto it = env.cbegin(); it != env.cend(); ++it)
            qputenv(it.key().toLocal8Bit().constData(), it.value().toLocal8Bit());
        return true;
    }

    bool startVoiceService(int port)
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("TALKVANE_CA_DIR"), caDir());
        QString output;
        if (!run(script(QStringLiteral("tools/voiceservice/start.sh")),
                { voiceDir(), QStringLiteral("--port"), QString::number(port) }, env, &output))
            return fail(QStringLiteral("voice service: ") + output);
        voiceEnv = readEnv(voiceDir() + QStringLiteral("/voiceservice.env"));
        voicePort = voiceEnv.value(QStringLiteral("VOICE_PORT")).toInt();
        if (voicePort <= 0)
            return fail(QStringLiteral("voice service: no port"));
        voiceStarted = true;
        return true;
    }

    void stopVoiceService()
    {
        if (!voiceStarted)
            return;
        QProcess::execute(script(QStringLiteral("tools/voiceservice/stop.sh")), { voiceDir() });
        voiceStarted = false;
    }

    bool startGateway()
    {
        const QString program = qEnvironmentVariable("TALKVANE_BINARY_DIR") + QStringLiteral("/bin/gateway");
        gateway.setProcessChannelMode(QProcess::SeparateChannels);
        gateway.start(program, { voiceDir() + QStringLiteral("/voiceservice.env") });
        if (!gateway.waitForStarted(30000))
            return fail(QStringLiteral("gateway did not start: ") + program);
        for (int i = 0; i < 600 && !gatewayOutput().contains(QStringLiteral("READY all")); ++i) {
            if (gateway.state() == QProcess::NotRunning)
                return fail(QStringLiteral("gateway ended: ")
                    + QString::fromLocal8Bit(gateway.readAllStandardError()));
            QTest::qWait(100);
        }
        if (!gatewayOutput().contains(QStringLiteral("READY all")))
            return fail(QStringLiteral("gateway not ready"));
        return true;
    }

    QTemporaryDir dir { QDir::tempPath() + QStringLiteral("/talkvane-e2e-XXXXXX") };
    std::unique_ptr<WebServiceEmulator> emulator;
    QProcess gateway;
    QByteArray gatewayOut;
    QProcess tone;
    QHash<QString, QString> voiceEnv;
    int voicePort = 0;
    bool voiceStarted = false;
    bool pulseStarted = false;
    QString lastError;
};
