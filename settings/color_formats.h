// The colour formats a stream can be written in, as facts the check, the
// report, the header, the frame layout and the dialog read, so that a new
// format is a new row rather than a new branch in each of them.
#pragma once

#include <stdint.h>

enum ChromaLayout : int32_t { Chroma420 = 0, Chroma422 = 1, Chroma444 = 2 };

struct ColorFormatInfo {
    int32_t code;  // the settings' colorFormat
    ChromaLayout layout;
    int32_t bits;           // bits a sample; a sample takes one byte up to 8, two above
    const char* headerTag;  // the header's colour tag, one piece with its leading space
    const char* name;       // as the settings text shows it
};

// The row of a colorFormat code, or null for a code outside the table.
const ColorFormatInfo* FindColorFormat(int32_t code);

// Chroma planes are width / 2 wide except in 4:4:4, and height / 2 high in 4:2:0.
inline int32_t ChromaWidthShift(ChromaLayout layout) { return layout == Chroma444 ? 0 : 1; }
inline int32_t ChromaHeightShift(ChromaLayout layout) { return layout == Chroma420 ? 1 : 0; }
