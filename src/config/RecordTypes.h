#pragma once

#include "RecordKind.h"
#include "RecordType.h"
#include "TripleByteFilter.h"

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
        size_t position = 0;         // where the identifier first occurs in the body
        explicit operator bool() const { return type != nullptr; }
    };

    // Adds a type; a name already present (ignoring case) is refused.
    bool Add(RecordType type);
    // Builds the classification table for the types added so far, scanning
    // as wide as the processor allows up to widest.
    void Build(TripleByteFilter::Width widest = TripleByteFilter::Widest());
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
        uint32_t textAt; // the identifier's bytes in texts_
        uint32_t size;
    };
    std::vector<Pattern> patterns_;
    std::string texts_; // every identifier, one after another: compared without a hop

    // Folded first bytes of identifiers (two or three, little-endian) -> their
    // patterns in priority order.
    class PrefixTable {
    public:
        bool Empty() const { return patterns_.empty(); }
        void Clear();
        void Add(uint32_t key, int32_t pattern);
        void Finish();
        const std::vector<int32_t>* Find(uint32_t key) const;

    private:
        struct Entry {
            uint32_t key = 0;
            int32_t slot = -1;
        };
        std::vector<Entry> table_; // open addressing
        unsigned mask_ = 0;
        std::vector<std::vector<int32_t>> patterns_;     // by slot
        std::unordered_map<uint32_t, int32_t> building_; // key -> slot, until Finish
    };
    // The first of the patterns listed for a place that occurs there, ahead
    // of best; their first known bytes are already equal.
    void Compare(const std::vector<int32_t>& candidates, std::string_view body, size_t place,
                 size_t known, int32_t& best, size_t& at) const;

    // Identifiers of two bytes: candidate places by a filter of every case
    // of their two bytes, as a two-byte load reads them.
    std::vector<uint64_t> pairFilter_; // 65536 bits
    PrefixTable pairs_;
    // Identifiers of three bytes or more: candidate places sixteen at a time.
    TripleByteFilter tripleFilter_;
    PrefixTable triples_;
    void ScanPairs(std::string_view body, int32_t& best, size_t& at) const;
    void ScanTriples(std::string_view body, int32_t& best, size_t& at) const;

    bool hasSingleByte_ = false;
    int32_t singleByte_[256] = {}; // one-byte identifiers: pattern + 1
    int32_t emptyPattern_ = -1;    // lowest empty identifier: matches any non-empty body
};

} // namespace tarvik
