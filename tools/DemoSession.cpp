#include "DemoSession.h"

#include "Battle.h"
#include "Bestiary.h"
#include "LogBook.h"

#include <utility>

namespace tarvik {

namespace {

// The session's evenings: the party meets, walks, talks, fights, loots,
// rests and levels, all written into the book.
class Demo {
public:
    explicit Demo(uint64_t seed)
        : book_(seed)
    {
        for (Creature& member : DemoParty())
            party_.emplace_back(std::move(member));
    }

    std::vector<DemoLog> Write();

private:
    int Below(int n) { return book_.random.Below(n); }
    bool Chance(int percent) { return book_.random.Chance(percent); }
    template <class T>
    const T& Pick(const std::vector<T>& items)
    {
        return book_.random.Pick(items);
    }
    void Line(const std::string& body) { book_.Line(body); }
    void Wait(int64_t seconds) { book_.Wait(seconds); }
    DemoLog EndLog(std::string name) { return {std::move(name), book_.Finish()}; }

    Combatant& Hero(int index) { return party_[static_cast<size_t>(index)]; }
    const std::string& NameOf(int index) { return Hero(index).name; }
    void JoinParty();
    void Buffs();
    void Chat(const std::vector<std::string>& lines);
    void Loot();
    void Travel(int minutes);
    void Rest();
    void RaiseTheDead();
    void LevelUp();
    int PartySize() const { return static_cast<int>(party_.size()); }
    void Fight(std::string_view encounter)
    {
        Battle(book_, party_).Fight(DemoEncounter(encounter));
    }
    // Fights with the walks, buffs, loot and rests between them.
    void Evening(const std::vector<std::string>& encounters);

    LogBook book_;
    std::vector<Combatant> party_; // the log's owner first
    int level_ = 13;
};

void Demo::JoinParty()
{
    for (int i = 1; i < PartySize(); ++i) {
        Line(PartyBody(NameOf(i), true));
        Wait(1 + Below(20));
    }
}

void Demo::Buffs()
{
    const std::vector<std::pair<int, const char*>> buffs = {
        {1, "Bless"}, {1, "Divine Favor"}, {2, "Mage Armor"},  {2, "Stoneskin"},
        {2, "Haste"}, {2, "Displacement"}, {3, "Invisibility"}};
    for (const auto& [hero, spell] : buffs) {
        if (!Hero(hero).alive || Chance(25))
            continue;
        Line(CastingBody(NameOf(hero), spell, false));
        Wait(2);
        Line(CastingBody(NameOf(hero), spell, true));
        Wait(Below(2));
    }
}

void Demo::Chat(const std::vector<std::string>& lines)
{
    for (const std::string& line : lines) {
        Line(line);
        Wait(2 + Below(9));
    }
}

void Demo::Loot()
{
    const std::vector<std::string> items = {
        "Potion of Cure Serious Wounds", "Scroll",    "Ogre Tooth",     "Ruby",
        "Cloak of Protection +2",        "Arrows +1", "Duergar Waraxe", "Bag of Holding"};
    const int count = 2 + Below(4);
    for (int i = 0; i < count; ++i) {
        Line("Acquired " + std::to_string(10 + Below(400)) + "GP");
        Wait(Below(3));
        if (Chance(60)) {
            Line("Acquired Item: " + Pick(items));
            Wait(1 + Below(4));
        }
    }
}

void Demo::Travel(int minutes)
{
    // The long walks between fights: chat, the server, other players.
    const std::vector<std::string> noise = {
        "Weapon equipped as a one-handed weapon.",
        "[Server] You are now in a No PVP area.",
        "[Server] You are now in a PVP area.",
        "Halgroth : [Shout] LFG ogre caves, lvl 13 cleric",
        "Luminousdove has left as a player..",
        "Halgroth has joined as a player..",
        "Sefa Dunmoor : [Party] trap ahead, hold on",
        "Take 20 : Sefa Dunmoor : Disable Trap : *success* : (20 + 24 = 44 vs. DC: 35)",
        "Brenna Tal: [Party] mana check? I have 3 heals left",
        "Mirek the Grey: [Party] resting after this one please",
        "Aldric Voss: [Party] follow me, stairs on the left",
        "Constantine: [Whisper] anyone selling cure potions?",
        "Sefa Dunmoor : [Tell] meet you at the gate",
        "Aldric Voss : Search : *success* : (12 + 14 = 26 vs. DC: 25)",
        "Resting.",
        "* Battle Cry - from: Aldric Voss - wore off *"};
    const int lines = minutes * 12 + Below(6);
    for (int i = 0; i < lines; ++i) {
        Line(Pick(noise));
        Wait(3 + Below(12));
    }
}

void Demo::Rest()
{
    Line("Aldric Voss: [Party] rest here");
    Wait(3);
    Line("Resting.");
    Wait(30 + Below(20));
    for (Combatant& hero : party_) {
        if (hero.alive)
            hero.hp = hero.maxHp;
    }
}

void Demo::RaiseTheDead()
{
    for (int i = 0; i < PartySize(); ++i) {
        if (Hero(i).alive)
            continue;
        if (i == 1 || !Hero(1).alive) {
            // Nobody to raise the cleric: a scroll does it.
            Line(NameOf(i) + ": [Party] back soon, using my last scroll");
            Wait(20 + Below(20));
        } else {
            Line(CastingBody(NameOf(1), "Raise Dead", false));
            Wait(2);
            Line(CastingBody(NameOf(1), "Raise Dead", true));
            Wait(2);
            Line(NameOf(i) + ": [Party] thanks Bren");
        }
        Hero(i).alive = true;
        Hero(i).hp = Hero(i).maxHp / 2;
        Wait(3 + Below(5));
    }
}

void Demo::LevelUp()
{
    // The game writes nothing when a character levels; the party hears of
    // it, and the attack rolls show the better bonus from then on.
    ++level_;
    Line("Aldric Voss: [Party] DING! level " + std::to_string(level_) + ", give me a minute");
    Wait(40 + Below(30));
    Hero(0).attack.bonus += 1;
    Hero(0).maxHp += 12;
    Hero(0).hp = Hero(0).maxHp;
    Line("Brenna Tal: [Party] grats!");
    Wait(5);
    Line("Aldric Voss: [Party] done, +1 attack. let's go");
    Wait(10);
}

void Demo::Evening(const std::vector<std::string>& encounters)
{
    for (size_t i = 0; i < encounters.size(); ++i) {
        Travel(3 + Below(4));
        if (Chance(70))
            Buffs();
        Fight(encounters[i]);
        Loot();
        RaiseTheDead();
        if (i % 2 == 1)
            Rest();
    }
}

std::vector<DemoLog> Demo::Write()
{
    std::vector<DemoLog> logs;

    // 1: Saturday evening in the hills, written by the classic client.
    book_.Start(LogClient::Classic, 2026, 10, 3, 19 * 3600 + 34 * 60 + 12);
    Line("[Server] Welcome to the Vale of Tarn. Server time is 19:34.");
    Wait(6);
    JoinParty();
    Chat({"Aldric Voss: [Party] evening all. goblin camp first, then the ogre caves?",
          "Brenna Tal: [Party] sounds good",
          "Mirek the Grey: [Party] I have fireballs memorised, keep out of the middle",
          "Sefa Dunmoor: [Party] I\x92ll scout ahead"});
    Evening({"goblins", "wolves", "duergar", "spiders", "drow"});
    Chat({"Sefa Dunmoor: [Party] big one inside. Chieftain and his guard",
          "Aldric Voss: [Party] Mirek, careful with the fireballs. he hates casters",
          "Mirek the Grey: [Party] I\x92ll be fine"});
    Buffs();
    Fight("ogres");
    Loot();
    Chat({"Aldric Voss: [Party] chieftain down!", "Brenna Tal: [Party] Mirek, told you"});
    RaiseTheDead();
    LevelUp();
    Rest();
    Evening({"bears", "goblins", "wolves"});
    Chat({"Mirek the Grey: [Party] I\x92m out of spells. same time next week?",
          "Aldric Voss: [Party] yes. good run all", "Brenna Tal has left the party.",
          "Mirek the Grey has left the party.", "Sefa Dunmoor has left the party."});
    logs.push_back(EndLog("nwclientLog1.txt"));

    // 2 and 3: a month later, with the Enhanced Edition. Its engine
    // lines and session headers are left out: they carry no timestamp, and
    // the analysis lists such lines as unusable, which a demo should not show.
    book_.Start(LogClient::EnhancedEdition, 2026, 11, 1, 19 * 3600 + 58 * 60 + 40);
    Line("[Server] Welcome back to the Vale of Tarn.");
    Wait(30);
    JoinParty();
    Chat({"Aldric Voss: [Party] the Sunken Halls tonight. golems and worse",
          "Sefa Dunmoor: [Party] bring fire and cold, not lightning",
          "Mirek the Grey: [Party] the golems take nothing from electricity"});
    Evening({"guardians", "undead", "bears", "spiders", "duergar", "coven"});
    Chat({"Brenna Tal: [Party] the witch is gone. calling it a night",
          "Aldric Voss: [Party] same time next week, the pit"});
    logs.push_back(EndLog("nwclientLog2.txt"));

    book_.Start(LogClient::EnhancedEdition, 2026, 11, 7, 20 * 3600 + 2 * 60 + 5);
    Line("[Server] Welcome back to the Vale of Tarn.");
    Wait(25);
    JoinParty();
    Evening({"drow", "wolves", "duergar", "draconic", "undead"});
    Chat({"Sefa Dunmoor: [Party] it\x92s down there. a pit fiend, I\x92m sure of it",
          "Aldric Voss: [Party] I\x92ll hold it. Bren, keep me up",
          "Brenna Tal: [Party] I\x92ll try"});
    Buffs();
    Fight("fiend");
    Loot();
    RaiseTheDead();
    Chat({"Aldric Voss: [Party] that was close. well played", "Mirek the Grey: [Party] gg",
          "Sefa Dunmoor: [Party] gg all, loot split tomorrow"});
    logs.push_back(EndLog("nwclientLog3.txt"));
    return logs;
}

} // namespace

std::vector<DemoLog> WriteDemoSession(uint64_t seed)
{
    return Demo(seed).Write();
}

} // namespace tarvik
