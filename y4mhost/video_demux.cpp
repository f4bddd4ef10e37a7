#include "y4mhost/video_demux.h"

#include <algorithm>

static std::string AvError(int code) {
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(code, text, sizeof text);
    return text;
}

// The best video stream that is not an attached picture.
static int ChooseVideoStream(AVFormatContext* format) {
    int best = av_find_best_stream(format, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
    if (best >= 0 && !(format->streams[best]->disposition & AV_DISPOSITION_ATTACHED_PIC)) return best;
    for (unsigned i = 0; i < format->nb_streams; ++i) {
        const AVStream* stream = format->streams[i];
        if (stream->codecpar->codec_type == AVMEDIA_TYPE_VIDEO && !(stream->disposition & AV_DISPOSITION_ATTACHED_PIC))
            return static_cast<int>(i);
    }
    return -1;
}

bool OpenDemuxer(Demuxer* demuxer, const std::string& path, std::string* error) {
    // FFmpeg's warnings about a stream (a missing marker, a concealed slice)
    // would bury the lines the host prints; errors still show.
    av_log_set_level(AV_LOG_ERROR);
    if (demuxer->packet == nullptr) demuxer->packet = av_packet_alloc();
    int code = avformat_open_input(&demuxer->format, path.c_str(), nullptr, nullptr);
    if (code >= 0) code = avformat_find_stream_info(demuxer->format, nullptr);
    if (code < 0) {
        *error = "cannot read input " + path + ": " + AvError(code);
        return false;
    }
    demuxer->stream = ChooseVideoStream(demuxer->format);
    if (demuxer->stream < 0) {
        bool cover = false;
        for (unsigned i = 0; i < demuxer->format->nb_streams; ++i)
            cover = cover || (demuxer->format->streams[i]->disposition & AV_DISPOSITION_ATTACHED_PIC);
        *error =
            "input " + path + " has no video stream" + (cover ? " (only an attached picture, such as cover art)" : "");
        return false;
    }
    // Only the video stream's packets are read at all.
    for (unsigned i = 0; i < demuxer->format->nb_streams; ++i)
        if (static_cast<int>(i) != demuxer->stream) demuxer->format->streams[i]->discard = AVDISCARD_ALL;
    return true;
}

// Packets the demuxer marks for discarding show nothing.
int64_t ScanPictureTimes(Demuxer* demuxer, const std::string& path, std::vector<PictureTime>* times, int64_t* end,
                         std::string* error) {
    int64_t count = 0, firstPos = -1, firstPts = AV_NOPTS_VALUE, firstDts = AV_NOPTS_VALUE;
    bool timed = true, seen = false;
    *end = INT64_MIN;
    times->clear();
    AVPacket* packet = demuxer->packet;
    while (av_read_frame(demuxer->format, packet) >= 0) {
        if (packet->stream_index == demuxer->stream && !seen) {
            seen = true;
            firstPos = packet->pos;
            firstPts = packet->pts;
            firstDts = packet->dts;
        }
        if (packet->stream_index == demuxer->stream && !(packet->flags & AV_PKT_FLAG_DISCARD)) {
            ++count;
            if (packet->pts == AV_NOPTS_VALUE) {
                timed = false;
            } else {
                times->push_back(PictureTime{packet->pts, packet->duration});
                const int64_t until = packet->pts + (packet->duration > 0 ? packet->duration : 0);
                if (*end == INT64_MIN || until > *end) *end = until;
            }
        }
        av_packet_unref(packet);
    }
    if (!timed) times->clear();
    std::stable_sort(times->begin(), times->end(),
                     [](const PictureTime& a, const PictureTime& b) { return a.pts < b.pts; });
    // Back to the first packet by a seek, which saves probing the file again,
    // when the seek lands on it; else the file is opened again.
    const AVStream* stream = demuxer->format->streams[demuxer->stream];
    const int64_t start = stream->start_time != AV_NOPTS_VALUE ? stream->start_time : 0;
    if (av_seek_frame(demuxer->format, demuxer->stream, start, AVSEEK_FLAG_BACKWARD) >= 0) {
        while (av_read_frame(demuxer->format, packet) >= 0) {
            if (packet->stream_index != demuxer->stream) {
                av_packet_unref(packet);
                continue;
            }
            if (packet->pos == firstPos && packet->pts == firstPts && packet->dts == firstDts) {
                demuxer->primed = true;
                return count;
            }
            av_packet_unref(packet);
            break;
        }
    }
    avformat_close_input(&demuxer->format);
    return OpenDemuxer(demuxer, path, error) ? count : -1;
}

bool ReadVideoPacket(Demuxer* demuxer) {
    if (demuxer->primed) {
        demuxer->primed = false;
        return true;
    }
    while (av_read_frame(demuxer->format, demuxer->packet) >= 0) {
        if (demuxer->packet->stream_index == demuxer->stream) return true;
        av_packet_unref(demuxer->packet);
    }
    return false;
}

void CloseDemuxer(Demuxer* demuxer) {
    avformat_close_input(&demuxer->format);
    av_packet_free(&demuxer->packet);
    demuxer->primed = false;
}
