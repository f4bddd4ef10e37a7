// A program started for one export: its standard input is a pipe the export
// writes into, its standard output and error go to a log file, and it and
// everything it starts are held together so that none outlives the export.
//
// Only the child's own ends are handed to it: its end of the pipe and the
// log. The export's end of the pipe is written in short waits, between which
// the caller is asked whether to stop, so a child that stops reading never
// freezes the host. The child's end stays open here too, so that when the
// child has ended the bytes it never read can still be counted.
#pragma once

#include <stdint.h>

struct ChildProcess {
    intptr_t process;      // 0 when nothing was started
    intptr_t group;        // what holds the child and its own children
    intptr_t input;        // the export's end of the pipe; -1 once closed
    intptr_t inputReader;  // the child's end, as the export keeps it
    intptr_t writeEvent;   // where a system needs one for its waits
    bool ended;
    int32_t exitStatus;  // once ended: the exit code (a signal's number + 128)
};

// Asked between waits; true stops the wait.
typedef bool (*StopQuestion)(void* context);

// Nothing started, nothing held: what EndChild leaves, and where a child
// begins.
void ClearChild(ChildProcess* child);

enum ChildStart { ChildStarted = 0, ChildLogRefused, ChildNotStarted };
// program is an absolute path, arguments the NULL-ended argument vector
// (arguments[0] the program's own name), all UTF-8. logPath is created or
// emptied.
ChildStart StartChild(ChildProcess* child, const char* program, char* const* arguments, const char* logPath);

enum ChildWrite { ChildTook = 0, ChildGone, ChildWriteStopped };
// Every byte, or ChildGone once the child has ended or cannot be written to.
ChildWrite WriteChildInput(ChildProcess* child, const void* bytes, int32_t count, StopQuestion stop, void* context);
// The end of the stream: the child reads to its end, then sees no more.
void CloseChildInput(ChildProcess* child);

enum ChildWait { ChildEnded = 0, ChildWaitTimedOut, ChildWaitStopped };
// Waits for the child to end: at most timeoutMilliseconds, or with a
// negative timeout until stop says so.
ChildWait WaitForChild(ChildProcess* child, int32_t timeoutMilliseconds, StopQuestion stop, void* context);
// Bytes written into the pipe that the child never read (-1: unknown).
int64_t UnreadChildInput(const ChildProcess* child);
// Ends whatever is left of the child and its group, and releases every
// handle; safe on a child that was never started.
void EndChild(ChildProcess* child);
