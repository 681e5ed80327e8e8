// How soon a line the game appends shows in the meter and in the main
// window's tree, with a real window (run it on an X server, e.g. Xvfb), and
// what a quiet log costs while both are open.
//
//   tarvik-meter-bench [--poll-only] [APPENDS] [IDLE_SECONDS]
//   tarvik-meter-bench --follow FOLDER SECONDS [LOCK_AT_SECONDS]
//
// --poll-only leaves the reads to the monitoring timer alone, for a paired
// comparison (run A B A B and compare the medians). --follow only shows the
// meter over a folder that scripts/replay-log.py writes to, the main window
// minimised, to look at it (locked from LOCK_AT_SECONDS on).
#include "BenchWindowHost.h"
#include "analysis/Session.h"
#include "app/gui/CharacterTreeWidget.h"
#include "app/gui/LogChangeWatch.h"
#include "app/gui/LogSelectionPanel.h"
#include "app/gui/MainWindow.h"
#include "app/gui/MonitoringController.h"
#include "config/ProgramInfo.h"
#include "meter/gui/MeterWindow.h"
#include "util/Clock.h"
#include "util/SettingsStore.h"
#include "util/WindowPosition.h"
#include "util/gui/Dialogs.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <random>
#include <sys/resource.h>
#include <vector>

#include <QAbstractItemModel>
#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>
#include <QWindow>

using namespace tarvik;

namespace {

// A line dated now, as the game writes it.
QByteArray GameLine(const char* body)
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char stamp[64];
    std::strftime(stamp, sizeof stamp, "%a %b %e %H:%M:%S", &local);
    return QByteArray("[CHAT WINDOW TEXT] [") + stamp + "] " + body + "\r\n";
}

void Append(const QString& path, const QByteArray& text)
{
    QFile file(path);
    if (!file.open(QIODevice::Append))
        return;
    file.write(text);
}

double CpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval& t) { return t.tv_sec + t.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

void Wait(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

struct Spread {
    double median = 0;
    double p95 = 0;
    double worst = 0;
};

Spread SpreadOf(std::vector<double> values)
{
    if (values.empty())
        return {};
    std::sort(values.begin(), values.end());
    const auto at = [&](double q) {
        return values[std::min(values.size() - 1, static_cast<size_t>(q * values.size()))];
    };
    return {at(0.5), at(0.95), values.back()};
}

} // namespace

int Follow(const QString& programDir, const QString& folder, int seconds, int lockAt)
{
    BenchWindowHost host;
    // Where a player would put it: top right, clear of the game's menus (twips at 96 dpi).
    WriteWindowPosition(host.store, "frmMeter", 900 * 15.0, 60 * 15.0,
                        std::make_pair(300 * 15.0, 190 * 15.0));
    MainWindow window(host.Environment(programDir));
    if (!window.Start())
        return 1;
    window.Action("mnuMainOptionsAutoDetectCharParty")->trigger();
    window.LogPanel()->SetFolder(folder);
    window.Monitoring().SetEnabled(true);
    window.showMinimized();
    window.ToggleMeter();
    QTimer::singleShot(seconds * 1000, &window, [&window] { window.close(); });
    if (lockAt >= 0) {
        QTimer::singleShot(lockAt * 1000, &window, [&window] {
            if (window.Meter())
                window.Meter()->SetLocked(true);
        });
    }
    return QApplication::exec();
}

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QStandardPaths::setTestModeEnabled(true);
    if (argc >= 4 && std::strcmp(argv[1], "--follow") == 0) {
        QTemporaryDir program;
        QFile::copy(QString(TARVIK_SOURCE_DIR) + "/data/Tarvik.ini",
                    program.filePath("Tarvik.ini"));
        return Follow(program.path(), QString::fromLocal8Bit(argv[2]), std::atoi(argv[3]),
                      argc >= 5 ? std::atoi(argv[4]) : -1);
    }
    bool pollOnly = false;
    std::vector<long> numbers;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--poll-only") == 0)
            pollOnly = true;
        else
            numbers.push_back(std::atol(argv[i]));
    }
    const long appends = numbers.size() > 0 ? std::max(1L, numbers[0]) : 60;
    const long idleSeconds = numbers.size() > 1 ? std::max(0L, numbers[1]) : 60;

    QTemporaryDir folder;
    QTemporaryDir logs;
    QFile::copy(QString(TARVIK_SOURCE_DIR) + "/data/Tarvik.ini", folder.filePath("Tarvik.ini"));
    const QString log = logs.filePath("nwclientLog1.txt");
    Append(log, GameLine("Aldric Voss : Initiative Roll : 14 : (9 + 5 = 14)"));

    BenchWindowHost host;
    MainWindow window(host.Environment(folder.path()));
    if (!window.Start())
        return 1;
    window.Action("mnuMainOptionsAutoDetectCharParty")->trigger();
    window.LogPanel()->SetFolder(logs.path());
    window.Monitoring().SetEnabled(true);
    if (pollOnly)
        window.Monitoring().Watch().SetEnabled(false);
    QElapsedTimer started;
    started.start();
    while (window.GetSession().Data().userCharacterId.IsNone() && started.elapsed() < 10'000)
        Wait(10);
    if (window.GetSession().Data().userCharacterId.IsNone()) {
        std::fprintf(stderr, "the first line was not read\n");
        return 1;
    }
    window.ToggleMeter();
    MeterWindow* meter = window.Meter();
    if (!meter)
        return 1;
    while (!(meter->windowHandle() && meter->windowHandle()->isExposed()) &&
           started.elapsed() < 20'000)
        Wait(10);

    // Each append names a new goblin: the tree gains a node, the meter's
    // total changes.
    QElapsedTimer sinceAppend;
    bool meterSeen = true;
    bool treeSeen = true;
    std::vector<double> toMeter;
    std::vector<double> toTree;
    QObject::connect(meter, &MeterWindow::ViewPainted, [&] {
        if (!meterSeen) {
            meterSeen = true;
            toMeter.push_back(static_cast<double>(sinceAppend.nsecsElapsed()) / 1e6);
        }
    });
    QObject::connect(window.Tree()->model(), &QAbstractItemModel::rowsInserted, [&] {
        if (!treeSeen) {
            treeSeen = true;
            toTree.push_back(static_cast<double>(sinceAppend.nsecsElapsed()) / 1e6);
        }
    });
    std::mt19937 random(20261207);
    std::uniform_int_distribution<int> pause(150, 450);
    for (long i = 0; i < appends; ++i) {
        // Appends fall anywhere within the monitoring timer's period.
        Wait(pause(random));
        const QByteArray body = "Aldric Voss damages Goblin " +
                                QByteArray::number(static_cast<qlonglong>(i)) +
                                ": 9 (6 Physical 3 Fire)";
        meterSeen = false;
        treeSeen = false;
        sinceAppend.start();
        Append(log, GameLine(body.constData()));
        QElapsedTimer waited;
        waited.start();
        while ((!meterSeen || !treeSeen) && waited.elapsed() < 3000)
            app.processEvents(QEventLoop::WaitForMoreEvents, 50);
    }
    const Spread meterSpread = SpreadOf(toMeter);
    const Spread treeSpread = SpreadOf(toTree);
    std::printf("%s, %ld appends\n", pollOnly ? "monitoring timer only" : "file-system notices",
                appends);
    std::printf(
        "append -> meter:       median %6.1f ms, 95th %6.1f ms, worst %6.1f ms (%zu seen)\n",
        meterSpread.median, meterSpread.p95, meterSpread.worst, toMeter.size());
    std::printf(
        "append -> main window: median %6.1f ms, 95th %6.1f ms, worst %6.1f ms (%zu seen)\n",
        treeSpread.median, treeSpread.p95, treeSpread.worst, toTree.size());
    std::fflush(stdout);

    if (idleSeconds > 0) {
        const double cpuBefore = CpuSeconds();
        QElapsedTimer idle;
        idle.start();
        Wait(static_cast<int>(idleSeconds * 1000));
        const double wall = static_cast<double>(idle.nsecsElapsed()) / 1e9;
        std::printf("idle, quiet log, main window and meter open: %.2f%% of a core over %.0f s\n",
                    100.0 * (CpuSeconds() - cpuBefore) / wall, wall);
    }
    window.close();
    return 0;
}
