#pragma once

#include "util/ColorValue.h"

#include <cstdint>
#include <string>

namespace tarvik {

class DebugLog;
class SettingsStore;

// Defaults that depend on the look of the main window.
struct UserOptionDefaults {
    ColorValue windowForeground = 0x000000;
    ColorValue windowBackground = 0xF0F0F0;
    ColorValue controlBackground = 0xF0F0F0;
};

// The user's choices kept between runs.
struct UserOptions {
    std::string logDirectory;
    bool autodetectParty = false;
    bool monitorNWNProcess = true;
    bool audibleFugueTimerAlerts = true;
    bool alwaysOnTop = false;
    int32_t opacityPercent = 100;
    ColorValue windowForegroundColor = 0;
    ColorValue windowBackgroundColor = 0;
    ColorValue controlForegroundColor = 0;
    ColorValue controlBackgroundColor = 0;
};

UserOptions LoadUserOptions(SettingsStore& store, const UserOptionDefaults& defaults);
// Writes the options in their fixed order; logs the step when debug is given.
void SaveUserOptions(SettingsStore& store, const UserOptions& options, DebugLog* debug);

// "-1" for on, "0" for off; read as on when the text is a non-zero number.
std::string FlagText(bool on);
bool ReadFlag(SettingsStore& store, const char* section, const char* key, bool fallback);

// The stored hover level 1..4; 3 is written back when it is missing.
int32_t GetHoverInterval(SettingsStore& store);
void SetHoverBehavior(SettingsStore& store, int32_t level);

// "Always On Top" of the detail window (on when missing).
bool ReadDetailWindowOnTop(SettingsStore& store);
void WriteDetailWindowOnTop(SettingsStore& store, bool onTop);

struct ProgramVersion {
    int32_t major = 0;
    int32_t minor = 0;
    int32_t revision = 0;
};
ProgramVersion ReadStoredVersion(SettingsStore& store);
void WriteStoredVersion(SettingsStore& store, const ProgramVersion& version);
// True when running is newer than stored (major, then minor, then revision).
bool IsNewerVersion(const ProgramVersion& running, const ProgramVersion& stored);

} // namespace tarvik
