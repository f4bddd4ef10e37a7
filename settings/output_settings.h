// The plug-in's one settings record and its 20-byte persisted form.
#pragma once

#include <stdint.h>

// Layout + 3 x depth step: settings/color_formats.cpp holds each code's facts.
enum ColorFormat : int32_t {
    Yuv420 = 0,
    Yuv422 = 1,
    Yuv444 = 2,
    Yuv420P10 = 3,
    Yuv422P10 = 4,
    Yuv444P10 = 5,
    Yuv420P12 = 6,
    Yuv422P12 = 7,
    Yuv444P12 = 8,
};
enum AspectMode : int32_t {
    AspectUnspecified = 0,
    AspectDisplay4x3 = 1,
    AspectDisplay16x9 = 2,
    AspectCustomPixel = 3,
};
enum InterlaceMode : int32_t { Progressive = 0, InterlacedTopFirst = 1, InterlacedBottomFirst = 2 };

// Any field may hold any value: a blob is stored as given and judged only
// when an export starts.
struct OutputSettings {
    int32_t colorFormat;
    int32_t aspectMode;
    int32_t pixelAspectNum;  // custom pixel aspect, used only with AspectCustomPixel
    int32_t pixelAspectDen;
    int32_t interlaceMode;
};

enum { SettingsBlobSize = 20 };

// The module-wide record: all zero at load.
extern OutputSettings gOutputSettings;

// The blob is the five fields in order, each little-endian two's complement.
void EncodeSettingsBlob(const OutputSettings* settings, unsigned char* blob);
void DecodeSettingsBlob(const unsigned char* blob, OutputSettings* settings);

// Every field holds one of its codes (and a custom aspect has both numbers >= 1).
bool SettingsInRange(const OutputSettings* settings);

// What the colour format and scan ask of the frame size.
int32_t RequiredWidthMultiple(const OutputSettings* settings);
int32_t RequiredHeightMultiple(const OutputSettings* settings);
// Whether the settings suit a frame of this size (no side effects).
int CheckOutputParameters(const OutputSettings* settings, int32_t width, int32_t height);
// Composes in MessageBuffer the report of every reason CheckOutputParameters
// refused; ReportParameterProblems also shows it in one message box.
void ComposeParameterProblems(const OutputSettings* settings, int32_t width, int32_t height);
void ReportParameterProblems(const OutputSettings* settings, int32_t width, int32_t height);
