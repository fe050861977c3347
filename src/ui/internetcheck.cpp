#include "ui/internetcheck.h"

#include <QTcpSocket>
#include <QTimer>

#include "serviceurls.h"
#include "util/log.h"

InternetCheck::InternetCheck(QObject *parent) : QObject(parent), url(defaultTarget()), timer(new QTimer(this))
{
    timer->setSingleShot(true);
    connect(timer, &QTimer::timeout, this, [this]() { finish(false); });
}

QUrl InternetCheck::defaultTarget()
{
    return QUrl(ServiceUrls::load().accountServiceBaseURL);
}

void InternetCheck::setTarget(const QUrl &target)
{
    url = target;
}

void InternetCheck::start()
{
    if (socket)
        return;
    const int defaultPort = url.scheme() == QLatin1String("http") ? 80 : 443;
    if (url.host().isEmpty()) {
        LOG_WARNING << "No web host to check the connection against";
        QTimer::singleShot(0, this, [this]() { emit finished(false); });
        return;
    }
    socket = new QTcpSocket(this);
    connect(socket, &QTcpSocket::connected, this, [this]() { finish(true); });
    connect(
        socket, &QTcpSocket::errorOccurred, this, [this](QAbstractSocket::SocketError) { finish(false); });
    timer->start(timeoutMsecs);
    socket->connectToHost(url.host(), quint16(url.port(defaultPort)));
}

void InternetCheck::finish(bool connected)
{
    if (!socket)
        return;
    timer->stop();
    LOG_TRACE << "InternetCheckConnection:" << connected << url.host() << url.port();
    QTcpSocket *done = socket;
    socket = nullptr;
    done->abort();
    done->deleteLater();
    emit finished(connected);
}
