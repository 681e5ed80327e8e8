#include "DetailViews.h"

#include "analysis/Session.h"
#include "diag/DebugLog.h"
#include "model/RoundNumber.h"
#include "util/NumberFormat.h"

namespace tarvik {

namespace {

std::string N(int64_t value)
{
    return FormatThousands(value);
}

std::string Percent(int32_t part, int32_t whole)
{
    return RoundedText(static_cast<double>(part) * 100.0 / whole, 0);
}

std::string HitsText(int32_t attacks, int32_t hits)
{
    std::string text = N(attacks);
    if (attacks > 0)
        text += "; " + N(hits) + " hits (" + Percent(hits, attacks) + "%)";
    return text;
}

// Joins labels into the row-label part of a format string.
void AppendLabel(std::string& format, const std::string& label)
{
    format += label;
    format += "|";
}

// The view's name and whose it is, so that two windows' worth of details
// cannot be mixed up: "Details - Attacks Made - Woo Wildrock".
std::string Caption(std::string_view view, const Character& c)
{
    std::string caption(view);
    caption += " - ";
    caption += c.Name();
    return caption;
}

void DropFinalBar(std::string& format)
{
    if (!format.empty() && format.back() == '|')
        format.pop_back();
}

} // namespace

std::string RatioText(int64_t numerator, int64_t denominator)
{
    if (numerator < 1 || denominator < 1)
        return "n/a";
    return RoundedText(static_cast<double>(numerator) / denominator, 2) + ":1";
}

DetailGrid BuildGeneralInfo(const Session& session, const Character& c,
                            const SpellResultsById* spellResults)
{
    session.Debug().Log(3, [&] { return "Showing character info for [" + c.Name() + "]."; });
    DetailGrid grid;
    grid.caption = Caption("Details - General Info", c);
    auto row = [&](const char* label, std::string value) {
        grid.cells.push_back({label, std::move(value)});
    };
    row("Kills", N(c.Kills()));
    row("Deaths", N(c.Deaths()));
    row("Kill:Death Ratio", RatioText(c.Kills(), c.Deaths()));
    row("Spells Cast", N(c.Spells()));
    row("Attacks", HitsText(c.Attacks(), c.AttackHits()));
    row("Damage Dealt", N(c.DamageDealt()) + " HPs");
    row("Enemy Attacks", HitsText(c.EnemyAttacks(), c.EnemyAttackHits()));
    row("Damage Received", N(c.DamageReceived()) + " HPs");
    row("Dealt:Received Ratio", RatioText(c.DamageDealt(), c.DamageReceived()));
    std::string saves = N(c.SaveSuccesses()) + " of " + N(c.SaveAttempts());
    if (c.SaveSuccesses() > 0)
        saves += " (" + Percent(c.SaveSuccesses(), c.SaveAttempts()) + "%)";
    row("Saves", saves);
    row("Resistances", N(c.Resists()) + " for " + N(c.HPsResisted()) + " HPs");
    row("Healed", N(c.HPsHealed()) + " HPs");
    grid.format = ";Kills|Deaths|Kill:Death Ratio|Spells Cast|Attacks|Damage Dealt|Enemy "
                  "Attacks|Damage Received|Dealt:Received Ratio|Saves|Resistances|Healed";

    const AnalysisData& data = session.Data();
    if (c.ID() == data.userCharacterId) {
        int32_t own = 0, enemy = 0;
        session.RealTime().GetAverageAB(own, enemy);
        // Inbound: attacks made against the user's character, as on the HUD.
        row("Inbound AB", std::to_string(enemy));
        row("Outbound AB", std::to_string(own));
        const int32_t conceal = session.RealTime().LastConcealment();
        row("Last Conceal", conceal < 1 ? "n/a" : N(conceal) + "%");
        row("XPs Gained", N(data.experienceTotal) + " XPs");
        row("Death Timers", "n/a");
        grid.format += "|Inbound AB|Outbound AB|Last Conceal|XPs Gained|Death Timers";
    }
    SpellResultsById gathered;
    if (!spellResults) {
        gathered = SpellResultsByCharacter(session.Fights());
        spellResults = &gathered;
    }
    for (const auto& [id, lines] : *spellResults) {
        if (id == c.ID() && !lines.empty()) {
            row("Spell Resistance", SpellResultsText(lines));
            grid.format += "|Spell Resistance";
        }
    }
    return grid;
}

DetailGrid BuildAttacks(const Session& session, const Character& c, bool outbound)
{
    session.Debug().Log(3, [&] { return "Showing attacks for [" + c.Name() + "]."; });
    const AnalysisConfig& config = session.Config();
    const int types = config.DamageTypeCount();
    DetailGrid grid;
    grid.caption = Caption(outbound ? "Details - Attacks Made" : "Details - Enemy Attacks", c);
    grid.columns = types + 1;
    grid.fixedRows = 1;

    std::string header;
    std::vector<std::string> headerCells{""};
    grid.headerTips.push_back(outbound ? "The defenders this character damaged"
                                       : "The attackers who damaged this character");
    const std::string whom = outbound ? " against each defender" : " from each attacker";
    for (size_t t = 0; t < config.damageTypes.size(); ++t) {
        const std::string& type = config.damageTypes[t];
        header += "|" + type;
        headerCells.push_back(type);
        // The last configured type is the total of the others.
        grid.headerTips.push_back(t + 1 == config.damageTypes.size()
                                      ? "Average damage per hit, all types together" + whom
                                      : "Average " + type + " damage per hit" + whom);
    }
    grid.cells.push_back(std::move(headerCells));
    grid.format = header + ";|";

    const CharacterList& characters = session.Data().characters;
    const DamageTable table =
        outbound ? c.AttackDamageSummary(types) : c.EnemyAttackDamageSummary(types);
    for (const auto& [id, averages] : table) {
        if (averages.empty() || averages.back() <= 0)
            continue;
        const Character* opponent = characters.At(id);
        const std::string name = opponent ? opponent->Name() : std::string();
        std::vector<std::string> row{name};
        for (int32_t average : averages)
            row.push_back(std::to_string(average));
        grid.cells.push_back(std::move(row));
        AppendLabel(grid.format, name);
    }
    DropFinalBar(grid.format);
    return grid;
}

DetailGrid BuildSpells(const Session& session, const Character& c)
{
    session.Debug().Log(3, [&] { return "Showing spells for [" + c.Name() + "]."; });
    DetailGrid grid;
    grid.caption = Caption("Details - Spells Cast", c);
    grid.format = ";";
    SpellCastTable table;
    if (c.SpellsCastSummary(session.Data().knownSpells, table)) {
        for (auto& [name, count] : table) {
            AppendLabel(grid.format, name);
            grid.cells.push_back({name, count});
        }
    }
    DropFinalBar(grid.format);
    return grid;
}

DetailGrid BuildKillsOrDeaths(const Session& session, const Character& c, bool kills)
{
    session.Debug().Log(3, [&] { return "Showing kills or deaths for [" + c.Name() + "]."; });
    DetailGrid grid;
    grid.caption = Caption(kills ? "Details - Enemies Killed" : "Details - Character Deaths", c);
    grid.format = ";";
    const CharacterList& characters = session.Data().characters;
    for (const auto& [id, count] : kills ? c.KillSummary() : c.DeathSummary()) {
        if (count <= 0)
            continue;
        const Character* other = characters.At(id);
        const std::string name = other ? other->Name() : std::string();
        AppendLabel(grid.format, name);
        grid.cells.push_back({name, std::to_string(count)});
    }
    DropFinalBar(grid.format);
    return grid;
}

} // namespace tarvik
