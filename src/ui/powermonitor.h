#pragma once

#include <QDBusConnection>
#include <QObject>

// Tells when the machine is about to sleep and when it has woken up, from logind's PrepareForSleep
// signal on the system bus. Without a bus (containers, CI) it logs that once and stays silent.
class PowerMonitor : public QObject
{
    Q_OBJECT
public:
    enum State {
        Running = 0,
        Suspended = 1,
        Resumed = 2,
    };
    Q_ENUM(State)

    explicit PowerMonitor(QObject *parent = nullptr);
    // Listens on the given bus instead (tests use a private bus).
    PowerMonitor(const QDBusConnection &bus, QObject *parent = nullptr);

    bool isListening() const { return listening; }

    static QString service() { return QStringLiteral("org.freedesktop.login1"); }
    static QString path() { return QStringLiteral("/org/freedesktop/login1"); }
    static QString interface() { return QStringLiteral("org.freedesktop.login1.Manager"); }

signals:
    void powerStateChanged(int state);

private slots:
    void onPrepareForSleep(bool sleeping);

private:
    void listen(QDBusConnection bus);

    bool listening = false;
};
