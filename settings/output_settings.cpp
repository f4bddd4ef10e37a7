#include "settings/output_settings.h"

#include "settings/color_formats.h"

OutputSettings gOutputSettings;

bool SettingsInRange(const OutputSettings* settings) {
    if (FindColorFormat(settings->colorFormat) == nullptr) return false;
    if (settings->aspectMode < AspectUnspecified || settings->aspectMode > AspectCustomPixel) return false;
    if (settings->aspectMode == AspectCustomPixel && (settings->pixelAspectNum < 1 || settings->pixelAspectDen < 1))
        return false;
    if (settings->destination != DestinationFile && settings->destination != DestinationEncoder) return false;
    return settings->interlaceMode >= Progressive && settings->interlaceMode <= InterlacedBottomFirst;
}

// Chroma shared by two pixels of a row needs an even width; a code outside
// the table is held to that too.
int32_t RequiredWidthMultiple(const OutputSettings* settings) {
    const ColorFormatInfo* format = FindColorFormat(settings->colorFormat);
    return format != nullptr ? format->widthMultiple : 2;
}

// The row's for the scan (any scan code but progressive counts as
// interlaced); 1 for a code outside the table.
int32_t RequiredHeightMultiple(const OutputSettings* settings) {
    const ColorFormatInfo* format = FindColorFormat(settings->colorFormat);
    if (format == nullptr) return 1;
    return format->heightMultiple[settings->interlaceMode != Progressive ? 1 : 0];
}

int CheckOutputParameters(const OutputSettings* settings, int32_t width, int32_t height) {
    // Remainders in truncating division: negative multiples pass as well.
    bool widthFits = width % RequiredWidthMultiple(settings) == 0;
    bool heightFits = height % RequiredHeightMultiple(settings) == 0;
    return widthFits && heightFits && SettingsInRange(settings) ? 1 : 0;
}
