#include "convert/converter_table.h"

#include "convert/deep_samples.h"
#include "platform/cpu_features.h"
#if PLATFORM_X86
#include "convert/x86/converters_x86.h"
#endif

static bool Always(void) { return true; }

// The reference: every slot a format and a picture can have.
static constexpr void InitConverters_C(ConverterTable* table) {
    SetYuy2Slots(table, ConvertYUY2To420, ConvertYUY2To420Interlaced, ConvertYUY2To422);
    SetDeepSlots<Yc48Samples_C, FrameFormatYc48>(table);
    SetDeepSlots<Pa64Samples_C, FrameFormatPa64>(table);
}

struct ConverterLevel {
    const char* name;
    void (*init)(ConverterTable* table);
    bool (*available)(void);
};
static constexpr ConverterLevel Levels[] = {
    {"C", InitConverters_C, Always},
#if PLATFORM_X86
    {"SSE2", InitConverters_SSE2, CpuHasSse2},
    {"AVX2", InitConverters_AVX2, CpuHasAvx2},
#endif
};
enum { LevelCount = sizeof Levels / sizeof Levels[0] };

// A level's table: the C slots, then each level up to this one overriding its own.
static constexpr ConverterVariant VariantOf(int level) {
    ConverterVariant variant = {Levels[level].name, {}, Levels[level].available};
    for (int i = 0; i <= level; ++i) Levels[i].init(&variant.table);
    return variant;
}

// Filled by the compiler: no code runs to build them.
static constexpr ConverterVariant Variants[] = {
    VariantOf(0),
#if PLATFORM_X86
    VariantOf(1),
    VariantOf(2),
#endif
};
static_assert(sizeof Variants / sizeof Variants[0] == LevelCount, "a level without its table");

int ConverterVariantCount(void) { return static_cast<int>(LevelCount); }

const ConverterVariant* ConverterVariantAt(int index) { return &Variants[index]; }

const ConverterVariant* FastestConverterVariant(void) {
    const ConverterVariant* fastest = &Variants[0];
    for (const ConverterVariant& variant : Variants)
        if (variant.available()) fastest = &variant;
    return fastest;
}

FrameConverter ConverterIn(const ConverterVariant* variant, uint32_t picture, int32_t code, bool interlaced) {
    const HostPictureInfo* pictureRow = FindHostPicture(picture);
    const ColorFormatInfo* format = FindColorFormat(code);
    if (pictureRow == nullptr || format == nullptr) return nullptr;
    return variant->table.convert[HostPictureIndex(pictureRow)][ColorFormatIndex(format)][interlaced ? 1 : 0];
}

uint32_t SourcePictureOf(const OutputSettings* settings, uint32_t precisePicture) {
    return ColorFormatOrDefault(settings->colorFormat)->picture == PicturePrecise ? precisePicture : FrameFormatYuy2;
}

int64_t PlanarFrameSize(const OutputSettings* settings, int32_t width, int32_t height) {
    const ColorFormatInfo* format = ColorFormatOrDefault(settings->colorFormat);
    // At most 6 bytes a pixel: past 2^60 pixels the product could overflow,
    // and no export holds such a frame anyway.
    const int64_t pixels = static_cast<int64_t>(width) * height;
    if (pixels > (INT64_C(1) << 60) || pixels < -(INT64_C(1) << 60)) return INT64_MAX;
    const int64_t chroma =
        static_cast<int64_t>(width >> format->chromaWidthShift) * (height >> format->chromaHeightShift);
    return SampleBytes(format) * (pixels + 2 * chroma);
}

FrameConverter ChooseFrameConverter(const OutputSettings* settings, uint32_t precisePicture) {
    return ChooseFrameConverterOf(FastestConverterVariant(), settings, precisePicture);
}

FrameConverter ChooseFrameConverterOf(const ConverterVariant* variant, const OutputSettings* settings,
                                      uint32_t precisePicture) {
    return ConverterIn(variant, SourcePictureOf(settings, precisePicture),
                       ColorFormatOrDefault(settings->colorFormat)->code, settings->interlaceMode != Progressive);
}
