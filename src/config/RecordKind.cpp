#include "RecordKind.h"

#include <array>
#include <utility>

namespace tarvik {

RecordKind RecordKindFromName(std::string_view name)
{
    static constexpr std::array<std::pair<std::string_view, RecordKind>, 14> kinds{{
        {"Chat", RecordKind::Chat},
        {"Attack", RecordKind::Attack},
        {"Damage", RecordKind::Damage},
        {"Casting", RecordKind::Casting},
        {"Healing", RecordKind::Healing},
        {"Resist", RecordKind::Resist},
        {"Save", RecordKind::Save},
        {"Kill", RecordKind::Kill},
        {"Experience", RecordKind::Experience},
        {"Character", RecordKind::Character},
        {"PartyJoin", RecordKind::PartyJoin},
        {"PartyExit", RecordKind::PartyExit},
        {"Immunity", RecordKind::Immunity},
        {"SpellResist", RecordKind::SpellResist},
    }};
    for (const auto& [kindName, kind] : kinds) {
        if (kindName == name)
            return kind;
    }
    return RecordKind::Unknown;
}

} // namespace tarvik
