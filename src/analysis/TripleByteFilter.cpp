#include "TripleByteFilter.h"

#include "TripleByteFilterScan.h"

#include <cstring>

namespace tarvik {

bool TripleByteFilter::Supported()
{
#ifdef TARVIK_TRIPLE_FILTER_VECTOR
    return __builtin_cpu_supports("ssse3");
#else
    return false;
#endif
}

void TripleByteFilter::Clear()
{
    std::memset(low_, 0, sizeof low_);
    std::memset(high_, 0, sizeof high_);
}

void TripleByteFilter::Add(const std::vector<unsigned char> (&offsetBytes)[3], int bucket)
{
    const auto bit = static_cast<uint8_t>(1u << bucket);
    for (int k = 0; k < 3; ++k) {
        for (const unsigned char b : offsetBytes[k]) {
            low_[k][b & 0x0F] |= bit;
            high_[k][b >> 4] |= bit;
        }
    }
}

} // namespace tarvik
