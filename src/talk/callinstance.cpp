#include "callinstance.h"

#include <QHash>

#include "util/log.h"
#include "vesk/interfaces.h"

namespace talk {

namespace {
// Each engine call maps to its one wrapper. GUI thread only.
QHash<vesk::ICallInstance *, CallInstance *> &wrappers()
{
    static QHash<vesk::ICallInstance *, CallInstance *> hash;
    return hash;
}
} // namespace

class CallInstance::Private : public sigslot::has_slots<>
{
public:
    Private(CallInstance *owner, vesk::ICallInstance *engineCall);

    void detach();
    QString remote() const { return call ? QString::fromUtf8(call->GetRemoteJid()) : QString(); }

    void onCallSessionInitiated(vesk::ICallInstance *);
    void onCallReceivedAccept(vesk::ICallInstance *);
    void onCallReceivedReject(vesk::ICallInstance *);
    void onCallInProgress(vesk::ICallInstance *);
    void onCallHangup(vesk::ICallInstance *, vesk::HANGUP_REASON reason);
    void onRingingStart(vesk::ICallInstance *);
    void onCallHoldStatusChanged(vesk::ICallInstance *, bool onHold);
    void onCallConnectionMonitor(vesk::ICallInstance *, vesk::IList *infos);

    CallInstance *q;
    vesk::ICallInstance *call;
};

CallInstance::Private::Private(CallInstance *owner, vesk::ICallInstance *engineCall)
    : q(owner), call(engineCall)
{
    call->SignalSessionInitiated.connect(this, &Private::onCallSessionInitiated);
    call->SignalReceivedAccept.connect(this, &Private::onCallReceivedAccept);
    call->SignalReceivedReject.connect(this, &Private::onCallReceivedReject);
    call->SignalInProgress.connect(this, &Private::onCallInProgress);
    call->SignalHangup.connect(this, &Private::onCallHangup);
    call->SignalRingingStart.connect(this, &Private::onRingingStart);
    call->SignalHoldStatusChanged.connect(this, &Private::onCallHoldStatusChanged);
    call->SignalConnectionMonitor.connect(this, &Private::onCallConnectionMonitor);
}

void CallInstance::Private::detach()
{
    disconnect_all();
    call = nullptr;
}

void CallInstance::Private::onCallSessionInitiated(vesk::ICallInstance *)
{
    LOG_TRACE << "remote" << remote();
    emit q->sessionInitiated(q);
}

void CallInstance::Private::onCallReceivedAccept(vesk::ICallInstance *)
{
    LOG_TRACE << "remote" << remote();
    emit q->accepted(q);
}

void CallInstance::Private::onCallReceivedReject(vesk::ICallInstance *)
{
    LOG_TRACE << "remote" << remote();
    emit q->rejected(q);
}

void CallInstance::Private::onCallInProgress(vesk::ICallInstance *)
{
    LOG_TRACE << "remote" << remote();
    emit q->progressStarted(q);
}

void CallInstance::Private::onCallHangup(vesk::ICallInstance *, vesk::HANGUP_REASON reason)
{
    LOG_TRACE << "remote" << remote() << "reason" << int(reason);
    emit q->hungup(q, reason);
}

void CallInstance::Private::onRingingStart(vesk::ICallInstance *)
{
    LOG_TRACE << "onRingingStart" << remote();
}

void CallInstance::Private::onCallHoldStatusChanged(vesk::ICallInstance *, bool onHold)
{
    LOG_TRACE << "onCallHoldStatusChanged" << remote() << onHold;
}

void CallInstance::Private::onCallConnectionMonitor(vesk::ICallInstance *, vesk::IList *infos)
{
    LOG_TRACE << "onCallConnectionMonitor" << remote();
    emit q->connectionMonitor(ConnectionInfo::fromList(infos), q);
}

CallInstance::CallInstance(vesk::ICallInstance *call) : d(std::make_unique<Private>(this, call)) { }

CallInstance::~CallInstance()
{
    if (d->call && wrappers().value(d->call) == this)
        wrappers().remove(d->call);
}

Call *CallInstance::wrap(vesk::ICallInstance *call)
{
    if (!call) {
        LOG_TRACE << "NULL";
        return nullptr;
    }
    CallInstance *&wrapper = wrappers()[call];
    if (!wrapper)
        wrapper = new CallInstance(call);
    return wrapper;
}

Call *CallInstance::find(vesk::ICallInstance *call)
{
    return call ? wrappers().value(call) : nullptr;
}

void CallInstance::release(vesk::ICallInstance *call)
{
    CallInstance *wrapper = call ? wrappers().take(call) : nullptr;
    if (!wrapper)
        return;
    wrapper->d->detach();
    wrapper->deleteLater();
}

int CallInstance::wrapperCount()
{
    return wrappers().size();
}

int CallInstance::dtmfEvent(QChar code)
{
    return dtmfAlphabet().indexOf(code);
}

Call::State CallInstance::state() const
{
    return d->call ? State(d->call->GetState()) : Ended;
}

bool CallInstance::isOnHold() const
{
    return d->call && d->call->IsOnHold();
}

bool CallInstance::isIncoming() const
{
    return d->call && d->call->IsIncoming();
}

Jid CallInstance::remoteJid() const
{
    return Jid::fromString(d->remote());
}

unsigned int CallInstance::id() const
{
    return d->call ? d->call->GetId() : 0;
}

int CallInstance::durationSeconds() const
{
    return d->call ? d->call->GetDurationSeconds() : 0;
}

QList<ConnectionInfo> CallInstance::connectionInfos() const
{
    if (!d->call)
        return {};
    vesk::IList *list = d->call->GetConnectionInfos();
    const QList<ConnectionInfo> infos = ConnectionInfo::fromList(list);
    if (list)
        list->Release();
    return infos;
}

bool CallInstance::accept(bool withVideo)
{
    LOG_TRACE << "call" << id() << d->remote() << "withVideo" << withVideo;
    if (d->call && d->call->Accept(withVideo)) {
        LOG_TRACE << "[WRN] Accepting incoming call OK";
        emit incomingCallAccepted(this);
        return true;
    }
    LOG_TRACE << "[WRN] Error accepting incoming call";
    return false;
}

bool CallInstance::reject()
{
    LOG_TRACE << "call" << id() << d->remote();
    return d->call && d->call->Reject(0);
}

void CallInstance::hangup()
{
    LOG_TRACE << "call" << id() << d->remote();
    if (d->call)
        d->call->Hangup();
}

void CallInstance::setMuted(bool on)
{
    if (d->call)
        d->call->Mute(on);
}

void CallInstance::startConnectionMonitor(int refreshMs)
{
    if (d->call)
        d->call->StartConnectionMonitor(refreshMs);
}

bool CallInstance::startRecordingPlayout(QString file)
{
    return d->call && d->call->StartRecordingPlayout(file.toUtf8().constData());
}

bool CallInstance::stopRecordingPlayout()
{
    return d->call && d->call->StopRecordingPlayout();
}

void CallInstance::sendDTMF(QChar code)
{
    const int event = dtmfEvent(code);
    if (event < 0 || !d->call)
        return;
    d->call->SendDTMF(event);
}

} // namespace talk
