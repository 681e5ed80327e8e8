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
    void ShowCritical(const QString& text) override { criticals << text; }
    void ShowExclamation(const QString& text) override { exclamations << text; }
    bool AskYesNo(const QString& text) override
    {
        questions << text;
        return !answers.isEmpty() && answers.takeFirst();
    }
    void QuitNow() override { ++quits; }

    QString status;
    QStringList errorLines;
    QStringList criticals;
    QStringList exclamations;
    QStringList questions;
    QList<bool> answers;
    bool busy = false;
    int quits = 0;
};

const QString UpToDate =
    QStringLiteral("Tarvik is up to date.  (Check transfer log on the errors tab.)");
const QString CheckFailed = QStringLiteral("Program update check failed.");
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

QByteArray Sha256Line(const QByteArray& data)
{
    return "UpdateFileSHA256=" +
           QCryptographicHash::hash(data, QCryptographicHash::Sha256).toHex() + "\r\n";
}

} // namespace

class UpdateCheckerTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> dir;
    std::unique_ptr<HttpServer> server;
    std::unique_ptr<FakeHost> host;
    std::unique_ptr<test::DebugCapture> debug;
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
        settings.configurationFile = ConfigPath();
        settings.runningVersion = {1, 40, 7};
        settings.limits.idleTimeout = idleTimeout;
        checker = std::make_unique<UpdateChecker>(*host, debug->Log(), lastError, clock, settings);
    }
    // A setup program that leaves a mark when it runs.
    QByteArray SetupScript() const
    {
        return "#!/bin/sh\necho ran > '" + MarkerPath().toUtf8() + "'\n";
    }
    // Offers 1.41 with the given setup program; the user says yes twice.
    void OfferSetup(const HttpServer::Route& setup, const QByteArray& extra = {})
    {
        server->Set("/Update.ini", {Description("1.41", server->Url("/setup"), extra)});
        server->Set("/setup", setup);
        Write(SetupPath(), "previous setup");
        host->answers = {true, true};
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
        debug = std::make_unique<test::DebugCapture>();
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

    void upToDateOrThrottledByTheLastCheck_data()
    {
        QTest::addColumn<QString>("lastCheck");
        QTest::addColumn<bool>("force");
        QTest::addColumn<bool>("checks");
        QTest::newRow("59 minutes") << "06/01/2026 11:00:30 AM" << false << false;
        QTest::newRow("59 minutes, forced") << "06/01/2026 11:01:00 AM" << true << true;
        QTest::newRow("60 minutes") << "06/01/2026 11:00:00 AM" << false << true;
        QTest::newRow("not a date") << "last Tuesday" << false << true;
        QTest::newRow("in the future") << "06/02/2026 12:00:00 PM" << false << true;
    }
    void upToDateOrThrottledByTheLastCheck()
    {
        QFETCH(QString, lastCheck);
        QFETCH(bool, force);
        QFETCH(bool, checks);
        QVERIFY(WriteINI(ConfigPath().toStdString(), "Updates", "LastUpdateCheck",
                         lastCheck.toStdString()));
        Write(DescriptionPath(), "old");
        const QByteArray served = Description("1.40.7", server->Url("/setup"));
        server->Set("/Update.ini", {served});

        QVERIFY(checker->UpdateConfig(force));

        QCOMPARE(server->requests.size(), checks ? 1 : 0);
        QCOMPARE(ReadAll(DescriptionPath()), checks ? served : QByteArray("old"));
        QCOMPARE(ReadAll(DescriptionPath() + ".bak"), checks ? "old" : QByteArray("(missing)"));
        QCOMPARE(LastCheck(), checks ? CheckTime : lastCheck);
        QCOMPARE(host->status,
                 checks ? UpToDate : QStringLiteral("Tarvik checked for updates 59 minutes ago."));
        QVERIFY(host->questions.isEmpty());
        QVERIFY(!host->busy);
        if (checks)
            QCOMPARE(host->errorLines.last(), "  Request and response completed successfully.");
    }

    void menuAsksFirstThenChecksDespiteTheThrottle()
    {
        QVERIFY(WriteINI(ConfigPath().toStdString(), "Updates", "LastUpdateCheck",
                         "06/01/2026 11:59:00 AM"));
        server->Set("/Update.ini", {Description("1.40.7", server->Url("/setup"))});
        host->answers = {false, true};
        checker->CheckOnRequest();
        QVERIFY(server->requests.isEmpty());
        checker->CheckOnRequest();
        QCOMPARE(host->questions.size(), 2);
        QCOMPARE(server->requests.size(), 1);
    }

    void missingAddressIsCritical()
    {
        Write(ConfigPath(), "[Updates]\r\nURL=\r\n");
        QVERIFY(!checker->UpdateConfig(true));
        QCOMPARE(host->criticals.size(), 1);
        QVERIFY(!host->busy);
    }

    void descriptionAddressRedirectsLaterChecks()
    {
        Write(DescriptionPath(),
              "[Tarvik]\r\nUpdateURL=" + server->Url("/v2/Update.ini").toUtf8() + "\r\n");
        server->Set("/v2/Update.ini", {Description("1.40.7", server->Url("/setup"))});

        QVERIFY(checker->UpdateConfig(true));
        QCOMPARE(server->requests, QStringList{"/v2/Update.ini"});
        QCOMPARE(host->status, UpToDate);
    }

    void corruptDescriptionIsReportedAndStillRecorded_data()
    {
        QTest::addColumn<QByteArray>("description");
        QTest::newRow("no setup address") << Description("1.41", "   ");
        QTest::newRow("bad version") << Description("one.41", "http://127.0.0.1:1/setup");
        QTest::newRow("not an INI file") << QByteArray("<html>Moved</html>");
    }
    void corruptDescriptionIsReportedAndStillRecorded()
    {
        QFETCH(QByteArray, description);
        server->Set("/Update.ini", {description});

        QVERIFY(checker->UpdateConfig(false));
        QCOMPARE(host->status, "Program update file is corrupt, update aborted.");
        QCOMPARE(LastCheck(), CheckTime);
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
        QCOMPARE(host->status, CheckFailed);
        QCOMPARE(LastCheck(), QString());
        QVERIFY(!host->busy);
        QVERIFY(host->errorLines.last().startsWith(
            "WARNING:  An error occurred while communicating with the remote host.\t" + reason));
    }

    void newerVersionDeclinedDownloadsNothing()
    {
        server->Set("/Update.ini", {Description("1.41", server->Url("/setup"))});
        host->answers = {false};

        QVERIFY(checker->UpdateConfig(false));

        QCOMPARE(host->questions.size(), 1);
        QCOMPARE(host->status, "An update to Tarvik is available!");
        QCOMPARE(server->requests, QStringList{"/Update.ini"});
        QVERIFY(!QFile::exists(SetupPath()));
    }

    void goodDownloadRunsTheSetupOnlyWhenTheUserAgrees_data()
    {
        QTest::addColumn<bool>("withChecksum");
        QTest::addColumn<bool>("install");
        QTest::newRow("no checksum published") << false << true;
        QTest::newRow("matching checksum") << true << true;
        QTest::newRow("install declined") << true << false;
    }
    void goodDownloadRunsTheSetupOnlyWhenTheUserAgrees()
    {
        QFETCH(bool, withChecksum);
        QFETCH(bool, install);
        OfferSetup({SetupScript()}, withChecksum ? Sha256Line(SetupScript()) : QByteArray());
        host->answers = {true, install};

        QVERIFY(checker->UpdateConfig(false));

        QCOMPARE(host->questions.size(), 2);
        QVERIFY(host->exclamations.isEmpty());
        QCOMPARE(ReadAll(SetupPath()), SetupScript());
        QCOMPARE(ReadAll(SetupPath() + ".bak"), QByteArray("previous setup"));
        QCOMPARE(ReadAll(ConfigPath() + ".bak"),
                 install ? ReadAll(ConfigPath()) : QByteArray("(missing)"));
        QCOMPARE(host->quits, install ? 1 : 0);
        // Tarvik ends with the window still disabled.
        QCOMPARE(host->busy, install);
        if (install) {
            QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(MarkerPath()), 10000);
        } else {
            QTest::qWait(200);
            QVERIFY(!QFile::exists(MarkerPath()));
        }
    }

    void refusedSetupIsNeverRun_data()
    {
        QTest::addColumn<QByteArray>("body"); // empty: the marking script
        QTest::addColumn<int>("behaviour");
        QTest::addColumn<bool>("checksumMismatch");
        QTest::addColumn<QString>("message");
        QTest::newRow("checksum mismatch")
            << QByteArray() << int(HttpServer::Answer) << true
            << "The downloaded update does not match its published checksum and will not be run.";
        QTest::newRow("server closes early")
            << QByteArray() << int(HttpServer::CloseEarly) << false << "The download failed!";
        QTest::newRow("not a program")
            << QByteArray("\177ELF but not a program") << int(HttpServer::Answer) << false
            << "An error occurred while running the installation.";
    }
    void refusedSetupIsNeverRun()
    {
        QFETCH(QByteArray, body);
        QFETCH(int, behaviour);
        QFETCH(bool, checksumMismatch);
        QFETCH(QString, message);
        const bool script = body.isEmpty();
        OfferSetup({script ? SetupScript() : body, 200, behaviour},
                   checksumMismatch ? Sha256Line("something else") : QByteArray());

        QVERIFY(checker->UpdateConfig(false));

        QCOMPARE(host->exclamations, QStringList{message});
        QCOMPARE(host->quits, 0);
        QVERIFY(!host->busy);
        if (script) {
            QCOMPARE(ReadAll(SetupPath()), QByteArray("previous setup"));
            QVERIFY(!QFile::exists(ConfigPath() + ".bak"));
            QTest::qWait(200);
            QVERIFY(!QFile::exists(MarkerPath()));
        }
    }
};

QTEST_GUILESS_MAIN(UpdateCheckerTest)
#include "UpdateCheckerTest.moc"
