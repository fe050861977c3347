#pragma once

#include <QDateTime>
#include <QMetaType>
#include <QString>
#include <QTime>

// One row of the call history.
struct CallHistoryEvent
{
    enum EventType {
        IncomingCall = 0,
        OutgoingCall = 1,
        MissedCall = 2,
        Sms = 3,
    };

    int type = IncomingCall;
    QDateTime timestamp;
    QString number;
    // The contact's nick for the number when the history was loaded; empty if none.
    QString name;
    // Null until set.
    QTime duration;
    // An outgoing call: only those show a duration.
    bool isTypeOne = false;
};

Q_DECLARE_METATYPE(CallHistoryEvent)
