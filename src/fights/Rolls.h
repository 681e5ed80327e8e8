#pragma once

#include "FightEvents.h"

#include <cstdint>
#include <optional>
#include <string_view>

namespace tarvik {

// The whole numbers of a roll in parentheses, "(14 + 8 = 22)", in order.
struct RollNumbers {
    static constexpr size_t Capacity = 8;
    int32_t values[Capacity] = {};
    bool afterEquals[Capacity] = {}; // an "=" stands between this number and the one before
    size_t count = 0;
};
// Reads from the first "(" of text to its matching end; empty without one.
RollNumbers ScanRoll(std::string_view text);

// The attack roll of an attack record's result part,
// "*hit* : (10 + 19 = 29)" or "... (20 + 24 = 44 : Threat Roll: 14 + 24 = 38)".
// Empty when there is none or it does not add up.
std::optional<AttackRoll> ParseAttackRoll(std::string_view text);

struct SaveRoll {
    int32_t roll = 0;
    int32_t bonus = 0;
    int32_t dc = -1; // -1: none written
};
// "(1 + 16 = 17 vs. DC: 13)" or, on some servers, "(3 + 29 vs. DC: 45)".
std::optional<SaveRoll> ParseSaveRoll(std::string_view text);

} // namespace tarvik
