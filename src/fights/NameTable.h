#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace tarvik {

// Names of what few lines name besides characters (the special immunities,
// the spells and results of spell resistance checks), each kept once, so
// that the statistics hold numbers. Bounded: past MaxNames a new name is
// not kept.
class NameTable {
public:
    static constexpr size_t MaxNames = 4096;

    // The number of the name, added when new; -1 when the table is full.
    int32_t Intern(std::string_view name);
    // "?" for a number no name has.
    const std::string& Name(int32_t index) const;
    size_t Size() const { return names_.size(); }
    void Clear();

private:
    std::vector<std::string> names_;
    std::map<std::string, int32_t, std::less<>> index_;
};

} // namespace tarvik
