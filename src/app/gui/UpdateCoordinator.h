#pragma once

#include "MainTab.h"
#include "update/UpdateChecker.h"
#include "update/UpdateHost.h"
#include "util/Timer.h"

#include <functional>

class QLabel;
class QWidget;

namespace tarvik {

class Clock;
class DebugLog;
class Dialogs;
class ErrObject;
class ErrorsTab;
class LongWork;
class StatusBar;

// What the update check works with in the window; all of it outlives the
// coordinator.
struct UpdateParts {
    Dialogs& dialogs;
    DebugLog& debug;
    ErrObject& lastError;
    const Clock& clock;
    TimerFactory& timers;
    LongWork& work;
    StatusBar& statusBar;
    ErrorsTab& errors;
    QLabel& note;    // the Info tab's line about automatic checks
    QWidget* window; // the message boxes' parent
};

// What a check asks of the rest of the window. Unset hooks do nothing.
struct UpdateHooks {
    // Disables the window (busy) or ends that.
    std::function<void(bool busy)> setBusy;
    std::function<void(MainTab tab)> showTab;
    // The check is over: the work that waited for it may start.
    std::function<void()> finished;
    // Closes the main window.
    std::function<void()> close;
};

// The update check in the main window: automatic once, a second after
// start-up; on request from the Help menu. A check never starts inside an
// analysis: it waits until the analysis is over. Closing the window during a
// check cancels it, and the window closes once the check has returned.
class UpdateCoordinator final : private UpdateHost {
public:
    static constexpr std::chrono::milliseconds AutomaticDelay{1000};

    UpdateCoordinator(const UpdateParts& parts, UpdateHooks hooks, UpdateCheckerSettings settings);

    // The automatic check falls due AutomaticDelay from now.
    void StartTimer() { timer_.Start(); }
    void StopTimer() { timer_.Stop(); }
    // A check (onRequest: the menu's, which asks first): now, or once the
    // analysis that runs is over (TakeWaiting tells which kind waited).
    void Request(bool onRequest);
    bool TakeWaiting() const { return waitingOnRequest_; }

    // The window is to close: true when it must wait for the check to return
    // (the check is cancelled; the window closes afterwards).
    bool HoldClose();
    bool ClosingAfterCheck() const { return closeAfterCheck_; }
    // The setup program runs: the window closes whatever runs.
    bool Quitting() const { return quitting_; }

    const UpdateChecker& Checker() const { return checker_; }

private:
    // UpdateHost
    void SetStatusMessage(const QString& text) override;
    void ClearErrorList() override;
    bool ErrorListEmpty() const override;
    void AddErrorLine(const QString& line) override;
    void SetBusy(bool busy) override;
    void ShowErrors() override;
    void ShowInfo() override;
    void NoteAutomaticChecksOff(const QString& text) override;
    void ShowInformation(const QString& text) override;
    void ShowExclamation(const QString& text) override;
    bool AskYesNo(const QString& text) override;
    void QuitNow() override;

    void ShowTab(MainTab tab);

    UpdateParts parts_;
    UpdateHooks hooks_;
    UpdateChecker checker_;
    IntervalTimer timer_;
    bool waitingOnRequest_ = false;
    bool closeAfterCheck_ = false;
    bool quitting_ = false;
};

} // namespace tarvik
