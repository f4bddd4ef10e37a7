// AviUtl 1.x's export entry: its request becomes an export job, and the
// job's services call back into the request's functions.
#include "export/export_job.h"
#include "aviutl1/aviutl1_table.h"
#include "platform/message_buffer.h"
#include "platform/system_text.h"

static const OutputRequest* RequestOf(const ExportJob* job) { return static_cast<const OutputRequest*>(job->host); }

// The path is in the system code page, as the CRT's _open takes it.
static int OpenOutput(const ExportJob* job) {
    const char* path = RequestOf(job)->outputPath;
    return path != nullptr ? _open(path, PLATFORM_OPEN_FLAGS, PLATFORM_OPEN_MODE) : -1;
}

static bool IsAborted(const ExportJob* job) {
    const OutputRequest* request = RequestOf(job);
    return request->isAbort != nullptr && request->isAbort() != 0;
}

static void ShowProgress(const ExportJob* job, int32_t now, int32_t total) {
    const OutputRequest* request = RequestOf(job);
    if (request->showProgress != nullptr) request->showProgress(now, total);
}

static const void* GetFrame(const ExportJob* job, int32_t index, uint32_t format) {
    const OutputRequest* request = RequestOf(job);
    return request->getFrame != nullptr ? request->getFrame(index, format) : nullptr;
}

static void UpdatePreview(const ExportJob* job) {
    const OutputRequest* request = RequestOf(job);
    if (request->updatePreview != nullptr) request->updatePreview();
}

// The composed code page 932 text is what this host shows, path included.
static void ShowReportBox(const ExportJob*, int) { ShowMessageBuffer(); }

// The path as an encoder's arguments take it.
static char gOutputUtf8[OutputUtf8Room];

int PLUGIN_CDECL PluginOutput(OutputRequest* request) {
    ExportJob job =
        MakeExportJob(request, request->width, request->height, request->rate, request->scale, request->frameCount);
    job.openOutput = OpenOutput;
    // A null path cannot be opened: its report names an empty path.
    job.reportPath = request->outputPath != nullptr ? request->outputPath : "";
    job.outputUtf8 =
        request->outputPath != nullptr && Utf8FromSystemPath(request->outputPath, gOutputUtf8, OutputUtf8Room)
            ? gOutputUtf8
            : nullptr;
    job.settings = &gOutputSettings;
    job.isAborted = IsAborted;
    job.showProgress = ShowProgress;
    job.getFrame = GetFrame;
    job.precisePicture = FrameFormatYc48;  // 48-bit YCbCr, full chroma
    job.updatePreview = UpdatePreview;
    job.showReport = ShowReportBox;
    return RunExport(&job);
}
