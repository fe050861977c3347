// The telephone gateway of the local voice service: signs in every test number and answers
// calls to them as the table in gatewayline.cpp says.
//
//   gateway ENV_FILE        (the voiceservice.env that start.sh wrote)

#include <QCoreApplication>
#include <QFile>
#include <QHash>
#include <QTextStream>

#include <cstdio>

#include "gatewayline.h"
#include "media/mediawarmup.h"

namespace {

QHash<QString, QString> readEnv(const QString &path)
{
    QHash<QString, QString> env;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text))
        return env;
    QTextStream in(&f);
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

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 2) {
        std::fputs("usage: gateway ENV_FILE\n", stderr);
        return 2;
    }
    const QHash<QString, QString> env = readEnv(args.at(1));
    if (env.value(QStringLiteral("VOICE_PORT")).isEmpty()) {
        std::fprintf(stderr, "gateway: no VOICE_PORT in %s\n", qPrintable(args.at(1)));
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("TALKVANE_CA_FILE"))
        qputenv("TALKVANE_CA_FILE", env.value(QStringLiteral("TALKVANE_CA_FILE")).toUtf8());

    const QString host = env.value(QStringLiteral("VOICE_HOST"), QStringLiteral("127.0.0.1"));
    const int port = env.value(QStringLiteral("VOICE_PORT")).toInt();
    const QString domain = env.value(QStringLiteral("VOICE_DOMAIN"), QStringLiteral("localhost"));
    const QString password = env.value(QStringLiteral("VOICE_GATEWAY_PASSWORD"));

    // A telephone gateway is up long before anyone calls: its first call should not pay for loading
    // the media plugins and making its DTLS certificate.
    engine::warmUpCallMedia();

    int pending = gateway::testNumbers().size();
    for (const gateway::TestNumber &number : gateway::testNumbers()) {
        auto *line = new gateway::GatewayLine(number, domain, &app);
        QObject::connect(line, &gateway::GatewayLine::ready, &app, [&pending] {
            if (--pending == 0) {
                std::fputs("READY all\n", stdout);
                std::fflush(stdout);
            }
        });
        QObject::connect(line, &gateway::GatewayLine::failed, &app, [](const QString &why) {
            std::fprintf(stderr, "gateway: %s\n", qPrintable(why));
            QCoreApplication::exit(1);
        });
        line->signIn(host, port, password);
    }
    return app.exec();
}
