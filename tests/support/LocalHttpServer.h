#pragma once

#include <functional>

#include <QHash>
#include <QObject>
#include <QStringList>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

namespace tarvik::test {

// An HTTP server on 127.0.0.1 answering from a table of paths. It runs in the
// test's thread: the fetch under test spins an event loop of its own. Its
// pauses take real time, or, once PassTimeWith is given, pass that much of
// the test's time at once.
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
    // Lets the test's time pass instead of waiting: each pause passes its
    // length at once, and while the server keeps silent the time passes on
    // in steps until the connection ends.
    void PassTimeWith(std::function<void(int ms)> passTime) { passTime_ = std::move(passTime); }

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

    static bool Connected(const QTcpSocket* socket)
    {
        return socket->state() == QAbstractSocket::ConnectedState;
    }
    // Runs then after a pause of ms.
    void After(QTcpSocket* socket, int ms, std::function<void()> then)
    {
        if (!passTime_) {
            QTimer::singleShot(ms, socket, std::move(then));
            return;
        }
        QTimer::singleShot(0, socket, [this, socket, ms, then = std::move(then)] {
            if (!Connected(socket))
                return;
            passTime_(ms);
            if (Connected(socket))
                then();
        });
    }
    // With nothing on its way to the client, the test's time passes on.
    void KeepSilent(QTcpSocket* socket)
    {
        if (passTime_)
            After(socket, 25, [this, socket] { KeepSilent(socket); });
    }
    void TrickleOn(QTcpSocket* socket)
    {
        After(socket, 50, [this, socket] {
            Send(socket, "x");
            TrickleOn(socket);
        });
    }
    void SendPieces(QTcpSocket* socket, QByteArray body, qint64 sent)
    {
        After(socket, 60, [=, this] {
            const qint64 piece = body.size() / 10 + 1;
            Send(socket, body.mid(sent, piece));
            if (sent + piece >= body.size())
                socket->disconnectFromHost();
            else
                SendPieces(socket, body, sent + piece);
        });
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
            KeepSilent(socket);
            return;
        case AnnounceOnly:
            socket->write(Headers(route.status, route.announced));
            // The announcement alone ends the transfer; should it not, the
            // test's time passes on after a second of real time.
            if (passTime_)
                QTimer::singleShot(1000, socket, [this, socket] { KeepSilent(socket); });
            return;
        case CloseEarly:
            socket->write(Headers(route.status, route.body.size() + 1000));
            Send(socket, route.body.left(route.body.size() / 2));
            socket->disconnectFromHost();
            return;
        case Trickle:
            socket->write(Headers(route.status, -1));
            TrickleOn(socket);
            return;
        case SlowAnswer:
            socket->write(Headers(route.status, length));
            SendPieces(socket, route.body, 0);
            return;
        default:
            socket->write(Headers(route.status, length));
            Send(socket, route.body);
            socket->disconnectFromHost();
        }
    }

    QHash<QString, Route> routes_;
    std::function<void(int ms)> passTime_;
    // Last, so that its sockets go while the table above still exists.
    QTcpServer server_;
};

} // namespace tarvik::test
