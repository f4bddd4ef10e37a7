// The moving test pattern, drawn for each frame asked for (once when still).
#include "convert/host_pictures.h"
#include "y4mhost/frame_source.h"
#include "y4mhost/test_pattern.h"

namespace {

Yuy2Frames gFrames;
int32_t gFieldOrder;
bool gDrawn;

bool Open(HostOptions* o, OutputSettings*, bool, std::string* error) {
    if (!FrameSizeFits(*o, FrameFormatYuy2, error)) return false;
    if (o->frames < 0) o->frames = 300;
    return true;
}

void Start(int32_t width, int32_t height, uint32_t picture, int32_t fieldOrder, bool still) {
    StartYuy2Frames(&gFrames, width, height, picture, still);
    gFieldOrder = fieldOrder;
    gDrawn = false;
}

const uint8_t* Frame(int32_t index, std::string*) {
    if (!gFrames.still || !gDrawn) {
        DrawTestPattern(gFrames.frame.data(), gFrames.width, gFrames.height, index, gFieldOrder);
        gDrawn = true;
    }
    return Yuy2FrameAsPicture(&gFrames);
}

void Describe(const HostOptions&, const OutputSettings&) {}
std::string Close(void) { return ""; }

}  // namespace

const FrameSourceKind PatternSource = {Open, Yuy2FramesBytes, Start, Frame, Describe, Close};
