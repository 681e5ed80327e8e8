#include "JsonReport.h"

#include "FightJson.h"
#include "analysis/Session.h"
#include "util/Encoding.h"

#include <iomanip>

namespace tarvik {

nlohmann::ordered_json JsonDocument(const Session& session, const std::vector<std::string>& files,
                                    const std::vector<std::string>& errorLines,
                                    const ReportSections& sections)
{
    using json = nlohmann::ordered_json;
    const AnalysisData& data = session.Data();
    const auto& damageTypes = session.Config().damageTypes;

    json doc;
    doc["files"] = json::array();
    for (const auto& file : files)
        doc["files"].push_back(DisplayText(file));
    doc["lines_read"] = data.linesRead;
    doc["records_parsed"] = data.recordsParsed;
    doc["experience_total"] = data.experienceTotal;
    doc["earliest"] = data.earliestRecordDate.Format();
    doc["latest"] = data.latestRecordDate.Format();
    doc["error_lines"] = json::array();
    for (const auto& line : errorLines)
        doc["error_lines"].push_back(DisplayText(line));
    doc["user_character_id"] = data.userCharacterId;
    doc["party_member_count"] = data.partyMemberCount;

    doc["spells"] = json::array();
    for (const auto& spell : data.knownSpells)
        doc["spells"].push_back({{"id", spell->ID()}, {"name", DisplayText(spell->Name())}});

    auto damageRecords = [&](const std::vector<AttackRecord>& records, const char* opponentKey,
                             bool byDefender) {
        json list = json::array();
        std::vector<int32_t> averages;
        for (const AttackRecord& record : records) {
            json averagesJson = json::object();
            if (record.GetAttackAverages(averages)) {
                for (size_t t = 0; t < averages.size() && t < damageTypes.size(); ++t) {
                    if (averages[t] != 0 || t + 1 == averages.size())
                        averagesJson[DisplayText(damageTypes[t])] = averages[t];
                }
            }
            list.push_back({{opponentKey, byDefender ? record.Defender() : record.Attacker()},
                            {"records", record.NumberAttacks()},
                            {"total", record.TotalDamage()},
                            {"averages", averagesJson}});
        }
        return list;
    };
    auto byId = [&](const IdTable& table) {
        json object = json::object();
        for (size_t id = 1; id < table.size(); ++id) {
            if (table[id] != 0)
                object[std::to_string(id)] = table[id];
        }
        return object;
    };

    // Hit points by damage type over all opponents: totals, not averages.
    auto byType = [&](const std::vector<AttackRecord>& records) {
        json object = json::object();
        for (size_t t = 0; t < damageTypes.size(); ++t) {
            int64_t sum = 0;
            for (const AttackRecord& record : records)
                sum += record.DamageOfType(t);
            object[DisplayText(damageTypes[t])] = sum;
        }
        return object;
    };

    const auto spellResults = SpellResultsByCharacter(session.Fights());
    doc["characters"] = json::array();
    for (const auto& character : data.characters) {
        const Character& c = *character;
        json spellsCast = json::array();
        SpellCastTable table;
        if (c.SpellsCastSummary(data.knownSpells, table)) {
            for (const auto& [name, count] : table)
                spellsCast.push_back(
                    {DisplayText(name), c.CastsOf(data.knownSpells.Find(name)->ID())});
        }
        doc["characters"].push_back({
            {"id", c.ID()},
            {"name", DisplayText(c.Name())},
            {"party", c.IsPartyMember()},
            {"kills", c.Kills()},
            {"deaths", c.Deaths()},
            {"spells", c.Spells()},
            {"distinct_spells", c.DistinctSpells()},
            {"attacks", c.Attacks()},
            {"attack_hits", c.AttackHits()},
            {"enemy_attacks", c.EnemyAttacks()},
            {"enemy_attack_hits", c.EnemyAttackHits()},
            {"damage_dealt", c.DamageDealt()},
            {"damage_received", c.DamageReceived()},
            {"damage_dealt_by_type", byType(c.OutboundRecords())},
            {"damage_received_by_type", byType(c.InboundRecords())},
            {"save_attempts", c.SaveAttempts()},
            {"save_successes", c.SaveSuccesses()},
            {"hps_healed", c.HPsHealed()},
            {"resists", c.Resists()},
            {"hps_resisted", c.HPsResisted()},
            {"kills_by_victim", byId(c.KillSummary(data.characters.Count()))},
            {"deaths_by_killer", byId(c.DeathSummary(data.characters.Count()))},
            {"spells_cast", spellsCast},
            {"damage_dealt_to", damageRecords(c.OutboundRecords(), "defender", true)},
            {"damage_received_from", damageRecords(c.InboundRecords(), "attacker", false)},
        });
        // Only the log's owner has spell resistance checks written.
        for (const auto& [id, lines] : spellResults) {
            if (id != c.ID())
                continue;
            json bySpell = json::object();
            for (const SpellResultLine& line : lines) {
                json results = json::object();
                for (const NamedCount& result : line.results)
                    results[DisplayText(result.name)] = result.count;
                bySpell[DisplayText(line.spell)] = std::move(results);
            }
            doc["characters"].back()["spell_resists"] = std::move(bySpell);
        }
    }
    if (sections.fights) {
        if (const int32_t dropped = session.Fights().DroppedFights())
            doc["fights_not_kept"] = dropped;
        doc["fights"] = FightsJson(session, sections.targets);
    }
    if (sections.targets)
        doc["targets"] = TargetsJson(TargetRows(session.Fights(), session.FightRoster()));
    return doc;
}

void JsonReport(std::ostream& out, const Session& session, const std::vector<std::string>& files,
                const std::vector<std::string>& errorLines, const ReportSections& sections)
{
    out << std::setw(2) << JsonDocument(session, files, errorLines, sections) << '\n';
}

} // namespace tarvik
