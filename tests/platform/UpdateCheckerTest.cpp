#include "update/UpdateChecker.h"

#include "DebugCapture.h"
#include "app/IniFile.h"
#include "update/OfferedVersion.h"
#include "update/UpdateHost.h"

#include <memory>

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QNetworkProxyFactory>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>

using namespace tarvik;

namespace {

// An HTTP server on 127.0.0.1 answering from a table of paths. It runs in the
// test's thread: the fetch under test spins an event loop of its own.
class HttpServer : public QObject {
public:
    enum Behaviour {
        Answer,
        CloseEarly, // headers and half the body, then the connection drops
        NeverAnswer,
    };
    struct Route {
        QByteArray body;
        int status = 200;
        int behaviour = Answer;
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

private:
    void Serve(QTcpSocket* socket)
    {
        if (!socket->peek(socket->bytesAvailable()).contains("\r\n\r\n"))
            return;
        const QByteArray request = socket->readAll();
        const QString path = QString::fromLatin1(request.split(' ').value(1));
        requests << path;
        const Route route = routes_.value(path, Route{"not found", 404});
        if (route.behaviour == NeverAnswer)
            return;
        const bool early = route.behaviour == CloseEarly;
        socket->write("HTTP/1.1 " + QByteArray::number(route.status) + " X\r\nContent-Length: " +
                      QByteArray::number(route.body.size() + (early ? 1000 : 0)) +
                      "\r\nConnection: close\r\n\r\n" +
                      (early ? route.body.left(route.body.size() / 2) : route.body));
        socket->flush();
        socket->disconnectFromHost();
    }

    QHash<QString, Route> routes_;
    // Last, so that its sockets go while the table above still exists.
    QTcpServer server_;
};

// The main window as the update check sees it.
class FakeHost final : public UpdateHost {
public:
    void SetStatusMessage(const QString& text) override { status = text; }
    void ClearErrorList() override { errorLines.clear(); }
    void AddErrorLine(const QString& line) override { errorLines << line; }
    void SetBusy(bool on, MainTab) override { busy = on; }
    void ShowCritical(const QString&) override {}
    void ShowExclamation(const QString& text) override { exclamations << text; }
    bool AskYesNo(const QString& text) override
    {
        questions << text;
        return !answers.isEmpty() && answers.takeFirst();
    }
    void QuitNow() override { ++quits; }

    QString status;
    QStringList errorLines;
    QStringList exclamations;
    QStringList questions;
    QList<bool> answers;
    bool busy = false;
    int quits = 0;
};

const QString UpToDate =
    QStringLiteral("Tarvik is up to date.  (Check transfer log on the errors tab.)");
const QString Throttled = QStringLiteral("Tarvik checked for updates 59 minutes ago.");
const QString CheckTime = QStringLiteral("06/01/2026 12:00:00 PM");

QByteArray Description(const QByteArray& version, const QString& setupUrl,
                       const QByteArray& extra = {})
{
    return "[Tarvik]\r\nCurrentVersion=" + version + "\r\nUpdateFile=" + setupUrl.toUtf8() +
           "\r\n" + extra;
}

QByteArray ReadAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(missing)");
}

void Write(const QString& path, const QByteArray& contents)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(contents);
}

} // namespace

class UpdateCheckerTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> dir;
    std::unique_ptr<HttpServer> server;
    std::unique_ptr<FakeHost> host;
    test::DebugCapture debug;
    ManualClock clock;
    ErrObject lastError;
    std::unique_ptr<UpdateChecker> checker;

    QString ConfigPath() const { return dir->filePath("Tarvik.ini"); }
    QString DescriptionPath() const { return dir->filePath("Update.ini"); }
    QString SetupPath() const { return dir->filePath("Tarvik_setup"); }
    QString MarkerPath() const { return dir->filePath("setup-ran"); }
    QString LastCheck() const
    {
        return QString::fromStdString(
            ReadINI(ConfigPath().toStdString(), "Updates", "LastUpdateCheck"));
    }
    void MakeChecker(std::chrono::milliseconds idleTimeout)
    {
        UpdateCheckerSettings settings;
        settings.programDirectory = dir->path();
        settings.configuration = ConfigurationFile(ConfigPath().toStdString());
        settings.runningVersion = {1, 40, 7};
        settings.limits.idleTimeout = idleTimeout;
        checker = std::make_unique<UpdateChecker>(*host, debug.Log(), lastError, clock, settings);
    }

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        // A proxy from the environment must not stand in front of the local server.
        QNetworkProxyFactory::setUseSystemConfiguration(false);
    }

    void init()
    {
        dir = std::make_unique<QTemporaryDir>();
        QVERIFY(dir->isValid());
        server = std::make_unique<HttpServer>();
        QVERIFY(server->Listen());
        host = std::make_unique<FakeHost>();
        Write(ConfigPath(), "[Updates]\r\nURL=" + server->Url("/Update.ini").toUtf8() +
                                "\r\nLastUpdateCheck=\r\n");
        MakeChecker(std::chrono::seconds(30));
    }

    void offeredVersionAgainstTheRunningVersion_data()
    {
        QTest::addColumn<QString>("offered");
        QTest::addColumn<bool>("newer");
        QTest::newRow("1.40") << "1.40" << false;
        QTest::newRow("1.41") << "1.41" << true;
        QTest::newRow("1.40.8") << "1.40.8" << true;
        QTest::newRow("2") << "2" << true;
        QTest::newRow("1.40.7") << "1.40.7" << false;
        QTest::newRow("1.41.0 (revision lower)") << "1.41.0" << true;
    }
    void offeredVersionAgainstTheRunningVersion()
    {
        QFETCH(QString, offered);
        QFETCH(bool, newer);
        QCOMPARE(CompareOfferedVersion(offered.toStdString(), {1, 40, 7}),
                 newer ? OfferedVersion::Newer : OfferedVersion::UpToDate);
    }

    void checkThrottledByTheLastCheckAndRecorded_data()
    {
        QTest::addColumn<QString>("lastCheck");
        QTest::addColumn<bool>("force");
        QTest::addColumn<bool>("moved"); // the last description gives a new address
        QTest::addColumn<QByteArray>("served");
        QTest::addColumn<QString>("status");
        const QByteArray current = Description("1.40.7", "http://127.0.0.1:1/setup");
        const QString corrupt = "Program update file is corrupt, update aborted.";
        const char* hour = "06/01/2026 11:00:00 AM";
        QTest::newRow("59 minutes")
            << "06/01/2026 11:00:30 AM" << false << false << current << Throttled;
        QTest::newRow("59 minutes, forced")
            << "06/01/2026 11:01:00 AM" << true << false << current << UpToDate;
        QTest::newRow("60 minutes") << hour << false << false << current << UpToDate;
        QTest::newRow("not a date") << "last Tuesday" << false << false << current << UpToDate;
        QTest::newRow("in the future")
            << "06/02/2026 12:00:00 PM" << false << false << current << UpToDate;
        QTest::newRow("moved address") << hour << false << true << current << UpToDate;
        // A corrupt description still counts as a check.
        QTest::newRow("no setup address")
            << hour << false << false << Description("1.41", "   ") << corrupt;
        QTest::newRow("bad version")
            << hour << false << false << Description("one.41", "x") << corrupt;
        QTest::newRow("not an INI file")
            << hour << false << false << QByteArray("<html>Moved</html>") << corrupt;
    }
    void checkThrottledByTheLastCheckAndRecorded()
    {
        QFETCH(QString, lastCheck);
        QFETCH(bool, force);
        QFETCH(bool, moved);
        QFETCH(QByteArray, served);
        QFETCH(QString, status);
        QVERIFY(WriteINI(ConfigPath().toStdString(), "Updates", "LastUpdateCheck",
                         lastCheck.toStdString()));
        const QString path = moved ? "/v2/Update.ini" : "/Update.ini";
        const QByteArray old = moved
                                   ? "[Tarvik]\r\nUpdateURL=" + server->Url(path).toUtf8() + "\r\n"
                                   : QByteArray("old");
        Write(DescriptionPath(), old);
        server->Set(path, {served});

        QVERIFY(checker->UpdateConfig(force));

        const bool checks = status != Throttled;
        QCOMPARE(server->requests, checks ? QStringList{path} : QStringList());
        QCOMPARE(ReadAll(DescriptionPath()), checks ? served : old);
        QCOMPARE(ReadAll(DescriptionPath() + ".bak"), checks ? old : QByteArray("(missing)"));
        QCOMPARE(LastCheck(), checks ? CheckTime : lastCheck);
        QCOMPARE(host->status, status);
        QVERIFY(host->questions.isEmpty());
    }

    void failedFetchLeavesTheOldFilesAndTheThrottleAlone_data()
    {
        QTest::addColumn<int>("behaviour");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("reason");
        QTest::newRow("server closes early") << int(HttpServer::CloseEarly) << 200 << QString();
        QTest::newRow("server never answers") << int(HttpServer::NeverAnswer) << 200
                                              << "No answer from 127.0.0.1 within 0.3 seconds.";
        QTest::newRow("not found") << int(HttpServer::Answer) << 404 << QString();
    }
    void failedFetchLeavesTheOldFilesAndTheThrottleAlone()
    {
        QFETCH(int, behaviour);
        QFETCH(int, status);
        QFETCH(QString, reason);
        MakeChecker(std::chrono::milliseconds(300));
        const QByteArray old = Description("1.40.7", "http://old/setup");
        Write(DescriptionPath(), old);
        server->Set("/Update.ini",
                    {Description("1.41", "http://127.0.0.1:1/setup"), status, behaviour});

        QVERIFY(checker->UpdateConfig(false));

        QCOMPARE(ReadAll(DescriptionPath()), old);
        // No backup and no half-written temporary file either.
        QCOMPARE(QDir(dir->path()).entryList(QDir::Files | QDir::Hidden),
                 (QStringList{"Tarvik.ini", "Update.ini"}));
        QCOMPARE(host->status, "Program update check failed.");
        QCOMPARE(LastCheck(), QString());
        QVERIFY(!host->busy);
        QVERIFY(host->errorLines.last().startsWith(
            "WARNING:  An error occurred while communicating with the remote host.\t" + reason));
    }

    // Offers 1.41 with a setup program (empty body: one that leaves a mark when
    // it runs); questions is how many the user was asked, offer then install.
    void setupRunsOnlyWhenDownloadedIntactAndAccepted_data()
    {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<int>("behaviour");
        QTest::addColumn<int>("checksum"); // 0 none published, 1 matching, 2 another file's
        QTest::addColumn<bool>("accept");
        QTest::addColumn<bool>("install");
        QTest::addColumn<int>("questions");
        QTest::addColumn<QString>("message");
        const int ok = HttpServer::Answer;
        QTest::newRow("no checksum") << QByteArray() << ok << 0 << true << true << 2 << QString();
        QTest::newRow("matching checksum")
            << QByteArray() << ok << 1 << true << true << 2 << QString();
        QTest::newRow("install declined")
            << QByteArray() << ok << 1 << true << false << 2 << QString();
        QTest::newRow("update declined")
            << QByteArray() << ok << 0 << false << true << 1 << QString();
        QTest::newRow("checksum mismatch")
            << QByteArray() << ok << 2 << true << true << 1
            << "The downloaded update does not match its published checksum and will not be run.";
        QTest::newRow("server closes early") << QByteArray() << int(HttpServer::CloseEarly) << 0
                                             << true << true << 1 << "The download failed!";
        QTest::newRow("not a program")
            << QByteArray("\177ELF but not a program") << ok << 0 << true << true << 2
            << "An error occurred while running the installation.";
    }
    void setupRunsOnlyWhenDownloadedIntactAndAccepted()
    {
        QFETCH(QByteArray, body);
        QFETCH(int, behaviour);
        QFETCH(int, checksum);
        QFETCH(bool, accept);
        QFETCH(bool, install);
        QFETCH(int, questions);
        QFETCH(QString, message);
        const QByteArray setup =
            body.isEmpty() ? "#!/bin/sh\necho ran > '" + MarkerPath().toUtf8() + "'\n" : body;
        const QByteArray hash = QCryptographicHash::hash(
            checksum == 1 ? setup : QByteArray("another file"), QCryptographicHash::Sha256);
        server->Set(
            "/Update.ini",
            {Description("1.41", server->Url("/setup"),
                         checksum ? "UpdateFileSHA256=" + hash.toHex() + "\r\n" : QByteArray())});
        server->Set("/setup", {setup, 200, behaviour});
        Write(SetupPath(), "previous setup");
        host->answers = {accept, install};

        QVERIFY(checker->UpdateConfig(false));

        const bool downloaded = questions == 2;
        const bool backedUp = downloaded && install;
        const bool runs = backedUp && message.isEmpty();
        QCOMPARE(host->questions.size(), questions);
        QCOMPARE(host->exclamations, message.isEmpty() ? QStringList() : QStringList{message});
        QCOMPARE(ReadAll(SetupPath()), downloaded ? setup : QByteArray("previous setup"));
        QCOMPARE(ReadAll(ConfigPath() + ".bak"),
                 backedUp ? ReadAll(ConfigPath()) : QByteArray("(missing)"));
        QCOMPARE(host->quits, runs ? 1 : 0);
        // Tarvik ends with the window still disabled.
        QCOMPARE(host->busy, runs);
        if (runs) {
            QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(MarkerPath()), 10000);
        } else {
            QTest::qWait(200);
            QVERIFY(!QFile::exists(MarkerPath()));
        }
    }
};

QTEST_GUILESS_MAIN(UpdateCheckerTest)
#include "UpdateCheckerTest.moc"
