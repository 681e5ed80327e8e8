#pragma once

#include "MeterBoard.h"

#include <cstdint>

namespace tarvik {

class SettingsStore;

// The meter's own choices, kept between runs; its place and size are stored
// like every window's.
struct MeterSettings {
    static constexpr int32_t MinimumOpacity = 20;
    static constexpr int32_t DefaultOpacity = 70;

    int32_t opacityPercent = DefaultOpacity;
    bool locked = false;
    MeterMode mode = MeterMode::Dps;
};

// Missing or unreadable values take their defaults; the opacity is held
// within MinimumOpacity..100 so the meter never becomes invisible.
MeterSettings LoadMeterSettings(SettingsStore& store);
void SaveMeterSettings(SettingsStore& store, const MeterSettings& settings);

} // namespace tarvik
