#pragma once

#include "FakeDialogs.h"
#include "FileSizeLimit.h"
#include "ManualTimers.h"
#include "app/gui/CharacterTreeWidget.h"
#include "app/gui/MainWindow.h"
#include "config/ProgramInfo.h"
#include "config/UserOptions.h"
#include "diag/gui/FileViewer.h"
#include "util/Clock.h"
#include "util/SettingsStore.h"

#include <csignal>
#include <sys/resource.h>

#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

namespace tarvik::test {

inline const QString SourceDir = QStringLiteral(TARVIK_SOURCE_DIR);

// The bundled sample logs, in name order.
inline QStringList SamplePaths()
{
    QStringList paths;
    const QDir samples(SourceDir + "/data/samples");
    for (const QString& name : samples.entryList({"*.txt"}, QDir::Files, QDir::Name))
        paths << samples.filePath(name);
    return paths;
}

inline QTreeWidgetItem* CharacterNode(MainWindow& window, const QString& name)
{
    QTreeWidgetItem* root = window.Tree()->topLevelItem(0);
    for (int i = 0; root && i < root->childCount(); ++i) {
        if (root->child(i)->text(0) == name)
            return root->child(i);
    }
    return nullptr;
}

// A program folder with the shipped files; a test may spoil the configuration.
class ProgramFolder {
public:
    explicit ProgramFolder(bool withConfig = true)
    {
        for (const char* name : {"Tarvik_help.txt", "Tarvik_history.txt"})
            QFile::copy(SourceDir + "/data/" + name, dir_.filePath(name));
        if (withConfig)
            QFile::copy(SourceDir + "/data/Tarvik.ini", dir_.filePath("Tarvik.ini"));
    }
    QString Path() const { return dir_.path(); }
    QString File(const QString& name) const { return dir_.filePath(name); }
    void ReplaceInConfig(const QByteArray& from, const QByteArray& to)
    {
        QFile file(dir_.filePath("Tarvik.ini"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QByteArray text = file.readAll();
        file.close();
        text.replace(from, to);
        QFile::remove(dir_.filePath("Tarvik.ini"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(text);
    }

private:
    QTemporaryDir dir_;
};

// Closes the next modal viewer once the event loop runs, after checking it.
template <class Check>
void WhenViewerOpens(Check check)
{
    QTimer::singleShot(0, [check] {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (auto* viewer = qobject_cast<FileViewer*>(widget); viewer && viewer->isVisible()) {
                check(*viewer);
                viewer->close();
                return;
            }
        }
    });
}

// What a main window under test uses instead of the real dialogs, settings,
// clock and timers; reset before each test. The window's timers run out only
// as the test lets their time pass (timers.Advance); the clock moves only
// when the test moves it.
struct WindowServices {
    explicit WindowServices(DateTime now)
        : clock(now)
    {
    }

    MainWindowEnvironment For(const ProgramFolder& folder)
    {
        MainWindowEnvironment environment;
        environment.programDir = folder.Path();
        environment.dialogs = &dialogs;
        environment.store = &store;
        environment.clock = &clock;
        environment.timers = &timers;
        return environment;
    }
    // For a version that has run before: no first-run version history.
    MainWindowEnvironment ForReturning(const ProgramFolder& folder)
    {
        WriteStoredVersion(store, ProgramInfo::RunningVersion());
        return For(folder);
    }
    void Reset()
    {
        QStandardPaths::setTestModeEnabled(true);
        dialogs = FakeDialogs();
        store = MemorySettingsStore();
        timers.ForgetScheduled();
    }
    // Lets the window's timers run out as this much time passes.
    void Pass(std::chrono::milliseconds time) { timers.Advance(time); }

    FakeDialogs dialogs;
    MemorySettingsStore store;
    ManualClock clock;
    ManualTimers timers;
};

// Appends text to a file. A log is given the time it was last written
// (local time), so that the year of its lines is the same in any year the
// test runs.
inline void AppendToFile(const QString& path, const QByteArray& text, DateTime modified = {})
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::Append));
    file.write(text);
    file.close();
    if (modified == DateTime())
        return;
    const QDateTime local(QDate(modified.Year(), modified.Month(), modified.Day()),
                          QTime(modified.Hour(), modified.Minute(), modified.Second()));
    QVERIFY(file.open(QIODevice::Append));
    QVERIFY(file.setFileTime(local, QFileDevice::FileModificationTime));
}

} // namespace tarvik::test
