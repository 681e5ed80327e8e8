#pragma once

#include "FakeDialogs.h"
#include "TestSupport.h"
#include "analysis/Session.h"
#include "app/Configuration.h"
#include "app/SettingsStore.h"
#include "app/UserOptions.h"
#include "diag/DebugLog.h"
#include "diag/ErrObject.h"
#include "diag/LogFile.h"
#include "ui/gui/HudContext.h"
#include "util/Clock.h"
#include "util/FileUtil.h"
#include "util/gui/Dialogs.h"
#include "util/gui/WindowPlacement.h"

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include <QApplication>
#include <QDialog>
#include <QList>
#include <QTimer>
#include <QWidget>

namespace tarvik::test {

// A session loaded from a copy of the shipped configuration, on a manual
// clock, with everything the HUD takes from the main window.
class HudHarness {
public:
    // Distinct colours, so that a test can tell which one a control got.
    static inline const QColor WindowFore{0x10, 0x20, 0x30};
    static inline const QColor WindowBack{0xE0, 0xD0, 0xC0};
    static inline const QColor ControlFore{0x80, 0x00, 0x00};
    static inline const QColor ControlBack{0xC0, 0xFF, 0xC0};

    HudHarness()
        : logFile(clock, lastError, dir.Path(), "debug")
        , debug(logFile)
    {
        debug.SetLevel(DebugLog::MaxLevel);
        const std::string path = dir.File("Tarvik.ini");
        std::filesystem::copy_file(ShippedConfigPath(), path);
        ConfigurationResult loaded = LoadConfiguration(path, "Tarvik");
        if (!loaded.configuration)
            qFatal("The shipped configuration does not load: %s", loaded.fatalMessage.c_str());
        config = std::move(*loaded.configuration);
        session = std::make_unique<Session>(config.analysis, debug, clock, host);
        RealTimeState& realTime = session->RealTime();
        realTime.SetRTRollingAverage(config.realTime.rollingAverageInterval);
        realTime.SetFugueTimers(config.realTime.fugueTimerExpiration,
                                config.realTime.fugueTimerWarning);
        realTime.SetNumABRecords(config.realTime.abAverageRecords);
        options.windowForegroundColor = ToColorValue(WindowFore);
        options.windowBackgroundColor = ToColorValue(WindowBack);
        options.controlForegroundColor = ToColorValue(ControlFore);
        options.controlBackgroundColor = ToColorValue(ControlBack);
    }

    HudContext Context()
    {
        return {*session, options, store, debug, dialogs, config, [this](int milliseconds) {
                    hoverIntervals.push_back(milliseconds);
                }};
    }
    RealTimeState& RealTime() { return session->RealTime(); }
    // One attack's damage by type index; the total is added.
    DamageBreakdown Damage(std::initializer_list<std::pair<int, int32_t>> parts) const
    {
        DamageBreakdown damage(static_cast<size_t>(config.analysis.DamageTypeCount()), 0);
        for (const auto& [type, amount] : parts) {
            damage[static_cast<size_t>(type)] += amount;
            damage.back() += amount;
        }
        return damage;
    }

    TempDir dir;
    ManualClock clock;
    ErrObject lastError;
    LogFile logFile;
    DebugLog debug;
    SessionHost host;
    Configuration config;
    std::unique_ptr<Session> session;
    UserOptions options;
    MemorySettingsStore store;
    FakeDialogs dialogs;
    std::vector<int> hoverIntervals;
};

template <class T = QWidget>
T* Find(const QWidget& parent, const QString& name)
{
    T* child = parent.findChild<T*>(name);
    if (!child)
        qFatal("No %s", qPrintable(name));
    return child;
}

inline int Alpha(const QWidget& window)
{
    return qRound(window.windowOpacity() * 255);
}

inline std::string ReadText(const std::string& path)
{
    std::string text;
    return ReadWholeFile(path, text) ? std::string("(unreadable)") : text;
}

// Runs inspect on the modal dialog that the next call opens. A dialog left
// open is rejected so that a failing test cannot hang.
template <class Inspect>
void WhenModal(Inspect inspect)
{
    QTimer::singleShot(0, [inspect] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (dialog)
            inspect(*dialog);
        else
            qWarning("No modal dialog opened");
        for (QWidget* window : QApplication::topLevelWidgets()) {
            if (auto* open = qobject_cast<QDialog*>(window); open && open->isVisible())
                open->reject();
        }
    });
}

} // namespace tarvik::test
