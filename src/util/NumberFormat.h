#pragma once

#include <cstdint>
#include <string>

namespace tarvik {

// "#,##0": digit grouping with commas, no decimals.
std::string FormatThousands(int64_t value);
// Shortest decimal text of a value, no exponent and no trailing zeros
// (3.5, 5, 1.33), with at most 15 significant digits.
std::string FormatDecimal(double value);

// The value with the given number of significant digits ("%.*g").
std::string FormatSignificant(double value, int digits);

} // namespace tarvik
