#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QPointer>

#include "vesk/interfaces.h"

namespace engine {

class AudioDevices;
class CallInstance;
class JingleManager;
class JingleSession;
class Player;

// The interface's media side: calls (over the session's JingleManager), audio devices, volumes
// and sound playback.
class MediaEngine : public QObject, public vesk::IMediaEngine
{
    Q_OBJECT
public:
    MediaEngine(JingleManager *jingle, AudioDevices *devices, QObject *parent = nullptr);
    ~MediaEngine() override;

    bool IsInitialized() const override { return true; }
    const char *GetVersion(int what) const override;
    bool IsInCall() const override;
    int GetCallCount() const override { return m_calls.size(); }
    vesk::ICallInstance *GetFocusedCall() const override;
    vesk::IList *GetCalls() override;

    vesk::IDevice *GetCurrentSpeakerDevice() override;
    vesk::IDevice *GetCurrentMicrophoneDevice() override;
    vesk::IList *GetMicrophoneDevices() override;
    vesk::IList *GetSpeakerDevices() override;
    bool SetSpeakerDevice(const char *id) override;
    bool SetMicrophoneDevice(const char *id) override;

    bool GetLocalMonitor() const override;
    int GetSpeakerVolume() const override;
    int GetMicVolume() const override;
    int GetInputLevel() const override;
    void GetCallFigures(int *sent, int *received, int *lost, int *roundTripMs) const override;
    int GetPreferredAudioCodec() const override { return m_preferredCodec; }
    int GetAudioOptions() const override { return m_audioOptions; }
    bool GetEchoMetricStatus() const override { return m_echoMetric; }

    bool SetAudioOptions(int options) override;
    bool SetPreferredAudioCodec(int codec) override;
    bool SetSpeakerVolume(int level) override;
    bool SetMicVolume(int level) override;
    bool SetLocalMonitor(bool enable) override;
    bool SetEchoMetricStatus(bool value) override;
    bool PlaceCall(const char *jid, bool isVideo) override;
    void SetAllowsMultipleCalls(bool on) override;

    vesk::IPlayer *GetPlayer() override;

    // The session's connection is gone: every call ends as unreachable.
    void abandonCalls();

private:
    CallInstance *adopt(JingleSession *session);
    void onIncoming(JingleSession *session);
    void onCallFinished(CallInstance *call);
    void setFocus(CallInstance *call);

    JingleManager *m_jingle;
    AudioDevices *m_devices; // owned by the session, outlives this
    QList<CallInstance *> m_calls;
    CallInstance *m_focus = nullptr;
    unsigned int m_nextId = 1;
    int m_preferredCodec = 0;
    int m_audioOptions = 15;
    bool m_echoMetric = false;
    vesk::IPlayer *m_player = nullptr;
};

} // namespace engine
