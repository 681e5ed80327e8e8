#pragma once

#include <string>

namespace tarvik {

// The program's one rounding routine. It works on the decimal text of the
// value (15 significant digits): with 0 decimals the fraction is dropped
// (7.9 gives 7); with more it rounds half up on the last kept decimal
// (2.345 gives 2.35). Whole numbers come back unchanged.
double RoundNumber(double value, int decimals);

// RoundNumber, written in the shortest decimal form (no trailing zeros).
std::string RoundedText(double value, int decimals);

} // namespace tarvik
