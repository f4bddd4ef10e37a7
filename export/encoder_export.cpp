#include "export/encoder_export.h"

#include <string.h>

#include "export/encoder_command.h"
#include "export/encoder_log.h"
#include "export/encoder_reports.h"
#include "export/export_reports.h"
#include "platform/child_process.h"
#include "platform/platform.h"
#include "platform/system_files.h"
#include "settings/color_formats.h"
#include "settings/encoder_commands.h"

enum {
    CommandsFileRoom = 65536,
    PathRoom = 4096,
    LogTailRoom = 16384,
    // How long an encoder may take to finish once the export stops early.
    EndingGraceMilliseconds = 5000,
};

// One export's encoder: one export runs at a time, and nothing of it
// outlives the export but the files.
static struct {
    char commands[CommandsFileRoom];
    char commandsPath[PathRoom];
    EncoderCommand command;
    char program[PathRoom];
    char logPath[PathRoom];
    char logTail[LogTailRoom];
    ChildProcess child;
    int64_t bytesWritten;
} gEncoder;

static bool IsBatchFile(const char* path) {
    const char* dot = strrchr(path, '.');
    if (dot == nullptr || strlen(dot) != 4) return false;
    char extension[5];
    for (int i = 0; i < 4; ++i)
        extension[i] = static_cast<char>(dot[i] >= 'A' && dot[i] <= 'Z' ? dot[i] - 'A' + 'a' : dot[i]);
    extension[4] = 0;
    return strcmp(extension, ".bat") == 0 || strcmp(extension, ".cmd") == 0;
}

bool PrepareEncoder(const ExportJob* job) {
    const char* name = job->settings->encoderName;
    ClearChild(&gEncoder.child);
    gEncoder.bytesWritten = 0;
    if (!UserCommandsPath(gEncoder.commandsPath, PathRoom)) gEncoder.commandsPath[0] = 0;
    const int32_t length =
        gEncoder.commandsPath[0] != 0 ? ReadFileStart(gEncoder.commandsPath, gEncoder.commands, CommandsFileRoom) : -1;
    CommandEntry entry;
    if (length < 0 || name[0] == 0 || !FindCommandEntry(gEncoder.commands, length, name, &entry)) {
        ReportEncoderCommandMissing(job, name, gEncoder.commandsPath);
        return false;
    }
    if (job->outputUtf8 == nullptr) {
        ReportOpenFailure(job);
        return false;
    }
    const ColorFormatInfo* format = ColorFormatOrDefault(job->settings->colorFormat);
    const CommandValues values = {job->outputUtf8, job->width,   job->height,   job->rate,
                                  job->scale,      format->bits, format->chroma};
    char placeholder[PlaceholderRoom];
    const CommandProblem problem =
        BuildEncoderCommand(entry.line, entry.lineLength, &values, &gEncoder.command, placeholder);
    if (problem != CommandBuilt) {
        ReportEncoderCommandUnusable(job, name, problem, placeholder);
        return false;
    }
    const char* program = gEncoder.command.arguments[0];
    if (!FindProgram(program, gEncoder.program, PathRoom)) {
        ReportEncoderProgramMissing(job, program);
        return false;
    }
    // Windows starts these through cmd.exe, where a path can become a command.
    if (IsBatchFile(gEncoder.program)) {
        ReportEncoderBatchRefused(job, gEncoder.program);
        return false;
    }
    if (!EncoderLogPath(job->outputUtf8, gEncoder.logPath, PathRoom)) {
        ReportOpenFailure(job);
        return false;
    }
    return true;
}

bool StartEncoder(const ExportJob* job) {
    const ChildStart start =
        StartChild(&gEncoder.child, gEncoder.program, gEncoder.command.arguments, gEncoder.logPath);
    if (start == ChildLogRefused) ReportEncoderLogRefused(job, gEncoder.logPath);
    if (start == ChildNotStarted) ReportEncoderStartFailure(job, gEncoder.program);
    return start == ChildStarted;
}

// The host's abort, asked while the encoder is not reading.
static bool HostAborted(void* context) {
    const ExportJob* job = static_cast<const ExportJob*>(context);
    if (job->isAborted(job)) return true;
    ClearMmxState();
    return false;
}

OutputWrite WriteToEncoder(const ExportJob* job, const void* bytes, int32_t count) {
    const ChildWrite write = WriteChildInput(&gEncoder.child, bytes, count, HostAborted, const_cast<ExportJob*>(job));
    if (write == ChildTook) gEncoder.bytesWritten += count;
    return write == ChildTook ? OutputTook : write == ChildGone ? OutputGone : OutputAborted;
}

static void ReadLogLine(char* line, int32_t room) {
    const int32_t length = ReadFileEnd(gEncoder.logPath, gEncoder.logTail, LogTailRoom);
    MeaningfulLogLine(gEncoder.logTail, length > 0 ? length : 0, line, room);
}

// Every file the command names by the output's name exists and holds
// something: some encoders exit with 0 when they could not write it.
static const char* MissingOutput(void) {
    for (int32_t i = 1; i < gEncoder.command.count; ++i)
        if (gEncoder.command.namesOutput[i] && FileSize(gEncoder.command.arguments[i]) <= 0)
            return gEncoder.command.arguments[i];
    return nullptr;
}

int FinishEncoder(const ExportJob* job, StreamEnd end, int64_t headerBytes, int64_t frameBytes) {
    CloseChildInput(&gEncoder.child);
    if (end == StreamComplete) {
        // Encoders flush many frames after their input ends: as long as it
        // takes, unless the user aborts.
        if (WaitForChild(&gEncoder.child, -1, HostAborted, const_cast<ExportJob*>(job)) != ChildEnded)
            end = StreamAborted;
    }
    if (end != StreamComplete && WaitForChild(&gEncoder.child, EndingGraceMilliseconds, nullptr, nullptr) != ChildEnded)
        EndChild(&gEncoder.child);
    if (end == StreamAborted || end == StreamReported) return 0;

    const int64_t unread = UnreadChildInput(&gEncoder.child);
    char line[256];
    if (end == StreamReaderGone || unread > 0) {
        const int64_t read = gEncoder.bytesWritten - (unread > 0 ? unread : 0) - headerBytes;
        const int64_t frames = read > 0 && frameBytes > 0 ? read / frameBytes : 0;
        ReadLogLine(line, sizeof line);
        ReportEncoderStopped(job, static_cast<int32_t>(frames), gEncoder.child.exitStatus, line, gEncoder.logPath);
        return 0;
    }
    if (gEncoder.child.exitStatus != 0) {
        ReadLogLine(line, sizeof line);
        ReportEncoderFailed(job, gEncoder.child.exitStatus, line, gEncoder.logPath);
        return 0;
    }
    const char* missing = MissingOutput();
    if (missing != nullptr) {
        ReportEncoderNoOutput(job, missing, gEncoder.logPath);
        return 0;
    }
    return 1;
}

void EndEncoder(void) { EndChild(&gEncoder.child); }
