// The YUV4MPEG2 header line.
#pragma once

#include "export/export_job.h"
#include "settings/output_settings.h"

// The longest line any 32-bit request can give. Ratios are reduced in 64 bits,
// so an aspect such as 16 x 2^31 : 9 x 2^31 costs two bytes more than 32-bit
// arithmetic could have printed, and the deep formats' colour tags are 16
// bytes longer than 4:2:0's; the FrameBuffer's 512 bytes always hold it.
enum { StreamHeaderMaxLength = 133 };

// Composes "YUV4MPEG2 W H F I A C\n" from the job's picture and rate and the
// settings, bounded by size; returns the bytes produced (no NUL counted).
int BuildStreamHeader(char* buffer, int size, const ExportJob* request, const OutputSettings* settings);
