#include "LogGenerator.h"


#include <array>
#include <cstdio>

namespace tarvik {

namespace {

const std::array<std::string, 6> Heroes = {"Aldric Voss",  "Brenna Tal",      "Mirek the Grey",
                                           "Sefa Dunmoor", "Xin'thah Moragh", "Tobin Ashgrove"};
const std::array<std::string, 14> Monsters = {
    "Goblin Skirmisher", "Goblin Shaman",       "Duergar Veteran",     "Duergar Mage",
    "Ogre Chieftain",    "Legendary Bear",      "Hellspawn",           "Epic Mummy Warrior",
    "Di'Rancor Guard",   "Fei-ungan Priestess", "Cursed Corpse Eater", "Electrical Golem",
    "Draconic Warrior",  "Kil'iak Witch"};
const std::array<const char*, 11> DamageTypes = {
    "Physical",        "Magical",         "Acid",  "Cold", "Divine", "Electrical", "Fire",
    "Negative Energy", "Positive Energy", "Sonic", "Pure"};
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
const std::array<const char*, 7> Weekdays = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};

} // namespace

LogGenerator::LogGenerator(Options options)
    : options_(options)
    , state_(options.seed)
{
}

uint64_t LogGenerator::Next()
{
    // splitmix64: fast, and the same everywhere.
    uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

const std::string& LogGenerator::Hero()
{
    return Heroes[static_cast<size_t>(Below(static_cast<int>(Heroes.size())))];
}

const std::string& LogGenerator::Monster()
{
    return Monsters[static_cast<size_t>(Below(static_cast<int>(Monsters.size())))];
}

std::string LogGenerator::Stamp()
{
    if (Chance(30))
        ++secondOfDay_;
    if (secondOfDay_ >= 86400) {
        secondOfDay_ = 0;
        day_ = day_ % 28 + 1;
    }
    const int h = static_cast<int>(secondOfDay_ / 3600);
    const int m = static_cast<int>(secondOfDay_ / 60 % 60);
    const int s = static_cast<int>(secondOfDay_ % 60);
    char buffer[64];
    if (options_.style == Style::EnhancedEdition)
        std::snprintf(buffer, sizeof buffer, "[CHAT WINDOW TEXT] [%s Aug %2d %02d:%02d:%02d] ",
                      Weekdays[static_cast<size_t>(day_ % 7)], day_, h, m, s);
    else
        std::snprintf(buffer, sizeof buffer, "[CHAT WINDOW TEXT] [%s Apr %02d %02d:%02d:%02d] ",
                      Weekdays[static_cast<size_t>(day_ % 7)], day_, h, m, s);
    return buffer;
}

std::string LogGenerator::Attack(const std::string& attacker, const std::string& defender)
{
    std::string text;
    if (Chance(15))
        text += std::string(Descriptions[static_cast<size_t>(Below(5))]) + " : ";
    text += attacker + " attacks " + defender + " : ";
    const int roll = Below(20) + 1;
    const int bonus = 10 + Below(50);
    switch (Below(10)) {
    case 0:
        text += "*critical hit* : (" + std::to_string(roll) + " + " + std::to_string(bonus) +
                " = " + std::to_string(roll + bonus) +
                " : Threat Roll: " + std::to_string(Below(20) + 1) + " + " + std::to_string(bonus) +
                " = " + std::to_string(bonus + 10) + ")";
        return text;
    case 1:
    case 2:
    case 3:
        text += "*miss* : ";
        break;
    case 4:
        text += "*target concealed: 50%* : ";
        break;
    case 5:
        text += "*parried* : ";
        break;
    default:
        text += "*hit* : ";
        break;
    }
    text += "(" + std::to_string(roll) + " + " + std::to_string(bonus) + " = " +
            std::to_string(roll + bonus) + ")";
    return text;
}

std::string LogGenerator::Damage(const std::string& attacker, const std::string& defender)
{
    const int kinds = 1 + Below(3);
    int total = 0;
    std::string parts;
    for (int i = 0; i < kinds; ++i) {
        const int amount = Chance(5) ? 0 : 1 + Below(40);
        total += amount;
        if (i > 0)
            parts += " ";
        parts += std::to_string(amount) + " " + DamageTypes[static_cast<size_t>(Below(11))];
    }
    return attacker + " damages " + defender + ": " + std::to_string(total) + " (" + parts + ")";
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
    if (pick < 680)
        return defender + " : Damage " + (Chance(50) ? "Resistance" : "Reduction") + " absorbs " +
               std::to_string(1 + Below(15)) + " damage";
    if (pick < 700)
        return defender + " : Damage Immunity absorbs " + std::to_string(1 + Below(10)) +
               " point(s) of " + DamageTypes[static_cast<size_t>(Below(11))];
    if (pick < 730)
        return std::string(Chance(30) ? "Improved Evasion : " : "") + defender + " : " +
               (Chance(50) ? "Reflex Save vs. Fire" : "Will Save") + " : *" +
               (Chance(70) ? "success" : "failure") + "* : (" + std::to_string(1 + Below(20)) +
               " + " + std::to_string(5 + Below(30)) + " = 30 vs. DC: 25)";
    if (pick < 780) {
        const char* channels[] = {"[Party]", "[Tell]", "[Shout]", "[Whisper]"};
        return hero + ": " + channels[Below(4)] + " " + monster + " attacks me, heal please";
    }
    if (pick < 800)
        return hero + " casting " + Spells[static_cast<size_t>(Below(8))];
    if (pick < 830)
        return hero + " casts " + Spells[static_cast<size_t>(Below(8))];
    if (pick < 850)
        return hero + " : Healed " + std::to_string(Below(60)) + " hit points.";
    if (pick < 870)
        return attacker + " killed " + defender;
    if (pick < 890)
        return "Experience Points Gained:  " + std::to_string(10 + Below(400));
    if (pick < 900)
        return hero + " : Initiative Roll : 11 : (4 + 7 = 11)";
    if (pick < 903)
        return hero + (Chance(50) ? " has joined the party." : " has left the party.");
    if (pick < 906)
        return hero + " attempts Improved Knockdown on " + monster +
               " : *resisted* : (2 + 25 = 27)";
    if (pick < 980)
        return Noise[static_cast<size_t>(Below(5))];
    return {};
}

int64_t LogGenerator::Write(std::ostream& out)
{
    const char* end = options_.crlf ? "\r\n" : "\n";
    int64_t bytes = 0;
    std::string line;
    for (int64_t i = 0; i < options_.lines; ++i) {
        std::string body = Body();
        if (body.empty()) {
            // Lines without a timestamp: engine noise and continuations.
            line = Chance(50) ? "*** ValidateGFFResource sent by user." : "";
        } else {
            line = Stamp() + body;
        }
        line += end;
        out << line;
        bytes += static_cast<int64_t>(line.size());
    }
    return bytes;
}

} // namespace tarvik
