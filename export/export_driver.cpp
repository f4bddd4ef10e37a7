// One export, for either host: check, open, allocate, header, then every
// frame in order.
#include <stdlib.h>

#include "convert/converter_table.h"
#include "export/encoder_export.h"
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
// and neither may be negative. A picture no converter reads is no frame the
// export can hold either.
static bool FrameFitsExport(const OutputSettings* settings, uint32_t picture, int32_t width, int32_t height) {
    if (width < 0 || height < 0 || ChooseFrameConverter(settings, picture) == nullptr) return false;
    // Pixels first: a 2^31 x 2^31 request times 8 bytes would overflow 64 bits.
    const int64_t pixels = static_cast<int64_t>(width) * height;
    return pixels <= INT32_MAX / FramePixelBytes(SourcePictureOf(settings, picture)) &&
           PlanarFrameSize(settings, width, height) <= INT32_MAX;
}

enum { FrameBufferAlignment = 64 };

static uint8_t* AlignFrameBuffer(void* allocation) {
    uintptr_t address = reinterpret_cast<uintptr_t>(allocation);
    return static_cast<uint8_t*>(allocation) +
           (FrameBufferAlignment - address % FrameBufferAlignment) % FrameBufferAlignment;
}

// Where the stream goes: the file, or the encoder's standard input.
struct StreamOutput {
    const ExportJob* job;
    int file;  // -1 for the encoder
};

static OutputWrite Put(const StreamOutput* output, const void* bytes, int32_t count) {
    if (output->file < 0) return WriteToEncoder(output->job, bytes, count);
    return _write(output->file, bytes, static_cast<unsigned int>(count)) == count ? OutputTook : OutputGone;
}

// A failed write: a file's is reported here, an encoder's once it has ended
// and can say why.
static StreamEnd WriteFailed(const StreamOutput* output, OutputWrite write) {
    if (write == OutputAborted) return StreamAborted;  // the user's choice: no report
    if (output->file < 0) return StreamReaderGone;
    ReportWriteFailure(output->job);
    return StreamReported;
}

// Header and frames; StreamComplete when every frame is written.
static StreamEnd WriteStream(const ExportJob* job, const StreamOutput* output, uint8_t* frameBuffer, int32_t bufferSize,
                             int32_t frameSize, int* headerLength) {
    const OutputSettings* settings = job->settings;
    const uint32_t picture = SourcePictureOf(settings, job->precisePicture);
    const FrameConverter convert = ChooseFrameConverter(settings, job->precisePicture);
    *headerLength = BuildStreamHeader(reinterpret_cast<char*>(frameBuffer), bufferSize, job, settings);
    OutputWrite write = Put(output, frameBuffer, *headerLength);
    if (write != OutputTook) return WriteFailed(output, write);
    for (int32_t i = 0; i < job->frameCount; ++i) {
        if (job->isAborted(job)) return StreamAborted;  // the user's choice: no report
        ClearMmxState();
        // Progress before frames 31, 63, 95, ... and the preview after them.
        const bool milestone = (i & 31) == 31;
        if (milestone) job->showProgress(job, i, job->frameCount);
        const uint8_t* frame = static_cast<const uint8_t*>(job->getFrame(job, i, picture));
        if (frame == nullptr) {
            ReportFrameFetchFailure(job, i);
            return StreamReported;
        }
        write = Put(output, FrameMarker, sizeof FrameMarker);
        if (write != OutputTook) return WriteFailed(output, write);
        convert(frameBuffer, frame, job->width, job->height);
        write = Put(output, frameBuffer, frameSize);
        if (write != OutputTook) return WriteFailed(output, write);
        if (milestone && job->updatePreview != nullptr) job->updatePreview(job);
    }
    return StreamComplete;
}

int RunExport(const ExportJob* job) {
    const int32_t width = job->width;
    const int32_t height = job->height;
    // Nothing on disk is touched, and nothing started, until the request is
    // known to be usable. The settings are the job's, for the whole export.
    const OutputSettings* settings = job->settings;
    if (!CheckOutputParameters(settings, width, height)) {
        ReportRefusedSettings(job);
        return 0;
    }
    if (!FrameFitsExport(settings, job->precisePicture, width, height)) {
        ReportUnsupportedFrameSize(job);
        return 0;
    }
    const bool toEncoder = settings->destination == DestinationEncoder;
    if (toEncoder && !PrepareEncoder(job)) return 0;
    // Nothing to encode: no encoder is started (some wait forever for a
    // frame that never comes).
    if (toEncoder && job->frameCount <= 0) return 1;

    int result = 0;
    void* allocation = nullptr;
    StreamOutput output = {job, -1};
    if (!toEncoder) output.file = job->openOutput(job);
    if (!toEncoder && output.file < 0) {
        ReportOpenFailure(job);
    } else {
        const int32_t frameSize = static_cast<int32_t>(PlanarFrameSize(settings, width, height));
        const int32_t bufferSize = frameSize > MinimumFrameBufferSize ? frameSize : MinimumFrameBufferSize;
        // Cache-line aligned: rows whose length is a multiple of 64 bytes then
        // never have a wide store straddle two lines (1080p measurably gains).
        allocation = malloc(static_cast<size_t>(bufferSize) + FrameBufferAlignment - 1);
        if (allocation == nullptr) {
            ReportOutOfMemory(job);
        } else if (!toEncoder || StartEncoder(job)) {
            int headerLength = 0;
            const StreamEnd end =
                WriteStream(job, &output, AlignFrameBuffer(allocation), bufferSize, frameSize, &headerLength);
            result = toEncoder ? FinishEncoder(job, end, headerLength, int64_t{sizeof FrameMarker} + frameSize)
                               : end == StreamComplete;
        }
    }
    // One clean-up for every path: the file or the encoder first, then the
    // buffer.
    if (output.file >= 0) _close(output.file);
    if (toEncoder) EndEncoder();
    free(allocation);
    return result;
}
