// Analysis through the main window against the engine alone, on the same
// generated log: the window must cost little (yielding by time slice, not per
// line) and keep its event loop running.
//
//   QT_QPA_PLATFORM=offscreen tarvik-window-bench [LINES]
#include "BenchWindowHost.h"
#include "LogGenerator.h"
#include "analysis/Session.h"
#include "app/gui/LogSelectionPanel.h"
#include "app/gui/MainWindow.h"
#include "config/Configuration.h"
#include "config/ProgramInfo.h"
#include "diag/DebugLog.h"
#include "diag/ErrObject.h"
#include "diag/LogFile.h"
#include "fights/gui/FightsTab.h"
#include "fights/gui/TargetsTab.h"
#include "util/Clock.h"
#include "util/HeapPages.h"
#include "util/SettingsStore.h"
#include "util/gui/Dialogs.h"

#include <cstdio>
#include <filesystem>
#include <fstream>

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>

using namespace tarvik;

namespace {

double EngineSeconds(const std::string& log)
{
    const std::string config = std::string(TARVIK_SOURCE_DIR) + "/data/Tarvik.ini";
    ConfigurationResult loaded = LoadConfiguration(config, "Tarvik");
    SystemClock clock;
    ErrObject lastError;
    LogFile file(clock, lastError, std::filesystem::temp_directory_path().string(), "bench");
    DebugLog debug(file);
    SessionHost host;
    Session session(loaded.configuration->analysis, debug, clock, host);
    QElapsedTimer timer;
    timer.start();
    session.ClearAllData();
    session.AnalyzeSelectedLogs({log});
    return static_cast<double>(timer.nsecsElapsed()) / 1e9;
}

} // namespace

int main(int argc, char** argv)
{
    PreferHugeHeapPages(); // as Tarvik does
    QApplication app(argc, argv);
    QStandardPaths::setTestModeEnabled(true);
    const long long lines = argc > 1 ? std::atoll(argv[1]) : 1'000'000;

    QTemporaryDir folder;
    const QString log = folder.filePath("nwclientLog1.txt");
    {
        LogGenerator::Options options;
        options.lines = lines;
        options.seed = 20261206;
        std::ofstream out(log.toStdString(), std::ios::binary);
        LogGenerator(options).Write(out);
    }
    QFile::copy(QString(TARVIK_SOURCE_DIR) + "/data/Tarvik.ini", folder.filePath("Tarvik.ini"));

    BenchWindowHost host;
    MainWindow window(host.Environment(folder.path()));
    if (!window.Start())
        return 1;
    window.SelectLogs({log});

    // The longest stretch without the event loop running, seen by a 5 ms timer.
    QElapsedTimer sinceTick;
    qint64 longestGapMs = 0;
    int ticks = 0;
    QTimer probe;
    probe.setInterval(5);
    QObject::connect(&probe, &QTimer::timeout, [&] {
        if (ticks++ > 0)
            longestGapMs = std::max(longestGapMs, sinceTick.elapsed());
        sinceTick.restart();
    });

    const double engine = EngineSeconds(log.toStdString());
    QElapsedTimer timer;
    timer.start();
    probe.start();
    sinceTick.start();
    window.AnalyzeLogs(window.LogPanel()->SelectedNames());
    probe.stop();
    const double windowSeconds = static_cast<double>(timer.nsecsElapsed()) / 1e9;

    std::printf("%lld lines\n", lines);
    std::printf("engine alone (tarvik-cli's path): %.3f s\n", engine);
    std::printf("through the main window:          %.3f s (%.2f x)\n", windowSeconds,
                windowSeconds / engine);
    std::printf("event loop ran %d times; longest pause %lld ms\n", ticks, longestGapMs);

    // The fights and targets tabs fill when first shown, not during the run.
    QElapsedTimer shown;
    shown.start();
    window.Tabs()->setCurrentWidget(window.FightsPanel());
    const double fightsMs = static_cast<double>(shown.nsecsElapsed()) / 1e6;
    shown.restart();
    window.Tabs()->setCurrentWidget(window.TargetsPanel());
    const double targetsMs = static_cast<double>(shown.nsecsElapsed()) / 1e6;
    std::printf("first showing: Fights tab %.1f ms (%zu fights), Targets tab %.1f ms\n", fightsMs,
                window.GetSession().Fights().Fights().size(), targetsMs);
    window.close();
    return 0;
}
