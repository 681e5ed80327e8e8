#include "Rolls.h"

#include <charconv>

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
    while (p < end && *p != ')' && numbers.count < RollNumbers::Capacity) {
        const bool negative = *p == '-' && p + 1 < end && IsDigit(p[1]);
        if (IsDigit(*p) || negative) {
            int32_t value = 0;
            const auto [next, error] = std::from_chars(p, end, value);
            if (error != std::errc())
                return {}; // a number too large for any roll
            numbers.values[numbers.count] = value;
            numbers.afterEquals[numbers.count] = equals;
            ++numbers.count;
            equals = false;
            p = next;
            continue;
        }
        if (*p == '=')
            equals = true;
        ++p;
    }
    return numbers;
}

std::optional<AttackRoll> ParseAttackRoll(std::string_view text)
{
    // Every attack line has one: read it in a single pass, cheaper than the
    // general scan that saves use.
    const size_t open = text.find('(');
    if (open == std::string_view::npos)
        return std::nullopt;
    const char* p = text.data() + open + 1;
    const char* const end = text.data() + text.size();
    auto skipBlanks = [&] {
        while (p < end && *p == ' ')
            ++p;
    };
    // An optionally signed whole number of at most nine digits.
    auto number = [&](int32_t& value) {
        skipBlanks();
        const bool negative = p < end && *p == '-';
        const char* const first = p + (negative ? 1 : 0);
        const char* q = first;
        int32_t result = 0;
        while (q < end && IsDigit(*q) && q - first < 9) {
            result = result * 10 + (*q - '0');
            ++q;
        }
        if (q == first || (q < end && IsDigit(*q)))
            return false;
        value = negative ? -result : result;
        p = q;
        return true;
    };
    auto expect = [&](char c) {
        skipBlanks();
        if (p >= end || *p != c)
            return false;
        ++p;
        return true;
    };
    AttackRoll roll;
    if (!number(roll.roll) || !expect('+') || !number(roll.bonus) || !expect('=') ||
        !number(roll.total) || static_cast<int64_t>(roll.roll) + roll.bonus != roll.total)
        return std::nullopt;
    // " : Threat Roll: 14 + 24 = 38)": the next number is the threat roll.
    while (p < end && *p != ')' && !IsDigit(*p))
        ++p;
    if (p < end && IsDigit(*p) && number(roll.threatRoll))
        roll.hasThreat = true;
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
