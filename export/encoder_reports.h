// The reports of an export into an encoder, composed like every other
// report in MessageBuffer (code page 932) and shown by the job's host. Names
// and paths come in UTF-8.
#pragma once

#include <stdint.h>

#include "export/encoder_command.h"
#include "export/export_job.h"

void ReportEncoderCommandMissing(const ExportJob* job, const char* name, const char* commandsPath);
void ReportEncoderCommandUnusable(const ExportJob* job, const char* name, CommandProblem problem,
                                  const char* placeholder);
void ReportEncoderProgramMissing(const ExportJob* job, const char* program);
void ReportEncoderBatchRefused(const ExportJob* job, const char* program);
void ReportEncoderStartFailure(const ExportJob* job, const char* program);
void ReportEncoderLogRefused(const ExportJob* job, const char* logPath);
// It ended, or stopped reading, with part of the stream unread.
void ReportEncoderStopped(const ExportJob* job, int32_t framesRead, int32_t exitStatus, const char* logLine,
                          const char* logPath);
// It read everything and exited with a status other than 0.
void ReportEncoderFailed(const ExportJob* job, int32_t exitStatus, const char* logLine, const char* logPath);
// It exited with 0 but left a file its command names missing or empty.
void ReportEncoderNoOutput(const ExportJob* job, const char* path, const char* logPath);
