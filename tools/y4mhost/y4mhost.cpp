// y4mhost: runs an export through a YUV4MPEG2 output plug-in the way its host
// does, from the built-in test pattern or from raw YUY2 frames.
#include <errno.h>
#include <stdio.h>
#include <string.h>

#include <string>
#include <vector>

#include "host/output_request.h"
#include "host/plugin_table.h"
#include "tools/y4mhost/host_options.h"
#include "tools/y4mhost/host_system.h"
#include "tools/y4mhost/test_pattern.h"

#ifndef Y4MHOST_DEFAULT_PLUGIN
#define Y4MHOST_DEFAULT_PLUGIN "yuv4mpeg2.so"
#endif

enum { ExitExported = 0, ExitFailed = 1, ExitUsage = 2, ExitInterrupted = 130 };

struct FrameSource {
    FILE* raw;  // null: the test pattern
    bool rawSeekable;
    int32_t nextRawFrame;
    bool still;
    bool stillDrawn;
    int32_t width, height, fieldOrder;
    size_t frameBytes;
    std::vector<uint8_t> frame;
    int32_t served;
};

struct ProgressState {
    bool draw;
    double start;
    bool drawn;
};

static FrameSource gSource;
static ProgressState gProgress;

static int PLUGIN_CDECL IsAbort(void) { return InterruptRequested() ? 1 : 0; }

static int PLUGIN_CDECL ShowProgress(int now, int total) {
    if (!gProgress.draw || total <= 0) return 0;
    double elapsed = SecondsNow() - gProgress.start;
    double fps = elapsed > 0 ? now / elapsed : 0;
    double left = fps > 0 ? (total - now) / fps : 0;
    const int width = 30;
    int filled = static_cast<int>(static_cast<int64_t>(now) * width / total);
    char bar[width + 1];
    for (int i = 0; i < width; ++i) bar[i] = i < filled ? '#' : '-';
    bar[width] = '\0';
    fprintf(stderr, "\r[%s] %5.1f%%  %d/%d frames  %7.1f fps  %d:%02d left ", bar, 100.0 * now / total, now, total, fps,
            static_cast<int>(left) / 60, static_cast<int>(left) % 60);
    fflush(stderr);
    gProgress.drawn = true;
    return 0;
}

static int PLUGIN_CDECL UpdatePreview(void) { return 0; }

static bool ReadRawFrame(int32_t index) {
    if (index != gSource.nextRawFrame) {
        if (!gSource.rawSeekable) return false;  // a pipe can only go forward
        if (fseeko(gSource.raw, static_cast<off_t>(index) * static_cast<off_t>(gSource.frameBytes), SEEK_SET) != 0)
            return false;
    }
    gSource.nextRawFrame = index + 1;
    return fread(gSource.frame.data(), 1, gSource.frameBytes, gSource.raw) == gSource.frameBytes;
}

static void* PLUGIN_CDECL GetFrame(int index, uint32_t format) {
    if (format != FrameFormatYuy2 || index < 0) return nullptr;
    if (gSource.raw != nullptr) {
        if (!ReadRawFrame(index)) return nullptr;
    } else if (!gSource.still || !gSource.stillDrawn) {
        DrawTestPattern(gSource.frame.data(), gSource.width, gSource.height, index, gSource.fieldOrder);
        gSource.stillDrawn = true;
    }
    ++gSource.served;
    return gSource.frame.data();
}

static int Usage(const std::string& message) {
    fprintf(stderr, "y4mhost: %s\n", message.c_str());
    return ExitUsage;
}

static bool ReadBlobFile(const std::string& path, unsigned char* blob, std::string* error) {
    FILE* file = fopen(path.c_str(), "rb");
    if (file == nullptr) {
        *error = "cannot read settings file " + path + ": " + strerror(errno);
        return false;
    }
    unsigned char bytes[21];
    size_t count = fread(bytes, 1, sizeof bytes, file);
    fclose(file);
    if (count != 20) {
        *error = "settings file " + path + " is not a 20-byte settings blob";
        return false;
    }
    memcpy(blob, bytes, 20);
    return true;
}

static void PutField(unsigned char* blob, int field, int32_t value) {
    uint32_t bits = static_cast<uint32_t>(value);
    for (int i = 0; i < 4; ++i) blob[4 * field + i] = static_cast<unsigned char>(bits >> (8 * i));
}

static int32_t GetField(const unsigned char* blob, int field) {
    uint32_t bits = 0;
    for (int i = 0; i < 4; ++i) bits |= static_cast<uint32_t>(blob[4 * field + i]) << (8 * i);
    return static_cast<int32_t>(bits);
}

// Opens the frame source and settles the frame count; false on a bad source.
static bool PrepareSource(HostOptions* o, std::string* error) {
    int64_t frameBytes = 2 * static_cast<int64_t>(o->width) * o->height;
    if (frameBytes > INT32_MAX) {
        *error = "frame size " + std::to_string(o->width) + "x" + std::to_string(o->height) + " is too large";
        return false;
    }
    gSource.width = o->width;
    gSource.height = o->height;
    gSource.frameBytes = static_cast<size_t>(frameBytes);
    gSource.still = o->still;
    if (o->inputPath.empty()) {
        if (o->frames < 0) o->frames = 300;
    } else if (o->inputPath == "-") {
        UseBinaryStdin();
        gSource.raw = stdin;
    } else {
        gSource.raw = fopen(o->inputPath.c_str(), "rb");
        if (gSource.raw == nullptr) {
            *error = "cannot read input " + o->inputPath + ": " + strerror(errno);
            return false;
        }
        gSource.rawSeekable = IsRegularFile(o->inputPath);
        int64_t size = RegularFileSize(o->inputPath);
        if (size >= 0) {
            int64_t whole = size / frameBytes;
            if (o->frames < 0) o->frames = static_cast<int32_t>(whole < INT32_MAX ? whole : INT32_MAX);
            if (o->frames > whole) {
                *error = "input " + o->inputPath + " holds only " + std::to_string(whole) + " whole " +
                         std::to_string(o->width) + "x" + std::to_string(o->height) + " YUY2 frames";
                return false;
            }
        } else if (o->frames < 0) {
            *error = "--frames is needed when the input is not a regular file";
            return false;
        }
    }
    gSource.frame.assign(gSource.frameBytes + 1, 0);
    return true;
}

int main(int argc, char** argv) {
    HostOptions o;
    std::string error;
    if (!ParseHostOptions(argc, argv, &o, &error)) return Usage(error);
    if (o.help) {
        fputs(HostUsage, stdout);
        return ExitExported;
    }
    if (o.pluginPath.empty()) o.pluginPath = Y4MHOST_DEFAULT_PLUGIN;

    unsigned char blob[20] = {};
    if (!o.settingsPath.empty() && !ReadBlobFile(o.settingsPath, blob, &error)) return Usage(error);
    if (o.colorFormat >= 0) PutField(blob, 0, o.colorFormat);
    if (o.aspectMode >= 0) {
        PutField(blob, 1, o.aspectMode);
        if (o.aspectMode == 3) {
            PutField(blob, 2, o.aspectNum);
            PutField(blob, 3, o.aspectDen);
        }
    }
    if (o.interlaceMode >= 0) PutField(blob, 4, o.interlaceMode);
    if (!PrepareSource(&o, &error)) return Usage(error);

    void* module = nullptr;
    OutputPluginTable* table = static_cast<OutputPluginTable*>(LoadPluginTable(o.pluginPath, &module, &error));
    if (table == nullptr) return Usage(error);
    if (table->output == nullptr) return Usage(o.pluginPath + " has no output entry point");

    if (table->init != nullptr && table->init() == 0) fprintf(stderr, "y4mhost: the plug-in's init failed\n");
    if (table->configSet != nullptr && table->configSet(blob, 20) != 20)
        fprintf(stderr, "y4mhost: the plug-in did not take the 20-byte settings\n");
    if (o.config) {
        if (table->config == nullptr) return Usage(o.pluginPath + " has no settings dialog");
        int result = table->config(nullptr, static_cast<HINSTANCE>(module));
        if (result != 1) fprintf(stderr, "y4mhost: settings dialog ended with %d; settings unchanged\n", result);
    }
    if (table->configGet != nullptr && table->configGet(nullptr, 0) == 20) table->configGet(blob, 20);
    gSource.fieldOrder = GetField(blob, 4);
    if (!o.saveSettingsPath.empty()) {
        FILE* file = fopen(o.saveSettingsPath.c_str(), "wb");
        if (file == nullptr || fwrite(blob, 1, 20, file) != 20 || fclose(file) != 0)
            return Usage("cannot write settings file " + o.saveSettingsPath);
    }

    OutputRequest request = {};
    request.width = o.width;
    request.height = o.height;
    request.rate = o.rate;
    request.scale = o.scale;
    request.frameCount = o.frames;
    request.outputPath = o.outputPath.c_str();
    request.isAbort = IsAbort;
    request.showProgress = ShowProgress;
    request.updatePreview = UpdatePreview;
    request.getFrame = GetFrame;

    InstallInterruptHandler();
    gProgress.draw = !o.quiet && StderrIsTerminal();
    gProgress.start = SecondsNow();
    int result = table->output(&request);
    double seconds = SecondsNow() - gProgress.start;
    if (gProgress.drawn) fputc('\n', stderr);

    int64_t bytes = RegularFileSize(o.outputPath);
    double fps = seconds > 0 ? gSource.served / seconds : 0;
    if (bytes >= 0)
        fprintf(stderr, "y4mhost: %d frames, %lld bytes in %.2f s (%.1f MB/s, %.1f fps)\n", gSource.served,
                static_cast<long long>(bytes), seconds, seconds > 0 ? bytes / seconds / 1e6 : 0.0, fps);
    else
        fprintf(stderr, "y4mhost: %d frames in %.2f s (%.1f fps)\n", gSource.served, seconds, fps);
    if (InterruptRequested()) {
        fprintf(stderr, "y4mhost: aborted\n");
        return ExitInterrupted;
    }
    return result == 1 ? ExitExported : ExitFailed;
}
