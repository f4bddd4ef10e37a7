// A video file through FFmpeg's libraries (video_input.h), decoded ahead on
// a thread of its own.
#include <stdio.h>

#include "convert/colour_matrices.h"
#include "convert/host_pictures.h"
#include "settings/color_formats.h"
#include "y4mhost/frame_source.h"
#include "y4mhost/host_options.h"
#include "y4mhost/video_input.h"

namespace {

VideoInfo gVideoInfo;
std::string gName;
bool gFormatFollowsFile;
bool gOpen;
uint32_t gPicture;  // what the export is served in
const char* const ScanNames[] = {"progressive", "top field first", "bottom field first"};

// A video file: what the host knows of it becomes the request and, where the
// command line says nothing, the settings.
bool Open(HostOptions* o, OutputSettings* settings, bool settingsGiven, std::string* error) {
    VideoInfo& info = gVideoInfo;
    gName = o->videoPath;
    gOpen = true;
    if (!OpenVideoInput(o->videoPath, &info, error)) return false;
    if (!o->sizeGiven) {
        o->width = info.width;
        o->height = info.height;
    }
    if (o->rateGiven) {
        // The file laid on a timeline of the rate asked for, as ffmpeg's -r.
        PlanVideoTimeline(o->rate, o->scale, &info);
    } else {
        if (info.rate <= 0) {
            *error = "input " + o->videoPath + " does not say its frame rate: give --rate";
            return false;
        }
        o->rate = info.rate;
        o->scale = info.scale;
    }
    if (o->frames < 0 || o->frames > info.frames) o->frames = info.frames;
    // A resize changes the shape of each pixel: the picture keeps its shape.
    int32_t aspectNum = 0, aspectDen = 0;
    const bool aspectKnown = ScaledSampleAspect(info, o->width, o->height, &aspectNum, &aspectDen);
    const bool square = aspectNum == aspectDen;
    if (!settingsGiven && o->interlaceMode < 0) settings->interlaceMode = info.scan;
    if (!settingsGiven && o->colorFormat < 0) {
        settings->colorFormat = info.source.nearestColorFormat;
        gFormatFollowsFile = true;
    }
    if (!settingsGiven && o->aspectMode < 0 && aspectKnown && !square) {
        settings->aspectMode = AspectCustomPixel;
        settings->pixelAspectNum = aspectNum;
        settings->pixelAspectDen = aspectDen;
    }
    std::string found = "y4mhost: " + o->videoPath + ": " + info.codec + " " + Ratio(info.width, info.height, "x") +
                        ", " + info.source.description + ", " +
                        (info.rate > 0 ? Ratio(info.rate, info.scale, "/") : std::string("unknown")) + " fps, " +
                        std::to_string(info.pictures) + " pictures, " + ScanNames[info.scan] + ", sample aspect " +
                        (info.aspectNum > 0 ? Ratio(info.aspectNum, info.aspectDen, ":") : std::string("unknown"));
    fprintf(stderr, "%s\n", found.c_str());
    return FrameSizeFits(*o, FrameFormatYuy2, error);
}

void Start(int32_t width, int32_t height, uint32_t picture, int32_t, bool) {
    gPicture = picture;
    StartVideoDecoding(width, height, picture);
}

// The frames of a file come in order, from the decoding thread's ring.
const uint8_t* Frame(int32_t index, std::string* error) {
    const uint8_t* frame = nullptr;
    if (ReadVideoFrame(index, &frame, error)) return frame;
    if (!error->empty()) *error = "input " + gName + ", frame " + std::to_string(index) + ": " + *error;
    return nullptr;
}

// What the export makes of a video file, after every option and the
// plug-in's own settings: the line before the export.
void Describe(const HostOptions& o, const OutputSettings& settings) {
    const VideoInfo& info = gVideoInfo;
    const ColorFormatInfo* format = FindColorFormat(settings.colorFormat);
    const bool known = format != nullptr;
    const std::string layout = known ? format->layoutName : "";
    std::string line = "y4mhost: exporting " + Ratio(o.width, o.height, "x");
    if (o.width != info.width || o.height != info.height) line += " (scaled)";
    line += ", " + Ratio(o.rate, o.scale, "/") + " fps, " + std::to_string(o.frames) + " frames, " +
            (settings.interlaceMode >= 0 && settings.interlaceMode <= 2
                 ? ScanNames[settings.interlaceMode]
                 : "scan code " + std::to_string(settings.interlaceMode)) +
            (known ? ", " + ColorFormatOptionName(settings.colorFormat) + " (" + layout + " " +
                         std::to_string(format->bits) + "-bit" + (gFormatFollowsFile ? ", as the file" : "") + ")"
                   : ", colour format code " + std::to_string(settings.colorFormat));
    if (info.repeated > 0 || info.dropped > 0)
        line += "; the " + std::to_string(info.pictures) + " pictures laid on " + std::to_string(info.frames) +
                " frames: " + std::to_string(info.repeated) + " repeated, " + std::to_string(info.dropped) + " dropped";
    if (known && info.source.layout != layout) line += "; " + info.source.layout + " becomes " + layout;
    if (known && info.source.depth > format->bits)
        line += "; the depth goes down from " + std::to_string(info.source.depth) + " to " +
                std::to_string(format->bits) + " bits";
    if (info.source.fullRange) line += "; full range brought to limited range";
    // The format followed the file, but its size does not suit that format:
    // say what would work before the plug-in refuses it.
    if (known && gFormatFollowsFile && SettingsInRange(&settings) &&
        !CheckOutputParameters(&settings, o.width, o.height)) {
        const int32_t fullChroma = FindColorFormatOf(Chroma444, format->depthChoice)->code;
        const int32_t width = o.width - o.width % RequiredWidthMultiple(&settings);
        const int32_t height = o.height - o.height % RequiredHeightMultiple(&settings);
        line +=
            "; " + layout + " needs " +
            (width != o.width ? "an even width"
                              : "a height that is a multiple of " + std::to_string(RequiredHeightMultiple(&settings))) +
            ": give --format " + ColorFormatOptionName(fullChroma) + " (any size), or --size " +
            Ratio(width, height, "x");
    }
    if (!info.colourTags.empty()) {
        // Through YUY2 and YC48 the samples keep their coding; ExEdit2's RGB
        // picture reads them with the matrix of the height, clips what RGB
        // cannot hold, and the plug-in writes the rest back unchanged.
        line += "; the file is tagged " + info.colourTags + ": ";
        if (FindHostPicture(gPicture)->coding == CodedRgb)
            line += std::string("ExEdit2's RGB picture reads it with the ") +
                    (UsesBt709(o.height) ? "BT.709" : "BT.601") +
                    " matrix and clips the colours outside RGB, the rest keep that coding";
        else
            line += "its samples keep that coding";
        line += "; a .y4m cannot say so: tell the encoder (x264/x265 " + info.encoderColourOptions + ")";
    }
    fprintf(stderr, "%s\n", line.c_str());
}

std::string Close(void) {
    if (!gOpen) return "";
    gOpen = false;
    CloseVideoInput();
    const int32_t damaged = DamagedVideoPackets();
    return damaged > 0 ? "; the input had " + std::to_string(damaged) + " damaged packets, concealed by the decoder"
                       : "";
}

}  // namespace

const FrameSourceKind VideoSource = {Open, VideoBytesHeld, Start, Frame, Describe, Close};
