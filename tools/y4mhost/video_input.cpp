#include "tools/y4mhost/video_input.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/imgutils.h>
#include <libswscale/swscale.h>
}

#include <libyuv/convert_from.h>
#include <libyuv/planar_functions.h>

#include <algorithm>
#include <cmath>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

// Frames packed ahead of the export: the one it holds, and the rest decoded
// while it converts and writes.
enum { RingFrames = 4 };

// Frames from `firstFrame` on show picture `picture` (counted in presentation
// order), until the next run starts.
struct ShownRun {
    int64_t firstFrame;
    int32_t picture;
};

struct VideoDecoder {
    AVFormatContext* format;
    AVCodecContext* codec;
    SwsContext* scaler;
    AVPacket* packet;
    AVFrame* picture;  // the picture frames are made of now
    AVFrame* next;     // where the next one is decoded (the decoder empties it first)
    int stream;
    bool pending;  // `picture` holds a decoded picture not handed out yet
    bool drained;  // the decoder has been told the input ended
    bool primed;   // `packet` holds the stream's first packet, not sent yet
    int32_t outWidth, outHeight;

    // The timeline: presentation times of every picture, in the stream's
    // time base, sorted; empty when a packet has none.
    std::vector<int64_t> times;
    std::vector<ShownRun> runs;  // the picture each frame shows, in presentation order
    size_t run;                  // the run the decoding thread is in
    int32_t decoded;             // pictures decoded so far
    AVRational timeBase;
    AVRational frameDuration;  // scale / rate seconds
    int32_t frames;

    // The ring, shared with the decoding thread.
    std::vector<uint8_t> ring[RingFrames];
    std::thread worker;
    std::mutex lock;
    std::condition_variable changed;
    int32_t produced;  // frames 0 .. produced - 1 are packed
    int32_t held;      // the frame the export holds (its slot is not reused)
    bool finished, stop;
    std::string failure;
};

static VideoDecoder gVideo;

static std::string AvError(int code) {
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(code, text, sizeof text);
    return text;
}

static void CloseFormat() { avformat_close_input(&gVideo.format); }

static bool OpenFormat(const std::string& path, std::string* error) {
    int code = avformat_open_input(&gVideo.format, path.c_str(), nullptr, nullptr);
    if (code < 0) {
        *error = "cannot read input " + path + ": " + AvError(code);
        return false;
    }
    code = avformat_find_stream_info(gVideo.format, nullptr);
    if (code < 0) {
        *error = "cannot read input " + path + ": " + AvError(code);
        return false;
    }
    gVideo.stream = av_find_best_stream(gVideo.format, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
    if (gVideo.stream < 0) {
        *error = "input " + path + " has no video stream";
        return false;
    }
    // Only the video stream's packets are read at all.
    for (unsigned i = 0; i < gVideo.format->nb_streams; ++i)
        if (static_cast<int>(i) != gVideo.stream) gVideo.format->streams[i]->discard = AVDISCARD_ALL;
    return true;
}

// One pass over the stream's packets, decoding nothing: how many pictures
// there are and when each is shown; then back to the start. Packets the
// demuxer marks for discarding show nothing.
static int64_t ScanTimeline(const std::string& path, int64_t* end, std::string* error) {
    int64_t count = 0, firstPos = -1, firstPts = AV_NOPTS_VALUE, firstDts = AV_NOPTS_VALUE;
    bool timed = true, seen = false;
    *end = AV_NOPTS_VALUE;
    gVideo.times.clear();
    while (av_read_frame(gVideo.format, gVideo.packet) >= 0) {
        const AVPacket* packet = gVideo.packet;
        if (packet->stream_index == gVideo.stream && !seen) {
            seen = true;
            firstPos = packet->pos;
            firstPts = packet->pts;
            firstDts = packet->dts;
        }
        if (packet->stream_index == gVideo.stream && !(packet->flags & AV_PKT_FLAG_DISCARD)) {
            ++count;
            if (packet->pts == AV_NOPTS_VALUE) {
                timed = false;
            } else {
                gVideo.times.push_back(packet->pts);
                const int64_t until = packet->pts + (packet->duration > 0 ? packet->duration : 0);
                if (*end == AV_NOPTS_VALUE || until > *end) *end = until;
            }
        }
        av_packet_unref(gVideo.packet);
    }
    if (!timed || gVideo.times.empty()) gVideo.times.clear();
    std::sort(gVideo.times.begin(), gVideo.times.end());
    // Back to the first packet by a seek, which saves probing the file again,
    // when the seek lands on it; else the file is opened again.
    const AVStream* stream = gVideo.format->streams[gVideo.stream];
    const int64_t start = stream->start_time != AV_NOPTS_VALUE ? stream->start_time : 0;
    if (av_seek_frame(gVideo.format, gVideo.stream, start, AVSEEK_FLAG_BACKWARD) >= 0) {
        while (av_read_frame(gVideo.format, gVideo.packet) >= 0) {
            if (gVideo.packet->stream_index != gVideo.stream) {
                av_packet_unref(gVideo.packet);
                continue;
            }
            if (gVideo.packet->pos == firstPos && gVideo.packet->pts == firstPts && gVideo.packet->dts == firstDts) {
                gVideo.primed = true;  // the decoder gets this one first
                return count;
            }
            av_packet_unref(gVideo.packet);
            break;
        }
    }
    CloseFormat();
    return OpenFormat(path, error) ? count : -1;
}

// Which picture each frame of the constant-rate timeline shows, as ffmpeg's
// constant-rate output picks them (so that both give the same frame at the
// same index): each picture lasts one frame and is written once when it is
// on time, repeated to fill a gap (the picture before it taking the first
// frames of the gap), and dropped when it comes more than two frames late.
// The count is the stream's duration at the rate, or what the pictures fill,
// whichever is longer; frames past the last picture repeat it. The plan is
// kept as runs (first frame, picture), so any timestamps cost memory by the
// picture, not by the frame.
static void PlanTimeline(int64_t end, VideoInfo* info) {
    const std::vector<int64_t>& times = gVideo.times;
    std::vector<ShownRun>& runs = gVideo.runs;
    runs.clear();
    if (times.empty() || info->rate <= 0) return;  // every picture once
    const int64_t first = times.front();
    const double framesPerTick = av_q2d(gVideo.timeBase) / av_q2d(gVideo.frameDuration);
    const double most = INT32_MAX;
    int64_t next = 0;
    int64_t lastRepeats[3] = {0, 0, 0};
    for (size_t k = 0; k < times.size() && next < INT32_MAX; ++k) {
        double offset = static_cast<double>(times[k] - first) * framesPerTick - static_cast<double>(next);
        double length = 1.0;
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
    const int64_t length = end != AV_NOPTS_VALUE && end > first ? end - first : times.back() - first + 1;
    const int64_t duration = av_rescale_q_rnd(length, gVideo.timeBase, gVideo.frameDuration, AV_ROUND_NEAR_INF);
    const int64_t frames = std::min<int64_t>(std::max(duration, next + tail), INT32_MAX);
    info->frames = static_cast<int32_t>(frames);
    // Frames past the last run's start repeat its picture.
    info->repeated = static_cast<int32_t>(frames - static_cast<int64_t>(runs.size()));
    info->dropped = static_cast<int32_t>(times.size() - runs.size());
}

static int32_t ScanOf(AVFieldOrder order) {
    if (order == AV_FIELD_TT || order == AV_FIELD_TB) return 1;
    if (order == AV_FIELD_BB || order == AV_FIELD_BT) return 2;
    return 0;
}

static bool DecodeNext(AVFrame* picture, std::string* error);

bool OpenVideoInput(const std::string& path, VideoInfo* info, std::string* error) {
    gVideo.packet = av_packet_alloc();
    gVideo.picture = av_frame_alloc();
    gVideo.next = av_frame_alloc();
    if (!OpenFormat(path, error)) return false;
    int64_t end = AV_NOPTS_VALUE;
    const int64_t frames = ScanTimeline(path, &end, error);
    if (frames < 0) return false;
    AVStream* stream = gVideo.format->streams[gVideo.stream];
    gVideo.timeBase = stream->time_base;

    const AVCodec* decoder = avcodec_find_decoder(stream->codecpar->codec_id);
    if (decoder == nullptr) {
        *error = "input " + path + ": no decoder for its video (" + avcodec_get_name(stream->codecpar->codec_id) + ")";
        return false;
    }
    gVideo.codec = avcodec_alloc_context3(decoder);
    avcodec_parameters_to_context(gVideo.codec, stream->codecpar);
    gVideo.codec->thread_count = 0;  // as many as the machine has
    int code = avcodec_open2(gVideo.codec, decoder, nullptr);
    if (code < 0) {
        *error = "input " + path + ": cannot open its decoder: " + AvError(code);
        return false;
    }

    AVRational rate = av_guess_frame_rate(gVideo.format, stream, nullptr);
    int rateNum = 0, rateDen = 0;
    if (rate.num > 0 && rate.den > 0) av_reduce(&rateNum, &rateDen, rate.num, rate.den, INT32_MAX);
    AVRational aspect = av_guess_sample_aspect_ratio(gVideo.format, stream, nullptr);
    int aspectNum = 0, aspectDen = 0;
    if (aspect.num > 0 && aspect.den > 0) av_reduce(&aspectNum, &aspectDen, aspect.num, aspect.den, INT32_MAX);

    info->width = stream->codecpar->width;
    info->height = stream->codecpar->height;
    info->rate = rateNum;
    info->scale = rateDen;
    info->frames = static_cast<int32_t>(frames < INT32_MAX ? frames : INT32_MAX);
    info->pictures = info->frames;
    if (rateNum > 0) {
        gVideo.frameDuration = AVRational{rateDen, rateNum};
        PlanTimeline(end, info);
    } else {
        gVideo.times.clear();
    }
    gVideo.frames = info->frames;
    info->scan = ScanOf(stream->codecpar->field_order);
    info->aspectNum = aspectNum;
    info->aspectDen = aspectDen;
    info->codec = decoder->name;
    // A container that does not say its field order: the first picture does.
    if (stream->codecpar->field_order == AV_FIELD_UNKNOWN && info->frames > 0) {
        if (!DecodeNext(gVideo.picture, error)) return false;
        gVideo.pending = true;
        if (gVideo.picture->interlaced_frame) info->scan = gVideo.picture->top_field_first ? 1 : 2;
    }
    if (info->width <= 0 || info->height <= 0) {
        *error = "input " + path + ": its video has no frame size";
        return false;
    }
    gVideo.outWidth = info->width;
    gVideo.outHeight = info->height;
    return true;
}

bool ScaledSampleAspect(const VideoInfo& info, int32_t width, int32_t height, int32_t* num, int32_t* den) {
    if (info.aspectNum <= 0 || info.aspectDen <= 0) return false;
    int reducedNum = 0, reducedDen = 0;
    bool exact = av_reduce(&reducedNum, &reducedDen, static_cast<int64_t>(info.aspectNum) * info.width * height,
                           static_cast<int64_t>(info.aspectDen) * info.height * width, INT32_MAX) != 0;
    *num = reducedNum;
    *den = reducedDen;
    return exact;
}

bool SetVideoOutputSize(int32_t width, int32_t height, std::string* error) {
    if (width <= 0 || height <= 0) {
        *error = "bad output size";
        return false;
    }
    gVideo.outWidth = width;
    gVideo.outHeight = height;
    return true;
}

// The next decoded picture, in presentation order.
static bool DecodeNext(AVFrame* picture, std::string* error) {
    for (;;) {
        int code = avcodec_receive_frame(gVideo.codec, picture);
        if (code == 0) return true;
        if (code == AVERROR_EOF) {
            *error = "";
            return false;
        }
        if (code != AVERROR(EAGAIN)) {
            *error = "decoding failed: " + AvError(code);
            return false;
        }
        if (gVideo.drained) {
            *error = "";
            return false;
        }
        code = gVideo.primed ? 0 : av_read_frame(gVideo.format, gVideo.packet);
        gVideo.primed = false;
        if (code < 0) {
            avcodec_send_packet(gVideo.codec, nullptr);  // drain what is buffered
            gVideo.drained = true;
            continue;
        }
        if (gVideo.packet->stream_index == gVideo.stream) {
            code = avcodec_send_packet(gVideo.codec, gVideo.packet);
            if (code < 0 && code != AVERROR(EAGAIN)) {
                av_packet_unref(gVideo.packet);
                *error = "decoding failed: " + AvError(code);
                return false;
            }
        }
        av_packet_unref(gVideo.packet);
    }
}

// 8-bit 4:2:0 and 4:2:2 at their own size are packed here, each chroma row
// repeated for the picture rows it covers (within its field, for an
// interlaced picture): the plug-in's 4:2:0 mean of two equal rows, and its
// 4:2:2 copy, then give back the decoder's own samples. Anything else goes
// through libswscale.
static bool PackExactly(const AVFrame* picture, uint8_t* yuy2) {
    const int width = picture->width, height = picture->height;
    if (width != gVideo.outWidth || height != gVideo.outHeight || width % 2 != 0) return false;
    const int format = picture->format;
    const uint8_t* const* p = picture->data;
    const int* s = picture->linesize;
    const int stride = 2 * width;
    if (format == AV_PIX_FMT_YUV422P || format == AV_PIX_FMT_YUVJ422P) {
        libyuv::I422ToYUY2(p[0], s[0], p[1], s[1], p[2], s[2], yuy2, stride, width, height);
        return true;
    }
    if (format != AV_PIX_FMT_YUV420P && format != AV_PIX_FMT_YUVJ420P) return false;
    if (!picture->interlaced_frame) {
        if (height % 2 != 0) return false;
        libyuv::I420ToYUY2(p[0], s[0], p[1], s[1], p[2], s[2], yuy2, stride, width, height);
        return true;
    }
    // Each field is a 4:2:0 picture of every other row, with every other
    // chroma row: the top field rows 0, 2, ... and chroma rows 0, 2, ...
    if (height % 4 != 0) return false;
    for (int field = 0; field < 2; ++field)
        libyuv::I420ToYUY2(p[0] + field * s[0], 2 * s[0], p[1] + field * s[1], 2 * s[1], p[2] + field * s[2], 2 * s[2],
                           yuy2 + field * stride, 2 * stride, width, height / 2);
    return true;
}

static bool Pack(const AVFrame* picture, uint8_t* yuy2, std::string* error) {
    if (PackExactly(picture, yuy2)) return true;
    // The scaler follows the pictures: a stream may change size or format.
    gVideo.scaler = sws_getCachedContext(gVideo.scaler, picture->width, picture->height,
                                         static_cast<AVPixelFormat>(picture->format), gVideo.outWidth, gVideo.outHeight,
                                         AV_PIX_FMT_YUYV422, SWS_BICUBIC, nullptr, nullptr, nullptr);
    if (gVideo.scaler == nullptr) {
        *error = "cannot convert pictures of this format to YUY2";
        return false;
    }
    uint8_t* planes[4] = {yuy2, nullptr, nullptr, nullptr};
    int strides[4] = {2 * gVideo.outWidth, 0, 0, 0};
    sws_scale(gVideo.scaler, picture->data, picture->linesize, 0, picture->height, planes, strides);
    return true;
}

// Makes gVideo.picture the picture frame `index` shows: false with *error
// at the end (empty) or on a failure.
static bool AdvanceTo(int32_t index, std::string* error) {
    const std::vector<ShownRun>& runs = gVideo.runs;
    while (gVideo.run + 1 < runs.size() && runs[gVideo.run + 1].firstFrame <= index) ++gVideo.run;
    const int32_t wanted = runs.empty() ? index : runs[gVideo.run].picture;
    while (gVideo.decoded <= wanted) {
        if (gVideo.decoded == 0 && gVideo.pending) {
            gVideo.pending = false;
        } else if (DecodeNext(gVideo.next, error)) {
            av_frame_unref(gVideo.picture);
            av_frame_move_ref(gVideo.picture, gVideo.next);
        } else {
            // A picture the decoder did not give: the last one stands in.
            return error->empty() && gVideo.decoded > 0 && !runs.empty();
        }
        ++gVideo.decoded;
    }
    return true;
}

// The decoding thread: every frame of the timeline in order, packed into the
// ring as soon as its slot is free.
static void DecodeAhead() {
    std::string error;
    for (int32_t i = 0; i < gVideo.frames; ++i) {
        {
            std::unique_lock<std::mutex> guard(gVideo.lock);
            gVideo.changed.wait(guard, [i] { return gVideo.stop || i < gVideo.held + RingFrames; });
            if (gVideo.stop) break;
        }
        if (!AdvanceTo(i, &error) || !Pack(gVideo.picture, gVideo.ring[i % RingFrames].data(), &error)) break;
        std::lock_guard<std::mutex> guard(gVideo.lock);
        gVideo.produced = i + 1;
        gVideo.changed.notify_all();
    }
    std::lock_guard<std::mutex> guard(gVideo.lock);
    gVideo.failure = error;
    gVideo.finished = true;
    gVideo.changed.notify_all();
}

void StartVideoDecoding() {
    if (gVideo.worker.joinable() || gVideo.finished) return;
    for (std::vector<uint8_t>& frame : gVideo.ring)
        frame.assign(2 * static_cast<size_t>(gVideo.outWidth) * static_cast<size_t>(gVideo.outHeight), 0);
    gVideo.held = -1;
    gVideo.worker = std::thread(DecodeAhead);
}

bool ReadVideoFrame(int32_t index, const uint8_t** yuy2, std::string* error) {
    StartVideoDecoding();
    std::unique_lock<std::mutex> guard(gVideo.lock);
    if (index != gVideo.held + 1) {
        *error = "frames of a video file are decoded in order only";
        return false;
    }
    gVideo.held = index;  // the frame before it is done with
    gVideo.changed.notify_all();
    gVideo.changed.wait(guard, [index] { return gVideo.produced > index || gVideo.finished; });
    if (gVideo.produced <= index) {
        *error = gVideo.failure;
        return false;
    }
    *yuy2 = gVideo.ring[index % RingFrames].data();
    return true;
}

void CloseVideoInput() {
    {
        std::lock_guard<std::mutex> guard(gVideo.lock);
        gVideo.stop = true;
        gVideo.changed.notify_all();
    }
    if (gVideo.worker.joinable()) gVideo.worker.join();
    sws_freeContext(gVideo.scaler);
    gVideo.scaler = nullptr;
    avcodec_free_context(&gVideo.codec);
    CloseFormat();
    av_packet_free(&gVideo.packet);
    av_frame_free(&gVideo.picture);
    av_frame_free(&gVideo.next);
}
