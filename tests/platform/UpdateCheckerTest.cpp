#include "update/UpdateChecker.h"

#include "DebugCapture.h"
#include "TestHttpServer.h"
#include "app/IniFile.h"
#include "update/OfferedVersion.h"
#include "update/UpdateHost.h"

#include <memory>

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QNetworkProxyFactory>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace tarvik;

namespace {

// The main window as the update check sees it.
class FakeHost final : public UpdateHost {
public:
    void SetStatusMessage(const QString& text) override { statusMessages << text; }
    void ClearErrorList() override
    {
        errorLines.clear();
        ++clears;
    }
    void AddErrorLine(const QString& line) override { errorLines << line; }
    void SetBusy(bool busy, MainTab tab) override { busyCalls.append({busy, tab}); }
    void ShowCritical(const QString& text) override { criticals << text; }
    void ShowExclamation(const QString& text) override { exclamations << text; }
    bool AskYesNo(const QString& text) override
    {
        questions << text;
        return !answers.isEmpty() && answers.takeFirst();
    }
    void QuitNow() override { ++quits; }

    QString LastStatus() const
    {
        return statusMessages.isEmpty() ? QString() : statusMessages.last();
    }

    QStringList statusMessages;
    QStringList errorLines;
    int clears = 0;
    QList<std::pair<bool, MainTab>> busyCalls;
    QStringList criticals;
    QStringList exclamations;
    QStringList questions;
    QList<bool> answers;
    int quits = 0;
};

using Busy = QList<std::pair<bool, MainTab>>;
const Busy CheckedBusy = {{true, MainTab::None}, {true, MainTab::Errors}, {false, MainTab::Info}};
const Busy ThrottledBusy = {{true, MainTab::None}, {false, MainTab::Info}};

const QString UpToDate =
    QStringLiteral("Tarvik is up to date.  (Check transfer log on the errors tab.)");
const QString CheckFailed = QStringLiteral("Program update check failed.");
const QString Corrupt = QStringLiteral("Program update file is corrupt, update aborted.");
const QString DownloadQuestion =
    QStringLiteral("There is a new update available for Tarvik.\nDo you want to download it now?");
const QString ErrorLine =
    QStringLiteral("WARNING:  An error occurred while communicating with the remote host.\t");

QByteArray Description(const QByteArray& version, const QByteArray& setupUrl,
                       const QByteArray& extra = {})
{
    return "[Tarvik]\r\nCurrentVersion=" + version + "\r\nUpdateFile=" + setupUrl + "\r\n" + extra;
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

QByteArray Sha256(const QByteArray& data)
{
    return QCryptographicHash::hash(data, QCryptographicHash::Sha256).toHex();
}

} // namespace

class UpdateCheckerTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> dir;
    std::unique_ptr<TestHttpServer> server;
    std::unique_ptr<FakeHost> host;
    std::unique_ptr<test::DebugCapture> debug;
    std::unique_ptr<ManualClock> clock;
    std::unique_ptr<ErrObject> lastError;
    std::unique_ptr<UpdateChecker> checker;

    QString File(const QString& name) const { return dir->filePath(name); }
    QString ConfigPath() const { return File(QStringLiteral("Tarvik.ini")); }
    QString DescriptionPath() const { return File(QStringLiteral("Update.ini")); }
    QString SetupPath() const { return File(QStringLiteral("Tarvik_setup")); }
    QString MarkerPath() const { return File(QStringLiteral("setup-ran")); }
    std::string LastCheck() const
    {
        return ReadINI(ConfigPath().toStdString(), "Updates", "LastUpdateCheck");
    }
    void SetLastCheck(const std::string& value)
    {
        QVERIFY(WriteINI(ConfigPath().toStdString(), "Updates", "LastUpdateCheck", value));
    }
    void MakeChecker(std::chrono::milliseconds idleTimeout = std::chrono::seconds(30))
    {
        UpdateCheckerSettings settings;
        settings.programDirectory = dir->path();
        settings.configurationFile = ConfigPath();
        settings.runningVersion = {1, 40, 7};
        settings.limits.idleTimeout = idleTimeout;
        checker =
            std::make_unique<UpdateChecker>(*host, debug->Log(), *lastError, *clock, settings);
    }
    // A setup program that leaves a mark when it runs.
    QByteArray SetupScript() const
    {
        return "#!/bin/sh\necho ran > '" + MarkerPath().toUtf8() + "'\n";
    }
    bool Logged(const QString& message) const { return debug->Count(message.toStdString()) > 0; }

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        // The test server is local; a proxy from the environment must not
        // stand in between.
        QNetworkProxyFactory::setUseSystemConfiguration(false);
    }

    void init()
    {
        dir = std::make_unique<QTemporaryDir>();
        QVERIFY(dir->isValid());
        server = std::make_unique<TestHttpServer>();
        QVERIFY(server->Listen());
        host = std::make_unique<FakeHost>();
        debug = std::make_unique<test::DebugCapture>();
        clock = std::make_unique<ManualClock>(DateTime::FromCivil(2026, 6, 1, 12, 0, 0));
        lastError = std::make_unique<ErrObject>();
        Write(ConfigPath(),
              "[Monitoring]\r\nWindowTitle=Neverwinter Nights\r\n\r\n[Updates]\r\nURL=" +
                  server->Url(QStringLiteral("/Update.ini")).toUtf8() + "\r\nLastUpdateCheck=\r\n");
        MakeChecker();
    }

    void cleanup()
    {
        checker.reset();
        server.reset();
        dir.reset();
    }

    void offeredVersionAgainstTheRunningVersion_data()
    {
        QTest::addColumn<QString>("offered");
        QTest::addColumn<int>("expected");
        const int upToDate = int(OfferedVersion::UpToDate);
        const int newer = int(OfferedVersion::Newer);
        const int corrupt = int(OfferedVersion::Corrupt);
        QTest::newRow("1.40") << "1.40" << upToDate;
        QTest::newRow("1.41") << "1.41" << newer;
        QTest::newRow("1.40.8") << "1.40.8" << newer;
        QTest::newRow("2") << "2" << newer;
        QTest::newRow("1.40.7") << "1.40.7" << upToDate;
        QTest::newRow("1.41.0 (revision lower)") << "1.41.0" << newer;
        QTest::newRow("1.39.9") << "1.39.9" << upToDate;
        QTest::newRow("0.99.99") << "0.99.99" << upToDate;
        QTest::newRow("1") << "1" << upToDate;
        QTest::newRow("four pieces") << "1.40.7.9" << upToDate;
        QTest::newRow("blanks") << " 1 . 41 " << newer;
        QTest::newRow("empty") << "" << corrupt;
        QTest::newRow("dots only") << "..." << corrupt;
        QTest::newRow("letters") << "1.x" << corrupt;
        QTest::newRow("empty piece") << "1..2" << corrupt;
        QTest::newRow("prefix") << "v1.41" << corrupt;
        QTest::newRow("negative") << "-2" << corrupt;
    }
    void offeredVersionAgainstTheRunningVersion()
    {
        QFETCH(QString, offered);
        QFETCH(int, expected);
        QCOMPARE(int(CompareOfferedVersion(offered.toStdString(), {1, 40, 7})), expected);
    }

    void upToDateReplacesTheDescriptionAndRecordsTheCheck()
    {
        Write(DescriptionPath(), "[Tarvik]\r\nCurrentVersion=1.0\r\n");
        const QByteArray served = Description("1.40.7", server->Url("/setup").toUtf8());
        server->SetBody(QStringLiteral("/Update.ini"), served);

        QVERIFY(checker->UpdateConfig(false));

        QCOMPARE(server->Requests(), QStringList{QStringLiteral("/Update.ini")});
        QCOMPARE(ReadAll(DescriptionPath()), served);
        QCOMPARE(ReadAll(DescriptionPath() + ".bak"),
                 QByteArray("[Tarvik]\r\nCurrentVersion=1.0\r\n"));
        QCOMPARE(LastCheck(), std::string("06/01/2026 12:00:00 PM"));
        QCOMPARE(host->statusMessages,
                 (QStringList{QStringLiteral("Update file successfully downloaded, checking..."),
                              UpToDate}));
        QCOMPARE(host->busyCalls, CheckedBusy);
        QVERIFY(host->questions.isEmpty());
        QVERIFY(!QFile::exists(SetupPath()));

        // The transfer log, as far as Qt reports the transfer.
        QCOMPARE(host->clears, 1);
        QVERIFY(host->errorLines.size() >= 4);
        QCOMPARE(host->errorLines.first(), QStringLiteral("Resolving IP for host 127.0.0.1..."));
        QVERIFY(host->errorLines.contains(QStringLiteral("  Request sent successfully.")));
        QVERIFY(
            host->errorLines.contains(QStringLiteral("Receiving response from remote host...")));
        QCOMPARE(host->errorLines.last(),
                 QStringLiteral("  Request and response completed successfully."));

        QVERIFY(Logged(QStringLiteral("Checking for updated configuration.")));
        QVERIFY(Logged("Getting updated configuration from " + server->Url("/Update.ini") + "."));
        QVERIFY(Logged("Getting updated file from " + server->Url("/Update.ini") + " to [" +
                       DescriptionPath() + "] (backup file?: True)."));
        QVERIFY(Logged(QStringLiteral("Update Check: Resolving IP for host 127.0.0.1...")));
        QVERIFY(Logged(QStringLiteral("Program is up to date.")));
    }

    void newerVersionOffersTheDownload_data()
    {
        QTest::addColumn<QByteArray>("version");
        QTest::newRow("minor") << QByteArray("1.41");
        QTest::newRow("revision") << QByteArray("1.40.8");
        QTest::newRow("major") << QByteArray("2");
        QTest::newRow("minor with lower revision") << QByteArray("1.41.0");
    }
    void newerVersionOffersTheDownload()
    {
        QFETCH(QByteArray, version);
        server->SetBody("/Update.ini", Description(version, server->Url("/setup").toUtf8()));
        host->answers = {false};

        QVERIFY(checker->UpdateConfig(false));

        QCOMPARE(host->questions, QStringList{DownloadQuestion});
        QCOMPARE(host->LastStatus(), QStringLiteral("An update to Tarvik is available!"));
        QCOMPARE(server->Requests(), QStringList{QStringLiteral("/Update.ini")});
        QVERIFY(!QFile::exists(SetupPath()));
        QCOMPARE(host->busyCalls, CheckedBusy);
    }

    void throttleCountsWholeMinutesSinceTheLastCheck_data()
    {
        QTest::addColumn<QString>("lastCheck");
        QTest::addColumn<bool>("force");
        QTest::addColumn<QString>("throttledStatus");
        QTest::newRow("59 minutes")
            << "06/01/2026 11:00:30 AM" << false << "Tarvik checked for updates 59 minutes ago.";
        QTest::newRow("just now") << "06/01/2026 12:00:00 PM" << false
                                  << "Tarvik checked for updates 0 minutes ago.";
        QTest::newRow("59 minutes, forced") << "06/01/2026 11:01:00 AM" << true << QString();
        QTest::newRow("60 minutes") << "06/01/2026 11:00:00 AM" << false << QString();
        QTest::newRow("not a date") << "last Tuesday" << false << QString();
        QTest::newRow("in the future") << "06/02/2026 12:00:00 PM" << false << QString();
    }
    void throttleCountsWholeMinutesSinceTheLastCheck()
    {
        QFETCH(QString, lastCheck);
        QFETCH(bool, force);
        QFETCH(QString, throttledStatus);
        SetLastCheck(lastCheck.toStdString());
        server->SetBody("/Update.ini", Description("1.40.7", server->Url("/setup").toUtf8()));

        QVERIFY(checker->UpdateConfig(force));

        if (throttledStatus.isEmpty()) {
            QCOMPARE(server->Requests().size(), 1);
            QCOMPARE(host->LastStatus(), UpToDate);
            QCOMPARE(LastCheck(), std::string("06/01/2026 12:00:00 PM"));
        } else {
            QVERIFY(server->Requests().isEmpty());
            QCOMPARE(host->statusMessages, QStringList{throttledStatus});
            QCOMPARE(host->busyCalls, ThrottledBusy);
            QCOMPARE(LastCheck(), lastCheck.toStdString());
        }
    }

    void missingAddressIsCritical()
    {
        Write(ConfigPath(), "[Updates]\r\nURL=\r\n");
        QVERIFY(!checker->UpdateConfig(true));
        QCOMPARE(host->criticals,
                 QStringList{QStringLiteral(
                     "Your configuration file does not have an Update URL!\n\nYou should "
                     "re-download the installation package and re-install Tarvik.")});
        QCOMPARE(host->busyCalls, ThrottledBusy);
        QVERIFY(
            Logged(QStringLiteral(">> ERROR:  Update URL not found in the configuration file.")));
    }

    void descriptionAddressRedirectsLaterChecks()
    {
        Write(DescriptionPath(),
              "[Tarvik]\r\nUpdateURL=" + server->Url("/v2/Update.ini").toUtf8() + "\r\n");
        server->SetBody("/v2/Update.ini", Description("1.40.7", server->Url("/setup").toUtf8()));

        QVERIFY(checker->UpdateConfig(true));
        QCOMPARE(server->Requests(), QStringList{QStringLiteral("/v2/Update.ini")});
        QCOMPARE(host->LastStatus(), UpToDate);
    }

    void corruptDescriptionIsReportedAndStillRecorded_data()
    {
        QTest::addColumn<QByteArray>("description");
        QTest::newRow("no setup address") << Description("1.41", "   ");
        QTest::newRow("no version") << Description("", "http://127.0.0.1:1/setup");
        QTest::newRow("bad version") << Description("one.41", "http://127.0.0.1:1/setup");
        QTest::newRow("not an INI file") << QByteArray("<html>Moved</html>");
    }
    void corruptDescriptionIsReportedAndStillRecorded()
    {
        QFETCH(QByteArray, description);
        server->SetBody("/Update.ini", description);

        QVERIFY(checker->UpdateConfig(false));
        QCOMPARE(host->LastStatus(), Corrupt);
        QVERIFY(Logged(QStringLiteral("Program update file is corrupt, aborted!")));
        QCOMPARE(LastCheck(), std::string("06/01/2026 12:00:00 PM"));
        QVERIFY(host->questions.isEmpty());
        QCOMPARE(host->busyCalls, CheckedBusy);
    }

    void failedFetchLeavesTheOldFilesAndTheThrottleAlone_data()
    {
        QTest::addColumn<int>("behaviour");
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("reason");
        const QByteArray description = Description("1.41", "http://127.0.0.1:1/setup");
        QTest::newRow("server closes early")
            << int(TestHttpServer::Behaviour::CloseEarly) << description << 200 << QString();
        QTest::newRow("server never answers")
            << int(TestHttpServer::Behaviour::NeverAnswer) << description << 200
            << "No answer from 127.0.0.1 within 0.3 seconds.";
        QTest::newRow("not found")
            << int(TestHttpServer::Behaviour::Answer) << description << 404 << QString();
        QTest::newRow("one byte") << int(TestHttpServer::Behaviour::Answer) << QByteArray("x")
                                  << 200 << QString();
        QTest::newRow("empty") << int(TestHttpServer::Behaviour::Answer) << QByteArray() << 200
                               << QString();
    }
    void failedFetchLeavesTheOldFilesAndTheThrottleAlone()
    {
        QFETCH(int, behaviour);
        QFETCH(QByteArray, body);
        QFETCH(int, status);
        QFETCH(QString, reason);
        MakeChecker(std::chrono::milliseconds(300));
        const QByteArray old = Description("1.40.7", "http://old/setup");
        Write(DescriptionPath(), old);
        server->SetRoute("/Update.ini", {body, status, TestHttpServer::Behaviour(behaviour)});

        QVERIFY(checker->UpdateConfig(false));

        QCOMPARE(ReadAll(DescriptionPath()), old);
        QVERIFY(!QFile::exists(DescriptionPath() + ".bak"));
        QCOMPARE(QDir(dir->path()).entryList(QDir::Files | QDir::Hidden).size(), 2);
        QCOMPARE(host->LastStatus(), CheckFailed);
        QVERIFY(Logged(CheckFailed));
        QCOMPARE(LastCheck(), std::string());
        QCOMPARE(host->busyCalls, CheckedBusy);
        if (body.size() >= 2) {
            QVERIFY(host->errorLines.last().startsWith(ErrorLine));
            if (!reason.isEmpty())
                QCOMPARE(host->errorLines.last(), ErrorLine + reason);
        }
    }

    void getUpdatedFileBacksUpOnlyWhenAsked()
    {
        const QString target = File(QStringLiteral("data.bin"));
        Write(target, "old");
        Write(target + ".bak", "older");
        server->SetBody("/two", "ab");

        QVERIFY(checker->GetUpdatedFile(server->Url("/two"), target, false));
        QCOMPARE(ReadAll(target), QByteArray("ab"));
        QCOMPARE(ReadAll(target + ".bak"), QByteArray("older"));

        server->SetBody("/three", "abc");
        QVERIFY(checker->GetUpdatedFile(server->Url("/three"), target, true));
        QCOMPARE(ReadAll(target), QByteArray("abc"));
        QCOMPARE(ReadAll(target + ".bak"), QByteArray("ab"));

        // A folder that does not exist cannot take the file.
        QVERIFY(!checker->GetUpdatedFile(server->Url("/three"), File("missing/data.bin"), true));
        QVERIFY(!QFileInfo::exists(File("missing")));
        QVERIFY(!checker->GetUpdatedFile(QStringLiteral("ftp://127.0.0.1/x"), target, true));
        QCOMPARE(ReadAll(target), QByteArray("abc"));
    }

    void goodDownloadStartsTheSetupAndQuits_data()
    {
        QTest::addColumn<bool>("withChecksum");
        QTest::newRow("no checksum published") << false;
        QTest::newRow("matching checksum") << true;
    }
    void goodDownloadStartsTheSetupAndQuits()
    {
        QFETCH(bool, withChecksum);
        const QByteArray script = SetupScript();
        const QByteArray extra =
            withChecksum ? "UpdateFileSHA256=" + Sha256(script).toUpper() + "\r\n" : QByteArray();
        server->SetBody("/Update.ini", Description("1.41", server->Url("/setup").toUtf8(), extra));
        server->SetBody("/setup", script);
        Write(SetupPath(), "previous setup");
        host->answers = {true, true};

        QVERIFY(checker->UpdateConfig(false));

        QCOMPARE(host->questions,
                 (QStringList{DownloadQuestion,
                              "The file has been downloaded to " +
                                  QDir::toNativeSeparators(SetupPath()) +
                                  ".\nDo you want to install the update now?  Your old INI file "
                                  "will be backed up."}));
        QCOMPARE(server->Requests(),
                 (QStringList{QStringLiteral("/Update.ini"), QStringLiteral("/setup")}));
        QCOMPARE(ReadAll(SetupPath()), script);
        QCOMPARE(ReadAll(SetupPath() + ".bak"), QByteArray("previous setup"));
        QVERIFY(QFileInfo(SetupPath()).isExecutable());
        QCOMPARE(ReadAll(ConfigPath() + ".bak"), ReadAll(ConfigPath()));
        QCOMPARE(host->quits, 1);
        QVERIFY(host->exclamations.isEmpty());
        QCOMPARE(host->LastStatus(), QStringLiteral("Tarvik update successfully downloaded."));
        // Tarvik ends with the window still disabled.
        QCOMPARE(host->busyCalls.last(), std::make_pair(true, MainTab::Errors));
        QVERIFY(
            Logged(QStringLiteral("Update successfully downloaded; preparing to execute update.")));
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(MarkerPath()), 10000);
    }

    void checksumMismatchIsNeverRun()
    {
        const QByteArray script = SetupScript();
        server->SetBody("/Update.ini",
                        Description("1.41", server->Url("/setup").toUtf8(),
                                    "UpdateFileSHA256=" + Sha256("something else") + "\r\n"));
        server->SetBody("/setup", script);
        Write(SetupPath(), "previous setup");
        host->answers = {true, true};

        QVERIFY(checker->UpdateConfig(false));

        QCOMPARE(host->exclamations,
                 QStringList{QStringLiteral("The downloaded update does not match its published "
                                            "checksum and will not be run.")});
        QCOMPARE(host->questions, QStringList{DownloadQuestion});
        QCOMPARE(ReadAll(SetupPath()), QByteArray("previous setup"));
        QVERIFY(!QFile::exists(SetupPath() + ".bak"));
        QVERIFY(!QFile::exists(ConfigPath() + ".bak"));
        QCOMPARE(host->quits, 0);
        QCOMPARE(host->busyCalls, CheckedBusy);
        QTest::qWait(200);
        QVERIFY(!QFile::exists(MarkerPath()));
    }

    void failedSetupDownloadKeepsThePreviousProgram()
    {
        server->SetBody("/Update.ini", Description("1.41", server->Url("/setup").toUtf8()));
        server->SetRoute("/setup", {SetupScript(), 200, TestHttpServer::Behaviour::CloseEarly});
        Write(SetupPath(), "previous setup");
        host->answers = {true, true};

        QVERIFY(checker->UpdateConfig(false));

        QCOMPARE(host->exclamations, QStringList{QStringLiteral("The download failed!")});
        QVERIFY(Logged(QStringLiteral(">> ERROR:  The program update download failed.")));
        QCOMPARE(ReadAll(SetupPath()), QByteArray("previous setup"));
        QCOMPARE(host->quits, 0);
        QCOMPARE(host->busyCalls, CheckedBusy);
    }

    void declinedInstallLeavesTheDownloadOnly()
    {
        server->SetBody("/Update.ini", Description("1.41", server->Url("/setup").toUtf8()));
        server->SetBody("/setup", SetupScript());
        host->answers = {true, false};

        QVERIFY(checker->UpdateConfig(false));

        QCOMPARE(host->questions.size(), 2);
        QCOMPARE(ReadAll(SetupPath()), SetupScript());
        QVERIFY(!QFile::exists(ConfigPath() + ".bak"));
        QCOMPARE(host->quits, 0);
        QCOMPARE(host->busyCalls, CheckedBusy);
        QTest::qWait(200);
        QVERIFY(!QFile::exists(MarkerPath()));
    }

    void setupThatCannotStartIsReported()
    {
        server->SetBody("/Update.ini", Description("1.41", server->Url("/setup").toUtf8()));
        server->SetBody("/setup", QByteArray("\x7f"
                                             "ELF but not really a program",
                                             29));
        host->answers = {true, true};

        QVERIFY(checker->UpdateConfig(false));

        QCOMPARE(host->exclamations,
                 QStringList{QStringLiteral("An error occurred while running the installation.")});
        QVERIFY(Logged(QStringLiteral(">> ERROR:  Program update execution failed.")));
        QCOMPARE(host->quits, 0);
        QCOMPARE(host->busyCalls, CheckedBusy);
    }

    void timerChecksQuietlyAndTheMenuAsksFirst()
    {
        SetLastCheck("06/01/2026 11:59:00 AM");
        server->SetBody("/Update.ini", Description("1.40.7", server->Url("/setup").toUtf8()));
        checker->AutomaticCheck();
        QVERIFY(Logged(QStringLiteral("Program update timer firing.")));
        QVERIFY(server->Requests().isEmpty());
        QCOMPARE(host->LastStatus(), QStringLiteral("Tarvik checked for updates 1 minutes ago."));

        host->answers = {false};
        checker->CheckOnRequest();
        QCOMPARE(host->questions,
                 QStringList{QStringLiteral("Do you want to check for updates to Tarvik?")});
        QVERIFY(server->Requests().isEmpty());

        // Yes checks even though the last check was a minute ago.
        host->answers = {true};
        checker->CheckOnRequest();
        QCOMPARE(server->Requests().size(), 1);
        QCOMPARE(host->LastStatus(), UpToDate);
    }
};

QTEST_GUILESS_MAIN(UpdateCheckerTest)
#include "UpdateCheckerTest.moc"
