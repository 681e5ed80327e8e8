#pragma once

#include "util/DateTime.h"

#include <cstdint>
#include <span>
#include <string_view>

namespace tarvik {

// What the interpreter hands the fight tracker, one call per record. Every
// event names characters by ID and carries its line's date; none owns text,
// so handing one on costs no allocation. Sides are no part of an event: they
// are decided when a view asks. Texts are views into the line, valid during
// the call.

enum class AttackOutcome : uint8_t {
    Hit,
    CriticalHit,
    Miss,
    Other, // concealment, miss chance, parried, resisted, failed: says nothing of AC
};

// "(roll + bonus = total : Threat Roll: threat + bonus = ...)"
struct AttackRoll {
    int32_t roll = 0;
    int32_t bonus = 0;
    int32_t total = 0;
    bool hasThreat = false;
    int32_t threatRoll = 0;
};

struct AttackEvent {
    DateTime date;
    int32_t attacker = 0;
    int32_t defender = 0;
    AttackOutcome outcome = AttackOutcome::Other;
    bool hasRoll = false; // false when the record carried no readable roll
    AttackRoll roll;
    bool touch = false;   // a touch attack: rolled against touch AC
    bool special = false; // a special attack (Knockdown, Called Shot, ...): a bonus of its own
    bool offHand = false; // made with the off hand
};

struct DamageEvent {
    DateTime date;
    int32_t attacker = 0;
    int32_t defender = 0;
    // By configured damage type; the last entry is the total.
    std::span<const int32_t> damage;
    // Bit t: the record named damage type t (0-based), even with a zero
    // amount; only the first 64 types are told.
    uint64_t namedTypes = 0;
};

struct KillEvent {
    DateTime date;
    int32_t killer = 0;
    int32_t victim = 0;
};

struct HealingEvent {
    DateTime date;
    int32_t character = 0;
    int32_t amount = 0;
};

// "Name : Damage Immunity absorbs 1 point(s) of Physical" names a damage
// type (0-based index); resistance and reduction absorbs name none (-1).
struct AbsorbEvent {
    DateTime date;
    int32_t character = 0;
    int32_t amount = 0;
    int32_t damageType = -1;
};

struct SaveEvent {
    DateTime date;
    int32_t character = 0;
    int32_t saveType = 0; // 1-based into the configured save types; 0: none matched
    int32_t roll = 0;
    int32_t bonus = 0;
    int32_t dc = -1; // -1: the record named none
    bool success = false;
};

// "Name : Immune to Critical Hits." and the like: what the character is
// immune to.
struct SpecialImmunityEvent {
    DateTime date;
    int32_t character = 0;
    std::string_view what; // "Critical Hits", "FEAR"
};

// "SPELL RESIST: Name attempts to resist: Spell - Result:  IMMUNE": the
// character's spell resistance against a spell and how it came out.
struct SpellResistEvent {
    DateTime date;
    int32_t character = 0;
    std::string_view spell;
    std::string_view result; // as written: "IMMUNE", "FAILED", "RESISTED"
};

} // namespace tarvik
