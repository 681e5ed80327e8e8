#include "UserOptions.h"

#include "diag/DebugLog.h"
#include "util/NumberFormat.h"
#include "util/SettingsStore.h"
#include "util/Text.h"

#include <algorithm>
#include <cmath>

namespace tarvik {

namespace {

constexpr const char* UserSection = "UserOptions";
constexpr const char* HudSection = "HUDOptions";

int32_t ReadInt(SettingsStore& store, const char* section, const char* key, int32_t fallback)
{
    const auto text = store.Read(section, key);
    if (!text)
        return fallback;
    return ToInt32(*text).value_or(fallback);
}

// A number kept within bounds, however far out the stored text is.
int32_t ReadClamped(SettingsStore& store, const char* section, const char* key, int32_t fallback,
                    int32_t low, int32_t high)
{
    const auto number = ReadNumber(store, section, key);
    if (!number)
        return fallback;
    return static_cast<int32_t>(std::nearbyint(std::clamp<double>(*number, low, high)));
}

} // namespace

std::string FlagText(bool on)
{
    return on ? "-1" : "0";
}

bool ReadFlag(SettingsStore& store, const char* section, const char* key, bool fallback)
{
    const auto number = ReadNumber(store, section, key);
    if (!number)
        return fallback;
    return *number != 0;
}

UserOptions LoadUserOptions(SettingsStore& store, const UserOptionDefaults& defaults)
{
    UserOptions options;
    options.logDirectory = store.Read(UserSection, "LogDirectory").value_or("");
    options.autodetectParty = ReadFlag(store, UserSection, "AutodetectParty", false);
    options.alwaysOnTop = ReadFlag(store, "MainWindow", "AlwaysOnTop", false);
    options.opacityPercent = ReadClamped(store, HudSection, "Opacity", 100, 20, 100);
    options.windowForegroundColor =
        ReadInt(store, HudSection, "WindowForegroundColor", defaults.windowForeground);
    options.windowBackgroundColor =
        ReadInt(store, HudSection, "WindowBackgroundColor", defaults.windowBackground);
    options.controlForegroundColor = ReadInt(store, HudSection, "ControlForegroundColor", 0);
    options.controlBackgroundColor =
        ReadInt(store, HudSection, "ControlBackgroundColor", defaults.controlBackground);
    options.monitorNWNProcess = ReadFlag(store, UserSection, "MonitorNWNProcess", true);
    options.audibleFugueTimerAlerts = ReadFlag(store, UserSection, "AudibleFugueTimerAlerts", true);
    return options;
}

void SaveUserOptions(SettingsStore& store, const UserOptions& options, DebugLog* debug)
{
    if (debug)
        debug->LogDebug("Saving user options to registry.", 2);
    store.Write(UserSection, "LogDirectory", options.logDirectory);
    store.Write("MainWindow", "AlwaysOnTop", FlagText(options.alwaysOnTop));
    store.Write(UserSection, "MonitorNWNProcess", FlagText(options.monitorNWNProcess));
    store.Write(UserSection, "AudibleFugueTimerAlerts", FlagText(options.audibleFugueTimerAlerts));
    store.Write(UserSection, "AutodetectParty", FlagText(options.autodetectParty));
    store.Write(HudSection, "Opacity", std::to_string(options.opacityPercent));
    store.Write(HudSection, "WindowForegroundColor", std::to_string(options.windowForegroundColor));
    store.Write(HudSection, "WindowBackgroundColor", std::to_string(options.windowBackgroundColor));
    store.Write(HudSection, "ControlForegroundColor",
                std::to_string(options.controlForegroundColor));
    store.Write(HudSection, "ControlBackgroundColor",
                std::to_string(options.controlBackgroundColor));
}

int32_t GetHoverInterval(SettingsStore& store)
{
    if (!ReadNumber(store, HudSection, "HoverBehavior")) {
        store.Write(HudSection, "HoverBehavior", "3");
        return 3;
    }
    return ReadClamped(store, HudSection, "HoverBehavior", 3, 1, 4);
}

void SetHoverBehavior(SettingsStore& store, int32_t level)
{
    store.Write(HudSection, "HoverBehavior", std::to_string(level));
}

bool ReadDetailWindowOnTop(SettingsStore& store)
{
    return ReadFlag(store, "DetailWindow", "AlwaysOnTop", true);
}

void WriteDetailWindowOnTop(SettingsStore& store, bool onTop)
{
    store.Write("DetailWindow", "AlwaysOnTop", FlagText(onTop));
}

ProgramVersion ReadStoredVersion(SettingsStore& store)
{
    ProgramVersion version;
    version.major = ReadInt(store, "Program", "MajorVersion", 0);
    version.minor = ReadInt(store, "Program", "MinorVersion", 0);
    version.revision = ReadInt(store, "Program", "Revision", 0);
    return version;
}

void WriteStoredVersion(SettingsStore& store, const ProgramVersion& version)
{
    store.Write("Program", "MajorVersion", std::to_string(version.major));
    store.Write("Program", "MinorVersion", std::to_string(version.minor));
    store.Write("Program", "Revision", std::to_string(version.revision));
}

bool IsNewerVersion(const ProgramVersion& running, const ProgramVersion& stored)
{
    if (running.major != stored.major)
        return running.major > stored.major;
    if (running.minor != stored.minor)
        return running.minor > stored.minor;
    return running.revision > stored.revision;
}

} // namespace tarvik
