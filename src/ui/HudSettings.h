#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tarvik {

// A slider's value label: the number, the unit and a plural "s" unless the
// value is exactly 1 ("1 minute", "5 minutes", "20 records").
std::string CountWithUnit(int32_t value, std::string_view unit);

// The opacity slider's label ("60%").
std::string OpacityText(int32_t percent);

// The running fugue length in whole minutes (1..60) for the length slider.
// A length raised above the warning (61 seconds for 1 minute and a warning
// of 60) shows as the minute it was set to.
int32_t FugueLengthMinutes(int32_t expirySeconds);

} // namespace tarvik
