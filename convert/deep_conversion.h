// Deep conversions: a frame of the host's precise picture (YC48 or PA64) to
// planar 8-, 10- or 12-bit 4:2:0, 4:2:2 or 4:4:4. The pixels become samples
// through the variant's kernel (convert/deep_samples.h); the chroma step
// below is the same for every variant.
//
// Chroma is the even pixel's own horizontally (co-sited, as YUY2 and MPEG-2
// place it); 4:2:0 averages each row pair, or filters within each field as
// the 8-bit interlaced converter does. Samples above 8 bits are two bytes,
// little-endian.
#pragma once

#include <stdint.h>

#include "convert/deep_samples.h"
#include "convert/host_pictures.h"
#include "settings/color_formats.h"

struct DeepConversion {
    PixelSampleKernel samples;  // one of the picture's kernels
    const HostPictureInfo* picture;
    const ColorFormatInfo* format;
    bool fieldChroma;  // chroma rows from within each field (4:2:0 interlaced)
};

// Writes the whole planar frame. Sizes it cannot use (below one chroma unit,
// negative values) write nothing; an odd width in 4:2:0 or 4:2:2 leaves each
// row's last luma sample unwritten, as the 8-bit converters do.
void ConvertDeepFrame(const DeepConversion* conversion, uint8_t* destination, const uint8_t* source, int32_t width,
                      int32_t height);

// One conversion per function, for the converter table: a frame converter
// of the converters' one signature, for the rows at these places.
template <PixelSampleKernel Samples, int32_t Picture, int32_t Format, bool FieldChroma>
void ConvertDeepFrameWith(uint8_t* destination, const uint8_t* source, int32_t width, int32_t height) {
    static constexpr DeepConversion conversion = {Samples, &HostPictures[Picture], &ColorFormats[Format], FieldChroma};
    ConvertDeepFrame(&conversion, destination, source, width, height);
}
