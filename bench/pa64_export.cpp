// A whole export of the ExEdit2 module as the host drives it: 1080p PA64
// frames to 10-bit 4:2:0, against its floor in the same process: per frame,
// the memcpy that stands in for the host handing over its picture, and the
// writes of the output with no conversion. Beside them the bound of any
// export on the host's thread: the floor plus one bare read of the served
// picture, which every conversion has to make. A frame's time is from one
// picture request to the next, so a stall of this shared machine costs one
// frame, not the run: alternating runs, the median frame of each kind;
// prints frames per second and the ratios to the floor.
//   pa64_export MODULE.auo2 OUTPUT FRAMES   (64-bit Windows build, under Wine)
#include <fcntl.h>
#include <io.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <windows.h>

#include <emmintrin.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

#include "exedit2/exedit2_table.h"
#include "settings/output_settings.h"

namespace {

const int Width = 1920, Height = 1080;
std::vector<uint8_t> gRendered, gServed;

// When each picture was asked for, in the run under way.
std::vector<std::chrono::steady_clock::time_point> gRequests;

void* GetVideo(int, uint32_t format) {
    gRequests.push_back(std::chrono::steady_clock::now());
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

// The run's frame times (the last one has no next request) added to `times`.
void CollectFrameTimes(std::vector<double>* times) {
    for (size_t i = 1; i < gRequests.size(); ++i)
        times->push_back(std::chrono::duration<double>(gRequests[i] - gRequests[i - 1]).count());
    gRequests.clear();
}

double MedianFps(std::vector<double> times) {
    if (times.empty()) return 0;
    std::sort(times.begin(), times.end());
    return 1 / times[times.size() / 2];
}

// Every byte of the picture loaded once, four independent sums so the loads
// are not serialised: as fast as this machine reads memory.
uint64_t ReadPicture(const uint8_t* bytes, size_t count) {
    __m128i a = _mm_setzero_si128(), b = a, c = a, d = a;
    for (size_t i = 0; i + 64 <= count; i += 64) {
        a = _mm_add_epi64(a, _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + i)));
        b = _mm_add_epi64(b, _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + i + 16)));
        c = _mm_add_epi64(c, _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + i + 32)));
        d = _mm_add_epi64(d, _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + i + 48)));
    }
    a = _mm_add_epi64(_mm_add_epi64(a, b), _mm_add_epi64(c, d));
    return static_cast<uint64_t>(_mm_cvtsi128_si64(a)) +
           static_cast<uint64_t>(_mm_cvtsi128_si64(_mm_unpackhi_epi64(a, a)));
}
volatile uint64_t gReadSum;

// The floor: the same header and frame writes from a buffer that needs no
// conversion, after the same memcpy of the host's picture; with
// `readPicture`, the bound: the picture also read once before the write.
bool Floor(const std::wstring& path, int frames, bool readPicture) {
    std::vector<uint8_t> frame(static_cast<size_t>(Width) * Height * 3, 128);  // 10-bit 4:2:0: 3 bytes a pixel
    int fd = _wopen(path.c_str(), _O_WRONLY | _O_CREAT | _O_TRUNC | _O_BINARY, 0666);
    if (fd < 0) return false;
    const char header[] = "YUV4MPEG2 W1920 H1080 F30000:1001 Ip A0:0 C420p10 XYSCSS=420P10 XCOLORRANGE=LIMITED\n";
    bool ok = _write(fd, header, sizeof header - 1) == static_cast<int>(sizeof header - 1);
    for (int i = 0; ok && i < frames; ++i) {
        const uint8_t* picture = static_cast<const uint8_t*>(GetVideo(i, 0x34364150u));
        if (readPicture) gReadSum = gReadSum + ReadPicture(picture, gServed.size());
        ok = _write(fd, "FRAME\n", 6) == 6 &&
             _write(fd, frame.data(), static_cast<unsigned>(frame.size())) == static_cast<int>(frame.size());
    }
    _close(fd);
    return ok;
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
    OutputSettings settings = {};
    settings.colorFormat = Yuv420P10;
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

    std::vector<double> exportTimes, floorTimes, boundTimes;
    for (int run = 0; run < 3; ++run) {
        gRequests.clear();
        const bool exported = table->output(&request);
        CollectFrameTimes(&exportTimes);
        const bool floorWritten = Floor(path, frames, false);
        CollectFrameTimes(&floorTimes);
        const bool boundWritten = Floor(path, frames, true);
        CollectFrameTimes(&boundTimes);
        if (!exported || !floorWritten || !boundWritten) {
            fprintf(stderr, "a run failed to write %s\n", argv[2]);
            return 1;
        }
    }
    DeleteFileW(path.c_str());
    const double exportFps = MedianFps(exportTimes), floorFps = MedianFps(floorTimes), boundFps = MedianFps(boundTimes);
    printf(
        "| .auo2 export, 1080p PA64 to 420p10 (fps) | floor: memcpy of the PA64 frame + the writes (fps) | bound: "
        "floor + one read of the PA64 frame (fps) | export / floor | bound / floor |\n");
    printf("|---|---|---|---|---|\n| %.1f | %.1f | %.1f | %.2f | %.2f |\n", exportFps, floorFps, boundFps,
           exportFps / floorFps, boundFps / floorFps);
    return 0;
}
