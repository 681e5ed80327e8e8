#pragma once

#include "Indices.h"
#include "util/Text.h"

#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace tarvik {

// An insertion-ordered collection whose items are found by a name that
// compares without regard to case, and by their ID.
template <class Item>
class KeyedList {
public:
    using Id = ListId<Item>;

    KeyedList() = default;
    KeyedList(KeyedList&&) noexcept = default;
    KeyedList& operator=(KeyedList&& other) noexcept
    {
        items_ = std::move(other.items_);
        index_ = std::move(other.index_);
        generation_ = std::max(generation_, other.generation_) + 1;
        ++other.generation_;
        return *this;
    }

    int32_t Count() const { return static_cast<int32_t>(items_.size()); }
    bool Empty() const { return items_.empty(); }

    Item* Find(std::string_view name)
    {
        const auto it = index_.find(name);
        return it == index_.end() ? nullptr : items_[it->second].get();
    }
    const Item* Find(std::string_view name) const
    {
        const auto it = index_.find(name);
        return it == index_.end() ? nullptr : items_[it->second].get();
    }
    // The item with this ID, or null.
    Item* At(Id id) { return id.Within(items_.size()) ? items_[id.Slot()].get() : nullptr; }
    const Item* At(Id id) const
    {
        return id.Within(items_.size()) ? items_[id.Slot()].get() : nullptr;
    }
    // The ID the next item added gets.
    Id NextId() const { return Id::FromSlot(items_.size()); }
    // Adds an item under name; the caller has checked that the name is new.
    Item& Add(std::string name, std::unique_ptr<Item> item)
    {
        items_.push_back(std::move(item));
        index_.emplace(std::move(name), items_.size() - 1);
        return *items_.back();
    }
    void Clear()
    {
        items_.clear();
        index_.clear();
        ++generation_;
    }
    // Changes whenever items leave, so that what remembers items by ID can
    // tell the IDs may now name others.
    uint64_t Generation() const { return generation_; }

    auto begin() const { return items_.begin(); }
    auto end() const { return items_.end(); }

private:
    std::vector<std::unique_ptr<Item>> items_;
    std::unordered_map<std::string, size_t, NoCaseHash, NoCaseEqual> index_;
    uint64_t generation_ = 0;
};

} // namespace tarvik
