// Fuzzes whole exports through the descriptor: any settings blob, any 32-bit
// frame geometry and rate, a bounded frame count, and a host that aborts,
// fails to deliver a frame, or serves random bytes in the picture asked for
// (which must be the one the colour format needs from that host). Checks what every export
// must keep: result 0 or 1, at most one message box (none after an abort), a
// complete file on success, and an untouched file when the request is refused.
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "convert/converter_table.h"
#include "aviutl1/aviutl1_table.h"
#include "exedit2/exedit2_table.h"
#include "platform/stub_user32.h"
#include "export/export_job.h"
#include "settings/color_formats.h"
#include "tests/fuzz/fuzz_input.h"
#include "tests/test_random.h"

namespace {

struct Host {
    int32_t abortAt, nullAt;
    bool aborted;
    int32_t width, height;
    uint32_t expectedFormat;  // the picture the settings need from this host
    std::vector<uint8_t> frame;
    uint32_t seed;
};
Host gHost;

int32_t gQuestion;
int AbortQuestion() {
    int32_t frame = gQuestion++;
    if (gHost.abortAt >= 0 && frame >= gHost.abortAt) {
        gHost.aborted = true;
        return 1;
    }
    return 0;
}
bool AbortQuestionBool() { return AbortQuestion() != 0; }
void ProgressVoid(int, int) {}
int Progress(int, int) { return 0; }
int Preview() { return 0; }
// Frames of up to 8 MiB, in the format the settings need and no other;
// larger ones come back null.
void* Frame(int frame, uint32_t format) {
    if (format != gHost.expectedFormat) abort();
    const int64_t bytes = FramePixelBytes(format) * static_cast<int64_t>(gHost.width) * gHost.height;
    if (frame == gHost.nullAt || bytes < 0 || bytes > (8 << 20)) return nullptr;
    gHost.frame.resize(static_cast<size_t>(bytes) + 1);
    FillRandom(gHost.frame.data(), gHost.frame.size(), gHost.seed + static_cast<uint32_t>(frame));
    return gHost.frame.data();
}

std::string gPath;
const char Previous[] = "previous bytes of the user's file";

std::string ReadAll(const std::string& path) {
    std::string bytes;
    FILE* f = fopen(path.c_str(), "rb");
    if (f == nullptr) return bytes;
    char chunk[65536];
    size_t n;
    while ((n = fread(chunk, 1, sizeof chunk, f)) > 0) bytes.append(chunk, n);
    fclose(f);
    return bytes;
}

// "YUV4MPEG2 W.. H.. F..:.. I. A..:.. C..." with every number a signed decimal.
bool HeaderParses(const std::string& line) {
    const char* p = line.c_str();
    if (strncmp(p, "YUV4MPEG2", 9) != 0) return false;
    p += 9;
    const char tags[] = "WHFIAC";
    for (const char* tag = tags; *tag; ++tag) {
        if (p[0] != ' ' || p[1] != *tag) return false;
        p += 2;
        if (*tag == 'I') {
            if (*p != 'p' && *p != 't' && *p != 'b') return false;
            ++p;
        } else if (*tag == 'C') {
            const char* known = nullptr;
            for (const ColorFormatInfo& format : ColorFormats)
                if (strncmp(p, format.headerTag + 2, strlen(format.headerTag + 2)) == 0) known = format.headerTag + 2;
            if (known == nullptr) return false;
            p += strlen(known);
        } else {
            for (int part = 0; part < ((*tag == 'F' || *tag == 'A') ? 2 : 1); ++part) {
                if (part == 1 && *p++ != ':') return false;
                if (*p == '-') ++p;
                if (*p < '0' || *p > '9') return false;
                while (*p >= '0' && *p <= '9') ++p;
            }
        }
    }
    return strcmp(p, "\n") == 0;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    StubSetMessageBoxEcho(0);
    char name[] = "/tmp/y4m-fuzz-XXXXXX";
    int fd = mkstemp(name);
    if (fd >= 0) close(fd);
    gPath = name;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzInput in = {data, size, 0};
    const OutputPluginTable* table = GetOutputPluginTable();
    unsigned char blob[20];
    for (unsigned char& b : blob) b = TakeByte(&in);
    // Small codes most of the time, so exports get past the settings check.
    uint8_t shape = TakeByte(&in);
    if (shape & 1) {
        for (int field : {0, 4, 16}) {  // colour (0 to 8 and one more), aspect and scan codes
            blob[field] %= field == 0 ? 10 : 4;
            blob[field + 1] = blob[field + 2] = blob[field + 3] = 0;
        }
    }
    OutputRequest request = {};
    request.width = TakeI32(&in);
    request.height = TakeI32(&in);
    if (shape & 2) {
        request.width %= 258;
        request.height %= 66;
    }
    request.rate = TakeI32(&in);
    request.scale = TakeI32(&in);
    request.frameCount = static_cast<int32_t>(TakeByte(&in) % 40) - 2;
    gHost.abortAt = static_cast<int8_t>(TakeByte(&in));
    gHost.nullAt = static_cast<int8_t>(TakeByte(&in));
    gHost.seed = TakeU32(&in);
    gHost.aborted = false;
    gQuestion = 0;
    gHost.width = request.width;
    gHost.height = request.height;
    request.outputPath = gPath.c_str();
    request.isAbort = AbortQuestion;
    request.showProgress = Progress;
    request.updatePreview = Preview;
    request.getFrame = Frame;

    FILE* f = fopen(gPath.c_str(), "wb");
    fputs(Previous, f);
    fclose(f);

    table->init();
    if (table->configSet(blob, 20) != 20) abort();
    const OutputSettings settings = gOutputSettings;
    const bool accepted = CheckOutputParameters(&gOutputSettings, request.width, request.height) == 1;
    StubResetMessageBoxes();
    // Every fourth input goes through ExEdit2's boundary instead.
    const bool exedit2 = (shape & 12) == 12;
    gHost.expectedFormat = SourcePictureOf(&settings, exedit2 ? FrameFormatPa64 : FrameFormatYc48);
    int result;
    if (exedit2) {
        const std::u16string widePath(gPath.begin(), gPath.end());
        ExEdit2OutputInfo request2 = {};
        request2.width = request.width;
        request2.height = request.height;
        request2.rate = request.rate;
        request2.scale = request.scale;
        request2.frameCount = request.frameCount;
        request2.outputPath = widePath.c_str();
        request2.getVideo = Frame;
        request2.isAbort = AbortQuestionBool;
        request2.showProgress = ProgressVoid;
        result = GetExEdit2PluginTable()->output(&request2) ? 1 : 0;
    } else {
        result = table->output(&request);
    }

    if (result != 0 && result != 1) abort();
    if (StubMessageBoxCount() > 1) abort();
    if (gHost.aborted && StubMessageBoxCount() != 0) abort();
    if (result == 0 && !gHost.aborted && StubMessageBoxCount() != 1) abort();  // every failure is told
    const StubMessageBox* box = StubLastMessageBox();
    if (box != nullptr && (box->textLength > 2047 || strcmp(box->caption, "ERROR") != 0)) abort();
    std::string file = ReadAll(gPath);
    if (!accepted || request.width < 0 || request.height < 0) {
        if (result != 0 || file != Previous) abort();  // refused before the file was touched
    }
    if (result == 1) {
        size_t newline = file.find('\n');
        if (newline == std::string::npos || !HeaderParses(file.substr(0, newline + 1))) abort();
        int64_t frames = request.frameCount > 0 ? request.frameCount : 0;
        int64_t expected = static_cast<int64_t>(newline + 1) +
                           frames * (6 + PlanarFrameSize(&settings, request.width, request.height));
        if (static_cast<int64_t>(file.size()) != expected) abort();
    }
    return 0;
}
