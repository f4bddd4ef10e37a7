// Raw packed YUY2 frames of the size given, from a file or standard input.
#include <errno.h>
#include <stdio.h>
#include <string.h>

#include "convert/host_pictures.h"
#include "y4mhost/frame_source.h"
#include "y4mhost/host_system.h"

namespace {

struct RawInput {
    FILE* file;
    std::string name;  // the path, or "standard input"
    bool seekable;
    int32_t next;  // the frame the file is at
    size_t frameBytes;
    Yuy2Frames frames;
};
RawInput gRaw;

// The file must hold whole frames, or the size given is wrong (or the file
// is no raw YUY2 at all).
bool Open(HostOptions* o, OutputSettings*, bool, std::string* error) {
    if (!FrameSizeFits(*o, FrameFormatYuy2, error)) return false;
    const int64_t frameBytes = 2 * static_cast<int64_t>(o->width) * o->height;
    gRaw.frameBytes = static_cast<size_t>(frameBytes);
    gRaw.name = o->rawPath == "-" ? "standard input" : o->rawPath;
    if (o->rawPath == "-") {
        UseBinaryStdin();
        gRaw.file = stdin;
        return true;
    }
    gRaw.file = OpenHostFile(o->rawPath, "rb");
    if (gRaw.file == nullptr) {
        *error = "cannot read input " + o->rawPath + ": " + strerror(errno);
        return false;
    }
    gRaw.seekable = IsRegularFile(o->rawPath);
    int64_t size = RegularFileSize(o->rawPath);
    if (size < 0) {
        if (o->frames < 0) *error = "--frames is needed when the input is not a regular file";
        return o->frames >= 0;
    }
    const std::string frame =
        Ratio(o->width, o->height, "x") + " YUY2 frames (" + std::to_string(frameBytes) + " bytes each)";
    if (size < frameBytes || size % frameBytes != 0) {
        *error = "input " + o->rawPath + " is " + std::to_string(size) + " bytes, not a whole number of " + frame +
                 ": --raw takes raw packed YUY2 of the --size given (a video file goes without --raw)";
        return false;
    }
    int64_t whole = size / frameBytes;
    if (o->frames < 0) o->frames = static_cast<int32_t>(whole < INT32_MAX ? whole : INT32_MAX);
    if (o->frames > whole) {
        *error = "input " + o->rawPath + " holds only " + std::to_string(whole) + " " + frame;
        return false;
    }
    return true;
}

void Start(int32_t width, int32_t height, uint32_t picture, int32_t, bool still) {
    StartYuy2Frames(&gRaw.frames, width, height, picture, still);
}

bool Read(int32_t index, std::string* error) {
    if (index != gRaw.next) {
        if (!gRaw.seekable) {
            *error = "a pipe can only be read forward";
            return false;
        }
        if (fseeko(gRaw.file, static_cast<off_t>(index) * static_cast<off_t>(gRaw.frameBytes), SEEK_SET) != 0) {
            *error = strerror(errno);
            return false;
        }
    }
    gRaw.next = index + 1;
    if (fread(gRaw.frames.frame.data(), 1, gRaw.frameBytes, gRaw.file) == gRaw.frameBytes) return true;
    *error = ferror(gRaw.file) ? strerror(errno) : "";
    return false;
}

const uint8_t* Frame(int32_t index, std::string* error) {
    if (Read(index, error)) return Yuy2FrameAsPicture(&gRaw.frames);
    if (!error->empty()) *error = "input " + gRaw.name + ", frame " + std::to_string(index) + ": " + *error;
    return nullptr;
}

void Describe(const HostOptions&, const OutputSettings&) {}

std::string Close(void) {
    if (gRaw.file != nullptr && gRaw.file != stdin) fclose(gRaw.file);
    gRaw.file = nullptr;
    return "";
}

}  // namespace

const FrameSourceKind RawSource = {Open, Yuy2FramesBytes, Start, Frame, Describe, Close};
