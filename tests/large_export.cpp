// An export past 4 GiB: 1040 frames of 1920x1080 4:2:2 from YUY2, or with
// "444p10" 350 of 10-bit 4:4:4 from YC48 (4.3 GB either way). Checks the
// final size and the bytes of the last frame record. Labelled "slow".
//   large_export DIRECTORY [444p10]
#include <stdio.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <chrono>
#include <string>
#include <vector>

#include "convert/converter_table.h"
#include "export/export_job.h"
#include "aviutl1/aviutl1_table.h"
#include "tests/frame_model.h"
#include "tests/large_export_frames.h"

static const int Width = LargeExportWidth, Height = LargeExportHeight;
static int Frames = LargeExportFrames;
static std::vector<uint8_t> gFrame;

static int IsAbort() { return 0; }
static int Progress(int, int) { return 0; }
static int Preview() { return 0; }

static void FillFrame(int index) { FillLargeExportFrame(&gFrame, index, Frames); }

static uint32_t gFormat;
static void* GetFrame(int index, uint32_t format) {
    if (format != gFormat) return nullptr;
    FillFrame(index);
    return gFrame.data();
}

int main(int argc, char** argv) {
    std::string path = std::string(argc > 1 ? argv[1] : ".") + "/large-export.y4m";
    const bool deep = argc > 2 && std::string(argv[2]) == "444p10";
    if (deep) Frames = LargeDeepExportFrames;
    OutputSettings settings = {};
    settings.colorFormat = deep ? Yuv444P10 : Yuv422;
    gFormat = deep ? FrameFormatYc48 : FrameFormatYuy2;
    gFrame.resize(static_cast<size_t>((deep ? 6 : 2) * Width * Height));
    const OutputPluginTable* table = GetOutputPluginTable();
    table->init();
    unsigned char blob[20];
    EncodeSettingsBlob(&settings, blob);
    table->configSet(blob, 20);
    OutputRequest request = {};
    request.width = Width;
    request.height = Height;
    request.rate = 60;
    request.scale = 1;
    request.frameCount = Frames;
    request.outputPath = path.c_str();
    request.isAbort = IsAbort;
    request.showProgress = Progress;
    request.updatePreview = Preview;
    request.getFrame = GetFrame;
    auto start = std::chrono::steady_clock::now();
    int result = table->output(&request);
    double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

    const std::string header = deep ? "YUV4MPEG2 W1920 H1080 F60:1 Ip A0:0 C444p10 XYSCSS=444P10 XCOLORRANGE=LIMITED\n"
                                    : "YUV4MPEG2 W1920 H1080 F60:1 Ip A0:0 C422 XYSCSS=422\n";
    const long long frameSize = PlanarFrameSize(&settings, Width, Height);
    const long long expected = static_cast<long long>(header.size()) + Frames * (6 + frameSize);
    struct stat info;
    bool ok = result == 1 && stat(path.c_str(), &info) == 0 && info.st_size == expected;
    printf("result %d, size %lld (expected %lld), %.1f s, %.0f MB/s\n", result,
           static_cast<long long>(ok ? info.st_size : -1), expected, seconds, expected / seconds / 1e6);
    if (ok) {
        FILE* file = fopen(path.c_str(), "rb");
        std::vector<uint8_t> record(static_cast<size_t>(6 + frameSize));
        ok = file != nullptr && fseeko(file, expected - static_cast<off_t>(record.size()), SEEK_SET) == 0 &&
             fread(record.data(), 1, record.size(), file) == record.size();
        if (file != nullptr) fclose(file);
        FillFrame(Frames - 1);
        std::vector<uint8_t> model(static_cast<size_t>(frameSize));
        if (deep)  // the reference converter, checked sample by sample by the unit tests
            ChooseFrameConverterOf(ConverterVariantAt(0), &settings, FrameFormatYc48)(model.data(), gFrame.data(),
                                                                                      Width, Height);
        else
            model = ModelFrame(Planar422, gFrame.data(), Width, Height);
        ok = ok && std::string(record.begin(), record.begin() + 6) == "FRAME\n" &&
             std::equal(model.begin(), model.end(), record.begin() + 6);
        printf("last frame record %s\n", ok ? "matches" : "DIFFERS");
    }
    remove(path.c_str());
    return ok ? 0 : 1;
}
