#pragma once

#include <QObject>
#include <QPointer>

#include "util/clock.h"

class CallHistory;
class ContactNameLookup;
class LoginHistory;
class NumberHistory;

// The three local history stores, each created on first use. The database must be open (the
// object factory opens it when it creates this object).
class History : public QObject
{
    Q_OBJECT
public:
    explicit History(QObject *parent = nullptr);

    CallHistory *callHistory();
    LoginHistory *loginHistory();
    NumberHistory *numberHistory();

    // Handed on to the call history. Not owned; reset it to null before the lookup goes away.
    void setContactNameLookup(const ContactNameLookup *lookup);
    // "Now" for new rows, handed on to the stores.
    void setClock(Clock clock);

private:
    QPointer<CallHistory> calls;
    QPointer<LoginHistory> logins;
    QPointer<NumberHistory> numbers;
    const ContactNameLookup *nameLookup = nullptr;
    Clock now = systemClock();
};
