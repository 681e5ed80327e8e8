#pragma once

#include "FightGap.h"
#include "RecapSeconds.h"
#include "RecordTypes.h"

#include <cstdint>
#include <string>
#include <vector>

namespace tarvik {

// Where the parts of a log line are and the markers that cut records apart.
struct LogFormat {
    int32_t timeStampBegin = 21;  // 1-based character position
    int32_t timeStampLength = 19; // characters
    int32_t timeStampMinLength = 0;
    int32_t recordBegin = 1; // validated only
    int32_t recordEnd = 0;   // validated only
    std::string recordDeliminator;
    std::string attackHit;
    std::string attackCritical; // in a critical hit's result: "*critical hit*"
    std::string attackMiss;     // in a missed attack's result: "*miss*"
    std::string healingUnits;
    std::string saveSuccess;
    std::string savePrefix; // before the name on some servers: "SAVE: Name : Will Save ..."
    std::string saveStartDeliminator; // kept, unused
    std::string saveEndDeliminator;   // kept, unused
    std::string logFileMask;
    // Starts the line that opens a game session and names its year:
    // "Messages for: Wed Dec 31 19:21:48 2025".
    std::string sessionHeader;
    // What lines without a timestamp are. The session header's rows are
    // made of this text repeated ("-----"); the engine's own lines start
    // with one of engineLines; the game's unstamped copy of a chat line
    // names its channel with one of chatDuplicateTags after the speaker:
    // "[Account] Name: [Party] text".
    std::string sessionHeaderRule;
    std::vector<std::string> engineLines;
    std::vector<std::string> chatDuplicateTags;
    std::string characterConcealStart;
    std::string characterConcealEnd;
    std::string experiencePointsStart;
    std::string experiencePointsEnd;
    std::string abStart;
    std::string abEnd;
    std::string charIdStart;
    std::string charIdEnd;
    std::string partyJoinStart;
    std::string partyJoinEnd;
    std::string partyExitStart;
    std::string partyExitEnd;
    // In an attack record's identifier: a touch attack (against touch AC),
    // a special attack (a bonus of its own). Before the attacker: the off hand.
    std::string touchAttack;
    std::string specialAttack;
    std::string offHand;
    // Dropped from the end of what a character is immune to: "Slow." and
    // "FEAR effects" name Slow and FEAR.
    std::vector<std::string> immunityEnds;
    // "SPELL RESIST: Name attempts to resist: Spell - Result:  IMMUNE": after
    // the name, and after the spell.
    std::string spellResistSpell;
    std::string spellResistResult;
    // "Dominated Cerberus.": the owner's pet (no name stands before it).
    std::string dominatedStart; // "Dominated"
    std::string dominatedEnd;   // "."
    // The tag of party chat, "Name: [Party] hi": the speaker is on your side.
    std::string partyChat;
};

// Everything the analysis takes from the configuration file.
struct AnalysisConfig {
    LogFormat format;
    std::vector<std::string> damageTypes;      // ends with "Total"
    std::vector<std::string> shortDamageTypes; // parallel to damageTypes
    std::vector<std::string> saveTypes;
    RecordTypes recordTypes;
    int32_t fightGapSeconds = DefaultFightGapSeconds;
    int32_t recapSeconds = DefaultRecapSeconds;
    // Names beginning with one of these and a blank are pets ("Summoned Badger").
    std::vector<std::string> petNamePrefixes;

    int DamageTypeCount() const { return static_cast<int>(damageTypes.size()); }
};

} // namespace tarvik
