#include "Roster.h"

namespace tarvik {

namespace {

const std::string Unknown = "?";
const std::string OtherSave = "Other";

} // namespace

const char* SideName(Side side)
{
    switch (side) {
    case Side::You:
        return "you";
    case Side::Party:
        return "party";
    case Side::Ally:
        return "ally";
    case Side::Pet:
        return "pet";
    case Side::Enemy:
        return "enemy";
    case Side::Unknown:
        break;
    }
    return "unknown";
}

Side Roster::SideOf(int32_t id) const
{
    if (sides) {
        return id > 0 && static_cast<size_t>(id) < sides->byId.size()
                   ? sides->byId[static_cast<size_t>(id)]
                   : Side::Unknown;
    }
    if (id > 0 && id == userId)
        return Side::You;
    const Character* character = characters.At(id);
    return character && character->IsPartyMember() ? Side::Party : Side::Enemy;
}

bool Roster::AnyOnYourSide() const
{
    if (sides)
        return sides->anyOnYourSide;
    if (userId > 0)
        return true;
    for (const auto& character : characters) {
        if (character->IsPartyMember())
            return true;
    }
    return false;
}

const std::string& Roster::NameOf(int32_t id) const
{
    const Character* character = characters.At(id);
    return character ? character->Name() : Unknown;
}

const std::string& Roster::DamageTypeName(int32_t type) const
{
    return type >= 0 && static_cast<size_t>(type) < damageTypes.size()
               ? damageTypes[static_cast<size_t>(type)]
               : Unknown;
}

const std::string& Roster::SaveTypeName(int32_t type) const
{
    return type >= 1 && static_cast<size_t>(type) <= saveTypes.size()
               ? saveTypes[static_cast<size_t>(type - 1)]
               : OtherSave;
}

} // namespace tarvik
