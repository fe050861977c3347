#pragma once

#include <QObject>
#include <QSocketNotifier>

#include <memory>

// Turns SIGINT and SIGTERM into a Qt signal on the thread that owns the watcher. The signal handler
// only writes the signal number into a socket pair; everything else happens in the event loop.
// One watcher per process.
class UnixSignalWatcher : public QObject
{
    Q_OBJECT
public:
    explicit UnixSignalWatcher(QObject *parent = nullptr);
    ~UnixSignalWatcher() override;

    // Starts watching SIGINT and SIGTERM; false when the socket pair or handlers cannot be set up.
    bool watchTerminationSignals();

signals:
    void terminationRequested(int signalNumber);

private:
    void onReadable();

    std::unique_ptr<QSocketNotifier> notifier;
};
