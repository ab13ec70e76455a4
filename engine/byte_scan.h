// Tests on eight bytes at a time, for the scans that run over every line
// of a file. Internal to the engine.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>

// Bit 7 of every byte of word that equals c. Bits above the first such
// byte may be set wrongly, so the lowest bit found is exact and any bit at
// all means "maybe".
inline uint64_t ncBytesEqual(uint64_t word, uint8_t c) {
    constexpr uint64_t kOnes = 0x0101010101010101u, kHighs = 0x8080808080808080u;
    uint64_t x = word ^ (kOnes * c);
    return (x - kOnes) & ~x & kHighs;
}

// Bit 7 of every byte of word that is a capital letter, exactly. Bytes of
// 0x80 and above are never capitals; their high bits are cleared before the
// sums, so that no sum carries into the next byte.
inline uint64_t ncCapitalBytes(uint64_t word) {
    constexpr uint64_t kLow7 = 0x7F7F7F7F7F7F7F7Fu, kHighs = 0x8080808080808080u;
    uint64_t y = word & kLow7;
    uint64_t fromA = y + 0x3F3F3F3F3F3F3F3Fu;  // bit 7 set where y >= 'A'
    uint64_t pastZ = y + 0x2525252525252525u;  // bit 7 set where y > 'Z'
    return fromA & ~pastZ & ~word & kHighs;
}

// Where the first byte equal to a or b lies among the size bytes at bytes,
// or size when there is none. Whole words are read only where they fit,
// so nothing past the last byte is touched (the end of a mapped file, say).
inline size_t ncFindEither(const void* bytes, size_t size, uint8_t a, uint8_t b) {
    const auto* p = static_cast<const unsigned char*>(bytes);
    size_t i = 0;
    for (; size - i >= 8; i += 8) {
        uint64_t word;
        memcpy(&word, p + i, sizeof word);
        uint64_t found = ncBytesEqual(word, a) | ncBytesEqual(word, b);
        if (found != 0) return i + static_cast<size_t>(std::countr_zero(found)) / 8;
    }
    while (i < size && p[i] != a && p[i] != b) ++i;
    return i;
}
