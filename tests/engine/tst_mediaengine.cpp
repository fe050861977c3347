#include <QtTest>

#include "core/mediaengine.h"
#include "jingle/jingleiq.h"
#include "jingle/jinglemanager.h"
#include "jinglefakes.h"
#include "vesk/interfaces.h"

using namespace jinglefakes;

// The call life the program sees through IMediaEngine and ICallInstance, over a fake connection
// and fake media.
namespace {

class Events : public sigslot::has_slots<>
{
public:
    QStringList log;
    QList<vesk::ICallInstance *> created;
    int monitorEntries = -1;

    void attach(vesk::IMediaEngine *m)
    {
        m->SignalCallCreated.connect(this, &Events::onCreated);
        m->SignalCallDestroyed.connect(this, &Events::onDestroyed);
        m->SignalCallFocusChange.connect(this, &Events::onFocus);
    }
    QString name(vesk::ICallInstance *c) const
    {
        return c ? QStringLiteral("call%1").arg(created.indexOf(c)) : QStringLiteral("none");
    }
    void onCreated(vesk::ICallInstance *c)
    {
        created.append(c);
        log << "created " + name(c) + (c->IsIncoming() ? " in" : " out");
        c->SignalSessionInitiated.connect(this, &Events::onInitiated);
        c->SignalReceivedAccept.connect(this, &Events::onAccept);
        c->SignalReceivedReject.connect(this, &Events::onReject);
        c->SignalInProgress.connect(this, &Events::onProgress);
        c->SignalRingingStart.connect(this, &Events::onRinging);
        c->SignalHangup.connect(this, &Events::onHangup);
        c->SignalConnectionMonitor.connect(this, &Events::onMonitor);
    }
    void onDestroyed(vesk::ICallInstance *c) { log << "destroyed " + name(c); }
    void onFocus(vesk::ICallInstance *now, vesk::ICallInstance *old)
    {
        log << "focus " + name(now) + " " + name(old);
    }
    void onInitiated(vesk::ICallInstance *c) { log << "initiated " + name(c); }
    void onAccept(vesk::ICallInstance *c) { log << "accept " + name(c); }
    void onReject(vesk::ICallInstance *c) { log << "reject " + name(c); }
    void onProgress(vesk::ICallInstance *c) { log << "progress " + name(c); }
    void onRinging(vesk::ICallInstance *c) { log << "ringing " + name(c); }
    void onHangup(vesk::ICallInstance *c, vesk::HANGUP_REASON r)
    {
        log << QStringLiteral("hangup %1 %2").arg(name(c)).arg(r);
    }
    void onMonitor(vesk::ICallInstance *, vesk::IList *list) { monitorEntries = list->GetCount(); }
};

} // namespace

class tst_MediaEngine : public QObject
{
    Q_OBJECT
private:
    FakeWire *wire = nullptr;
    engine::JingleManager *manager = nullptr;
    engine::MediaEngine *media = nullptr;
    Events *events = nullptr;
    QList<QPointer<FakeMedia>> medias;

    void feed(QXmppJingleIq iq, const QString &from = peerJid)
    {
        iq.setFrom(from);
        iq.setTo(ownJid);
        iq.setType(QXmppIq::Set);
        iq.setId(QStringLiteral("in-%1").arg(QRandomGenerator::global()->generate()));
        QVERIFY(manager->handleElement(toElement(engine::JingleIq(iq))));
    }

    void acknowledge(const QDomElement &request)
    {
        QDomDocument doc;
        doc.setContent(QStringLiteral("<iq xmlns='jabber:client' from='%1' id='%2' type='result'/>")
                           .arg(request.attribute("to"), request.attribute("id")),
            true);
        QVERIFY(manager->handleElement(doc.documentElement()));
    }

    QXmppJingleIq request(const QString &sid, QXmppJingleIq::Action action)
    {
        QXmppJingleIq iq;
        iq.setSid(sid);
        iq.setAction(action);
        return iq;
    }

    QString outgoingSid() const
    {
        return wire->withAction("session-initiate").last().firstChildElement("jingle").attribute("sid");
    }

private slots:
    void init()
    {
        wire = new FakeWire;
        medias.clear();
        manager = new engine::JingleManager(wire, [this](QObject *) {
            auto *m = new FakeMedia;
            medias.append(m);
            return m;
        });
        manager->setOwnJid(ownJid);
        media = new engine::MediaEngine(manager, nullptr);
        events = new Events;
        events->attach(media);
    }

    void cleanup()
    {
        delete events;
        delete media;
        delete manager;
        delete wire;
    }

    void busyPeer()
    {
        QVERIFY(media->PlaceCall(peerBare.toUtf8().constData(), false));
        QCOMPARE(media->GetCallCount(), 1);
        QVERIFY(media->IsInCall());
        vesk::ICallInstance *call = events->created.value(0);
        QVERIFY(call);
        QCOMPARE(QString::fromUtf8(call->GetRemoteJid()), peerJid);
        QVERIFY(!call->SendDTMF(1)); // nothing to send on yet
        acknowledge(wire->withAction("session-initiate").last());
        QXmppJingleIq ring = request(outgoingSid(), QXmppJingleIq::SessionInfo);
        ring.setRinging(true);
        feed(ring);
        QCOMPARE(call->GetState(), vesk::ICallInstance::STATE_RINGING);
        QXmppJingleIq busy = request(outgoingSid(), QXmppJingleIq::SessionTerminate);
        busy.reason().setType(QXmppJingleIq::Reason::Busy);
        feed(busy);
        QCOMPARE(media->GetCallCount(), 0);
        // Destroyed only after everyone has seen the hang-up.
        QVERIFY(!events->log.contains("destroyed call0"));
        QTRY_VERIFY(events->log.contains("destroyed call0"));
        QCOMPARE(events->log,
            (QStringList { "created call0 out", "focus call0 none", "initiated call0", "ringing call0",
                "progress call0", "reject call0", QStringLiteral("hangup call0 %1").arg(vesk::HANGUP_BUSY),
                "focus none call0", "destroyed call0" }));
    }

    void acceptedCallThenLocalHangup()
    {
        QVERIFY(media->PlaceCall(peerBare.toUtf8().constData(), false));
        vesk::ICallInstance *call = events->created.value(0);
        acknowledge(wire->withAction("session-initiate").last());
        QXmppJingleIq accept = request(outgoingSid(), QXmppJingleIq::SessionAccept);
        accept.addContent(content({ payload(111, "opus", 48000, 2) }));
        feed(accept);
        QCOMPARE(call->GetState(), vesk::ICallInstance::STATE_ACTIVE);
        medias.last()->fireConnected();
        QVERIFY(call->SendDTMF(11));
        QCOMPARE(medias.last()->dtmf, QList<int> { 11 });
        call->Mute(true);
        QVERIFY(medias.last()->muted);
        call->StartConnectionMonitor(50);
        QTRY_COMPARE(events->monitorEntries, 1);
        call->Hangup();
        QVERIFY(events->log.contains(QStringLiteral("hangup call0 %1").arg(vesk::HANGUP_SUCCESS)));
        QVERIFY(events->log.contains("accept call0"));
        QVERIFY(!events->log.contains("reject call0"));
        QTRY_VERIFY(events->log.contains("destroyed call0"));
    }

    void oneCallAtATimeUnlessAllowed()
    {
        QVERIFY(media->PlaceCall(peerBare.toUtf8().constData(), false));
        QVERIFY(!media->PlaceCall("bob@localhost", false));
        QCOMPARE(media->GetCallCount(), 1);
        media->SetAllowsMultipleCalls(true);
        QVERIFY(media->PlaceCall("bob@localhost", false));
        QCOMPARE(media->GetCallCount(), 2);
        vesk::IList *calls = media->GetCalls();
        QCOMPARE(calls->GetCount(), 2);
        QCOMPARE(vesk::ListItem<vesk::ICallInstance>(calls, 1), events->created.value(1));
        calls->Release();
    }

    void incomingCall_data()
    {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("reason");
        QTest::newRow("accept") << "accept"
                                << "session-accept"
                                << "";
        QTest::newRow("reject") << "reject"
                                << "session-terminate"
                                << "decline";
        QTest::newRow("reject busy") << "busy"
                                     << "session-terminate"
                                     << "busy";
    }

    void incomingCall()
    {
        QFETCH(QString, answer);
        QFETCH(QString, action);
        QFETCH(QString, reason);
        QXmppJingleIq initiate = request("in-sid", QXmppJingleIq::SessionInitiate);
        initiate.addContent(content({ payload(96, "opus", 48000, 2) }));
        feed(initiate);
        QCOMPARE(events->log, (QStringList { "created call0 in", "focus call0 none", "initiated call0" }));
        vesk::ICallInstance *call = events->created.value(0);
        QVERIFY(call->IsIncoming());
        QCOMPARE(call->GetState(), vesk::ICallInstance::STATE_RINGING);
        if (answer == "accept")
            QVERIFY(call->Accept(false));
        else
            QVERIFY(call->Reject(answer == "busy" ? 1 : 0));
        const auto sent = wire->withAction(action);
        QCOMPARE(sent.size(), 1);
        if (!reason.isEmpty())
            QCOMPARE(wire->reason(sent.first()), reason);
        // The program's own accept is not the peer's: no ReceivedAccept for an incoming call.
        QVERIFY(!events->log.contains("accept call0"));
    }
};

QTEST_GUILESS_MAIN(tst_MediaEngine)
#include "tst_mediaengine.moc"
