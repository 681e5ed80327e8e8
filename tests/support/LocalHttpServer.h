#pragma once

#include <memory>

#include <QHash>
#include <QObject>
#include <QStringList>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

namespace tarvik::test {

// An HTTP server on 127.0.0.1 answering from a table of paths. It runs in the
// test's thread: the fetch under test spins an event loop of its own.
class LocalHttpServer : public QObject {
public:
    enum Behaviour {
        Answer,
        CloseEarly,  // headers and half the body, then the connection drops
        NeverAnswer, // accepts the request and stays silent
        Trickle,     // headers, then a byte every 50 ms, never finishing
        SlowAnswer,  // the body in ten pieces 60 ms apart
        AnnounceOnly // headers announcing `announced` bytes, then silence
    };
    struct Route {
        QByteArray body;
        int status = 200;
        int behaviour = Answer;
        qint64 announced = -1; // Content-Length for AnnounceOnly
        bool withLength = true;
    };

    bool Listen()
    {
        connect(&server_, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* socket = server_.nextPendingConnection()) {
                connect(socket, &QTcpSocket::readyRead, this, [this, socket] { Serve(socket); });
                connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
            }
        });
        return server_.listen(QHostAddress::LocalHost, 0);
    }
    QString Url(const QString& path) const
    {
        return QStringLiteral("http://127.0.0.1:%1%2").arg(server_.serverPort()).arg(path);
    }
    void Set(const QString& path, const Route& route) { routes_.insert(path, route); }

    QStringList requests;
    qint64 bodyBytesSent = 0;

private:
    static QByteArray Headers(int status, qint64 length)
    {
        QByteArray headers = "HTTP/1.1 " + QByteArray::number(status) + " X\r\n";
        if (length >= 0)
            headers += "Content-Length: " + QByteArray::number(length) + "\r\n";
        return headers + "Connection: close\r\n\r\n";
    }

    void Send(QTcpSocket* socket, const QByteArray& bytes)
    {
        bodyBytesSent += bytes.size();
        socket->write(bytes);
        socket->flush();
    }

    void Serve(QTcpSocket* socket)
    {
        if (!socket->peek(socket->bytesAvailable()).contains("\r\n\r\n"))
            return;
        const QByteArray request = socket->readAll();
        const QString path = QString::fromLatin1(request.split(' ').value(1));
        requests << path;
        const Route route = routes_.value(path, Route{"not found", 404});
        const qint64 length = route.withLength ? route.body.size() : -1;
        switch (route.behaviour) {
        case NeverAnswer:
            return;
        case AnnounceOnly:
            socket->write(Headers(route.status, route.announced));
            return;
        case CloseEarly:
            socket->write(Headers(route.status, route.body.size() + 1000));
            Send(socket, route.body.left(route.body.size() / 2));
            socket->disconnectFromHost();
            return;
        case Trickle: {
            socket->write(Headers(route.status, -1));
            auto* timer = new QTimer(socket);
            connect(timer, &QTimer::timeout, socket, [this, socket] { Send(socket, "x"); });
            timer->start(50);
            return;
        }
        case SlowAnswer: {
            socket->write(Headers(route.status, length));
            auto* timer = new QTimer(socket);
            const qint64 piece = route.body.size() / 10 + 1;
            auto sent = std::make_shared<qint64>(0);
            connect(timer, &QTimer::timeout, socket, [=, this] {
                Send(socket, route.body.mid(*sent, piece));
                *sent += piece;
                if (*sent >= route.body.size()) {
                    timer->stop();
                    socket->disconnectFromHost();
                }
            });
            timer->start(60);
            return;
        }
        default:
            socket->write(Headers(route.status, length));
            Send(socket, route.body);
            socket->disconnectFromHost();
        }
    }

    QHash<QString, Route> routes_;
    // Last, so that its sockets go while the table above still exists.
    QTcpServer server_;
};

} // namespace tarvik::test
