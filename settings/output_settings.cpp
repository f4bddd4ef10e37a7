#include "settings/output_settings.h"

OutputSettings gOutputSettings;

static void PutLittleEndian(unsigned char* bytes, int32_t value) {
    uint32_t bits = static_cast<uint32_t>(value);
    for (int i = 0; i < 4; ++i) bytes[i] = static_cast<unsigned char>(bits >> (8 * i));
}

static int32_t GetLittleEndian(const unsigned char* bytes) {
    uint32_t bits = 0;
    for (int i = 0; i < 4; ++i) bits |= static_cast<uint32_t>(bytes[i]) << (8 * i);
    return static_cast<int32_t>(bits);
}

void EncodeSettingsBlob(const OutputSettings* settings, unsigned char* blob) {
    PutLittleEndian(blob + 0, settings->colorFormat);
    PutLittleEndian(blob + 4, settings->aspectMode);
    PutLittleEndian(blob + 8, settings->pixelAspectNum);
    PutLittleEndian(blob + 12, settings->pixelAspectDen);
    PutLittleEndian(blob + 16, settings->interlaceMode);
}

void DecodeSettingsBlob(const unsigned char* blob, OutputSettings* settings) {
    settings->colorFormat = GetLittleEndian(blob + 0);
    settings->aspectMode = GetLittleEndian(blob + 4);
    settings->pixelAspectNum = GetLittleEndian(blob + 8);
    settings->pixelAspectDen = GetLittleEndian(blob + 12);
    settings->interlaceMode = GetLittleEndian(blob + 16);
}

bool SettingsInRange(const OutputSettings* settings) {
    if (settings->colorFormat != Yuv420 && settings->colorFormat != Yuv422) return false;
    if (settings->aspectMode < AspectUnspecified || settings->aspectMode > AspectCustomPixel) return false;
    if (settings->aspectMode == AspectCustomPixel && (settings->pixelAspectNum < 1 || settings->pixelAspectDen < 1))
        return false;
    return settings->interlaceMode >= Progressive && settings->interlaceMode <= InterlacedBottomFirst;
}

// The frame height has to be a multiple of this: 1 unless 4:2:0 (and every
// colour code outside the range counts as not 4:2:0); 4 when 4:2:0 is
// interlaced (any scan code but progressive); else 2.
static int32_t RequiredHeightMultiple(const OutputSettings* settings) {
    if (settings->colorFormat != Yuv420) return 1;
    return settings->interlaceMode != Progressive ? 4 : 2;
}

int CheckOutputParameters(int32_t width, int32_t height) {
    // Remainders in truncating division: negative multiples pass as well.
    bool widthEven = width % 2 == 0;
    bool heightFits = height % RequiredHeightMultiple(&gOutputSettings) == 0;
    return widthEven && heightFits && SettingsInRange(&gOutputSettings) ? 1 : 0;
}
