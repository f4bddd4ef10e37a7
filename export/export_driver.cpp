// One export, for either host: check, open, allocate, header, then every
// frame in order.
#include <stdlib.h>

#include "export/converter_variants.h"
#include "export/export_job.h"
#include "export/export_reports.h"
#include "export/stream_header.h"
#include "platform/platform.h"
#include "settings/output_settings.h"

static const char FrameMarker[6] = {'F', 'R', 'A', 'M', 'E', '\n'};

// Smallest FrameBuffer: the header line is composed in it before any frame.
enum { MinimumFrameBufferSize = 512 };
static_assert(static_cast<int>(StreamHeaderMaxLength) < static_cast<int>(MinimumFrameBufferSize),
              "the header must fit the buffer");

// The driver counts bytes in 32-bit signed sizes: the written frame and the
// host's picture it is made from (2, 6 or 8 bytes a pixel) must both fit,
// and neither may be negative.
static bool FrameFitsExport(const OutputSettings* settings, uint32_t picture, int32_t width, int32_t height) {
    if (width < 0 || height < 0) return false;
    // Pixels first: a 2^31 x 2^31 request times 8 bytes would overflow 64 bits.
    const int64_t pixels = static_cast<int64_t>(width) * height;
    return pixels <= INT32_MAX / FramePixelBytes(picture) && PlanarFrameSize(settings, width, height) <= INT32_MAX;
}

enum { FrameBufferAlignment = 64 };

static uint8_t* AlignFrameBuffer(void* allocation) {
    uintptr_t address = reinterpret_cast<uintptr_t>(allocation);
    return static_cast<uint8_t*>(allocation) +
           (FrameBufferAlignment - address % FrameBufferAlignment) % FrameBufferAlignment;
}

static bool WriteAll(int file, const void* bytes, int32_t count) {
    return _write(file, bytes, static_cast<unsigned int>(count)) == count;
}

// Header and frames into an open file; 1 when every frame is written.
static int WriteStream(const ExportJob* job, const OutputSettings* settings, int file, uint8_t* frameBuffer,
                       int32_t bufferSize, int32_t frameSize) {
    const uint32_t picture = SourcePictureOf(settings, job->precisePicture);
    const FrameConverter convert = ChooseFrameConverter(settings, job->precisePicture);
    int headerLength = BuildStreamHeader(reinterpret_cast<char*>(frameBuffer), bufferSize, job, settings);
    if (!WriteAll(file, frameBuffer, headerLength)) {
        ReportWriteFailure(job);
        return 0;
    }
    for (int32_t i = 0; i < job->frameCount; ++i) {
        if (job->isAborted(job)) return 0;  // the user's choice: no report
        ClearMmxState();
        // Progress before frames 31, 63, 95, ... and the preview after them.
        const bool milestone = (i & 31) == 31;
        if (milestone) job->showProgress(job, i, job->frameCount);
        const uint8_t* frame = static_cast<const uint8_t*>(job->getFrame(job, i, picture));
        if (frame == nullptr) {
            ReportFrameFetchFailure(job, i);
            return 0;
        }
        if (!WriteAll(file, FrameMarker, sizeof FrameMarker)) {
            ReportWriteFailure(job);
            return 0;
        }
        convert(frameBuffer, frame, job->width, job->height);
        if (!WriteAll(file, frameBuffer, frameSize)) {
            ReportWriteFailure(job);
            return 0;
        }
        if (milestone && job->updatePreview != nullptr) job->updatePreview(job);
    }
    return 1;
}

int RunExport(const ExportJob* job) {
    const int32_t width = job->width;
    const int32_t height = job->height;
    // Nothing on disk is touched until the request is known to be usable.
    // The settings are read once, here, for the whole export.
    const OutputSettings* settings = &gOutputSettings;
    if (!CheckOutputParameters(settings, width, height)) {
        ReportRefusedSettings(job);
        return 0;
    }
    if (!FrameFitsExport(settings, SourcePictureOf(settings, job->precisePicture), width, height)) {
        ReportUnsupportedFrameSize(job);
        return 0;
    }

    int result = 0;
    void* allocation = nullptr;
    int file = job->openOutput(job);
    if (file < 0) {
        ReportOpenFailure(job);
    } else {
        const int32_t frameSize = static_cast<int32_t>(PlanarFrameSize(settings, width, height));
        const int32_t bufferSize = frameSize > MinimumFrameBufferSize ? frameSize : MinimumFrameBufferSize;
        // Cache-line aligned: rows whose length is a multiple of 64 bytes then
        // never have a wide store straddle two lines (1080p measurably gains).
        allocation = malloc(static_cast<size_t>(bufferSize) + FrameBufferAlignment - 1);
        if (allocation == nullptr)
            ReportOutOfMemory(job);
        else
            result = WriteStream(job, settings, file, AlignFrameBuffer(allocation), bufferSize, frameSize);
    }
    // One clean-up for every path: the file first, then the buffer.
    if (file >= 0) _close(file);
    free(allocation);
    return result;
}
