#include "gatewayline.h"

#include <QTimer>

#include <cstdio>

#include "jingle/jinglemanager.h"
#include "jingle/jinglesession.h"
#include "media/webrtccallmedia.h"
#include "xmpp/xmppjinglewire.h"
#include "xmpp/xmppsession.h"

namespace gateway {

const QList<TestNumber> &testNumbers()
{
    static const QList<TestNumber> numbers {
        { QStringLiteral("+15550100"), Behaviour::Echo },
        { QStringLiteral("+15550101"), Behaviour::Tone },
        { QStringLiteral("+15550102"), Behaviour::Busy },
        { QStringLiteral("+15550103"), Behaviour::RingForever },
        { QStringLiteral("+15550104"), Behaviour::AnswerThenHangUp },
        { QStringLiteral("+15550105"), Behaviour::DeclineThenCallBack },
    };
    return numbers;
}

namespace {

engine::MediaOptions optionsFor(Behaviour behaviour, const QString &channel)
{
    engine::MediaOptions options;
    options.voiceProcessing = false;
    options.sinkOverride = QStringLiteral("fakesink sync=true");
    options.sourceOverride = QStringLiteral("audiotestsrc is-live=true wave=silence");
    if (behaviour == Behaviour::Echo) {
        // What the call plays out is what it sends: the two ends meet in a process-wide channel.
        // The channel's own default delay (100 ms) would swamp the round trip measured through it.
        // Whatever piles up in it (a burst after a stall) would stay for the rest of the call: it
        // keeps at most 40 ms and drops older audio.
        options.sinkOverride = QStringLiteral("interaudiosink channel=%1").arg(channel);
        options.sourceOverride = QStringLiteral(
            "interaudiosrc channel=%1 latency-time=20000000 period-time=10000000 buffer-time=40000000")
                                     .arg(channel);
    } else if (behaviour == Behaviour::Tone) {
        options.sourceOverride = QStringLiteral("audiotestsrc is-live=true wave=sine freq=1000 volume=0.5");
    }
    return options;
}

QString digitFor(int event)
{
    static const char *const digits = "0123456789*#ABCD";
    return event >= 0 && event < 16 ? QString(QLatin1Char(digits[event])) : QString::number(event);
}

} // namespace

GatewayLine::GatewayLine(const TestNumber &number, const QString &domain, QObject *parent)
    : QObject(parent)
    , m_number(number)
    , m_domain(domain)
    , m_xmpp(new engine::XmppSession(this))
    , m_wire(new engine::XmppJingleWire(m_xmpp->client()))
{
    const Behaviour behaviour = number.behaviour;
    const QString prefix = QStringLiteral("echo%1").arg(number.number.mid(1));
    m_jingle = new engine::JingleManager(
        m_wire,
        [this, behaviour, prefix](QObject *parent) -> engine::CallMedia * {
            const QString channel = QStringLiteral("%1-%2").arg(prefix).arg(++m_calls);
            return new engine::WebRtcCallMedia(optionsFor(behaviour, channel), nullptr, parent);
        },
        this);
    m_jingle->setAllowMultipleCalls(true);
    m_wire->setManager(m_jingle);
    m_xmpp->client()->insertExtension(0, m_wire);
    connect(m_jingle, &engine::JingleManager::incomingSession, this, &GatewayLine::onIncoming);
    connect(m_xmpp, &engine::XmppSession::loggedIn, this, [this] {
        m_jingle->setOwnJid(m_xmpp->client()->configuration().jid());
        m_ready = true;
        report(QStringLiteral("READY"), QString());
        emit ready();
    });
    connect(m_xmpp, &engine::XmppSession::loginFailed, this, [this](vesk::VESK_TALK_ERROR_CODE code) {
        emit failed(QStringLiteral("%1 cannot sign in (code %2)").arg(m_number.number).arg(int(code)));
    });
    connect(m_xmpp, &engine::XmppSession::connectionLost, this, [this](vesk::VESK_DISCONNECT_REASON reason) {
        m_jingle->abandonAll();
        emit failed(
            QStringLiteral("%1 lost its connection (reason %2)").arg(m_number.number).arg(int(reason)));
    });
}

void GatewayLine::signIn(const QString &host, int port, const QString &password)
{
    m_xmpp->setServer(host, port);
    m_xmpp->setResource(QStringLiteral("talkvane"));
    m_xmpp->login(m_number.number + QLatin1Char('@') + m_domain, password, true);
}

void GatewayLine::report(const QString &event, const QString &detail)
{
    const QString line = detail.isEmpty() ? QStringLiteral("%1 %2\n").arg(event, m_number.number)
                                          : QStringLiteral("%1 %2 %3\n").arg(event, m_number.number, detail);
    std::fputs(line.toUtf8().constData(), stdout);
    std::fflush(stdout);
}

void GatewayLine::watch(engine::JingleSession *session)
{
    connect(session, &engine::JingleSession::dtmfReceived, this,
        [this](int event) { report(QStringLiteral("DTMF"), digitFor(event)); });
    connect(session, &engine::JingleSession::ended, this,
        [this](vesk::HANGUP_REASON reason) { report(QStringLiteral("END"), QString::number(int(reason))); });
}

void GatewayLine::onIncoming(engine::JingleSession *session)
{
    const QString caller = session->peerJid();
    report(QStringLiteral("CALL"), caller);
    watch(session);
    switch (m_number.behaviour) {
    case Behaviour::Echo:
    case Behaviour::Tone:
        session->accept();
        break;
    case Behaviour::Busy:
        session->reject(vesk::HANGUP_BUSY);
        break;
    case Behaviour::RingForever:
        break;
    case Behaviour::AnswerThenHangUp: {
        QPointer<engine::JingleSession> guard(session);
        session->accept();
        QTimer::singleShot(3000, this, [guard] {
            if (guard)
                guard->hangup();
        });
        break;
    }
    case Behaviour::DeclineThenCallBack:
        session->reject(vesk::HANGUP_DECLINE);
        QTimer::singleShot(2000, this, [this, caller] {
            engine::JingleSession *back = m_jingle->call(caller);
            if (!back)
                return;
            report(QStringLiteral("CALLBACK"), caller);
            watch(back);
            back->start();
        });
        break;
    }
}

} // namespace gateway
