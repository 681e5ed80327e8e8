#pragma once

// GCC 12 at -O3 warns that std::string copies its own characters over
// themselves (-Wrestrict) in ordinary concatenations and assignments; the
// warning is false (GCC bug 105651). These mark the functions where it
// appears, so that a real -Wrestrict elsewhere still shows.
#if defined(__GNUC__) && !defined(__clang__) && __GNUC__ == 12
#define TARVIK_GCC12_FALSE_RESTRICT_BEGIN                                                          \
    _Pragma("GCC diagnostic push") _Pragma("GCC diagnostic ignored \"-Wrestrict\"")
#define TARVIK_GCC12_FALSE_RESTRICT_END _Pragma("GCC diagnostic pop")
#else
#define TARVIK_GCC12_FALSE_RESTRICT_BEGIN
#define TARVIK_GCC12_FALSE_RESTRICT_END
#endif
