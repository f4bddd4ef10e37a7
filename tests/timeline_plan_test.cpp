// The constant-rate timeline y4mhost lays a video file on, checked against
// what ffmpeg's constant-rate output writes for the same timestamps.
#include "y4mhost/timeline_plan.h"

#include <gtest/gtest.h>

#include <vector>

// The picture each frame shows, spelled out from the runs.
static std::vector<int32_t> Shown(const TimelinePlan& plan) {
    std::vector<int32_t> shown;
    for (size_t r = 0; r < plan.runs.size(); ++r) {
        const int64_t until = r + 1 < plan.runs.size() ? plan.runs[r + 1].firstFrame : plan.frames;
        for (int64_t f = plan.runs[r].firstFrame; f < until; ++f) shown.push_back(plan.runs[r].picture);
    }
    return shown;
}

// `count` pictures of a 30000/1001 stream, as an mp4 holds them (time base
// 1/30000, each 1001 long).
static std::vector<PictureTime> Ntsc(int count) {
    std::vector<PictureTime> times;
    for (int i = 0; i < count; ++i) times.push_back(PictureTime{1001 * i, 1001});
    return times;
}

static std::vector<int32_t> Sequence(std::initializer_list<std::pair<int32_t, int>> runs) {
    std::vector<int32_t> shown;
    for (const auto& run : runs)
        for (int i = 0; i < run.second; ++i) shown.push_back(run.first);
    return shown;
}

struct PlanCase {
    const char* what;
    int pictures;
    TimeRatio frameDuration;
    std::vector<int32_t> shown;  // as ffmpeg -r RATE -fps_mode cfr wrote them
    int32_t repeated, dropped;
};

class Timeline : public ::testing::TestWithParam<PlanCase> {};

TEST_P(Timeline, ShowsThePicturesFfmpegWrites) {
    const PlanCase& c = GetParam();
    const TimelinePlan plan =
        PlanTimeline(Ntsc(c.pictures), 1001 * c.pictures, c.pictures, {1, 30000}, c.frameDuration, {1001, 30000});
    EXPECT_EQ(Shown(plan), c.shown) << c.what;
    EXPECT_EQ(plan.frames, static_cast<int32_t>(c.shown.size())) << c.what;
    EXPECT_EQ(plan.repeated, c.repeated) << c.what;
    EXPECT_EQ(plan.dropped, c.dropped) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Timeline,
    ::testing::Values(
        PlanCase{"its own rate", 5, {1001, 30000}, {0, 1, 2, 3, 4}, 0, 0},
        PlanCase{
            "-r 60: each picture twice, from the first", 4, {1, 60}, Sequence({{0, 2}, {1, 2}, {2, 2}, {3, 2}}), 4, 0},
        PlanCase{"-r 120: four times", 3, {1, 120}, Sequence({{0, 4}, {1, 4}, {2, 4}}), 9, 0},
        PlanCase{"-r 15: the first pictures, then every other",
                 30,
                 {1, 15},
                 {0, 1, 2, 3, 4, 6, 8, 10, 12, 14, 16, 18, 20, 22, 24, 26, 28},
                 0,
                 13}));

TEST(Timeline, WithoutTimesEveryPictureOnce) {
    const TimelinePlan plan = PlanTimeline({}, INT64_MIN, 7, {1, 1000}, {1, 25}, {1, 25});
    EXPECT_TRUE(plan.runs.empty());
    EXPECT_EQ(plan.frames, 7);
    const TimelinePlan unknownRate = PlanTimeline(Ntsc(3), 3003, 3, {1, 30000}, {0, 0}, {0, 0});
    EXPECT_TRUE(unknownRate.runs.empty());
    EXPECT_EQ(unknownRate.frames, 3);
}

TEST(Timeline, FarApartTimesCostRunsNotFrames) {
    // Two pictures an hour apart on a 60 fps timeline: 216001 frames, two runs.
    const TimelinePlan plan = PlanTimeline({{0, 0}, {3600000, 0}}, 3600000 + 17, 2, {1, 1000}, {1, 60}, {0, 0});
    EXPECT_EQ(plan.runs.size(), 2u);
    EXPECT_EQ(plan.frames, 216001);
}
