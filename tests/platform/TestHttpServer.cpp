#include "TestHttpServer.h"

#include <QTcpSocket>

bool TestHttpServer::Listen()
{
    connect(&server_, &QTcpServer::newConnection, this, &TestHttpServer::OnConnection);
    return server_.listen(QHostAddress::LocalHost, 0);
}

QString TestHttpServer::Url(const QString& path) const
{
    return QStringLiteral("http://127.0.0.1:%1%2").arg(server_.serverPort()).arg(path);
}

void TestHttpServer::OnConnection()
{
    while (QTcpSocket* socket = server_.nextPendingConnection()) {
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { OnReadable(socket); });
        connect(socket, &QTcpSocket::disconnected, this, [this, socket] {
            pending_.remove(socket);
            socket->deleteLater();
        });
    }
}

void TestHttpServer::OnReadable(QTcpSocket* socket)
{
    QByteArray& request = pending_[socket];
    request += socket->readAll();
    if (!request.contains("\r\n\r\n"))
        return;
    const QList<QByteArray> words = request.left(request.indexOf("\r\n")).split(' ');
    const QString path = words.size() > 1 ? QString::fromLatin1(words[1]) : QString();
    request.clear();
    requests_.append(path);

    const auto found = routes_.constFind(path);
    const Route route = found != routes_.constEnd() ? *found : Route{"not found", 404};
    if (route.behaviour == Behaviour::NeverAnswer)
        return;

    const bool early = route.behaviour == Behaviour::CloseEarly;
    const QByteArray body = early ? route.body.left(route.body.size() / 2) : route.body;
    const qsizetype announced = early ? route.body.size() + 1000 : route.body.size();
    QByteArray response = "HTTP/1.1 " + QByteArray::number(route.status) +
                          (route.status == 200 ? " OK" : " Error") + "\r\n";
    response += "Content-Type: application/octet-stream\r\n";
    response += "Content-Length: " + QByteArray::number(announced) + "\r\n";
    response += "Connection: close\r\n\r\n";
    response += body;
    socket->write(response);
    if (early)
        socket->flush();
    socket->disconnectFromHost();
}
