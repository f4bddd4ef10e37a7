#include "tools/y4mhost/video_input.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/imgutils.h>
#include <libswscale/swscale.h>
}

struct VideoDecoder {
    AVFormatContext* format;
    AVCodecContext* codec;
    SwsContext* scaler;
    AVPacket* packet;
    AVFrame* picture;
    int stream;
    bool pending;  // `picture` holds a decoded picture not handed out yet
    bool drained;  // the decoder has been told the input ended
    int32_t outWidth, outHeight;
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

// Frames the container does not count: one pass over the stream's packets,
// decoding nothing, then the file is opened again at its start.
static int64_t CountPackets(const std::string& path, std::string* error) {
    int64_t count = 0;
    while (av_read_frame(gVideo.format, gVideo.packet) >= 0) {
        if (gVideo.packet->stream_index == gVideo.stream) ++count;
        av_packet_unref(gVideo.packet);
    }
    CloseFormat();
    return OpenFormat(path, error) ? count : -1;
}

static int32_t ScanOf(AVFieldOrder order) {
    if (order == AV_FIELD_TT || order == AV_FIELD_TB) return 1;
    if (order == AV_FIELD_BB || order == AV_FIELD_BT) return 2;
    return 0;
}

static bool DecodeNext(std::string* error);

bool OpenVideoInput(const std::string& path, VideoInfo* info, std::string* error) {
    gVideo = VideoDecoder();
    gVideo.packet = av_packet_alloc();
    gVideo.picture = av_frame_alloc();
    if (!OpenFormat(path, error)) return false;
    AVStream* stream = gVideo.format->streams[gVideo.stream];
    int64_t frames = stream->nb_frames;
    if (frames <= 0) frames = CountPackets(path, error);
    if (frames < 0) return false;
    stream = gVideo.format->streams[gVideo.stream];

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
    info->scan = ScanOf(stream->codecpar->field_order);
    info->aspectNum = aspectNum;
    info->aspectDen = aspectDen;
    info->codec = decoder->name;
    // A container that does not say its field order: the first picture does.
    if (stream->codecpar->field_order == AV_FIELD_UNKNOWN && info->frames > 0) {
        if (!DecodeNext(error)) return false;
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

// The next decoded picture into gVideo.picture.
static bool DecodeNext(std::string* error) {
    for (;;) {
        int code = avcodec_receive_frame(gVideo.codec, gVideo.picture);
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
        code = av_read_frame(gVideo.format, gVideo.packet);
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

bool ReadVideoFrame(uint8_t* yuy2, std::string* error) {
    if (!gVideo.pending && !DecodeNext(error)) return false;
    gVideo.pending = false;
    AVFrame* picture = gVideo.picture;
    // The scaler follows the pictures: a stream may change size or format.
    gVideo.scaler = sws_getCachedContext(gVideo.scaler, picture->width, picture->height,
                                         static_cast<AVPixelFormat>(picture->format), gVideo.outWidth, gVideo.outHeight,
                                         AV_PIX_FMT_YUYV422, SWS_BICUBIC, nullptr, nullptr, nullptr);
    if (gVideo.scaler == nullptr) {
        *error = "cannot convert pictures of this format to YUY2";
        av_frame_unref(picture);
        return false;
    }
    uint8_t* planes[4] = {yuy2, nullptr, nullptr, nullptr};
    int strides[4] = {2 * gVideo.outWidth, 0, 0, 0};
    sws_scale(gVideo.scaler, picture->data, picture->linesize, 0, picture->height, planes, strides);
    av_frame_unref(picture);
    return true;
}

void CloseVideoInput() {
    sws_freeContext(gVideo.scaler);
    avcodec_free_context(&gVideo.codec);
    CloseFormat();
    av_packet_free(&gVideo.packet);
    av_frame_free(&gVideo.picture);
    gVideo = VideoDecoder();
}
