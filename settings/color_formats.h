// The colour formats a stream can be written in, as facts the check, the
// report, the header, the frame layout, the converters, the dialog and
// y4mhost read, so that a new format is a new row rather than a new branch
// in each of them. Nothing is computed from a code: it only names its row.
#pragma once

#include <stddef.h>
#include <stdint.h>

#include "settings/output_settings.h"

// Which chroma step a format's converters take: each row pair averaged
// (4:2:0), every row's own (4:2:2), or none (4:4:4).
enum ChromaLayout : int32_t { Chroma420 = 0, Chroma422 = 1, Chroma444 = 2 };

// Which of the host's pictures a format is made from: its packed 8-bit YUY2
// frame, or the most precise picture it holds (AviUtl 1.x's YC48, ExEdit2's
// PA64; the boundary says which).
enum HostPicture : int32_t { PictureYuy2 = 0, PicturePrecise = 1 };

// The dialog's depth buttons, top to bottom, and its layout buttons, which
// follow ChromaLayout.
enum DepthChoice : int32_t { Depth8Bits = 0, Depth10Bits = 1, Depth12Bits = 2 };

struct ColorFormatInfo {
    int32_t code;  // the settings' colorFormat
    ChromaLayout layout;
    // Chroma planes are width >> chromaWidthShift wide and height >>
    // chromaHeightShift high.
    int32_t chromaWidthShift, chromaHeightShift;
    int32_t bits;  // bits a sample; a sample takes one byte up to 8, two above
    HostPicture picture;
    const char* headerTag;   // the header's colour tag, one piece with its leading space
    const char* name;        // as the settings text shows it
    const char* option;      // y4mhost's --format
    const char* chroma;      // the layout's digits, as an encoder's command line takes them
    const char* layoutName;  // the layout as messages say it
    DepthChoice depthChoice;
    // The frame's width must be a multiple of widthMultiple, its height of
    // heightMultiple[0] when progressive and [1] when interlaced (any scan
    // code but progressive).
    int32_t widthMultiple;
    int32_t heightMultiple[2];
};

// In code order. Only the two YUY2 formats were written before deep colour:
// their tags stay as readers have always had them; the deep ones say their
// range, since they are made from a picture that carries it.
// clang-format off
inline constexpr ColorFormatInfo ColorFormats[] = {
    {Yuv420,    Chroma420, 1, 1, 8,  PictureYuy2,    " C420mpeg2 XYSCSS=420MPEG2", "YUV 420", "420", "420", "4:2:0", Depth8Bits, 2, {2, 4}},
    {Yuv422,    Chroma422, 1, 0, 8,  PictureYuy2,    " C422 XYSCSS=422", "YUV 422", "422", "422", "4:2:2", Depth8Bits, 2, {1, 1}},
    {Yuv444,    Chroma444, 0, 0, 8,  PicturePrecise, " C444 XYSCSS=444 XCOLORRANGE=LIMITED", "YUV 444", "444", "444", "4:4:4", Depth8Bits, 1, {1, 1}},
    {Yuv420P10, Chroma420, 1, 1, 10, PicturePrecise, " C420p10 XYSCSS=420P10 XCOLORRANGE=LIMITED", "YUV 420 10 bit", "420p10", "420", "4:2:0", Depth10Bits, 2, {2, 4}},
    {Yuv422P10, Chroma422, 1, 0, 10, PicturePrecise, " C422p10 XYSCSS=422P10 XCOLORRANGE=LIMITED", "YUV 422 10 bit", "422p10", "422", "4:2:2", Depth10Bits, 2, {1, 1}},
    {Yuv444P10, Chroma444, 0, 0, 10, PicturePrecise, " C444p10 XYSCSS=444P10 XCOLORRANGE=LIMITED", "YUV 444 10 bit", "444p10", "444", "4:4:4", Depth10Bits, 1, {1, 1}},
    {Yuv420P12, Chroma420, 1, 1, 12, PicturePrecise, " C420p12 XYSCSS=420P12 XCOLORRANGE=LIMITED", "YUV 420 12 bit", "420p12", "420", "4:2:0", Depth12Bits, 2, {2, 4}},
    {Yuv422P12, Chroma422, 1, 0, 12, PicturePrecise, " C422p12 XYSCSS=422P12 XCOLORRANGE=LIMITED", "YUV 422 12 bit", "422p12", "422", "4:2:2", Depth12Bits, 2, {1, 1}},
    {Yuv444P12, Chroma444, 0, 0, 12, PicturePrecise, " C444p12 XYSCSS=444P12 XCOLORRANGE=LIMITED", "YUV 444 12 bit", "444p12", "444", "4:4:4", Depth12Bits, 1, {1, 1}},
};
// clang-format on
enum : int32_t { ColorFormatCount = static_cast<int32_t>(sizeof ColorFormats / sizeof ColorFormats[0]) };

// Places in the table, -1 for none: constant expressions compare these
// rather than pointers (which the sanitizers' builds cannot fold).
constexpr int32_t ColorFormatIndexOf(int32_t code) {
    for (int32_t i = 0; i < ColorFormatCount; ++i)
        if (ColorFormats[i].code == code) return i;
    return -1;
}
constexpr int32_t ColorFormatIndexOf(ChromaLayout layout, DepthChoice depth) {
    for (int32_t i = 0; i < ColorFormatCount; ++i)
        if (ColorFormats[i].layout == layout && ColorFormats[i].depthChoice == depth) return i;
    return -1;
}

// The row of a colorFormat code, or null for a code outside the table.
constexpr const ColorFormatInfo* FindColorFormat(int32_t code) {
    return ColorFormatIndexOf(code) < 0 ? nullptr : &ColorFormats[ColorFormatIndexOf(code)];
}
// The row the header and frame size fall back to for a code outside the
// table (refused before anything is written): 8-bit 4:2:0.
constexpr const ColorFormatInfo* ColorFormatOrDefault(int32_t code) {
    const ColorFormatInfo* format = FindColorFormat(code);
    return format != nullptr ? format : &ColorFormats[0];
}
// The row of a layout and a depth button, or null when no format is both.
constexpr const ColorFormatInfo* FindColorFormatOf(ChromaLayout layout, DepthChoice depth) {
    return ColorFormatIndexOf(layout, depth) < 0 ? nullptr : &ColorFormats[ColorFormatIndexOf(layout, depth)];
}
// A row's place in the table, for tables kept beside it.
constexpr int32_t ColorFormatIndex(const ColorFormatInfo* format) {
    return static_cast<int32_t>(format - ColorFormats);
}

constexpr int32_t SampleBytes(const ColorFormatInfo* format) { return format->bits > 8 ? 2 : 1; }

// Every row's facts agree with each other: the multiples are what the
// chroma shifts need, and interlaced 4:2:0 keeps whole chroma rows per field.
constexpr bool RowsAgree(void) {
    for (int32_t i = 0; i < ColorFormatCount; ++i) {
        const ColorFormatInfo& f = ColorFormats[i];
        if (f.chromaWidthShift != (f.layout == Chroma444 ? 0 : 1)) return false;
        if (f.chromaHeightShift != (f.layout == Chroma420 ? 1 : 0)) return false;
        if (f.widthMultiple != 1 << f.chromaWidthShift) return false;
        if (f.heightMultiple[0] != 1 << f.chromaHeightShift) return false;
        if (f.heightMultiple[1] != 2 * f.heightMultiple[0] && f.chromaHeightShift != 0) return false;
        if (f.bits < 8 || f.bits > 16 || (f.picture == PictureYuy2 && f.bits != 8)) return false;
        if (ColorFormatIndexOf(f.code) != i || ColorFormatIndexOf(f.layout, f.depthChoice) != i) return false;
    }
    return true;
}
static_assert(RowsAgree(), "a colour format row contradicts itself or another row");
