// The main window's notification-area icon, game detection and update check.
#include "ErrorsTab.h"
#include "MainWindow.h"
#include "config/ProgramInfo.h"
#include "monitor/GameDetector.h"
#include "monitor/WindowListerFactory.h"
#include "update/UpdateChecker.h"
#include "update/UpdateHost.h"
#include "util/gui/Dialogs.h"
#include "util/gui/QtText.h"
#include "util/gui/SystemTray.h"

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QEvent>

namespace tarvik {

namespace {

// The update check's view of the main window.
class MainWindowUpdateHost final : public UpdateHost {
public:
    MainWindowUpdateHost(MainWindow& window, Dialogs& dialogs)
        : window_(window)
        , dialogs_(dialogs)
    {
    }
    void SetStatusMessage(const QString& text) override
    {
        window_.SetStatusMessage(text.toStdString());
    }
    void ClearErrorList() override { window_.Errors()->Clear(); }
    bool ErrorListEmpty() const override { return window_.Errors()->Count() == 0; }
    void AddErrorLine(const QString& line) override
    {
        window_.Errors()->Append(line.toStdString());
        window_.Errors()->Flush();
        window_.Errors()->UpdateButtons();
    }
    void SetBusy(bool busy) override { window_.SetBusy(busy, MainTab::None); }
    void ShowErrors() override { window_.SelectTab(MainTab::Errors); }
    void ShowInfo() override { window_.SelectTab(MainTab::Info); }
    void NoteAutomaticChecksOff(const QString& text) override
    {
        window_.NoteAutomaticUpdateChecksOff(text);
    }
    void ShowInformation(const QString& text) override
    {
        dialogs_.Message(&window_, Dialogs::Icon::Information, "Tarvik", text);
    }
    void ShowExclamation(const QString& text) override
    {
        dialogs_.Message(&window_, Dialogs::Icon::Exclamation, "Tarvik", text);
    }
    bool AskYesNo(const QString& text) override
    {
        return dialogs_.Ask(&window_, Dialogs::Icon::Question, "Tarvik", text) ==
               Dialogs::Answer::Yes;
    }
    void QuitNow() override { window_.QuitNow(); }

private:
    MainWindow& window_;
    Dialogs& dialogs_;
};

} // namespace

void MainWindow::SetUpPlatformServices()
{
    windowLister_ = CreateWindowLister(debug_);
    gameDetector_ =
        std::make_unique<GameDetector>(*windowLister_, debug_, config_->windowTitle,
                                       config_->windowClass, ProgramInfo::ProductName());
    connect(&timerProcesses_, &QTimer::timeout, this, &MainWindow::ProcessTick);

    updateHost_ = std::make_unique<MainWindowUpdateHost>(*this, dialogs_);
    UpdateCheckerSettings settings;
    settings.programDirectory = ToQString(files_.dataDir);
    settings.configuration = config_->file;
    settings.trust = environment_.updateTrust;
    updater_ = std::make_unique<UpdateChecker>(*updateHost_, debug_, lastError_, clock_,
                                               std::move(settings));
    connect(&timerUpdates_, &QTimer::timeout, this, [this] { CheckForUpdates(false); });
    connect(Action("mnuMainHelpCheckForUpdates"), &QAction::triggered, this,
            [this] { CheckForUpdates(true); });
}

void MainWindow::ProcessTick()
{
    if (!monitorGameProcess_ || !gameDetector_) {
        timerProcesses_.stop();
        return;
    }
    if (const auto announcement = gameDetector_->Tick()) {
        const QString text = ToQString(announcement->text);
        tray_->ShowBalloonTip(text, ToQString(announcement->title));
        // The balloon only shows while the window sits in the notification area.
        SetStatusMessage(announcement->text);
    }
}

void MainWindow::CheckForUpdates(bool onRequest)
{
    if (!updater_)
        return;
    if (!work_.Start(LongWork::Kind::UpdateCheck)) {
        // Waits for the analysis that runs; FinishWork starts it.
        waitingCheckOnRequest_ = onRequest;
        return;
    }
    if (onRequest)
        updater_->CheckOnRequest();
    else
        updater_->AutomaticCheck();
    FinishWork(LongWork::Kind::UpdateCheck);
    if (closeAfterCheck_)
        close();
}

void MainWindow::NoteAutomaticUpdateChecksOff(const QString& text)
{
    updateNote_->setText(text);
    updateNote_->setVisible(true);
}

void MainWindow::QuitNow()
{
    quitting_ = true;
    close();
    // quit() may be refused by a window that will not close; exit() is not.
    QCoreApplication::exit(0);
}

void MainWindow::changeEvent(QEvent* event)
{
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange && tray_)
        tray_->WindowStateChanged();
    if (event->type() == QEvent::WindowTitleChange && tray_)
        tray_->SetToolTip(windowTitle());
}

} // namespace tarvik
