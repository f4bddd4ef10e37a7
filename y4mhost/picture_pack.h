// Decoded pictures packed into the host's frames. YUY2, as exactly as YUY2
// allows: 8-bit limited-range 4:2:0 and 4:2:2 at their own size sample for
// sample; deeper or full-range 4:2:0 and 4:2:2 first brought to 8-bit limited
// range at their own chroma layout, as ffmpeg brings them; anything else (other
// layouts, RGB, another size) through libswscale. The precise pictures (YC48,
// PA64: y4mhost/precise_picture.h) straight from the samples of limited-range
// Y'CbCr of 8 to 12 bits at its own size; anything else first through
// libswscale to 12 bits (deeper sources, full range, RGB, another size).
#pragma once

#include <stdint.h>

#include <string>

extern "C" {
#include <libavutil/frame.h>
#include <libavutil/pixfmt.h>
}

// What the line before the export says of the source's pictures, and what
// packing them into YUY2 makes of them.
struct SourcePictures {
    std::string description;  // "yuv420p10le, limited range"
    std::string layout;       // "4:2:0", "4:2:2", "4:4:4", ..., "RGB"
    int depth;                // bits a sample
    bool fullRange;
    int32_t nearestColorFormat;  // the colour format code nearest its layout and depth
};
SourcePictures DescribeSourcePictures(AVPixelFormat format, AVColorRange range);

// One picture into a frame of width x height pixels in the host's picture
// format (FrameFormatYuy2, FrameFormatYc48 or FrameFormatPa64); false with
// *error when libswscale cannot convert its format.
bool PackPicture(const AVFrame* picture, int32_t width, int32_t height, uint32_t format, uint8_t* frame,
                 std::string* error);
void ClosePicturePacker();
