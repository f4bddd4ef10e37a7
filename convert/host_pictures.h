// The pictures a host hands a frame in, as facts the core, the converters,
// their tests and y4mhost read: a new picture is a row here and its sample
// kernels in the converter table (convert/converter_table.cpp).
#pragma once

#include <stdint.h>

// Each picture is named by its four bytes in memory order read as a
// little-endian word: packed 8-bit YUY2 (both hosts), AviUtl 1.x's YC48
// (signed 16-bit Y, Cb, Cr a pixel) and ExEdit2's PA64 (16-bit premultiplied
// R, G, B, A a pixel).
enum : uint32_t {
    FrameFormatYuy2 = 0x32595559u,  // 'YUY2'
    FrameFormatYc48 = 0x38344359u,  // 'YC48'
    FrameFormatPa64 = 0x34364150u,  // 'PA64'
};

// What a precise picture's values are, which says the matrices its deep
// samples are made with (convert/deep_samples.cpp).
enum PictureCoding : int32_t {
    CodedYuy2,   // 8-bit Y'CbCr as the host made it: the 8-bit converters copy it
    CodedYcbcr,  // BT.601 Y'CbCr: Y' 0 to unit, Cb and Cr -unit/2 to unit/2
    CodedRgb,    // R'G'B' 0 to unit
};

struct HostPictureInfo {
    uint32_t format;
    int32_t pixelBytes;  // rows have no padding
    const char* name;    // in messages
    PictureCoding coding;
    double unit;  // the value of a full-scale component
    // Its sample kernels compute in 16-bit fixed point up to this depth, in
    // single precision above (convert/deep_samples.h).
    int32_t fixedPointUpToBits;
};

inline constexpr HostPictureInfo HostPictures[] = {
    {FrameFormatYuy2, 2, "YUY2", CodedYuy2, 255.0, 0},
    {FrameFormatYc48, 6, "YC48", CodedYcbcr, 4096.0, 10},
    {FrameFormatPa64, 8, "PA64", CodedRgb, 65535.0, 10},
};
enum : int32_t { HostPictureCount = static_cast<int32_t>(sizeof HostPictures / sizeof HostPictures[0]) };

// A picture word's place in the table, -1 for none.
constexpr int32_t HostPictureIndexOf(uint32_t format) {
    for (int32_t i = 0; i < HostPictureCount; ++i)
        if (HostPictures[i].format == format) return i;
    return -1;
}
// The row of a picture word, or null for a word that names none.
constexpr const HostPictureInfo* FindHostPicture(uint32_t format) {
    return HostPictureIndexOf(format) < 0 ? nullptr : &HostPictures[HostPictureIndexOf(format)];
}
// A row's place in the table, for tables kept beside it.
constexpr int32_t HostPictureIndex(const HostPictureInfo* picture) {
    return static_cast<int32_t>(picture - HostPictures);
}

// Bytes a pixel of the picture takes; 0 for a word that names none.
constexpr int32_t FramePixelBytes(uint32_t format) {
    const HostPictureInfo* picture = FindHostPicture(format);
    return picture != nullptr ? picture->pixelBytes : 0;
}
