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

struct VideoInfo {
    int32_t width = 0, height = 0;
    int32_t rate = 0, scale = 0;           // frames per second as a reduced fraction
    int32_t frames = 0;                    // the stream's duration at that rate
    int32_t pictures = 0;                  // pictures in the stream
    int32_t repeated = 0;                  // frames that repeat the picture before them
    int32_t dropped = 0;                   // pictures no frame shows
    int32_t scan = 0;                      // 0 progressive, 1 top field first, 2 bottom field first
    int32_t aspectNum = 0, aspectDen = 0;  // sample aspect; 0:0 when the file does not say
    std::string codec;
};

// Opens the file and reads what a host knows of its video; false with one
// line in *error when it cannot be read or has no video stream.
bool OpenVideoInput(const std::string& path, VideoInfo* info, std::string* error);
// The sample aspect at width x height, reduced: a resize changes the shape of
// each pixel so that the picture keeps its shape. False when the file does
// not say its aspect or the ratio does not fit 32 bits.
bool ScaledSampleAspect(const VideoInfo& info, int32_t width, int32_t height, int32_t* num, int32_t* den);
// Frames come out at this size (the stream's own unless asked otherwise).
bool SetVideoOutputSize(int32_t width, int32_t height, std::string* error);
// Starts decoding ahead, once the output size is settled (the first
// ReadVideoFrame does it otherwise).
void StartVideoDecoding();
// Frame `index` as YUY2 (2 x width x height bytes), valid until the next
// call; frames are served in order from 0. False at the end of the stream or
// when decoding fails (*error says which: empty at the end).
bool ReadVideoFrame(int32_t index, const uint8_t** yuy2, std::string* error);
void CloseVideoInput();
