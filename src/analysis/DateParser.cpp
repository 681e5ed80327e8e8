#include "DateParser.h"

#include "util/Text.h"

#include <array>

namespace tarvik {

std::string BuildDateText(std::string_view timestamp, int year)
{
    std::string_view s = timestamp;
    const size_t firstBlank = s.find(' ');
    if (firstBlank != std::string_view::npos)
        s = Trim(s.substr(firstBlank + 1));
    const size_t p = s.find(' ');
    if (p == std::string_view::npos)
        return std::string(s);
    const size_t q = s.substr(p + 1).find(' ');
    // The blank that follows the day (or, for a padded day, the pad itself).
    const size_t cut = q == std::string_view::npos ? p + 1 : p + 1 + q + 1;
    std::string text;
    text.reserve(s.size() + 6);
    text.append(s.substr(0, cut));
    text.append(std::to_string(year));
    text.push_back(' ');
    if (cut < s.size())
        text.append(s.substr(cut));
    return text;
}

namespace {

int MonthFromName(std::string_view token)
{
    static constexpr std::array<std::string_view, 12> names = {
        "january", "february", "march",     "april",   "may",      "june",
        "july",    "august",   "september", "october", "november", "december"};
    if (token.size() < 3)
        return 0;
    const std::string lower = ToLower(token);
    for (size_t i = 0; i < names.size(); ++i) {
        if (lower == names[i] || (lower.size() == 3 && names[i].substr(0, 3) == lower))
            return static_cast<int>(i) + 1;
    }
    return 0;
}

bool AllDigits(std::string_view token)
{
    if (token.empty())
        return false;
    for (char c : token) {
        if (c < '0' || c > '9')
            return false;
    }
    return true;
}

int Digits(std::string_view token)
{
    int value = 0;
    for (char c : token)
        value = value * 10 + (c - '0');
    return value;
}

bool ParseTime(std::string_view token, int& hour, int& minute, int& second)
{
    const size_t first = token.find(':');
    const size_t last = token.rfind(':');
    if (first == std::string_view::npos || first == last)
        return false;
    const auto h = token.substr(0, first);
    const auto m = token.substr(first + 1, last - first - 1);
    const auto s = token.substr(last + 1);
    if (!AllDigits(h) || h.size() > 2 || !AllDigits(m) || m.size() != 2 || !AllDigits(s) ||
        s.size() != 2)
        return false;
    hour = Digits(h);
    minute = Digits(m);
    second = Digits(s);
    return hour <= 23 && minute <= 59 && second <= 59;
}

} // namespace

bool ParseDateText(std::string_view text, DateTime& result)
{
    int month = 0, year = 0, day = 0, hour = -1, minute = 0, second = 0;
    size_t pos = 0;
    while (pos < text.size()) {
        while (pos < text.size() && text[pos] == ' ')
            ++pos;
        if (pos >= text.size())
            break;
        size_t end = pos;
        while (end < text.size() && text[end] != ' ')
            ++end;
        const std::string_view token = text.substr(pos, end - pos);
        pos = end;
        if (token.find(':') != std::string_view::npos) {
            if (hour >= 0 || !ParseTime(token, hour, minute, second))
                return false;
        } else if (AllDigits(token) && token.size() == 4) {
            if (year != 0)
                return false;
            year = Digits(token);
        } else if (AllDigits(token) && token.size() <= 2) {
            if (day != 0)
                return false;
            day = Digits(token);
            if (day == 0)
                return false;
        } else {
            const int m = MonthFromName(token);
            if (m == 0 || month != 0)
                return false;
            month = m;
        }
    }
    if (month == 0 || year == 0 || day == 0 || hour < 0 || !DateTime::IsValidDate(year, month, day))
        return false;
    result = DateTime::FromCivil(year, month, day, hour, minute, second);
    return true;
}

} // namespace tarvik
