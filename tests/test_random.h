// The tests' one pseudo-random generator (xorshift32): the same bytes for the
// same seed on every build, native, Windows and fuzzing alike.
#pragma once

#include <stddef.h>
#include <stdint.h>

#include <vector>

inline uint32_t NextRandom(uint32_t* state) {
    *state ^= *state << 13;
    *state ^= *state >> 17;
    *state ^= *state << 5;
    return *state;
}

inline void FillRandom(uint8_t* bytes, size_t count, uint32_t seed) {
    uint32_t state = seed * 2654435761u + 1;
    for (size_t i = 0; i < count; ++i) bytes[i] = static_cast<uint8_t>(NextRandom(&state) >> 24);
}

inline std::vector<uint8_t> RandomBytes(size_t count, uint32_t seed) {
    std::vector<uint8_t> bytes(count);
    FillRandom(bytes.data(), count, seed);
    return bytes;
}
