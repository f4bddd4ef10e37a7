#include "settings/color_formats.h"

#include "settings/output_settings.h"

// In code order. Only the two YUY2 formats were written before deep colour:
// their tags stay as readers have always had them; the deep ones say their
// range, since they are made from a picture that carries it.
static const ColorFormatInfo ColorFormats[] = {
    {Yuv420, Chroma420, 8, PictureYuy2, " C420mpeg2 XYSCSS=420MPEG2", "YUV 420"},
    {Yuv422, Chroma422, 8, PictureYuy2, " C422 XYSCSS=422", "YUV 422"},
    {Yuv444, Chroma444, 8, PicturePrecise, " C444 XYSCSS=444 XCOLORRANGE=LIMITED", "YUV 444"},
    {Yuv420P10, Chroma420, 10, PicturePrecise, " C420p10 XYSCSS=420P10 XCOLORRANGE=LIMITED", "YUV 420 10 bit"},
    {Yuv422P10, Chroma422, 10, PicturePrecise, " C422p10 XYSCSS=422P10 XCOLORRANGE=LIMITED", "YUV 422 10 bit"},
    {Yuv444P10, Chroma444, 10, PicturePrecise, " C444p10 XYSCSS=444P10 XCOLORRANGE=LIMITED", "YUV 444 10 bit"},
    {Yuv420P12, Chroma420, 12, PicturePrecise, " C420p12 XYSCSS=420P12 XCOLORRANGE=LIMITED", "YUV 420 12 bit"},
    {Yuv422P12, Chroma422, 12, PicturePrecise, " C422p12 XYSCSS=422P12 XCOLORRANGE=LIMITED", "YUV 422 12 bit"},
    {Yuv444P12, Chroma444, 12, PicturePrecise, " C444p12 XYSCSS=444P12 XCOLORRANGE=LIMITED", "YUV 444 12 bit"},
};

const ColorFormatInfo* FindColorFormat(int32_t code) {
    for (const ColorFormatInfo& format : ColorFormats)
        if (format.code == code) return &format;
    return nullptr;
}

const ColorFormatInfo* ColorFormatOrDefault(int32_t code) {
    const ColorFormatInfo* format = FindColorFormat(code);
    return format != nullptr ? format : &ColorFormats[0];
}
