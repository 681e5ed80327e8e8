#pragma once

#include "model/Indices.h"
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
    CharacterId attacker;
    CharacterId defender;
    AttackOutcome outcome = AttackOutcome::Other;
    bool hasRoll = false; // false when the record carried no readable roll
    AttackRoll roll;
    bool touch = false;   // a touch attack: rolled against touch AC
    bool special = false; // a special attack (Knockdown, Called Shot, ...): a bonus of its own
    bool offHand = false; // made with the off hand
};

struct DamageEvent {
    DateTime date;
    CharacterId attacker;
    CharacterId defender;
    // By configured damage type; the last entry is the total.
    std::span<const int32_t> damage;
    // Bit t: the record named the damage type of slot t, even with a zero
    // amount; only the first 64 types are told.
    uint64_t namedTypes = 0;
};

struct KillEvent {
    DateTime date;
    CharacterId killer;
    CharacterId victim;
};

struct HealingEvent {
    DateTime date;
    CharacterId character;
    int32_t amount = 0;
};

// "Name : Damage Immunity absorbs 1 point(s) of Physical" names a damage
// type; resistance and reduction absorbs name none.
struct AbsorbEvent {
    DateTime date;
    CharacterId character;
    int32_t amount = 0;
    DamageTypeIndex damageType;
};

struct SaveEvent {
    DateTime date;
    CharacterId character;
    SaveTypeIndex saveType; // none: no configured type matched
    int32_t roll = 0;
    int32_t bonus = 0;
    int32_t dc = -1; // -1: the record named none
    bool success = false;
};

// "Name : Immune to Critical Hits." and the like: what the character is
// immune to.
struct SpecialImmunityEvent {
    DateTime date;
    CharacterId character;
    std::string_view what; // "Critical Hits", "FEAR"
};

// "SPELL RESIST: Name attempts to resist: Spell - Result:  IMMUNE": the
// character's spell resistance against a spell and how it came out.
struct SpellResistEvent {
    DateTime date;
    CharacterId character;
    std::string_view spell;
    std::string_view result; // as written: "IMMUNE", "FAILED", "RESISTED"
};

} // namespace tarvik
