#include "PartyMarks.h"

#include "AnalysisData.h"
#include "SessionHost.h"
#include "diag/DebugLog.h"

namespace tarvik {

void PartyMarks::SelectUserCharacter(CharacterId id, UserFoundBy how)
{
    debug_.LogDebug("Selecting user character on treeview.", 3);
    Character* character = data_.characters.At(id);
    if (!character)
        return;
    debug_.Log(4, [&] { return "Found character [" + character->Name() + "] on treeview."; });
    if (character->ID() == data_.userCharacterId) {
        debug_.LogDebug("Already selected, so deselecting the character.", 4);
        data_.userCharacterId = CharacterId::None();
        data_.userFoundBy = UserFoundBy::None;
        ++data_.marksVersion;
        return;
    }
    if (!data_.userCharacterId.IsNone()) {
        debug_.Log(4, [&] {
            return "De-selecting previous character #" +
                   std::to_string(data_.userCharacterId.value()) + ".";
        });
    }
    debug_.Log(4, [&] { return "Selecting new character [" + character->Name() + "]."; });
    data_.userCharacterId = character->ID();
    data_.userFoundBy = how;
    ++data_.marksVersion;
    if (!character->IsPartyMember())
        TogglePartyMember(character->ID());
}

void PartyMarks::TogglePartyMember(CharacterId id)
{
    debug_.LogDebug("Toggling party member on treeview.", 3);
    Character* character = data_.characters.At(id);
    if (!character)
        return;
    debug_.Log(4, [&] { return "Found character [" + character->Name() + "] on treeview."; });
    character->SetIsPartyMember(!character->IsPartyMember());
    ++data_.marksVersion;
    if (character->IsPartyMember()) {
        ++data_.partyMemberCount;
    } else {
        debug_.LogDebug("Already selected, so deselecting the character.", 4);
        --data_.partyMemberCount;
        if (character->ID() == data_.userCharacterId)
            SelectUserCharacter(character->ID());
    }
    host_.PartyCountChanged();
}

void PartyMarks::RecountParty()
{
    int32_t count = 0;
    for (const auto& character : data_.characters) {
        if (character->IsPartyMember())
            ++count;
    }
    data_.partyMemberCount = count;
}

} // namespace tarvik
