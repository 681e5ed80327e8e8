#include "OwnerEvidence.h"

#include <cstddef>

namespace tarvik {

namespace {

uint64_t TypeBit(DamageTypeIndex type)
{
    return type.Within(64) ? uint64_t{1} << type.Slot() : 0;
}

} // namespace

bool OwnerEvidence::NoteDamage(int64_t line, int64_t second, CharacterId attacker,
                               CharacterId defender, uint64_t namedTypes)
{
    bool counted = false;
    if (waiting_.defender == defender && waiting_.lastLine == line - 1 &&
        waiting_.second == second && (waiting_.types & ~namedTypes) == 0) {
        CountHit(attacker, defender);
        counted = true;
    }
    waiting_ = {};
    last_ = {line, second, attacker, defender, namedTypes, line, counted};
    return counted;
}

bool OwnerEvidence::NoteAbsorb(int64_t line, int64_t second, CharacterId defender,
                               DamageTypeIndex damageType)
{
    const uint64_t bit = TypeBit(damageType);
    if (last_.defender == defender && last_.chainEnd == line - 1 && last_.second == second &&
        (damageType.IsNone() || (last_.namedTypes & bit) != 0)) {
        last_.chainEnd = line;
        if (last_.counted)
            return false;
        last_.counted = true;
        CountHit(last_.attacker, defender);
        return true;
    }
    if (waiting_.defender == defender && waiting_.lastLine == line - 1 &&
        waiting_.second == second) {
        waiting_.lastLine = line;
        waiting_.types |= bit;
        return false;
    }
    waiting_ = {line, second, defender, bit};
    return false;
}

void OwnerEvidence::CountHit(CharacterId attacker, CharacterId defender)
{
    auto count = [&](CharacterId id) {
        if (id.IsNone())
            return;
        const auto index = static_cast<size_t>(id.value());
        if (index >= hitsWith_.size())
            hitsWith_.resize(index + 1, 0);
        const int32_t now = ++hitsWith_[index];
        auto of = [&](CharacterId other) {
            return other.IsNone() ? 0 : hitsWith_[static_cast<size_t>(other.value())];
        };
        if (id == first_)
            return;
        if (now > of(first_)) {
            second_ = first_;
            first_ = id;
        } else if (id != second_ && now > of(second_)) {
            second_ = id;
        }
    };
    count(attacker);
    if (defender != attacker)
        count(defender);
    ++absorbedHits_;
}

CharacterId OwnerEvidence::ByAbsorbs() const
{
    if (absorbedHits_ < MinAbsorbedHits || first_.IsNone())
        return CharacterId::None();
    const int64_t needed = (static_cast<int64_t>(absorbedHits_) * OwnerSharePercent + 99) / 100;
    auto hits = [&](CharacterId id) {
        return id.IsNone() ? 0 : hitsWith_[static_cast<size_t>(id.value())];
    };
    // A third character has no more hits than the second: only these two can
    // reach the share. When both do, either could be the owner.
    if (hits(first_) < needed || hits(second_) >= needed)
        return CharacterId::None();
    return first_;
}

} // namespace tarvik
