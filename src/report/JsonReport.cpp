#include "JsonReport.h"

#include "FightJson.h"
#include "analysis/Session.h"
#include "fights/TargetViews.h"
#include "util/Encoding.h"

namespace tarvik {

namespace {

using json = nlohmann::ordered_json;

const char* FoundByName(UserFoundBy how)
{
    switch (how) {
    case UserFoundBy::Hand:
        return "hand";
    case UserFoundBy::InitiativeRolls:
        return "initiative_rolls";
    case UserFoundBy::SpellResistanceLines:
        return "spell_resistance_lines";
    case UserFoundBy::AbsorbLines:
        return "absorb_lines";
    case UserFoundBy::None:
        break;
    }
    return nullptr;
}

json DamageRecordsJson(const std::vector<AttackRecord>& records, const char* opponentKey,
                       bool byDefender, const std::vector<std::string>& damageTypes)
{
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
        list.push_back({{opponentKey, (byDefender ? record.Defender() : record.Attacker()).value()},
                        {"records", record.NumberAttacks()},
                        {"total", record.TotalDamage()},
                        {"averages", averagesJson}});
    }
    return list;
}

// Adds a member whose key is new: the document's objects keep their members
// in order in a plain list, which operator[] searches first.
void AppendMember(json& object, std::string key, json value)
{
    auto& members = object.get_ref<json::object_t&>();
    members.json::object_t::Container::emplace_back(std::move(key), std::move(value));
}

json ByIdJson(const IdCountList<CharacterId>& counts)
{
    json object = json::object();
    for (const auto& [id, count] : counts) {
        if (count != 0)
            AppendMember(object, std::to_string(id.value()), count);
    }
    return object;
}

// Hit points by damage type over all opponents: totals, not averages.
json ByTypeJson(const std::vector<AttackRecord>& records,
                const std::vector<std::string>& damageTypes)
{
    json object = json::object();
    for (size_t t = 0; t < damageTypes.size(); ++t) {
        int64_t sum = 0;
        for (const AttackRecord& record : records)
            sum += record.DamageOfType(DamageTypeIndex::FromSlot(t));
        object[DisplayText(damageTypes[t])] = sum;
    }
    return object;
}

json SpellResistsJson(const std::vector<SpellResultLine>& lines)
{
    json bySpell = json::object();
    for (const SpellResultLine& line : lines) {
        json results = json::object();
        for (const NamedCount& result : line.results)
            results[DisplayText(result.name)] = result.count;
        bySpell[DisplayText(line.spell)] = std::move(results);
    }
    return bySpell;
}

json CharacterJson(const Character& c, const AnalysisData& data,
                   const std::vector<std::string>& damageTypes, Side side,
                   const SpellResultsById& spellResults)
{
    json spellsCast = json::array();
    for (const auto& [id, count] : c.CastSummary()) {
        if (const Spell* spell = data.knownSpells.At(id); spell && count >= 1)
            spellsCast.push_back({DisplayText(spell->Name()), count});
    }
    json object = {
        {"id", c.ID().value()},
        {"name", DisplayText(c.Name())},
        {"party", c.IsPartyMember()},
        {"side", SideName(side)},
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
        {"damage_dealt_by_type", ByTypeJson(c.OutboundRecords(), damageTypes)},
        {"damage_received_by_type", ByTypeJson(c.InboundRecords(), damageTypes)},
        {"save_attempts", c.SaveAttempts()},
        {"save_successes", c.SaveSuccesses()},
        {"hps_healed", c.HPsHealed()},
        {"resists", c.Resists()},
        {"hps_resisted", c.HPsResisted()},
        {"kills_by_victim", ByIdJson(c.KillSummary())},
        {"deaths_by_killer", ByIdJson(c.DeathSummary())},
        {"spells_cast", spellsCast},
        {"damage_dealt_to", DamageRecordsJson(c.OutboundRecords(), "defender", true, damageTypes)},
        {"damage_received_from",
         DamageRecordsJson(c.InboundRecords(), "attacker", false, damageTypes)},
    };
    // Only the log's owner has spell resistance checks written.
    for (const auto& [id, lines] : spellResults) {
        if (id == c.ID())
            object["spell_resists"] = SpellResistsJson(lines);
    }
    return object;
}

// The document with an empty character list.
json DocumentWithoutCharacters(const Session& session, const std::vector<std::string>& files,
                               const std::vector<std::string>& errorLines,
                               const ReportSections& sections)
{
    const AnalysisData& data = session.Data();
    json doc;
    doc["files"] = json::array();
    for (const auto& file : files)
        doc["files"].push_back(DisplayText(file));
    doc["lines_read"] = data.linesRead;
    doc["records_parsed"] = data.recordsParsed;
    doc["experience_total"] = data.experienceTotal;
    // No date at all rather than the start values, which are none.
    const bool dated = data.HasRecordDates();
    doc["earliest"] = dated ? json(data.earliestRecordDate.Format()) : json(nullptr);
    doc["latest"] = dated ? json(data.latestRecordDate.Format()) : json(nullptr);
    doc["error_lines"] = json::array();
    for (const auto& line : errorLines)
        doc["error_lines"].push_back(DisplayText(line));
    doc["user_character_id"] = data.userCharacterId.value();
    const char* foundBy = !data.userCharacterId.IsNone() ? FoundByName(data.userFoundBy) : nullptr;
    doc["user_character_found_by"] = foundBy ? json(foundBy) : json(nullptr);
    doc["party_member_count"] = data.partyMemberCount;

    doc["spells"] = json::array();
    for (const auto& spell : data.knownSpells)
        doc["spells"].push_back(
            {{"id", spell->ID().value()}, {"name", DisplayText(spell->Name())}});
    doc["characters"] = json::array();
    if (sections.fights) {
        if (const int32_t dropped = session.Fights().DroppedFights())
            doc["fights_not_kept"] = dropped;
        doc["fights"] = FightsJson(session, sections.targets);
    }
    if (sections.targets)
        doc["targets"] = TargetsJson(TargetRows(session.Fights(), session.FightRoster()));
    return doc;
}

} // namespace

nlohmann::ordered_json JsonDocument(const Session& session, const std::vector<std::string>& files,
                                    const std::vector<std::string>& errorLines,
                                    const ReportSections& sections)
{
    json doc = DocumentWithoutCharacters(session, files, errorLines, sections);
    json& characters = doc["characters"];
    const SpellResultsById spellResults = SpellResultsByCharacter(session.Fights());
    const Roster roster = session.FightRoster();
    for (const auto& character : session.Data().characters) {
        if (!character->HasRecords())
            continue; // named by a line that was then discarded: nothing to report
        characters.push_back(CharacterJson(*character, session.Data(), session.Config().damageTypes,
                                           roster.SideOf(character->ID()), spellResults));
    }
    return doc;
}

void WriteJsonDocument(std::ostream& out, const Session& session,
                       const std::vector<std::string>& files,
                       const std::vector<std::string>& errorLines, const ReportSections& sections,
                       int indent, const nlohmann::ordered_json& leading)
{
    json doc = leading.is_object() ? leading : json::object();
    doc.update(DocumentWithoutCharacters(session, files, errorLines, sections));
    const std::string text = doc.dump(indent);
    // Every earlier member is a number or holds text, whose quotes are
    // escaped: the first such key is the document's own.
    const std::string_view key = indent >= 0 ? "\"characters\": [" : "\"characters\":[";
    const size_t at = text.find(key);
    const size_t open = at + key.size();
    out.write(text.data(), static_cast<std::streamsize>(open));
    const CharacterList& characters = session.Data().characters;
    // One character's object at a time, indented as the whole dump would.
    const std::string lineStart = indent >= 0 ? "\n" + std::string(2 * indent, ' ') : "";
    bool first = true;
    std::string indented;
    const SpellResultsById spellResults = SpellResultsByCharacter(session.Fights());
    const Roster roster = session.FightRoster();
    for (const auto& character : characters) {
        if (!character->HasRecords())
            continue; // named by a line that was then discarded: nothing to report
        const std::string item =
            CharacterJson(*character, session.Data(), session.Config().damageTypes,
                          roster.SideOf(character->ID()), spellResults)
                .dump(indent);
        out << (first ? "" : ",") << lineStart;
        first = false;
        if (indent < 0) {
            out << item;
            continue;
        }
        // Line ends in the dump are all layout: text escapes its own.
        indented.clear();
        for (const char c : item) {
            indented += c;
            if (c == '\n')
                indented.append(2 * static_cast<size_t>(indent), ' ');
        }
        out << indented;
    }
    if (!first && indent >= 0)
        out << '\n' << std::string(static_cast<size_t>(indent), ' ');
    out.write(text.data() + open, static_cast<std::streamsize>(text.size() - open));
}

void JsonReport(std::ostream& out, const Session& session, const std::vector<std::string>& files,
                const std::vector<std::string>& errorLines, const ReportSections& sections)
{
    WriteJsonDocument(out, session, files, errorLines, sections, 2);
    out << '\n';
}

} // namespace tarvik
