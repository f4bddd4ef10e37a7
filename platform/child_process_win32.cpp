// Child programs on Windows: CreateProcessW with the program's absolute path
// (never cmd.exe), its standard input the client end of a named pipe whose
// server end the export writes with overlapped writes, only the child's own
// two handles inherited, no console window, and a job object that ends the
// child and all it started when the export ends.
#include "platform/child_process.h"

#include <string.h>

#include "platform/platform.h"
#include "platform/bounded_format.h"
#include "platform/system_text.h"

enum { PipeBytes = 1 << 20, WaitSliceMilliseconds = 50, WideRoom = 32768 };

static HANDLE AsHandle(intptr_t value) { return reinterpret_cast<HANDLE>(value); }
static intptr_t FromHandle(HANDLE handle) { return reinterpret_cast<intptr_t>(handle); }
static bool Held(intptr_t value) { return value != 0 && value != -1; }

void ClearChild(ChildProcess* child) {
    memset(child, 0, sizeof *child);
    child->input = -1;
    child->inputReader = -1;
}

// One argument as the C runtime's parser (and CommandLineToArgvW) reads it
// back: quoted when it must be, backslashes doubled only before a quote.
static bool AppendQuoted(WideChar* line, int32_t* at, const WideChar* argument) {
    auto put = [&](WideChar c) {
        if (*at >= WideRoom - 1) return false;
        line[(*at)++] = c;
        return true;
    };
    bool plain = argument[0] != 0;
    for (const WideChar* p = argument; *p != 0; ++p)
        if (*p == ' ' || *p == '\t' || *p == '\n' || *p == '\v' || *p == '"') plain = false;
    if (plain) {
        for (const WideChar* p = argument; *p != 0; ++p)
            if (!put(*p)) return false;
        return true;
    }
    if (!put('"')) return false;
    for (const WideChar* p = argument;; ++p) {
        int32_t backslashes = 0;
        while (*p == '\\') {
            ++p;
            ++backslashes;
        }
        const int32_t doubled = *p == 0 ? 2 * backslashes : *p == '"' ? 2 * backslashes + 1 : backslashes;
        for (int32_t i = 0; i < doubled; ++i)
            if (!put('\\')) return false;
        if (*p == 0) break;
        if (!put(*p)) return false;
    }
    return put('"');
}

// The command line CreateProcessW takes: the program's path quoted as its
// name (a path holds no quote), then each argument.
static bool ComposeCommandLine(WideChar* line, const WideChar* program, char* const* arguments) {
    static WideChar argument[WideRoom];
    int32_t at = 0;
    line[at++] = '"';
    for (const WideChar* p = program; *p != 0; ++p) {
        if (at >= WideRoom - 2) return false;
        line[at++] = *p;
    }
    line[at++] = '"';
    for (int32_t i = 1; arguments[i] != nullptr; ++i) {
        if (!WideFromUtf8(arguments[i], argument, WideRoom) || at >= WideRoom - 1) return false;
        line[at++] = ' ';
        if (!AppendQuoted(line, &at, argument)) return false;
    }
    line[at] = 0;
    return true;
}

ChildStart StartChild(ChildProcess* child, const char* program, char* const* arguments, const char* logPath) {
    static WideChar wideProgram[WideRoom], wideLog[WideRoom], commandLine[WideRoom];
    ClearChild(child);
    if (!WideFromUtf8(program, wideProgram, WideRoom) || !ComposeCommandLine(commandLine, wideProgram, arguments))
        return ChildNotStarted;
    if (!WideFromUtf8(logPath, wideLog, WideRoom)) return ChildLogRefused;
    SECURITY_ATTRIBUTES inherited = {sizeof inherited, nullptr, TRUE};
    HANDLE log = CreateFileW(wideLog, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, &inherited,
                             CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (log == INVALID_HANDLE_VALUE) return ChildLogRefused;

    // A name no other export or program holds.
    static LONG counter;
    WideChar pipeName[96];
    char name[96];
    FormatBounded(name, sizeof name, "\\\\.\\pipe\\yuv4mpeg2-%d-%d-%d", static_cast<int>(GetCurrentProcessId()),
                  static_cast<int>(GetTickCount()), static_cast<int>(InterlockedIncrement(&counter)));
    WideFromUtf8(name, pipeName, 96);
    HANDLE server =
        CreateNamedPipeW(pipeName, PIPE_ACCESS_OUTBOUND | FILE_FLAG_OVERLAPPED | FILE_FLAG_FIRST_PIPE_INSTANCE,
                         PIPE_TYPE_BYTE | PIPE_WAIT | PIPE_REJECT_REMOTE_CLIENTS, 1, PipeBytes, 0, 0, nullptr);
    HANDLE client = server != INVALID_HANDLE_VALUE ? CreateFileW(pipeName, GENERIC_READ, 0, &inherited, OPEN_EXISTING,
                                                                 FILE_ATTRIBUTE_NORMAL, nullptr)
                                                   : INVALID_HANDLE_VALUE;
    HANDLE event = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    HANDLE job = CreateJobObjectW(nullptr, nullptr);
    if (job != nullptr) {
        JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits;
        memset(&limits, 0, sizeof limits);
        limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
        SetInformationJobObject(job, JobObjectExtendedLimitInformation, &limits, sizeof limits);
    }

    // Only these two handles reach the child, whatever else of the host's
    // is inheritable.
    HANDLE handles[2] = {client, log};
    SIZE_T listBytes = 0;
    InitializeProcThreadAttributeList(nullptr, 1, 0, &listBytes);
    LPPROC_THREAD_ATTRIBUTE_LIST list =
        static_cast<LPPROC_THREAD_ATTRIBUTE_LIST>(HeapAlloc(GetProcessHeap(), 0, listBytes));
    bool listMade = list != nullptr && InitializeProcThreadAttributeList(list, 1, 0, &listBytes) &&
                    UpdateProcThreadAttribute(list, 0, PROC_THREAD_ATTRIBUTE_HANDLE_LIST, handles, sizeof handles,
                                              nullptr, nullptr);
    PROCESS_INFORMATION started;
    memset(&started, 0, sizeof started);
    bool running = false;
    if (client != INVALID_HANDLE_VALUE && event != nullptr && listMade) {
        STARTUPINFOEXW startup;
        memset(&startup, 0, sizeof startup);
        startup.StartupInfo.cb = sizeof startup;
        startup.StartupInfo.dwFlags = STARTF_USESTDHANDLES;
        startup.StartupInfo.hStdInput = client;
        startup.StartupInfo.hStdOutput = log;
        startup.StartupInfo.hStdError = log;
        startup.lpAttributeList = list;
        // Suspended until it is in the job, so nothing it starts escapes it.
        running = CreateProcessW(wideProgram, commandLine, nullptr, nullptr, TRUE,
                                 CREATE_NO_WINDOW | CREATE_SUSPENDED | EXTENDED_STARTUPINFO_PRESENT, nullptr, nullptr,
                                 &startup.StartupInfo, &started) != 0;
    }
    if (list != nullptr) {
        if (listMade) DeleteProcThreadAttributeList(list);
        HeapFree(GetProcessHeap(), 0, list);
    }
    CloseHandle(log);
    if (!running) {
        if (client != INVALID_HANDLE_VALUE) CloseHandle(client);
        if (server != INVALID_HANDLE_VALUE) CloseHandle(server);
        if (event != nullptr) CloseHandle(event);
        if (job != nullptr) CloseHandle(job);
        return ChildNotStarted;
    }
    if (job != nullptr && !AssignProcessToJobObject(job, started.hProcess)) {
        CloseHandle(job);
        job = nullptr;
    }
    ResumeThread(started.hThread);
    CloseHandle(started.hThread);
    child->process = FromHandle(started.hProcess);
    child->group = job != nullptr ? FromHandle(job) : -1;
    child->input = FromHandle(server);
    child->inputReader = FromHandle(client);
    child->writeEvent = FromHandle(event);
    return ChildStarted;
}

static bool HasEnded(ChildProcess* child) {
    if (child->ended) return true;
    if (WaitForSingleObject(AsHandle(child->process), 0) != WAIT_OBJECT_0) return false;
    DWORD code = 0;
    GetExitCodeProcess(AsHandle(child->process), &code);
    child->ended = true;
    child->exitStatus = static_cast<int32_t>(code);
    return true;
}

ChildWrite WriteChildInput(ChildProcess* child, const void* bytes, int32_t count, StopQuestion stop, void* context) {
    const char* at = static_cast<const char*>(bytes);
    int32_t left = count;
    if (!Held(child->input) || HasEnded(child)) return ChildGone;
    HANDLE pipe = AsHandle(child->input);
    HANDLE event = AsHandle(child->writeEvent);
    while (left > 0) {
        OVERLAPPED write;
        memset(&write, 0, sizeof write);
        write.hEvent = event;
        ResetEvent(event);
        DWORD done = 0;
        if (!WriteFile(pipe, at, static_cast<DWORD>(left), nullptr, &write) && GetLastError() != ERROR_IO_PENDING)
            return ChildGone;  // ERROR_BROKEN_PIPE, ERROR_NO_DATA: its end is closed
        // Waits in short slices: the host's abort and the child's end are
        // looked at between them.
        ChildWrite outcome = ChildTook;
        while (WaitForSingleObject(event, WaitSliceMilliseconds) == WAIT_TIMEOUT) {
            if (HasEnded(child))
                outcome = ChildGone;
            else if (stop(context))
                outcome = ChildWriteStopped;
            if (outcome == ChildTook) continue;
            CancelIoEx(pipe, &write);
            break;
        }
        const bool written = GetOverlappedResult(pipe, &write, &done, TRUE) != 0;
        at += done;
        left -= static_cast<int32_t>(done);
        if (outcome != ChildTook) return outcome;
        if (!written) return ChildGone;
    }
    return ChildTook;
}

void CloseChildInput(ChildProcess* child) {
    if (Held(child->input)) CloseHandle(AsHandle(child->input));
    child->input = -1;
}

ChildWait WaitForChild(ChildProcess* child, int32_t timeoutMilliseconds, StopQuestion stop, void* context) {
    for (int32_t waited = 0;; waited += WaitSliceMilliseconds) {
        if (HasEnded(child)) return ChildEnded;
        if (timeoutMilliseconds >= 0 && waited >= timeoutMilliseconds) return ChildWaitTimedOut;
        if (stop != nullptr && stop(context)) return ChildWaitStopped;
        WaitForSingleObject(AsHandle(child->process), WaitSliceMilliseconds);
    }
}

int64_t UnreadChildInput(const ChildProcess* child) {
    DWORD available = 0;
    if (!Held(child->inputReader) ||
        !PeekNamedPipe(AsHandle(child->inputReader), nullptr, 0, nullptr, &available, nullptr))
        return -1;
    return available;
}

void EndChild(ChildProcess* child) {
    CloseChildInput(child);
    if (Held(child->process)) {
        // Everything it started goes with it.
        if (Held(child->group)) TerminateJobObject(AsHandle(child->group), 1);
        if (!HasEnded(child)) {
            TerminateProcess(AsHandle(child->process), 1);
            WaitForSingleObject(AsHandle(child->process), INFINITE);
            HasEnded(child);
        }
        CloseHandle(AsHandle(child->process));
    }
    if (Held(child->group)) CloseHandle(AsHandle(child->group));
    if (Held(child->inputReader)) CloseHandle(AsHandle(child->inputReader));
    if (Held(child->writeEvent)) CloseHandle(AsHandle(child->writeEvent));
    const bool ended = child->ended;
    const int32_t status = child->exitStatus;
    ClearChild(child);
    child->ended = ended;
    child->exitStatus = status;
}
