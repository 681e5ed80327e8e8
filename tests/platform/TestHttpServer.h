#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTcpServer>

class QTcpSocket;

// A small HTTP/1.1 server on 127.0.0.1 that answers from a table of paths.
// It runs in the test's thread: the fetch under test spins an event loop of
// its own, which serves it.
class TestHttpServer : public QObject {
    Q_OBJECT

public:
    enum class Behaviour {
        Answer,      // the whole response, then the connection closes
        CloseEarly,  // headers and part of the body, then the connection drops
        NeverAnswer, // reads the request and says nothing
    };
    struct Route {
        QByteArray body;
        int status = 200;
        Behaviour behaviour = Behaviour::Answer;
    };

    bool Listen();
    QString Url(const QString& path) const;
    void SetRoute(const QString& path, Route route) { routes_.insert(path, std::move(route)); }
    void SetBody(const QString& path, const QByteArray& body) { SetRoute(path, {body}); }
    // Paths asked for, in order.
    const QStringList& Requests() const { return requests_; }

private:
    void OnConnection();
    void OnReadable(QTcpSocket* socket);

    QHash<QString, Route> routes_;
    QHash<QTcpSocket*, QByteArray> pending_;
    QStringList requests_;
    // Last, so that its sockets go while the tables above still exist.
    QTcpServer server_;
};
