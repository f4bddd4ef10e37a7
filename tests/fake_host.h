// The tests' host: the callbacks an export calls, recording each call, and
// serving pseudo-random frames (YUY2, YC48 or PA64) it keeps for comparison. Native tests and
// the Windows test host share it.
#pragma once

#include <stdint.h>

#include <string>
#include <vector>

#include "export/export_job.h"
#include "tests/test_random.h"

#if defined(_WIN32)
#define FAKE_HOST_CDECL __cdecl
#else
#define FAKE_HOST_CDECL
#endif

struct FakeHost {
    int width = 8, height = 8;
    int abortAt = -1;      // isAbort answers non-zero from this frame on
    int nullFrameAt = -1;  // getFrame fails for this frame
    int frameQuestions = 0;
    uint32_t lastFormat = 0;  // the picture format the last frame was asked in
    std::vector<std::string> calls;
    std::vector<std::vector<uint8_t>> frames;  // every frame served, by index
};

// The host the callbacks below record into.
inline FakeHost* gFakeHost;

inline int FAKE_HOST_CDECL FakeIsAbort() {
    int frame = gFakeHost->frameQuestions++;
    gFakeHost->calls.push_back("abort?");
    return gFakeHost->abortAt >= 0 && frame >= gFakeHost->abortAt;
}

inline int FAKE_HOST_CDECL FakeShowProgress(int now, int total) {
    gFakeHost->calls.push_back("progress " + std::to_string(now) + "/" + std::to_string(total));
    return 1;
}

inline int FAKE_HOST_CDECL FakeUpdatePreview() {
    gFakeHost->calls.push_back("preview");
    return 1;
}

// One spare byte keeps the pointer of an empty frame non-null.
inline void* FAKE_HOST_CDECL FakeGetFrame(int frame, uint32_t format) {
    gFakeHost->calls.push_back("frame " + std::to_string(frame));
    gFakeHost->lastFormat = format;
    if (FramePixelBytes(format) == 0 || frame == gFakeHost->nullFrameAt) return nullptr;
    if (static_cast<size_t>(frame) >= gFakeHost->frames.size()) gFakeHost->frames.resize(frame + 1);
    size_t bytes = static_cast<size_t>(FramePixelBytes(format)) * gFakeHost->width * gFakeHost->height;
    gFakeHost->frames[frame] = RandomBytes(bytes + 1, 1000 + frame);
    return gFakeHost->frames[frame].data();
}

// The calls an export of frameCount frames makes, in order (a host without a
// preview gets no preview calls).
inline std::vector<std::string> ExpectedHostCalls(int frameCount, bool preview = true) {
    std::vector<std::string> calls;
    for (int i = 0; i < frameCount; ++i) {
        calls.push_back("abort?");
        if ((i & 31) == 31) calls.push_back("progress " + std::to_string(i) + "/" + std::to_string(frameCount));
        calls.push_back("frame " + std::to_string(i));
        if (preview && (i & 31) == 31) calls.push_back("preview");
    }
    return calls;
}
