// "Generate Report" and File > Export on the demo session: the files are
// read back as a browser, a JSON reader and a spreadsheet would read them.
#include "app/gui/ReportActions.h"

#include "GuiTestSupport.h"
#include "analysis/Session.h"
#include "app/ProgramInfo.h"
#include "app/UserOptions.h"
#include "app/gui/DemoStart.h"
#include "fights/FightViews.h"
#include "util/Encoding.h"

#include <QAction>
#include <QProcess>
#include <QPushButton>
#include <QXmlStreamReader>

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

QString Display(const std::string& bytes)
{
    return QString::fromStdString(DisplayText(bytes));
}

// RFC 4180: fields split at commas outside quotes, "" inside quotes is one
// quote, records end with CR LF.
QList<QStringList> ParseCsv(const QString& text)
{
    QList<QStringList> rows;
    QStringList row;
    QString field;
    bool quoted = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (quoted) {
            if (c == '"' && i + 1 < text.size() && text[i + 1] == '"') {
                field += '"';
                ++i;
            } else if (c == '"') {
                quoted = false;
            } else {
                field += c;
            }
        } else if (c == '"') {
            quoted = true;
        } else if (c == ',') {
            row << std::exchange(field, {});
        } else if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            row << std::exchange(field, {});
            rows << std::exchange(row, {});
            ++i;
        } else {
            field += c;
        }
    }
    return rows;
}

} // namespace

class ReportActionsTest : public QObject {
    Q_OBJECT

    test::WindowServices services_{DateTime::FromCivil(2026, 12, 1, 12, 0, 0)};
    QTemporaryDir out_;

    // A window that has analysed the demo with the party detected.
    std::unique_ptr<MainWindow> AnalysedWindow(const test::ProgramFolder& folder)
    {
        WriteStoredVersion(services_.store, ProgramInfo::RunningVersion());
        auto window = std::make_unique<MainWindow>(services_.For(folder));
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

        // Read as XML: every element closed, every name escaped.
        QXmlStreamReader xml(ReadAll(services_.dialogs.savePath));
        int charts = 0;
        QStringList firstFight;
        bool inFightsTable = false;
        int rowInTable = 0;
        while (!xml.atEnd()) {
            xml.readNext();
            if (xml.isStartElement() && xml.name() == QLatin1String("svg"))
                ++charts;
            if (xml.isStartElement() && xml.name() == QLatin1String("table"))
                inFightsTable = xml.attributes().value("class") == QLatin1String("fights");
            if (inFightsTable && xml.isStartElement() && xml.name() == QLatin1String("tr"))
                ++rowInTable;
            if (inFightsTable && rowInTable == 2 && xml.isStartElement() &&
                xml.name() == QLatin1String("td"))
                firstFight << xml.readElementText(QXmlStreamReader::IncludeChildElements);
        }
        QVERIFY2(!xml.hasError(), qPrintable(xml.errorString()));
        QCOMPARE(charts, static_cast<int>(fights.size()));

        const Roster roster = session.FightRoster();
        const FightSummary summary = SummarizeFight(fights.front(), roster);
        QCOMPARE(firstFight.size(), 8);
        QCOMPARE(firstFight[0], QString("1"));
        QCOMPARE(firstFight[1], QString::fromStdString(fights.front().Start().Format()));
        QCOMPARE(firstFight[3], Display(summary.name));
        QCOMPARE(firstFight[4], QString::fromStdString(DpsText(summary.yourDps)));
        QCOMPARE(firstFight[5], QString::fromStdString(DpsText(summary.partyDps)));
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

    void csvExportQuotesAndHasOneLinePerFight()
    {
        test::ProgramFolder folder;
        auto window = AnalysedWindow(folder);
        QVERIFY(window);
        services_.dialogs.savePath = out_.filePath("fights");
        window->Action("mnuMainFileExportCsv")->trigger();
        const QList<QStringList> rows =
            ParseCsv(QString::fromUtf8(ReadAll(out_.filePath("fights.csv"))));
        const Session& session = window->GetSession();
        const auto& fights = session.Fights().Fights();
        QCOMPARE(rows.size(), static_cast<int>(fights.size()) + 1);
        QCOMPARE(rows[0][0], QString("Number"));
        for (qsizetype i = 1; i < rows.size(); ++i) {
            QCOMPARE(rows[i].size(), 11);
            const FightSummary summary =
                SummarizeFight(fights[static_cast<size_t>(i - 1)], session.FightRoster());
            QCOMPARE(rows[i][4], Display(summary.name));
            QCOMPARE(rows[i][10].toInt(), summary.sideDeaths);
        }
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
            const Session& session = window.GetSession();
            QVERIFY(session.Errors().Lines().empty());
            QVERIFY(session.Fights().Fights().size() >= 15);
            const AnalysisData& data = session.Data();
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
