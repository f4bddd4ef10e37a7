// The converter table's slots and the helpers the initialisers fill them
// with: the C initialiser fills every slot, each SIMD level's overrides the
// slots it has faster code for (convert/x86/converters_x86.h).
#pragma once

#include <utility>

#include "convert/deep_conversion.h"
#include "convert/frame_conversion.h"
#include "convert/frame_rows.h"
#include "convert/host_pictures.h"
#include "settings/color_formats.h"

enum { ScanCount = 2 };  // progressive, interlaced

struct ConverterTable {
    // [picture][format][interlaced?], by the rows' places in their tables;
    // null where a format is not made from that picture.
    FrameConverter convert[HostPictureCount][ColorFormatCount][ScanCount];
};

// The 8-bit formats from YUY2: 4:2:0 has a converter per scan, 4:2:2 one for both.
constexpr void SetYuy2Slots(ConverterTable* table, FrameConverter progressive420, FrameConverter interlaced420,
                            FrameConverter planar422) {
    FrameConverter(&slots)[ColorFormatCount][ScanCount] = table->convert[HostPictureIndexOf(FrameFormatYuy2)];
    const int32_t at420 = ColorFormatIndexOf(Yuv420), at422 = ColorFormatIndexOf(Yuv422);
    slots[at420][0] = progressive420;
    slots[at420][1] = interlaced420;
    slots[at422][0] = planar422;
    slots[at422][1] = planar422;
}

// Frame loops over one level's YUY2 row kernels.
template <RowPair420Kernel Rows420, RowGroup420InterlacedKernel Rows420Interlaced, Row422Kernel Row422>
constexpr void SetYuy2RowSlots(ConverterTable* table) {
    SetYuy2Slots(table, ConvertFrame420With<Rows420>, ConvertFrame420InterlacedWith<Rows420Interlaced>,
                 ConvertFrame422With<Row422>);
}

// Every format made from the precise pictures, from `Picture` through its
// sample kernel `Samples`: both scans, the interlaced one filtering chroma
// within each field where chroma rows are shared.
template <PixelSampleKernel Samples, int32_t Picture, int32_t Format>
constexpr void SetDeepSlot(ConverterTable* table) {
    constexpr const ColorFormatInfo& format = ColorFormats[Format];
    if constexpr (format.picture == PicturePrecise) {
        table->convert[Picture][Format][0] = ConvertDeepFrameWith<Samples, Picture, Format, false>;
        table->convert[Picture][Format][1] =
            ConvertDeepFrameWith<Samples, Picture, Format, format.chromaHeightShift != 0>;
    }
}
template <PixelSampleKernel Samples, int32_t Picture, int32_t... Formats>
constexpr void SetDeepSlots(ConverterTable* table, std::integer_sequence<int32_t, Formats...>) {
    (SetDeepSlot<Samples, Picture, Formats>(table), ...);
}
template <PixelSampleKernel Samples, uint32_t PictureFormat>
constexpr void SetDeepSlots(ConverterTable* table) {
    static_assert(
        HostPictureIndexOf(PictureFormat) >= 0 && HostPictures[HostPictureIndexOf(PictureFormat)].coding != CodedYuy2,
        "deep samples come from a precise picture");
    SetDeepSlots<Samples, HostPictureIndexOf(PictureFormat)>(table,
                                                             std::make_integer_sequence<int32_t, ColorFormatCount>());
}
