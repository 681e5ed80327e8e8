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

Side Roster::SideOf(CharacterId id) const
{
    if (sides)
        return sides->Of(id);
    if (!id.IsNone() && id == userId)
        return Side::You;
    const Character* character = characters.At(id);
    return character && character->IsPartyMember() ? Side::Party : Side::Enemy;
}

bool Roster::AnyOnYourSide() const
{
    if (sides)
        return sides->anyOnYourSide;
    if (!userId.IsNone())
        return true;
    for (const auto& character : characters) {
        if (character->IsPartyMember())
            return true;
    }
    return false;
}

const std::string& Roster::NameOf(CharacterId id) const
{
    const Character* character = characters.At(id);
    return character ? character->Name() : Unknown;
}

const std::string& Roster::DamageTypeName(DamageTypeIndex type) const
{
    return type.Within(damageTypes.size()) ? damageTypes[type.Slot()] : Unknown;
}

const std::string& Roster::SaveTypeName(SaveTypeIndex type) const
{
    return type.Within(saveTypes.size()) ? saveTypes[type.Slot()] : OtherSave;
}

} // namespace tarvik
