#include "TargetViews.h"

#include "model/RoundNumber.h"
#include "util/NumberFormat.h"
#include "util/Text.h"

#include <algorithm>

namespace tarvik {

namespace {

// Attackers with fewer pairs say too little to set them apart.
constexpr int32_t MinAttackerPairs = 3;

// Targets are the enemies; while nobody is on your side, everybody.
bool ShownAsTarget(const Roster& roster, CharacterId id, bool sideKnown)
{
    const Side side = roster.SideOf(id);
    return sideKnown ? side == Side::Enemy : !IsYourSide(side);
}

void AddDamage(std::vector<std::pair<CharacterId, int64_t>>& into,
               const std::vector<std::pair<CharacterId, int64_t>>& from)
{
    for (const auto& [attacker, amount] : from) {
        auto known = std::find_if(into.begin(), into.end(),
                                  [a = attacker](const auto& entry) { return entry.first == a; });
        if (known == into.end())
            into.emplace_back(attacker, amount);
        else
            known->second += amount;
    }
}

// "(220 of 226 hits)", "(3 hits)"
std::string SupportText(int32_t support, int32_t pairs)
{
    std::string text = "(";
    if (support < pairs)
        text += FormatThousands(support) + " of ";
    return text + FormatThousands(pairs) + (pairs == 1 ? " hit)" : " hits)");
}

std::vector<AttackerImmunity> AttackersApart(const ImmunityEvidence& evidence, const Roster& roster)
{
    std::vector<AttackerImmunity> attackers;
    for (const auto& [id, votes] : evidence.byAttacker) {
        const auto top = votes.Top();
        if (!top || votes.Pairs() < MinAttackerPairs)
            continue;
        AttackerImmunity attacker;
        attacker.id = id;
        attacker.name = roster.NameOf(id);
        attacker.low = top->low;
        attacker.high = top->high;
        attacker.support = top->votes;
        attacker.pairs = votes.Pairs();
        attacker.text = PercentText(votes) + " " + SupportText(top->votes, votes.Pairs());
        attackers.push_back(std::move(attacker));
    }
    bool apart = false;
    for (size_t i = 0; i < attackers.size() && !apart; ++i) {
        for (size_t j = i + 1; j < attackers.size() && !apart; ++j)
            apart = attackers[i].high < attackers[j].low || attackers[j].high < attackers[i].low;
    }
    if (!apart)
        return {};
    std::stable_sort(
        attackers.begin(), attackers.end(),
        [](const AttackerImmunity& a, const AttackerImmunity& b) { return a.pairs > b.pairs; });
    return attackers;
}

std::string LadderText(const std::optional<AbLadder>& main, const std::optional<AbLadder>& off)
{
    std::string text = main ? main->Text() : std::string();
    // The off hand only where it differs from the main hand.
    if (off && (!main || off->top != main->top))
        text += (text.empty() ? "off hand " : ", off hand ") + off->Text();
    return text.empty() ? "?" : text;
}

TargetRow MakeTargetRow(CharacterId id, const TargetStats& stats, const Roster& roster,
                        const NameTable& names, DamageByAttacker damage)
{
    TargetRow row;
    row.id = id;
    row.name = roster.NameOf(id);
    row.side = roster.SideOf(id);

    row.ac = AcText(stats.ac);
    row.acLow = stats.ac.Low();
    row.acHigh = stats.ac.High();
    row.acRolls = stats.ac.rolls;
    if (stats.ac.rolls > 0) {
        const AcEvidence::Estimate estimate = stats.ac.LeastContradiction();
        row.acEstimateLow = estimate.range.low;
        row.acEstimateHigh = estimate.range.high;
        row.acOutliers = estimate.outliers;
    }
    row.touchAc = AcText(stats.touchAc);
    row.touchAcRolls = stats.touchAc.rolls;
    row.evaded = stats.evaded;

    row.abLadder = stats.MainLadder();
    row.offHandLadder = stats.OffLadder();
    row.ab = LadderText(row.abLadder, row.offHandLadder);
    row.abValue = stats.ab.Mode();
    row.abRolls = stats.ab.Rolls();

    std::vector<std::string> parts;
    const SaveTypeIndex saveBound = stats.saves.TypeBound();
    // Configured types first, in their order; unmatched ones last.
    for (auto type = SaveTypeIndex::FromSlot(0); type < saveBound;
         type = SaveTypeIndex::FromSlot(type.Slot() + 1)) {
        if (const auto best = stats.saves.Best(type)) {
            row.saves.push_back({type, roster.SaveTypeName(type), *best});
            parts.push_back(roster.SaveTypeName(type) + " " + std::to_string(*best));
        }
    }
    const SaveTypeIndex other = SaveTypeIndex::None();
    if (const auto best = stats.saves.Best(other)) {
        row.saves.push_back({other, roster.SaveTypeName(other), *best});
        parts.push_back(roster.SaveTypeName(other) + " " + std::to_string(*best));
    }
    row.savesText = JoinTexts(parts);

    parts.clear();
    for (size_t t = 0; t < stats.immunities.size(); ++t) {
        const ImmunityEvidence& evidence = stats.immunities[t];
        if (evidence.absorbs == 0 && evidence.Pairs() == 0)
            continue;
        ImmunityCell cell;
        cell.damageType = DamageTypeIndex::FromSlot(t);
        cell.name = roster.DamageTypeName(cell.damageType);
        cell.text = ImmunityText(evidence);
        cell.percent = PercentText(evidence.votes);
        if (const auto top = evidence.votes.Top()) {
            cell.low = top->low;
            cell.high = top->high;
            cell.support = top->votes;
        }
        cell.pairs = evidence.Pairs();
        cell.absorbs = evidence.absorbs;
        cell.absorbed = evidence.absorbed;
        cell.byAttacker = AttackersApart(evidence, roster);
        parts.push_back(cell.name + " " + cell.percent);
        row.immunities.push_back(std::move(cell));
    }
    row.immunitiesText = JoinTexts(parts);

    row.reductions = stats.reductions;
    if (stats.reductions.count > 0) {
        row.reductionsText = FormatThousands(stats.reductions.count) + " absorbs, largest " +
                             FormatThousands(stats.reductions.largest) + ", average " +
                             RoundedText(stats.reductions.Average(), 1);
    }

    parts.clear();
    for (const NameCount& special : stats.specialImmunities) {
        row.specialImmunities.push_back({names.Name(special.name), special.count});
        parts.push_back(names.Name(special.name));
    }
    row.specialText = JoinTexts(parts);
    row.damage = std::move(damage);
    return row;
}

bool Tells(const TargetStats& stats, const DamageByAttacker& damage)
{
    return !stats.Empty() || damage.total > 0;
}

} // namespace

DamageByAttacker DamageByAttackerFrom(std::vector<std::pair<CharacterId, int64_t>> from,
                                      int64_t seconds, const Roster& roster)
{
    DamageByAttacker damage;
    damage.seconds = seconds;
    for (const auto& entry : from)
        damage.total += entry.second;
    std::stable_sort(from.begin(), from.end(),
                     [](const auto& a, const auto& b) { return a.second > b.second; });
    for (const auto& [attacker, amount] : from) {
        AttackerDamageRow row;
        row.id = attacker;
        row.name = roster.NameOf(attacker);
        row.side = roster.SideOf(attacker);
        row.damage = amount;
        row.percent = damage.total > 0 ? RoundNumber(100.0 * amount / damage.total, 1) : 0;
        row.dps = PerSecond(amount, seconds);
        damage.rows.push_back(std::move(row));
    }
    return damage;
}

DamageByAttacker DamageTakenByAttacker(const FightCharacter& character, const Roster& roster)
{
    return DamageByAttackerFrom(character.damageFrom, character.TakenSeconds(), roster);
}

DamageByAttacker DamageTakenByAttacker(const FightTracker& tracker, CharacterId id,
                                       const Roster& roster)
{
    std::vector<std::pair<CharacterId, int64_t>> from;
    int64_t seconds = 0;
    if (const FightTracker::EarlierFights* earlier = tracker.Earlier(id)) {
        from = earlier->damageFrom;
        seconds = earlier->takenSeconds;
    }
    for (const Fight& fight : tracker.Fights()) {
        if (const FightCharacter* c = fight.Find(id)) {
            AddDamage(from, c->damageFrom);
            seconds += c->TakenSeconds();
        }
    }
    return DamageByAttackerFrom(std::move(from), seconds, roster);
}

TargetStats AllStatsOf(const FightTracker& tracker, CharacterId id)
{
    TargetStats stats;
    if (const FightTracker::EarlierFights* earlier = tracker.Earlier(id))
        stats.Merge(earlier->stats);
    for (const Fight& fight : tracker.Fights()) {
        if (const FightCharacter* c = fight.Find(id); c && c->Target())
            stats.Merge(*c->Target());
    }
    if (const TargetStats* outside = tracker.OutsideFights(id))
        stats.Merge(*outside);
    return stats;
}

std::vector<TargetRow> TargetRows(const FightTracker& tracker, const Roster& roster)
{
    // The whole analysis is every fight merged, in order (those no longer
    // kept first), and what came outside fights.
    struct Merged {
        TargetStats stats;
        std::vector<std::pair<CharacterId, int64_t>> damageFrom;
        int64_t seconds = 0;
    };
    std::vector<Merged> merged; // by slot
    auto entry = [&](CharacterId id) -> Merged& {
        if (id.Slot() >= merged.size())
            merged.resize(id.Slot() + 1);
        return merged[id.Slot()];
    };
    for (size_t slot = 0; slot < tracker.TrackedIds(); ++slot) {
        const CharacterId id = CharacterId::FromSlot(slot);
        if (const FightTracker::EarlierFights* earlier = tracker.Earlier(id)) {
            Merged& m = entry(id);
            m.stats.Merge(earlier->stats);
            m.damageFrom = earlier->damageFrom;
            m.seconds = earlier->takenSeconds;
        }
    }
    for (const Fight& fight : tracker.Fights()) {
        for (const FightCharacter& c : fight.Characters()) {
            if (c.id.IsNone() || (!c.TellsOfTarget() && c.damageFrom.empty()))
                continue;
            Merged& m = entry(c.id);
            if (c.Target())
                m.stats.Merge(*c.Target());
            AddDamage(m.damageFrom, c.damageFrom);
            m.seconds += c.TakenSeconds();
        }
    }
    for (size_t slot = 0; slot < tracker.TrackedIds(); ++slot) {
        const CharacterId id = CharacterId::FromSlot(slot);
        if (const TargetStats* outside = tracker.OutsideFights(id))
            entry(id).stats.Merge(*outside);
    }
    std::vector<TargetRow> rows;
    const bool sideKnown = roster.AnyOnYourSide();
    for (size_t slot = 0; slot < merged.size(); ++slot) {
        const CharacterId characterId = CharacterId::FromSlot(slot);
        Merged& m = merged[slot];
        if (!ShownAsTarget(roster, characterId, sideKnown))
            continue;
        DamageByAttacker damage = DamageByAttackerFrom(std::move(m.damageFrom), m.seconds, roster);
        if (!Tells(m.stats, damage))
            continue;
        rows.push_back(
            MakeTargetRow(characterId, m.stats, roster, tracker.EffectNames(), std::move(damage)));
    }
    return rows;
}

std::vector<TargetRow> FightTargetRows(const Fight& fight, const Roster& roster,
                                       const NameTable& names)
{
    std::vector<const FightCharacter*> order;
    const bool sideKnown = roster.AnyOnYourSide();
    for (const FightCharacter& c : fight.Characters()) {
        if ((c.TellsOfTarget() || c.damageTaken != 0 || !c.damageFrom.empty()) &&
            ShownAsTarget(roster, c.id, sideKnown))
            order.push_back(&c);
    }
    std::stable_sort(
        order.begin(), order.end(),
        [](const FightCharacter* a, const FightCharacter* b) { return a->id < b->id; });
    std::vector<TargetRow> rows;
    const TargetStats none;
    for (const FightCharacter* c : order)
        rows.push_back(MakeTargetRow(c->id, c->Target() ? *c->Target() : none, roster, names,
                                     DamageTakenByAttacker(*c, roster)));
    return rows;
}

std::vector<SpellResultLine> SpellResultLines(const TargetStats& stats, const NameTable& names)
{
    std::vector<SpellResultLine> lines;
    for (const SpellResult& result : stats.spellResults) {
        const std::string& spell = names.Name(result.spell);
        auto line = std::find_if(lines.begin(), lines.end(),
                                 [&](const SpellResultLine& l) { return l.spell == spell; });
        if (line == lines.end()) {
            lines.push_back({spell, {}, {}});
            line = lines.end() - 1;
        }
        line->results.push_back({ToLower(names.Name(result.result)), result.count});
    }
    for (SpellResultLine& line : lines) {
        std::vector<std::string> parts;
        for (const NamedCount& result : line.results)
            parts.push_back(result.name + " x" + FormatThousands(result.count));
        line.text = line.spell + ": " + JoinTexts(parts);
    }
    return lines;
}

SpellResultsById SpellResultsByCharacter(const FightTracker& tracker)
{
    // Only the results are merged: few characters have any.
    std::vector<std::pair<CharacterId, TargetStats>> merged;
    auto add = [&](CharacterId id, const TargetStats& stats) {
        if (stats.spellResults.empty())
            return;
        auto it = std::find_if(merged.begin(), merged.end(),
                               [id](const auto& entry) { return entry.first == id; });
        if (it == merged.end()) {
            merged.emplace_back(id, TargetStats{});
            it = merged.end() - 1;
        }
        TargetStats results;
        results.spellResults = stats.spellResults;
        it->second.Merge(results);
    };
    for (size_t slot = 0; slot < tracker.TrackedIds(); ++slot) {
        const CharacterId id = CharacterId::FromSlot(slot);
        if (const FightTracker::EarlierFights* earlier = tracker.Earlier(id))
            add(id, earlier->stats);
    }
    for (const Fight& fight : tracker.Fights()) {
        for (const FightCharacter& c : fight.Characters()) {
            if (c.Target())
                add(c.id, *c.Target());
        }
    }
    for (size_t slot = 0; slot < tracker.TrackedIds(); ++slot) {
        const CharacterId id = CharacterId::FromSlot(slot);
        if (const TargetStats* outside = tracker.OutsideFights(id))
            add(id, *outside);
    }
    std::sort(merged.begin(), merged.end(),
              [](const auto& a, const auto& b) { return a.first < b.first; });
    SpellResultsById result;
    for (const auto& [id, stats] : merged)
        result.emplace_back(id, SpellResultLines(stats, tracker.EffectNames()));
    return result;
}

std::string SpellResultsText(const std::vector<SpellResultLine>& lines)
{
    std::vector<std::string> parts;
    for (const SpellResultLine& line : lines)
        parts.push_back(line.text);
    return JoinTexts(parts, "; ");
}

std::vector<std::string> TargetCardLines(const TargetRow& row)
{
    std::vector<std::string> lines;
    lines.push_back("AC: " + row.ac);
    if (row.touchAcRolls > 0)
        lines.push_back("Touch AC: " + row.touchAc);
    if (row.evaded > 0)
        lines.push_back("Hits evaded (Epic Dodge): " + FormatThousands(row.evaded));
    lines.push_back("Attack bonus: " + row.ab);
    if (!row.savesText.empty())
        lines.push_back("Best saves: " + row.savesText);
    for (const ImmunityCell& cell : row.immunities) {
        std::string line = cell.name + " immunity: " + cell.text;
        std::vector<std::string> attackers;
        for (const AttackerImmunity& attacker : cell.byAttacker)
            attackers.push_back(attacker.name + " " + attacker.text);
        if (!attackers.empty())
            line += "; by attacker: " + JoinTexts(attackers);
        lines.push_back(std::move(line));
    }
    if (!row.specialImmunities.empty()) {
        std::vector<std::string> parts;
        for (const NamedCount& special : row.specialImmunities)
            parts.push_back(special.name + " (" + FormatThousands(special.count) + ")");
        lines.push_back("Immune to: " + JoinTexts(parts));
    }
    if (!row.reductionsText.empty())
        lines.push_back("Resistance and reduction: " + row.reductionsText);
    return lines;
}

} // namespace tarvik
