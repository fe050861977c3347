#pragma once

#include <QDateTime>

#include <functional>

// "Now" as a replaceable function, so that time-dependent rules can be tested without waiting.
using Clock = std::function<QDateTime()>;

inline Clock systemClock()
{
    return [] { return QDateTime::currentDateTime(); };
}
