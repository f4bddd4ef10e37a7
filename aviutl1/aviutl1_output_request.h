// The record the host hands to one export, and the host's callbacks in it.
//
// The host is a 32-bit program: every slot is 4 bytes there and the offsets
// below are part of its binary interface. Other builds keep the same order.
#pragma once

#include <stddef.h>
#include <stdint.h>

#include "export/export_job.h"
#include "platform/platform.h"

typedef int(PLUGIN_CDECL* IsAbortFunction)(void);
typedef int(PLUGIN_CDECL* ShowProgressFunction)(int now, int total);
typedef int(PLUGIN_CDECL* UpdatePreviewFunction)(void);
typedef void*(PLUGIN_CDECL* GetFrameFunction)(int frame, uint32_t format);

struct OutputRequest {
    int32_t unreadSlot0;                  // 0
    int32_t width;                        // 4: pixels
    int32_t height;                       // 8: pixels
    int32_t rate;                         // 12: frame-rate numerator
    int32_t scale;                        // 16: frame-rate denominator
    int32_t frameCount;                   // 20: frames numbered from 0
    int32_t unreadSlots24[5];             // 24 to 40
    const char* outputPath;               // 44: NUL-terminated, system code page
    void* unreadSlots48[2];               // 48, 52
    IsAbortFunction isAbort;              // 56: non-zero once the user aborted
    ShowProgressFunction showProgress;    // 60: result ignored
    void* unreadSlot64;                   // 64
    UpdatePreviewFunction updatePreview;  // 68: result ignored
    GetFrameFunction getFrame;            // 72: frame pointer, or null on failure
};

#if defined(__i386__) || defined(_M_IX86)
static_assert(offsetof(OutputRequest, width) == 4, "width");
static_assert(offsetof(OutputRequest, height) == 8, "height");
static_assert(offsetof(OutputRequest, rate) == 12, "rate");
static_assert(offsetof(OutputRequest, scale) == 16, "scale");
static_assert(offsetof(OutputRequest, frameCount) == 20, "frameCount");
static_assert(offsetof(OutputRequest, unreadSlots24) == 24, "slots 24-40");
static_assert(offsetof(OutputRequest, outputPath) == 44, "outputPath");
static_assert(offsetof(OutputRequest, unreadSlots48) == 48, "slots 48, 52");
static_assert(offsetof(OutputRequest, isAbort) == 56, "isAbort");
static_assert(offsetof(OutputRequest, showProgress) == 60, "showProgress");
static_assert(offsetof(OutputRequest, unreadSlot64) == 64, "slot 64");
static_assert(offsetof(OutputRequest, updatePreview) == 68, "updatePreview");
static_assert(offsetof(OutputRequest, getFrame) == 72, "getFrame");
static_assert(sizeof(OutputRequest) == 76, "OutputRequest size");
#endif
