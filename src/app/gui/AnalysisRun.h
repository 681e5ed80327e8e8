#pragma once

#include "MainTab.h"
#include "util/Timer.h"

#include <functional>

#include <QStringList>

class QLabel;

namespace tarvik {

class DebugLog;
class LogSelectionPanel;
class LongWork;
class Session;
class StatusBar;

// What an analysis run works with; all of it outlives the run.
struct AnalysisRunParts {
    Session& session;
    DebugLog& debug;
    TimerFactory& timers;
    LongWork& work;
    LogSelectionPanel& logPanel;
    StatusBar& statusBar;
    QLabel& progress; // the Status tab
};

// What a run asks of the rest of the window. Unset hooks do nothing.
struct AnalysisRunHooks {
    // Disables the window (busy) or ends that, and shows the tab.
    std::function<void(bool busy, MainTab tab)> setBusy;
    // The run's data are in: the tree is built afresh, the fight views follow.
    std::function<void()> showResults;
    // The run is over: the work that waited for it may start.
    std::function<void()> finished;
};

// "Analyze Logs": reads the chosen logs in one pass while the window rests,
// shows the progress on the Status tab every second and, at the end, the
// summary or why the run stopped. A run never starts inside an update check:
// it waits until the check is over.
class AnalysisRun {
public:
    static constexpr std::chrono::milliseconds ProgressInterval{1000};

    AnalysisRun(const AnalysisRunParts& parts, AnalysisRunHooks hooks);

    // Analyses exactly these files: now, or, while an update check runs,
    // once it is over (TakeWaiting gives them back).
    void Request(const QStringList& paths);
    QStringList TakeWaiting();
    // The logs of the last run, named in reports and exports.
    const QStringList& AnalysedLogs() const { return analysedLogs_; }
    // At shutdown.
    void StopTimer() { progressTimer_.Stop(); }

private:
    void Run(const QStringList& files);
    void ProgressTick();
    void SetBusy(bool busy, MainTab tab);

    AnalysisRunParts parts_;
    AnalysisRunHooks hooks_;
    QStringList waiting_;
    QStringList analysedLogs_;
    IntervalTimer progressTimer_;
};

} // namespace tarvik
