#pragma once

#include <QObject>
#include <QTimer>

#include <functional>

namespace talk {

// Runs a function once after a delay, unless the context object is gone by then. The talk classes
// take their deferred work through this, so that tests can see each delay and run it at once.
using DelayedCall = std::function<void(int msecs, QObject *context, std::function<void()> function)>;

inline DelayedCall qtDelayedCall()
{
    return [](int msecs, QObject *context, std::function<void()> function) {
        QTimer::singleShot(msecs, context, std::move(function));
    };
}

} // namespace talk
