#pragma once

#include "AnalysisOptions.h"
#include "RecordContext.h"
#include "RecordParser.h"
#include "UndatedLines.h"
#include "util/Error.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace tarvik {

struct AnalysisData;
class ChangeNotes;
class Character;
class DebugLog;
class ErrorList;
class FightTracker;
class PartyMarks;
class RealTimeState;
class SessionHost;
class SideEvidence;
class Spell;

// What records are recorded on and told to, all owned by the session.
struct RecordTargets {
    AnalysisData& data; // characters, spells and counts
    RealTimeState& realTime;
    FightTracker& fights;
    SideEvidence& sides; // who fought whom, speakers, pets, the owner's lines
    PartyMarks& marks;
    ChangeNotes& changes; // what the host may redraw
    ErrorList& errors;    // records discarded
    DebugLog& debug;
    SessionHost& host; // told of each new character
    const AnalysisOptions& options;
};

// Records what a parsed record says on the characters it names, found or
// created, and on the real-time state, the party marks and the fights. Each
// step is told to the debug log as it is taken, so a character met before
// a later step discards the record stays.
class EventRecorder {
public:
    EventRecorder(const RecordParser& parser, const RecordTargets& targets);

    void Chat(const RecordContext& record);
    Error Attack(const RecordContext& record, const ParsedAttack& attack);
    Error Damage(const RecordContext& record, const ParsedDamage& damage);
    Error Casting(const RecordContext& record, const ParsedCasting& casting);
    Error Healing(const RecordContext& record, const ParsedHealing& healing);
    Error Absorb(const RecordContext& record, const ParsedAbsorb& absorb);
    Error Save(const RecordContext& record, const ParsedSave& save);
    Error Kill(const RecordContext& record, const ParsedKill& kill);
    Error Experience(const RecordContext& record, const ParsedExperience& experience);
    void UserCharacter(const RecordContext& record, const ParsedName& parsed);
    void PartyChange(const RecordContext& record, const ParsedName& parsed, bool join);
    // What a character is immune to, on the character: also where a
    // server's continuation line ("X is immune to to FEAR effects"), taken
    // as an Immunity record dated as the line it continues, is recorded.
    void Immunity(const RecordContext& record, const ParsedImmunity& immunity);
    // A spell resistance check of the log's owner.
    void SpellResist(const RecordContext& record, const ParsedSpellResist& parsed);
    // "Dominated Cerberus.", a line of no record kind: the owner's pet.
    void Dominated(std::string_view pet);
    // An undated line that continues the message of the dated line above
    // it: a fact of its own, never part of that line's record.
    void Continuation(const ContinuationLine& line);

private:
    // What most records begin with: the cut is told, a record that could
    // not be taken apart is discarded, the rest counted (when counted here)
    // and the character named found. Null when the record was discarded
    // (error stays empty) or could not be counted.
    Character* Open(const RecordContext& record, const Opening& opening, bool count, Error& error);
    // "[text] split to [left] and [right]." or "could not be split".
    void TellCut(const Cut& cut);
    void TellCutNow(const Cut& cut);
    bool Wants(int level) const;
    void Reject(const RecordContext& record, const Rejection& rejection);
    // False when the count would overflow.
    bool CountRecord();
    // Where character names were found, as they were written. An entry holds
    // while the characters have not been cleared since.
    struct NameCacheEntry {
        std::string name;
        CharacterId id;
        uint64_t generation = 0;
    };
    Character& FindCharacter(std::string_view name);
    Character& FindUncached(std::string_view name, NameCacheEntry& cacheEntry);
    Spell& FindSpell(std::string_view name);
    void Debug(int level, std::string_view message);
    template <class Build>
    void DebugBuilt(int level, Build&& build);
    // "DamageType returned:1." at level 3, which the caller checked.
    void TellType(const char* what, DamageTypeIndex type);
    void TellType(const char* what, SaveTypeIndex type);
    // With auto-detection on and no initiative roll seen, marks the owner
    // that spell-resistance or absorb lines name, when they first name it.
    void ChooseOwner();

    const RecordParser& parser_;
    RecordTargets to_;

    static constexpr size_t CacheSlots = 64;
    std::array<NameCacheEntry, CacheSlots> nameCache_;
};

} // namespace tarvik
