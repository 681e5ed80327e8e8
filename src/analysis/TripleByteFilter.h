#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace tarvik {

// Finds where one of many identifiers may begin in a text by their first
// three bytes: each byte's two nibbles pick, through SSSE3 byte shuffles,
// the buckets of identifiers that may hold it at that offset, sixteen places
// at a time (the "Teddy" method of Hyperscan). Candidates still have to be
// compared. Scan is defined in TripleByteFilterScan.h, so that only its
// user reads the vector headers.
class TripleByteFilter {
public:
    static constexpr int Buckets = 8;

    // Whether this processor (x86-64 with SSSE3) runs the vector form; the
    // portable form gives the same places, byte by byte.
    static bool Supported();
    explicit TripleByteFilter(bool vector = Supported())
        : vector_(vector && Supported())
    {
    }

    void Clear();
    // Marks the bytes an identifier may have at offsets 0 to 2 (every case
    // of each) for bucket.
    void Add(const std::vector<unsigned char> (&offsetBytes)[3], int bucket);

    // Calls onPlace(place) for each place, in order, where some bucket
    // accepts the three bytes there, until it returns false.
    template <class OnPlace>
    void Scan(std::string_view text, OnPlace&& onPlace) const;

private:
    static constexpr size_t Block = 16;
    static constexpr size_t BlockReads = Block + 2;

    unsigned Accepts(const unsigned char* p) const
    {
        unsigned accepted = 0xFF;
        for (int k = 0; k < 3; ++k)
            accepted &= low_[k][p[k] & 0x0F] & high_[k][p[k] >> 4];
        return accepted;
    }
    template <class OnPlace>
    void PortableScan(std::string_view text, OnPlace& onPlace) const;
    template <class OnPlace>
    void VectorScan(std::string_view text, OnPlace& onPlace) const;

    bool vector_;
    alignas(16) uint8_t low_[3][16] = {};
    alignas(16) uint8_t high_[3][16] = {};
};

} // namespace tarvik
