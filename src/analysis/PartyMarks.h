#pragma once

#include "AnalysisData.h"

#include <cstdint>

namespace tarvik {

class DebugLog;
class SessionHost;

// The user's own character and the party flags. Characters are found by ID
// whether or not a tree shows them, and the user's character always belongs
// to the party.
class PartyMarks {
public:
    PartyMarks(AnalysisData& data, DebugLog& debug, SessionHost& host)
        : data_(data)
        , debug_(debug)
        , host_(host)
    {
    }

    // Marks the character as the user's own, or clears the mark when it
    // already is; an unknown ID changes nothing. how: what found it.
    void SelectUserCharacter(CharacterId id, UserFoundBy how = UserFoundBy::Hand);
    // Flips the character's party membership; leaving the party also clears
    // the user mark.
    void TogglePartyMember(CharacterId id);
    // Recounts the party from the characters.
    void RecountParty();

private:
    AnalysisData& data_;
    DebugLog& debug_;
    SessionHost& host_;
};

} // namespace tarvik
