#include <QSignalSpy>
#include <QtTest>

#include <memory>

#include "fakeengine.h"
#include "talk/callinstance.h"

using talk::Call;
using talk::CallInstance;

class TstCallInstance : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void wrapGivesOneWrapperPerCall();
    void wrapNullGivesNull();
    void dtmf_data();
    void dtmf();
    void defaultsMuteAndMonitorEvery1500ms();
    void failedAcceptEmitsNothing();
    void acceptEmitsIncomingCallAccepted();
    void rejectDeclines();
    void engineSignalsRelayed();
    void connectionMonitorConvertsEveryEntry();
    void logOnlyHandlersEmitNothing();
    void queriesPassThrough();
    void releasedWrapperIsCutOffAndDeleted();

private:
    std::unique_ptr<fake::Call> call;
};

void TstCallInstance::initTestCase()
{
    qRegisterMetaType<const talk::Call *>();
    qRegisterMetaType<vesk::HANGUP_REASON>();
    qRegisterMetaType<QList<talk::ConnectionInfo>>();
}

void TstCallInstance::init()
{
    fake::clearCalls();
    call = std::make_unique<fake::Call>(7, "+15550100@localhost/gw", false);
}

void TstCallInstance::cleanup()
{
    CallInstance::release(call.get());
    call.reset();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCOMPARE(CallInstance::wrapperCount(), 0);
}

void TstCallInstance::wrapGivesOneWrapperPerCall()
{
    Call *first = CallInstance::wrap(call.get());
    QVERIFY(first);
    QCOMPARE(CallInstance::wrap(call.get()), first);
    QCOMPARE(CallInstance::wrapperCount(), 1);
    fake::Call other(8, "+15550101@localhost", true);
    Call *second = CallInstance::wrap(&other);
    QVERIFY(second != first);
    QCOMPARE(CallInstance::wrapperCount(), 2);
    CallInstance::release(&other);
}

void TstCallInstance::wrapNullGivesNull()
{
    QVERIFY(!CallInstance::wrap(nullptr));
    QVERIFY(!CallInstance::find(nullptr));
    CallInstance::release(nullptr);
    QCOMPARE(CallInstance::wrapperCount(), 0);
}

void TstCallInstance::dtmf_data()
{
    QTest::addColumn<QChar>("code");
    QTest::addColumn<int>("event");
    for (int digit = 0; digit <= 9; ++digit)
        QTest::newRow(qPrintable(QString::number(digit))) << QChar('0' + digit) << digit;
    QTest::newRow("star") << QChar('*') << 10;
    QTest::newRow("hash") << QChar('#') << 11;
    QTest::newRow("A") << QChar('A') << -1;
    QTest::newRow("d") << QChar('d') << -1;
    QTest::newRow("plus") << QChar('+') << -1;
    QTest::newRow("blank") << QChar(' ') << -1;
    QTest::newRow("nul") << QChar() << -1;
}

void TstCallInstance::dtmf()
{
    QFETCH(QChar, code);
    QFETCH(int, event);
    Call *wrapper = CallInstance::wrap(call.get());
    wrapper->sendDTMF(code);
    QCOMPARE(CallInstance::dtmfEvent(code), event);
    if (event < 0) {
        QCOMPARE(fake::countCalls("SendDTMF"), 0);
    } else {
        QCOMPARE(fake::countCalls("SendDTMF"), 1);
        QVERIFY(fake::hasCall("SendDTMF " + std::to_string(event)));
    }
}

void TstCallInstance::defaultsMuteAndMonitorEvery1500ms()
{
    Call *wrapper = CallInstance::wrap(call.get());
    wrapper->setMuted();
    wrapper->setMuted(false);
    wrapper->startConnectionMonitor();
    QCOMPARE(fake::calls(), std::vector<std::string>({ "Mute 1", "Mute 0", "StartConnectionMonitor 1500" }));
}

void TstCallInstance::failedAcceptEmitsNothing()
{
    call->acceptResult = false;
    Call *wrapper = CallInstance::wrap(call.get());
    QSignalSpy accepted(wrapper, &Call::incomingCallAccepted);
    QVERIFY(!wrapper->accept());
    QVERIFY(fake::hasCall("Accept video=0"));
    QVERIFY(accepted.isEmpty());
}

void TstCallInstance::acceptEmitsIncomingCallAccepted()
{
    Call *wrapper = CallInstance::wrap(call.get());
    QSignalSpy accepted(wrapper, &Call::incomingCallAccepted);
    QVERIFY(wrapper->accept(true));
    QVERIFY(fake::hasCall("Accept video=1"));
    QCOMPARE(accepted.size(), 1);
    QCOMPARE(accepted.at(0).at(0).value<const Call *>(), wrapper);
}

void TstCallInstance::rejectDeclines()
{
    Call *wrapper = CallInstance::wrap(call.get());
    QVERIFY(wrapper->reject());
    QVERIFY(fake::hasCall("Reject 0"));
    call->rejectResult = false;
    QVERIFY(!wrapper->reject());
    wrapper->hangup();
    QVERIFY(fake::hasCall("Hangup 7"));
}

void TstCallInstance::engineSignalsRelayed()
{
    Call *wrapper = CallInstance::wrap(call.get());
    QSignalSpy initiated(wrapper, &Call::sessionInitiated);
    QSignalSpy accepted(wrapper, &Call::accepted);
    QSignalSpy rejected(wrapper, &Call::rejected);
    QSignalSpy progress(wrapper, &Call::progressStarted);
    QSignalSpy hungup(wrapper, &Call::hungup);
    call->SignalSessionInitiated(call.get());
    call->SignalReceivedAccept(call.get());
    call->SignalReceivedReject(call.get());
    call->SignalInProgress(call.get());
    call->SignalHangup(call.get(), vesk::HANGUP_BUSY);
    QCOMPARE(initiated.size(), 1);
    QCOMPARE(initiated.at(0).at(0).value<const Call *>(), wrapper);
    QCOMPARE(accepted.size(), 1);
    QCOMPARE(rejected.size(), 1);
    QCOMPARE(progress.size(), 1);
    QCOMPARE(hungup.size(), 1);
    QCOMPARE(hungup.at(0).at(1).value<vesk::HANGUP_REASON>(), vesk::HANGUP_BUSY);
}

void TstCallInstance::connectionMonitorConvertsEveryEntry()
{
    Call *wrapper = CallInstance::wrap(call.get());
    QSignalSpy monitor(wrapper, &Call::connectionMonitor);
    fake::ConnectionInfo a;
    a.sent = 50;
    a.rtt = 12;
    fake::ConnectionInfo b;
    b.codec = "pcmu";
    fake::List list;
    list.items = { static_cast<vesk::IConnectionInfo *>(&a), static_cast<vesk::IConnectionInfo *>(&b) };
    call->SignalConnectionMonitor(call.get(), &list);
    QCOMPARE(monitor.size(), 1);
    const auto infos = monitor.at(0).at(0).value<QList<talk::ConnectionInfo>>();
    QCOMPARE(infos.size(), 2);
    QCOMPARE(infos.at(0).packetsSent, 50);
    QCOMPARE(infos.at(0).roundTripTimeMs, 12);
    QCOMPARE(infos.at(1).codec, QStringLiteral("pcmu"));
    QCOMPARE(monitor.at(0).at(1).value<const Call *>(), wrapper);
}

void TstCallInstance::logOnlyHandlersEmitNothing()
{
    Call *wrapper = CallInstance::wrap(call.get());
    QSignalSpy initiated(wrapper, &Call::sessionInitiated);
    QSignalSpy hungup(wrapper, &Call::hungup);
    call->SignalRingingStart(call.get());
    call->SignalHoldStatusChanged(call.get(), true);
    QVERIFY(initiated.isEmpty());
    QVERIFY(hungup.isEmpty());
}

void TstCallInstance::queriesPassThrough()
{
    call->state = vesk::ICallInstance::STATE_ACTIVE;
    Call *wrapper = CallInstance::wrap(call.get());
    QCOMPARE(wrapper->id(), 7u);
    QCOMPARE(wrapper->state(), Call::Active);
    QVERIFY(!wrapper->isIncoming());
    QCOMPARE(wrapper->remoteJid().user(), QStringLiteral("+15550100"));
    QCOMPARE(wrapper->remoteJid().domain(), QStringLiteral("localhost"));
    QCOMPARE(wrapper->remoteJid().resource(), QStringLiteral("gw"));
    QCOMPARE(wrapper->connectionInfos().size(), 1);
    QVERIFY(wrapper->startRecordingPlayout(QStringLiteral("/tmp/out.wav")));
    QVERIFY(fake::hasCall("StartRecordingPlayout /tmp/out.wav"));
    QVERIFY(wrapper->stopRecordingPlayout());
}

void TstCallInstance::releasedWrapperIsCutOffAndDeleted()
{
    Call *wrapper = CallInstance::wrap(call.get());
    QPointer<Call> guard(wrapper);
    QSignalSpy hungup(wrapper, &Call::hungup);
    CallInstance::release(call.get());
    QVERIFY(!CallInstance::find(call.get()));
    // Until the event loop deletes it, the wrapper is inert.
    QVERIFY(guard);
    call->SignalHangup(call.get(), vesk::HANGUP_SUCCESS);
    QVERIFY(hungup.isEmpty());
    fake::clearCalls();
    wrapper->sendDTMF('1');
    QVERIFY(!wrapper->accept());
    wrapper->hangup();
    QVERIFY(fake::calls().empty());
    QCOMPARE(wrapper->state(), Call::Ended);
    QTRY_VERIFY(guard.isNull());
    // A new wrap of the same engine call gets a fresh wrapper.
    QVERIFY(CallInstance::wrap(call.get()));
}

QTEST_GUILESS_MAIN(TstCallInstance)
#include "tst_callinstance.moc"
