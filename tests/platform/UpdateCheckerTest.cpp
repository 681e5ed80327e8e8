#include "update/UpdateChecker.h"

#include "DebugCapture.h"
#include "FileSizeLimit.h"
#include "LocalHttpServer.h"
#include "ManualTimers.h"
#include "config/IniFile.h"
#include "update/OfferedVersion.h"
#include "update/UpdateHost.h"
#include "update/UpdateTrust.h"

#include <memory>

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QNetworkProxyFactory>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace tarvik;
using tarvik::test::LocalHttpServer;

namespace {

// The main window as the update check sees it.
class FakeHost final : public UpdateHost {
public:
    void SetStatusMessage(const QString& text) override { statuses << (status = text); }
    void ClearErrorList() override { errorLines.clear(); }
    void AddErrorLine(const QString& line) override { errorLines << line; }
    bool ErrorListEmpty() const override { return errorLines.isEmpty(); }
    void SetBusy(bool on) override
    {
        busyDepth += on ? 1 : -1;
        maxBusyDepth = std::max(maxBusyDepth, busyDepth);
    }
    void ShowErrors() override { shown << "errors"; }
    void ShowInfo() override { shown << "info"; }
    void NoteAutomaticChecksOff(const QString& text) override { notes << text; }
    void ShowInformation(const QString& text) override { informations << text; }
    void ShowExclamation(const QString& text) override { exclamations << text; }
    bool AskYesNo(const QString& text) override
    {
        questions << text;
        return !answers.isEmpty() && answers.takeFirst();
    }
    void QuitNow() override { ++quits; }

    QString status;
    QStringList statuses, errorLines, notes, informations, exclamations, questions;
    QStringList shown; // what the check brought to the front, in order
    QList<bool> answers;
    int busyDepth = 0;
    int maxBusyDepth = 0;
    int quits = 0;
};

const QString UpToDate =
    QStringLiteral("Tarvik is up to date.  (Check transfer log on the errors tab.)");
const QString Throttled = QStringLiteral("Tarvik checked for updates 59 minutes ago.");
const QString Failed = QStringLiteral("Program update check failed.");
const QString Cancelled = QStringLiteral("Program update check cancelled.");
const QString CheckTime = QStringLiteral("06/01/2026 12:00:00 PM");
const QString Hour = QStringLiteral("06/01/2026 11:00:00 AM");

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

QByteArray Sha256(const QByteArray& bytes)
{
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha256);
}

// The description's line that publishes the checksum of a setup program.
QByteArray ChecksumLine(const QByteArray& setup)
{
    return "UpdateFileSHA256=" + Sha256(setup).toHex() + "\r\n";
}

QByteArray RandomBytes(qint64 size)
{
    QByteArray bytes(size, Qt::Uninitialized);
    QRandomGenerator generator(7);
    for (char& byte : bytes)
        byte = static_cast<char>(generator.generate() & 0xFF);
    return bytes;
}

} // namespace

class UpdateCheckerTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> dir;
    // Time passes only as the server pauses or keeps silent.
    std::unique_ptr<test::ManualTimers> timers;
    std::unique_ptr<LocalHttpServer> server;
    std::unique_ptr<FakeHost> host;
    std::unique_ptr<test::DebugCapture> debug;
    ManualClock clock;
    ErrObject lastError;
    UpdateCheckerSettings settings;
    std::unique_ptr<UpdateChecker> checker;
    // The setup programs started.
    QStringList launched;

    QString ConfigPath() const { return dir->filePath("Tarvik.ini"); }
    QString DescriptionPath() const { return dir->filePath("Update.ini"); }
    QString SetupPath() const { return dir->filePath("Tarvik_setup"); }
    QString MarkerPath() const { return dir->filePath("setup-ran"); }
    QString LastCheck() const
    {
        return QString::fromStdString(
            ReadINI(ConfigPath().toStdString(), "Updates", "LastUpdateCheck"));
    }
    QStringList Files() const
    {
        return QDir(dir->path()).entryList(QDir::Files | QDir::Hidden, QDir::Name);
    }
    void WriteConfig(const QString& url)
    {
        Write(ConfigPath(), "[Updates]\r\nURL=" + url.toUtf8() + "\r\nLastUpdateCheck=\r\n");
    }
    void MakeChecker()
    {
        checker = std::make_unique<UpdateChecker>(*host, debug->Log(), lastError, clock, settings);
    }
    // The server offers 1.41 with a setup program at /setup, publishing
    // its checksum.
    void OfferUpdate(const LocalHttpServer::Route& setup)
    {
        OfferUpdateWith(setup, ChecksumLine(setup.body));
    }
    void OfferUpdateWith(const LocalHttpServer::Route& setup, const QByteArray& extra)
    {
        server->Set("/Update.ini", {Description("1.41", server->Url("/setup"), extra)});
        server->Set("/setup", setup);
    }
    // The shipped program's trust: https only.
    void TrustHttpsOnly()
    {
        settings.trust = AddressTrust();
        MakeChecker();
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
        timers = std::make_unique<test::ManualTimers>();
        server = std::make_unique<LocalHttpServer>();
        QVERIFY(server->Listen());
        server->PassTimeWith([this](int ms) { timers->Advance(std::chrono::milliseconds(ms)); });
        host = std::make_unique<FakeHost>();
        debug = std::make_unique<test::DebugCapture>();
        WriteConfig(server->Url("/Update.ini"));
        settings = UpdateCheckerSettings();
        settings.programDirectory = dir->path();
        settings.configuration = ConfigurationFile(ConfigPath().toStdString());
        settings.runningVersion = {1, 40, 7};
        settings.descriptionLimits.idleTimeout = std::chrono::seconds(5);
        settings.setupLimits.idleTimeout = std::chrono::seconds(5);
        settings.timers = timers.get();
        // The local server speaks plain http.
        settings.trust.TrustPlainHttp(QUrl(server->Url("/")));
        launched.clear();
        settings.startSetup = [this](const QString& path) {
            launched << path;
            return StartDetachedProgram(path);
        };
        MakeChecker();
    }

    // A later piece counts only when the ones before it are equal; anything
    // but digits makes the description corrupt.
    void offeredVersionAgainstTheRunningVersion()
    {
        using V = OfferedVersion;
        const std::pair<const char*, V> cases[] = {
            {"1.41.0", V::Newer},     {"1.40.8", V::Newer},  {"2", V::Newer},
            {"1.40.7", V::UpToDate},  {"1.40", V::UpToDate}, {"1.39.99", V::UpToDate},
            {"0.99.99", V::UpToDate}, {"1.x", V::Corrupt},   {"", V::Corrupt},
            {"1e3", V::Corrupt},      {"-1", V::Corrupt},    {"1..2", V::Corrupt}};
        for (const auto& [text, expected] : cases)
            QVERIFY2(CompareOfferedVersion(text, {1, 40, 7}) == expected, text);
    }

    void checkThrottledByTheLastCheckAndRecorded_data()
    {
        QTest::addColumn<QString>("lastCheck");
        QTest::addColumn<bool>("force");
        QTest::addColumn<QByteArray>("served");
        QTest::addColumn<QString>("status");
        const QByteArray current = Description("1.40.7", "http://127.0.0.1:1/setup");
        const QString corrupt = "Program update file is corrupt, update aborted.";
        QTest::newRow("59 minutes") << "06/01/2026 11:00:30 AM" << false << current << Throttled;
        QTest::newRow("59 minutes, forced")
            << "06/01/2026 11:01:00 AM" << true << current << UpToDate;
        QTest::newRow("60 minutes") << Hour << false << current << UpToDate;
        QTest::newRow("not a date") << "last Tuesday" << false << current << UpToDate;
        QTest::newRow("in the future") << "06/02/2026 12:00:00 PM" << false << current << UpToDate;
        // A description with bad values still counts as a check.
        QTest::newRow("no setup address") << Hour << false << Description("1.41", "   ") << corrupt;
        QTest::newRow("bad version") << Hour << false << Description("one.41", "x") << corrupt;
    }
    void checkThrottledByTheLastCheckAndRecorded()
    {
        QFETCH(QString, lastCheck);
        QFETCH(bool, force);
        QFETCH(QByteArray, served);
        QFETCH(QString, status);
        QVERIFY(WriteINI(ConfigPath().toStdString(), "Updates", "LastUpdateCheck",
                         lastCheck.toStdString()));
        const QByteArray old = "old";
        Write(DescriptionPath(), old);
        server->Set("/Update.ini", {served});

        QVERIFY(checker->UpdateConfig(force));

        const bool checks = status != Throttled;
        QCOMPARE(server->requests, checks ? QStringList{"/Update.ini"} : QStringList());
        QCOMPARE(ReadAll(DescriptionPath()), checks ? served : old);
        QCOMPARE(ReadAll(DescriptionPath() + ".bak"), checks ? old : QByteArray("(missing)"));
        QCOMPARE(LastCheck(), checks ? CheckTime : lastCheck);
        QCOMPARE(host->status, status);
        QVERIFY(host->questions.isEmpty());
        // One busy state, ended: the window is the user's again.
        QCOMPARE(host->maxBusyDepth, 1);
        QCOMPARE(host->busyDepth, 0);
    }

    // A failed transfer, or an answer that is no description (a captive
    // portal, a wrong address), keeps the old Update.ini, the address it
    // holds (asked before the configuration's) and the time of the last check.
    void failedOrWrongAnswerKeepsTheOldDescriptionAndTheThrottle_data()
    {
        QTest::addColumn<QByteArray>("served");
        QTest::addColumn<int>("status");
        QTest::addColumn<int>("behaviour");
        QTest::addColumn<QString>("warning"); // whole, or up to a tab
        const QString failed = "An error occurred while communicating with the remote host.\t";
        const QString notOne = "The answer is not an update description; Update.ini was kept.";
        const QByteArray offer = Description("1.41", "http://127.0.0.1:1/setup");
        const int answer = LocalHttpServer::Answer;
        QTest::newRow("server closes early")
            << offer << 200 << int(LocalHttpServer::CloseEarly) << failed;
        QTest::newRow("server never answers")
            << offer << 200 << int(LocalHttpServer::NeverAnswer)
            << failed + "No answer from 127.0.0.1 within 0.3 seconds.";
        QTest::newRow("not found") << offer << 404 << answer << failed;
        QTest::newRow("portal page")
            << QByteArray("<html><body>Please log in to the hotel network</body></html>") << 200
            << answer << notOne;
        QTest::newRow("other section")
            << QByteArray("[Other]\r\nCurrentVersion=9\r\nUpdateFile=x") << 200 << answer << notOne;
        QTest::newRow("no version")
            << QByteArray("[Tarvik]\r\nUpdateFile=http://x/setup\r\n") << 200 << answer << notOne;
        static const char binary[] = "[Tarvik]\nCurrentVersion=9\nUpdateFile=x\0\x01";
        QTest::newRow("binary") << QByteArray(binary, sizeof binary - 1) << 200 << answer << notOne;
    }
    void failedOrWrongAnswerKeepsTheOldDescriptionAndTheThrottle()
    {
        QFETCH(QByteArray, served);
        QFETCH(int, status);
        QFETCH(int, behaviour);
        QFETCH(QString, warning);
        settings.descriptionLimits.idleTimeout = std::chrono::milliseconds(300);
        MakeChecker();
        QVERIFY(
            WriteINI(ConfigPath().toStdString(), "Updates", "LastUpdateCheck", Hour.toStdString()));
        const QByteArray old =
            "[Tarvik]\r\nUpdateURL=" + server->Url("/moved/Update.ini").toUtf8() +
            "\r\nCurrentVersion=1.40.7\r\nUpdateFile=http://x/setup\r\n";
        Write(DescriptionPath(), old);
        server->Set("/moved/Update.ini", {served, status, behaviour});

        QVERIFY(checker->UpdateConfig(false));

        QCOMPARE(server->requests, QStringList{"/moved/Update.ini"});
        QCOMPARE(ReadAll(DescriptionPath()), old);
        // No backup and no half-written temporary file either.
        QCOMPARE(Files(), (QStringList{"Tarvik.ini", "Update.ini"}));
        QCOMPARE(LastCheck(), Hour);
        QCOMPARE(host->status, Failed);
        QCOMPARE(host->busyDepth, 0);
        const QString line = host->errorLines.last();
        QVERIFY2(line == "WARNING:  " + warning ||
                     (warning.endsWith('\t') && line.startsWith("WARNING:  " + warning)),
                 qPrintable(line));
    }

    // A server that keeps the description coming a byte at a time is given
    // up on after the description's own total limit; the setup program may
    // take longer, with its progress in the status bar.
    void descriptionHasAShortTotalLimitTheSetupALongerOne()
    {
        settings.descriptionLimits.totalTimeout = std::chrono::milliseconds(400);
        MakeChecker();
        server->Set("/Update.ini", {{}, 200, LocalHttpServer::Trickle});
        QVERIFY(checker->UpdateConfig(false));
        QCOMPARE(host->status, Failed);
        QVERIFY(host->errorLines.last().endsWith("The transfer took longer than 0.4 seconds."));
        QCOMPARE(host->busyDepth, 0);

        // 600 ms for the setup program, more than the description may take.
        // Larger than the fetch's read buffer, so that it comes in several pieces.
        const QByteArray setup = RandomBytes(3 * HttpFetcher::ReadBufferBytes);
        OfferUpdate({setup, 200, LocalHttpServer::SlowAnswer});
        host->answers = {true, false};
        QVERIFY(checker->UpdateConfig(true));
        QCOMPARE(ReadAll(SetupPath()), setup);
        // Shown while it comes, not only at its end.
        const QStringList progress =
            host->statuses.filter(QRegularExpression("^Downloading the Tarvik update: "));
        QVERIFY(progress.size() >= 2);
        QCOMPARE(progress.last(), "Downloading the Tarvik update: 3.0 of 3.0 MB (100%)");
        QCOMPARE(host->status, QString("Tarvik update successfully downloaded."));
    }

    void oversizedAnswersAreRefusedEarly_data()
    {
        QTest::addColumn<bool>("setup"); // the setup program, else the description
        QTest::addColumn<int>("behaviour");
        QTest::addColumn<qint64>("size");
        QTest::addColumn<bool>("withLength");
        QTest::addColumn<QString>("reason");
        const int announce = LocalHttpServer::AnnounceOnly;
        const int answer = LocalHttpServer::Answer;
        QTest::newRow("description announced at 2 MB")
            << false << announce << qint64(2) * 1024 * 1024 << true
            << "The answer is larger than 1048576 bytes.";
        QTest::newRow("description of 1.5 MB without length")
            << false << answer << qint64(1536) * 1024 << false
            << "The answer is larger than 1048576 bytes.";
        QTest::newRow("setup announced at 600 MB")
            << true << announce << qint64(600) * 1024 * 1024 << true
            << "The answer is larger than 536870912 bytes.";
        QTest::newRow("setup of 3 MB without length, 2 MB allowed")
            << true << answer << qint64(3) * 1024 * 1024 << false
            << "The answer is larger than 2097152 bytes.";
    }
    void oversizedAnswersAreRefusedEarly()
    {
        QFETCH(bool, setup);
        QFETCH(int, behaviour);
        QFETCH(qint64, size);
        QFETCH(bool, withLength);
        QFETCH(QString, reason);
        if (size < 100 * 1024 * 1024 && setup) {
            settings.setupLimits.maxBytes = 2 * 1024 * 1024;
            MakeChecker();
        }
        LocalHttpServer::Route route{RandomBytes(behaviour == LocalHttpServer::Answer ? size : 0),
                                     200, behaviour, size, withLength};
        Write(SetupPath(), "previous setup");
        if (setup)
            OfferUpdate(route);
        else
            server->Set("/Update.ini", route);
        host->answers = {true};

        QVERIFY(checker->UpdateConfig(true));

        QCOMPARE(host->errorLines.last(),
                 "WARNING:  An error occurred while communicating with the remote host.\t" +
                     reason);
        QCOMPARE(host->exclamations, setup ? QStringList{"The download failed!"} : QStringList());
        if (!setup)
            QCOMPARE(host->status, Failed);
        // Nothing replaced, nothing left behind.
        QCOMPARE(ReadAll(SetupPath()), QByteArray("previous setup"));
        QStringList expected{"Tarvik.ini", "Tarvik_setup"};
        if (setup)
            expected << "Update.ini";
        QCOMPARE(Files(), expected);
    }

    // A disk that fills up during the download: the old setup program stays
    // and no piece of the new one is left behind.
    void fullDiskDuringTheDownloadKeepsTheOldSetup()
    {
        OfferUpdate({RandomBytes(3 * 1024 * 1024)});
        Write(SetupPath(), "previous setup");
        host->answers = {true, true};
        {
            const test::FileSizeLimit full(1024 * 1024);
            QVERIFY(checker->UpdateConfig(true));
        }
        QCOMPARE(host->exclamations, QStringList{"The download failed!"});
        QCOMPARE(ReadAll(SetupPath()), QByteArray("previous setup"));
        QCOMPARE(Files(), (QStringList{"Tarvik.ini", "Tarvik_setup", "Update.ini"}));
    }

    // Closing the window cancels the check: the transfer ends at once, its
    // temporary file goes, the old files stay and nothing more is asked.
    void cancelStopsTheCheckAndRemovesItsTemporaryFile_data()
    {
        QTest::addColumn<bool>("duringSetup");
        QTest::newRow("waiting for the description") << false;
        QTest::newRow("downloading the setup program") << true;
    }
    void cancelStopsTheCheckAndRemovesItsTemporaryFile()
    {
        QFETCH(bool, duringSetup);
        settings.descriptionLimits.idleTimeout = std::chrono::seconds(20);
        settings.setupLimits.idleTimeout = std::chrono::seconds(20);
        MakeChecker();
        Write(SetupPath(), "previous setup");
        const QByteArray old = Description("1.40.7", "http://old/setup");
        Write(DescriptionPath(), old);
        if (duringSetup)
            OfferUpdate({{}, 200, LocalHttpServer::Trickle});
        else
            server->Set("/Update.ini", {{}, 200, LocalHttpServer::NeverAnswer});
        host->answers = {true, true};
        qint64 sentWhenCancelled = -1;
        timers->At(std::chrono::milliseconds(duringSetup ? 500 : 200), [&] {
            QVERIFY(checker->Running());
            sentWhenCancelled = server->bodyBytesSent;
            checker->Cancel();
        });

        QVERIFY(checker->UpdateConfig(true));

        QVERIFY(!checker->Running());
        QCOMPARE(host->status, Cancelled);
        QCOMPARE(host->busyDepth, 0);
        QCOMPARE(host->questions.size(), duringSetup ? 1 : 0);
        QVERIFY(host->exclamations.isEmpty());
        // The setup program was on its way into a temporary file, now gone.
        QVERIFY(duringSetup ? sentWhenCancelled > 0 : sentWhenCancelled == 0);
        QCOMPARE(Files(), duringSetup ? (QStringList{"Tarvik.ini", "Tarvik_setup", "Update.ini",
                                                     "Update.ini.bak"})
                                      : (QStringList{"Tarvik.ini", "Tarvik_setup", "Update.ini"}));
        QCOMPARE(ReadAll(SetupPath()), QByteArray("previous setup"));
    }

    // Without an update address there is nothing to check: the automatic
    // check says so on the window, never in a box, and never greys it.
    void noAddressMeansNoAutomaticCheck_data()
    {
        QTest::addColumn<bool>("force");
        QTest::addColumn<bool>("redirected"); // Update.ini holds an address
        QTest::newRow("automatic") << false << false;
        QTest::newRow("on request") << true << false;
        QTest::newRow("automatic, address in Update.ini") << false << true;
    }
    void noAddressMeansNoAutomaticCheck()
    {
        QFETCH(bool, force);
        QFETCH(bool, redirected);
        WriteConfig("");
        if (redirected) {
            Write(DescriptionPath(),
                  "[Tarvik]\r\nUpdateURL=" + server->Url("/Update.ini").toUtf8() + "\r\n");
            server->Set("/Update.ini", {Description("1.40.7", "http://x/setup")});
        }

        QCOMPARE(checker->UpdateConfig(force), redirected);

        QCOMPARE(server->requests.size(), redirected ? 1 : 0);
        QCOMPARE(host->maxBusyDepth, redirected ? 1 : 0);
        if (redirected) {
            QCOMPARE(host->status, UpToDate);
            return;
        }
        // The note's text is checked on the window.
        QCOMPARE(host->notes.size(), force ? 0 : 1);
        QCOMPARE(host->informations.size(), force ? 1 : 0);
        if (force)
            QVERIFY(host->informations[0].startsWith(
                "No update address is set, so Tarvik cannot check for updates."));
        QVERIFY(host->exclamations.isEmpty());
    }

    // The error list may hold the problems of an analysis: an automatic
    // check leaves them and the tabs alone (a successful one is checked on the
    // window), also when it fails; a check the user asked for shows its
    // transfer log there.
    void automaticCheckLeavesTheProblemsOfAnAnalysisAlone_data()
    {
        QTest::addColumn<bool>("force");
        QTest::addColumn<bool>("problems"); // the list holds an analysis's lines
        QTest::addColumn<bool>("answers");  // the server answers
        QTest::addColumn<QString>("status");
        QTest::newRow("automatic, problems listed, failing") << false << true << false << Failed;
        QTest::newRow("automatic, empty list") << false << false << true << UpToDate;
        QTest::newRow("automatic, empty list, failing") << false << false << false << Failed;
        QTest::newRow("on request, problems listed") << true << true << true << UpToDate;
    }
    void automaticCheckLeavesTheProblemsOfAnAnalysisAlone()
    {
        QFETCH(bool, force);
        QFETCH(bool, problems);
        QFETCH(bool, answers);
        QFETCH(QString, status);
        const QStringList analysis{"Unknown record type, discarded: [x] y"};
        if (problems)
            host->errorLines = analysis;
        server->Set("/Update.ini", {Description("1.40.7", "http://x/setup"), answers ? 200 : 500});

        QVERIFY(checker->UpdateConfig(force));

        QCOMPARE(host->status, status);
        const bool transferLog = force || !problems;
        if (transferLog) {
            QVERIFY(!host->errorLines.contains(analysis[0]));
            QCOMPARE(host->errorLines.first(), "Resolving IP for host 127.0.0.1...");
        } else {
            QCOMPARE(host->errorLines, analysis);
        }
        QCOMPARE(host->shown, force ? (QStringList{"errors", "info"}) : QStringList());
        QCOMPARE(debug->Count("Update Check: Resolving IP for host 127.0.0.1..."), 1);
    }

    // Offers 1.41 with a setup program (empty body: one that leaves a mark when
    // it runs); questions is how many the user was asked, offer then install.
    void setupRunsOnlyWhenVerifiedAndAccepted_data()
    {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<int>("behaviour");
        QTest::addColumn<bool>("secure");  // the description comes from a trusted address
        QTest::addColumn<int>("checksum"); // 0 none published, 1 matching, 2 another file's
        QTest::addColumn<bool>("accept");
        QTest::addColumn<bool>("install");
        QTest::addColumn<int>("questions");
        QTest::addColumn<QString>("message");
        const int ok = LocalHttpServer::Answer;
        const QByteArray script;
        QTest::newRow("matching checksum")
            << script << ok << true << 1 << true << true << 2 << QString();
        QTest::newRow("install declined")
            << script << ok << true << 1 << true << false << 2 << QString();
        QTest::newRow("update declined")
            << script << ok << true << 1 << false << true << 1 << QString();
        QTest::newRow("checksum mismatch")
            << script << ok << true << 2 << true << true << 1
            << "The downloaded update does not match its published checksum and will not be run.";
        QTest::newRow("no checksum")
            << script << ok << true << 0 << true << true << 0
            << "An update to Tarvik is available, but its description gives no SHA-256 checksum "
               "of the setup program (UpdateFileSHA256), so the download could not be checked. "
               "It was not downloaded.";
        QTest::newRow("description over http")
            << script << ok << false << 1 << true << true << 0
            << "An update to Tarvik is available, but its description was not fetched over "
               "https, so its setup program cannot be trusted. It was not downloaded.";
        QTest::newRow("server closes early") << script << int(LocalHttpServer::CloseEarly) << true
                                             << 1 << true << true << 1 << "The download failed!";
        QTest::newRow("not a program")
            << QByteArray("\177ELF but not a program") << ok << true << 1 << true << true << 2
            << "An error occurred while running the installation.";
    }
    void setupRunsOnlyWhenVerifiedAndAccepted()
    {
        QFETCH(QByteArray, body);
        QFETCH(int, behaviour);
        QFETCH(bool, secure);
        QFETCH(int, checksum);
        QFETCH(bool, accept);
        QFETCH(bool, install);
        QFETCH(int, questions);
        QFETCH(QString, message);
        if (!secure)
            TrustHttpsOnly();
        const QByteArray setup =
            body.isEmpty() ? "#!/bin/sh\necho ran > '" + MarkerPath().toUtf8() + "'\n" : body;
        OfferUpdateWith({setup, 200, behaviour},
                        checksum ? ChecksumLine(checksum == 1 ? setup : "another file") : "");
        Write(SetupPath(), "previous setup");
        host->answers = {accept, install};

        QVERIFY(checker->UpdateConfig(false));

        const bool downloaded = questions == 2;
        const bool backedUp = downloaded && install;
        const bool runs = backedUp && message.isEmpty();
        QCOMPARE(host->questions.size(), questions);
        QCOMPARE(host->exclamations, message.isEmpty() ? QStringList() : QStringList{message});
        // A refused update is not even fetched.
        QCOMPARE(server->requests.contains("/setup"), questions > 0 && accept);
        if (questions == 0)
            QVERIFY(
                host->errorLines.last().startsWith("WARNING:  The update was not downloaded: "));
        QCOMPARE(ReadAll(SetupPath()), downloaded ? setup : QByteArray("previous setup"));
        QCOMPARE(ReadAll(SetupPath() + ".bak"),
                 downloaded ? QByteArray("previous setup") : QByteArray("(missing)"));
        QCOMPARE(ReadAll(ConfigPath() + ".bak"),
                 backedUp ? ReadAll(ConfigPath()) : QByteArray("(missing)"));
        QCOMPARE(launched, backedUp ? QStringList{SetupPath()} : QStringList());
        QCOMPARE(host->quits, runs ? 1 : 0);
        // Tarvik ends with the window still disabled.
        QCOMPARE(host->busyDepth, runs ? 1 : 0);
        // The program really started: it leaves its mark.
        if (runs)
            QVERIFY(QTest::qWaitFor([&] { return QFile::exists(MarkerPath()); }, 10000));
    }

    // A description's UpdateURL is where later checks look: kept only when
    // the description came over https and the address is https itself; the
    // rest of the description is kept as it came.
    void updateUrlIsKeptOnlyFromASecureDescription_data()
    {
        QTest::addColumn<bool>("secure"); // the description comes from a trusted address
        QTest::addColumn<QString>("redirect");
        QTest::addColumn<QString>("warning"); // empty: kept
        const QString https = "https://updates.example/Update.ini";
        const QString http = "http://updates.example/Update.ini";
        QTest::newRow("https to https") << true << https << QString();
        QTest::newRow("https to http")
            << true << http
            << "WARNING:  UpdateURL " + http + " is not an https address and was not kept.";
        QTest::newRow("http to https")
            << false << https
            << "WARNING:  The description was not fetched over https, so its UpdateURL " + https +
                   " was not kept.";
    }
    void updateUrlIsKeptOnlyFromASecureDescription()
    {
        QFETCH(bool, secure);
        QFETCH(QString, redirect);
        QFETCH(QString, warning);
        if (!secure)
            TrustHttpsOnly();
        const QByteArray served = "[Tarvik]\r\nUpdateURL=" + redirect.toUtf8() +
                                  "\r\nCurrentVersion=1.40.7\r\nUpdateFile=http://x/setup\r\n";
        server->Set("/Update.ini", {served});

        QVERIFY(checker->UpdateConfig(true));

        QCOMPARE(host->status, UpToDate);
        if (warning.isEmpty()) {
            QCOMPARE(ReadAll(DescriptionPath()), served);
            QCOMPARE(QString::fromStdString(checker->Address()), redirect);
            return;
        }
        QVERIFY(host->errorLines.contains(warning));
        QCOMPARE(ReadAll(DescriptionPath()),
                 QByteArray(served).replace("UpdateURL=" + redirect.toUtf8(), "UpdateURL="));
        QCOMPARE(QString::fromStdString(checker->Address()), server->Url("/Update.ini"));
    }

    // An Update.ini kept before its UpdateURL was checked may name an http
    // address: the configured address is asked instead.
    void keptHttpUpdateUrlIsNotFollowed()
    {
        TrustHttpsOnly();
        Write(DescriptionPath(), "[Tarvik]\r\nUpdateURL=http://elsewhere.example/Update.ini\r\n");
        QCOMPARE(QString::fromStdString(checker->Address()), server->Url("/Update.ini"));
        Write(DescriptionPath(), "[Tarvik]\r\nUpdateURL=https://elsewhere.example/Update.ini\r\n");
        QCOMPARE(checker->Address(), std::string("https://elsewhere.example/Update.ini"));
    }
};

QTEST_GUILESS_MAIN(UpdateCheckerTest)
#include "UpdateCheckerTest.moc"
