// An export into an encoder's standard input: the user's command found and
// made into arguments before anything is allocated, the encoder started once
// the export can begin, fed the stream, and judged truthfully at the end.
#pragma once

#include <stdint.h>

#include "export/export_job.h"

// The command found in the user's file, its arguments built and its program
// found; false after a report.
bool PrepareEncoder(const ExportJob* job);
// Started, its log beside the output; false after a report.
bool StartEncoder(const ExportJob* job);

enum OutputWrite { OutputTook = 0, OutputGone, OutputAborted };
// Every byte into the encoder; while it does not read, the host is asked
// about an abort between short waits.
OutputWrite WriteToEncoder(const ExportJob* job, const void* bytes, int32_t count);

// How the stream into the encoder ended.
enum StreamEnd { StreamComplete = 0, StreamReported, StreamAborted, StreamReaderGone };
// Ends the stream, waits for the encoder and says whether it did its work:
// 1 when it read everything, exited with 0 and wrote the files its command
// names; 0 after a report or an abort. frameBytes: the bytes of one frame
// record ("FRAME\n" and the frame), headerBytes: the header line's.
int FinishEncoder(const ExportJob* job, StreamEnd end, int64_t headerBytes, int64_t frameBytes);
// Whatever is left of the encoder is ended; every handle released.
void EndEncoder(void);
