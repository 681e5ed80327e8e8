#pragma once
// What a main window needs around it in the window benchmarks: dialogs that
// answer no and only print, settings kept in memory, the system clock.
#include "app/gui/MainWindow.h"
#include "config/ProgramInfo.h"
#include "util/Clock.h"
#include "util/SettingsStore.h"
#include "util/gui/Dialogs.h"

#include <cstdio>

#include <QString>

namespace tarvik {

class QuietDialogs final : public Dialogs {
public:
    void Message(QWidget*, Icon, const QString&, const QString& text) override
    {
        std::fprintf(stderr, "message: %s\n", qPrintable(text));
    }
    Answer Ask(QWidget*, Icon, const QString&, const QString&, bool) override { return Answer::No; }
    QStringList OpenFiles(QWidget*, const QString&, const QString&, const QString&) override
    {
        return {};
    }
    QString SaveFile(QWidget*, const QString&, const QString&, const QString&) override
    {
        return {};
    }
    QColor PickColor(QWidget*, const QColor& initial) override { return initial; }
};

struct BenchWindowHost {
    BenchWindowHost() { WriteStoredVersion(store, ProgramInfo::RunningVersion()); }

    MainWindowEnvironment Environment(const QString& programDir)
    {
        MainWindowEnvironment environment;
        environment.programDir = programDir;
        environment.dialogs = &dialogs;
        environment.store = &store;
        environment.clock = &clock;
        return environment;
    }

    QuietDialogs dialogs;
    MemorySettingsStore store;
    SystemClock clock;
};

} // namespace tarvik
