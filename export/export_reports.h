// The fixed reports of the export: each composes its text in MessageBuffer
// and shows it in one error box.
#pragma once

#include <stdint.h>

void ReportOpenFailure(const char* path);
void ReportOutOfMemory(void);
void ReportFrameFetchFailure(int32_t frameIndex);
void ReportWriteFailure(void);
// A frame the export cannot hold: negative sizes, or a frame of more bytes
// than a 32-bit size can count.
void ReportUnsupportedFrameSize(int32_t width, int32_t height);
