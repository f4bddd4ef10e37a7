// One export as the core sees it, whichever host asked for it: the picture,
// the rate, the frame count and the host's services, each reached through
// the boundary that translated the host's own request.
#pragma once

#include <stdint.h>

#include "settings/output_settings.h"

// The pictures a frame can be asked for in, each named by its four bytes in
// memory order read as a little-endian word: packed 8-bit YUY2 (both hosts),
// AviUtl 1.x's YC48 (signed 16-bit Y, Cb, Cr a pixel) and ExEdit2's PA64
// (16-bit premultiplied R, G, B, A a pixel).
enum : uint32_t {
    FrameFormatYuy2 = 0x32595559u,  // 'YUY2'
    FrameFormatYc48 = 0x38344359u,  // 'YC48'
    FrameFormatPa64 = 0x34364150u,  // 'PA64'
};

// Each picture as facts: its word, the bytes a pixel takes (rows have no
// padding) and its name in messages.
struct HostPictureInfo {
    uint32_t format;
    int32_t pixelBytes;
    const char* name;
};
constexpr HostPictureInfo HostPictures[] = {
    {FrameFormatYuy2, 2, "YUY2"},
    {FrameFormatYc48, 6, "YC48"},
    {FrameFormatPa64, 8, "PA64"},
};

// The row of a picture word, or null for a word that names none.
inline const HostPictureInfo* FindHostPicture(uint32_t format) {
    for (const HostPictureInfo& picture : HostPictures)
        if (picture.format == format) return &picture;
    return nullptr;
}

// Bytes a pixel of the picture takes; 0 for a word that names none.
inline int32_t FramePixelBytes(uint32_t format) {
    const HostPictureInfo* picture = FindHostPicture(format);
    return picture != nullptr ? picture->pixelBytes : 0;
}

struct ExportJob;

// Room for the output path as UTF-8: Windows' longest path, 32767 units, is
// at most three bytes a unit.
enum { OutputUtf8Room = 3 * 32768 };

typedef bool (*JobAbortFunction)(const ExportJob* job);
typedef void (*JobProgressFunction)(const ExportJob* job, int32_t now, int32_t total);
typedef const void* (*JobFrameFunction)(const ExportJob* job, int32_t index, uint32_t format);
typedef void (*JobPreviewFunction)(const ExportJob* job);
typedef int (*JobOpenFunction)(const ExportJob* job);
typedef void (*JobReportFunction)(const ExportJob* job, int pathAt);

struct ExportJob {
    int32_t width, height;  // pixels
    int32_t rate, scale;    // frames per second as rate / scale
    int32_t frameCount;     // frames numbered from 0
    const void* host;       // the host's own request, for the functions below
    // The settings the export runs with, as the boundary hands them over;
    // read once, never changed by the export.
    const OutputSettings* settings;

    // The output file opened for writing (created or truncated, raw bytes);
    // a CRT descriptor, or -1 when it cannot be opened.
    JobOpenFunction openOutput;
    // The output path as bytes a report can quote, or null when the host's
    // path is not a byte string (its boundary then puts it in when showing).
    const char* reportPath;
    // The output path as UTF-8, which an encoder's command puts in its
    // arguments; null when the host's path cannot be made into it.
    const char* outputUtf8;

    JobAbortFunction isAborted;
    JobProgressFunction showProgress;
    // The frame in the picture format asked for (FrameFormatYuy2 or
    // precisePicture), or null when the host has none.
    JobFrameFunction getFrame;
    // The host's most precise picture, which the deep formats are made from:
    // FrameFormatYc48 or FrameFormatPa64.
    uint32_t precisePicture;
    JobPreviewFunction updatePreview;  // null when the host has no preview
    // Shows the report composed in MessageBuffer in the host's form. pathAt is
    // the offset in it where the output path belongs, or -1.
    JobReportFunction showReport;
};

// A job of the host's picture, rate and count, its services still to be
// filled in by the boundary.
inline ExportJob MakeExportJob(const void* host, int32_t width, int32_t height, int32_t rate, int32_t scale,
                               int32_t frameCount) {
    ExportJob job = {};
    job.width = width;
    job.height = height;
    job.rate = rate;
    job.scale = scale;
    job.frameCount = frameCount;
    job.host = host;
    return job;
}

// 1 when the header and every frame are written; 0 after a report or the
// user's abort.
int RunExport(const ExportJob* job);
