#pragma once

#include "AttackRecord.h"
#include "DamageBreakdown.h"
#include "IdMap.h"
#include "Indices.h"
#include "KeyedList.h"
#include "Spell.h"

#include <cstdint>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

namespace tarvik {

// Per opponent ID, in ID order, one column per damage type; opponents
// without a row count 0 in every column.
using DamageTable = std::vector<std::pair<CharacterId, std::vector<int32_t>>>;
// Spell name and cast count, in the order spells were first seen.
using SpellCastTable = std::vector<std::pair<std::string, std::string>>;

// One combatant named in the logs and everything the logs say about it.
// Counts are 32-bit, hit point totals 64-bit. Record operations return false
// when a sum would overflow; the character is then unchanged by that call.
class Character {
public:
    // One-time initialiser; a second call changes nothing.
    void CreateCharacter(std::string name, CharacterId id);

    CharacterId ID() const { return id_; }
    const std::string& Name() const { return name_; }
    bool IsPartyMember() const { return isPartyMember_; }
    void SetIsPartyMember(bool member) { isPartyMember_ = member; }

    [[nodiscard]] bool RecordKill(const Character& victim);
    [[nodiscard]] bool RecordDeath(const Character& killer);
    [[nodiscard]] bool RecordSpellCast(const Spell& spell);
    [[nodiscard]] bool RecordAttack(CharacterId defenderId, bool hit);
    [[nodiscard]] bool RecordEnemyAttack(CharacterId attackerId, bool hit);
    [[nodiscard]] bool RecordHealing(int32_t amount);
    [[nodiscard]] bool RecordResist(int32_t amount);
    [[nodiscard]] bool RecordSave(int32_t saveValue, SaveTypeIndex saveType, bool succeeded);
    [[nodiscard]] bool RecordDamageDealt(CharacterId defenderId, const DamageBreakdown& damage);
    [[nodiscard]] bool RecordDamageReceived(CharacterId attackerId, const DamageBreakdown& damage);

    int32_t Kills() const { return kills_; }
    int32_t Deaths() const { return deaths_; }
    int32_t Spells() const { return spells_; }
    int32_t DistinctSpells() const { return distinctSpells_; }
    int32_t Attacks() const { return attacks_; }
    int32_t AttackHits() const { return attackHits_; }
    int32_t EnemyAttacks() const { return enemyAttacks_; }
    int32_t EnemyAttackHits() const { return enemyAttackHits_; }
    int64_t DamageDealt() const { return damageDealt_; }
    int64_t DamageReceived() const { return damageReceived_; }
    int32_t SaveAttempts() const { return saveAttempts_; }
    int32_t SaveSuccesses() const { return saveSuccesses_; }
    int64_t HPsHealed() const { return hpsHealed_; }
    int32_t Resists() const { return resists_; }
    int64_t HPsResisted() const { return hpsResisted_; }
    // Whether any record was recorded on it: a name met in a line that was
    // then discarded has none.
    bool HasRecords() const;

    // Kills by victim / deaths by killer: the characters counted, in ID
    // order; every other character counts 0. The cost follows the entries,
    // not the number of characters met.
    IdCountList<CharacterId> KillSummary() const { return killsByVictim_.Sorted<CharacterId>(); }
    IdCountList<CharacterId> DeathSummary() const { return deathsByKiller_.Sorted<CharacterId>(); }
    int32_t KillsOf(CharacterId victim) const { return killsByVictim_.Get(victim.value()); }
    int32_t DeathsBy(CharacterId killer) const { return deathsByKiller_.Get(killer.value()); }
    // Average damage per opponent and damage type, for the opponents with a
    // damage record, in ID order.
    DamageTable AttackDamageSummary(int damageTypeCount) const;
    DamageTable EnemyAttackDamageSummary(int damageTypeCount) const;
    // False (table untouched) when nothing was cast.
    bool SpellsCastSummary(const KeyedList<Spell>& knownSpells, SpellCastTable& table) const;
    // Casts by spell ID, in ID order (the order spells were first seen).
    IdCountList<SpellId> CastSummary() const { return castsBySpell_.Sorted<SpellId>(); }
    int32_t CastsOf(SpellId spell) const { return castsBySpell_.Get(spell.value()); }

    // Damage records in the order opponents were first met.
    const std::vector<AttackRecord>& OutboundRecords() const { return outbound_.records; }
    const std::vector<AttackRecord>& InboundRecords() const { return inbound_.records; }

private:
    struct RecordSet {
        std::vector<AttackRecord> records;
        std::unordered_map<CharacterId, size_t> byOpponent;
        // Blows come in runs against one opponent: the last one is checked
        // before the map.
        CharacterId lastOpponent;
        size_t lastRecord = 0;
    };
    // Counts one more for id; an ID that names none is not counted.
    template <class Id>
    static bool CountFor(IdMap& counts, Id id)
    {
        return id.IsNone() || counts.Increment(id.value());
    }
    static DamageTable DamageSummary(const RecordSet& set, bool byDefender, int damageTypeCount);
    AttackRecord& GetAttackRecord(CharacterId attackerId, CharacterId defenderId, bool outbound,
                                  int damageTypeCount);

    CharacterId id_;
    std::string name_;
    bool isPartyMember_ = false;
    int32_t kills_ = 0;
    IdMap killsByVictim_;
    int32_t deaths_ = 0;
    IdMap deathsByKiller_;
    int32_t spells_ = 0;
    int32_t distinctSpells_ = 0;
    IdMap castsBySpell_;
    int32_t attacks_ = 0;
    int32_t attackHits_ = 0;
    int32_t enemyAttacks_ = 0;
    int32_t enemyAttackHits_ = 0;
    int64_t damageDealt_ = 0;
    RecordSet outbound_;
    int64_t damageReceived_ = 0;
    RecordSet inbound_;
    int32_t saveAttempts_ = 0;
    int32_t saveSuccesses_ = 0;
    int64_t hpsHealed_ = 0;
    bool healed_ = false;
    int32_t resists_ = 0;
    int64_t hpsResisted_ = 0;
};

using CharacterList = KeyedList<Character>;
using SpellList = KeyedList<Spell>;

} // namespace tarvik
