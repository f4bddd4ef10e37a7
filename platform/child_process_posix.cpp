// Child programs on POSIX systems: posix_spawn (never a shell), a pipe of
// about 1 MiB, the child leading a process group of its own.
#include "platform/child_process.h"

#include <errno.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <string.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

enum { PipeBytes = 1 << 20, WaitSliceMilliseconds = 50 };

void ClearChild(ChildProcess* child) {
    memset(child, 0, sizeof *child);
    child->input = -1;
    child->inputReader = -1;
}

ChildStart StartChild(ChildProcess* child, const char* program, char* const* arguments, const char* logPath) {
    ClearChild(child);
    const int log = open(logPath, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (log < 0) return ChildLogRefused;
    int ends[2];
    if (pipe2(ends, O_CLOEXEC) != 0) {
        close(log);
        return ChildNotStarted;
    }
    // Above the system's limit for unprivileged processes the pipe keeps
    // its default size, which only makes the writes slower.
    fcntl(ends[1], F_SETPIPE_SZ, PipeBytes);
    fcntl(ends[1], F_SETFL, fcntl(ends[1], F_GETFL) | O_NONBLOCK);

    posix_spawn_file_actions_t actions;
    posix_spawnattr_t attributes;
    posix_spawn_file_actions_init(&actions);
    posix_spawnattr_init(&attributes);
    posix_spawn_file_actions_adddup2(&actions, ends[0], 0);
    posix_spawn_file_actions_adddup2(&actions, log, 1);
    posix_spawn_file_actions_adddup2(&actions, log, 2);
    // Whatever else the host has open, even without close-on-exec, stays
    // with the host.
    posix_spawn_file_actions_addclosefrom_np(&actions, 3);
    // Its own group (the host's Ctrl+C is the host's to handle), the
    // default action for every signal (a host may ignore SIGPIPE) and none
    // blocked.
    sigset_t all, none;
    sigfillset(&all);
    sigemptyset(&none);
    posix_spawnattr_setpgroup(&attributes, 0);
    posix_spawnattr_setsigdefault(&attributes, &all);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK);
    pid_t pid = 0;
    const int failed = posix_spawn(&pid, program, &actions, &attributes, arguments, environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    close(log);
    if (failed != 0) {
        close(ends[0]);
        close(ends[1]);
        return ChildNotStarted;
    }
    child->process = pid;
    child->group = pid;
    child->input = ends[1];
    child->inputReader = ends[0];
    return ChildStarted;
}

// Looks without reaping: the group keeps its number while its leader is a
// zombie, so EndChild can still reach the child's own children through it.
static bool HasEnded(ChildProcess* child) {
    if (child->ended) return true;
    siginfo_t info;
    memset(&info, 0, sizeof info);
    if (waitid(P_PID, static_cast<id_t>(child->process), &info, WEXITED | WNOHANG | WNOWAIT) != 0) {
        if (errno == EINTR) return false;
        child->ended = true;  // not ours to wait for any more: count it as ended
        child->exitStatus = -1;
        return true;
    }
    if (info.si_pid == 0) return false;
    child->ended = true;
    child->exitStatus = info.si_code == CLD_EXITED ? info.si_status : 128 + info.si_status;
    return true;
}

ChildWrite WriteChildInput(ChildProcess* child, const void* bytes, int32_t count, StopQuestion stop, void* context) {
    const char* at = static_cast<const char*>(bytes);
    int32_t left = count;
    // A child that has ended reads nothing more, though the pipe may still
    // have room.
    if (child->input < 0 || HasEnded(child)) return ChildGone;
    while (left > 0) {
        const ssize_t written = write(static_cast<int>(child->input), at, static_cast<size_t>(left));
        if (written > 0) {
            at += written;
            left -= static_cast<int32_t>(written);
            continue;
        }
        if (written < 0 && errno == EINTR) continue;
        if (written < 0 && errno != EAGAIN) return ChildGone;
        // Full: the child is busy, has stopped reading, or has ended.
        if (HasEnded(child)) return ChildGone;
        if (stop(context)) return ChildWriteStopped;
        struct pollfd ready = {static_cast<int>(child->input), POLLOUT, 0};
        poll(&ready, 1, WaitSliceMilliseconds);
    }
    return ChildTook;
}

void CloseChildInput(ChildProcess* child) {
    if (child->input >= 0) close(static_cast<int>(child->input));
    child->input = -1;
}

ChildWait WaitForChild(ChildProcess* child, int32_t timeoutMilliseconds, StopQuestion stop, void* context) {
    for (int32_t waited = 0;; waited += WaitSliceMilliseconds) {
        if (HasEnded(child)) return ChildEnded;
        if (timeoutMilliseconds >= 0 && waited >= timeoutMilliseconds) return ChildWaitTimedOut;
        if (stop != nullptr && stop(context)) return ChildWaitStopped;
        poll(nullptr, 0, WaitSliceMilliseconds);
    }
}

int64_t UnreadChildInput(const ChildProcess* child) {
    int bytes = 0;
    if (child->inputReader < 0 || ioctl(static_cast<int>(child->inputReader), FIONREAD, &bytes) != 0) return -1;
    return bytes;
}

void EndChild(ChildProcess* child) {
    CloseChildInput(child);
    if (child->process > 0) {
        // The group first, while the leader's number still holds it.
        kill(-static_cast<pid_t>(child->group), SIGKILL);
        kill(static_cast<pid_t>(child->process), SIGKILL);
        int status = 0;
        while (waitpid(static_cast<pid_t>(child->process), &status, 0) < 0 && errno == EINTR) {
        }
        if (!child->ended) {
            child->ended = true;
            child->exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        }
    }
    if (child->inputReader >= 0) close(static_cast<int>(child->inputReader));
    child->inputReader = -1;
    child->process = 0;
}
