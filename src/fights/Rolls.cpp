#include "Rolls.h"

#include <charconv>
#include <cstring>
#include <limits>

namespace tarvik {

namespace {

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

} // namespace

RollNumbers ScanRoll(std::string_view text)
{
    RollNumbers numbers;
    const size_t open = text.find('(');
    if (open == std::string_view::npos)
        return numbers;
    const char* p = text.data() + open + 1;
    const char* const end = text.data() + text.size();
    bool equals = false;
    bool minus = false; // "3 - 2": the bonus is subtracted
    while (p < end && *p != ')' && numbers.count < RollNumbers::Capacity) {
        const bool negative = *p == '-' && p + 1 < end && IsDigit(p[1]);
        if (IsDigit(*p) || negative) {
            int32_t value = 0;
            const auto [next, error] = std::from_chars(p, end, value);
            if (error != std::errc() || (minus && value == std::numeric_limits<int32_t>::min()))
                return {}; // a number too large for any roll
            numbers.values[numbers.count] = minus ? -value : value;
            numbers.afterEquals[numbers.count] = equals;
            ++numbers.count;
            equals = false;
            minus = false;
            p = next;
            continue;
        }
        if (*p == '=')
            equals = true;
        else if (*p == '-')
            minus = numbers.count > 0;
        ++p;
    }
    return numbers;
}

std::optional<AttackRoll> ParseAttackRoll(std::string_view text)
{
    // Every attack line has one, so this is read in one tight pass. The text
    // must end in something other than a digit or a blank (the game's ")"):
    // that end stops the loops below without a bounds check per character.
    if (text.empty() || IsDigit(text.back()) || text.back() == ' ')
        return std::nullopt;
    const void* open = std::memchr(text.data(), '(', text.size());
    if (!open)
        return std::nullopt;
    const char* const end = text.data() + text.size();
    const char* p = static_cast<const char*>(open) + 1;
    constexpr char Before[3] = {'\0', '+', '='};
    int32_t values[3] = {};
    for (int k = 0; k < 3; ++k) {
        while (*p == ' ')
            ++p;
        // A bonus may be subtracted: "(3 - 2 = 1)".
        bool minus = false;
        if (k > 0) {
            minus = k == 1 && *p == '-';
            if (*p != Before[k] && !minus)
                return std::nullopt;
            ++p;
            while (*p == ' ')
                ++p;
        }
        const bool negative = (*p == '-') != minus;
        if (*p == '-' && p + 1 < end)
            ++p;
        const char* const first = p;
        uint32_t value = 0;
        while (IsDigit(*p))
            value = value * 10 + static_cast<uint32_t>(*p++ - '0');
        if (p == first || p - first > 9)
            return std::nullopt;
        values[k] = negative ? -static_cast<int32_t>(value) : static_cast<int32_t>(value);
    }
    if (static_cast<int64_t>(values[0]) + values[1] != values[2])
        return std::nullopt;
    AttackRoll roll;
    roll.roll = values[0];
    roll.bonus = values[1];
    roll.total = values[2];
    // " : Threat Roll: 14 + 24 = 38)": the next number is the threat roll.
    while (p < end && *p != ')' && !IsDigit(*p))
        ++p;
    if (p < end && IsDigit(*p)) {
        const char* const first = p;
        uint32_t value = 0;
        while (IsDigit(*p))
            value = value * 10 + static_cast<uint32_t>(*p++ - '0');
        roll.hasThreat = p - first <= 9;
        roll.threatRoll = roll.hasThreat ? static_cast<int32_t>(value) : 0;
    }
    return roll;
}

std::optional<SaveRoll> ParseSaveRoll(std::string_view text)
{
    const RollNumbers n = ScanRoll(text);
    if (n.count < 2 || n.afterEquals[1])
        return std::nullopt;
    SaveRoll save;
    save.roll = n.values[0];
    save.bonus = n.values[1];
    // The total is written after "=" on most servers; the DC follows it.
    const size_t dcAt = n.count >= 3 && n.afterEquals[2] ? 3 : 2;
    if (n.count > dcAt && !n.afterEquals[dcAt])
        save.dc = n.values[dcAt];
    return save;
}

} // namespace tarvik
