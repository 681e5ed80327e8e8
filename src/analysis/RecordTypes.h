#pragma once

#include "RecordKind.h"
#include "RecordType.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace tarvik {

// The configured record types, in configuration order, found by name
// without regard to case. Add them all, then Build the classification table
// once: until it is built, Classify asks each type in turn, which gives the
// same answers slowly.
class RecordTypes {
public:
    struct Match {
        const RecordType* type = nullptr;
        RecordKind kind = RecordKind::Unknown;
        std::string_view identifier; // lower case; valid while the types live
        explicit operator bool() const { return type != nullptr; }
    };

    // Adds a type; a name already present (ignoring case) is refused.
    bool Add(RecordType type);
    // Builds the classification table for the types added so far.
    void Build();
    int Count() const { return static_cast<int>(types_.size()); }
    const RecordType* Find(std::string_view name) const;
    const std::vector<RecordType>& Types() const { return types_; }

    // The first type, in order, one of whose identifiers occurs in body
    // (ignoring case), with the first of its identifiers that occurs.
    Match Classify(std::string_view body) const;

private:
    Match AskEachType(std::string_view body) const;

    std::vector<RecordType> types_;
    std::vector<RecordKind> kinds_;
    std::unordered_map<std::string, size_t> byName_; // lower-case name -> index
    bool built_ = false;
    // Identifiers in priority order: type order, then identifier order.
    // Indices are 32 bits wide; the configuration file's size limit keeps
    // them far from wrapping.
    struct Pattern {
        uint32_t type;
        uint32_t identifier;
    };
    std::vector<Pattern> patterns_;
    // Candidate positions are found by the first two (folded) bytes of an
    // identifier; each position is checked on its own, so the scan has no
    // chain of dependent lookups from byte to byte.
    std::vector<uint64_t> bigramFilter_;               // 65536 bits
    std::vector<std::vector<int32_t>> bigramPatterns_; // by bigram slot, priority order
    // Bigram -> slot, open addressing; small enough to stay in the cache.
    struct SlotEntry {
        uint16_t bigram = 0;
        int32_t slot = -1;
    };
    std::vector<SlotEntry> slotTable_;
    unsigned slotMask_ = 0;
    int32_t SlotOf(unsigned bigram) const;
    bool hasSingleByte_ = false;
    int32_t singleByte_[256] = {}; // one-byte identifiers: pattern + 1
    int32_t emptyPattern_ = -1;    // lowest empty identifier: matches any non-empty body
};

} // namespace tarvik
