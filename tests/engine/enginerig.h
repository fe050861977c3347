#pragma once

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QLibrary>
#include <QProcess>
#include <QTimer>

#include <algorithm>
#include <functional>
#include <memory>
#include <vector>

#include "vesk/interfaces.h"
#include "voiceservice.h"

// libvesktalk loaded by name as the program loads it, signed in to a private voice service
// with the telephone gateway peer answering the test numbers. Shared by the end-to-end tests,
// the engine benchmark and the soak run. Every moment is stamped inside the engine's own
// signal, so figures do not depend on how often anyone polls.
namespace enginerig {

struct CallRecord
{
    vesk::ICallInstance *call = nullptr;
    QString remote;
    bool incoming = false;
    qint64 createdNs = -1;
    qint64 acceptedNs = -1;
    int hangup = -1;
    bool destroyed = false;
};

class Watcher : public sigslot::has_slots<>
{
public:
    QElapsedTimer clock;
    std::vector<std::unique_ptr<CallRecord>> calls;
    int loginsCompleted = 0;
    int loginsFailed = 0;
    qint64 loginCompletedNs = -1;

    Watcher() { clock.start(); }
    qint64 now() const { return clock.nsecsElapsed(); }

    CallRecord *find(vesk::ICallInstance *c)
    {
        for (auto &r : calls) {
            if (r->call == c && !r->destroyed)
                return r.get();
        }
        return nullptr;
    }
    void onLoginCompleted()
    {
        ++loginsCompleted;
        loginCompletedNs = now();
    }
    void onLoginFailed(vesk::VESK_TALK_ERROR_CODE) { ++loginsFailed; }
    void onCreated(vesk::ICallInstance *c)
    {
        auto r = std::make_unique<CallRecord>();
        r->call = c;
        r->remote = QString::fromUtf8(c->GetRemoteJid());
        r->incoming = c->IsIncoming();
        r->createdNs = now();
        calls.push_back(std::move(r));
        c->SignalReceivedAccept.connect(this, &Watcher::onAccept);
        c->SignalHangup.connect(this, &Watcher::onHangup);
    }
    void onDestroyed(vesk::ICallInstance *c)
    {
        if (CallRecord *r = find(c)) {
            r->destroyed = true;
            r->call = nullptr;
        }
    }
    void onAccept(vesk::ICallInstance *c)
    {
        if (CallRecord *r = find(c))
            r->acceptedNs = now();
    }
    void onHangup(vesk::ICallInstance *c, vesk::HANGUP_REASON reason)
    {
        if (CallRecord *r = find(c))
            r->hangup = reason;
    }
    // Records of calls that are gone are of no further use (the soak run makes hundreds).
    void forgetEnded()
    {
        calls.erase(std::remove_if(calls.begin(), calls.end(), [](const auto &r) { return r->destroyed; }),
            calls.end());
    }
};

// Runs the event loop until done() holds or timeoutMs pass. pollMs only bounds how late the
// loop notices; it adds no busy waiting.
inline bool waitFor(const std::function<bool()> &done, int timeoutMs, int pollMs = 5)
{
    if (done())
        return true;
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (done())
            loop.quit();
    });
    QTimer timeout;
    timeout.setSingleShot(true);
    QObject::connect(&timeout, &QTimer::timeout, &loop, &QEventLoop::quit);
    poll.start(pollMs);
    timeout.start(timeoutMs);
    loop.exec();
    return done();
}

// Lets the event loop run for ms without polling anything.
inline void idle(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

class Rig
{
public:
    static constexpr const char *user = "dave";
    static constexpr const char *password = "dave-pw";
    static constexpr int waitMs = 60000;

    ~Rig() { stop(); }

    QString error() const { return m_error; }
    vesk::IVeskTalk *session() const { return m_session; }
    vesk::IMediaEngine *media() const { return m_media; }
    Watcher &watcher() { return m_watcher; }
    VoiceService *service() const { return m_service.get(); }
    qint64 gatewayPid() const { return m_gateway.processId(); }
    QString gatewayOutput()
    {
        m_gatewayOut += m_gateway.readAllStandardOutput();
        return QString::fromUtf8(m_gatewayOut);
    }

    // The voice service, the gateway (all numbers signed in) and an engine session, not yet
    // signed in. The microphone and speaker come from VESKTALK_AUDIO_SOURCE/SINK if set.
    bool start()
    {
        m_library.setFileName(qEnvironmentVariable("TALKVANE_BINARY_DIR") + "/lib/libvesktalk.so");
        if (!m_library.load())
            return fail(m_library.errorString());
        auto create = reinterpret_cast<CreateVeskTalkFunction>(m_library.resolve("CreateVeskTalk"));
        sigslot::set_allocator(
            reinterpret_cast<VeskTalkAllocatorFunction>(m_library.resolve("VeskTalk_EASTLAllocator")),
            reinterpret_cast<VeskTalkDeleterFunction>(m_library.resolve("VeskTalk_EASTLDeleter")));
        if (!create)
            return fail("libvesktalk has no CreateVeskTalk");
        m_service = std::make_unique<VoiceService>(
            QStringList { "--user", QStringLiteral("%1:%2").arg(user, password) });
        if (!m_service->isRunning())
            return fail("voice service: " + m_service->error());
        m_gateway.start(qEnvironmentVariable("TALKVANE_BINARY_DIR") + "/bin/gateway",
            { m_service->dir() + "/voiceservice.env" });
        if (!m_gateway.waitForStarted(waitMs))
            return fail("the gateway does not start");
        if (!waitFor([this] { return gatewayOutput().contains("READY all"); }, waitMs, 20))
            return fail("the gateway did not sign in its numbers: " + gatewayOutput());
        if (!create(&m_session) || !m_session)
            return fail("CreateVeskTalk failed");
        m_session->SetServer("127.0.0.1", m_service->port());
        const QString logs = qEnvironmentVariable("ENGINERIG_LOG_DIR");
        if (!logs.isEmpty()) {
            m_session->SetLogFile(QDir(logs).filePath("vesktalk.log").toUtf8().constData());
            m_session->SetXMPPDumpFile(QDir(logs).filePath("veskxmpp.log").toUtf8().constData());
        }
        m_session->SignalLoginCompleted.connect(&m_watcher, &Watcher::onLoginCompleted);
        m_session->SignalLoginFailed.connect(&m_watcher, &Watcher::onLoginFailed);
        m_media = m_session->GetMediaEngine(0);
        if (!m_media)
            return fail("no media engine");
        m_media->SignalCallCreated.connect(&m_watcher, &Watcher::onCreated);
        m_media->SignalCallDestroyed.connect(&m_watcher, &Watcher::onDestroyed);
        return true;
    }

    // Signs in; the figure is from Login() to the engine's login-completed signal, in ms.
    double login()
    {
        const int before = m_watcher.loginsCompleted;
        const int failedBefore = m_watcher.loginsFailed;
        const qint64 t0 = m_watcher.now();
        const QByteArray jid = QByteArray(user) + "@localhost";
        if (!m_session->Login(jid.constData(), password, true))
            return -1;
        m_lastLoginCallMs = (m_watcher.now() - t0) / 1e6;
        if (!waitFor(
                [&] { return m_watcher.loginsCompleted > before || m_watcher.loginsFailed > failedBefore; },
                waitMs, 1)
            || m_watcher.loginsCompleted == before)
            return -1;
        return (m_watcher.loginCompletedNs - t0) / 1e6;
    }

    // How long the last Login() call itself held the caller's thread, in ms.
    double lastLoginCallMs() const { return m_lastLoginCallMs; }

    void logout()
    {
        m_session->Logout();
        waitFor([this] { return !m_session->IsLoggedIn(); }, waitMs);
    }

    // Dials number@localhost; the record is the engine's call, or null when it refused to dial.
    CallRecord *placeCall(const QString &number)
    {
        const size_t before = m_watcher.calls.size();
        if (!m_media->PlaceCall((number + "@localhost").toUtf8().constData(), false))
            return nullptr;
        return m_watcher.calls.size() > before ? m_watcher.calls[before].get() : nullptr;
    }

    bool waitAccepted(CallRecord *r)
    {
        return waitFor([r] { return r->acceptedNs >= 0 || r->hangup >= 0; }, waitMs, 1) && r->acceptedNs >= 0;
    }

    // Hangs up and waits until the engine has destroyed the call.
    bool hangupAndWait(CallRecord *r)
    {
        if (r->call && r->hangup < 0)
            r->call->Hangup();
        return waitFor([r] { return r->destroyed; }, waitMs) && m_media->GetCallCount() == 0;
    }

    void stop()
    {
        if (m_session) {
            m_session->Release();
            m_session = nullptr;
            m_media = nullptr;
        }
        if (m_gateway.state() != QProcess::NotRunning) {
            m_gateway.terminate();
            if (!m_gateway.waitForFinished(10000))
                m_gateway.kill();
            m_gateway.waitForFinished(10000);
        }
        m_service.reset();
        if (m_library.isLoaded())
            sigslot::set_allocator(nullptr, nullptr);
    }

private:
    bool fail(const QString &why)
    {
        m_error = why;
        return false;
    }

    QLibrary m_library;
    std::unique_ptr<VoiceService> m_service;
    QProcess m_gateway;
    QByteArray m_gatewayOut;
    vesk::IVeskTalk *m_session = nullptr;
    vesk::IMediaEngine *m_media = nullptr;
    Watcher m_watcher;
    QString m_error;
    double m_lastLoginCallMs = -1;
};

} // namespace enginerig
