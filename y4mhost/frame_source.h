// Where y4mhost's frames come from: the test pattern, raw YUY2 frames, or a
// video file. Each kind lives in a file of its own behind these slots
// (source_pattern.cpp, source_raw.cpp, source_video.cpp), as the plug-in's
// interfaces do behind plugin_session.h.
#pragma once

#include <stdint.h>

#include <string>
#include <vector>

#include "settings/output_settings.h"
#include "y4mhost/host_options.h"

struct FrameSourceKind {
    // Opens the source and settles, where the command line says nothing,
    // the size, rate and frame count (and, for a video file, the settings it
    // suggests); false with one line in *error.
    bool (*open)(HostOptions* o, OutputSettings* settings, bool settingsGiven, std::string* error);
    // Bytes the source holds at once serving width x height frames as
    // `picture`; -1 when it cannot make pictures of that size.
    int64_t (*bytesHeld)(int32_t width, int32_t height, uint32_t picture);
    // Serves frames as `picture` from now on; the size is final and judged to
    // fit. fieldOrder is the settings' scan (the pattern draws its fields);
    // still: one frame for every index.
    void (*start)(int32_t width, int32_t height, uint32_t picture, int32_t fieldOrder, bool still);
    // Frame `index` in that picture, valid until the next call; null when the
    // input ended (*error empty) or failed (*error the line to show).
    const uint8_t* (*frame)(int32_t index, std::string* error);
    // The line before the export: what is made of the source; nothing for
    // sources that are already the request.
    void (*describe)(const HostOptions& o, const OutputSettings& settings);
    // Releases everything (a decoding thread is stopped and joined); safe at
    // any point, twice. Then what the summary adds of the input, or "".
    std::string (*close)(void);
};

extern const FrameSourceKind PatternSource;
extern const FrameSourceKind RawSource;
// A build without FFmpeg's libraries has one that refuses every file.
extern const FrameSourceKind VideoSource;

// The kind the command line names: a video file, raw frames, else the pattern.
const FrameSourceKind* SourceKindFor(const HostOptions& o);

// Every frame must fit the host's 32-bit sizes: judged before anything of
// that size is allocated.
bool FrameSizeFits(const HostOptions& o, uint32_t picture, std::string* error);
std::string Ratio(int32_t a, int32_t b, const char* between);
const char* PictureName(uint32_t format);

// The pattern's and raw input's frames: YUY2, and the precise picture made
// from it when the export asks for one (once, for a still frame).
struct Yuy2Frames {
    int32_t width, height;
    uint32_t picture;
    bool still, preciseMade;
    std::vector<uint8_t> frame, precise;
};
void StartYuy2Frames(Yuy2Frames* frames, int32_t width, int32_t height, uint32_t picture, bool still);
// Bytes those frames hold at once.
int64_t Yuy2FramesBytes(int32_t width, int32_t height, uint32_t picture);
// The frame in the picture asked for, from the YUY2 frame just filled.
const uint8_t* Yuy2FrameAsPicture(Yuy2Frames* frames);
