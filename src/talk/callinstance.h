#pragma once

#include <QString>

#include <memory>

#include "talk/call.h"

namespace vesk {
class ICallInstance;
}

namespace talk {

// A call over one engine call object. There is one wrapper per engine call, made by wrap() and
// dropped by release() when the engine destroys the call.
class CallInstance : public Call
{
    Q_OBJECT
public:
    ~CallInstance() override;

    // The one wrapper of this engine call, created on first use; null for a null call.
    static Call *wrap(vesk::ICallInstance *call);
    // The wrapper of this engine call if it has one; creates nothing.
    static Call *find(vesk::ICallInstance *call);
    // The engine is about to destroy the call: forget the wrapper, cut it off from the engine and
    // delete it once control is back in the event loop (a slot up the stack may still run on it).
    static void release(vesk::ICallInstance *call);
    // How many wrappers are alive in the hash.
    static int wrapperCount();

    static QString dtmfAlphabet() { return QStringLiteral("0123456789*#"); }
    // The engine event for a DTMF character, -1 for one outside the alphabet.
    static int dtmfEvent(QChar code);

    using Call::accept;
    using Call::setMuted;
    using Call::startConnectionMonitor;

    State state() const override;
    bool isOnHold() const override;
    bool isIncoming() const override;
    Jid remoteJid() const override;
    unsigned int id() const override;
    int durationSeconds() const override;
    QList<ConnectionInfo> connectionInfos() const override;

public slots:
    bool accept(bool withVideo) override;
    bool reject() override;
    void hangup() override;
    void setMuted(bool on) override;
    void startConnectionMonitor(int refreshMs) override;
    bool startRecordingPlayout(QString file) override;
    bool stopRecordingPlayout() override;
    void sendDTMF(QChar code) override;

private:
    explicit CallInstance(vesk::ICallInstance *call);

    class Private;
    std::unique_ptr<Private> d;
};

} // namespace talk
