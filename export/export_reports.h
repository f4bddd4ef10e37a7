// The reports of an export: each composes its text in MessageBuffer and has
// the job's host show it.
#pragma once

#include <stdint.h>

#include "export/export_job.h"

// Every reason the settings refuse the job's picture.
void ReportRefusedSettings(const ExportJob* job);
// Names the output path (the host puts it in where it is no byte string).
void ReportOpenFailure(const ExportJob* job);
void ReportOutOfMemory(const ExportJob* job);
void ReportFrameFetchFailure(const ExportJob* job, int32_t frameIndex);
void ReportWriteFailure(const ExportJob* job);
// A frame the export cannot hold: negative sizes, or a frame of more bytes
// than a 32-bit size can count.
void ReportUnsupportedFrameSize(const ExportJob* job);
