// Which picture each frame of a constant-rate timeline shows, from the
// pictures' presentation times: pure arithmetic, as ffmpeg's constant-rate
// output picks them, so that both give the same frame at the same index.
#pragma once

#include <stdint.h>

#include <vector>

// Frames from `firstFrame` on show picture `picture` (counted in
// presentation order), until the next run starts.
struct ShownRun {
    int64_t firstFrame;
    int32_t picture;
};

struct TimelinePlan {
    std::vector<ShownRun> runs;  // empty: every picture once, in order
    int32_t frames = 0;          // the timeline's length
    int32_t repeated = 0;        // frames that repeat the picture before them
    int32_t dropped = 0;         // pictures no frame shows
};

// When a picture is shown and for how long (0: the packet did not say), in
// the stream's time base.
struct PictureTime {
    int64_t pts, duration;
};

struct TimeRatio {
    int32_t num, den;
};

// `times`: every picture's presentation time and duration in `timeBase`
// units, sorted by time; `end`: when the last picture stops showing
// (INT64_MIN when unknown); `frameDuration`: seconds per frame of the
// timeline (scale / rate); `streamFrameDuration`: the stream's own (0/0 when
// unknown), which stands in for a picture's unknown duration. With no times
// the plan shows every picture once (frames = pictures).
TimelinePlan PlanTimeline(const std::vector<PictureTime>& times, int64_t end, int32_t pictures, TimeRatio timeBase,
                          TimeRatio frameDuration, TimeRatio streamFrameDuration);
