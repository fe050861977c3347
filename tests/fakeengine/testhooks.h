#pragma once

// Helpers for tests of the talk wrappers and the phone controller: a recorder for deferred work and a
// capture of the log lines written meanwhile.

#include <QList>
#include <QMutex>
#include <QMutexLocker>
#include <QPointer>
#include <QString>
#include <QStringList>

#include <functional>

#include "talk/delayedcall.h"

// Collects the delayed calls instead of running them; the test runs them when it wants.
class DelayRecorder
{
public:
    struct Entry
    {
        int msecs;
        QPointer<QObject> context;
        std::function<void()> function;
    };

    talk::DelayedCall hook()
    {
        return [this](int msecs, QObject *context, std::function<void()> function) {
            entries.append({ msecs, context, std::move(function) });
        };
    }
    int count() const { return entries.size(); }
    bool isEmpty() const { return entries.isEmpty(); }
    QList<int> delays() const
    {
        QList<int> result;
        for (const Entry &entry : entries)
            result.append(entry.msecs);
        return result;
    }
    // Runs the oldest pending call (if its context still lives); returns its delay, -1 if none.
    int runNext()
    {
        if (entries.isEmpty())
            return -1;
        Entry entry = entries.takeFirst();
        if (entry.context)
            entry.function();
        return entry.msecs;
    }
    // Runs everything pending now, not what the runs schedule.
    void runPending()
    {
        for (int n = entries.size(); n > 0; --n)
            runNext();
    }
    void clear() { entries.clear(); }

private:
    QList<Entry> entries;
};

// Captures every log line while it lives (and still passes them on to the previous handler).
class LogCapture
{
public:
    LogCapture()
    {
        self() = this;
        previous = qInstallMessageHandler(&LogCapture::handler);
    }
    ~LogCapture()
    {
        qInstallMessageHandler(previous);
        self() = nullptr;
    }
    QStringList lines() const
    {
        QMutexLocker lock(&mutex);
        return captured;
    }
    QString all() const { return lines().join(QLatin1Char('\n')); }
    bool contains(const QString &text) const { return all().contains(text); }

private:
    static LogCapture *&self()
    {
        static LogCapture *instance = nullptr;
        return instance;
    }
    static void handler(QtMsgType type, const QMessageLogContext &context, const QString &message)
    {
        if (LogCapture *capture = self()) {
            {
                QMutexLocker lock(&capture->mutex);
                capture->captured.append(message);
            }
            if (capture->previous)
                capture->previous(type, context, message);
        }
    }

    mutable QMutex mutex;
    QStringList captured;
    QtMessageHandler previous = nullptr;
};
