#pragma once

// A stand-in for the talk engine library, for the wrappers' unit tests. It exports the engine's three
// C entry points, so the talk connection loads it like the real one, and lets a test see every engine
// call (as a line of text in calls()) and raise every engine signal.
//
// The test links this library as well as loading it: both reach the same objects.

#include <string>
#include <vector>

#include "vesk/interfaces.h"

namespace fake {

// Every engine operation the program called, in order, e.g. "Login demo@localhost tls=1".
std::vector<std::string> &calls();
void clearCalls();
// How many recorded calls start with prefix.
int countCalls(const std::string &prefix);
bool hasCall(const std::string &line);

class Device : public vesk::IDevice
{
public:
    Device(std::string id, std::string name) : id(std::move(id)), name(std::move(name)) { }
    const char *GetId() const override { return id.c_str(); }
    const char *GetName() const override { return name.c_str(); }
    void Release() override { delete this; }

    std::string id;
    std::string name;
};

// Owns its items when given a deleter.
class List : public vesk::IList
{
public:
    using Deleter = void (*)(void *);
    explicit List(Deleter deleter = nullptr) : deleter(deleter) { }
    ~List() override;
    int GetCount() const override { return int(items.size()); }
    void *GetItem(int index) const override;
    void Release() override { delete this; }

    std::vector<void *> items;
    Deleter deleter;
};

class ConnectionInfo : public vesk::IConnectionInfo
{
public:
    const char *GetCodec() const override { return codec.c_str(); }
    const char *GetLocalAddress() const override { return local.c_str(); }
    const char *GetRemoteAddress() const override { return remote.c_str(); }
    int GetRoundTripTimeMs() const override { return rtt; }
    int GetJitterMs() const override { return jitter; }
    long long GetPacketsSent() const override { return sent; }
    long long GetPacketsReceived() const override { return received; }
    long long GetPacketsLost() const override { return lost; }
    long long GetBytesSent() const override { return sent * 100; }
    long long GetBytesReceived() const override { return received * 100; }

    std::string codec = "opus";
    std::string local = "127.0.0.1:40000";
    std::string remote = "127.0.0.1:40002";
    int rtt = 3;
    int jitter = 1;
    long long sent = 0;
    long long received = 0;
    long long lost = 0;
};

class Call : public vesk::ICallInstance
{
public:
    Call(unsigned int id, std::string remoteJid, bool incoming)
        : id(id), remoteJid(std::move(remoteJid)), incoming(incoming)
    { }
    ~Call() override = default;

    State GetState() const override { return state; }
    bool IsOnHold() const override { return false; }
    bool IsIncoming() const override { return incoming; }
    const char *GetRemoteJid() const override { return remoteJid.c_str(); }
    unsigned int GetId() const override { return id; }
    int GetDurationSeconds() const override { return 0; }
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

    unsigned int id;
    std::string remoteJid;
    bool incoming;
    State state = STATE_NEW;
    bool acceptResult = true;
    bool rejectResult = true;
};

class Player : public vesk::IPlayer
{
public:
    bool Play(const char *path, bool loop) override;
    void Stop() override;
    bool IsPlaying() const override { return playing; }
    int GetOutputLevel() const override { return playing ? 40 : -1; }
    int GetFileLength(const char *) const override { return -1; }
    int GetPosition() const override { return -1; }

    bool playing = false;
    bool playResult = true;
};

class MediaEngine : public vesk::IMediaEngine
{
public:
    ~MediaEngine() override;

    bool IsInitialized() const override { return true; }
    const char *GetVersion(int) const override { return "fake-media"; }
    bool IsInCall() const override { return !liveCalls.empty(); }
    int GetCallCount() const override { return int(liveCalls.size()); }
    vesk::ICallInstance *GetFocusedCall() const override { return focused; }
    vesk::IList *GetCalls() override;
    vesk::IDevice *GetCurrentSpeakerDevice() override;
    vesk::IDevice *GetCurrentMicrophoneDevice() override;
    vesk::IList *GetMicrophoneDevices() override;
    vesk::IList *GetSpeakerDevices() override;
    bool SetSpeakerDevice(const char *id) override;
    bool SetMicrophoneDevice(const char *id) override;
    bool GetLocalMonitor() const override { return localMonitor; }
    int GetSpeakerVolume() const override { return speakerVolume; }
    int GetMicVolume() const override { return micVolume; }
    int GetInputLevel() const override { return localMonitor ? 30 : -1; }
    void GetCallFigures(int *sent, int *received, int *lost, int *roundTripMs) const override;
    int GetPreferredAudioCodec() const override { return codec; }
    int GetAudioOptions() const override { return options; }
    bool GetEchoMetricStatus() const override { return echoMetric; }
    bool SetAudioOptions(int options) override;
    bool SetPreferredAudioCodec(int codec) override;
    bool SetSpeakerVolume(int level) override;
    bool SetMicVolume(int level) override;
    bool SetLocalMonitor(bool enable) override;
    bool SetEchoMetricStatus(bool value) override;
    bool PlaceCall(const char *jid, bool isVideo) override;
    void SetAllowsMultipleCalls(bool on) override;
    vesk::IPlayer *GetPlayer() override { return &player; }

    // A new call: SignalCallCreated, then the focus moves to it when none has it.
    Call *createCall(const std::string &remoteJid, bool incoming);
    // SignalCallDestroyed, then the call is freed.
    void destroyCall(Call *call);
    void changeFocus(Call *newCall);

    std::vector<Device> microphones;
    std::vector<Device> speakers;
    std::string currentMicrophone;
    std::string currentSpeaker;
    bool setDeviceResult = true;
    bool setOptionsResult = true;
    bool placeCallResult = true;
    // PlaceCall also creates the outgoing call, as the engine does.
    bool placeCallCreatesCall = true;
    int speakerVolume = 50;
    int micVolume = 50;
    int codec = 0;
    int options = 15;
    bool echoMetric = false;
    bool localMonitor = false;
    std::vector<Call *> liveCalls;
    Call *focused = nullptr;
    unsigned int nextCallId = 1;
    Player player;
};

class Presence : public vesk::IPresence
{
public:
    void SetAvailable(bool on) override { available = on; }
    void SetPriority(int value) override { priority = value; }
    void SetShow(int value) override { show = value; }
    bool IsAvailable() const override { return available; }
    int GetPriority() const override { return priority; }
    int GetShow() const override { return show; }
    void Release() override { delete this; }

    bool available = false;
    int priority = 0;
    int show = -1;
};

class ProxySettings : public vesk::IProxySettings
{
public:
    void SetType(int value) override { type = value; }
    int GetType() const override { return type; }
    void SetHost(const char *value) override { host = value ? value : ""; }
    const char *GetHost() const override { return host.c_str(); }
    void SetPort(int value) override { port = value; }
    int GetPort() const override { return port; }
    void SetUserName(const char *value) override { user = value ? value : ""; }
    const char *GetUserName() const override { return user.c_str(); }
    void SetPassword(const char *value) override { password = value ? value : ""; }
    const char *GetPassword() const override { return password.c_str(); }
    void Release() override;

    int type = 0;
    std::string host;
    int port = 0;
    std::string user;
    std::string password;
};

class Roster : public vesk::IRoster
{
public:
    int GetCount() const override { return 1; }
    const char *GetJid(int) const override { return "+15550100@localhost"; }
    const char *GetName(int) const override { return "Echo"; }
};

class Session : public vesk::IVeskTalk, public vesk::IFactory
{
public:
    Session();
    ~Session() override;

    void SetServer(const char *host, int port) override;
    bool Login(const char *userName, const char *password, bool useTLS) override;
    void Logout() override;
    bool IsLoggedIn() const override { return loggedIn; }
    bool SendPresence(const vesk::IPresence *presence) override;
    vesk::IFactory *GetFactory() override { return this; }
    bool SetXMPPDumpFile(const char *path) override;
    bool SetLogFile(const char *path) override;
    vesk::IMediaEngine *GetMediaEngine(int index) override;
    const char *GetVersion(int) const override { return "fake-engine"; }
    bool SetProxy(const vesk::IProxySettings *proxy) override;
    vesk::IProxySettings *GetProxy() const override;
    void Release() override;

    vesk::IPresence *CreatePresence() override;
    vesk::IProxySettings *CreateProxySettings() override;

    // Raise the engine's events.
    void completeLogin();
    void failLogin(vesk::VESK_TALK_ERROR_CODE code);
    void loseConnection(vesk::VESK_DISCONNECT_REASON reason);
    void receiveRoster();

    bool loggedIn = false;
    bool loginResult = true;
    bool setProxyResult = true;
    bool setLogResult = true;
    // Login ends by itself, from the event loop: 0 completes, any other value fails with it.
    bool autoAnswerLogin = false;
    int autoAnswerCode = 0;
    std::string server;
    std::string user;
    std::string password;
    ProxySettings proxy;
    MediaEngine media;
    bool hasMediaEngine = true;
    // Outstanding presence and proxy objects handed to the program.
    int liveObjects = 0;
};

// The session the last CreateVeskTalk made (null once released).
Session *session();
// CreateVeskTalk fails while this is false.
void setCreateResult(bool ok);
int allocatorCalls();

} // namespace fake
