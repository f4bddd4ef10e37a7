// Fuzzes the stream header and the reports alone over all 32-bit values:
// the header never passes its bound and never writes past what it returns
// (plus the NUL); every report is NUL-terminated within the 2048-byte buffer.
#include <stdlib.h>
#include <string.h>

#include <string>

#include "export/export_reports.h"
#include "platform/message_buffer.h"
#include "export/stream_header.h"
#include "aviutl1/aviutl1_table.h"
#include "exedit2/exedit2_table.h"
#include "platform/stub_user32.h"
#include "settings/output_settings.h"
#include "tests/fuzz/fuzz_input.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    StubSetMessageBoxEcho(0);
    return 0;
}

// The report shown in each host's form: code page 932 bytes as composed,
// and UTF-16 with the path (widened byte by byte) put in at its place.
static std::u16string gWidePath;
static void ShowBothForms(const ExportJob*, int pathAt) {
    ShowMessageBuffer();
    const StubMessageBox* box = StubLastMessageBox();
    if (box == nullptr || box->textLength > 2047) abort();
    ShowReportUtf16(gWidePath.c_str(), pathAt);
}

static void CheckReport() {
    const StubMessageBox* box = StubLastMessageBox();
    if (box == nullptr || box->textLength > 2047) abort();
    if (memchr(MessageBuffer, '\0', MessageBufferSize) == nullptr) abort();
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzInput in = {data, size, 0};
    unsigned char blob[20];
    for (unsigned char& b : blob) b = TakeByte(&in);
    PluginConfigSet(blob, 20);
    ExportJob request = {};
    request.width = TakeI32(&in);
    request.height = TakeI32(&in);
    request.rate = TakeI32(&in);
    request.scale = TakeI32(&in);

    // Bounded by a random size: never past it, and never past the bound.
    int bound = TakeByte(&in) % 130;
    char buffer[160];
    memset(buffer, '#', sizeof buffer);
    int length = BuildStreamHeader(buffer, bound, &request, &gOutputSettings);
    if (length < 0 || length > bound) abort();
    for (int i = bound; i < static_cast<int>(sizeof buffer); ++i)
        if (buffer[i] != '#') abort();
    length = BuildStreamHeader(buffer, sizeof buffer, &request, &gOutputSettings);
    if (length > StreamHeaderMaxLength || buffer[length] != '\0' || buffer[length - 1] != '\n') abort();
    if (strncmp(buffer, "YUV4MPEG2 W", 11) != 0) abort();

    StubResetMessageBoxes();
    if (!CheckOutputParameters(&gOutputSettings, request.width, request.height)) {
        ReportParameterProblems(&gOutputSettings, request.width, request.height);
        CheckReport();
        if (strlen(MessageBuffer) > 562) abort();  // the longest report there is
    }
    // The rest of the input as an output path of any length.
    std::string path(reinterpret_cast<const char*>(data + in.used), size - in.used);
    path = path.c_str();  // a path ends at its NUL
    path.append(static_cast<size_t>(TakeByte(&in)) * 16, 'p');
    gWidePath.assign(path.begin(), path.end());
    // Bytes past ASCII become units from 0xD000 to 0xDFE0: surrogates of both halves among them.
    for (char16_t& unit : gWidePath)
        if ((unit & 0xFF) >= 0x80) unit = static_cast<char16_t>(0xD000 + ((unit & 0xFF) - 0x80) * 0x20);
    request.reportPath = path.c_str();
    request.showReport = ShowBothForms;
    ReportOpenFailure(&request);
    CheckReport();
    ReportFrameFetchFailure(&request, request.rate);
    CheckReport();
    ReportUnsupportedFrameSize(&request);
    CheckReport();
    return 0;
}
