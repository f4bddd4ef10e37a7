#include "y4mhost/video_input.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/imgutils.h>
#include <libavutil/pixdesc.h>
}

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

#include "export/export_job.h"
#include "y4mhost/host_system.h"
#include "y4mhost/precise_picture.h"
#include "y4mhost/timeline_plan.h"
#include "y4mhost/video_demux.h"

// Frames packed ahead of the export: the one it holds, and the rest decoded
// while it converts and writes. Up to four, as long as they fit in about
// 32 MiB, at least two: a frame the plug-in reads soon after it was packed
// is still in the processor's cache (deep 1080p pictures, 12 to 17 MB, went
// half as fast again through a ring of four).
static int32_t RingFramesFor(int64_t frameBytes) {
    const int64_t fit = (int64_t{32} << 20) / (frameBytes > 0 ? frameBytes : 1);
    return fit < 2 ? 2 : fit > 4 ? 4 : static_cast<int32_t>(fit);
}

struct VideoDecoder {
    Demuxer demuxer;
    std::string path;
    AVCodecContext* codec;
    AVFrame* picture;  // the picture frames are made of now
    AVFrame* next;     // where the next one is decoded (the decoder empties it first)
    bool pending;      // `picture` holds a decoded picture not handed out yet
    bool drained;      // the decoder has been told the input ended
    int32_t outWidth, outHeight;
    uint32_t outFormat;
    std::atomic<int32_t> damaged;  // packets refused and pictures concealed

    std::vector<PictureTime> times;  // when every picture is shown, sorted
    int64_t end;
    int32_t pictures;
    TimeRatio streamFrameDuration;  // 0/0 unknown
    TimelinePlan plan;
    size_t run;       // the run the decoding thread is in
    int32_t decoded;  // pictures decoded so far

    // The ring, shared with the decoding thread: ringFrames frames of
    // frameBytes each.
    uint8_t* ring;
    size_t frameBytes;
    int32_t ringFrames;
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

static int32_t ScanOf(AVFieldOrder order) {
    if (order == AV_FIELD_TT || order == AV_FIELD_TB) return 1;
    if (order == AV_FIELD_BB || order == AV_FIELD_BT) return 2;
    return 0;
}

// The next decoded picture, in presentation order. A packet the decoder
// refuses is counted and passed over, as ffmpeg passes over it: the decoder
// conceals what it lost in the pictures after it. False at the end (*error
// empty) or when the file can no longer be read.
static bool DecodeNext(AVFrame* picture, std::string* error) {
    for (;;) {
        int code = avcodec_receive_frame(gVideo.codec, picture);
        if (code == 0) {
            if (picture->decode_error_flags != 0 || (picture->flags & AV_FRAME_FLAG_CORRUPT)) ++gVideo.damaged;
            return true;
        }
        if (code == AVERROR_EOF || (code == AVERROR(EAGAIN) && gVideo.drained)) {
            *error = "";
            return false;
        }
        if (code != AVERROR(EAGAIN)) {
            ++gVideo.damaged;
            if (gVideo.drained) {
                *error = "";
                return false;
            }
            continue;
        }
        if (!ReadVideoPacket(&gVideo.demuxer)) {
            if (gVideo.demuxer.format->pb != nullptr && gVideo.demuxer.format->pb->error < 0) {
                *error = "reading failed: " + AvError(gVideo.demuxer.format->pb->error);
                return false;
            }
            avcodec_send_packet(gVideo.codec, nullptr);  // drain what is buffered
            gVideo.drained = true;
            continue;
        }
        code = avcodec_send_packet(gVideo.codec, gVideo.demuxer.packet);
        av_packet_unref(gVideo.demuxer.packet);
        if (code < 0 && code != AVERROR(EAGAIN)) ++gVideo.damaged;
    }
}

// Tags beyond BT.601 and BT.709 (BT.2020, PQ, HLG and the rarer ones): the
// .y4m header has no room for them, so the line before the export names them.
static void DescribeColourTags(const AVCodecParameters* p, VideoInfo* info) {
    const bool ordinarySpace = p->color_space == AVCOL_SPC_UNSPECIFIED || p->color_space == AVCOL_SPC_RGB ||
                               p->color_space == AVCOL_SPC_BT709 || p->color_space == AVCOL_SPC_BT470BG ||
                               p->color_space == AVCOL_SPC_SMPTE170M || p->color_space == AVCOL_SPC_RESERVED;
    const bool ordinaryPrimaries = p->color_primaries == AVCOL_PRI_UNSPECIFIED ||
                                   p->color_primaries == AVCOL_PRI_RESERVED || p->color_primaries == AVCOL_PRI_BT709 ||
                                   p->color_primaries == AVCOL_PRI_BT470BG || p->color_primaries == AVCOL_PRI_SMPTE170M;
    const bool ordinaryTransfer = p->color_trc == AVCOL_TRC_UNSPECIFIED || p->color_trc == AVCOL_TRC_RESERVED ||
                                  p->color_trc == AVCOL_TRC_BT709 || p->color_trc == AVCOL_TRC_SMPTE170M ||
                                  p->color_trc == AVCOL_TRC_GAMMA22 || p->color_trc == AVCOL_TRC_GAMMA28 ||
                                  p->color_trc == AVCOL_TRC_IEC61966_2_1;
    info->colourTags.clear();
    info->encoderColourOptions.clear();
    if (ordinarySpace && ordinaryPrimaries && ordinaryTransfer) return;
    const struct {
        bool given;
        const char* name;
        const char* tag;
        const char* option;
    } tags[] = {
        {p->color_space != AVCOL_SPC_UNSPECIFIED, av_color_space_name(p->color_space), "matrix", "--colormatrix"},
        {p->color_primaries != AVCOL_PRI_UNSPECIFIED, av_color_primaries_name(p->color_primaries), "primaries",
         "--colorprim"},
        {p->color_trc != AVCOL_TRC_UNSPECIFIED, av_color_transfer_name(p->color_trc), "transfer", "--transfer"},
    };
    for (const auto& t : tags) {
        if (!t.given || t.name == nullptr) continue;
        info->colourTags += std::string(info->colourTags.empty() ? "" : ", ") + t.tag + " " + t.name;
        info->encoderColourOptions +=
            std::string(info->encoderColourOptions.empty() ? "" : " ") + t.option + " " + t.name;
    }
}

bool OpenVideoInput(const std::string& path, VideoInfo* info, std::string* error) {
    gVideo.path = path;
    gVideo.picture = av_frame_alloc();
    gVideo.next = av_frame_alloc();
    if (!OpenDemuxer(&gVideo.demuxer, path, error)) return false;
    const int64_t pictures = ScanPictureTimes(&gVideo.demuxer, path, &gVideo.times, &gVideo.end, error);
    if (pictures < 0) return false;
    gVideo.pictures = static_cast<int32_t>(pictures < INT32_MAX ? pictures : INT32_MAX);
    AVStream* stream = gVideo.demuxer.format->streams[gVideo.demuxer.stream];

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

    AVRational rate = av_guess_frame_rate(gVideo.demuxer.format, stream, nullptr);
    int rateNum = 0, rateDen = 0;
    if (rate.num > 0 && rate.den > 0) av_reduce(&rateNum, &rateDen, rate.num, rate.den, INT32_MAX);
    gVideo.streamFrameDuration = TimeRatio{rateDen, rateNum};
    AVRational aspect = av_guess_sample_aspect_ratio(gVideo.demuxer.format, stream, nullptr);
    int aspectNum = 0, aspectDen = 0;
    if (aspect.num > 0 && aspect.den > 0) av_reduce(&aspectNum, &aspectDen, aspect.num, aspect.den, INT32_MAX);

    info->width = stream->codecpar->width;
    info->height = stream->codecpar->height;
    info->rate = rateNum;
    info->scale = rateDen;
    info->pictures = gVideo.pictures;
    info->scan = ScanOf(stream->codecpar->field_order);
    info->aspectNum = aspectNum;
    info->aspectDen = aspectDen;
    info->codec = decoder->name;
    info->source =
        DescribeSourcePictures(static_cast<AVPixelFormat>(stream->codecpar->format), stream->codecpar->color_range);
    DescribeColourTags(stream->codecpar, info);
    PlanVideoTimeline(rateNum, rateDen, info);
    // A container that does not say its field order (or its pictures'
    // format): the first picture does.
    if (gVideo.pictures > 0 &&
        (stream->codecpar->field_order == AV_FIELD_UNKNOWN || stream->codecpar->format == AV_PIX_FMT_NONE)) {
        if (!DecodeNext(gVideo.picture, error)) {
            if (error->empty()) *error = "input " + path + ": no picture could be decoded";
            return false;
        }
        gVideo.pending = true;
        if (stream->codecpar->field_order == AV_FIELD_UNKNOWN && gVideo.picture->interlaced_frame)
            info->scan = gVideo.picture->top_field_first ? 1 : 2;
        info->source =
            DescribeSourcePictures(static_cast<AVPixelFormat>(gVideo.picture->format), gVideo.picture->color_range);
    }
    if (info->width <= 0 || info->height <= 0) {
        *error = "input " + path + ": its video has no frame size";
        return false;
    }
    return true;
}

void PlanVideoTimeline(int32_t rate, int32_t scale, VideoInfo* info) {
    const AVStream* stream = gVideo.demuxer.format->streams[gVideo.demuxer.stream];
    const TimeRatio timeBase = {stream->time_base.num, stream->time_base.den};
    gVideo.plan = PlanTimeline(rate > 0 ? gVideo.times : std::vector<PictureTime>(), gVideo.end, gVideo.pictures,
                               timeBase, TimeRatio{scale, rate}, gVideo.streamFrameDuration);
    info->frames = gVideo.plan.frames;
    info->repeated = gVideo.plan.repeated;
    info->dropped = gVideo.plan.dropped;
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

// Makes gVideo.picture the picture frame `index` shows: false with *error
// at the end (empty) or on a failure.
static bool AdvanceTo(int32_t index, std::string* error) {
    const std::vector<ShownRun>& runs = gVideo.plan.runs;
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
    for (int32_t i = 0; i < gVideo.plan.frames; ++i) {
        {
            std::unique_lock<std::mutex> guard(gVideo.lock);
            gVideo.changed.wait(guard, [i] { return gVideo.stop || i < gVideo.held + gVideo.ringFrames; });
            if (gVideo.stop) break;
        }
        if (!AdvanceTo(i, &error) || !PackPicture(gVideo.picture, gVideo.outWidth, gVideo.outHeight, gVideo.outFormat,
                                                  gVideo.ring + (i % gVideo.ringFrames) * gVideo.frameBytes, &error))
            break;
        std::lock_guard<std::mutex> guard(gVideo.lock);
        gVideo.produced = i + 1;
        gVideo.changed.notify_all();
    }
    std::lock_guard<std::mutex> guard(gVideo.lock);
    gVideo.failure = error;
    gVideo.finished = true;
    gVideo.changed.notify_all();
}

// Pictures the decoder keeps for reference and for its threads, at most.
enum { DecoderPictures = 16 };

int64_t VideoBytesHeld(int32_t width, int32_t height, uint32_t format) {
    // The deep formats need a picture of the export's size from libswscale
    // (12-bit 4:4:4 at most); YUY2 is written straight into the ring.
    int64_t scratch = 0;
    if (format != FrameFormatYuy2) {
        av_log_set_level(AV_LOG_QUIET);  // the refusal is ours to say
        const int fits = av_image_check_size(static_cast<unsigned>(width), static_cast<unsigned>(height), 0, nullptr);
        av_log_set_level(AV_LOG_ERROR);
        if (fits < 0) return -1;
        scratch = av_image_get_buffer_size(AV_PIX_FMT_YUV444P12LE, width, height, 64);
    }
    const int64_t pixels = static_cast<int64_t>(width) * height;
    int64_t decoded = av_image_get_buffer_size(gVideo.codec->pix_fmt, gVideo.codec->width, gVideo.codec->height, 64);
    if (decoded < 0) decoded = 8 * static_cast<int64_t>(gVideo.codec->width) * gVideo.codec->height;
    const int64_t frameBytes = FramePixelBytes(format) * pixels;
    return RingFramesFor(frameBytes) * frameBytes + scratch + DecoderPictures * decoded;
}

void StartVideoDecoding(int32_t width, int32_t height, uint32_t format) {
    if (gVideo.worker.joinable() || gVideo.finished) return;
    gVideo.outWidth = width;
    gVideo.outHeight = height;
    gVideo.outFormat = format;
    gVideo.frameBytes = static_cast<size_t>(FramePixelBytes(format)) * width * height;
    gVideo.ringFrames = RingFramesFor(static_cast<int64_t>(gVideo.frameBytes));
    gVideo.ring = AllocatePictureMemory(gVideo.ringFrames * gVideo.frameBytes);
    gVideo.held = -1;
    if (gVideo.ring == nullptr) {
        gVideo.failure = "not enough memory for the frames decoded ahead";
        gVideo.finished = true;
        return;
    }
    gVideo.worker = std::thread(DecodeAhead);
}

bool ReadVideoFrame(int32_t index, const uint8_t** frame, std::string* error) {
    std::unique_lock<std::mutex> guard(gVideo.lock);
    if (!gVideo.worker.joinable() && !gVideo.finished) {
        *error = "decoding has not started";
        return false;
    }
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
    *frame = gVideo.ring + (index % gVideo.ringFrames) * gVideo.frameBytes;
    return true;
}

int32_t DamagedVideoPackets() { return gVideo.damaged; }

void CloseVideoInput() {
    {
        std::lock_guard<std::mutex> guard(gVideo.lock);
        gVideo.stop = true;
        gVideo.changed.notify_all();
    }
    if (gVideo.worker.joinable()) gVideo.worker.join();
    ClosePicturePacker();
    avcodec_free_context(&gVideo.codec);
    CloseDemuxer(&gVideo.demuxer);
    av_frame_free(&gVideo.picture);
    av_frame_free(&gVideo.next);
    FreePictureMemory(gVideo.ring, gVideo.ringFrames * gVideo.frameBytes);
    gVideo.ring = nullptr;
}
