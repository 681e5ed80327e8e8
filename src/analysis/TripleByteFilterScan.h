#pragma once

#include "TripleByteFilter.h"

#include <bit>
#include <cstring>

#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#define TARVIK_TRIPLE_FILTER_VECTOR 1
#endif

namespace tarvik {

template <class OnPlace>
void TripleByteFilter::Scan(std::string_view text, OnPlace&& onPlace) const
{
#ifdef TARVIK_TRIPLE_FILTER_VECTOR
    if (vector_)
        return VectorScan(text, onPlace);
#endif
    PortableScan(text, onPlace);
}

template <class OnPlace>
void TripleByteFilter::PortableScan(std::string_view text, OnPlace& onPlace) const
{
    const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
    for (size_t i = 0; i + 3 <= text.size(); ++i) {
        if (Accepts(bytes + i) != 0 && !onPlace(i))
            return;
    }
}

#ifdef TARVIK_TRIPLE_FILTER_VECTOR
namespace triple_byte_filter {

// The places of a block that some bucket accepts, as bits.
__attribute__((target("ssse3"), always_inline)) inline unsigned
Places(const unsigned char* p, const __m128i (&low)[3], const __m128i (&high)[3])
{
    const __m128i nibble = _mm_set1_epi8(0x0F);
    __m128i accepted = _mm_set1_epi8(-1);
    for (int k = 0; k < 3; ++k) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + k));
        const __m128i byLow = _mm_shuffle_epi8(low[k], _mm_and_si128(bytes, nibble));
        const __m128i byHigh =
            _mm_shuffle_epi8(high[k], _mm_and_si128(_mm_srli_epi16(bytes, 4), nibble));
        accepted = _mm_and_si128(accepted, _mm_and_si128(byLow, byHigh));
    }
    const int none = _mm_movemask_epi8(_mm_cmpeq_epi8(accepted, _mm_setzero_si128()));
    return ~static_cast<unsigned>(none) & 0xFFFFu;
}

} // namespace triple_byte_filter

template <class OnPlace>
__attribute__((target("ssse3"))) void TripleByteFilter::VectorScan(std::string_view text,
                                                                   OnPlace& onPlace) const
{
    using triple_byte_filter::Places;
    __m128i low[3], high[3];
    for (int k = 0; k < 3; ++k) {
        low[k] = _mm_load_si128(reinterpret_cast<const __m128i*>(low_[k]));
        high[k] = _mm_load_si128(reinterpret_cast<const __m128i*>(high_[k]));
    }
    const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
    const size_t size = text.size();
    // The places of up to 64 bytes are gathered before any is looked at,
    // so the tables stay in registers through the vector work.
    for (size_t chunk = 0; chunk + 3 <= size; chunk += 64) {
        uint64_t found = 0;
        size_t block = chunk;
        for (; block < chunk + 64 && block + BlockReads <= size; block += Block)
            found |= uint64_t{Places(bytes + block, low, high)} << (block - chunk);
        if (block < chunk + 64 && block + 3 <= size) {
            // The last places are read from a copy padded with zeros: no
            // read past the text, and no place that runs past it.
            unsigned char padded[BlockReads] = {};
            std::memcpy(padded, bytes + block, size - block);
            const unsigned inside = (1u << (size - block - 2)) - 1;
            found |= uint64_t{Places(padded, low, high) & inside} << (block - chunk);
        }
        for (; found != 0; found &= found - 1) {
            if (!onPlace(chunk + static_cast<size_t>(std::countr_zero(found))))
                return;
        }
    }
}
#endif

} // namespace tarvik
