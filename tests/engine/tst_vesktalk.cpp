#include <QtTest>

#include <QLibrary>
#include <QTcpServer>
#include <QTemporaryDir>

#include "vesk/interfaces.h"
#include "voiceservice.h"

// The library as the program sees it: loaded by name, driven through the vesk interfaces,
// against a real Prosody.
namespace {

class Listener : public sigslot::has_slots<>
{
public:
    int completed = 0;
    QList<int> failures;
    QList<int> losses;
    int rosters = 0;
    void onCompleted() { ++completed; }
    void onFailed(vesk::VESK_TALK_ERROR_CODE code) { failures.append(code); }
    void onLost(vesk::VESK_DISCONNECT_REASON reason) { losses.append(reason); }
    void onRoster(vesk::IRoster *) { ++rosters; }
    void attach(vesk::IVeskTalk *s)
    {
        s->SignalLoginCompleted.connect(this, &Listener::onCompleted);
        s->SignalLoginFailed.connect(this, &Listener::onFailed);
        s->SignalConnectionLost.connect(this, &Listener::onLost);
        s->SignalRosterReceived.connect(this, &Listener::onRoster);
    }
};

class CallEnd : public sigslot::has_slots<>
{
public:
    int reason = -1;
    void onCreated(vesk::ICallInstance *call) { call->SignalHangup.connect(this, &CallEnd::onHangup); }
    void onHangup(vesk::ICallInstance *, vesk::HANGUP_REASON r) { reason = r; }
};

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

class tst_VeskTalk : public QObject
{
    Q_OBJECT
private:
    QLibrary m_library;
    CreateVeskTalkFunction m_create = nullptr;
    VoiceService *m_service = nullptr;
    static constexpr int waitMs = 60000;

    vesk::IVeskTalk *create()
    {
        vesk::IVeskTalk *s = nullptr;
        if (!m_create(&s))
            return nullptr;
        s->SetServer("127.0.0.1", m_service->port());
        return s;
    }

private slots:
    void initTestCase()
    {
        // No sound card here.
        qputenv("VESKTALK_AUDIO_SOURCE", "audiotestsrc is-live=true wave=silence");
        qputenv("VESKTALK_AUDIO_SINK", "fakesink sync=true");
        m_library.setFileName(qEnvironmentVariable("TALKVANE_BINARY_DIR") + "/lib/libvesktalk.so");
        QVERIFY2(m_library.load(), qPrintable(m_library.errorString()));
        m_create = reinterpret_cast<CreateVeskTalkFunction>(m_library.resolve("CreateVeskTalk"));
        auto alloc
            = reinterpret_cast<VeskTalkAllocatorFunction>(m_library.resolve("VeskTalk_EASTLAllocator"));
        auto release = reinterpret_cast<VeskTalkDeleterFunction>(m_library.resolve("VeskTalk_EASTLDeleter"));
        QVERIFY(m_create && alloc && release);
        sigslot::set_allocator(alloc, release);
        m_service = new VoiceService({ "--user", "carol:carol-secret-pw" });
        QVERIFY2(m_service->isRunning(), qPrintable(m_service->error()));
    }

    void cleanupTestCase()
    {
        delete m_service;
        sigslot::set_allocator(nullptr, nullptr);
    }

    void createNeedsAnOutPointer() { QVERIFY(!m_create(nullptr)); }

    void loginWritesBothLogsWithoutThePassword()
    {
        QTemporaryDir dir;
        vesk::IVeskTalk *s = create();
        QVERIFY(s);
        const QString dump = dir.filePath("veskxmpp.log");
        const QString log = dir.filePath("vesktalk.log");
        QVERIFY(s->SetXMPPDumpFile(dump.toUtf8().constData()));
        QVERIFY(s->SetLogFile(log.toUtf8().constData()));
        Listener l;
        l.attach(s);
        QVERIFY(s->Login("carol@localhost", "carol-secret-pw", true));
        QTRY_VERIFY_WITH_TIMEOUT(l.completed == 1 || !l.failures.isEmpty(), waitMs);
        QCOMPARE(l.failures, QList<int>());
        QVERIFY(s->IsLoggedIn());
        QTRY_VERIFY_WITH_TIMEOUT(l.rosters > 0, waitMs);
        vesk::IPresence *p = s->GetFactory()->CreatePresence();
        p->SetAvailable(true);
        p->SetPriority(5);
        p->SetShow(0);
        QVERIFY(s->SendPresence(p));
        p->Release();
        QVERIFY(s->GetMediaEngine(0));
        s->Logout();
        QVERIFY(s->SetXMPPDumpFile(nullptr));
        QVERIFY(s->SetLogFile(nullptr));
        s->Release();

        const QByteArray dumped = readAll(dump);
        const QByteArray logged = readAll(log);
        QVERIFY(dumped.contains("<auth"));
        QVERIFY(dumped.contains("********"));
        QVERIFY(logged.contains("password=********"));
        // Neither the password nor any SASL payload carrying it.
        const QByteArray plain = QByteArray("\0carol\0carol-secret-pw", 22).toBase64();
        for (const QByteArray &text : { dumped, logged }) {
            QVERIFY(!text.contains("carol-secret-pw"));
            QVERIFY(!text.contains(plain));
        }
    }

    void wrongPasswordIsCode6()
    {
        vesk::IVeskTalk *s = create();
        Listener l;
        l.attach(s);
        QVERIFY(s->Login("carol@localhost", "wrong", true));
        QTRY_VERIFY_WITH_TIMEOUT(!l.failures.isEmpty(), waitMs);
        QCOMPARE(l.failures, QList<int> { vesk::VESK_TALK_ERROR_CREDENTIALS });
        QCOMPARE(l.completed, 0);
        s->Release();
    }

    void proxyIsApplied_data()
    {
        QTest::addColumn<int>("type");
        QTest::newRow("http connect") << 1;
        QTest::newRow("socks 5") << 2;
    }

    // A proxy that is not there makes the login fail with a connection failure.
    void proxyIsApplied()
    {
        QFETCH(int, type);
        QTcpServer probe;
        QVERIFY(probe.listen(QHostAddress::LocalHost, 0));
        const int port = probe.serverPort();
        probe.close();
        vesk::IVeskTalk *s = create();
        vesk::IProxySettings *proxy = s->GetFactory()->CreateProxySettings();
        proxy->SetType(type);
        proxy->SetHost("127.0.0.1");
        proxy->SetPort(port);
        proxy->SetUserName("u");
        proxy->SetPassword("proxy-pw");
        QVERIFY(s->SetProxy(proxy));
        proxy->Release();
        vesk::IProxySettings *back = s->GetProxy();
        QCOMPARE(back->GetType(), type);
        QCOMPARE(back->GetPort(), port);
        back->Release();
        Listener l;
        l.attach(s);
        QVERIFY(s->Login("carol@localhost", "carol-secret-pw", true));
        QTRY_VERIFY_WITH_TIMEOUT(!l.failures.isEmpty() || l.completed, waitMs);
        QCOMPARE(l.completed, 0);
        QCOMPARE(l.failures, QList<int> { vesk::VESK_TALK_ERROR_CONNECTION });
        s->Release();
    }

    void anotherLoginReplacesTheSession()
    {
        vesk::IVeskTalk *first = create();
        vesk::IVeskTalk *second = create();
        Listener a, b;
        a.attach(first);
        b.attach(second);
        first->Login("carol@localhost", "carol-secret-pw", true);
        QTRY_VERIFY_WITH_TIMEOUT(a.completed == 1, waitMs);
        second->Login("carol@localhost", "carol-secret-pw", true);
        QTRY_VERIFY_WITH_TIMEOUT(b.completed == 1 && !a.losses.isEmpty(), waitMs);
        QCOMPARE(a.losses, QList<int> { vesk::VESK_DISCONNECT_REPLACED });
        QVERIFY(!first->IsLoggedIn());
        first->Release();
        second->Release();
    }

    // Reconnects sign in again on the same session; calls then go over the new connection.
    void signInAgainAndCall()
    {
        vesk::IVeskTalk *s = create();
        Listener l;
        l.attach(s);
        CallEnd end;
        s->GetMediaEngine(0)->SignalCallCreated.connect(&end, &CallEnd::onCreated);
        QVERIFY(s->Login("carol@localhost", "carol-secret-pw", true));
        QTRY_VERIFY_WITH_TIMEOUT(l.completed == 1, waitMs);
        s->Logout();
        QVERIFY(!s->IsLoggedIn());
        QVERIFY(s->Login("carol@localhost", "carol-secret-pw", true));
        QTRY_VERIFY_WITH_TIMEOUT(l.completed == 2, waitMs);
        QCOMPARE(l.failures, QList<int>());
        // Nobody is signed in as this user: the server refuses the call at once.
        QVERIFY(s->GetMediaEngine(0)->PlaceCall("nobody@localhost", false));
        QTRY_VERIFY_WITH_TIMEOUT(end.reason >= 0, waitMs);
        QCOMPARE(end.reason, int(vesk::HANGUP_NOT_FOUND));
        s->Release();
    }

    void listenerMayGoFirst()
    {
        vesk::IVeskTalk *s = create();
        {
            Listener l;
            l.attach(s);
        }
        QVERIFY(s->Login("carol@localhost", "wrong", true));
        QTest::qWait(500); // a failure raised now must not reach the dead listener
        QVERIFY(!s->IsLoggedIn());
        s->Release();
    }
};

QTEST_GUILESS_MAIN(tst_VeskTalk)
#include "tst_vesktalk.moc"
