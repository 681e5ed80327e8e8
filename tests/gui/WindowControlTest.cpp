// The main window stays in the player's hands: long work (an analysis, an
// update check) never runs inside other long work, closing ends a check, and
// secondary windows open where and as large as they are useful.
#include "GuiTestSupport.h"
#include "LocalHttpServer.h"
#include "analysis/Session.h"
#include "app/gui/ErrorsTab.h"
#include "app/gui/StatusBar.h"
#include "app/gui/UpdateCoordinator.h"
#include "update/UpdateChecker.h"
#include "util/Clock.h"
#include "util/SettingsStore.h"

#include <QAction>
#include <QDir>
#include <QLabel>
#include <QNetworkProxyFactory>
#include <QTabWidget>
#include <QTest>

using namespace tarvik;
using std::chrono::milliseconds;
using test::LocalHttpServer;

namespace {

// A clock whose millisecond count moves on at every look, so that an
// analysis hands control to the event loop every few dozen lines.
class SteppingClock final : public Clock {
public:
    DateTime Now() const override { return DateTime::FromCivil(2026, 7, 6, 10, 0, 0); }
    int64_t TickMs() const override { return tick_ += 40; }

private:
    mutable int64_t tick_ = 0;
};

// The bundled samples, one after another, many times over.
QString WriteLongLog(const QTemporaryDir& dir, int repeats)
{
    QByteArray samples;
    for (const QString& path : test::SamplePaths()) {
        QFile file(path);
        if (file.open(QIODevice::ReadOnly))
            samples += file.readAll();
    }
    const QString path = dir.filePath("long.txt");
    QFile file(path);
    if (file.open(QIODevice::WriteOnly)) {
        for (int i = 0; i < repeats; ++i)
            file.write(samples);
    }
    return path;
}

// Version 0 is never newer than the running one.
const QByteArray UpToDateDescription =
    "[Tarvik]\r\nCurrentVersion=0\r\nUpdateFile=http://127.0.0.1:1/setup\r\n";

} // namespace

class WindowControlTest : public QObject {
    Q_OBJECT

private:
    test::WindowServices services_{DateTime::FromCivil(2026, 7, 6, 10, 0, 0)};
    SteppingClock steppingClock_;
    std::unique_ptr<LocalHttpServer> server_;

    // A program folder whose configuration asks the local server for updates.
    void PointAtServer(test::ProgramFolder& folder)
    {
        folder.ReplaceInConfig("\nURL=", "\nURL=" + server_->Url("/Update.ini").toUtf8());
    }

private slots:
    void initTestCase() { QNetworkProxyFactory::setUseSystemConfiguration(false); }

    void init()
    {
        services_.Reset();
        server_ = std::make_unique<LocalHttpServer>();
        QVERIFY(server_->Listen());
        // The server's pauses pass the window's time, as the transfer waits.
        server_->PassTimeWith([this](int ms) { services_.Pass(milliseconds(ms)); });
        server_->Set("/Update.ini", {UpToDateDescription});
    }

    // The automatic check falls due while a long log is read: it waits, the
    // window stays disabled to the end of the analysis, and the problems the
    // analysis found stay in the error list.
    void automaticCheckWaitsUntilTheAnalysisIsOver()
    {
        test::ProgramFolder folder;
        PointAtServer(folder);
        QTemporaryDir logs;
        const QString log = WriteLongLog(logs, 40);
        MainWindowEnvironment environment = services_.ForReturning(folder);
        environment.clock = &steppingClock_;
        MainWindow window(environment);
        QVERIFY(window.Start());

        int yields = 0;
        bool enabledWhileReading = false;
        int requestsWhileReading = 0;
        QTimer watch;
        watch.setInterval(0);
        connect(&watch, &QTimer::timeout, [&] {
            if (!window.GetSession().Analyzing())
                return;
            // Due at the analysis's first look at the event loop.
            if (++yields == 1)
                services_.Pass(UpdateCoordinator::AutomaticDelay);
            enabledWhileReading |= window.isEnabled();
            requestsWhileReading += static_cast<int>(server_->requests.size());
        });
        watch.start();
        window.AnalyzeFiles({log});

        QVERIFY(yields > 10);
        QVERIFY(!enabledWhileReading);
        QCOMPARE(requestsWhileReading, 0);
        QCOMPARE(window.Status().Panel("Message")->text(),
                 QString("Log analysis complete.  (Check Status and Errors tabs for more info.)"));
        QVERIFY(window.GetSession().Data().linesRead > 4000);
        const int problems = window.Errors()->Count();
        QVERIFY(problems > 0);

        // Then it runs, and leaves the analysis's problems where they are.
        QTRY_COMPARE(server_->requests, QStringList{"/Update.ini"});
        QTRY_COMPARE(window.Status().Panel("Message")->text(), QString("Tarvik is up to date."));
        QVERIFY(window.isEnabled());
        QCOMPARE(window.Errors()->Count(), problems);
        QVERIFY(window.Errors()->Lines().front().find("Resolving") == std::string::npos);
    }

    // Logs named while a check runs are analysed once it is over, not inside it.
    void analysisWaitsUntilTheCheckIsOver()
    {
        test::ProgramFolder folder;
        PointAtServer(folder);
        server_->Set("/Update.ini", {UpToDateDescription, 200, LocalHttpServer::SlowAnswer});
        MainWindow window(services_.ForReturning(folder));
        QVERIFY(window.Start());
        services_.dialogs.answers.enqueue(Dialogs::Answer::Yes);
        int linesReadInside = -1;
        bool enabledInside = true;
        // While the answer comes, piece by piece.
        services_.timers.After(milliseconds(200), [&] {
            window.AnalyzeFiles(test::SamplePaths());
            linesReadInside = window.GetSession().Data().linesRead;
            enabledInside = window.isEnabled();
        });
        window.Action("mnuMainHelpCheckForUpdates")->trigger();

        QCOMPARE(linesReadInside, 0);
        QVERIFY(!enabledInside);
        QTRY_COMPARE(
            window.Status().Panel("Message")->text(),
            QString("Log analysis complete.  (Check Status and Errors tabs for more info.)"));
        QVERIFY(window.ProgressLabel()->text().startsWith(
            "Analyzing logs...complete.\n\n3 log file(s)"));
        QVERIFY(window.isEnabled());
    }

    // Closing the window during a check ends the check at once (which leaves
    // no temporary file, as the update check's own tests show) and closes it.
    void closingDuringACheckCancelsItAndCloses_data()
    {
        QTest::addColumn<bool>("downloading");
        QTest::newRow("waiting for the description") << false;
        QTest::newRow("downloading the setup program") << true;
    }
    void closingDuringACheckCancelsItAndCloses()
    {
        QFETCH(bool, downloading);
        test::ProgramFolder folder;
        PointAtServer(folder);
        if (downloading) {
            // Any checksum: the download never ends.
            server_->Set("/Update.ini", {"[Tarvik]\r\nCurrentVersion=999\r\nUpdateFile=" +
                                         server_->Url("/setup").toUtf8() +
                                         "\r\nUpdateFileSHA256=" + QByteArray(64, 'a') + "\r\n"});
            server_->Set("/setup", {{}, 200, LocalHttpServer::Trickle});
        } else {
            server_->Set("/Update.ini", {{}, 200, LocalHttpServer::NeverAnswer});
        }
        MainWindowEnvironment environment = services_.ForReturning(folder);
        environment.updateTrust.TrustPlainHttp(QUrl(server_->Url("/")));
        MainWindow window(environment);
        QVERIFY(window.Start());
        services_.dialogs.answers << Dialogs::Answer::Yes << Dialogs::Answer::Yes;
        bool closedAtOnce = true;
        services_.timers.After(milliseconds(downloading ? 600 : 300), [&] {
            window.close();
            closedAtOnce = !window.isVisible();
        });
        window.Action("mnuMainHelpCheckForUpdates")->trigger();

        // Refused while the check unwinds, then closed.
        QVERIFY(!closedAtOnce);
        QVERIFY(!window.isVisible());
        QCOMPARE(window.Status().Panel("Message")->text(),
                 QString("Program update check cancelled."));
        QCOMPARE(services_.dialogs.questions.size(), downloading ? 2 : 1);
        QCOMPARE(services_.dialogs.messages.size(), 0);
    }

    // The shipped configuration has no update address: the Info tab says so
    // (its words, no box and no grey window are the update check's tests').
    void noUpdateAddressIsSaidOnTheInfoTab()
    {
        test::ProgramFolder folder;
        MainWindow window(services_.ForReturning(folder));
        QVERIFY(window.Start());
        // The automatic check, a second after start-up.
        services_.Pass(UpdateCoordinator::AutomaticDelay - milliseconds(1));
        QVERIFY(!window.UpdateNote()->isVisible());
        services_.Pass(milliseconds(1));
        QVERIFY(window.UpdateNote()->isVisible());
        QVERIFY(window.UpdateNote()->text().endsWith("gives no update address."));
        QCOMPARE(window.Tabs()->currentIndex(), 0);
        QCOMPARE(window.Errors()->Count(), 0);
    }

    // Logs from several folders on the command line are all analysed.
    void logsFromSeveralFoldersAreAllAnalysed()
    {
        // Neither folder holds all of them.
        QTemporaryDir first;
        QTemporaryDir second;
        const QStringList samples = test::SamplePaths();
        QStringList paths;
        for (const QString& sample : samples) {
            paths << (paths.isEmpty() ? first : second).filePath(QFileInfo(sample).fileName());
            QVERIFY(QFile::copy(sample, paths.last()));
        }
        test::ProgramFolder folder;
        MainWindow window(services_.ForReturning(folder));
        QVERIFY(window.Start());
        window.AnalyzeFiles(samples);
        const int32_t lines = window.GetSession().Data().linesRead;
        const int32_t records = window.GetSession().Data().recordsParsed;
        window.SelectLogs(paths);
        window.AnalyzeFiles(paths);

        QCOMPARE(window.GetSession().Data().linesRead, lines);
        QCOMPARE(window.GetSession().Data().recordsParsed, records);
        QVERIFY(window.ProgressLabel()->text().startsWith(
            "Analyzing logs...complete.\n\n3 log file(s)"));
    }
};

QTEST_MAIN(WindowControlTest)
#include "WindowControlTest.moc"
