// The build without FFmpeg's libraries (Windows): a video file is refused
// before anything else is done.
#include "y4mhost/frame_source.h"

namespace {

bool Open(HostOptions* o, OutputSettings*, bool, std::string* error) {
    *error = "this build of y4mhost reads no video files (" + o->videoPath +
             "): give raw YUY2 with --raw, or use the native build";
    return false;
}
int64_t BytesHeld(int32_t, int32_t, uint32_t) { return -1; }
void Start(int32_t, int32_t, uint32_t, int32_t, bool) {}
const uint8_t* Frame(int32_t, std::string*) { return nullptr; }
void Describe(const HostOptions&, const OutputSettings&) {}
std::string Close(void) { return ""; }

}  // namespace

const FrameSourceKind VideoSource = {Open, BytesHeld, Start, Frame, Describe, Close};
