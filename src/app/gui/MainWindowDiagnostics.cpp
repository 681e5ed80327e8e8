// The main window's "Errors" and "Debug" tabs.
#include "DebugTab.h"
#include "ErrorsTab.h"
#include "LogSelectionPanel.h"
#include "MainWindow.h"
#include "config/ProgramInfo.h"
#include "model/RoundNumber.h"
#include "util/Clock.h"
#include "util/gui/Dialogs.h"
#include "util/gui/QtText.h"
#include "util/gui/SaveFileCommit.h"

#include <QDir>
#include <QLabel>
#include <QProgressBar>
#include <QSaveFile>
#include <QSlider>
#include <QTabWidget>
#include <QTextEdit>

namespace tarvik {

void MainWindow::TabChanged(int index)
{
    if (index == static_cast<int>(MainTab::Errors) - 1)
        errorsTab_->UpdateButtons();
    RefreshFightViews();
}

void MainWindow::ViewErrorLog()
{
    debug_.LogDebug("Displaying the log from lstErrors.", 4);
    errorsTab_->Flush();
    QString text;
    for (const auto& line : errorsTab_->Lines())
        text += ToQString(line) + "\n";
    OpenInViewer(text, false, false);
}

void MainWindow::SaveErrorLog()
{
    const QString path =
        dialogs_.SaveFile(this, "Specify the file to save the log to:", logPanel_->Folder(),
                          "Log files (*.log);;All files (*)");
    if (path.isEmpty())
        return;
    debug_.LogDebug("Saving log contents from lstErrors.", 3);
    // The lines keep the bytes they were read with.
    std::string contents = ProgramInfo::ProductAndVersion() + "\r\n";
    contents +=
        "Saved: " + clock_.Now().FormatDate() + " - " + clock_.Now().FormatTime() + "\r\n\r\n";
    for (const auto& line : errorsTab_->Lines()) {
        contents += line;
        contents += "\r\n";
    }
    // Written beside the old file and put in its place only when all of it
    // reached the disk, so a full disk leaves the old file as it was.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) ||
        file.write(contents.data(), static_cast<qint64>(contents.size())) !=
            static_cast<qint64>(contents.size()) ||
        !CommitWhole(file)) {
        dialogs_.Message(this, Dialogs::Icon::Exclamation, "Tarvik", "Error while saving file!");
        return;
    }
    dialogs_.Message(this, Dialogs::Icon::Information, "Tarvik", "Log successfully saved.");
}

void MainWindow::DebugLevelChanged(int value)
{
    if (value == debugLevelShown_)
        return;
    std::string name = DebugLog::LevelName(value);
    if (value > 0) {
        const QString question =
            "Enabling debug mode will reduce the application performance significantly,\n"
            "and possible make " +
            environment_.exeBaseName +
            " unable to analyze data in real-time.\n"
            "Higher levels of debugging will slow down processing much more.\n\n"
            "Are you sure you want to set debug mode to this level?";
        if (dialogs_.Ask(this, Dialogs::Icon::Question, "Tarvik", question) ==
            Dialogs::Answer::Yes) {
            debugTab_->Info()->clear();
        } else {
            value = 0;
            name = DebugLog::LevelName(0);
            QSignalBlocker block(debugTab_->Slider());
            debugTab_->Slider()->setValue(0);
        }
    }
    debugLevelShown_ = value;
    debug_.SetLevel(value);
    logFile_.WriteLog("> New Debug Mode set:  " + name, false);
    logFile_.FlushLog();
    debugTab_->LevelLabel()->setText("Debug Mode:  " + QString::fromStdString(name));
    debugMode_->setText("Debug Mode Level: " + QString::fromStdString(name));
    debugMode_->setVisible(value > 0);
    timerDebugStatus_.SetRunning(value > 0);
    DebugStatusTick();
}

void MainWindow::DebugStatusTick()
{
    timerDebugStatus_.Stop();
    logFile_.FlushIfNecessary();
    debugTab_->Info()->setPlainText(QString::fromStdString(logFile_.FileName()) +
                                    "\n\nBuffer write delay: \t" +
                                    QString::number(logFile_.WriteDelay()) + " seconds.");
    const int32_t size = logFile_.BufferSize();
    const int32_t used = logFile_.BufferUsed();
    const double free = size > 0 ? 1.0 - static_cast<double>(used) / size : 1.0;
    debugTab_->BufferBar()->setValue(static_cast<int>(RoundNumber(free * 100.0, 3)));
    debugTab_->BufferBar()->setToolTip(QString::number(used) + " used of " + QString::number(size));
    debugTab_->BufferLabel()->setText(QString::number(RoundNumber(free, 3) * 100.0, 'f', 1) + "%");
    if (debugTab_->Slider()->value() >= 1)
        timerDebugStatus_.Start();
}

void MainWindow::ViewDebugLog()
{
    logFile_.FlushLog();
    OpenInViewer(QString::fromStdString(logFile_.FileName()), true, false);
}

void MainWindow::ClearDebugLog()
{
    if (dialogs_.Ask(this, Dialogs::Icon::Question, "Tarvik",
                     "Are you sure you want to clear the data in the debug log?") !=
        Dialogs::Answer::Yes)
        return;
    debugTab_->Info()->clear();
    logFile_.ClearLog();
}

} // namespace tarvik
