#include "UpdateCoordinator.h"

#include "ErrorsTab.h"
#include "StatusBar.h"
#include "ui/LongWork.h"
#include "util/gui/Dialogs.h"

#include <QCoreApplication>
#include <QLabel>

namespace tarvik {

namespace {

UpdateCheckerSettings WithTimers(UpdateCheckerSettings settings, TimerFactory& timers)
{
    settings.timers = &timers;
    return settings;
}

} // namespace

UpdateCoordinator::UpdateCoordinator(const UpdateParts& parts, UpdateHooks hooks,
                                     UpdateCheckerSettings settings)
    : parts_(parts)
    , hooks_(std::move(hooks))
    , checker_(*this, parts.debug, parts.lastError, parts.clock,
               WithTimers(std::move(settings), parts.timers))
    , timer_(parts.timers, TimerKind::SingleShot, AutomaticDelay, [this] { Request(false); })
{
}

void UpdateCoordinator::Request(bool onRequest)
{
    if (!parts_.work.Start(LongWork::Kind::UpdateCheck)) {
        // Waits for the analysis that runs.
        waitingOnRequest_ = onRequest;
        return;
    }
    if (onRequest)
        checker_.CheckOnRequest();
    else
        checker_.AutomaticCheck();
    if (hooks_.finished)
        hooks_.finished();
    if (closeAfterCheck_ && hooks_.close)
        hooks_.close();
}

bool UpdateCoordinator::HoldClose()
{
    if (quitting_ || !parts_.work.Running(LongWork::Kind::UpdateCheck))
        return false;
    // The check runs a local event loop further up the stack: stop it, and
    // close once it has returned.
    closeAfterCheck_ = true;
    checker_.Cancel();
    return true;
}

void UpdateCoordinator::SetStatusMessage(const QString& text)
{
    parts_.statusBar.SetMessage(text);
}

void UpdateCoordinator::ClearErrorList()
{
    parts_.errors.Clear();
}

bool UpdateCoordinator::ErrorListEmpty() const
{
    return parts_.errors.Count() == 0;
}

void UpdateCoordinator::AddErrorLine(const QString& line)
{
    parts_.errors.Append(line.toStdString());
    parts_.errors.Flush();
    parts_.errors.UpdateButtons();
}

void UpdateCoordinator::SetBusy(bool busy)
{
    if (hooks_.setBusy)
        hooks_.setBusy(busy);
}

void UpdateCoordinator::ShowTab(MainTab tab)
{
    if (hooks_.showTab)
        hooks_.showTab(tab);
}

void UpdateCoordinator::ShowErrors()
{
    ShowTab(MainTab::Errors);
}

void UpdateCoordinator::ShowInfo()
{
    ShowTab(MainTab::Info);
}

void UpdateCoordinator::NoteAutomaticChecksOff(const QString& text)
{
    parts_.note.setText(text);
    parts_.note.setVisible(true);
}

void UpdateCoordinator::ShowInformation(const QString& text)
{
    parts_.dialogs.Message(parts_.window, Dialogs::Icon::Information, "Tarvik", text);
}

void UpdateCoordinator::ShowExclamation(const QString& text)
{
    parts_.dialogs.Message(parts_.window, Dialogs::Icon::Exclamation, "Tarvik", text);
}

bool UpdateCoordinator::AskYesNo(const QString& text)
{
    return parts_.dialogs.Ask(parts_.window, Dialogs::Icon::Question, "Tarvik", text) ==
           Dialogs::Answer::Yes;
}

void UpdateCoordinator::QuitNow()
{
    quitting_ = true;
    if (hooks_.close)
        hooks_.close();
    // quit() may be refused by a window that will not close; exit() is not.
    QCoreApplication::exit(0);
}

} // namespace tarvik
