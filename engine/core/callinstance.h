#pragma once

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QTimer>

#include "vesk/interfaces.h"

namespace engine {

class JingleSession;

// The interface's view of one call: forwards the session's Qt signals as engine signals and the
// program's requests to the session. It outlives its session (which deletes itself once ended)
// until the media engine destroys it after SignalCallDestroyed.
class CallInstance : public QObject, public vesk::ICallInstance
{
    Q_OBJECT
public:
    CallInstance(JingleSession *session, unsigned int id, QObject *parent = nullptr);
    ~CallInstance() override;

    JingleSession *session() const { return m_session; }

    State GetState() const override;
    bool IsOnHold() const override;
    bool IsIncoming() const override { return m_incoming; }
    const char *GetRemoteJid() const override { return m_remoteJid.constData(); }
    unsigned int GetId() const override { return m_id; }
    int GetDurationSeconds() const override;
    vesk::IList *GetConnectionInfos() override;

    bool Accept(bool withVideo) override;
    bool Reject(int reason) override;
    void Hangup() override;
    void Mute(bool on) override;
    bool SetHold(bool on) override;
    void StartConnectionMonitor(int refreshMs) override;
    void StopConnectionMonitor() override;
    bool StartRecordingPlayout(const char *path) override;
    bool StopRecordingPlayout() override;
    bool SendDTMF(int event) override;

signals:
    void finished(engine::CallInstance *call, vesk::HANGUP_REASON reason);

private:
    void onEnded(vesk::HANGUP_REASON reason);
    void onMonitorTick();

    QPointer<JingleSession> m_session;
    unsigned int m_id;
    bool m_incoming;
    QByteArray m_remoteJid;
    bool m_ended = false;
    bool m_muted = false;
    qint64 m_acceptedAt = 0;
    qint64 m_endedAt = 0;
    QTimer m_monitor;
};

} // namespace engine
