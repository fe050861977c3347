#pragma once

// The talk engine's public interface. Every object is owned by the engine except those the
// caller creates or is handed as a copy: those say so and go back through Release(). Texts
// cross as NUL-terminated UTF-8; a returned text stays valid until the next call on the same
// object. Every event is raised on the thread that created the session (the GUI thread).

#include <cstddef>

#include "vesk/enums.h"
#include "vesk/sigslot.h"

namespace vesk {

class ICallInstance;
class IDevice;
class IList;
class IRoster;

// A list owned by whoever handed it out (see the operation). Items keep their own types.
class IList
{
public:
    virtual int GetCount() const = 0;
    virtual void *GetItem(int index) const = 0;
    virtual void Release() = 0;

protected:
    virtual ~IList() = default;
};

template <class T> T *ListItem(const IList *list, int index)
{
    return list ? static_cast<T *>(list->GetItem(index)) : nullptr;
}

// An audio device. Ids are stable while the device is plugged in.
class IDevice
{
public:
    virtual const char *GetId() const = 0;
    virtual const char *GetName() const = 0;
    virtual void Release() = 0;

protected:
    virtual ~IDevice() = default;
};

// Figures of one call's media connection.
class IConnectionInfo
{
public:
    virtual const char *GetCodec() const = 0;
    virtual const char *GetLocalAddress() const = 0;
    virtual const char *GetRemoteAddress() const = 0;
    virtual int GetRoundTripTimeMs() const = 0; // -1 while unknown
    virtual int GetJitterMs() const = 0; // -1 while unknown
    virtual long long GetPacketsSent() const = 0;
    virtual long long GetPacketsReceived() const = 0;
    virtual long long GetPacketsLost() const = 0;
    virtual long long GetBytesSent() const = 0;
    virtual long long GetBytesReceived() const = 0;

protected:
    virtual ~IConnectionInfo() = default;
};

// Own presence; created by IFactory.
class IPresence
{
public:
    virtual void SetAvailable(bool available) = 0;
    virtual void SetPriority(int priority) = 0;
    virtual void SetShow(int show) = 0; // 0 online, 1 away, 2 chat, 3 do not disturb, 4 extended away
    virtual bool IsAvailable() const = 0;
    virtual int GetPriority() const = 0;
    virtual int GetShow() const = 0;
    virtual void Release() = 0;

protected:
    virtual ~IPresence() = default;
};

// Proxy for the XMPP connection; created by IFactory. Type 1 HTTP CONNECT, 2 SOCKS 5,
// anything else a direct connection.
class IProxySettings
{
public:
    virtual void SetType(int type) = 0;
    virtual int GetType() const = 0;
    virtual void SetHost(const char *host) = 0;
    virtual const char *GetHost() const = 0;
    virtual void SetPort(int port) = 0;
    virtual int GetPort() const = 0;
    virtual void SetUserName(const char *userName) = 0;
    virtual const char *GetUserName() const = 0;
    virtual void SetPassword(const char *password) = 0;
    virtual const char *GetPassword() const = 0;
    virtual void Release() = 0;

protected:
    virtual ~IProxySettings() = default;
};

class IFactory
{
public:
    virtual IPresence *CreatePresence() = 0;
    virtual IProxySettings *CreateProxySettings() = 0;

protected:
    virtual ~IFactory() = default;
};

// The contact list as the server sent it; valid during SignalRosterReceived.
class IRoster
{
public:
    virtual int GetCount() const = 0;
    virtual const char *GetJid(int index) const = 0;
    virtual const char *GetName(int index) const = 0;

protected:
    virtual ~IRoster() = default;
};

// Sound file playback (WAV) to the current speaker device.
class IPlayer
{
public:
    virtual bool Play(const char *path, bool loop) = 0;
    virtual void Stop() = 0;
    virtual bool IsPlaying() const = 0;
    virtual int GetOutputLevel() const = 0; // 0..100, -1 when none
    virtual int GetFileLength(const char *path) const = 0; // milliseconds, -1 when unknown
    virtual int GetPosition() const = 0; // milliseconds, -1 when not playing

    sigslot::signal0<> SignalPlayingFinished;

protected:
    virtual ~IPlayer() = default;
};

// One call. Owned by the engine from SignalCallCreated to SignalCallDestroyed.
class ICallInstance
{
public:
    enum State { STATE_NEW = 0, STATE_INITIATING = 1, STATE_RINGING = 2, STATE_ACTIVE = 3, STATE_ENDED = 4 };

    virtual State GetState() const = 0;
    virtual bool IsOnHold() const = 0;
    virtual bool IsIncoming() const = 0;
    virtual const char *GetRemoteJid() const = 0;
    virtual unsigned int GetId() const = 0;
    virtual int GetDurationSeconds() const = 0; // since accepted, 0 before
    // Current connection figures (items: IConnectionInfo); the caller releases the list.
    virtual IList *GetConnectionInfos() = 0;

    virtual bool Accept(bool withVideo) = 0;
    virtual bool Reject(int reason) = 0; // 0 decline, 1 busy
    virtual void Hangup() = 0;
    virtual void Mute(bool on) = 0;
    virtual bool SetHold(bool on) = 0;
    virtual void StartConnectionMonitor(int refreshMs) = 0;
    virtual void StopConnectionMonitor() = 0;
    virtual bool StartRecordingPlayout(const char *path) = 0;
    virtual bool StopRecordingPlayout() = 0;
    // RFC 4733 event: 0-9, 10 = '*', 11 = '#', 12-15 = A-D.
    virtual bool SendDTMF(int event) = 0;

    sigslot::signal1<ICallInstance *> SignalSessionInitiated;
    sigslot::signal1<ICallInstance *> SignalReceivedAccept;
    sigslot::signal1<ICallInstance *> SignalReceivedReject;
    sigslot::signal1<ICallInstance *> SignalInProgress;
    sigslot::signal1<ICallInstance *> SignalRingingStart;
    sigslot::signal2<ICallInstance *, HANGUP_REASON> SignalHangup;
    sigslot::signal2<ICallInstance *, bool> SignalHoldStatusChanged;
    // The list (items: IConnectionInfo) is valid during the emission only.
    sigslot::signal2<ICallInstance *, IList *> SignalConnectionMonitor;
    sigslot::signal2<ICallInstance *, int> SignalDtmfReceived;

protected:
    virtual ~ICallInstance() = default;
};

class IMediaEngine
{
public:
    virtual bool IsInitialized() const = 0;
    virtual const char *GetVersion(int what) const = 0;
    virtual bool IsInCall() const = 0;
    virtual int GetCallCount() const = 0;
    virtual ICallInstance *GetFocusedCall() const = 0;
    // Calls now alive (items: ICallInstance); the caller releases the list.
    virtual IList *GetCalls() = 0;

    // Devices: the caller releases each returned device and list (items: IDevice).
    virtual IDevice *GetCurrentSpeakerDevice() = 0;
    virtual IDevice *GetCurrentMicrophoneDevice() = 0;
    virtual IList *GetMicrophoneDevices() = 0;
    virtual IList *GetSpeakerDevices() = 0;
    // An empty or null id selects the system default.
    virtual bool SetSpeakerDevice(const char *id) = 0;
    virtual bool SetMicrophoneDevice(const char *id) = 0;

    virtual bool GetLocalMonitor() const = 0;
    virtual int GetSpeakerVolume() const = 0; // 0..100, -1 when unknown
    virtual int GetMicVolume() const = 0; // 0..100, -1 when unknown
    virtual int GetInputLevel() const = 0; // 0..100 while the local monitor runs, else -1
    // Packets sent, received, lost and the round trip in ms of the focused call; -1 each when none.
    virtual void GetCallFigures(int *sent, int *received, int *lost, int *roundTripMs) const = 0;
    virtual int GetPreferredAudioCodec() const = 0;
    virtual int GetAudioOptions() const = 0;
    virtual bool GetEchoMetricStatus() const = 0;

    virtual bool SetAudioOptions(int options) = 0;
    virtual bool SetPreferredAudioCodec(int codec) = 0; // 0 Opus, 1 PCMU
    virtual bool SetSpeakerVolume(int level) = 0;
    virtual bool SetMicVolume(int level) = 0;
    virtual bool SetLocalMonitor(bool enable) = 0;
    virtual bool SetEchoMetricStatus(bool value) = 0;
    virtual bool PlaceCall(const char *jid, bool isVideo) = 0;
    virtual void SetAllowsMultipleCalls(bool on) = 0;

    virtual IPlayer *GetPlayer() = 0;

    sigslot::signal1<ICallInstance *> SignalCallCreated;
    sigslot::signal1<ICallInstance *> SignalCallDestroyed;
    sigslot::signal2<ICallInstance *, ICallInstance *> SignalCallFocusChange; // new, old
    sigslot::signal0<> SignalDevicesChanged;
    sigslot::signal3<IDevice *, MEDIA_DEVICE_TYPE, bool> SignalCurrentDeviceChanged;

protected:
    virtual ~IMediaEngine() = default;
};

// The session with the voice server.
class IVeskTalk
{
public:
    virtual void SetServer(const char *host, int port) = 0;
    // Asynchronous: ends in SignalLoginCompleted or SignalLoginFailed. userName is "user@domain".
    virtual bool Login(const char *userName, const char *password, bool useTLS) = 0;
    virtual void Logout() = 0;
    virtual bool IsLoggedIn() const = 0;
    virtual bool SendPresence(const IPresence *presence) = 0;
    virtual IFactory *GetFactory() = 0;
    // Null or empty path closes the file.
    virtual bool SetXMPPDumpFile(const char *path) = 0;
    virtual bool SetLogFile(const char *path) = 0;
    virtual IMediaEngine *GetMediaEngine(int index) = 0;
    virtual const char *GetVersion(int what) const = 0;
    virtual bool SetProxy(const IProxySettings *proxy) = 0;
    // A copy of the proxy in force; the caller releases it.
    virtual IProxySettings *GetProxy() const = 0;
    // Logs out and destroys the session with all its objects.
    virtual void Release() = 0;

    sigslot::signal0<> SignalLoginCompleted;
    sigslot::signal1<VESK_TALK_ERROR_CODE> SignalLoginFailed;
    sigslot::signal1<VESK_DISCONNECT_REASON> SignalConnectionLost;
    sigslot::signal1<IRoster *> SignalRosterReceived;

protected:
    virtual ~IVeskTalk() = default;
};

} // namespace vesk

// The library's entry points, resolved by name.
extern "C" {
typedef bool (*CreateVeskTalkFunction)(vesk::IVeskTalk **session);
typedef void *(*VeskTalkAllocatorFunction)(size_t size);
typedef void (*VeskTalkDeleterFunction)(void *p);
}
