#include "y4mhost/timeline_plan.h"

#include <algorithm>
#include <cmath>

extern "C" {
#include <libavutil/mathematics.h>
}

// Each picture lasts its own duration on the timeline (rounded to whole
// frames; when it has none, the stream's frame duration, at most one frame)
// and is written that often when it is on time,
// repeated to fill a gap (the picture before it taking the first frames of
// the gap), and dropped when it comes more than two frames late. The count is
// the stream's duration at the rate, or what the pictures fill, whichever is
// longer; frames past the last picture repeat it. The plan is kept as runs,
// so any timestamps cost memory by the picture, not by the frame.
TimelinePlan PlanTimeline(const std::vector<PictureTime>& times, int64_t end, int32_t pictures, TimeRatio timeBase,
                          TimeRatio frameDuration, TimeRatio streamFrameDuration) {
    TimelinePlan plan;
    plan.frames = pictures;
    if (times.empty() || frameDuration.num <= 0 || frameDuration.den <= 0 || timeBase.num <= 0 || timeBase.den <= 0)
        return plan;
    const AVRational base = {timeBase.num, timeBase.den}, frame = {frameDuration.num, frameDuration.den};
    std::vector<ShownRun>& runs = plan.runs;
    const int64_t first = times.front().pts;
    const double framesPerTick = av_q2d(base) / av_q2d(frame);
    double unknownLength = 1.0;
    if (streamFrameDuration.num > 0 && streamFrameDuration.den > 0)
        unknownLength =
            std::min(1.0, av_q2d(AVRational{streamFrameDuration.num, streamFrameDuration.den}) / av_q2d(frame));
    const double most = INT32_MAX;
    int64_t next = 0;
    int64_t lastRepeats[3] = {0, 0, 0};
    for (size_t k = 0; k < times.size() && next < INT32_MAX; ++k) {
        double offset = static_cast<double>(times[k].pts - first) * framesPerTick - static_cast<double>(next);
        const long ownLength = lrintf(static_cast<float>(static_cast<double>(times[k].duration) * framesPerTick));
        double length = times[k].duration > 0 && ownLength > 0 ? static_cast<double>(ownLength) : unknownLength;
        if (offset < 0 && offset + length > 0) {  // a little early: on time
            length += offset;
            offset = 0;
        }
        const double delta = std::min(offset + length, most);
        int64_t count = 1, before = 0;
        if (delta < -1.1) {
            count = 0;
        } else if (delta > 1.1) {
            count = std::llrint(delta);
            if (offset > 1.1) before = std::llrint(std::min(offset, most) - 0.6);
        }
        if (runs.empty()) before = 0;
        if (count > before) runs.push_back(ShownRun{next + before, static_cast<int32_t>(k)});
        next = std::min<int64_t>(next + count, INT32_MAX);
        lastRepeats[k % 3] = before;
    }
    // At the end ffmpeg repeats the last picture as often as the last gaps
    // were filled before a picture (the median of the last three).
    const int64_t tail = std::max(std::min(lastRepeats[0], lastRepeats[1]),
                                  std::min(std::max(lastRepeats[0], lastRepeats[1]), lastRepeats[2]));
    const int64_t length = end != INT64_MIN && end > first ? end - first : times.back().pts - first + 1;
    const int64_t duration = av_rescale_q_rnd(length, base, frame, AV_ROUND_NEAR_INF);
    const int64_t frames = std::min<int64_t>(std::max(duration, next + tail), INT32_MAX);
    plan.frames = static_cast<int32_t>(frames);
    // Frames past the last run's start repeat its picture.
    plan.repeated = static_cast<int32_t>(frames - static_cast<int64_t>(runs.size()));
    plan.dropped = static_cast<int32_t>(times.size() - runs.size());
    return plan;
}
