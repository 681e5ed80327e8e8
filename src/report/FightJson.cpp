#include "FightJson.h"

#include "analysis/Session.h"
#include "fights/FightGroup.h"
#include "model/RoundNumber.h"
#include "util/Encoding.h"

namespace tarvik {

namespace {

double OneDecimal(double value)
{
    return RoundNumber(value, 1);
}

Json ByType(const std::vector<TypeAmountText>& amounts)
{
    Json object = Json::object();
    for (const auto& [type, amount] : amounts)
        object[DisplayText(type)] = amount;
    return object;
}

Json Optional(const std::optional<int32_t>& value)
{
    return value ? Json(*value) : Json(nullptr);
}

const char* KindName(RecapLineKind kind)
{
    switch (kind) {
    case RecapLineKind::Blow:
        return "damage";
    case RecapLineKind::Immunity:
        return "immunity";
    case RecapLineKind::Absorb:
        return "absorb";
    case RecapLineKind::Healing:
        return "healing";
    case RecapLineKind::Save:
        return "save";
    }
    return "";
}

Json SaveJson(const RecapSave& save, const Roster& roster)
{
    return {{"save_type", DisplayText(roster.SaveTypeName(save.saveType))},
            {"total", save.total},
            {"dc", save.dc >= 0 ? Json(save.dc) : Json(nullptr)},
            {"success", save.success}};
}

Json AbsorbJson(const RecapAbsorb& absorb, const Roster& roster)
{
    return {{"amount", absorb.amount},
            {"damage_type", !absorb.damageType.IsNone()
                                ? Json(DisplayText(roster.DamageTypeName(absorb.damageType)))
                                : Json(nullptr)}};
}

} // namespace

Json RecapJson(const DeathRecap& recap, const Roster& roster)
{
    const RecapView view = BuildRecap(recap, roster);
    Json events = Json::array();
    for (const RecapLine& line : view.lines) {
        Json item = {{"time", DateOfSecond(recap.second - line.secondsBefore).Format()},
                     {"seconds_before", line.secondsBefore},
                     {"kind", KindName(line.kind)},
                     {"text", DisplayText(line.text)}};
        switch (line.kind) {
        case RecapLineKind::Blow: {
            item["source"] = DisplayText(roster.NameOf(line.source));
            item["amount"] = line.amount;
            Json types = Json::object();
            for (const auto& type : line.types)
                types[DisplayText(roster.DamageTypeName(type.type))] = type.amount;
            item["types"] = std::move(types);
            Json absorbed = Json::array();
            for (const RecapAbsorb& absorb : line.absorbs)
                absorbed.push_back(AbsorbJson(absorb, roster));
            item["absorbed"] = std::move(absorbed);
            Json saves = Json::array();
            for (const RecapSave& save : line.saves)
                saves.push_back(SaveJson(save, roster));
            item["saves"] = std::move(saves);
            item["killing_blow"] = line.killingBlow;
            break;
        }
        case RecapLineKind::Immunity:
        case RecapLineKind::Absorb: {
            Json absorb = AbsorbJson(line.absorbs.front(), roster);
            item["amount"] = absorb["amount"];
            if (line.kind == RecapLineKind::Immunity)
                item["damage_type"] = absorb["damage_type"];
            break;
        }
        case RecapLineKind::Healing:
            item["amount"] = line.amount;
            item["ticks"] = line.ticks;
            break;
        case RecapLineKind::Save:
            item.update(SaveJson(line.saves.front(), roster));
            break;
        }
        events.push_back(std::move(item));
    }
    Json byAttacker = Json::array();
    for (const RecapAttacker& attacker : view.byAttacker) {
        byAttacker.push_back({{"name", DisplayText(attacker.name)},
                              {"damage", attacker.damage},
                              {"blows", attacker.blows},
                              {"largest", attacker.largest}});
    }
    return {{"time", view.time},
            {"name", DisplayText(view.victim)},
            {"side", SideName(roster.SideOf(recap.victim))},
            {"killer", DisplayText(view.killer)},
            {"events", std::move(events)},
            {"by_attacker", std::move(byAttacker)}};
}

Json TargetsJson(const std::vector<TargetRow>& rows)
{
    Json list = Json::array();
    for (const TargetRow& row : rows) {
        Json saves = Json::object();
        for (const SaveCell& save : row.saves)
            saves[DisplayText(save.name)] = save.best;
        Json immunities = Json::object();
        for (const ImmunityCell& cell : row.immunities) {
            Json byAttacker = Json::object();
            for (const AttackerImmunity& attacker : cell.byAttacker) {
                byAttacker[DisplayText(attacker.name)] = {{"percent_low", attacker.low},
                                                          {"percent_high", attacker.high},
                                                          {"support", attacker.support},
                                                          {"pairs", attacker.pairs}};
            }
            immunities[DisplayText(cell.name)] = {{"percent", cell.percent},
                                                  {"percent_low", Optional(cell.low)},
                                                  {"percent_high", Optional(cell.high)},
                                                  {"support", cell.support},
                                                  {"pairs", cell.pairs},
                                                  {"absorbs", cell.absorbs},
                                                  {"absorbed", cell.absorbed},
                                                  {"text", cell.text},
                                                  {"by_attacker", std::move(byAttacker)}};
        }
        Json special = Json::object();
        for (const NamedCount& immunity : row.specialImmunities)
            special[DisplayText(immunity.name)] = immunity.count;
        Json damage = Json::array();
        for (const AttackerDamageRow& attacker : row.damage.rows) {
            damage.push_back({{"name", DisplayText(attacker.name)},
                              {"side", SideName(attacker.side)},
                              {"damage", attacker.damage},
                              {"percent", attacker.percent},
                              {"dps", OneDecimal(attacker.dps)}});
        }
        auto ladder = [](const std::optional<AbLadder>& l) {
            return l ? Json(l->Bonuses()) : Json::array();
        };
        list.push_back({{"name", DisplayText(row.name)},
                        {"ac", row.ac},
                        {"ac_low", Optional(row.acLow)},
                        {"ac_high", Optional(row.acHigh)},
                        {"ac_rolls", row.acRolls},
                        {"ac_estimate_low", Optional(row.acEstimateLow)},
                        {"ac_estimate_high", Optional(row.acEstimateHigh)},
                        {"ac_outliers", row.acOutliers},
                        {"touch_ac", row.touchAc},
                        {"touch_ac_rolls", row.touchAcRolls},
                        {"evaded", row.evaded},
                        {"ab", Optional(row.abValue)},
                        {"ab_rolls", row.abRolls},
                        {"ab_ladder", ladder(row.abLadder)},
                        {"ab_off_hand", ladder(row.offHandLadder)},
                        {"ab_text", row.ab},
                        {"saves", std::move(saves)},
                        {"immunities", std::move(immunities)},
                        {"special_immunities", std::move(special)},
                        {"reductions",
                         {{"count", row.reductions.count},
                          {"largest", row.reductions.largest},
                          {"average", OneDecimal(row.reductions.Average())}}},
                        {"damage_taken", row.damage.total},
                        {"damage_seconds", row.damage.seconds},
                        {"damage_by_attacker", std::move(damage)}});
    }
    return list;
}

Json FightJson(const Fight& fight, const Roster& roster, const NameTable* targetNames)
{
    const FightSummary summary = SummarizeFight(fight, roster);
    Json characters = Json::array();
    const std::vector<FightCharacterRow> rows = FightCharacterRows(fight, roster);
    for (const FightCharacterRow& row : rows) {
        const std::optional<CharacterBreakdown> breakdown = BreakdownOf(rows, row.id, roster);
        Json takenBy = Json::array();
        for (const AttackerDamageRow& attacker : breakdown->takenBy.rows) {
            takenBy.push_back({{"name", DisplayText(attacker.name)},
                               {"side", SideName(attacker.side)},
                               {"damage", attacker.damage},
                               {"percent", attacker.percent},
                               {"dps", OneDecimal(attacker.dps)}});
        }
        characters.push_back({{"name", DisplayText(row.name)},
                              {"side", SideName(row.side)},
                              {"damage_dealt", row.damageDealt},
                              {"damage_taken", row.damageTaken},
                              {"damage_dealt_by_type", ByType(row.dealtByType)},
                              {"damage_taken_by_type", ByType(row.takenByType)},
                              {"dps", OneDecimal(row.dps)},
                              {"active_dps", OneDecimal(row.activeDps)},
                              {"attacks", row.attacks},
                              {"hits", row.hits},
                              {"critical_hits", row.criticalHits},
                              {"hit_percent", row.hitPercent},
                              {"crit_percent", breakdown->critPercent},
                              {"blows", row.blows},
                              {"largest_hit", row.largestBlow},
                              {"average_hit", breakdown->averageBlow},
                              {"side_share", breakdown->sideShare},
                              {"kills", row.kills},
                              {"deaths", row.deaths},
                              {"healing_received", row.healingReceived},
                              {"damage_taken_by_attacker", std::move(takenBy)}});
    }
    Json deaths = Json::array();
    for (const DeathRecap* recap : ShownDeaths(fight, roster))
        deaths.push_back(RecapJson(*recap, roster));
    Json json = {{"number", fight.Number()},
                 {"start", fight.Start().Format()},
                 {"end", fight.End().Format()},
                 {"duration_s", fight.DurationSeconds()},
                 {"name", DisplayText(summary.name)},
                 {"your_damage", summary.yourDamage},
                 {"your_dps", OneDecimal(summary.yourDps)},
                 {"party_damage", summary.partyDamage},
                 {"party_dps", OneDecimal(summary.partyDps)},
                 {"damage_taken_by_your_side", summary.damageTakenBySide},
                 {"your_side_deaths", summary.sideDeaths},
                 {"characters", std::move(characters)},
                 {"deaths", std::move(deaths)}};
    if (targetNames)
        json["targets"] = TargetsJson(FightTargetRows(fight, roster, *targetNames));
    return json;
}

Json FightsJson(const Session& session, bool withTargets)
{
    const Roster roster = session.FightRoster();
    Json list = Json::array();
    const NameTable* names = withTargets ? &session.Fights().EffectNames() : nullptr;
    for (const Fight& fight : session.Fights().Fights())
        list.push_back(FightJson(fight, roster, names));
    return list;
}

Json FightUpdateJson(const Fight& fight, const Roster& roster)
{
    const FightSummary summary = SummarizeFight(fight, roster);
    Json characters = Json::array();
    for (const FightCharacterRow& row : FightCharacterRows(fight, roster)) {
        if (row.damageDealt == 0 && !IsYourSide(row.side))
            continue;
        characters.push_back({{"name", DisplayText(row.name)},
                              {"side", SideName(row.side)},
                              {"damage_dealt", row.damageDealt},
                              {"dps", OneDecimal(row.dps)},
                              {"damage_taken", row.damageTaken},
                              {"healing_received", row.healingReceived}});
    }
    return {{"fight", fight.Number()},
            {"start", fight.Start().Format()},
            {"duration_s", fight.DurationSeconds()},
            {"name", DisplayText(summary.name)},
            {"opponent", !summary.mainOpponent.IsNone()
                             ? Json(DisplayText(roster.NameOf(summary.mainOpponent)))
                             : Json(nullptr)},
            {"your_dps", OneDecimal(summary.yourDps)},
            {"party_dps", OneDecimal(summary.partyDps)},
            {"characters", std::move(characters)}};
}

} // namespace tarvik
