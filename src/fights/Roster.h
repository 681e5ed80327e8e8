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

// Every character's side, as Sides decided it.
struct SideTable {
    std::vector<Side> byId; // indexed by the ID's value: entry 0 unused
    bool anyOnYourSide = false;

    Side Of(CharacterId id) const
    {
        return !id.IsNone() && static_cast<size_t>(id.value()) < byId.size()
                   ? byId[static_cast<size_t>(id.value())]
                   : Side::Unknown;
    }
};

// Who is who, and the names of the configured types. Sides are looked up
// when asked, so marking a character later changes what the views show.
struct Roster {
    const CharacterList& characters;
    CharacterId userId;
    const std::vector<std::string>& damageTypes; // ends with "Total"
    const std::vector<std::string>& saveTypes;
    // Null: sides from the marks alone (you, party, the rest enemies).
    const SideTable* sides = nullptr;

    Side SideOf(CharacterId id) const;
    bool OnYourSide(CharacterId id) const { return IsYourSide(SideOf(id)); }
    // Whether anybody is on your side at all.
    bool AnyOnYourSide() const;
    // "?" for an ID no character has.
    const std::string& NameOf(CharacterId id) const;
    const std::string& DamageTypeName(DamageTypeIndex type) const;
    // "Other" for none.
    const std::string& SaveTypeName(SaveTypeIndex type) const;
};

} // namespace tarvik
