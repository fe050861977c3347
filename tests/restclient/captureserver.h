#pragma once

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QUrl>

#include <functional>

// A plain-HTTP server on 127.0.0.1 (free port) that records every request it gets and answers as the
// test says: at once, the first request only when the test releases it (the others at once), or never.
class CaptureServer : public QObject
{
    Q_OBJECT
public:
    struct Request
    {
        QByteArray method;
        QByteArray target;
        QMap<QByteArray, QByteArray> headers; // names in lower case
        QByteArray body;
        bool hasContentLength = false;
    };
    struct Answer
    {
        int status = 200;
        QByteArray body;
    };
    enum Mode { AnswerAtOnce, HoldFirstAnswer, NeverAnswer };

    explicit CaptureServer(QObject *parent = nullptr) : QObject(parent)
    {
        connect(&server, &QTcpServer::newConnection, this, &CaptureServer::onNewConnection);
        server.listen(QHostAddress::LocalHost, 0);
    }

    QString baseUrl() const { return QStringLiteral("http://127.0.0.1:%1").arg(server.serverPort()); }
    void setMode(Mode m) { mode = m; }
    // Sends the answers held back so far.
    void release()
    {
        const QList<Pending> held = pending;
        pending.clear();
        for (const Pending &p : held)
            send(p);
    }
    void setAnswer(std::function<Answer(const Request &)> answerFor) { answer = std::move(answerFor); }
    QList<Request> requests;

signals:
    void requestReceived();

private:
    struct Pending
    {
        QPointer<QTcpSocket> socket;
        Answer answer;
    };

    void onNewConnection()
    {
        while (QTcpSocket *socket = server.nextPendingConnection()) {
            socket->setParent(this);
            connect(socket, &QTcpSocket::readyRead, this, [this, socket]() { onReadyRead(socket); });
        }
    }

    void onReadyRead(QTcpSocket *socket)
    {
        QByteArray &buffer = buffers[socket];
        buffer += socket->readAll();
        const int end = buffer.indexOf("\r\n\r\n");
        if (end < 0)
            return;
        Request request;
        const QList<QByteArray> lines = buffer.left(end).split('\n');
        const QList<QByteArray> first = lines.value(0).trimmed().split(' ');
        request.method = first.value(0);
        request.target = first.value(1);
        for (int i = 1; i < lines.size(); ++i) {
            const int colon = lines[i].indexOf(':');
            if (colon > 0)
                request.headers.insert(
                    lines[i].left(colon).trimmed().toLower(), lines[i].mid(colon + 1).trimmed());
        }
        request.hasContentLength = request.headers.contains("content-length");
        const int length = request.headers.value("content-length").toInt();
        if (buffer.size() < end + 4 + length)
            return;
        request.body = buffer.mid(end + 4, length);
        buffers.remove(socket);
        requests.append(request);
        const Pending reply { socket, answer ? answer(request) : Answer() };
        if (mode == NeverAnswer || (mode == HoldFirstAnswer && requests.size() == 1))
            pending.append(reply);
        else
            send(reply);
        emit requestReceived();
    }

    static void send(const Pending &p)
    {
        if (!p.socket)
            return;
        QByteArray text = "HTTP/1.1 " + QByteArray::number(p.answer.status) + " Answer\r\n";
        if (p.answer.status != 204)
            text += "Content-Type: application/json\r\nContent-Length: "
                + QByteArray::number(p.answer.body.size()) + "\r\n";
        text += "Connection: close\r\n\r\n";
        if (p.answer.status != 204)
            text += p.answer.body;
        p.socket->write(text);
        p.socket->flush();
        p.socket->disconnectFromHost();
    }

    QTcpServer server;
    Mode mode = AnswerAtOnce;
    std::function<Answer(const Request &)> answer;
    QMap<QTcpSocket *, QByteArray> buffers;
    QList<Pending> pending;
};
