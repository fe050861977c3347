#include "fakeengine.h"

#include <QCoreApplication>
#include <QMetaObject>

#include <algorithm>
#include <cstdlib>

namespace fake {

namespace {
Session *currentSession = nullptr;
bool createResult = true;
int allocations = 0;

void record(std::string line)
{
    calls().push_back(std::move(line));
}

std::string text(const char *value)
{
    return value ? value : "(null)";
}

// Runs f from the event loop, as the real engine raises its events.
template <class F> void later(F f)
{
    QMetaObject::invokeMethod(QCoreApplication::instance(), f, Qt::QueuedConnection);
}
} // namespace

std::vector<std::string> &calls()
{
    static std::vector<std::string> lines;
    return lines;
}

void clearCalls()
{
    calls().clear();
}

int countCalls(const std::string &prefix)
{
    return int(std::count_if(calls().begin(), calls().end(),
        [&prefix](const std::string &line) { return line.compare(0, prefix.size(), prefix) == 0; }));
}

bool hasCall(const std::string &line)
{
    return std::find(calls().begin(), calls().end(), line) != calls().end();
}

List::~List()
{
    if (deleter) {
        for (void *item : items)
            deleter(item);
    }
}

void *List::GetItem(int index) const
{
    return index >= 0 && index < GetCount() ? items[size_t(index)] : nullptr;
}

vesk::IList *Call::GetConnectionInfos()
{
    auto *list = new List([](void *p) { delete static_cast<ConnectionInfo *>(p); });
    list->items.push_back(static_cast<vesk::IConnectionInfo *>(new ConnectionInfo));
    return list;
}

bool Call::Accept(bool withVideo)
{
    record("Accept video=" + std::to_string(withVideo));
    return acceptResult;
}

bool Call::Reject(int reason)
{
    record("Reject " + std::to_string(reason));
    return rejectResult;
}

void Call::Hangup()
{
    record("Hangup " + std::to_string(id));
}

void Call::Mute(bool on)
{
    record("Mute " + std::to_string(on));
}

bool Call::SetHold(bool on)
{
    record("SetHold " + std::to_string(on));
    return true;
}

void Call::StartConnectionMonitor(int refreshMs)
{
    record("StartConnectionMonitor " + std::to_string(refreshMs));
}

void Call::StopConnectionMonitor()
{
    record("StopConnectionMonitor");
}

bool Call::StartRecordingPlayout(const char *path)
{
    record("StartRecordingPlayout " + text(path));
    return true;
}

bool Call::StopRecordingPlayout()
{
    record("StopRecordingPlayout");
    return true;
}

bool Call::SendDTMF(int event)
{
    record("SendDTMF " + std::to_string(event));
    return true;
}

bool Player::Play(const char *path, bool loop)
{
    record("Play " + text(path) + " loop=" + std::to_string(loop));
    playing = playResult;
    return playResult;
}

void Player::Stop()
{
    record("Stop");
    playing = false;
}

MediaEngine::~MediaEngine()
{
    for (Call *call : liveCalls)
        delete call;
}

vesk::IList *MediaEngine::GetCalls()
{
    auto *list = new List;
    for (Call *call : liveCalls)
        list->items.push_back(static_cast<vesk::ICallInstance *>(call));
    return list;
}

namespace {
Device *copyOf(const std::vector<Device> &devices, const std::string &id)
{
    for (const Device &device : devices) {
        if (device.id == id)
            return new Device(device);
    }
    return nullptr;
}

List *listOf(const std::vector<Device> &devices)
{
    auto *list = new List([](void *p) { delete static_cast<Device *>(static_cast<vesk::IDevice *>(p)); });
    for (const Device &device : devices)
        list->items.push_back(static_cast<vesk::IDevice *>(new Device(device)));
    return list;
}
} // namespace

vesk::IDevice *MediaEngine::GetCurrentSpeakerDevice()
{
    return copyOf(speakers, currentSpeaker);
}

vesk::IDevice *MediaEngine::GetCurrentMicrophoneDevice()
{
    return copyOf(microphones, currentMicrophone);
}

vesk::IList *MediaEngine::GetMicrophoneDevices()
{
    return listOf(microphones);
}

vesk::IList *MediaEngine::GetSpeakerDevices()
{
    return listOf(speakers);
}

bool MediaEngine::SetSpeakerDevice(const char *id)
{
    record("SetSpeakerDevice " + text(id));
    if (setDeviceResult)
        currentSpeaker = text(id);
    return setDeviceResult;
}

bool MediaEngine::SetMicrophoneDevice(const char *id)
{
    record("SetMicrophoneDevice " + text(id));
    if (setDeviceResult)
        currentMicrophone = text(id);
    return setDeviceResult;
}

void MediaEngine::GetCallFigures(int *sent, int *received, int *lost, int *roundTripMs) const
{
    if (liveCalls.empty())
        return;
    *sent = 10;
    *received = 9;
    *lost = 1;
    (void)roundTripMs;
}

bool MediaEngine::SetAudioOptions(int value)
{
    record("SetAudioOptions " + std::to_string(value));
    if (setOptionsResult)
        options = value;
    return setOptionsResult;
}

bool MediaEngine::SetPreferredAudioCodec(int value)
{
    record("SetPreferredAudioCodec " + std::to_string(value));
    codec = value;
    return true;
}

bool MediaEngine::SetSpeakerVolume(int level)
{
    record("SetSpeakerVolume " + std::to_string(level));
    speakerVolume = level;
    return true;
}

bool MediaEngine::SetMicVolume(int level)
{
    record("SetMicVolume " + std::to_string(level));
    micVolume = level;
    return true;
}

bool MediaEngine::SetLocalMonitor(bool enable)
{
    record("SetLocalMonitor " + std::to_string(enable));
    localMonitor = enable;
    return true;
}

bool MediaEngine::SetEchoMetricStatus(bool value)
{
    record("SetEchoMetricStatus " + std::to_string(value));
    echoMetric = value;
    return true;
}

bool MediaEngine::PlaceCall(const char *jid, bool isVideo)
{
    record("PlaceCall " + text(jid) + " video=" + std::to_string(isVideo));
    if (placeCallResult && placeCallCreatesCall) {
        Call *call = createCall(text(jid), false);
        call->state = vesk::ICallInstance::STATE_INITIATING;
        call->SignalSessionInitiated(call);
    }
    return placeCallResult;
}

void MediaEngine::SetAllowsMultipleCalls(bool on)
{
    record("SetAllowsMultipleCalls " + std::to_string(on));
}

Call *MediaEngine::createCall(const std::string &remoteJid, bool incoming)
{
    auto *call = new Call(nextCallId++, remoteJid, incoming);
    liveCalls.push_back(call);
    SignalCallCreated(call);
    if (!focused)
        changeFocus(call);
    return call;
}

void MediaEngine::destroyCall(Call *call)
{
    liveCalls.erase(std::remove(liveCalls.begin(), liveCalls.end(), call), liveCalls.end());
    if (focused == call)
        changeFocus(liveCalls.empty() ? nullptr : liveCalls.back());
    SignalCallDestroyed(call);
    delete call;
}

void MediaEngine::changeFocus(Call *newCall)
{
    Call *old = focused;
    focused = newCall;
    SignalCallFocusChange(newCall, old);
}

void ProxySettings::Release()
{
    if (Session *s = session())
        --s->liveObjects;
    delete this;
}

Session::Session()
{
    currentSession = this;
}

Session::~Session()
{
    if (currentSession == this)
        currentSession = nullptr;
}

void Session::SetServer(const char *host, int port)
{
    server = text(host) + ":" + std::to_string(port);
    record("SetServer " + server);
}

bool Session::Login(const char *userName, const char *pw, bool useTLS)
{
    user = text(userName);
    password = text(pw);
    record("Login " + user + " tls=" + std::to_string(useTLS));
    if (loginResult && autoAnswerLogin) {
        const int code = autoAnswerCode;
        later([code] {
            if (Session *s = session()) {
                if (code == 0)
                    s->completeLogin();
                else
                    s->failLogin(vesk::VESK_TALK_ERROR_CODE(code));
            }
        });
    }
    return loginResult;
}

void Session::Logout()
{
    record("Logout");
    loggedIn = false;
}

bool Session::SendPresence(const vesk::IPresence *presence)
{
    record("SendPresence available=" + std::to_string(presence->IsAvailable()) + " priority="
        + std::to_string(presence->GetPriority()) + " show=" + std::to_string(presence->GetShow()));
    return true;
}

bool Session::SetXMPPDumpFile(const char *path)
{
    record("SetXMPPDumpFile " + text(path));
    return setLogResult;
}

bool Session::SetLogFile(const char *path)
{
    record("SetLogFile " + text(path));
    return setLogResult;
}

vesk::IMediaEngine *Session::GetMediaEngine(int index)
{
    record("GetMediaEngine " + std::to_string(index));
    return hasMediaEngine ? &media : nullptr;
}

bool Session::SetProxy(const vesk::IProxySettings *p)
{
    record("SetProxy type=" + std::to_string(p->GetType()) + " host=" + text(p->GetHost())
        + " port=" + std::to_string(p->GetPort()) + " user=" + text(p->GetUserName()));
    if (setProxyResult) {
        proxy.type = p->GetType();
        proxy.host = text(p->GetHost());
        proxy.port = p->GetPort();
        proxy.user = text(p->GetUserName());
        proxy.password = text(p->GetPassword());
    }
    return setProxyResult;
}

vesk::IProxySettings *Session::GetProxy() const
{
    auto *copy = new ProxySettings(proxy);
    ++const_cast<Session *>(this)->liveObjects;
    return copy;
}

void Session::Release()
{
    record("Release");
    delete this;
}

vesk::IPresence *Session::CreatePresence()
{
    record("CreatePresence");
    return new Presence;
}

vesk::IProxySettings *Session::CreateProxySettings()
{
    ++liveObjects;
    return new ProxySettings;
}

void Session::completeLogin()
{
    loggedIn = true;
    SignalLoginCompleted();
}

void Session::failLogin(vesk::VESK_TALK_ERROR_CODE code)
{
    loggedIn = false;
    SignalLoginFailed(code);
}

void Session::loseConnection(vesk::VESK_DISCONNECT_REASON reason)
{
    loggedIn = false;
    SignalConnectionLost(reason);
}

void Session::receiveRoster()
{
    Roster roster;
    SignalRosterReceived(&roster);
}

Session *session()
{
    return currentSession;
}

void setCreateResult(bool ok)
{
    createResult = ok;
}

int allocatorCalls()
{
    return allocations;
}

} // namespace fake

extern "C" {

__attribute__((visibility("default"))) void *VeskTalk_EASTLAllocator(size_t size)
{
    ++fake::allocations;
    return std::malloc(size ? size : 1);
}

__attribute__((visibility("default"))) void VeskTalk_EASTLDeleter(void *p)
{
    std::free(p);
}

__attribute__((visibility("default"))) bool CreateVeskTalk(vesk::IVeskTalk **session)
{
    if (!session)
        return false;
    *session = nullptr;
    fake::record("CreateVeskTalk");
    if (!fake::createResult)
        return false;
    *session = new fake::Session;
    return true;
}
}
