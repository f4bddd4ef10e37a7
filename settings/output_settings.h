// The plug-in's one settings record and its 20-byte persisted form.
#pragma once

#include <stdint.h>

// The values the settings store: settings/color_formats.h holds each one's facts.
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
// Where the stream goes: the file the host names, or the standard input of
// one of the user's own encoder commands, named in their commands file.
enum Destination : int32_t { DestinationFile = 0, DestinationEncoder = 1 };

// A command's name, UTF-8, NUL-terminated: at most 63 bytes.
enum { EncoderNameSize = 64 };

// Any field may hold any value: a blob is stored as given and judged only
// when an export starts.
struct OutputSettings {
    int32_t colorFormat;
    int32_t aspectMode;
    int32_t pixelAspectNum;  // custom pixel aspect, used only with AspectCustomPixel
    int32_t pixelAspectDen;
    int32_t interlaceMode;
    // Never in the 20-byte blob, so every older project and module still reads
    // a file export's settings exactly as before.
    int32_t destination;
    char encoderName[EncoderNameSize];  // the command, with DestinationEncoder
};

// The file's blob is the five fields; an encoder's adds the destination and
// the command's name (never the command line itself).
enum {
    SettingsBlobSize = 20,
    EncoderSettingsBlobSize = SettingsBlobSize + 4 + EncoderNameSize,
    MaxSettingsBlobSize = EncoderSettingsBlobSize
};

// The module-wide record: all zero at load.
extern OutputSettings gOutputSettings;

// SettingsBlobSize for a file export, EncoderSettingsBlobSize for an encoder.
int32_t SettingsBlobSizeOf(const OutputSettings* settings);
// Writes SettingsBlobSizeOf(settings) bytes (settings/settings_blob.cpp).
void EncodeSettingsBlob(const OutputSettings* settings, unsigned char* blob);
// Takes a blob of either size whole; false, with the settings unchanged, for
// any other size.
bool DecodeSettingsBlob(const unsigned char* blob, int32_t size, OutputSettings* settings);

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
