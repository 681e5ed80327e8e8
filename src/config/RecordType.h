#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tarvik {

// A configured kind of log record, recognised by identifier texts.
class RecordType {
public:
    // One-time initialiser: keeps the name as written and the identifiers in
    // lower case, in the given order.
    void CreateRecordType(std::string name, const std::vector<std::string>& identifiers);

    const std::string& Name() const { return name_; }
    const std::vector<std::string>& Identifiers() const { return identifiers_; }

    // True when one of the identifiers occurs anywhere in text, ignoring
    // case; matched receives the first such identifier (lower case).
    bool IsThis(std::string_view text, std::string* matched = nullptr) const;

private:
    std::string name_;
    std::vector<std::string> identifiers_;
};

} // namespace tarvik
