#include "history.h"

#include "history/callhistory.h"
#include "history/loginhistory.h"
#include "numbers/numberhistory.h"

History::History(QObject *parent) : QObject(parent) { }

CallHistory *History::callHistory()
{
    if (!calls) {
        calls = new CallHistory(this);
        calls->setContactNameLookup(nameLookup);
        calls->setClock(now);
    }
    return calls;
}

LoginHistory *History::loginHistory()
{
    if (!logins)
        logins = new LoginHistory(this);
    return logins;
}

NumberHistory *History::numberHistory()
{
    if (!numbers) {
        numbers = new NumberHistory(this);
        numbers->setClock(now);
    }
    return numbers;
}

void History::setContactNameLookup(const ContactNameLookup *lookup)
{
    nameLookup = lookup;
    if (calls)
        calls->setContactNameLookup(lookup);
}

void History::setClock(Clock clock)
{
    now = std::move(clock);
    if (calls)
        calls->setClock(now);
    if (numbers)
        numbers->setClock(now);
}
