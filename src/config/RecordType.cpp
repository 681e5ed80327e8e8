#include "RecordType.h"

#include "util/Text.h"

namespace tarvik {

void RecordType::CreateRecordType(std::string name, const std::vector<std::string>& identifiers)
{
    name_ = std::move(name);
    identifiers_.clear();
    identifiers_.reserve(identifiers.size());
    for (const auto& identifier : identifiers)
        identifiers_.push_back(ToLower(identifier));
}

bool RecordType::IsThis(std::string_view text, std::string* matched) const
{
    const std::string lower = ToLower(text);
    for (const auto& identifier : identifiers_) {
        if (Find(lower, identifier) != std::string_view::npos) {
            if (matched)
                *matched = identifier;
            return true;
        }
    }
    return false;
}

} // namespace tarvik
