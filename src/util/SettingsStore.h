#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace tarvik {

// The per-user settings store: one text value per section and key, under the
// application's name.
class SettingsStore {
public:
    virtual ~SettingsStore() = default;
    virtual std::optional<std::string> Read(std::string_view section, std::string_view key) = 0;
    virtual void Write(std::string_view section, std::string_view key, std::string_view value) = 0;
    // Puts what was written where the store keeps it; the reason when that
    // failed (a read-only folder, a full disk). A store that keeps its values
    // at once has nothing to put.
    virtual std::optional<std::string> Flush() { return std::nullopt; }
};

// A store in memory, for the command-line tool and tests.
class MemorySettingsStore final : public SettingsStore {
public:
    std::optional<std::string> Read(std::string_view section, std::string_view key) override
    {
        const auto it = values_.find({std::string(section), std::string(key)});
        if (it == values_.end())
            return std::nullopt;
        return it->second;
    }
    void Write(std::string_view section, std::string_view key, std::string_view value) override
    {
        values_[{std::string(section), std::string(key)}] = std::string(value);
    }
    size_t Size() const { return values_.size(); }

private:
    std::map<std::pair<std::string, std::string>, std::string> values_;
};

// The stored value as a number; empty when missing or not a number.
std::optional<double> ReadNumber(SettingsStore& store, std::string_view section,
                                 std::string_view key);

} // namespace tarvik
