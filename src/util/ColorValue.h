#pragma once

#include <cstdint>

namespace tarvik {

// A colour as the settings store keeps it: the signed decimal of a
// 0x00BBGGRR value.
using ColorValue = int32_t;

} // namespace tarvik
