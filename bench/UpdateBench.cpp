// Memory of the update download: a setup program of any size passes to disk
// in pieces, and one announced larger than allowed is refused before its
// body comes. Prints the peak resident memory after each case.
//
//   tarvik-update-bench [MEGABYTES]   (default 400; 600 is refused unread)
#include "config/ProgramInfo.h"
#include "diag/DebugLog.h"
#include "diag/ErrObject.h"
#include "diag/LogFile.h"
#include "update/UpdateChecker.h"
#include "update/UpdateHost.h"
#include "util/Clock.h"

#include <cstdio>
#include <sys/resource.h>

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QNetworkProxyFactory>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>

using namespace tarvik;

namespace {

long PeakMegabytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024;
}

// Serves a description offering version 999 and a setup program of the
// given size, made up as it is sent so that the server holds little.
class GeneratingServer : public QObject {
public:
    explicit GeneratingServer(qint64 setupBytes)
        : setupBytes_(setupBytes)
    {
        // The description publishes the setup program's checksum.
        QCryptographicHash hash(QCryptographicHash::Sha256);
        for (qint64 hashed = 0; hashed < setupBytes_; hashed += chunk_.size())
            hash.addData(QByteArrayView(chunk_).first(
                std::min<qint64>(chunk_.size(), setupBytes_ - hashed)));
        sha256_ = hash.result().toHex();
        connect(&server_, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* socket = server_.nextPendingConnection()) {
                connect(socket, &QTcpSocket::readyRead, this, [this, socket] { Serve(socket); });
                connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
            }
        });
        server_.listen(QHostAddress::LocalHost, 0);
    }
    QString Url(const char* path) const
    {
        return QStringLiteral("http://127.0.0.1:%1%2").arg(server_.serverPort()).arg(path);
    }

private:
    void Serve(QTcpSocket* socket)
    {
        const QByteArray request = socket->readAll();
        if (request.startsWith("GET /Update.ini")) {
            const QByteArray body =
                "[Tarvik]\r\nCurrentVersion=999\r\nUpdateFile=" + Url("/setup").toUtf8() +
                "\r\nUpdateFileSHA256=" + sha256_ + "\r\n";
            socket->write("HTTP/1.1 200 OK\r\nContent-Length: " + QByteArray::number(body.size()) +
                          "\r\nConnection: close\r\n\r\n" + body);
            socket->disconnectFromHost();
            return;
        }
        socket->write("HTTP/1.1 200 OK\r\nContent-Length: " + QByteArray::number(setupBytes_) +
                      "\r\nConnection: close\r\n\r\n");
        auto sent = std::make_shared<qint64>(0);
        const QByteArray chunk = chunk_;
        const auto more = [socket, sent, chunk, this] {
            while (socket->bytesToWrite() < 2 * chunk.size() && *sent < setupBytes_) {
                const qint64 piece = std::min<qint64>(chunk.size(), setupBytes_ - *sent);
                socket->write(chunk.constData(), piece);
                *sent += piece;
            }
            if (*sent >= setupBytes_ && socket->bytesToWrite() == 0)
                socket->disconnectFromHost();
        };
        connect(socket, &QTcpSocket::bytesWritten, socket, more);
        more();
    }

    qint64 setupBytes_;
    const QByteArray chunk_ = QByteArray(256 * 1024, 'x');
    QByteArray sha256_;
    QTcpServer server_;
};

class Host final : public UpdateHost {
public:
    void SetStatusMessage(const QString& text) override { status = text; }
    void ClearErrorList() override {}
    void AddErrorLine(const QString& line) override { last = line; }
    bool ErrorListEmpty() const override { return true; }
    void SetBusy(bool) override {}
    void ShowErrors() override {}
    void ShowInfo() override {}
    void NoteAutomaticChecksOff(const QString&) override {}
    void ShowInformation(const QString&) override {}
    void ShowExclamation(const QString& text) override { last = text; }
    // Download: yes; install: no.
    bool AskYesNo(const QString& text) override { return text.contains("download it now"); }
    void QuitNow() override {}

    QString status;
    QString last;
};

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QNetworkProxyFactory::setUseSystemConfiguration(false);
    const qint64 megabytes = argc > 1 ? std::atoll(argv[1]) : 400;

    QTemporaryDir dir;
    SystemClock clock;
    ErrObject lastError;
    LogFile file(clock, lastError, dir.path().toStdString(), "bench");
    DebugLog debug(file);
    GeneratingServer server(megabytes * 1024 * 1024);
    QFile config(dir.filePath("Tarvik.ini"));
    if (!config.open(QIODevice::WriteOnly))
        return 1;
    config.write("[Updates]\r\nURL=" + server.Url("/Update.ini").toUtf8() + "\r\n");
    config.close();

    Host host;
    UpdateCheckerSettings settings;
    settings.programDirectory = dir.path();
    settings.configuration = ConfigurationFile(config.fileName().toStdString());
    // The local server speaks plain http.
    settings.trust.TrustPlainHttp(QUrl(server.Url("/")));
    UpdateChecker checker(host, debug, lastError, clock, settings);

    const long before = PeakMegabytes();
    QElapsedTimer timer;
    timer.start();
    checker.UpdateConfig(true);
    std::printf("setup program of %lld MB: %s\n", static_cast<long long>(megabytes),
                qPrintable(host.status));
    std::printf("  last line: %s\n", qPrintable(host.last));
    std::printf("  on disk: %lld bytes, %.1f s\n",
                static_cast<long long>(QFileInfo(checker.SetupProgramPath()).size()),
                static_cast<double>(timer.elapsed()) / 1000.0);
    std::printf("  peak resident memory: %ld MB before, %ld MB after\n", before, PeakMegabytes());
    return 0;
}
