// ExEdit2's export entry: its request becomes an export job. The host's
// bools are read as bools: only their low byte means anything.
#include "export/export_job.h"
#include "exedit2/exedit2_table.h"
#include "platform/system_text.h"

static const ExEdit2OutputInfo* RequestOf(const ExportJob* job) {
    return static_cast<const ExEdit2OutputInfo*>(job->host);
}

// The path is UTF-16 and opened as such, so every name Windows allows works.
static int OpenOutput(const ExportJob* job) {
    const WideChar* path = RequestOf(job)->outputPath;
    return path != nullptr ? _wopen(path, PLATFORM_OPEN_FLAGS, PLATFORM_OPEN_MODE) : -1;
}

static bool IsAborted(const ExportJob* job) {
    const ExEdit2OutputInfo* request = RequestOf(job);
    return request->isAbort != nullptr && request->isAbort();
}

static void ShowProgress(const ExportJob* job, int32_t now, int32_t total) {
    const ExEdit2OutputInfo* request = RequestOf(job);
    if (request->showProgress != nullptr) request->showProgress(now, total);
}

static const void* GetFrame(const ExportJob* job, int32_t index, uint32_t format) {
    const ExEdit2OutputInfo* request = RequestOf(job);
    return request->getVideo != nullptr ? request->getVideo(index, format) : nullptr;
}

// A null path is named as an empty one, as the 1.x module names it.
static void ShowReport(const ExportJob* job, int pathAt) {
    const WideChar* path = RequestOf(job)->outputPath;
    ShowReportUtf16(path != nullptr ? path : WIDE_TEXT(""), pathAt);
}

// The path as an encoder's arguments take it.
static char gOutputUtf8[OutputUtf8Room];

bool ExEdit2Output(ExEdit2OutputInfo* request) {
    ExportJob job =
        MakeExportJob(request, request->width, request->height, request->rate, request->scale, request->frameCount);
    job.openOutput = OpenOutput;
    job.reportPath = nullptr;  // UTF-16: put in when the report is shown
    job.outputUtf8 = request->outputPath != nullptr && Utf8FromWide(request->outputPath, gOutputUtf8, OutputUtf8Room)
                         ? gOutputUtf8
                         : nullptr;
    job.settings = &gOutputSettings;
    job.isAborted = IsAborted;
    job.showProgress = ShowProgress;
    job.getFrame = GetFrame;
    job.precisePicture = FrameFormatPa64;  // 16-bit RGBA, as it composites
    job.updatePreview = nullptr;           // this host has no preview to refresh
    job.showReport = ShowReport;
    return RunExport(&job) == 1;
}
