#pragma once

#include "model/Character.h"

#include <cstdint>
#include <string>
#include <vector>

namespace tarvik {

// Where a character stands from the user's point of view. You, party, ally
// and pet are your side; an enemy fights your side or is fought by it; an
// unknown character had no combat with it.
enum class Side : uint8_t { Unknown, Enemy, Pet, Ally, Party, You };
// One word each: "you", "party", "ally", "pet", "enemy", "unknown".
const char* SideName(Side side);
inline bool IsYourSide(Side side)
{
    return side == Side::You || side == Side::Party || side == Side::Ally || side == Side::Pet;
}

// Every character's side, by ID (entry 0 unused), as Sides decided it.
struct SideTable {
    std::vector<Side> byId;
    bool anyOnYourSide = false;
};

// Who is who, and the names of the configured types. Sides are looked up
// when asked, so marking a character later changes what the views show.
struct Roster {
    const CharacterList& characters;
    int32_t userId = 0;
    const std::vector<std::string>& damageTypes; // ends with "Total"
    const std::vector<std::string>& saveTypes;
    // Null: sides from the marks alone (you, party, the rest enemies).
    const SideTable* sides = nullptr;

    Side SideOf(int32_t id) const;
    bool OnYourSide(int32_t id) const { return IsYourSide(SideOf(id)); }
    // Whether anybody is on your side at all.
    bool AnyOnYourSide() const;
    // "?" for an ID no character has.
    const std::string& NameOf(int32_t id) const;
    // The configured name of a 0-based damage type.
    const std::string& DamageTypeName(int32_t type) const;
    // The configured name of a 1-based save type; "Other" for 0.
    const std::string& SaveTypeName(int32_t type) const;
};

} // namespace tarvik
