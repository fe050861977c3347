#pragma once

#include <QList>
#include <QObject>
#include <QString>

#include "talk/connectioninfo.h"
#include "talk/jid.h"
#include "talk/veskmetatypes.h"

namespace talk {

// A call as the program sees it: progress signals, each carrying the call itself, and the operations
// on it. Everybody but the media engine holds calls as `const talk::Call*`, valid from the media
// engine's callCreated to its callDestroyed.
class Call : public QObject
{
    Q_OBJECT
public:
    // The engine's view of a call's state.
    enum State {
        New = 0,
        Initiating = 1,
        Ringing = 2,
        Active = 3,
        Ended = 4,
    };
    Q_ENUM(State)

    explicit Call(QObject *parent = nullptr) : QObject(parent) { }

    virtual State state() const = 0;
    virtual bool isOnHold() const = 0;
    // Placed by the other side.
    virtual bool isIncoming() const = 0;
    virtual Jid remoteJid() const = 0;
    // The engine's call number, for the logs.
    virtual unsigned int id() const = 0;
    virtual int durationSeconds() const = 0;
    virtual QList<ConnectionInfo> connectionInfos() const = 0;

public slots:
    virtual bool accept(bool withVideo) = 0;
    bool accept() { return accept(false); }
    virtual bool reject() = 0;
    virtual void hangup() = 0;
    virtual void setMuted(bool on) = 0;
    void setMuted() { setMuted(true); }
    virtual void startConnectionMonitor(int refreshMs) = 0;
    void startConnectionMonitor() { startConnectionMonitor(1500); }
    virtual bool startRecordingPlayout(QString file) = 0;
    virtual bool stopRecordingPlayout() = 0;
    // One of "0123456789*#"; any other character is ignored.
    virtual void sendDTMF(QChar code) = 0;

signals:
    void sessionInitiated(const talk::Call *self);
    void incomingCallAccepted(const talk::Call *self);
    void accepted(const talk::Call *self);
    void rejected(const talk::Call *self);
    void progressStarted(const talk::Call *self);
    void hungup(const talk::Call *self, vesk::HANGUP_REASON reason);
    void connectionMonitor(QList<talk::ConnectionInfo> connections, const talk::Call *self);
};

} // namespace talk

Q_DECLARE_METATYPE(const talk::Call *)
