// The colour formats a stream can be written in, as facts the check, the
// report, the header, the frame layout, the converters and the dialog read,
// so that a new format is a new row rather than a new branch in each of them.
#pragma once

#include <stdint.h>

enum ChromaLayout : int32_t { Chroma420 = 0, Chroma422 = 1, Chroma444 = 2 };

// Which of the host's pictures a format is made from: its packed 8-bit YUY2
// frame, or the most precise picture it holds (AviUtl 1.x's YC48, ExEdit2's
// PA64; the boundary says which).
enum HostPicture : int32_t { PictureYuy2 = 0, PicturePrecise = 1 };

struct ColorFormatInfo {
    int32_t code;  // the settings' colorFormat: layout + 3 x depth step
    ChromaLayout layout;
    int32_t bits;  // bits a sample; a sample takes one byte up to 8, two above
    HostPicture picture;
    const char* headerTag;  // the header's colour tag, one piece with its leading space
    const char* name;       // as the settings text shows it
};

// The row of a colorFormat code, or null for a code outside the table.
const ColorFormatInfo* FindColorFormat(int32_t code);
// The row the header and frame size fall back to for a code outside the
// table (refused before anything is written): 8-bit 4:2:0.
const ColorFormatInfo* ColorFormatOrDefault(int32_t code);

// Codes are layout + 3 x depth step (8, 10, 12 bits), as the dialog composes them.
enum { ColorFormatDepthSteps = 3 };
inline int32_t ColorFormatCode(ChromaLayout layout, int32_t depthStep) { return layout + 3 * depthStep; }

// Chroma planes are width / 2 wide except in 4:4:4, and height / 2 high in 4:2:0.
inline int32_t ChromaWidthShift(ChromaLayout layout) { return layout == Chroma444 ? 0 : 1; }
inline int32_t ChromaHeightShift(ChromaLayout layout) { return layout == Chroma420 ? 1 : 0; }
inline int32_t SampleBytes(const ColorFormatInfo* format) { return format->bits > 8 ? 2 : 1; }
