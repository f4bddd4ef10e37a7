// A whole export of a module as its host drives it: 1080p frames of the
// host's precise picture to 10-bit 4:2:0, against its floor in the same
// process: per frame, the memcpy that stands in for the host handing over
// its picture, and the writes of the output with no conversion. Beside them
// the bound of any export on the host's thread: the floor plus one bare read
// of the served picture, which every conversion has to make. A frame's time
// is from one picture request to the next, so a stall of this shared machine
// costs one frame, not the run. Five alternating runs, the median frame of
// each kind in each run; prints the median over the runs of each kind's
// frames per second and of each run's ratios. Built as
// pa64_export (the .auo2 under 64-bit Wine, ExEdit2's interface and PA64)
// and yc48_export (AviUtl 1.x's interface and YC48: the native module, and
// the .auo under Wine where 32-bit programs run).
//   pa64_export MODULE OUTPUT FRAMES     yc48_export MODULE OUTPUT FRAMES
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#ifdef _WIN32
#include <windows.h>
#else
#include <dlfcn.h>
#endif

#include <emmintrin.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "settings/output_settings.h"
#if BENCH_AVIUTL1
#include "aviutl1/aviutl1_table.h"
#else
#include "exedit2/exedit2_table.h"
#endif

namespace {

const int Width = 1920, Height = 1080;
#if BENCH_AVIUTL1
const uint32_t Picture = 0x38344359u;  // 'YC48'
const int PixelBytes = 6;
const char* const Interface = "AviUtl 1.x module";
#else
const uint32_t Picture = 0x34364150u;  // 'PA64'
const int PixelBytes = 8;
const char* const Interface = ".auo2";
#endif
const char* const PictureName = PixelBytes == 6 ? "YC48" : "PA64";
std::vector<uint8_t> gRendered, gServed;

// When each picture was asked for, in the run under way.
std::vector<std::chrono::steady_clock::time_point> gRequests;

void* PLUGIN_CDECL GetVideo(int, uint32_t format) {
    gRequests.push_back(std::chrono::steady_clock::now());
    if (format != Picture) return nullptr;
    memcpy(gServed.data(), gRendered.data(), gRendered.size());
    return gServed.data();
}
#if BENCH_AVIUTL1
int PLUGIN_CDECL NotAborted(void) { return 0; }
int PLUGIN_CDECL NoProgress(int, int) { return 0; }
int PLUGIN_CDECL NoPreview(void) { return 0; }
#else
bool NotAborted(void) { return false; }
void NoProgress(int, int) {}
#endif

unsigned char gBlob[SettingsBlobSize];
[[maybe_unused]] bool GetBinary(const char*, void* data, int size) {
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

double Median(const double* values, int count) {
    std::vector<double> sorted(values, values + count);
    std::sort(sorted.begin(), sorted.end());
    return sorted[sorted.size() / 2];
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
    uint64_t halves[2];
    _mm_storeu_si128(reinterpret_cast<__m128i*>(halves), a);
    return halves[0] + halves[1];
}
volatile uint64_t gReadSum;

// The floor: the same header and frame writes from a buffer that needs no
// conversion, after the same memcpy of the host's picture; with
// `readPicture`, the bound: the picture also read once before the write.
bool Floor(const std::string& path, int frames, bool readPicture) {
    std::vector<uint8_t> frame(static_cast<size_t>(Width) * Height * 3, 128);  // 10-bit 4:2:0: 3 bytes a pixel
    int fd = _open(path.c_str(), PLATFORM_OPEN_FLAGS, 0666);
    if (fd < 0) return false;
    const char header[] = "YUV4MPEG2 W1920 H1080 F30000:1001 Ip A0:0 C420p10 XYSCSS=420P10 XCOLORRANGE=LIMITED\n";
    bool ok = _write(fd, header, sizeof header - 1) == static_cast<int>(sizeof header - 1);
    for (int i = 0; ok && i < frames; ++i) {
        const uint8_t* picture = static_cast<const uint8_t*>(GetVideo(i, Picture));
        if (readPicture) gReadSum = gReadSum + ReadPicture(picture, gServed.size());
        ok = _write(fd, "FRAME\n", 6) == 6 &&
             _write(fd, frame.data(), static_cast<unsigned>(frame.size())) == static_cast<int>(frame.size());
    }
    _close(fd);
    return ok;
}

// The module's table through its one export.
template <typename Table>
Table* LoadTable(const char* path) {
#ifdef _WIN32
    HMODULE module = LoadLibraryA(path);
    void* entry = module != nullptr ? reinterpret_cast<void*>(GetProcAddress(module, "GetOutputPluginTable")) : nullptr;
#else
    void* module = dlopen(path, RTLD_NOW | RTLD_LOCAL);
    void* entry = module != nullptr ? dlsym(module, "GetOutputPluginTable") : nullptr;
#endif
    return entry != nullptr ? reinterpret_cast<Table* (*)(void)>(entry)() : nullptr;
}

// An export of `frames` frames to `path` with the settings in gBlob.
#if BENCH_AVIUTL1
typedef OutputPluginTable Table;
bool Export(Table* table, const std::string& path, int frames) {
    OutputRequest request = {};
    request.width = Width;
    request.height = Height;
    request.rate = 30000;
    request.scale = 1001;
    request.frameCount = frames;
    request.outputPath = path.c_str();
    request.isAbort = NotAborted;
    request.showProgress = NoProgress;
    request.updatePreview = NoPreview;
    request.getFrame = GetVideo;
    return table->output(&request) != 0;
}
bool PutSettings(Table* table) { return table->init() && table->configSet(gBlob, SettingsBlobSize) != 0; }
#else
typedef ExEdit2PluginTable Table;
bool Export(Table* table, const std::string& path, int frames) {
    const std::wstring wide(path.begin(), path.end());
    ExEdit2OutputInfo request = {};
    request.flags = OutputFlagVideo;
    request.width = Width;
    request.height = Height;
    request.rate = 30000;
    request.scale = 1001;
    request.frameCount = frames;
    request.outputPath = reinterpret_cast<const WideChar*>(wide.c_str());
    request.getVideo = GetVideo;
    request.isAbort = NotAborted;
    request.showProgress = NoProgress;
    return table->output(&request);
}
bool PutSettings(Table* table) {
    ProjectFile project = {};
    project.getBinary = GetBinary;
    table->loadProject(&project);
    return true;
}
#endif

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        fprintf(stderr, "usage: %s MODULE OUTPUT FRAMES\n", argv[0]);
        return 2;
    }
    const int frames = atoi(argv[3]);
    Table* table = LoadTable<Table>(argv[1]);
    OutputSettings settings = {};
    settings.colorFormat = Yuv420P10;
    EncodeSettingsBlob(&settings, gBlob);
    if (table == nullptr || !PutSettings(table)) {
        fprintf(stderr, "cannot load %s\n", argv[1]);
        return 1;
    }
    // A picture as a host makes it: YC48 in its nominal range, PA64 opaque.
    gRendered.resize(static_cast<size_t>(PixelBytes) * Width * Height);
    gServed.resize(gRendered.size());
    for (size_t p = 0; p < gRendered.size() / PixelBytes; ++p) {
        const uint32_t h = static_cast<uint32_t>(p) * 2654435761u;
        uint16_t px[4] = {static_cast<uint16_t>(h >> 16), static_cast<uint16_t>(p * 40503u),
                          static_cast<uint16_t>(p * 7919u), 65535};
        if (PixelBytes == 6) {
            px[0] = static_cast<uint16_t>((h >> 8) % 4097);
            px[1] = static_cast<uint16_t>(static_cast<int>((h >> 3) % 4097) - 2048);
            px[2] = static_cast<uint16_t>(static_cast<int>((h >> 13) % 4097) - 2048);
        }
        memcpy(&gRendered[PixelBytes * p], px, PixelBytes);
    }
    const std::string path = argv[2];
    enum { Runs = 5 };
    double exportFps[Runs], floorFps[Runs], boundFps[Runs], toFloor[Runs], boundToFloor[Runs], toBound[Runs];
    for (int run = 0; run < Runs; ++run) {
        std::vector<double> exportTimes, floorTimes, boundTimes;
        gRequests.clear();
        const bool exported = Export(table, path, frames);
        CollectFrameTimes(&exportTimes);
        const bool floorWritten = Floor(path, frames, false);
        CollectFrameTimes(&floorTimes);
        const bool boundWritten = Floor(path, frames, true);
        CollectFrameTimes(&boundTimes);
        if (!exported || !floorWritten || !boundWritten) {
            fprintf(stderr, "a run failed to write %s\n", argv[2]);
            return 1;
        }
        exportFps[run] = MedianFps(exportTimes), floorFps[run] = MedianFps(floorTimes);
        boundFps[run] = MedianFps(boundTimes);
        toFloor[run] = exportFps[run] / floorFps[run], boundToFloor[run] = boundFps[run] / floorFps[run];
        toBound[run] = exportFps[run] / boundFps[run];
    }
    remove(path.c_str());
    printf(
        "| %s export, 1080p %s to 420p10 (fps) | floor: memcpy of the %s frame + the writes (fps) | bound: "
        "floor + one read of the %s frame (fps) | export / floor | bound / floor | export / bound |\n",
        Interface, PictureName, PictureName, PictureName);
    printf("|---|---|---|---|---|---|\n| %.1f | %.1f | %.1f | %.2f | %.2f | %.2f |\n", Median(exportFps, Runs),
           Median(floorFps, Runs), Median(boundFps, Runs), Median(toFloor, Runs), Median(boundToFloor, Runs),
           Median(toBound, Runs));
    printf("export / bound of each run, in order:");
    for (double r : toBound) printf(" %.2f", r);
    printf("\n");
    return 0;
}
