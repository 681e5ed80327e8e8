#include "RoundNumber.h"

#include "util/NumberFormat.h"
#include "util/Text.h"

#include <cmath>

namespace tarvik {

double RoundNumber(double value, int decimals)
{
    if (!std::isfinite(value))
        return value;
    const std::string text = FormatDecimal(value);
    const size_t point = text.find('.');
    if (point == std::string::npos || point + 1 == text.size())
        return value;
    if (decimals < 0)
        decimals = 0;
    const size_t keep = decimals == 0 ? point : std::min(text.size(), point + 1 + decimals);
    const std::string cut = text.substr(0, keep);
    const size_t nextPos = point + 1 + static_cast<size_t>(decimals);
    const int nextDigit = nextPos < text.size() ? text[nextPos] - '0' : 0;
    double result = ParseNumber(cut).value_or(0.0);
    if (decimals >= 1 && nextDigit >= 5) {
        result += std::pow(10.0, -decimals);
        // Write and read back so that 2.34 + 0.01 is exactly the double of "2.35".
        result = ParseNumber(FormatDecimal(result)).value_or(result);
    }
    return result;
}

std::string RoundedText(double value, int decimals)
{
    return FormatDecimal(RoundNumber(value, decimals));
}

} // namespace tarvik
