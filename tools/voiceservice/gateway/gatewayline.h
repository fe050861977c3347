#pragma once

#include <QObject>
#include <QString>

#include "vesk/enums.h"

namespace engine {
class JingleManager;
class JingleSession;
class XmppJingleWire;
class XmppSession;
} // namespace engine

namespace gateway {

// What a test number does with a call.
enum class Behaviour {
    Echo, // answers and sends back what it hears
    Tone, // answers and plays 1 kHz
    Busy, // declines with busy
    RingForever, // rings and never answers
    AnswerThenHangUp, // answers, hangs up after 3 s
    DeclineThenCallBack, // declines, calls the caller back after 2 s
};

struct TestNumber
{
    QString number;
    Behaviour behaviour;
};

// The telephone gateway's test numbers. Add a row (and its account in start.sh) for a new one.
const QList<TestNumber> &testNumbers();

// One test number: its own XMPP account, signed in, answering Jingle calls as its behaviour says.
// Reports on stdout, one event a line: "READY <number>", "CALL <number> <caller>",
// "DTMF <number> <digit>", "END <number> <reason>", "CALLBACK <number> <caller>".
class GatewayLine : public QObject
{
    Q_OBJECT
public:
    GatewayLine(const TestNumber &number, const QString &domain, QObject *parent = nullptr);

    void signIn(const QString &host, int port, const QString &password);
    bool isReady() const { return m_ready; }

signals:
    void ready();
    void failed(const QString &why);

private:
    void onIncoming(engine::JingleSession *session);
    void watch(engine::JingleSession *session);
    void report(const QString &event, const QString &detail);

    TestNumber m_number;
    QString m_domain;
    engine::XmppSession *m_xmpp;
    engine::XmppJingleWire *m_wire;
    engine::JingleManager *m_jingle;
    bool m_ready = false;
    int m_calls = 0;
};

} // namespace gateway
