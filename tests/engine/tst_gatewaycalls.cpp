#include <QtTest>

#include <QLibrary>
#include <QProcess>
#include <QTemporaryDir>

#include <cmath>

#include "tonecheck.h"
#include "vesk/interfaces.h"
#include "voiceservice.h"

// Calls through libvesktalk, as the program places them, to the gateway's test numbers: real
// Prosody, real ICE/DTLS-SRTP media on loopback, the microphone replaced by a 440 Hz tone.
namespace {

constexpr int waitMs = 60000;
constexpr double micHz = 440.0;

struct CallRecord
{
    vesk::ICallInstance *call = nullptr;
    bool incoming = false;
    QString remote;
    bool accepted = false;
    bool rejected = false;
    bool ringing = false;
    int hangup = -1;
    bool destroyed = false;
};

class CallWatcher : public sigslot::has_slots<>
{
public:
    QList<CallRecord> calls;

    void attach(vesk::IMediaEngine *media)
    {
        media->SignalCallCreated.connect(this, &CallWatcher::onCreated);
        media->SignalCallDestroyed.connect(this, &CallWatcher::onDestroyed);
    }
    CallRecord *find(vesk::ICallInstance *c)
    {
        for (CallRecord &r : calls) {
            if (r.call == c && !r.destroyed)
                return &r;
        }
        return nullptr;
    }
    void onCreated(vesk::ICallInstance *c)
    {
        CallRecord r;
        r.call = c;
        r.incoming = c->IsIncoming();
        r.remote = QString::fromUtf8(c->GetRemoteJid());
        calls.append(r);
        c->SignalReceivedAccept.connect(this, &CallWatcher::onAccept);
        c->SignalReceivedReject.connect(this, &CallWatcher::onReject);
        c->SignalRingingStart.connect(this, &CallWatcher::onRinging);
        c->SignalHangup.connect(this, &CallWatcher::onHangup);
    }
    void onDestroyed(vesk::ICallInstance *c)
    {
        if (CallRecord *r = find(c)) {
            r->destroyed = true;
            r->call = nullptr;
        }
    }
    void onAccept(vesk::ICallInstance *c) { find(c)->accepted = true; }
    void onReject(vesk::ICallInstance *c) { find(c)->rejected = true; }
    void onRinging(vesk::ICallInstance *c) { find(c)->ringing = true; }
    void onHangup(vesk::ICallInstance *c, vesk::HANGUP_REASON reason) { find(c)->hangup = reason; }
};

} // namespace

class tst_GatewayCalls : public QObject
{
    Q_OBJECT
private:
    QLibrary m_library;
    VoiceService *m_service = nullptr;
    QProcess m_gateway;
    QByteArray m_gatewayOut;
    vesk::IVeskTalk *m_session = nullptr;
    vesk::IMediaEngine *m_media = nullptr;
    CallWatcher *m_watcher = nullptr;
    QTemporaryDir m_dir { QDir::tempPath() + "/gwcalls-XXXXXX" };

    CallRecord *placeCall(const QString &number)
    {
        const int before = m_watcher->calls.size();
        if (!m_media->PlaceCall((number + "@localhost").toUtf8().constData(), false))
            return nullptr;
        return m_watcher->calls.size() > before ? &m_watcher->calls[before] : nullptr;
    }

    void pumpGateway() { m_gatewayOut += m_gateway.readAllStandardOutput(); }

    bool gatewaySaid(const QByteArray &line)
    {
        pumpGateway();
        return m_gatewayOut.contains(line);
    }

    void recordTone(CallRecord *r, const QString &file, double expectedHz)
    {
        QVERIFY(r->call->StartRecordingPlayout(file.toUtf8().constData()));
        // Let a few seconds of audio through; the assertion is on content, not on time.
        QTest::qWait(4000);
        QVERIFY(r->call);
        QVERIFY(r->call->StopRecordingPlayout());
        int rate = 0;
        const QVector<double> samples = tonecheck::readWav(file, &rate);
        QVERIFY2(rate > 0 && samples.size() > rate, "no recorded playout");
        const double hz = tonecheck::dominantHz(samples, rate, expectedHz * 0.5, expectedHz * 1.5);
        QVERIFY2(std::fabs(hz - expectedHz) <= expectedHz * 0.02,
            qPrintable(QString("dominant %1 Hz, expected %2 Hz").arg(hz).arg(expectedHz)));
    }

    void waitEnded(CallRecord *r) { QTRY_VERIFY_WITH_TIMEOUT(r->hangup >= 0, waitMs); }

private slots:
    void initTestCase()
    {
        qputenv("VESKTALK_AUDIO_SOURCE", "audiotestsrc is-live=true wave=sine freq=440 volume=0.5");
        qputenv("VESKTALK_AUDIO_SINK", "fakesink sync=true");
        qputenv("VESKTALK_RING_TIMEOUT_MS", "5000");
        m_library.setFileName(qEnvironmentVariable("TALKVANE_BINARY_DIR") + "/lib/libvesktalk.so");
        QVERIFY2(m_library.load(), qPrintable(m_library.errorString()));
        auto create = reinterpret_cast<CreateVeskTalkFunction>(m_library.resolve("CreateVeskTalk"));
        sigslot::set_allocator(
            reinterpret_cast<VeskTalkAllocatorFunction>(m_library.resolve("VeskTalk_EASTLAllocator")),
            reinterpret_cast<VeskTalkDeleterFunction>(m_library.resolve("VeskTalk_EASTLDeleter")));
        QVERIFY(create);

        m_service = new VoiceService({ "--user", "dave:dave-pw" });
        QVERIFY2(m_service->isRunning(), qPrintable(m_service->error()));
        m_gateway.start(qEnvironmentVariable("TALKVANE_BINARY_DIR") + "/bin/gateway",
            { m_service->dir() + "/voiceservice.env" });
        QVERIFY(m_gateway.waitForStarted(waitMs));
        QTRY_VERIFY_WITH_TIMEOUT(gatewaySaid("READY all"), waitMs);

        QVERIFY(create(&m_session));
        m_session->SetServer("127.0.0.1", m_service->port());
        m_session->SetLogFile(m_dir.filePath("vesktalk.log").toUtf8().constData());
        m_session->SetXMPPDumpFile(m_dir.filePath("veskxmpp.log").toUtf8().constData());
        int completed = 0;
        struct Done : sigslot::has_slots<>
        {
            int *n;
            void on() { ++*n; }
        } done;
        done.n = &completed;
        m_session->SignalLoginCompleted.connect(&done, &Done::on);
        QVERIFY(m_session->Login("dave@localhost", "dave-pw", true));
        QTRY_VERIFY_WITH_TIMEOUT(completed == 1, waitMs);
        m_media = m_session->GetMediaEngine(0);
        QVERIFY(m_media);
        m_watcher = new CallWatcher;
        m_watcher->attach(m_media);
    }

    void cleanupTestCase()
    {
        if (m_session)
            m_session->Release();
        delete m_watcher;
        if (m_gateway.state() != QProcess::NotRunning) {
            m_gateway.terminate();
            if (!m_gateway.waitForFinished(10000))
                m_gateway.kill();
            m_gateway.waitForFinished(10000);
        }
        delete m_service;
        sigslot::set_allocator(nullptr, nullptr);
    }

    void cleanup()
    {
        // Every test leaves no call behind.
        for (CallRecord &r : m_watcher->calls) {
            if (r.call && r.hangup < 0)
                r.call->Hangup();
        }
        QTRY_VERIFY_WITH_TIMEOUT(m_media->GetCallCount() == 0, waitMs);
    }

    void echoReturnsWhatWeSayAndDigitsArriveInOrder()
    {
        CallRecord *r = placeCall("+15550100");
        QVERIFY(r);
        QTRY_VERIFY_WITH_TIMEOUT(r->accepted || r->hangup >= 0, waitMs);
        QVERIFY(r->accepted);
        recordTone(r, m_dir.filePath("echo.wav"), micHz);
        for (int event : { 1, 5, 11, 0 }) {
            QVERIFY(r->call->SendDTMF(event));
            QTest::qWait(600); // digits closer together run into each other
        }
        QTRY_VERIFY2_WITH_TIMEOUT(gatewaySaid("DTMF +15550100 0"), m_gatewayOut.constData(), waitMs);
        const QList<QByteArray> lines = m_gatewayOut.split('\n');
        QList<QByteArray> digits;
        for (const QByteArray &l : lines) {
            if (l.startsWith("DTMF +15550100 "))
                digits.append(l.mid(15));
        }
        QCOMPARE(digits, (QList<QByteArray> { "1", "5", "#", "0" }));
        r->call->Hangup();
        waitEnded(r);
        QCOMPARE(r->hangup, int(vesk::HANGUP_SUCCESS));
    }

    void toneNumberPlays1kHz()
    {
        CallRecord *r = placeCall("+15550101");
        QVERIFY(r);
        QTRY_VERIFY_WITH_TIMEOUT(r->accepted || r->hangup >= 0, waitMs);
        QVERIFY(r->accepted);
        recordTone(r, m_dir.filePath("tone.wav"), 1000.0);
        r->call->Hangup();
        waitEnded(r);
    }

    void refusals_data()
    {
        QTest::addColumn<QString>("number");
        QTest::addColumn<int>("reason");
        QTest::addColumn<bool>("rejected");
        QTest::newRow("busy") << "+15550102" << int(vesk::HANGUP_BUSY) << true;
        QTest::newRow("never answers") << "+15550103" << int(vesk::HANGUP_TIMEOUT) << false;
        QTest::newRow("answers, then hangs up") << "+15550104" << int(vesk::HANGUP_SUCCESS) << false;
        QTest::newRow("unknown number") << "+15550199" << int(vesk::HANGUP_NOT_FOUND) << false;
    }

    void refusals()
    {
        QFETCH(QString, number);
        QFETCH(int, reason);
        QFETCH(bool, rejected);
        CallRecord *r = placeCall(number);
        QVERIFY(r);
        waitEnded(r);
        QCOMPARE(r->hangup, reason);
        QCOMPARE(r->rejected, rejected);
        if (number == "+15550104")
            QVERIFY(r->accepted);
        if (number == "+15550103")
            QVERIFY(r->ringing);
    }

    void declinesThenCallsBack()
    {
        const int before = m_watcher->calls.size();
        CallRecord *r = placeCall("+15550105");
        QVERIFY(r);
        waitEnded(r);
        QCOMPARE(r->hangup, int(vesk::HANGUP_DECLINE));
        QTRY_VERIFY_WITH_TIMEOUT(m_watcher->calls.size() > before + 1, waitMs);
        CallRecord &back = m_watcher->calls[before + 1];
        QVERIFY(back.incoming);
        QVERIFY(back.remote.startsWith("+15550105@localhost"));
        QVERIFY(back.call->Accept(false));
        QTRY_VERIFY_WITH_TIMEOUT(m_gatewayOut.contains("CALLBACK") || gatewaySaid("CALLBACK"), waitMs);
        back.call->Hangup();
        QTRY_VERIFY_WITH_TIMEOUT(back.hangup >= 0, waitMs);
        QCOMPARE(back.hangup, int(vesk::HANGUP_SUCCESS));
    }
};

QTEST_GUILESS_MAIN(tst_GatewayCalls)
#include "tst_gatewaycalls.moc"
