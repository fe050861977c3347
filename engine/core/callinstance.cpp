#include "callinstance.h"

#include <QDateTime>

#include "connectioninfo.h"
#include "enginelog.h"
#include "jingle/jinglesession.h"
#include "media/callmedia.h"
#if VESK_HAVE_MEDIA
#include "media/webrtccallmedia.h"
#endif

namespace engine {

CallInstance::CallInstance(JingleSession *session, unsigned int id, QObject *parent)
    : QObject(parent)
    , m_session(session)
    , m_id(id)
    , m_incoming(session->isIncoming())
    , m_remoteJid(session->peerJid().toUtf8())
{
    connect(session, &JingleSession::initiated, this, [this] { SignalSessionInitiated(this); });
    connect(session, &JingleSession::ringing, this, [this] {
        SignalRingingStart(this);
        SignalInProgress(this);
    });
    connect(session, &JingleSession::accepted, this, [this] {
        m_acceptedAt = QDateTime::currentMSecsSinceEpoch();
        if (!m_incoming)
            SignalReceivedAccept(this);
    });
    connect(
        session, &JingleSession::holdChanged, this, [this](bool on) { SignalHoldStatusChanged(this, on); });
    connect(
        session, &JingleSession::dtmfReceived, this, [this](int event) { SignalDtmfReceived(this, event); });
    connect(session, &JingleSession::ended, this, &CallInstance::onEnded);
    connect(&m_monitor, &QTimer::timeout, this, &CallInstance::onMonitorTick);
}

CallInstance::~CallInstance() = default;

vesk::ICallInstance::State CallInstance::GetState() const
{
    if (m_ended || !m_session)
        return STATE_ENDED;
    switch (m_session->state()) {
    case JingleSession::State::New:
        return STATE_NEW;
    case JingleSession::State::Initiating:
        return STATE_INITIATING;
    case JingleSession::State::Pending:
        return STATE_RINGING;
    case JingleSession::State::Accepting:
    case JingleSession::State::Active:
        return STATE_ACTIVE;
    case JingleSession::State::Ended:
        break;
    }
    return STATE_ENDED;
}

bool CallInstance::IsOnHold() const
{
    return m_session && m_session->isOnHold();
}

int CallInstance::GetDurationSeconds() const
{
    if (!m_acceptedAt)
        return 0;
    const qint64 end = m_endedAt ? m_endedAt : QDateTime::currentMSecsSinceEpoch();
    return int((end - m_acceptedAt) / 1000);
}

vesk::IList *CallInstance::GetConnectionInfos()
{
    auto *list = new ObjectList<ConnectionInfo, vesk::IConnectionInfo>(true);
    if (m_session && m_session->media())
        list->append(new ConnectionInfo(m_session->media()->stats()));
    return list;
}

bool CallInstance::Accept(bool withVideo)
{
    VLOG_TRACE(QStringLiteral("Accept call %1 from %2 (video %3)")
                   .arg(m_id)
                   .arg(QString::fromUtf8(m_remoteJid))
                   .arg(withVideo));
    return m_session && m_session->accept();
}

bool CallInstance::Reject(int reason)
{
    VLOG_TRACE(QStringLiteral("Reject call %1 (%2)").arg(m_id).arg(reason));
    return m_session && m_session->reject(reason == 1 ? vesk::HANGUP_BUSY : vesk::HANGUP_DECLINE);
}

void CallInstance::Hangup()
{
    VLOG_TRACE(QStringLiteral("Hang up call %1").arg(m_id));
    if (m_session)
        m_session->hangup();
}

void CallInstance::Mute(bool on)
{
    m_muted = on;
    if (m_session)
        m_session->setMuted(on);
}

bool CallInstance::SetHold(bool on)
{
    return m_session && m_session->setHold(on);
}

void CallInstance::StartConnectionMonitor(int refreshMs)
{
    m_monitor.start(qMax(100, refreshMs));
}

void CallInstance::StopConnectionMonitor()
{
    m_monitor.stop();
}

void CallInstance::onMonitorTick()
{
    vesk::IList *list = GetConnectionInfos();
    SignalConnectionMonitor(this, list);
    list->Release();
}

bool CallInstance::StartRecordingPlayout(const char *path)
{
#if VESK_HAVE_MEDIA
    if (m_session) {
        if (auto *media = qobject_cast<WebRtcCallMedia *>(m_session->media()))
            return media->startRecordingPlayout(QString::fromUtf8(path));
    }
#else
    Q_UNUSED(path)
#endif
    return false;
}

bool CallInstance::StopRecordingPlayout()
{
#if VESK_HAVE_MEDIA
    if (m_session) {
        if (auto *media = qobject_cast<WebRtcCallMedia *>(m_session->media()))
            return media->stopRecordingPlayout();
    }
#endif
    return false;
}

bool CallInstance::SendDTMF(int event)
{
    return m_session && m_session->sendDtmf(event);
}

void CallInstance::onEnded(vesk::HANGUP_REASON reason)
{
    if (m_ended)
        return;
    m_ended = true;
    m_endedAt = QDateTime::currentMSecsSinceEpoch();
    m_monitor.stop();
    VLOG_TRACE(QStringLiteral("Call %1 with %2 ended, reason %3")
                   .arg(m_id)
                   .arg(QString::fromUtf8(m_remoteJid))
                   .arg(int(reason)));
    // An outgoing call the peer refused before answering.
    if (!m_incoming && !m_acceptedAt && (reason == vesk::HANGUP_DECLINE || reason == vesk::HANGUP_BUSY))
        SignalReceivedReject(this);
    SignalHangup(this, reason);
    emit finished(this, reason);
}

} // namespace engine
