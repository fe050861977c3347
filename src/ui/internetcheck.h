#pragma once

#include <QObject>
#include <QPointer>
#include <QUrl>

#include <QTcpSocket>
class QTimer;

// Answers "is the internet there?" the honest way: by opening a TCP connection to the service's web
// host, given up after a short timeout. One check at a time; finished() reports each.
class InternetCheck : public QObject
{
    Q_OBJECT
public:
    explicit InternetCheck(QObject *parent = nullptr);

    // The host and port of url (443 for https, 80 for http unless it names a port).
    void setTarget(const QUrl &url);
    QUrl target() const { return url; }
    void setTimeout(int msecs) { timeoutMsecs = msecs; }

    // The service's account URL of the current brand.
    static QUrl defaultTarget();

    bool isRunning() const { return socket != nullptr; }

public slots:
    // Starts a check unless one is running.
    void start();

signals:
    void finished(bool connected);

private:
    void finish(bool connected);

    QUrl url;
    int timeoutMsecs = 3000;
    QPointer<QTcpSocket> socket;
    QTimer *timer = nullptr;
};
