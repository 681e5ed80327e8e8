#include "Configuration.h"

#include "FightGap.h"
#include "IniFile.h"
#include "util/FileInfo.h"
#include "util/FileUtil.h"
#include "util/SplitList.h"
#include "util/Text.h"

#include <algorithm>

namespace tarvik {

namespace {

constexpr const char* LogFormatSection = "Log Format";
constexpr const char* RealTimeSection = "Real-time Monitoring";
constexpr const char* FightsSection = "Fights";

// Keys added in a later version, as the shipped file has them.
constexpr const char* DefaultEngineLines =
    "nwsync:,Error:,Game is using local port:,Your cryptographic public identity is:,GOG:,"
    "Requesting relay access,Connection to,*** ValidateGFFResource,GameSpy";
constexpr const char* DefaultChatDuplicateTags =
    "[Talk],[Party],[Tell],[Shout],[Whisper],[Server],[DM]";

struct Loader {
    const IniDocument& ini;
    ConfigurationResult& result;

    bool Fail(std::string message)
    {
        result.fatalMessage = std::move(message);
        return false;
    }

    // A required number: a number text (blanks allowed), rounded half to even.
    bool Required(const char* section, const char* key, int32_t& out)
    {
        const std::string value = ini.Value(section, key);
        if (!IsNumeric(value))
            return Fail(std::string("ERROR:  ") + key + " cannot be non-numeric!");
        const auto number = ToInt32(value);
        if (!number)
            return Fail(std::string("ERROR:  ") + key + " is out of range!");
        out = *number;
        return true;
    }

    std::string Text(const char* key) { return ini.Value(LogFormatSection, key); }
    // A key added in a later version: files written before it get the default.
    std::string Text(const char* key, const char* absentDefault)
    {
        return ini.HasKey(LogFormatSection, key) ? Text(key) : std::string(absentDefault);
    }

    // A comma list of texts in the log format section, the default when absent.
    void TextList(const char* key, const char* absentDefault, std::vector<std::string>& out)
    {
        std::vector<std::string_view> items;
        const std::string value = Text(key, absentDefault);
        out.clear();
        SplitList(value, items, ",");
        for (const std::string_view item : items) {
            if (!item.empty())
                out.emplace_back(item);
        }
    }

    // A comma list; "Total" is appended to the damage type lists.
    bool List(const char* key, bool appendTotal, std::vector<std::string>& out,
              const char* emptyMessage)
    {
        std::string value = ini.Value("Types", key);
        if (appendTotal && !value.empty())
            value += ",Total";
        std::vector<std::string_view> items;
        if (!SplitList(value, items, ","))
            return Fail(emptyMessage);
        out.assign(items.begin(), items.end());
        return true;
    }
};

// Record kinds added in a later version: a file written before them gets
// the shipped identifiers, right after its chat list, which loses the
// immunity lines it held in their place: chat still comes first.
void AddLaterRecordTypes(std::vector<std::pair<std::string, std::string>>& entries)
{
    const std::pair<const char*, const char*> later[] = {
        {"Immunity", ": immune to,is immune to to"},
        {"SpellResist", "spell resist:"},
    };
    auto chat = std::find_if(entries.begin(), entries.end(),
                             [](const auto& entry) { return ToLower(entry.first) == "chat"; });
    const bool hasChat = chat != entries.end();
    const size_t chatAt = hasChat ? static_cast<size_t>(chat - entries.begin()) : 0;
    size_t at = hasChat ? chatAt + 1 : 0;
    bool added = false;
    for (const auto& kind : later) {
        const std::string name = ToLower(kind.first);
        const bool present = std::any_of(entries.begin(), entries.end(), [&](const auto& entry) {
            return ToLower(entry.first) == name;
        });
        if (present)
            continue;
        entries.insert(entries.begin() + static_cast<std::ptrdiff_t>(at++),
                       {kind.first, kind.second});
        added = true;
    }
    if (!added || !hasChat)
        return;
    std::string& chatList = entries[chatAt].second;
    std::vector<std::string_view> items;
    if (!SplitList(chatList, items, ","))
        return;
    std::string kept;
    for (const std::string_view item : items) {
        if (ToLower(item).starts_with("immune to"))
            continue;
        kept += (kept.empty() ? "" : ",") + std::string(item);
    }
    if (!kept.empty())
        chatList = kept;
}

} // namespace

std::string ConfigurationPath(const std::string& programDir, const std::string& exeBaseName)
{
    return JoinPath(programDir, exeBaseName + ".ini");
}

ConfigurationResult LoadConfiguration(const std::string& path, const std::string& exeBaseName)
{
    return LoadConfiguration(ConfigurationFile(path), exeBaseName);
}

ConfigurationResult LoadConfiguration(const ConfigurationFile& file, const std::string& exeBaseName)
{
    const std::string path = file.ReadPath();
    ConfigurationResult result;
    const std::optional<FileInfo> info = GetFileInfo(path);
    if (!info) {
        result.fatalMessage = "The " + exeBaseName + ".ini file does not exist!\n" +
                              "This is required for the program to run.\n\n" +
                              "Please re-install the program using the setup.";
        return result;
    }
    if (!info->regular) {
        result.fatalMessage =
            "ERROR:  " + path + " is not a regular file (a folder, pipe or device)!";
        return result;
    }
    if (info->size > MaxConfigurationBytes) {
        result.fatalMessage = "ERROR:  " + path + " is larger than " +
                              std::to_string(MaxConfigurationBytes / (1024 * 1024)) +
                              " MB; that is no configuration file!";
        return result;
    }
    const IniDocument ini = IniDocument::Load(path);
    Loader load{ini, result};
    Configuration config;
    config.path = path;
    config.file = file;
    LogFormat& format = config.analysis.format;

    int32_t end = 0;
    if (!load.Required(LogFormatSection, "TimeStampBegin", format.timeStampBegin))
        return result;
    if (format.timeStampBegin < 1)
        format.timeStampBegin = 1;
    if (!load.Required(LogFormatSection, "TimeStampEnd", end))
        return result;
    const int64_t length = static_cast<int64_t>(end) - format.timeStampBegin + 1;
    format.timeStampLength = length < 1 ? 99999 : static_cast<int32_t>(length);
    format.timeStampMinLength = ToInt32(load.Text("TimeStampMinLength")).value_or(0);
    if (!load.Required(LogFormatSection, "RecordBegin", format.recordBegin))
        return result;
    if (format.recordBegin < 1)
        format.recordBegin = 1;
    if (Trim(load.Text("RecordEnd")).empty())
        format.recordEnd = 0;
    else if (!load.Required(LogFormatSection, "RecordEnd", format.recordEnd))
        return result;

    format.recordDeliminator = load.Text("RecordDeliminator");
    format.attackHit = load.Text("AttackHit");
    format.attackCritical = load.Text("AttackCritical", "*critical hit*");
    format.attackMiss = load.Text("AttackMiss", "*miss*");
    format.healingUnits = load.Text("HealingUnits");
    format.saveSuccess = load.Text("SaveSuccess");
    format.savePrefix = load.Text("SavePrefix", "SAVE:");
    format.sessionHeader = load.Text("SessionHeader", "Messages for:");
    format.sessionHeaderRule = load.Text("SessionHeaderRule", "-");
    load.TextList("EngineLines", DefaultEngineLines, format.engineLines);
    load.TextList("ChatDuplicateTags", DefaultChatDuplicateTags, format.chatDuplicateTags);
    format.saveStartDeliminator = load.Text("SaveStartDeliminator");
    format.saveEndDeliminator = load.Text("SaveEndDeliminator");
    format.logFileMask = load.Text("LogFileMask");
    format.characterConcealStart = load.Text("CharacterConcealStart");
    format.characterConcealEnd = load.Text("CharacterConcealEnd");
    format.experiencePointsStart = load.Text("ExperiencePointsStart");
    format.experiencePointsEnd = load.Text("ExperiencePointsEnd");
    format.abStart = load.Text("ABStart");
    format.abEnd = load.Text("ABEnd");
    format.charIdStart = load.Text("CharIDStart");
    format.charIdEnd = load.Text("CharIDEnd");
    format.partyJoinStart = load.Text("PartyJoinStart");
    format.partyJoinEnd = load.Text("PartyJoinEnd");
    format.partyExitStart = load.Text("PartyExitStart");
    format.partyExitEnd = load.Text("PartyExitEnd");
    format.touchAttack = load.Text("TouchAttack", "touch attack");
    format.specialAttack = load.Text("SpecialAttack", "attempts");
    format.offHand = load.Text("OffHand", "Off Hand");
    // The views point into the text, so it must outlive them.
    const std::string immunityEnds = load.Text("ImmunityEnds", ".,effects");
    std::vector<std::string_view> ends;
    if (SplitList(immunityEnds, ends, ","))
        format.immunityEnds.assign(ends.begin(), ends.end());
    format.spellResistSpell = load.Text("SpellResistSpell", "attempts to resist:");
    format.spellResistResult = load.Text("SpellResistResult", "- Result:");
    format.dominatedStart = load.Text("DominatedStart", "Dominated");
    format.dominatedEnd = load.Text("DominatedEnd", ".");
    format.partyChat = load.Text("PartyChat", "[Party]");

    RealTimeSettings& rt = config.realTime;
    if (!load.Required(RealTimeSection, "RollingAverageInterval", rt.rollingAverageInterval) ||
        !load.Required(RealTimeSection, "FugueTimerWarning", rt.fugueTimerWarning) ||
        !load.Required(RealTimeSection, "FugueTimerExpiration", rt.fugueTimerExpiration) ||
        !load.Required(RealTimeSection, "ABAverageRecords", rt.abAverageRecords))
        return result;

    // Added in a later version: a file without it fights with the default gap.
    if (!Trim(ini.Value(FightsSection, "FightGap")).empty()) {
        int32_t gap = 0;
        if (!load.Required(FightsSection, "FightGap", gap))
            return result;
        config.analysis.fightGapSeconds = ClampFightGap(gap);
    }
    if (!Trim(ini.Value(FightsSection, "RecapSeconds")).empty()) {
        int32_t seconds = 0;
        if (!load.Required(FightsSection, "RecapSeconds", seconds))
            return result;
        config.analysis.recapSeconds = ClampRecapSeconds(seconds);
    }
    {
        // Added in a later version: a file without it knows the game's prefix.
        const std::string prefixes = ini.HasKey(FightsSection, "PetNamePrefixes")
                                         ? ini.Value(FightsSection, "PetNamePrefixes")
                                         : std::string("Summoned");
        std::vector<std::string_view> items;
        if (SplitList(prefixes, items, ","))
            config.analysis.petNamePrefixes.assign(items.begin(), items.end());
    }

    config.windowTitle = ini.Value("Monitoring", "WindowTitle");
    config.windowClass = ini.Value("Monitoring", "WindowClass");

    AnalysisConfig& analysis = config.analysis;
    if (!load.List("Damage Types", true, analysis.damageTypes,
                   "ERROR:  No Damage Types found in INI file!") ||
        !load.List("Short Damage Types", true, analysis.shortDamageTypes,
                   "ERROR:  No Short Damage Types found in INI file!"))
        return result;
    if (analysis.damageTypes.size() != analysis.shortDamageTypes.size()) {
        load.Fail("ERROR:  The damage types and short damage types do not match!");
        return result;
    }
    if (!load.List("Save Types", false, analysis.saveTypes,
                   "ERROR:  No Save Types found in INI file!"))
        return result;

    auto entries = ini.Entries("Record Types");
    if (entries.empty()) {
        load.Fail("ERROR:  No Record Types found in INI file!");
        return result;
    }
    AddLaterRecordTypes(entries);
    std::vector<std::string_view> items;
    for (const auto& [name, value] : entries) {
        if (!SplitList(value, items, ",")) {
            result.warnings.push_back("ERROR:  Record type " + ToUpper(name) +
                                      " does not have any identifiers in it's value.");
            continue;
        }
        RecordType type;
        type.CreateRecordType(name, std::vector<std::string>(items.begin(), items.end()));
        if (!analysis.recordTypes.Add(std::move(type)))
            result.warnings.push_back("ERROR:  Record type " + ToUpper(name) +
                                      " is listed more than once; only the first is used.");
    }
    analysis.recordTypes.Build();
    result.configuration = std::move(config);
    return result;
}

} // namespace tarvik
