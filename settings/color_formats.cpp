#include "settings/color_formats.h"

#include "settings/output_settings.h"

static const ColorFormatInfo ColorFormats[] = {
    {Yuv420, Chroma420, 8, " C420mpeg2 XYSCSS=420MPEG2", "YUV 420"},
    {Yuv422, Chroma422, 8, " C422 XYSCSS=422", "YUV 422"},
};

const ColorFormatInfo* FindColorFormat(int32_t code) {
    for (const ColorFormatInfo& format : ColorFormats)
        if (format.code == code) return &format;
    return nullptr;
}
