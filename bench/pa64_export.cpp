// A whole export of the ExEdit2 module as the host drives it: 1080p PA64
// frames to 10-bit 4:2:0, against its floor in the same process: per frame,
// the memcpy that stands in for the host handing over its picture, and the
// writes of the output with no conversion. Alternating runs, the best of
// each; prints frames per second and export / floor.
//   pa64_export MODULE.auo2 OUTPUT FRAMES   (64-bit Windows build, under Wine)
#include <fcntl.h>
#include <io.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <windows.h>

#include <chrono>
#include <string>
#include <vector>

#include "exedit2/exedit2_table.h"
#include "settings/output_settings.h"

namespace {

const int Width = 1920, Height = 1080;
std::vector<uint8_t> gRendered, gServed;

void* GetVideo(int, uint32_t format) {
    if (format != 0x34364150u) return nullptr;  // 'PA64'
    memcpy(gServed.data(), gRendered.data(), gRendered.size());
    return gServed.data();
}
bool NotAborted(void) { return false; }
void NoProgress(int, int) {}

unsigned char gBlob[SettingsBlobSize];
bool GetBinary(const char*, void* data, int size) {
    if (size != SettingsBlobSize) return false;
    memcpy(data, gBlob, SettingsBlobSize);
    return true;
}

double Seconds(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// The floor: the same header and frame writes from a buffer that needs no
// conversion, after the same memcpy of the host's picture.
double Floor(const std::wstring& path, int frames) {
    std::vector<uint8_t> frame(static_cast<size_t>(Width) * Height * 3, 128);  // 10-bit 4:2:0: 3 bytes a pixel
    auto start = std::chrono::steady_clock::now();
    int fd = _wopen(path.c_str(), _O_WRONLY | _O_CREAT | _O_TRUNC | _O_BINARY, 0666);
    if (fd < 0) return 0;
    const char header[] = "YUV4MPEG2 W1920 H1080 F30000:1001 Ip A0:0 C420p10 XYSCSS=420P10 XCOLORRANGE=LIMITED\n";
    bool ok = _write(fd, header, sizeof header - 1) == static_cast<int>(sizeof header - 1);
    for (int i = 0; ok && i < frames; ++i) {
        GetVideo(i, 0x34364150u);
        ok = _write(fd, "FRAME\n", 6) == 6 &&
             _write(fd, frame.data(), static_cast<unsigned>(frame.size())) == static_cast<int>(frame.size());
    }
    _close(fd);
    return ok ? frames / Seconds(start) : 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        fprintf(stderr, "usage: %s MODULE.auo2 OUTPUT FRAMES\n", argv[0]);
        return 2;
    }
    const int frames = atoi(argv[3]);
    HMODULE module = LoadLibraryA(argv[1]);
    auto get = module != nullptr ? reinterpret_cast<ExEdit2PluginTable* (*)(void)>(
                                       reinterpret_cast<void*>(GetProcAddress(module, "GetOutputPluginTable")))
                                 : nullptr;
    ExEdit2PluginTable* table = get != nullptr ? get() : nullptr;
    if (table == nullptr) {
        fprintf(stderr, "cannot load %s\n", argv[1]);
        return 1;
    }
    OutputSettings settings = {Yuv420P10, 0, 0, 0, 0};
    EncodeSettingsBlob(&settings, gBlob);
    ProjectFile project = {};
    project.getBinary = GetBinary;
    table->loadProject(&project);

    gRendered.resize(static_cast<size_t>(8) * Width * Height);
    gServed.resize(gRendered.size());
    for (size_t p = 0; p < gRendered.size() / 8; ++p) {
        uint16_t px[4] = {static_cast<uint16_t>(p * 2654435761u >> 16), static_cast<uint16_t>(p * 40503u),
                          static_cast<uint16_t>(p * 7919u), 65535};
        memcpy(&gRendered[8 * p], px, 8);
    }
    const std::string narrow = argv[2];
    const std::wstring path(narrow.begin(), narrow.end());
    ExEdit2OutputInfo request = {};
    request.flags = OutputFlagVideo;
    request.width = Width;
    request.height = Height;
    request.rate = 30000;
    request.scale = 1001;
    request.frameCount = frames;
    request.outputPath = reinterpret_cast<const WideChar*>(path.c_str());
    request.getVideo = GetVideo;
    request.isAbort = NotAborted;
    request.showProgress = NoProgress;

    double bestExport = 0, bestFloor = 0;
    for (int run = 0; run < 3; ++run) {
        auto start = std::chrono::steady_clock::now();
        if (!table->output(&request)) {
            fprintf(stderr, "the export failed\n");
            return 1;
        }
        const double exportFps = frames / Seconds(start);
        const double floorFps = Floor(path, frames);
        if (exportFps > bestExport) bestExport = exportFps;
        if (floorFps > bestFloor) bestFloor = floorFps;
    }
    DeleteFileW(path.c_str());
    printf(
        "| .auo2 export, 1080p PA64 to 420p10 (fps) | floor: memcpy of the PA64 frame + the writes (fps) | export / "
        "floor |\n");
    printf("|---|---|---|\n| %.1f | %.1f | %.2f |\n", bestExport, bestFloor, bestExport / bestFloor);
    return 0;
}
