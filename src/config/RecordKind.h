#pragma once

#include <string_view>

namespace tarvik {

// The record kinds the interpreter knows; a configured record type acts only
// when its name is one of these, compared exactly.
enum class RecordKind {
    Unknown,
    Chat,
    Attack,
    Damage,
    Casting,
    Healing,
    Resist,
    Save,
    Kill,
    Experience,
    Character,
    PartyJoin,
    PartyExit,
    Immunity,    // "Name : Immune to Critical Hits."
    SpellResist, // "SPELL RESIST: Name attempts to resist: Spell - Result:  IMMUNE"
};

RecordKind RecordKindFromName(std::string_view name);

} // namespace tarvik
