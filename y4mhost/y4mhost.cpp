// y4mhost: runs an export through a YUV4MPEG2 output plug-in the way its host
// does, from a video file (decoded with FFmpeg's libraries), raw YUY2 frames,
// or the built-in test pattern.
#include <errno.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <string>
#include <vector>

#include "convert/colour_matrices.h"
#include "export/encoder_command.h"
#include "export/export_job.h"
#include "plugin_version.h"
#include "settings/color_formats.h"
#include "settings/output_settings.h"
#include "y4mhost/frame_source.h"
#include "y4mhost/host_options.h"
#include "y4mhost/own_commands.h"
#include "y4mhost/host_system.h"
#include "y4mhost/plugin_session.h"
#include "y4mhost/precise_picture.h"
#include "y4mhost/report_meaning.h"
#include "y4mhost/test_pattern.h"

#ifndef Y4MHOST_DEFAULT_PLUGIN
#define Y4MHOST_DEFAULT_PLUGIN "yuv4mpeg2.so"
#endif

enum { ExitExported = 0, ExitFailed = 1, ExitUsage = 2, ExitInterrupted = 130 };

// What an export has served, and the source it is served from.
struct ServedFrames {
    const FrameSourceKind* kind;
    uint32_t picture;  // the picture format the export asks for
    int32_t frameCount;
    int32_t served;
    int32_t abortQuestions;
};

struct ProgressState {
    bool draw;
    double start;
    bool drawn;
};

static ServedFrames gSource;
static const PluginSession* gSession;
static ProgressState gProgress;

static bool IsAbort(void) {
    ++gSource.abortQuestions;
    return InterruptRequested();
}

static void ShowProgress(int now, int total) {
    if (!gProgress.draw || total <= 0) return;
    double elapsed = SecondsNow() - gProgress.start;
    double fps = elapsed > 0 ? now / elapsed : 0;
    double left = fps > 0 ? (total - now) / fps : 0;
    const int width = 30;
    int filled = static_cast<int>(static_cast<int64_t>(now) * width / total);
    char bar[width + 1];
    for (int i = 0; i < width; ++i) bar[i] = i < filled ? '#' : '-';
    bar[width] = '\0';
    fprintf(HostConsole(), "\r[%s] %5.1f%%  %d/%d frames  %7.1f fps  %d:%02d left ", bar, 100.0 * now / total, now,
            total, fps, static_cast<int>(left) / 60, static_cast<int>(left) % 60);
    fflush(HostConsole());
    gProgress.drawn = true;
}

static void* GetFrame(int index, uint32_t format) {
    if (format != gSource.picture) {
        fprintf(HostConsole(), "y4mhost: the plug-in asked for frame %d as 0x%08X; this export serves %s\n", index,
                static_cast<unsigned>(format), PictureName(gSource.picture));
        return nullptr;
    }
    if (index < 0) return nullptr;
    std::string error;
    const uint8_t* frame = gSource.kind->frame(index, &error);
    if (frame == nullptr) {
        if (error.empty())
            fprintf(HostConsole(), "y4mhost: input ended after %d of %d frames\n", index, gSource.frameCount);
        else
            fprintf(HostConsole(), "y4mhost: %s\n", error.c_str());
        return nullptr;
    }
    ++gSource.served;
    return const_cast<uint8_t*>(frame);
}

// Whatever the source holds open: the decoding thread stopped and joined,
// files closed. Every way out of main passes here. What the summary adds of
// the input, or "".
static std::string CloseSource() { return gSource.kind != nullptr ? gSource.kind->close() : ""; }

static int Usage(const std::string& message) {
    CloseSource();
    fprintf(stderr, "y4mhost: %s\n", message.c_str());
    return ExitUsage;
}

static bool ReadBlobFile(const std::string& path, OutputSettings* settings, std::string* error) {
    FILE* file = OpenHostFile(path, "rb");
    if (file == nullptr) {
        *error = "cannot read settings file " + path + ": " + strerror(errno);
        return false;
    }
    unsigned char bytes[MaxSettingsBlobSize + 1];
    size_t count = fread(bytes, 1, sizeof bytes, file);
    fclose(file);
    if (!DecodeSettingsBlob(bytes, static_cast<int32_t>(count), settings)) {
        *error = "settings file " + path + " is not a settings blob (" + std::to_string(SettingsBlobSize) + " or " +
                 std::to_string(EncoderSettingsBlobSize) + " bytes)";
        return false;
    }
    return true;
}

// Bytes of one written frame of this format.
static int64_t PlanarFrameBytes(const ColorFormatInfo* format, int64_t width, int64_t height) {
    const int64_t chroma = (width >> format->chromaWidthShift) * (height >> format->chromaHeightShift);
    return SampleBytes(format) * (width * height + 2 * chroma);
}

// Opens the frame source and settles the frame count; false on a bad source.
static bool PrepareSource(HostOptions* o, OutputSettings* settings, bool settingsGiven, std::string* error) {
    gSource.kind = SourceKindFor(*o);
    if (!gSource.kind->open(o, settings, settingsGiven, error)) return false;
    gSource.frameCount = o->frames;
    return true;
}

// Everything an export holds at once must fit the machine: the host's frames
// (a video file's ring, scratch and decoded pictures, or the pattern's and
// raw input's frames) and the plug-in's own frame. Judged before any of
// them is allocated, as are FFmpeg's own limits on its pictures.
static bool MemoryFits(const HostOptions& o, const OutputSettings& settings, uint32_t picture, std::string* error) {
    int64_t held = gSource.kind->bytesHeld(o.width, o.height, picture);
    const std::string size = Ratio(o.width, o.height, "x");
    if (held < 0) {
        *error = "frame size " + size + " is too large for FFmpeg's pictures, which the deep colour formats are " +
                 "made from (their sizes are 32-bit); give a smaller --size";
        return false;
    }
    const ColorFormatInfo* format = ColorFormatOrDefault(settings.colorFormat);
    held += PlanarFrameBytes(format, o.width, o.height);
    const int64_t machine = MachineMemoryBytes();
    if (held <= machine) return true;
    *error = "frame size " + size + " needs " + std::to_string(held >> 20) + " MiB at once (the host's " +
             PictureName(picture) + " frames and the plug-in's), more than the " + std::to_string(machine >> 20) +
             " MiB this process can have; give a smaller --size";
    return false;
}

// Once the settings are final: frames in the picture format they ask for,
// judged to fit first. A video file starts decoding ahead.
static bool StartSource(const HostOptions& o, const OutputSettings& settings, uint32_t picture, std::string* error) {
    if (!FrameSizeFits(o, picture, error) || !MemoryFits(o, settings, picture, error)) return false;
    gSource.picture = picture;
    gSource.kind->start(o.width, o.height, picture, settings.interlaceMode, o.still);
    return true;
}

// The deep colour formats are made from the host's precise picture, the
// others from YUY2; a code outside the table gets YUY2 (the plug-in refuses it).
static uint32_t PictureFor(const OutputSettings& settings) {
    const ColorFormatInfo* format = FindColorFormat(settings.colorFormat);
    return format != nullptr && format->picture == PicturePrecise ? gSession->precisePicture : FrameFormatYuy2;
}

// The output, or the settings file written, must not be a file the run
// reads: opening it for writing would destroy it before it is read.
static bool WritesOverAnInput(const HostOptions& o, std::string* error) {
    const std::string outputs[] = {o.outputPath == "-" ? std::string() : o.outputPath, o.saveSettingsPath};
    const std::string inputs[] = {o.videoPath, o.rawPath == "-" ? std::string() : o.rawPath, o.settingsPath,
                                  o.pluginPath};
    for (const std::string& output : outputs) {
        if (output.empty()) continue;
        for (const std::string& input : inputs) {
            if (input.empty() || !SameFile(output, input)) continue;
            *error = "refusing to write " + output + ": it is the input file " + input +
                     " (the same file, through whatever path or link); give another output name";
            return true;
        }
    }
    return false;
}

// Whole frames in a .y4m file of `bytes` bytes, by its own header line: a
// failed write leaves part of the next frame after them. -1 when the header
// cannot be read.
static int64_t WholeFramesInFile(const std::string& path, int64_t bytes) {
    char header[512] = {};
    FILE* file = OpenHostFile(path, "rb");
    const size_t count = file != nullptr ? fread(header, 1, sizeof header - 1, file) : 0;
    if (file != nullptr) fclose(file);
    const char* end = static_cast<const char*>(memchr(header, '\n', count));
    if (end == nullptr || strncmp(header, "YUV4MPEG2 ", 10) != 0) return -1;
    int64_t width = 0, height = 0;
    const ColorFormatInfo* format = &ColorFormats[0];
    for (const char* tag = header; tag != nullptr && tag < end; tag = strchr(tag + 1, ' ')) {
        if (tag[1] == 'W') width = strtoll(tag + 2, nullptr, 10);
        if (tag[1] == 'H') height = strtoll(tag + 2, nullptr, 10);
        // The row whose colour tag (" C420p10 ...") this one is.
        for (const ColorFormatInfo& known : ColorFormats) {
            const size_t length = strcspn(known.headerTag + 1, " ");
            if (strncmp(tag + 1, known.headerTag + 1, length) == 0 &&
                (tag[1 + length] == ' ' || tag[1 + length] == '\n'))
                format = &known;
        }
    }
    const int64_t frame = 6 + PlanarFrameBytes(format, width, height);
    const int64_t headerBytes = end - header + 1;
    return width > 0 && height > 0 && bytes >= headerBytes ? (bytes - headerBytes) / frame : -1;
}

static void Export(const HostOptions& o, bool toStdout, int* status) {
    const HostServices services = {IsAbort, ShowProgress, GetFrame};
    InstallInterruptHandler();
    gProgress.draw = !o.quiet && StderrIsTerminal();
    gProgress.start = SecondsNow();
    BeginReportCapture();
    const int result =
        gSession->runExport(o.width, o.height, o.rate, o.scale, o.frames, o.outputPath, services) ? 1 : 0;
    double seconds = SecondsNow() - gProgress.start;
    if (gProgress.drawn) fputc('\n', HostConsole());
    // A reader that closed the pipe (head, or an encoder that refused the
    // stream) is no write failure of ours: one line says what happened.
    const bool readerGone = toStdout && result != 1 && OutputReaderGone();
    std::string report = EndReportCapture(!readerGone);
    const std::string inputNotes = CloseSource();

    // A refused export wrote nothing: no summary then. The plug-in writes
    // its header before it first asks about an abort.
    const bool wrote = result == 1 || gSource.abortQuestions > 0;
    const std::string target = toStdout ? std::string("standard output") : o.outputPath;
    // Every frame fetched was written, but for the one whose write failed.
    const int32_t written = gSource.served - (IsWriteFailureReport(report) || readerGone ? 1 : 0);
    if (readerGone) {
        fprintf(stderr, "y4mhost: the reader of the output closed it after %d frame%s\n", written > 0 ? written : 0,
                written == 1 ? "" : "s");
        *status = ExitFailed;
        return;
    }
    if (wrote) {
        int64_t bytes = toStdout ? -1 : RegularFileSize(o.outputPath);
        double fps = seconds > 0 ? gSource.served / seconds : 0;
        std::string notes = inputNotes;
        // ExEdit2's picture is R'G'B': what a Y'CbCr source holds outside it
        // is clipped on the way, by the host, not by the plug-in.
        const ClipCount clips = PreciseClipCount();
        if (FindHostPicture(gSource.picture)->coding == CodedRgb && clips.clipped > 0) {
            const double share = 100.0 * static_cast<double>(clips.clipped) / static_cast<double>(clips.pixels);
            char percent[32];
            snprintf(percent, sizeof percent, share < 0.1 ? "less than 0.1%%" : "%.1f%%", share);
            notes +=
                std::string("; ") + percent + " of pixels were outside RGB's range and were clipped, as ExEdit2 does";
        }
        if (!o.encoderCommand.empty()) {
            // The encoder wrote what its command says; the plug-in's report
            // (below) says why it stopped.
            std::string log(o.outputPath.size() + 8, '\0');
            EncoderLogPath(o.outputPath.c_str(), &log[0], static_cast<int32_t>(log.size()));
            if (result == 1)
                fprintf(stderr, "y4mhost: exported %d frames into the encoder in %.2f s (%.1f fps); its log: %s%s\n",
                        gSource.served, seconds, fps, log.c_str(), notes.c_str());
        } else if (result == 1) {
            std::string size = bytes >= 0 ? ", " + std::to_string(bytes) + " bytes" : "";
            fprintf(stderr, "y4mhost: exported %d frames%s to %s in %.2f s (%.1f fps)%s\n", gSource.served,
                    size.c_str(), target.c_str(), seconds, fps, notes.c_str());
        } else {
            const int64_t whole = bytes >= 0 ? WholeFramesInFile(o.outputPath, bytes) : written > 0 ? written : 0;
            std::string size = bytes >= 0 ? " (" + std::to_string(bytes) + " bytes)" : "";
            fprintf(stderr, "y4mhost: stopped; %s holds %lld whole frames of %d%s%s\n", target.c_str(),
                    static_cast<long long>(whole > 0 ? whole : 0), o.frames, size.c_str(), notes.c_str());
        }
    }
    if (InterruptRequested()) {
        fprintf(stderr, "y4mhost: aborted\n");
        *status = ExitInterrupted;
        return;
    }
    if (result != 1 && !report.empty()) fprintf(stderr, "y4mhost: %s\n", ReportMeaning(report));
    *status = result == 1 ? ExitExported : ExitFailed;
}

int main(int argc, char** argv) {
    HostOptions o;
    std::string error;
    std::vector<std::string> arguments = CommandLineUtf8(argc, argv);
    std::vector<char*> utf8Argv;
    for (std::string& argument : arguments) utf8Argv.push_back(&argument[0]);
    utf8Argv.push_back(nullptr);
    if (!ParseHostOptions(argc, utf8Argv.data(), &o, &error)) return Usage(error);
    if (o.help) {
        fputs(HostUsage, stdout);
        return ExitExported;
    }
    if (o.version) {
        printf("y4mhost %s\n", PLUGIN_PRODUCT_VERSION_TEXT);
        return ExitExported;
    }
    if (o.pluginPath.empty()) o.pluginPath = Y4MHOST_DEFAULT_PLUGIN;
    if (WritesOverAnInput(o, &error)) return Usage(error);
    // As ffmpeg does when it cannot ask: a file already there is kept unless
    // -y says it may go. A pipe or a device is written to, not replaced.
    // Into an encoder, -o is only the name its command is given: what the
    // encoder does with an existing file is its own option's say.
    if (!o.overwrite && o.encoderCommand.empty() && o.outputPath != "-" && IsRegularFile(o.outputPath))
        return Usage("output " + o.outputPath + " exists: give -y (--overwrite) to replace it");

    OutputSettings settings = {};
    if (!o.settingsPath.empty() && !ReadBlobFile(o.settingsPath, &settings, &error)) return Usage(error);
    if (o.colorFormat >= 0) settings.colorFormat = o.colorFormat;
    if (o.aspectMode >= 0) {
        settings.aspectMode = o.aspectMode;
        if (o.aspectMode == AspectCustomPixel) {
            settings.pixelAspectNum = o.aspectNum;
            settings.pixelAspectDen = o.aspectDen;
        }
    }
    if (o.interlaceMode >= 0) settings.interlaceMode = o.interlaceMode;
    if (!o.encoderCommand.empty()) {
        settings.destination = DestinationEncoder;
        memset(settings.encoderName, 0, sizeof settings.encoderName);
        strncpy(settings.encoderName, OwnCommandName, EncoderNameSize - 1);
    }
    if (o.config && !HostHasDialogs()) return Usage("--config needs the Windows build: this one shows no dialogs");
    const bool toStdout = o.outputPath == "-";
    if (toStdout) {
        if (StandardOutputPath().empty()) return Usage("-o - is available in the native build only: give a file name");
        if (StdoutIsTerminal()) return Usage("-o - would write video to the terminal: redirect it or pipe it");
        o.outputPath = StandardOutputPath();
    }
    if (!PrepareSource(&o, &settings, !o.settingsPath.empty(), &error)) return Usage(error);

    gSession = SessionFor(o.pluginPath);
    if (!gSession->open(o.pluginPath, &error)) return Usage(error);
    unsigned char blob[MaxSettingsBlobSize];
    EncodeSettingsBlob(&settings, blob);
    if (!gSession->putSettings(blob, SettingsBlobSizeOf(&settings)))
        fprintf(stderr, "y4mhost: the plug-in did not take the %d-byte settings\n", int(SettingsBlobSizeOf(&settings)));
    if (o.config) {
        int result = gSession->runDialog();
        if (result == -2) return Usage(o.pluginPath + " has no settings dialog");
        if (result != 1) fprintf(stderr, "y4mhost: settings dialog ended with %d; settings unchanged\n", result);
    }
    const int32_t blobSize = gSession->takeSettings(blob);
    DecodeSettingsBlob(blob, blobSize, &settings);
    if (!o.saveSettingsPath.empty()) {
        FILE* file = OpenHostFile(o.saveSettingsPath, "wb");
        bool saved = file != nullptr && blobSize > 0 &&
                     fwrite(blob, 1, static_cast<size_t>(blobSize), file) == static_cast<size_t>(blobSize);
        if (file != nullptr && fclose(file) != 0) saved = false;
        if (!saved) return Usage("cannot write settings file " + o.saveSettingsPath + ": " + strerror(errno));
    }
    if (!StartSource(o, settings, PictureFor(settings), &error)) return Usage(error);
    gSource.kind->describe(o, settings);
    if (!o.encoderCommand.empty() && !UseOwnCommandsFile(o.encoderCommand, &error)) return Usage(error);
    int status = ExitFailed;
    Export(o, toStdout, &status);
    RemoveOwnCommandsFile();
    return status;
}
