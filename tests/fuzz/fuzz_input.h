// Reads fuzzer bytes as the values a host could hand the plug-in; past the
// end every value reads as zero.
#pragma once

#include <stddef.h>
#include <stdint.h>
#include <string.h>

struct FuzzInput {
    const uint8_t* data;
    size_t size;
    size_t used;
};

inline uint32_t TakeU32(FuzzInput* in) {
    uint8_t bytes[4] = {};
    for (int i = 0; i < 4 && in->used < in->size; ++i) bytes[i] = in->data[in->used++];
    return bytes[0] | bytes[1] << 8 | bytes[2] << 16 | static_cast<uint32_t>(bytes[3]) << 24;
}

inline int32_t TakeI32(FuzzInput* in) { return static_cast<int32_t>(TakeU32(in)); }

inline uint8_t TakeByte(FuzzInput* in) { return in->used < in->size ? in->data[in->used++] : 0; }
