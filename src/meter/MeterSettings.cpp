#include "MeterSettings.h"

#include "util/SettingsStore.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace tarvik {

namespace {

constexpr const char* Section = "MeterOptions";

bool ReadBool(SettingsStore& store, const char* key, bool fallback)
{
    const std::optional<double> value = ReadNumber(store, Section, key);
    return value ? *value != 0 : fallback;
}

} // namespace

MeterSettings LoadMeterSettings(SettingsStore& store)
{
    MeterSettings settings;
    if (const std::optional<double> opacity = ReadNumber(store, Section, "Opacity");
        opacity && std::isfinite(*opacity)) {
        settings.opacityPercent = static_cast<int32_t>(
            std::clamp(std::lround(*opacity), long{MeterSettings::MinimumOpacity}, 100L));
    }
    settings.locked = ReadBool(store, "Locked", false);
    if (const std::optional<std::string> mode = store.Read(Section, "Mode"))
        settings.mode = MeterModeFromKey(*mode);
    return settings;
}

void SaveMeterSettings(SettingsStore& store, const MeterSettings& settings)
{
    store.Write(Section, "Opacity", std::to_string(settings.opacityPercent));
    store.Write(Section, "Locked", settings.locked ? "1" : "0");
    store.Write(Section, "Mode", MeterModeKey(settings.mode));
}

} // namespace tarvik
