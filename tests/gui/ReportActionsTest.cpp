// "Generate Report" and File > Export on the demo session: what is written
// is the engine's (tested there); here the dialogs, the names and failures.
#include "app/gui/ReportActions.h"

#include "GuiTestSupport.h"
#include "analysis/Session.h"
#include "app/UserOptions.h"
#include "app/gui/DemoStart.h"

#include <QAction>
#include <QPushButton>

namespace tarvik {

using test::SourceDir;

namespace {

QStringList DemoPaths()
{
    return DemoLogs(SourceDir + "/data/samples");
}

QByteArray ReadAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class ReportActionsTest : public QObject {
    Q_OBJECT

    test::WindowServices services_{DateTime::FromCivil(2026, 12, 1, 12, 0, 0)};
    QTemporaryDir out_;

    // A window that has analysed the demo with the party detected.
    std::unique_ptr<MainWindow> AnalysedWindow(const test::ProgramFolder& folder)
    {
        auto window = std::make_unique<MainWindow>(services_.ForReturning(folder));
        if (!window->Start())
            return nullptr;
        window->Action("mnuMainOptionsAutoDetectCharParty")->trigger();
        window->AnalyzeFiles(DemoPaths());
        return window;
    }

    static ReportActions* Reports(MainWindow& window)
    {
        return window.findChild<ReportActions*>("reportActions");
    }

private slots:
    void init() { services_.Reset(); }

    void reportIsWellFormedWithAChartPerFightAndOffersTheBrowser()
    {
        test::ProgramFolder folder;
        auto window = AnalysedWindow(folder);
        QVERIFY(window);
        const Session& session = window->GetSession();
        const auto& fights = session.Fights().Fights();
        QVERIFY(fights.size() >= 15);

        services_.dialogs.savePath = out_.filePath("demo report.html");
        services_.dialogs.answers.enqueue(Dialogs::Answer::Yes);
        QList<QUrl> opened;
        Reports(*window)->openUrl = [&](const QUrl& url) {
            opened << url;
            return true;
        };
        window->findChild<QPushButton*>("cmdGenerateReport")->click();
        QCOMPARE(opened, QList<QUrl>{QUrl::fromLocalFile(services_.dialogs.savePath)});
        QCOMPARE(services_.dialogs.questions.size(), 1);
        QVERIFY(services_.dialogs.messages.isEmpty());

        // The report itself, with a chart per fight.
        QCOMPARE(ReadAll(services_.dialogs.savePath).count("<svg "),
                 static_cast<qsizetype>(fights.size()));
    }

    void aBareNameGetsItsSuffixAndAFailedWriteIsNoSuccess()
    {
        test::ProgramFolder folder;
        auto window = AnalysedWindow(folder);
        QVERIFY(window);
        ReportActions* reports = Reports(*window);
        int browsers = 0;
        reports->openUrl = [&](const QUrl&) { return ++browsers > 0; };

        services_.dialogs.savePath = out_.filePath("bare");
        QCOMPARE(reports->GenerateReport(out_.path()), out_.filePath("bare.html"));
        QVERIFY(QFileInfo(out_.filePath("bare.html")).size() > 100000);
        QCOMPARE(browsers, 0); // the question was answered No

        // A folder that is not there: said so, nothing offered, no file.
        services_.dialogs.questions.clear();
        services_.dialogs.savePath = out_.filePath("gone/report.html");
        QCOMPARE(reports->GenerateReport(out_.path()), QString());
        QCOMPARE(services_.dialogs.messages.size(), 1);
        QCOMPARE(services_.dialogs.messages[0].icon, Dialogs::Icon::Exclamation);
        QVERIFY(services_.dialogs.messages[0].text.startsWith("Could not write"));
        QVERIFY(services_.dialogs.questions.isEmpty());
        QCOMPARE(reports->ExportJson(out_.path()), QString());
        QCOMPARE(reports->ExportCsv(out_.path()), QString());
        QCOMPARE(services_.dialogs.messages.size(), 3);
        QCOMPARE(browsers, 0);

        // Cancelled: nothing at all.
        services_.dialogs.savePath.clear();
        QCOMPARE(reports->ExportCsv(out_.path()), QString());
        QCOMPARE(services_.dialogs.messages.size(), 3);
    }

    void csvExportHasAHeaderAndOneLinePerFight()
    {
        test::ProgramFolder folder;
        auto window = AnalysedWindow(folder);
        QVERIFY(window);
        services_.dialogs.savePath = out_.filePath("fights");
        window->Action("mnuMainFileExportCsv")->trigger();
        const QByteArray csv = ReadAll(out_.filePath("fights.csv"));
        QVERIFY(csv.startsWith("Number,"));
        QCOMPARE(csv.count("\r\n"),
                 static_cast<qsizetype>(window->GetSession().Fights().Fights().size()) + 1);
    }

    void firstRunOpensOnTheDemoWithDetectionOn()
    {
        test::ProgramFolder folder;
        QVERIFY(QDir(folder.Path()).mkdir("demo"));
        for (const QString& path : DemoPaths())
            QVERIFY(QFile::copy(path, folder.File("demo/" + QFileInfo(path).fileName())));
        {
            MainWindow window(services_.For(folder));
            test::WhenViewerOpens([](FileViewer&) {}); // the first run's version history
            QVERIFY(window.Start());
            QVERIFY(window.FirstRun());
            const QStringList logs = FirstLogs(window, folder.Path(), {});
            QCOMPARE(logs.size(), 3);
            QVERIFY(logs[0].endsWith("/demo/nwclientLog1.txt"));
            QVERIFY(window.Action("mnuMainOptionsAutoDetectCharParty")->isChecked());
            window.AnalyzeFiles(logs);
            const AnalysisData& data = window.GetSession().Data();
            QCOMPARE(QString::fromStdString(data.characters.At(data.userCharacterId)->Name()),
                     QString("Aldric Voss"));
            window.close();
        }
        // Later runs open what the command line names, or nothing, and keep
        // the player's choice of detection.
        MainWindow again(services_.For(folder));
        QVERIFY(again.Start());
        QVERIFY(!again.FirstRun());
        again.Action("mnuMainOptionsAutoDetectCharParty")->trigger();
        QVERIFY(FirstLogs(again, folder.Path(), {}).isEmpty());
        QCOMPARE(FirstLogs(again, folder.Path(), {"a.txt"}), QStringList{"a.txt"});
        QVERIFY(!again.Action("mnuMainOptionsAutoDetectCharParty")->isChecked());
    }
};

} // namespace tarvik

QTEST_MAIN(tarvik::ReportActionsTest)
#include "ReportActionsTest.moc"
