#include "AnalysisRun.h"

#include "LogSelectionPanel.h"
#include "StatusBar.h"
#include "analysis/Session.h"
#include "diag/DebugLog.h"
#include "ui/LongWork.h"
#include "ui/StatusTexts.h"
#include "util/gui/QtText.h"

#include <utility>

#include <QCoreApplication>
#include <QLabel>

namespace tarvik {

AnalysisRun::AnalysisRun(const AnalysisRunParts& parts, AnalysisRunHooks hooks)
    : parts_(parts)
    , hooks_(std::move(hooks))
    , progressTimer_(parts.timers, TimerKind::Repeating, ProgressInterval,
                     [this] { ProgressTick(); })
{
}

void AnalysisRun::Request(const QStringList& paths)
{
    // A monitoring read never yields, so it cannot be running here; the
    // test is for safety.
    if (parts_.session.Analyzing())
        return;
    if (!parts_.work.Start(LongWork::Kind::Analysis)) {
        if (parts_.work.Running(LongWork::Kind::UpdateCheck))
            waiting_ = paths;
        return;
    }
    Run(paths);
    if (hooks_.finished)
        hooks_.finished();
}

QStringList AnalysisRun::TakeWaiting()
{
    return std::exchange(waiting_, {});
}

void AnalysisRun::SetBusy(bool busy, MainTab tab)
{
    if (hooks_.setBusy)
        hooks_.setBusy(busy, tab);
}

void AnalysisRun::Run(const QStringList& files)
{
    Session& session = parts_.session;
    session.ClearAllData();
    analysedLogs_ = files;
    parts_.progress.setText("Analyzing logs...");
    SetBusy(true, MainTab::Status);
    progressTimer_.Start();
    std::vector<std::string> paths;
    for (const QString& file : files)
        paths.push_back(file.toStdString());
    const DriverResult result = session.AnalyzeSelectedLogs(std::move(paths));
    progressTimer_.Stop();
    for (const auto& message : result.missing)
        session.AddError(message);
    for (const auto& message : result.skipped)
        session.AddError(message);
    if (result.aborted) {
        parts_.statusBar.SetMessage(ToQString(StopReasonText(result)));
        SetBusy(false, MainTab::Errors);
        return;
    }
    std::string summary = SummaryText(session.Data(), result.filesAnalyzed, result.elapsedMs);
    if (const std::string user = UserCharacterText(session.Data()); !user.empty())
        summary += "\n" + user;
    if (session.Errors().Counts().Total() > 0)
        summary += "\n" + LinesWithoutRecordText(session.Errors().Counts());
    parts_.progress.setText(ToQString(summary) + "\n\nUpdating display...");
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    if (hooks_.showResults)
        hooks_.showResults();
    parts_.debug.LogDebug("Log file analysis completed.", 1);
    parts_.progress.setText(parts_.progress.text() + "complete.");
    if (!result.missing.empty())
        parts_.logPanel.Refresh();
    parts_.statusBar.SetMessage(
        "Log analysis complete.  (Check Status and Errors tabs for more info.)");
    SetBusy(false, MainTab::Info);
}

void AnalysisRun::ProgressTick()
{
    parts_.debug.LogDebug("Monitoring:  Load progress timer firing.", 4);
    parts_.progress.setText(ToQString(ProgressText(parts_.session.Data())));
}

} // namespace tarvik
