// Any video file through FFmpeg's libraries: the first video stream decoded
// on a thread of its own, ahead of the export, each picture packed into a
// YUY2 frame of a small ring the export reads from.
//
// Frames follow the timestamps, as a constant-rate host timeline does: frame
// i is the picture on screen at i x scale / rate after the first picture
// (to the nearest frame), so a variable-rate file keeps its length, with
// pictures repeated or dropped where its rate differs.
#pragma once

#include <stdint.h>

#include <string>

#include "y4mhost/picture_pack.h"

struct VideoInfo {
    int32_t width = 0, height = 0;
    int32_t rate = 0, scale = 0;           // the file's frames per second as a reduced fraction; 0 unknown
    int32_t frames = 0;                    // the stream's duration on the timeline
    int32_t pictures = 0;                  // pictures in the stream
    int32_t repeated = 0;                  // frames that repeat the picture before them
    int32_t dropped = 0;                   // pictures no frame shows
    int32_t scan = 0;                      // 0 progressive, 1 top field first, 2 bottom field first
    int32_t aspectNum = 0, aspectDen = 0;  // sample aspect; 0:0 when the file does not say
    std::string codec;
    SourcePictures source;
    // The colour tags an encoder must be told, in FFmpeg's (and x265's)
    // names, "matrix bt2020nc, primaries bt2020, transfer smpte2084"; empty
    // when the file says only BT.601 or BT.709 (or nothing).
    std::string colourTags;
    std::string encoderColourOptions;  // "--colormatrix bt2020nc --colorprim bt2020 --transfer smpte2084"
};

// Opens the file and reads what a host knows of its video; false with one
// line in *error when it cannot be read or has no video stream.
bool OpenVideoInput(const std::string& path, VideoInfo* info, std::string* error);
// Lays the stream on a timeline of rate / scale frames a second (the file's
// own or the one asked for): fills info's frames, repeated and dropped.
void PlanVideoTimeline(int32_t rate, int32_t scale, VideoInfo* info);
// The sample aspect at width x height, reduced: a resize changes the shape of
// each pixel so that the picture keeps its shape. False when the file does
// not say its aspect or the ratio does not fit 32 bits.
bool ScaledSampleAspect(const VideoInfo& info, int32_t width, int32_t height, int32_t* num, int32_t* den);
// The bytes decoding ahead holds at once for frames of width x height in the
// host's picture format: the ring, the pictures libswscale fills and the
// decoder's own. -1 when FFmpeg cannot make the pictures a deep format needs
// at that size (its sizes are 32-bit).
int64_t VideoBytesHeld(int32_t width, int32_t height, uint32_t format);
// Starts decoding ahead into frames of width x height in the host's picture
// format (YUY2, YC48 or PA64), once the size is settled and judged to fit.
void StartVideoDecoding(int32_t width, int32_t height, uint32_t format);
// Frame `index` in that format, valid until the next call; frames are
// served in order from 0. False at the end of the stream or
// when the input fails (*error says which: empty at the end).
bool ReadVideoFrame(int32_t index, const uint8_t** frame, std::string* error);
// Packets the decoder refused or pictures it had to conceal so far.
int32_t DamagedVideoPackets();
// Stops the decoding thread and frees everything; safe at any point, twice.
void CloseVideoInput();
