#include "NameTable.h"

namespace tarvik {

namespace {

const std::string Unknown = "?";

} // namespace

int32_t NameTable::Intern(std::string_view name)
{
    if (const auto found = index_.find(name); found != index_.end())
        return found->second;
    if (names_.size() >= MaxNames)
        return -1;
    const auto index = static_cast<int32_t>(names_.size());
    names_.emplace_back(name);
    index_.emplace(names_.back(), index);
    return index;
}

const std::string& NameTable::Name(int32_t index) const
{
    return index >= 0 && static_cast<size_t>(index) < names_.size()
               ? names_[static_cast<size_t>(index)]
               : Unknown;
}

void NameTable::Clear()
{
    names_.clear();
    index_.clear();
}

} // namespace tarvik
