// The command line of y4mhost.
#pragma once

#include <stdint.h>

#include <string>

struct HostOptions {
    std::string pluginPath;
    std::string videoPath;   // a video file, decoded (native build)
    std::string rawPath;     // raw packed YUY2; "-": standard input
    std::string outputPath;  // "-": standard output
    std::string settingsPath;
    std::string saveSettingsPath;
    std::string encoderCommand;  // the stream goes into this command's standard input
    int32_t width = 1280, height = 720;
    int32_t rate = 30000, scale = 1001;
    bool sizeGiven = false, rateGiven = false;
    int32_t frames = -1;  // -1: as many as the source has
    // Settings fields given on the command line; -1 leaves the blob's value.
    int32_t colorFormat = -1, aspectMode = -1, aspectNum = 0, aspectDen = 0, interlaceMode = -1;
    bool config = false;
    bool still = false;      // serve one pre-rendered frame for every index
    bool quiet = false;      // no message-box echo, no progress bar
    bool overwrite = false;  // an existing output file may be replaced
    bool help = false;
    bool version = false;
};

// Fills options from argv; on a bad command line returns false with one line
// of explanation in *error.
bool ParseHostOptions(int argc, char** argv, HostOptions* options, std::string* error);

extern const char HostUsage[];

// A colour format's name for --format ("420", "422p10"), or its number.
std::string ColorFormatOptionName(int32_t code);
