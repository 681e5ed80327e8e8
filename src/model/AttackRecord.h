#pragma once

#include "DamageBreakdown.h"
#include "Indices.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace tarvik {

// Damage statistics of one attacker/defender pairing; also used as a sample
// holder by the real-time averages.
class AttackRecord {
public:
    // One-time initialiser; later calls change nothing while both IDs are set.
    void CreateAttackRecord(CharacterId attacker, CharacterId defender, int damageTypeCount);

    // Adds one damage record. False (and nothing changed) when a count or a
    // sum would overflow.
    [[nodiscard]] bool AddAttack(const DamageBreakdown& damage);

    // Per-type average damage, each over the records that carried the type;
    // the last entry is the sum of the other averages, held at the largest
    // 32-bit number should it pass it. Returns false and
    // leaves averages untouched when no record was added.
    bool GetAttackAverages(std::vector<int32_t>& averages) const;

    int32_t AverageDamage() const;
    int32_t NumberAttacks() const { return numberAttacks_; }
    int64_t TotalDamage() const { return totalDamage_; }
    CharacterId Attacker() const { return attacker_; }
    CharacterId Defender() const { return defender_; }
    // Summed damage and record count of a damage type.
    int64_t DamageOfType(DamageTypeIndex type) const { return damageByType_.at(type.Slot()).sum; }
    int32_t RecordsOfType(DamageTypeIndex type) const
    {
        return damageByType_.at(type.Slot()).records;
    }

private:
    CharacterId attacker_;
    CharacterId defender_;
    struct TypeSum {
        int64_t sum = 0;
        int32_t records = 0;
    };
    int64_t totalDamage_ = 0;
    int32_t numberAttacks_ = 0;
    std::vector<TypeSum> damageByType_;
};

} // namespace tarvik
