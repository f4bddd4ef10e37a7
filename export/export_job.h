// One export as the core sees it, whichever host asked for it: the picture,
// the rate, the frame count and the host's services, each reached through
// the boundary that translated the host's own request.
#pragma once

#include <stdint.h>

#include "convert/host_pictures.h"
#include "settings/output_settings.h"

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
