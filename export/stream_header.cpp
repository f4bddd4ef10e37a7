#include "export/stream_header.h"

#include "platform/bounded_format.h"
#include "settings/color_formats.h"
#include "settings/output_settings.h"

// Euclid on signed values with truncating remainders: the result takes the
// signs the division leaves, so rate -30, scale 4 reduce to 15:-2.
static int64_t GreatestCommonDivisor(int64_t a, int64_t b) {
    while (b != 0) {
        int64_t remainder = a % b;
        a = b;
        b = remainder;
    }
    return a;
}

// " Fn:d" or " An:d" reduced by their common divisor. Both 0 have none: that
// ratio is written 0:0, which readers take as unknown.
static void AppendReducedRatio(TextComposition* text, const char* format, int64_t numerator, int64_t denominator) {
    int64_t divisor = GreatestCommonDivisor(numerator, denominator);
    if (divisor == 0) {
        AppendPiece(text, format, 0ll, 0ll);
        return;
    }
    AppendPiece(text, format, static_cast<long long>(numerator / divisor),
                static_cast<long long>(denominator / divisor));
}

int BuildStreamHeader(char* buffer, int size, const ExportJob* request, const OutputSettings* settings) {
    const int64_t width = request->width;
    const int64_t height = request->height;
    TextComposition text;
    BeginComposition(&text, buffer, size);

    // Tag order is fixed: W H F I A C.
    AppendPiece(&text, "YUV4MPEG2 W%d H%d", request->width, request->height);
    AppendReducedRatio(&text, " F%lld:%lld", request->rate, request->scale);

    if (settings->interlaceMode == InterlacedTopFirst)
        AppendPiece(&text, " It");
    else if (settings->interlaceMode == InterlacedBottomFirst)
        AppendPiece(&text, " Ib");
    else
        AppendPiece(&text, " Ip");

    // A display aspect D fills the frame when each pixel is D x height / width
    // wide: 4:3 gives (4 x height) : (3 x width), reduced.
    if (settings->aspectMode == AspectDisplay4x3)
        AppendReducedRatio(&text, " A%lld:%lld", 4 * height, 3 * width);
    else if (settings->aspectMode == AspectDisplay16x9)
        AppendReducedRatio(&text, " A%lld:%lld", 16 * height, 9 * width);
    else if (settings->aspectMode == AspectCustomPixel)
        AppendPiece(&text, " A%d:%d", settings->pixelAspectNum, settings->pixelAspectDen);
    else
        AppendPiece(&text, " A0:0");

    // A code outside the table (refused before any header is written) reads as 4:2:0.
    const ColorFormatInfo* format = FindColorFormat(settings->colorFormat);
    AppendPiece(&text, "%s", (format != nullptr ? format : FindColorFormat(Yuv420))->headerTag);

    AppendPiece(&text, "\n");
    return text.position;
}
