#include "AttackRecord.h"

#include "RoundNumber.h"
#include "util/Checked.h"

#include <algorithm>
#include <limits>

namespace tarvik {

void AttackRecord::CreateAttackRecord(CharacterId attacker, CharacterId defender,
                                      int damageTypeCount)
{
    if (!attacker_.IsNone() || !defender_.IsNone())
        return;
    attacker_ = attacker;
    defender_ = defender;
    damageByType_.assign(static_cast<size_t>(std::max(damageTypeCount, 0)), TypeSum{});
}

bool AttackRecord::AddAttack(const DamageBreakdown& damage)
{
    const size_t types = std::min(damage.size(), damageByType_.size());
    if (!CanAdd(numberAttacks_, 1) || (!damage.empty() && !CanAdd(totalDamage_, damage.back())))
        return false;
    // Added in one pass; an overflow, which hardly ever comes, takes back
    // what was added so that the record stays as it was.
    size_t t = 0;
    for (; t < types; ++t) {
        if (damage[t] <= 0)
            continue;
        TypeSum& type = damageByType_[t];
        if (!CanAdd(type.sum, damage[t]) || !CanAdd(type.records, 1))
            break;
        type.sum += damage[t];
        type.records += 1;
    }
    if (t < types) {
        while (t-- > 0) {
            if (damage[t] > 0) {
                damageByType_[t].sum -= damage[t];
                damageByType_[t].records -= 1;
            }
        }
        return false;
    }
    ++numberAttacks_;
    if (!damage.empty())
        totalDamage_ += damage.back();
    return true;
}

bool AttackRecord::GetAttackAverages(std::vector<int32_t>& averages) const
{
    if (numberAttacks_ < 1)
        return false;
    averages.assign(damageByType_.size(), 0);
    if (damageByType_.empty())
        return true;
    int64_t sum = 0;
    for (size_t t = 0; t + 1 < damageByType_.size(); ++t) {
        const TypeSum& type = damageByType_[t];
        if (type.sum > 0) {
            // An average of 32-bit amounts fits 32 bits.
            averages[t] =
                static_cast<int32_t>(RoundNumber(static_cast<double>(type.sum) / type.records, 0));
            sum += averages[t];
        }
    }
    averages.back() =
        static_cast<int32_t>(std::min<int64_t>(sum, std::numeric_limits<int32_t>::max()));
    return true;
}

int32_t AttackRecord::AverageDamage() const
{
    if (numberAttacks_ < 1)
        return 0;
    return static_cast<int32_t>(RoundNumber(static_cast<double>(totalDamage_) / numberAttacks_, 0));
}

} // namespace tarvik
