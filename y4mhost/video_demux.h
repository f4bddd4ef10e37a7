// A video file's container: which stream is its video, and one pass over that
// stream's packets for the times its pictures are shown, and how long.
#pragma once

#include <stdint.h>

#include <string>
#include <vector>

#include "y4mhost/timeline_plan.h"

extern "C" {
#include <libavformat/avformat.h>
}

struct Demuxer {
    AVFormatContext* format = nullptr;
    int stream = -1;
    AVPacket* packet = nullptr;  // the packet being read
    bool primed = false;         // `packet` holds the stream's first packet, not handed out yet
};

// Opens the file and picks its video stream: pictures attached to the file
// (cover art) are no video. False with one line in *error.
bool OpenDemuxer(Demuxer* demuxer, const std::string& path, std::string* error);
// Reads every packet of the stream, decoding nothing: the presentation time
// of each picture, sorted (empty when a packet has none), when the last one
// stops showing (INT64_MIN when unknown), and how many pictures there are;
// then back to the first packet. -1 with *error when the file cannot be read
// again.
int64_t ScanPictureTimes(Demuxer* demuxer, const std::string& path, std::vector<PictureTime>* times, int64_t* end,
                         std::string* error);
// The next packet of the video stream into demuxer->packet; false at the end.
bool ReadVideoPacket(Demuxer* demuxer);
void CloseDemuxer(Demuxer* demuxer);
