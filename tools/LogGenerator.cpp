#include "LogGenerator.h"

#include <array>
#include <vector>

namespace tarvik {

namespace {

const std::array<std::string, 6> Heroes = {"Aldric Voss",  "Brenna Tal",      "Mirek the Grey",
                                           "Sefa Dunmoor", "Xin'thah Moragh", "Tobin Ashgrove"};
const std::array<std::string, 14> Monsters = {
    "Goblin Skirmisher", "Goblin Shaman",       "Duergar Veteran",     "Duergar Mage",
    "Ogre Chieftain",    "Legendary Bear",      "Hellspawn",           "Epic Mummy Warrior",
    "Di'Rancor Guard",   "Fei-ungan Priestess", "Cursed Corpse Eater", "Electrical Golem",
    "Draconic Warrior",  "Kil'iak Witch"};
const std::array<const char*, 5> Descriptions = {
    "Off Hand", "Sneak Attack", "Attack Of Opportunity", "Expertise", "Power Attack"};
const std::array<const char*, 8> Spells = {"Magic Missile",
                                           "Fireball",
                                           "Mage Armor",
                                           "Cure Serious Wounds",
                                           "Haste",
                                           "Bless",
                                           "Isaac's Greater Missile Storm",
                                           "Heal"};
const std::array<const char*, 5> Noise = {"Devastating Critical Hit!", "Acquired 5GP", "Resting.",
                                          "Weapon equipped as a one-handed weapon.",
                                          "* Bard Song - from: Brenna Tal - wore off *"};

} // namespace

LogGenerator::LogGenerator(Options options)
    : options_(options)
    , random_(options.seed)
    , writer_(options.style == Style::Classic ? LogClient::Classic : LogClient::EnhancedEdition,
              options.crlf ? "\r\n" : "\n")
{
}

const std::string& LogGenerator::Hero()
{
    return random_.Pick(Heroes);
}

const std::string& LogGenerator::Monster()
{
    return random_.Pick(Monsters);
}

StampTime LogGenerator::NextTime()
{
    if (Chance(30))
        ++secondOfDay_;
    if (secondOfDay_ >= 86400) {
        secondOfDay_ = 0;
        day_ = day_ % 28 + 1;
    }
    // A month of 28 days whose weekdays follow the day's number.
    return {day_ % 7, options_.style == Style::EnhancedEdition ? 8 : 4, day_, secondOfDay_};
}

std::string LogGenerator::Attack(const std::string& attacker, const std::string& defender)
{
    std::string descriptions;
    if (Chance(15))
        descriptions = std::string(Descriptions[static_cast<size_t>(Below(5))]) + " : ";
    const int roll = Below(20) + 1;
    const int bonus = 10 + Below(50);
    const int kind = Below(10);
    if (kind == 0) {
        const D20 threat{Below(20) + 1, bonus, bonus + 10};
        return AttackBody(descriptions, attacker, defender, "critical hit", Rolled(roll, bonus),
                          &threat);
    }
    const char* result = kind <= 3   ? "miss"
                         : kind == 4 ? "target concealed: 50%"
                         : kind == 5 ? "parried"
                                     : "hit";
    return AttackBody(descriptions, attacker, defender, result, Rolled(roll, bonus));
}

std::string LogGenerator::Damage(const std::string& attacker, const std::string& defender)
{
    const int kinds = 1 + Below(3);
    std::vector<DamagePart> parts;
    for (int i = 0; i < kinds; ++i) {
        const int amount = Chance(5) ? 0 : 1 + Below(40);
        parts.push_back({amount, DamageTypeName(Below(DamageTypeCount))});
    }
    return DamageBody(attacker, defender, parts);
}

std::string LogGenerator::Save(const std::string& defender)
{
    // Drawn in the order the first version of this generator drew them.
    const int bonus = 5 + Below(30);
    const int roll = 1 + Below(20);
    const bool success = Chance(70);
    const bool reflex = Chance(50);
    const bool improvedEvasion = Chance(30);
    return SaveBody((improvedEvasion ? "Improved Evasion : " : "") + defender,
                    reflex ? "Reflex Save vs. Fire" : "Will Save", success, {roll, bonus, 30}, 25);
}

std::string LogGenerator::Body()
{
    const bool heroAttacks = Chance(55);
    const std::string& hero = Hero();
    const std::string& monster = Monster();
    const std::string& attacker = heroAttacks ? hero : monster;
    const std::string& defender = heroAttacks ? monster : hero;
    const int pick = Below(1000);
    if (pick < 350)
        return Attack(attacker, defender);
    if (pick < 600)
        return Damage(attacker, defender);
    if (pick < 680) {
        const int amount = 1 + Below(15);
        return AbsorbBody(defender, Chance(50) ? "Resistance" : "Reduction", amount);
    }
    if (pick < 700) {
        const char* type = DamageTypeName(Below(DamageTypeCount));
        return ImmunityBody(defender, 1 + Below(10), type);
    }
    if (pick < 730)
        return Save(defender);
    if (pick < 780) {
        const char* channels[] = {"[Party]", "[Tell]", "[Shout]", "[Whisper]"};
        return hero + ": " + channels[Below(4)] + " " + monster + " attacks me, heal please";
    }
    if (pick < 800)
        return CastingBody(hero, Spells[static_cast<size_t>(Below(8))], false);
    if (pick < 830)
        return CastingBody(hero, Spells[static_cast<size_t>(Below(8))], true);
    if (pick < 850)
        return HealedBody(hero, Below(60));
    if (pick < 870)
        return KilledBody(attacker, defender);
    if (pick < 890)
        return ExperienceBody(10 + Below(400));
    if (pick < 900)
        return InitiativeBody(hero, Rolled(4, 7));
    if (pick < 903)
        return PartyBody(hero, Chance(50));
    if (pick < 906)
        return SpecialAttackBody(hero, "Improved Knockdown", monster, "resisted", Rolled(2, 25));
    if (pick < 980)
        return Noise[static_cast<size_t>(Below(5))];
    return {};
}

int64_t LogGenerator::Write(std::ostream& out)
{
    int64_t bytes = 0;
    std::string line;
    for (int64_t i = 0; i < options_.lines; ++i) {
        line.clear();
        const std::string body = Body();
        if (body.empty()) {
            // Lines without a timestamp: engine noise and continuations.
            writer_.Undated(line, Chance(50) ? "*** ValidateGFFResource sent by user." : "");
        } else {
            writer_.Dated(line, NextTime(), body);
        }
        out << line;
        bytes += static_cast<int64_t>(line.size());
    }
    return bytes;
}

} // namespace tarvik
