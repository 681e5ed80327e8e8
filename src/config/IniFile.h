#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tarvik {

// An INI document read the way Windows private-profile files are: sections
// and keys match without regard to case, a value loses surrounding blanks
// and one pair of surrounding quotes, the first of duplicate sections or
// keys wins, and lines starting with ";" are comments.
class IniDocument {
public:
    // An unreadable or missing file gives an empty document.
    static IniDocument Load(const std::string& path);
    static IniDocument Parse(std::string_view text);

    // The value, or empty text when the section or key is missing.
    std::string Value(std::string_view section, std::string_view key) const;
    bool HasKey(std::string_view section, std::string_view key) const;
    // The key names of a section, in file order.
    std::vector<std::string> Keys(std::string_view section) const;
    // The same keys, each with the value Value gives for it (the first of
    // duplicate keys wins), in one pass over the section.
    std::vector<std::pair<std::string, std::string>> Entries(std::string_view section) const;

    // Sets a value in place, keeping every other line and comment; adds a
    // missing key at the end of its section and a missing section at the end.
    void SetValue(std::string_view section, std::string_view key, std::string_view value);
    std::string Text() const;

private:
    struct Line {
        std::string text;
        std::string section; // for a header line
        std::string key;     // for a key line
        std::string value;
        enum class Kind { Other, Section, Key } kind = Kind::Other;
    };
    // Index of the first header of section, or -1.
    int FindSection(std::string_view section) const;
    // Index of the key line within the section starting at header, or -1.
    int FindKey(int header, std::string_view key) const;

    std::vector<Line> lines_;
    std::string lineEnd_ = "\n";
    bool endsWithLineEnd_ = true;
};

// The program's INI access; values are read whole, however long.
std::string ReadINI(const std::string& file, std::string_view section, std::string_view key);
// Key names of a section, each followed by a NUL character.
std::string ReadINIKeyList(const std::string& file, std::string_view section);
// Writes through a temporary file renamed over the old one. True on success.
bool WriteINI(const std::string& file, std::string_view section, std::string_view key,
              std::string_view value);

} // namespace tarvik
