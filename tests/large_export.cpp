// An export past 4 GiB: 1040 frames of 1920x1080 4:2:2 (4.3 GB). Checks the
// final size and the bytes of the last frame record. Labelled "slow".
//   large_export DIRECTORY
#include <stdio.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <chrono>
#include <string>
#include <vector>

#include "host/plugin_table.h"
#include "tests/frame_model.h"
#include "tests/large_export_frames.h"

static const int Width = LargeExportWidth, Height = LargeExportHeight, Frames = LargeExportFrames;
static std::vector<uint8_t> gFrame;

static int IsAbort() { return 0; }
static int Progress(int, int) { return 0; }
static int Preview() { return 0; }

static void FillFrame(int index) { FillLargeExportFrame(&gFrame, index); }

static void* GetFrame(int index, uint32_t) {
    FillFrame(index);
    return gFrame.data();
}

int main(int argc, char** argv) {
    std::string path = std::string(argc > 1 ? argv[1] : ".") + "/large-export.y4m";
    gFrame.resize(static_cast<size_t>(2 * Width * Height));
    const OutputPluginTable* table = GetOutputPluginTable();
    table->init();
    unsigned char blob[20] = {1};  // 4:2:2
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

    const std::string header = "YUV4MPEG2 W1920 H1080 F60:1 Ip A0:0 C422 XYSCSS=422\n";
    const long long frameSize = 2LL * Width * Height;
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
        std::vector<uint8_t> model = ModelFrame(Planar422, gFrame.data(), Width, Height);
        ok = ok && std::string(record.begin(), record.begin() + 6) == "FRAME\n" &&
             std::equal(model.begin(), model.end(), record.begin() + 6);
        printf("last frame record %s\n", ok ? "matches" : "DIFFERS");
    }
    remove(path.c_str());
    return ok ? 0 : 1;
}
