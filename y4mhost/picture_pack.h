// Decoded pictures packed into the host's YUY2 frames, as exactly as YUY2
// allows: 8-bit limited-range 4:2:0 and 4:2:2 at their own size sample for
// sample; deeper or full-range 4:2:0 and 4:2:2 first brought to 8-bit limited
// range at their own chroma layout, as ffmpeg brings them; anything else (other
// layouts, RGB, another size) through libswscale.
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
};
SourcePictures DescribeSourcePictures(AVPixelFormat format, AVColorRange range);

// One picture into a 2 x width x height YUY2 frame; false with *error when
// libswscale cannot convert its format.
bool PackPicture(const AVFrame* picture, int32_t width, int32_t height, uint8_t* yuy2, std::string* error);
void ClosePicturePacker();
