#include "settings/output_settings.h"

OutputSettings gOutputSettings;

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
