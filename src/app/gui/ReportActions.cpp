#include "ReportActions.h"

#include "analysis/Session.h"
#include "report/CsvTable.h"
#include "report/HtmlReport.h"
#include "report/JsonReport.h"
#include "report/ReportText.h"
#include "util/gui/Dialogs.h"
#include "util/gui/SaveFileCommit.h"

#include <sstream>

#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <QWidget>

namespace tarvik {

namespace {

const QString Title = "Tarvik";

} // namespace

ReportActions::ReportActions(Dialogs& dialogs, QWidget* window,
                             std::function<const Session*()> session,
                             std::function<QStringList()> logs)
    : QObject(window)
    , openUrl([](const QUrl& url) { return QDesktopServices::openUrl(url); })
    , dialogs_(dialogs)
    , window_(window)
    , session_(std::move(session))
    , logs_(std::move(logs))
{
    setObjectName("reportActions");
}

const Session* ReportActions::ReadySession()
{
    const Session* session = session_();
    if (!session || session->Data().linesRead == 0) {
        dialogs_.Message(window_, Dialogs::Icon::Information, Title,
                         "There is nothing to report yet: analyze some logs first.");
        return nullptr;
    }
    return session;
}

QString ReportActions::AskPath(const QString& title, const QString& folder, const QString& name,
                               const QString& filter, const QString& suffix)
{
    QString path = dialogs_.SaveFile(window_, title, QDir(folder).filePath(name), filter);
    if (path.isEmpty())
        return {};
    // The player typed a bare name; the browser needs the suffix to know the file.
    if (QFileInfo(path).suffix().isEmpty())
        path += "." + suffix;
    return path;
}

bool ReportActions::Write(const QString& path, const std::string& contents)
{
    // Written beside the old file and put in its place only when all of it
    // reached the disk.
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly) &&
        file.write(contents.data(), static_cast<qint64>(contents.size())) ==
            static_cast<qint64>(contents.size()) &&
        CommitWhole(file))
        return true;
    dialogs_.Message(window_, Dialogs::Icon::Exclamation, Title,
                     "Could not write " + QDir::toNativeSeparators(path) + ":\n" +
                         file.errorString());
    return false;
}

std::vector<std::string> ReportActions::FileNames() const
{
    std::vector<std::string> paths;
    for (const QString& log : logs_())
        paths.push_back(log.toStdString());
    return ReportFileNames(paths);
}

QString ReportActions::GenerateReport(const QString& folder)
{
    const Session* session = ReadySession();
    if (!session)
        return {};
    const QString path = AskPath("Save the report as", folder, "Tarvik report.html",
                                 "HTML files (*.html *.htm);;All files (*)", "html");
    if (path.isEmpty() ||
        !Write(path, HtmlReport(*session, FileNames(), session->Errors().Lines())))
        return {};
    const auto answer = dialogs_.Ask(window_, Dialogs::Icon::Question, Title,
                                     "The report was saved to " + QDir::toNativeSeparators(path) +
                                         ".\n\nOpen it in your browser?");
    if (answer == Dialogs::Answer::Yes && !openUrl(QUrl::fromLocalFile(path))) {
        dialogs_.Message(window_, Dialogs::Icon::Exclamation, Title,
                         "No browser could be started for " + QDir::toNativeSeparators(path) + ".");
    }
    return path;
}

QString ReportActions::ExportJson(const QString& folder)
{
    const Session* session = ReadySession();
    if (!session)
        return {};
    const QString path = AskPath("Export as JSON", folder, "Tarvik.json",
                                 "JSON files (*.json);;All files (*)", "json");
    if (path.isEmpty())
        return {};
    // What tarvik-cli --json --fights --targets prints.
    std::ostringstream json;
    JsonReport(json, *session, FileNames(), session->Errors().Lines(), {true, true});
    if (!Write(path, json.str()))
        return {};
    dialogs_.Message(window_, Dialogs::Icon::Information, Title,
                     "Exported to " + QDir::toNativeSeparators(path) + ".");
    return path;
}

QString ReportActions::ExportCsv(const QString& folder)
{
    const Session* session = ReadySession();
    if (!session)
        return {};
    const QString path = AskPath("Export the fights as CSV", folder, "Tarvik fights.csv",
                                 "CSV files (*.csv);;All files (*)", "csv");
    if (path.isEmpty() || !Write(path, FightsCsv(*session)))
        return {};
    dialogs_.Message(window_, Dialogs::Icon::Information, Title,
                     "Exported to " + QDir::toNativeSeparators(path) + ".");
    return path;
}

} // namespace tarvik
