#include "SessionStatistics.h"

#include "analysis/Session.h"
#include "diag/DebugLog.h"
#include "model/RoundNumber.h"
#include "util/NumberFormat.h"
#include "util/Text.h"

namespace tarvik {

namespace {

struct SideTotals {
    int64_t kills = 0;
    int64_t deaths = 0;
    int32_t bestKillerKills = 0;
    CharacterId bestKiller;
    int32_t bestCorpseDeaths = 0;
    CharacterId bestCorpse;
    float bestKillRatio = 0;
    CharacterId mostEffectiveKiller;
    int64_t damageDealt = 0;
    int64_t damageReceived = 0;
    int64_t bestDealerDamage = 0;
    CharacterId bestDamageDealer;
    int64_t bestTargetDamage = 0;
    CharacterId bestDamageTarget;
    float bestDamageRatio = 0;
    CharacterId mostEffectiveDamageDealer;
};

std::string N(int64_t value)
{
    return FormatThousands(value);
}

std::string R(double value)
{
    return RoundedText(value, 2);
}

// A single-precision ratio carries about seven digits; round those, not the
// binary noise beyond them.
std::string R(float value)
{
    return RoundedText(ParseNumber(FormatSignificant(value, 7)).value_or(value), 2);
}

// Ratios are kept in single precision, as their comparisons decide the winners.
float Ratio(int64_t numerator, int64_t denominator)
{
    return static_cast<float>(numerator) /
           (denominator < 1 ? 0.999999f : static_cast<float>(denominator));
}

} // namespace

PartyCountText ShowPartyCount(int32_t count)
{
    if (count == 0)
        return {"No party members selected", true};
    if (count == 1)
        return {"1 party member selected", false};
    return {std::to_string(count) + " party members selected", false};
}

DetailGrid BuildSessionStatistics(const Session& session)
{
    session.Debug().LogDebug("Showing session statistics.", 3);
    const AnalysisData& data = session.Data();
    DetailGrid grid;
    grid.caption = "Details - Session Statistics";
    grid.format = ";Party Members";
    grid.cells.push_back({"Party Members", std::to_string(data.partyMemberCount)});
    if (data.partyMemberCount < 1) {
        grid.cells.push_back({"", "You must select some party members for proper statistics!"});
        return grid;
    }
    grid.format +=
        "|Party Kills/Deaths|Best Party Killer|Best Party Corpse|Most Effective Party "
        "Killer|Total Party Damage|Best Party Damage Dealer|Best Party Damage Target|Most "
        "Effective Party Damage Dealer|Enemy Kills/Deaths|Best Enemy Killer|Best Enemy "
        "Corpse|Most Effective Enemy Killer|Total Enemy Damage|Best Enemy Damage Dealer|Best "
        "Enemy Damage Target|Most Effective Enemy Damage Dealer";

    SideTotals sides[2];
    for (const auto& character : data.characters) {
        SideTotals& side = sides[character->IsPartyMember() ? 0 : 1];
        const Character& c = *character;
        side.kills += c.Kills();
        side.deaths += c.Deaths();
        const float killRatio = Ratio(c.Kills(), c.Deaths());
        if (c.Kills() > side.bestKillerKills) {
            side.bestKillerKills = c.Kills();
            side.bestKiller = c.ID();
        }
        if (c.Deaths() > side.bestCorpseDeaths) {
            side.bestCorpseDeaths = c.Deaths();
            side.bestCorpse = c.ID();
        }
        if (killRatio > side.bestKillRatio) {
            side.bestKillRatio = killRatio;
            side.mostEffectiveKiller = c.ID();
        }
        side.damageDealt += c.DamageDealt();
        side.damageReceived += c.DamageReceived();
        const float damageRatio = Ratio(c.DamageDealt(), c.DamageReceived());
        if (c.DamageDealt() > side.bestDealerDamage) {
            side.bestDealerDamage = c.DamageDealt();
            side.bestDamageDealer = c.ID();
        }
        if (c.DamageReceived() > side.bestTargetDamage) {
            side.bestTargetDamage = c.DamageReceived();
            side.bestDamageTarget = c.ID();
        }
        if (damageRatio > side.bestDamageRatio) {
            side.bestDamageRatio = damageRatio;
            side.mostEffectiveDamageDealer = c.ID();
        }
    }

    auto name = [&](CharacterId id) {
        const Character* c = data.characters.At(id);
        return c ? c->Name() : std::string();
    };
    const char* labels[2] = {"Party", "Enemy"};
    for (int s = 0; s < 2; ++s) {
        const SideTotals& side = sides[s];
        const std::string S = labels[s];
        std::string killsText = N(side.kills) + " kills, " + N(side.deaths) + " deaths";
        if (side.kills > 0) {
            killsText += side.deaths > 0
                             ? " (" + R(static_cast<double>(side.kills) / side.deaths) +
                                   ":1 kill/death ratio)"
                             : " (>" + std::to_string(side.kills) + ":1 kill/death ratio)";
        }
        grid.cells.push_back({S + " Kills/Deaths", killsText});
        grid.cells.push_back({"Best " + S + " Killer",
                              side.bestKiller.IsNone() ? "n/a"
                                                       : name(side.bestKiller) + ": " +
                                                             N(side.bestKillerKills) + " kills"});
        grid.cells.push_back({"Best " + S + " Corpse",
                              side.bestCorpse.IsNone() ? "n/a"
                                                       : name(side.bestCorpse) + ": " +
                                                             N(side.bestCorpseDeaths) + " deaths"});
        grid.cells.push_back({"Most Effective " + S + " Killer",
                              side.mostEffectiveKiller.IsNone()
                                  ? "n/a"
                                  : name(side.mostEffectiveKiller) + ": " + R(side.bestKillRatio) +
                                        ":1 kills:deaths"});
        std::string damageText =
            N(side.damageDealt) + " HPs dealt, " + N(side.damageReceived) + " HPs received";
        if (side.damageDealt > 0) {
            damageText +=
                side.damageReceived > 0
                    ? " (" + R(static_cast<double>(side.damageDealt) / side.damageReceived) +
                          ":1 dealt/received ratio)"
                    : " (>" + std::to_string(side.damageDealt) + ":1 dealt/received ratio)";
        }
        grid.cells.push_back({"Total " + S + " Damage", damageText});
        grid.cells.push_back(
            {"Best " + S + " Damage Dealer",
             side.bestDamageDealer.IsNone()
                 ? "n/a"
                 : name(side.bestDamageDealer) + ": " + N(side.bestDealerDamage) + " HPs"});
        grid.cells.push_back(
            {"Best " + S + " Damage Target",
             side.bestDamageTarget.IsNone()
                 ? "n/a"
                 : name(side.bestDamageTarget) + ": " + N(side.bestTargetDamage) + " HPs"});
        grid.cells.push_back({"Most Effective " + S + " Damage Dealer",
                              side.mostEffectiveDamageDealer.IsNone()
                                  ? "n/a"
                                  : name(side.mostEffectiveDamageDealer) + ": " +
                                        R(side.bestDamageRatio) + ":1 HPs dealt:received"});
    }
    return grid;
}

} // namespace tarvik
