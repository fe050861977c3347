#include <QtTest>

#include <QDomDocument>
#include <QXmlStreamWriter>

#include <QXmppJingleIq.h>

#include "jingle/jingleiq.h"
#include "jingle/jinglemanager.h"
#include "jingle/jinglenegotiation.h"
#include "jingle/jinglesession.h"
#include "jinglefakes.h"

Q_DECLARE_METATYPE(vesk::HANGUP_REASON)

using namespace jinglefakes;

class tst_JingleSession : public QObject
{
    Q_OBJECT
private:
    FakeWire *wire = nullptr;
    engine::JingleManager *manager = nullptr;
    QList<QPointer<FakeMedia>> medias;
    bool acceptRemote = true;
    QList<QXmppJinglePayloadType> answerPayloads;

    FakeMedia *media(int i = -1) const { return medias.value(i < 0 ? medias.size() - 1 : i); }

    void feed(QXmppJingleIq iq, const QString &from = peerJid, const QString &id = QString())
    {
        iq.setFrom(from);
        iq.setTo(ownJid);
        iq.setType(QXmppIq::Set);
        iq.setId(id.isEmpty() ? QStringLiteral("in-%1").arg(QRandomGenerator::global()->generate()) : id);
        QVERIFY(manager->handleElement(toElement(engine::JingleIq(iq))));
    }

    void answer(const QDomElement &request, bool ok, const QString &condition = QString())
    {
        QByteArray xml
            = QStringLiteral("<iq xmlns='jabber:client' from='%1' to='%2' id='%3' type='%4'>")
                  .arg(request.attribute("to"), ownJid, request.attribute("id"), ok ? "result" : "error")
                  .toUtf8();
        if (!ok)
            xml += QStringLiteral(
                "<error type='cancel'><%1 xmlns='urn:ietf:params:xml:ns:xmpp-stanzas'/></error>")
                       .arg(condition)
                       .toUtf8();
        xml += "</iq>";
        QDomDocument doc;
        QVERIFY(doc.setContent(xml, true));
        QVERIFY(manager->handleElement(doc.documentElement()));
    }

    QXmppJingleIq peerRequest(const QString &sid, QXmppJingleIq::Action action)
    {
        QXmppJingleIq iq;
        iq.setSid(sid);
        iq.setAction(action);
        return iq;
    }

    engine::JingleSession *startOutgoing()
    {
        engine::JingleSession *s = manager->call(peerBare);
        if (s)
            s->start();
        return s;
    }

    // An outgoing call up to the peer's accept.
    engine::JingleSession *acceptedOutgoing()
    {
        engine::JingleSession *s = startOutgoing();
        answer(wire->withAction("session-initiate").last(), true);
        QXmppJingleIq accept = peerRequest(s->sid(), QXmppJingleIq::SessionAccept);
        QXmppJingleIq::Content c = content({ payload(111, "opus", 48000, 2) });
        c.setTransportFingerprintSetup("active");
        accept.addContent(c);
        feed(accept);
        return s;
    }

    QString incomingInitiate(
        const QXmppJingleIq::Content &offer, const QString &sid = "sid-in-1", const QString &from = peerJid)
    {
        QXmppJingleIq iq = peerRequest(sid, QXmppJingleIq::SessionInitiate);
        iq.setInitiator(from);
        iq.addContent(offer);
        feed(iq, from, "init-" + sid);
        return sid;
    }

    static QXmppJingleIq::Content defaultOffer()
    {
        return content({ payload(96, "OPUS", 48000, 2), payload(100, "TELEPHONE-EVENT", 48000) });
    }

    bool hasResultFor(const QString &id) const
    {
        for (const QDomElement &e : wire->sent) {
            if (e.attribute("type") == "result" && e.attribute("id") == id)
                return true;
        }
        return false;
    }

private slots:
    void initTestCase() { qRegisterMetaType<vesk::HANGUP_REASON>(); }

    void init()
    {
        wire = new FakeWire;
        medias.clear();
        acceptRemote = true;
        manager = new engine::JingleManager(wire, [this](QObject *parent) {
            auto *m = new FakeMedia;
            m->setParent(parent);
            m->acceptRemote = acceptRemote;
            if (!answerPayloads.isEmpty())
                m->answerPayloads = answerPayloads;
            medias.append(m);
            return m;
        });
        manager->setOwnJid(ownJid);
        engine::JingleTimeouts t;
        t.initiateAnswer = t.ringing = t.transport = t.localDescription = 60000;
        manager->setTimeouts(t);
        answerPayloads.clear();
    }

    void cleanup()
    {
        delete manager;
        delete wire;
    }

    void outgoingCallRunsItsCourse()
    {
        engine::JingleSession *s = startOutgoing();
        QVERIFY(s);
        QCOMPARE(s->peerJid(), peerJid);
        QSignalSpy initiated(s, &engine::JingleSession::initiated);
        QSignalSpy ringing(s, &engine::JingleSession::ringing);
        QSignalSpy accepted(s, &engine::JingleSession::accepted);
        QSignalSpy connected(s, &engine::JingleSession::mediaConnected);
        QSignalSpy ended(s, &engine::JingleSession::ended);

        QCOMPARE(wire->sent.size(), 1);
        const QDomElement initiate = wire->sent.at(0);
        QCOMPARE(initiate.attribute("type"), QString("set"));
        QCOMPARE(initiate.attribute("to"), peerJid);
        QCOMPARE(wire->action(0), QString("session-initiate"));
        QCOMPARE(wire->jingle(0).attribute("initiator"), ownJid);
        QCOMPARE(wire->jingle(0).firstChildElement("content").attribute("creator"), QString("initiator"));

        answer(initiate, true);
        QCOMPARE(initiated.count(), 1);
        QCOMPARE(s->state(), engine::JingleSession::State::Pending);

        QXmppJingleIq ring = peerRequest(s->sid(), QXmppJingleIq::SessionInfo);
        ring.setRinging(true);
        feed(ring, peerJid, "ring-1");
        QVERIFY(hasResultFor("ring-1"));
        QCOMPARE(ringing.count(), 1);

        QXmppJingleIq accept = peerRequest(s->sid(), QXmppJingleIq::SessionAccept);
        accept.addContent(content({ payload(111, "opus", 48000, 2) }));
        feed(accept, peerJid, "accept-1");
        QVERIFY(hasResultFor("accept-1"));
        QCOMPARE(accepted.count(), 1);
        QCOMPARE(media()->remote.size(), 1);
        QCOMPARE(s->state(), engine::JingleSession::State::Active);

        media()->fireConnected();
        QCOMPARE(connected.count(), 1);
        QVERIFY(s->sendDtmf(11));
        QCOMPARE(media()->dtmf, QList<int> { 11 });

        s->hangup();
        QCOMPARE(ended.count(), 1);
        QCOMPARE(ended.at(0).at(0).value<vesk::HANGUP_REASON>(), vesk::HANGUP_SUCCESS);
        const auto terminates = wire->withAction("session-terminate");
        QCOMPARE(terminates.size(), 1);
        QCOMPARE(wire->reason(terminates.first()), QString("success"));
    }

    void hangupBeforeAcceptCancels()
    {
        engine::JingleSession *s = startOutgoing();
        answer(wire->sent.at(0), true);
        QSignalSpy ended(s, &engine::JingleSession::ended);
        s->hangup();
        QCOMPARE(ended.count(), 1);
        QCOMPARE(wire->reason(wire->withAction("session-terminate").first()), QString("cancel"));
    }

    void peerEndsTheCall_data()
    {
        QTest::addColumn<int>("reason");
        QTest::addColumn<int>("expected");
        using R = QXmppJingleIq::Reason;
        QTest::newRow("success") << int(R::Success) << int(vesk::HANGUP_SUCCESS);
        QTest::newRow("decline") << int(R::Decline) << int(vesk::HANGUP_DECLINE);
        QTest::newRow("busy") << int(R::Busy) << int(vesk::HANGUP_BUSY);
        QTest::newRow("timeout") << int(R::Timeout) << int(vesk::HANGUP_TIMEOUT);
        QTest::newRow("expired") << int(R::Expired) << int(vesk::HANGUP_TIMEOUT);
        QTest::newRow("connectivity-error") << int(R::ConnectivityError) << int(vesk::HANGUP_UNREACHABLE);
        QTest::newRow("failed-transport") << int(R::FailedTransport) << int(vesk::HANGUP_UNREACHABLE);
        QTest::newRow("gone") << int(R::Gone) << int(vesk::HANGUP_UNREACHABLE);
        QTest::newRow("cancel") << int(R::Cancel) << int(vesk::HANGUP_SUCCESS);
        QTest::newRow("general-error") << int(R::GeneralError) << int(vesk::HANGUP_UNKNOWN);
        QTest::newRow("security-error") << int(R::SecurityError) << int(vesk::HANGUP_UNKNOWN);
        QTest::newRow("no reason") << int(R::None) << int(vesk::HANGUP_UNKNOWN);
    }

    void peerEndsTheCall()
    {
        QFETCH(int, reason);
        QFETCH(int, expected);
        engine::JingleSession *s = startOutgoing();
        answer(wire->sent.at(0), true);
        QSignalSpy ended(s, &engine::JingleSession::ended);
        QXmppJingleIq terminate = peerRequest(s->sid(), QXmppJingleIq::SessionTerminate);
        terminate.reason().setType(QXmppJingleIq::Reason::Type(reason));
        feed(terminate, peerJid, "term-1");
        QVERIFY(hasResultFor("term-1"));
        QCOMPARE(ended.count(), 1);
        QCOMPARE(int(ended.at(0).at(0).value<vesk::HANGUP_REASON>()), expected);
        // The peer already ended it: nothing more goes out.
        QCOMPARE(wire->withAction("session-terminate").size(), 0);
    }

    void initiateRefusedByIqError_data()
    {
        QTest::addColumn<QString>("condition");
        QTest::addColumn<int>("expected");
        QTest::newRow("item-not-found") << "item-not-found" << int(vesk::HANGUP_NOT_FOUND);
        QTest::newRow("service-unavailable") << "service-unavailable" << int(vesk::HANGUP_NOT_FOUND);
        QTest::newRow("recipient-unavailable") << "recipient-unavailable" << int(vesk::HANGUP_NOT_FOUND);
        QTest::newRow("remote-server-not-found")
            << "remote-server-not-found" << int(vesk::HANGUP_UNREACHABLE);
        QTest::newRow("remote-server-timeout") << "remote-server-timeout" << int(vesk::HANGUP_UNREACHABLE);
        QTest::newRow("forbidden") << "forbidden" << int(vesk::HANGUP_UNKNOWN);
    }

    void initiateRefusedByIqError()
    {
        QFETCH(QString, condition);
        QFETCH(int, expected);
        engine::JingleSession *s = startOutgoing();
        QSignalSpy ended(s, &engine::JingleSession::ended);
        answer(wire->sent.at(0), false, condition);
        QCOMPARE(ended.count(), 1);
        QCOMPARE(int(ended.at(0).at(0).value<vesk::HANGUP_REASON>()), expected);
        QCOMPARE(wire->withAction("session-terminate").size(), 0);
    }

    void timeLimits_data()
    {
        QTest::addColumn<QString>("stage");
        QTest::addColumn<int>("expected");
        QTest::addColumn<QString>("jingleReason");
        QTest::newRow("initiate never answered")
            << "initiate" << int(vesk::HANGUP_UNREACHABLE) << "connectivity-error";
        QTest::newRow("rings unanswered") << "ringing" << int(vesk::HANGUP_TIMEOUT) << "timeout";
        QTest::newRow("transport never connects")
            << "transport" << int(vesk::HANGUP_UNREACHABLE) << "failed-transport";
        QTest::newRow("incoming unanswered") << "incoming" << int(vesk::HANGUP_TIMEOUT) << "timeout";
    }

    void timeLimits()
    {
        QFETCH(QString, stage);
        QFETCH(int, expected);
        QFETCH(QString, jingleReason);
        engine::JingleTimeouts t;
        t.initiateAnswer = t.ringing = t.transport = t.localDescription = 60000;
        if (stage == "initiate")
            t.initiateAnswer = 20;
        else if (stage == "ringing" || stage == "incoming")
            t.ringing = 20;
        else
            t.transport = 20;
        manager->setTimeouts(t);
        engine::JingleSession *s = nullptr;
        if (stage == "incoming") {
            QSignalSpy incoming(manager, &engine::JingleManager::incomingSession);
            incomingInitiate(defaultOffer());
            QCOMPARE(incoming.count(), 1);
            s = incoming.at(0).at(0).value<engine::JingleSession *>();
        } else if (stage == "transport") {
            s = acceptedOutgoing();
        } else {
            s = startOutgoing();
            if (stage == "ringing")
                answer(wire->sent.at(0), true);
        }
        QVERIFY(s);
        QSignalSpy ended(s, &engine::JingleSession::ended);
        QVERIFY(ended.wait(30000));
        QCOMPARE(int(ended.at(0).at(0).value<vesk::HANGUP_REASON>()), expected);
        const auto terminates = wire->withAction("session-terminate");
        QCOMPARE(terminates.size(), 1);
        QCOMPARE(wire->reason(terminates.first()), jingleReason);
    }

    void connectedTransportStopsTheLimit()
    {
        engine::JingleTimeouts t = manager->timeouts();
        t.transport = 20;
        manager->setTimeouts(t);
        engine::JingleSession *s = acceptedOutgoing();
        media()->fireConnected();
        QTest::qWait(100);
        QVERIFY(!s->isEnded());
        QCOMPARE(wire->withAction("session-terminate").size(), 0);
    }

    void mediaFailureBeforeConnectIsUnreachable()
    {
        engine::JingleSession *s = acceptedOutgoing();
        QSignalSpy ended(s, &engine::JingleSession::ended);
        media()->fireFailed();
        QCOMPARE(ended.count(), 1);
        QCOMPARE(ended.at(0).at(0).value<vesk::HANGUP_REASON>(), vesk::HANGUP_UNREACHABLE);
    }

    void incomingCallIsAnsweredWithTheCallersNumbering()
    {
        answerPayloads = { payload(111, "opus", 48000, 2), payload(0, "PCMU", 8000),
            payload(101, "telephone-event", 48000) };
        QSignalSpy incoming(manager, &engine::JingleManager::incomingSession);
        incomingInitiate(defaultOffer());
        QVERIFY(hasResultFor("init-sid-in-1"));
        QCOMPARE(incoming.count(), 1);
        auto *s = incoming.at(0).at(0).value<engine::JingleSession *>();
        QVERIFY(s->isIncoming());
        QCOMPARE(s->peerJid(), peerJid);
        // Ringing goes out at once.
        const auto infos = wire->withAction("session-info");
        QCOMPARE(infos.size(), 1);
        QVERIFY(!infos.first().firstChildElement("jingle").firstChildElement("ringing").isNull());
        QCOMPARE(media()->remote.size(), 1);

        QSignalSpy accepted(s, &engine::JingleSession::accepted);
        QVERIFY(s->accept());
        QCOMPARE(accepted.count(), 1);
        const auto accepts = wire->withAction("session-accept");
        QCOMPARE(accepts.size(), 1);
        const QDomElement jingle = accepts.first().firstChildElement("jingle");
        QCOMPARE(jingle.attribute("responder"), ownJid);
        const QDomElement c = jingle.firstChildElement("content");
        QCOMPARE(c.attribute("name"), QString("voice"));
        QXmppJingleIq::Content parsed;
        parsed.parse(c);
        const auto payloads = parsed.payloadTypes();
        // PCMU was not offered: dropped. Opus and telephone-event take the caller's ids.
        QCOMPARE(payloads.size(), 2);
        QCOMPARE(int(payloads.at(0).id()), 96);
        QCOMPARE(payloads.at(0).name().toLower(), QString("opus"));
        QCOMPARE(int(payloads.at(1).id()), 100);
    }

    void incomingCallRejected_data()
    {
        QTest::addColumn<int>("reason");
        QTest::addColumn<QString>("element");
        QTest::newRow("decline") << int(vesk::HANGUP_DECLINE) << "decline";
        QTest::newRow("busy") << int(vesk::HANGUP_BUSY) << "busy";
    }

    void incomingCallRejected()
    {
        QFETCH(int, reason);
        QFETCH(QString, element);
        QSignalSpy incoming(manager, &engine::JingleManager::incomingSession);
        incomingInitiate(defaultOffer());
        auto *s = incoming.at(0).at(0).value<engine::JingleSession *>();
        QSignalSpy ended(s, &engine::JingleSession::ended);
        QVERIFY(s->reject(vesk::HANGUP_REASON(reason)));
        QCOMPARE(ended.count(), 1);
        QCOMPARE(wire->reason(wire->withAction("session-terminate").first()), element);
        QVERIFY(!s->accept());
    }

    void unplayableOffersAreRefused_data()
    {
        QTest::addColumn<bool>("fingerprint");
        QTest::addColumn<bool>("mediaAccepts");
        QTest::addColumn<bool>("onlyEvents");
        QTest::addColumn<QString>("element");
        QTest::newRow("no fingerprint") << false << true << false << "security-error";
        QTest::newRow("media refuses") << true << false << false << "incompatible-parameters";
        QTest::newRow("only telephone-event") << true << true << true << "incompatible-parameters";
    }

    void unplayableOffersAreRefused()
    {
        QFETCH(bool, fingerprint);
        QFETCH(bool, mediaAccepts);
        QFETCH(bool, onlyEvents);
        QFETCH(QString, element);
        acceptRemote = mediaAccepts;
        QSignalSpy incoming(manager, &engine::JingleManager::incomingSession);
        QList<QXmppJinglePayloadType> payloads { payload(100, "telephone-event", 48000) };
        if (!onlyEvents)
            payloads.prepend(payload(96, "opus", 48000, 2));
        incomingInitiate(content(payloads, fingerprint));
        QVERIFY(hasResultFor("init-sid-in-1"));
        QCOMPARE(incoming.count(), 0);
        QCOMPARE(wire->reason(wire->withAction("session-terminate").first()), element);
        QCOMPARE(manager->liveSessionCount(), 0);
    }

    void secondCallGetsBusy()
    {
        QSignalSpy incoming(manager, &engine::JingleManager::incomingSession);
        incomingInitiate(defaultOffer(), "sid-a");
        incomingInitiate(defaultOffer(), "sid-b", "bob@localhost/x");
        QVERIFY(hasResultFor("init-sid-b"));
        QCOMPARE(incoming.count(), 1);
        const auto terminates = wire->withAction("session-terminate");
        QCOMPARE(terminates.size(), 1);
        QCOMPARE(terminates.first().attribute("to"), QString("bob@localhost/x"));
        QCOMPARE(terminates.first().firstChildElement("jingle").attribute("sid"), QString("sid-b"));
        QCOMPARE(wire->reason(terminates.first()), QString("busy"));
        // Nor may we call out meanwhile.
        QVERIFY(!manager->call("carol@localhost"));
    }

    void multipleCallsWhenAllowed()
    {
        manager->setAllowMultipleCalls(true);
        QSignalSpy incoming(manager, &engine::JingleManager::incomingSession);
        incomingInitiate(defaultOffer(), "sid-a");
        incomingInitiate(defaultOffer(), "sid-b", "bob@localhost/x");
        QCOMPARE(incoming.count(), 2);
        QVERIFY(manager->call("carol@localhost"));
    }

    void unknownSessionsAreRefused_data()
    {
        QTest::addColumn<QString>("sid");
        QTest::addColumn<QString>("from");
        QTest::newRow("unknown sid") << "no-such-sid" << peerJid;
        QTest::newRow("someone else's session") << "sid-in-1"
                                                << "mallory@localhost/x";
    }

    void unknownSessionsAreRefused()
    {
        QFETCH(QString, sid);
        QFETCH(QString, from);
        incomingInitiate(defaultOffer());
        const int before = wire->sent.size();
        QXmppJingleIq terminate = peerRequest(sid, QXmppJingleIq::SessionTerminate);
        terminate.reason().setType(QXmppJingleIq::Reason::Success);
        feed(terminate, from, "bad-1");
        QCOMPARE(wire->sent.size(), before + 1);
        const QDomElement reply = wire->sent.last();
        QCOMPARE(reply.attribute("type"), QString("error"));
        QCOMPARE(reply.attribute("id"), QString("bad-1"));
        QCOMPARE(reply.attribute("to"), from);
        const QDomElement error = reply.firstChildElement("error");
        QVERIFY(!error.firstChildElement("item-not-found").isNull());
        QCOMPARE(
            error.firstChildElement("unknown-session").namespaceURI(), QString("urn:xmpp:jingle:errors:1"));
        QCOMPARE(manager->liveSessionCount(), 1); // the real session is untouched
    }

    void candidatesFlowBothWays()
    {
        engine::JingleSession *s = manager->call(peerBare);
        // Gathered before the offer left: carried inside it. (The fake offers synchronously, so
        // feed one through the media before start by emitting after.)
        s->start();
        media()->fireCandidate(40000);
        const auto infos = wire->withAction("transport-info");
        QCOMPARE(infos.size(), 1);
        QCOMPARE(infos.first().firstChildElement("jingle").firstChildElement("content").attribute("name"),
            QString("voice"));

        // The peer's candidates wait until its description is applied.
        answer(wire->withAction("session-initiate").first(), true);
        QXmppJingleIq info = peerRequest(s->sid(), QXmppJingleIq::TransportInfo);
        QXmppJingleIq::Content c;
        c.setCreator("initiator");
        c.setName("voice");
        c.addTransportCandidate(candidate(41000));
        info.addContent(c);
        feed(info, peerJid, "ti-1");
        QVERIFY(hasResultFor("ti-1"));
        QCOMPARE(media()->remoteCandidates.size(), 0);
        QXmppJingleIq accept = peerRequest(s->sid(), QXmppJingleIq::SessionAccept);
        accept.addContent(content({ payload(111, "opus", 48000, 2) }));
        feed(accept);
        QCOMPARE(media()->remoteCandidates.size(), 1);
        QCOMPARE(int(media()->remoteCandidates.first().port()), 41000);
    }

    void acceptFromTheWrongSideIsOutOfOrder()
    {
        incomingInitiate(defaultOffer());
        QXmppJingleIq accept = peerRequest("sid-in-1", QXmppJingleIq::SessionAccept);
        accept.addContent(defaultOffer());
        feed(accept, peerJid, "acc-x");
        const QDomElement reply = wire->sent.last();
        QCOMPARE(reply.attribute("type"), QString("error"));
        QVERIFY(!reply.firstChildElement("error").firstChildElement("out-of-order").isNull());
    }

    void lostConnectionEndsCallsSilently()
    {
        engine::JingleSession *s = acceptedOutgoing();
        QSignalSpy ended(s, &engine::JingleSession::ended);
        const int before = wire->sent.size();
        manager->abandonAll();
        QCOMPARE(ended.count(), 1);
        QCOMPARE(ended.at(0).at(0).value<vesk::HANGUP_REASON>(), vesk::HANGUP_UNREACHABLE);
        QCOMPARE(wire->sent.size(), before);
    }

    void refusedCalls_data()
    {
        QTest::addColumn<QString>("jid");
        QTest::addColumn<bool>("signedIn");
        QTest::newRow("no user") << "localhost" << true;
        QTest::newRow("spaces") << "a b@localhost" << true;
        QTest::newRow("signed out") << "bob@localhost" << false;
    }

    void refusedCalls()
    {
        QFETCH(QString, jid);
        QFETCH(bool, signedIn);
        if (!signedIn)
            manager->setOwnJid(QString());
        QVERIFY(!manager->call(jid));
        QVERIFY(wire->sent.isEmpty());
    }

    void payloadMatching_data()
    {
        QTest::addColumn<QString>("nameA");
        QTest::addColumn<int>("clockA");
        QTest::addColumn<int>("channelsA");
        QTest::addColumn<QString>("nameB");
        QTest::addColumn<int>("clockB");
        QTest::addColumn<int>("channelsB");
        QTest::addColumn<bool>("same");
        QTest::newRow("case differs") << "OPUS" << 48000 << 2 << "opus" << 48000 << 2 << true;
        QTest::newRow("mixed case") << "Telephone-Event" << 8000 << 1 << "telephone-event" << 8000 << 1
                                    << true;
        QTest::newRow("clock differs")
            << "telephone-event" << 8000 << 1 << "telephone-event" << 48000 << 1 << false;
        QTest::newRow("channels 0 is 1") << "PCMU" << 8000 << 0 << "pcmu" << 8000 << 1 << true;
        QTest::newRow("name differs") << "PCMU" << 8000 << 1 << "PCMA" << 8000 << 1 << false;
    }

    void payloadMatching()
    {
        QFETCH(QString, nameA);
        QFETCH(int, clockA);
        QFETCH(int, channelsA);
        QFETCH(QString, nameB);
        QFETCH(int, clockB);
        QFETCH(int, channelsB);
        QFETCH(bool, same);
        QCOMPARE(engine::JingleNegotiation::samePayload(
                     payload(1, nameA, clockA, channelsA), payload(2, nameB, clockB, channelsB)),
            same);
    }
};

QTEST_GUILESS_MAIN(tst_JingleSession)
#include "tst_jinglesession.moc"
